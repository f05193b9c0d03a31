#pragma once

#include <functional>
#include <string>
#include <vector>

#include "browsing/BrowserView.h"

namespace kpw {

// A browser view that records what it is asked. By default a navigation
// moves it to the requested address, so LocationURL follows; tests can set
// the address freely (a followed link, a redirect) and make calls throw.
class FakeBrowserView : public BrowserView {
public:
    enum class CallKind { Navigate2, GoBack, Refresh, Stop };
    struct Call {
        CallKind Kind;
        std::string URL;
        int Flags = 0;
    };

    void Navigate2(const std::string& url, int flags) override;
    void GoBack() override;
    void Refresh() override;
    void Stop() override;
    std::string LocationURL() const override;
    void SetSilent(bool silent) override;
    // Counted; the test answers with the text it chooses.
    void ReadBodyText() override;

    // The user follows a link in the page: the view moves without being asked.
    void FollowLink(const std::string& url);
    void SetLocationURL(const std::string& url) { location_ = url; }

    // Every call in order, and the addresses of the Navigate2 calls alone.
    const std::vector<Call>& Calls() const { return calls_; }
    std::vector<std::string> NavigatedURLs() const;
    std::string LastNavigatedURL() const;
    int Count(CallKind kind) const;
    void ClearCalls() { calls_.clear(); }
    bool Silent() const { return silent_; }
    int SilentWrites() const { return silentWrites_; }
    int TextReads() const { return textReads_; }
    bool ThrowOnReadBodyText = false;
    const std::vector<std::string>& BackList() const { return backList_; }

    // Runs after every Navigate2 that succeeded, e.g. to post the page's
    // completion to the window's pending events.
    std::function<void(const std::string& url)> OnNavigate;
    // Whether Navigate2 moves LocationURL to the requested address.
    bool FollowNavigations = true;
    // Make the calls fail with BrowserError. A failing call is still recorded.
    bool ThrowOnNavigate = false;
    bool ThrowOnGoBack = false;
    bool ThrowOnRefresh = false;
    bool ThrowOnStop = false;
    bool ThrowOnLocationURL = false;

private:
    void MoveTo(const std::string& url);

    std::vector<Call> calls_;
    std::string location_;
    std::vector<std::string> backList_;
    bool silent_ = false;
    int silentWrites_ = 0;
    int textReads_ = 0;
};

}  // namespace kpw
