#include "browsing/RequestPacer.h"

#include <algorithm>
#include <utility>

#include "browsing/BusySite.h"
#include "settings/AsciiText.h"
#include "texts/Texts.h"

namespace kpw {

RequestPacer::RequestPacer(const Settings& settings, ClockPort& clock)
    : settings_(settings), clock_(clock) {}

void RequestPacer::Navigate(BrowserView& view, const std::string& url) {
    view.Navigate2(url, NavHyperlink);
    NoteRequest();
}

void RequestPacer::NoteRequest() {
    pacing_.LastRequestAtMs = clock_.NowMs();
}

int64_t RequestPacer::AutomaticRequestDueMs() const {
    int64_t due = pacing_.ResumeAtMs;
    if (pacing_.LastRequestAtMs)
        due = std::max(due, *pacing_.LastRequestAtMs + settings_.MinRequestInterval);
    return due;
}

bool RequestPacer::AutomaticRequestWaits() const {
    // Until the retry of a busy page is answered, it is the only request.
    return pacing_.RetryPending || pacing_.RetryInFlight ||
           clock_.NowMs() < AutomaticRequestDueMs();
}

std::optional<int64_t> RequestPacer::RetryAfterOf(const std::optional<std::string>& header) const {
    if (!header) return std::nullopt;
    return RetryAfterSeconds(*header, clock_.UnixSeconds());
}

bool RequestPacer::TakeVisibleBusy(const std::string& url, int httpStatus,
                                   const std::optional<std::string>& retryAfter) {
    pacing_.RetryInFlight = false;
    if (!EqualsIgnoringCase(url, pacing_.RetryURL)) {
        pacing_.RetryURL = url;
        pacing_.RetriesDone = 0;
    }
    pacing_.RetryStatus = httpStatus;
    if (pacing_.RetriesDone >= MaxBusyRetries) {
        pacing_.RetryPending = false;
    } else {
        // Never sooner than the site asked before: a step of the user's own
        // that meets the busy site again finds the wait where it was.
        pacing_.ResumeAtMs =
            std::max(pacing_.ResumeAtMs,
                     clock_.NowMs() + BusyWaitMs(pacing_.RetriesDone, RetryAfterOf(retryAfter)));
        pacing_.RetryPending = true;
    }
    ScheduleWaitTimer();
    return pacing_.RetryPending;
}

void RequestPacer::TakeVisibleAnswer() {
    pacing_.RetryURL.clear();
    pacing_.RetriesDone = 0;
    if (pacing_.RetryInFlight) {
        pacing_.RetryInFlight = false;
        // What waited behind the retry may go now.
        ScheduleWaitTimer();
    }
}

std::string RequestPacer::WaitText(int language) const {
    const texts::BusySiteTexts& t = texts::BusySite;
    const int column = texts::LanguageIndex(language);
    const std::string status = std::to_string(pacing_.RetryStatus);
    // Only busy answers are retried, so an answer without a status had none.
    const BusyKind kind = BusyKindOf(pacing_.RetryStatus, true);
    if (!pacing_.RetryPending) {
        const std::string retries = std::to_string(pacing_.RetriesDone);
        if (kind == BusyKind::NoAnswer)
            return texts::FillIn(t.NoAnswerGaveUp.In(column), {retries});
        const texts::Text& gaveUp = kind == BusyKind::Gateway ? t.TroubleGaveUp : t.GaveUp;
        return texts::FillIn(gaveUp.In(column), {status, retries});
    }
    const int64_t seconds = CountdownSeconds(pacing_.ResumeAtMs - clock_.NowMs());
    const std::string left = std::to_string(std::max<int64_t>(seconds, 1));
    if (kind == BusyKind::NoAnswer) return texts::FillIn(t.NoAnswer.In(column), {left});
    const texts::Text& waiting = kind == BusyKind::Gateway ? t.Trouble : t.Waiting;
    return texts::FillIn(waiting.In(column), {status, left});
}

bool RequestPacer::TakePreloadBusy(const std::optional<std::string>& retryAfter) {
    if (pacing_.PreloadRetriesDone >= MaxBusyRetries) return false;
    pacing_.ResumeAtMs =
        std::max(pacing_.ResumeAtMs,
                 clock_.NowMs() + BusyWaitMs(pacing_.PreloadRetriesDone, RetryAfterOf(retryAfter)));
    ++pacing_.PreloadRetriesDone;
    return true;
}

void RequestPacer::HoldSkip(std::string url) {
    pacing_.HeldSkipURL = std::move(url);
    ScheduleWaitTimer();
}

void RequestPacer::HoldPreload() {
    pacing_.PreloadHeld = true;
    ScheduleWaitTimer();
}

void RequestPacer::HoldQueue() {
    pacing_.QueueHeld = true;
    ScheduleWaitTimer();
}

RequestPacer::Release RequestPacer::OnWaitTimer() {
    const int64_t now = clock_.NowMs();
    if (pacing_.RetryPending) {
        if (now < pacing_.ResumeAtMs) {
            ScheduleWaitTimer();
            return {Due::Countdown, {}};
        }
        pacing_.RetryPending = false;
        pacing_.RetryInFlight = true;
        ++pacing_.RetriesDone;
        return {Due::Retry, pacing_.RetryURL};
    }
    if (pacing_.RetryInFlight || now < AutomaticRequestDueMs()) {
        ScheduleWaitTimer();
        return {};
    }
    if (!pacing_.HeldSkipURL.empty()) {
        Release release{Due::Skip, std::move(pacing_.HeldSkipURL)};
        pacing_.HeldSkipURL.clear();
        return release;
    }
    if (pacing_.PreloadHeld) return {Due::Preload, {}};
    if (pacing_.QueueHeld) return {Due::Queue, {}};
    ScheduleWaitTimer();
    return {};
}

void RequestPacer::ScheduleWaitTimer() {
    const int64_t now = clock_.NowMs();
    const bool held = !pacing_.HeldSkipURL.empty() || pacing_.PreloadHeld || pacing_.QueueHeld;
    if (pacing_.RetryPending) {
        // Wakes when the countdown's number of seconds changes.
        const int64_t remaining = pacing_.ResumeAtMs - now;
        const int64_t step = remaining % 1000 == 0 ? 1000 : remaining % 1000;
        clock_.StartWaitTimer(remaining <= 0 ? 0 : std::min(remaining, step));
    } else if (held && !pacing_.RetryInFlight) {
        clock_.StartWaitTimer(std::max<int64_t>(0, AutomaticRequestDueMs() - now));
    } else {
        // Nothing held, or it waits for the retry's answer, which reschedules.
        clock_.StopWaitTimer();
    }
}

void RequestPacer::DropAutomaticRequests() {
    const bool heldVisible =
        pacing_.RetryPending || pacing_.RetryInFlight || !pacing_.HeldSkipURL.empty();
    pacing_.RetryPending = false;
    pacing_.RetryInFlight = false;
    pacing_.RetriesDone = 0;
    pacing_.PreloadRetriesDone = 0;
    pacing_.HeldSkipURL.clear();
    if (heldVisible) ScheduleWaitTimer();
}

bool RequestPacer::StopAll() {
    const bool wasWaiting = pacing_.RetryPending;
    DropAutomaticRequests();
    pacing_.PreloadHeld = false;
    pacing_.QueueHeld = false;
    ScheduleWaitTimer();
    return wasWaiting;
}

}  // namespace kpw
