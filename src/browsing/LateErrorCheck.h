#pragma once

#include <functional>
#include <optional>
#include <string>

#include "browsing/BrowserView.h"
#include "browsing/ClockPort.h"
#include "settings/Settings.h"

namespace kpw {

// Some sites write a missing photo's error into the page by a script after
// the load, when the page analysis has already found no error word. A page
// on view judged present is read once more after MissingTextWaitMs; a
// missing photo found so is skipped as one that said so at once. Pictures
// are never waited for, and the window stays usable meanwhile.
class LateErrorCheck {
public:
    // skip goes on from the page on view as the skip chain does.
    LateErrorCheck(const Settings& settings, ClockPort& clock, BrowserView& visibleView,
                   std::function<void()> skip);

    // Whether a page of this content is read again: an HTML document, with
    // a wait set.
    bool Applies(const DocumentContent& content) const;
    // The page at url was judged present; it is read again after the wait.
    void Watch(const std::string& url);
    // A step of the user's own, Stop or any new load ends the wait.
    void Cancel();
    bool Watching() const { return !watchedURL_.empty(); }

    // The clock's timer ran out: the view is asked for its text.
    void OnTimer();
    // The view's answer: the text, or nothing when it could not be read. A
    // view that has moved on since answers for another page.
    void TextRead(const std::optional<std::string>& text);

private:
    const Settings& settings_;
    ClockPort& clock_;
    BrowserView& visibleView_;
    std::function<void()> skip_;
    std::string watchedURL_;
    bool reading_ = false;
};

}  // namespace kpw
