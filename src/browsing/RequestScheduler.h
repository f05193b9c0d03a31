#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "browsing/BrowserView.h"
#include "browsing/ClockPort.h"
#include "settings/Settings.h"

namespace kpw {

// The requests the program sends by itself, in the order they go when the
// pacing has held them back: the retry of the busy page on view, a step of
// the skip chain, the hidden view's neighbour, the pages loaded ahead, the
// overview sheet's pictures, the photos of a range being kept.
enum class RequestKind { Retry, Skip, Neighbour, Ahead, Sheet, Range };
inline constexpr size_t RequestKindCount = 6;

// What the scheduler keeps about waiting and pacing. Times are ClockPort::NowMs.
struct RequestPacing {
    // The program starts no request of its own before this time: the site
    // asked it to wait.
    int64_t ResumeAtMs = 0;
    // When the last request went out, the user's or the program's.
    std::optional<int64_t> LastRequestAtMs;
    // The visible view's address last answered busy, the status it was
    // answered with and the retries made for it so far; RetryPending while a
    // retry of it waits for ResumeAtMs.
    std::string RetryURL;
    int RetryStatus = 0;
    int RetriesDone = 0;
    bool RetryPending = false;
    // The retry has gone out and its answer has not come yet.
    bool RetryInFlight = false;
    // Busy answers to the program's other requests in a row.
    int AutomaticRetriesDone = 0;
};

// What the site asked for (busy waits, Retry-After, back-off) and the least
// time between the program's own requests, and the one place that decides
// which of the program's own requests goes next. Each kind of request has
// one owner; the owner says when it has something to send (Wake) and the
// scheduler asks it to send its next request (its SendNext) when the pacing
// lets it, in the order of RequestKind. The user's own loads are never held.
// After a busy answer to the page on view, its retry goes first and alone:
// nothing else leaves until the retry has been answered.
class RequestScheduler {
public:
    // Sends the owner's next request now, through Send; false when it has
    // none (the kind then sleeps until the owner wakes it again).
    using SendNext = std::function<bool()>;

    RequestScheduler(const Settings& settings, ClockPort& clock);

    const RequestPacing& Pacing() const { return pacing_; }

    void SetOwner(RequestKind kind, SendNext sendNext);
    // The owner of kind has a request to send: it goes at once when nothing
    // holds it, else when the wait is over. Safe to call from a SendNext.
    void Wake(RequestKind kind);
    // The owner has nothing of this kind to send any more.
    void Withdraw(RequestKind kind);
    bool Awake(RequestKind kind) const { return awake_[Index(kind)]; }

    // Sends a load and notes it as a request to the site.
    void Send(BrowserView& view, const std::string& url);
    void NoteRequest();
    // A request the program starts by itself must wait now.
    bool AutomaticRequestWaits() const;

    // The page on view was answered busy: the retry is planned, or given up
    // after MaxBusyRetries for the same address. Returns whether it waits.
    bool TakeVisibleBusy(const std::string& url, int httpStatus,
                         const std::optional<std::string>& retryAfter);
    // The page on view was answered and not busy.
    void TakeVisibleAnswer();
    // The status line of the wait or of the retries given up.
    std::string WaitText(int language) const;
    // Runs at each second of the retry's countdown.
    std::function<void()> OnCountdown;

    // A request of the program's own was answered busy: whether it is to go
    // out again after the wait (the owner wakes its kind again).
    bool TakeAutomaticBusy(const std::optional<std::string>& retryAfter);
    // A request of the program's own was answered and not busy.
    void TakeAutomaticAnswer() { pacing_.AutomaticRetriesDone = 0; }

    // The clock's wait timer ran out.
    void OnWaitTimer();

    // The user navigates: a retry or a held skip no longer applies; what the
    // site asked for (the time to wait) still does.
    void DropAutomaticRequests();
    // Stop: the retry, the skip, the neighbour and the pages ahead are
    // dropped. Returns whether a retry waited.
    bool StopAll();

private:
    static size_t Index(RequestKind kind) { return static_cast<size_t>(kind); }
    int64_t AutomaticRequestDueMs() const;
    std::optional<int64_t> RetryAfterOf(const std::optional<std::string>& header) const;
    // Lets go what may go now, in order, then sets the wait timer.
    void Release();
    void ReleaseInOrder();
    void ScheduleWaitTimer();

    const Settings& settings_;
    ClockPort& clock_;
    RequestPacing pacing_;
    std::array<SendNext, RequestKindCount> owners_{};
    std::array<bool, RequestKindCount> awake_{};
    // Release runs once at a time; a wake meanwhile makes it look again.
    bool releasing_ = false;
    bool releaseAgain_ = false;
};

}  // namespace kpw
