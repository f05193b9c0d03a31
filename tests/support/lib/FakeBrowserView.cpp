#include "FakeBrowserView.h"

#include <algorithm>

namespace kpw {

void FakeBrowserView::MoveTo(const std::string& url) {
    if (!location_.empty()) backList_.push_back(location_);
    location_ = url;
}

void FakeBrowserView::Navigate2(const std::string& url, int flags) {
    calls_.push_back({CallKind::Navigate2, url, flags});
    if (ThrowOnNavigate) throw BrowserError("navigation refused: " + url);
    if (FollowNavigations) MoveTo(url);
    if (OnNavigate) OnNavigate(url);
}

void FakeBrowserView::GoBack() {
    calls_.push_back({CallKind::GoBack, {}, 0});
    if (ThrowOnGoBack) throw BrowserError("cannot go back");
    if (backList_.empty()) return;
    location_ = backList_.back();
    backList_.pop_back();
}

void FakeBrowserView::Refresh() {
    calls_.push_back({CallKind::Refresh, {}, 0});
    if (ThrowOnRefresh) throw BrowserError("cannot refresh");
}

void FakeBrowserView::Stop() {
    calls_.push_back({CallKind::Stop, {}, 0});
    if (ThrowOnStop) throw BrowserError("cannot stop");
}

std::string FakeBrowserView::LocationURL() const {
    if (ThrowOnLocationURL) throw BrowserError("no location");
    return location_;
}

void FakeBrowserView::ReadBodyText() {
    ++textReads_;
    if (ThrowOnReadBodyText) throw BrowserError("no text");
}

void FakeBrowserView::SetSilent(bool silent) {
    silent_ = silent;
    ++silentWrites_;
}

void FakeBrowserView::FollowLink(const std::string& url) {
    MoveTo(url);
}

std::vector<std::string> FakeBrowserView::NavigatedURLs() const {
    std::vector<std::string> urls;
    for (const Call& call : calls_)
        if (call.Kind == CallKind::Navigate2) urls.push_back(call.URL);
    return urls;
}

std::string FakeBrowserView::LastNavigatedURL() const {
    std::vector<std::string> urls = NavigatedURLs();
    return urls.empty() ? std::string() : urls.back();
}

int FakeBrowserView::Count(CallKind kind) const {
    return static_cast<int>(std::count_if(calls_.begin(), calls_.end(),
                                          [kind](const Call& call) { return call.Kind == kind; }));
}

}  // namespace kpw
