#include "browsing/LateErrorCheck.h"

#include <exception>
#include <utility>

#include "browsing/Diagnostics.h"
#include "browsing/PageAnalysis.h"
#include "settings/AsciiText.h"

namespace kpw {

LateErrorCheck::LateErrorCheck(const Settings& settings, ClockPort& clock,
                               BrowserView& visibleView, std::function<void()> skip)
    : settings_(settings), clock_(clock), visibleView_(visibleView), skip_(std::move(skip)) {}

bool LateErrorCheck::Applies(const DocumentContent& content) const {
    // An unknown type is not waited for: a photo must never be delayed.
    const std::string& type = content.ContentType;
    return settings_.MissingTextWaitMs > 0 &&
           (StartsWithIgnoringCase(type, "text/html") ||
            StartsWithIgnoringCase(type, "application/xhtml+xml"));
}

void LateErrorCheck::Watch(const std::string& url) {
    if (url.empty()) return;
    watchedURL_ = url;
    reading_ = false;
    clock_.StartLateTextTimer(settings_.MissingTextWaitMs);
}

void LateErrorCheck::Cancel() {
    if (!Watching()) return;
    watchedURL_.clear();
    reading_ = false;
    clock_.StopLateTextTimer();
}

void LateErrorCheck::OnTimer() {
    if (!Watching() || reading_) return;
    reading_ = true;
    try {
        visibleView_.ReadBodyText();
    } catch (const std::exception& error) {
        ReportSwallowed("reading the page's text again", error);
        Cancel();
    }
}

void LateErrorCheck::TextRead(const std::optional<std::string>& text) {
    if (!reading_) return;
    if (!EqualsIgnoringCase(AddressOrNothing(visibleView_), watchedURL_)) {
        Cancel();
        return;
    }
    watchedURL_.clear();
    reading_ = false;
    if (text && PhotoIsMissing(*text)) skip_();
}

}  // namespace kpw
