#include "browsing/RequestScheduler.h"

#include <algorithm>
#include <utility>

#include "browsing/BusySite.h"
#include "settings/AsciiText.h"
#include "texts/Texts.h"

namespace kpw {

RequestScheduler::RequestScheduler(const Settings& settings, ClockPort& clock)
    : settings_(settings), clock_(clock) {}

void RequestScheduler::SetOwner(RequestKind kind, SendNext sendNext) {
    owners_[Index(kind)] = std::move(sendNext);
}

void RequestScheduler::Wake(RequestKind kind) {
    awake_[Index(kind)] = true;
    Release();
}

void RequestScheduler::Withdraw(RequestKind kind) {
    awake_[Index(kind)] = false;
}

void RequestScheduler::Send(BrowserView& view, const std::string& url) {
    view.Navigate2(url, NavHyperlink);
    NoteRequest();
}

void RequestScheduler::NoteRequest() {
    pacing_.LastRequestAtMs = clock_.NowMs();
}

int64_t RequestScheduler::AutomaticRequestDueMs() const {
    int64_t due = pacing_.ResumeAtMs;
    if (pacing_.LastRequestAtMs)
        due = std::max(due, *pacing_.LastRequestAtMs + settings_.MinRequestInterval);
    return due;
}

bool RequestScheduler::AutomaticRequestWaits() const {
    // Until the retry of a busy page is answered, it is the only request.
    return pacing_.RetryPending || pacing_.RetryInFlight ||
           clock_.NowMs() < AutomaticRequestDueMs();
}

std::optional<int64_t> RequestScheduler::RetryAfterOf(
    const std::optional<std::string>& header) const {
    if (!header) return std::nullopt;
    return RetryAfterSeconds(*header, clock_.UnixSeconds());
}

bool RequestScheduler::TakeVisibleBusy(const std::string& url, int httpStatus,
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

void RequestScheduler::TakeVisibleAnswer() {
    pacing_.RetryURL.clear();
    pacing_.RetriesDone = 0;
    if (pacing_.RetryInFlight) {
        pacing_.RetryInFlight = false;
        // What waited behind the retry may go now.
        Release();
    }
}

std::string RequestScheduler::WaitText(int language) const {
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

bool RequestScheduler::TakeAutomaticBusy(const std::optional<std::string>& retryAfter) {
    if (pacing_.AutomaticRetriesDone >= MaxBusyRetries) return false;
    pacing_.ResumeAtMs = std::max(
        pacing_.ResumeAtMs,
        clock_.NowMs() + BusyWaitMs(pacing_.AutomaticRetriesDone, RetryAfterOf(retryAfter)));
    ++pacing_.AutomaticRetriesDone;
    ScheduleWaitTimer();
    return true;
}

void RequestScheduler::OnWaitTimer() {
    if (pacing_.RetryPending && clock_.NowMs() < pacing_.ResumeAtMs) {
        ScheduleWaitTimer();
        if (OnCountdown) OnCountdown();
        return;
    }
    Release();
}

void RequestScheduler::Release() {
    if (releasing_) {
        releaseAgain_ = true;
        return;
    }
    releasing_ = true;
    try {
        do {
            releaseAgain_ = false;
            ReleaseInOrder();
        } while (releaseAgain_);
    } catch (...) {
        releasing_ = false;
        ScheduleWaitTimer();
        throw;
    }
    releasing_ = false;
    ScheduleWaitTimer();
}

void RequestScheduler::ReleaseInOrder() {
    if (pacing_.RetryPending) {
        if (clock_.NowMs() < pacing_.ResumeAtMs) return;
        pacing_.RetryPending = false;
        pacing_.RetryInFlight = true;
        ++pacing_.RetriesDone;
        if (const SendNext& retry = owners_[Index(RequestKind::Retry)]) retry();
        return;
    }
    if (pacing_.RetryInFlight) return;
    // An owner that claims more sends than this in one go is mistaken.
    constexpr int MaxSendsInOneGo = 10000;
    for (int sends = 0; sends < MaxSendsInOneGo; ++sends) {
        // The first kind awake goes first; after each request the order is
        // looked at anew, as a send may have woken a kind before it.
        size_t kind = Index(RequestKind::Skip);
        while (kind < RequestKindCount && !awake_[kind]) ++kind;
        if (kind == RequestKindCount || clock_.NowMs() < AutomaticRequestDueMs()) return;
        if (!owners_[kind] || !owners_[kind]()) awake_[kind] = false;
    }
}

void RequestScheduler::ScheduleWaitTimer() {
    const int64_t now = clock_.NowMs();
    bool held = false;
    for (size_t kind = Index(RequestKind::Skip); kind < RequestKindCount; ++kind)
        held = held || awake_[kind];
    if (pacing_.RetryPending) {
        // Wakes when the countdown's number of seconds changes.
        const int64_t remaining = pacing_.ResumeAtMs - now;
        const int64_t step = remaining % 1000 == 0 ? 1000 : remaining % 1000;
        clock_.StartWaitTimer(remaining <= 0 ? 0 : std::min(remaining, step));
    } else if (held && !pacing_.RetryInFlight) {
        clock_.StartWaitTimer(std::max<int64_t>(0, AutomaticRequestDueMs() - now));
    } else {
        // Nothing held, or it waits for the retry's answer, which releases it.
        clock_.StopWaitTimer();
    }
}

void RequestScheduler::DropAutomaticRequests() {
    const bool heldVisible =
        pacing_.RetryPending || pacing_.RetryInFlight || Awake(RequestKind::Skip);
    pacing_.RetryPending = false;
    pacing_.RetryInFlight = false;
    pacing_.RetriesDone = 0;
    pacing_.AutomaticRetriesDone = 0;
    Withdraw(RequestKind::Skip);
    // What waited behind the retry is free to go.
    if (heldVisible) Release();
}

bool RequestScheduler::StopAll() {
    const bool wasWaiting = pacing_.RetryPending;
    DropAutomaticRequests();
    Withdraw(RequestKind::Neighbour);
    Withdraw(RequestKind::Ahead);
    ScheduleWaitTimer();
    return wasWaiting;
}

}  // namespace kpw
