#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "browsing/BrowserView.h"
#include "browsing/ClockPort.h"
#include "settings/Settings.h"

namespace kpw {

// What the pacer keeps about waiting and pacing. Times are ClockPort::NowMs.
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
    // Busy answers to the program's preloads in a row.
    int PreloadRetriesDone = 0;
    // A step of the skip chain held back by the pacing (empty: none).
    std::string HeldSkipURL;
    // The hidden view's preload is held back by the pacing or a wait.
    bool PreloadHeld = false;
    // A fetch of the preload queue is held back by the pacing or a wait.
    bool QueueHeld = false;
};

// What the site asked for (busy waits, Retry-After, back-off) and the least
// time between the program's own requests. The user's own steps are never
// held; what the program starts by itself is, and the wait timer releases it
// in a fixed order: the retry of the page on view first, and only after that
// retry has been answered the held skip, the neighbour's preload, the queue.
class RequestPacer {
public:
    RequestPacer(const Settings& settings, ClockPort& clock);

    const RequestPacing& Pacing() const { return pacing_; }

    // Sends a load and notes it as a request to the site.
    void Navigate(BrowserView& view, const std::string& url);
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

    // A preload was answered busy: whether it goes out again after the wait.
    bool TakePreloadBusy(const std::optional<std::string>& retryAfter);
    // A preload was answered and not busy.
    void TakePreloadAnswer() { pacing_.PreloadRetriesDone = 0; }

    // Held back until the pacing lets them go.
    void HoldSkip(std::string url);
    void HoldPreload();
    void HoldQueue();
    void ReleasePreload() { pacing_.PreloadHeld = false; }
    void ReleaseQueue() { pacing_.QueueHeld = false; }

    // What the wait timer lets go now.
    enum class Due { Nothing, Countdown, Retry, Skip, Preload, Queue };
    struct Release {
        Due What = Due::Nothing;
        std::string URL;
    };
    // Called when the wait timer ran out; a retry or a skip it releases is
    // taken out of the record, and the retry counts as made.
    Release OnWaitTimer();
    // Starts or stops the wait timer for what is held.
    void ScheduleWaitTimer();

    // The user navigates: a retry or a held skip no longer applies; what the
    // site asked for (the time to wait) still does.
    void DropAutomaticRequests();
    // Stop: nothing held goes out any more. Returns whether a retry waited.
    bool StopAll();

private:
    int64_t AutomaticRequestDueMs() const;
    std::optional<int64_t> RetryAfterOf(const std::optional<std::string>& header) const;

    const Settings& settings_;
    ClockPort& clock_;
    RequestPacing pacing_;
};

}  // namespace kpw
