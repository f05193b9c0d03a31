// Busy sites and pacing: waiting when the site asks for it, retrying the page
// the user asked for, and spacing out the requests the program starts itself.
#include <algorithm>
#include <exception>

#include "browsing/ControlGroups.h"
#include "browsing/Diagnostics.h"
#include "browsing/Navigator.h"
#include "browsing/PageAnalysis.h"
#include "settings/AsciiText.h"
#include "texts/Texts.h"

namespace kpw {

void Navigator::SendVisible(const std::string& url) {
    visibleView_.Navigate2(url, NavHyperlink);
    NoteRequest();
}

void Navigator::NoteRequest() {
    pacing_.LastRequestAtMs = clock_.NowMs();
}

int64_t Navigator::AutomaticRequestDueMs() const {
    int64_t due = pacing_.ResumeAtMs;
    if (pacing_.LastRequestAtMs)
        due = std::max(due, *pacing_.LastRequestAtMs + settings_.MinRequestInterval);
    return due;
}

bool Navigator::AutomaticRequestWaits() const {
    return clock_.NowMs() < AutomaticRequestDueMs();
}

std::optional<int64_t> Navigator::RetryAfterOf(const DocumentContent& content) const {
    if (!content.RetryAfter) return std::nullopt;
    return RetryAfterSeconds(*content.RetryAfter, clock_.UnixSeconds());
}

void Navigator::WaitForBusySite(const DocumentContent& content) {
    std::string url;
    try {
        url = visibleView_.LocationURL();
    } catch (const std::exception& error) {
        ReportSwallowed("reading the busy page's address", error);
    }
    if (url.empty()) url = state_.LastNavigatedURL;
    if (!EqualsIgnoringCase(url, pacing_.RetryURL)) {
        pacing_.RetryURL = url;
        pacing_.RetriesDone = 0;
    }
    pacing_.RetryStatus = content.HttpStatus;
    if (pacing_.RetriesDone >= MaxBusyRetries) {
        pacing_.RetryPending = false;
        const texts::BusySiteTexts& t = texts::BusySite;
        window_.SetStatusText(texts::FillIn(
            t.GaveUp.In(LanguageIndex()),
            {std::to_string(pacing_.RetryStatus), std::to_string(pacing_.RetriesDone)}));
    } else {
        // Never sooner than the site asked before: a step of the user's own
        // that meets the busy site again finds the wait where it was.
        pacing_.ResumeAtMs =
            std::max(pacing_.ResumeAtMs,
                     clock_.NowMs() + BusyWaitMs(pacing_.RetriesDone, RetryAfterOf(content)));
        pacing_.RetryPending = true;
        window_.SetEnabled(Control::Stop, true);
        ShowBusyCountdown();
    }
    ScheduleWaitTimer();
}

void Navigator::ShowBusyCountdown() {
    const int64_t seconds = CountdownSeconds(pacing_.ResumeAtMs - clock_.NowMs());
    const texts::BusySiteTexts& t = texts::BusySite;
    window_.SetStatusText(texts::FillIn(
        t.Waiting.In(LanguageIndex()),
        {std::to_string(pacing_.RetryStatus), std::to_string(std::max<int64_t>(seconds, 1))}));
}

void Navigator::HiddenWebBrowserOnDocumentComplete(const DocumentContent& content) {
    if (!IsBusyStatus(content.HttpStatus)) {
        pacing_.PreloadRetriesDone = 0;
        // The neighbour is a page fetched ahead too: a missing one is learnt.
        if (PreloadActive() && DetectsMissing() && content.BodyText &&
            PhotoIsMissing(*content.BodyText) && !preloadedURL_.empty() &&
            EqualsIgnoringCase(
                preloadedURL_,
                PutIndexIntoTemplate(table_[URLTemplateTable::PhotoTemplate], preloadedIndex_))) {
            knownMissing_.Add(table_[URLTemplateTable::PhotoTemplate], preloadedIndex_);
            PumpPreloadQueue();
        }
        return;
    }
    // Dropped silently; the same preload goes out again after the wait.
    preloadedURL_.clear();
    if (pacing_.PreloadRetriesDone >= MaxBusyRetries) return;
    pacing_.ResumeAtMs =
        std::max(pacing_.ResumeAtMs,
                 clock_.NowMs() + BusyWaitMs(pacing_.PreloadRetriesDone, RetryAfterOf(content)));
    ++pacing_.PreloadRetriesDone;
    pacing_.PreloadHeld = true;
    ScheduleWaitTimer();
}

void Navigator::WaitTimerOnTimer() {
    const int64_t now = clock_.NowMs();
    if (pacing_.RetryPending) {
        if (now < pacing_.ResumeAtMs) {
            ShowBusyCountdown();
            ScheduleWaitTimer();
        } else {
            RetryBusyPage();
        }
        return;
    }
    if (now < AutomaticRequestDueMs()) {
        ScheduleWaitTimer();
        return;
    }
    if (!pacing_.HeldSkipURL.empty()) {
        const std::string url = std::move(pacing_.HeldSkipURL);
        pacing_.HeldSkipURL.clear();
        window_.SetEnabled(Control::Stop, false);
        SendSkip(url);
        // The chain's end sends the preload of its own neighbour.
        return;
    }
    if (pacing_.PreloadHeld) {
        try {
            Preload();
        } catch (const std::exception& error) {
            ReportSwallowed("preloading the next page", error);
        }
    } else if (pacing_.QueueHeld) {
        PumpPreloadQueue();
    }
    ScheduleWaitTimer();
}

void Navigator::RetryBusyPage() {
    pacing_.RetryPending = false;
    ++pacing_.RetriesDone;
    EnableControls(false);
    try {
        SendVisible(pacing_.RetryURL);
    } catch (const std::exception& error) {
        // As every refused navigation: the window stays loading until Stop.
        ReportSwallowed("asking the busy site again", error);
    }
    state_.LastNavigatedURL = pacing_.RetryURL;
}

void Navigator::SendSkip(const std::string& url) {
    try {
        SendVisible(url);
    } catch (const std::exception& error) {
        ReportSwallowed("skipping a missing photo", error);
    }
}

void Navigator::ScheduleWaitTimer() {
    const int64_t now = clock_.NowMs();
    if (pacing_.RetryPending) {
        // Wakes when the countdown's number of seconds changes.
        const int64_t remaining = pacing_.ResumeAtMs - now;
        const int64_t step = remaining % 1000 == 0 ? 1000 : remaining % 1000;
        clock_.StartWaitTimer(remaining <= 0 ? 0 : std::min(remaining, step));
    } else if (!pacing_.HeldSkipURL.empty() || pacing_.PreloadHeld || pacing_.QueueHeld) {
        clock_.StartWaitTimer(std::max<int64_t>(0, AutomaticRequestDueMs() - now));
    } else {
        clock_.StopWaitTimer();
    }
}

void Navigator::DropAutomaticRequests() {
    const bool heldVisible = pacing_.RetryPending || !pacing_.HeldSkipURL.empty();
    pacing_.RetryPending = false;
    pacing_.RetriesDone = 0;
    pacing_.PreloadRetriesDone = 0;
    pacing_.HeldSkipURL.clear();
    if (heldVisible) ScheduleWaitTimer();
}

}  // namespace kpw
