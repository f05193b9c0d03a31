#pragma once

#include <cstdint>

namespace kpw {

// Time as the logic needs it: a monotonic clock for waits and pacing, the
// wall clock for HTTP dates, and four single-shot timers. When the wait timer
// runs out the window calls Navigator::WaitTimerOnTimer, when the slideshow
// timer does, its Slideshow, when the late-text timer does, its
// LateErrorCheck, and when the verdict timer does, Navigator::VerdictTimerOnTimer.
class ClockPort {
public:
    virtual ~ClockPort() = default;
    // Milliseconds on a clock that never goes back.
    virtual int64_t NowMs() const = 0;
    // Seconds since 1970-01-01 00:00 UTC.
    virtual int64_t UnixSeconds() const = 0;
    // Starts the timer, replacing one that is running; 0 runs out as soon as
    // the pending events are handled.
    virtual void StartWaitTimer(int64_t delayMs) = 0;
    virtual void StopWaitTimer() = 0;
    // The slideshow's own timer, as the wait timer.
    virtual void StartSlideshowTimer(int64_t delayMs) = 0;
    virtual void StopSlideshowTimer() = 0;
    // The timer of the second reading of a page's text, as the wait timer.
    virtual void StartLateTextTimer(int64_t delayMs) = 0;
    virtual void StopLateTextTimer() = 0;
    // The bound of a verdict that waits for evidence, as the wait timer.
    virtual void StartVerdictTimer(int64_t delayMs) = 0;
    virtual void StopVerdictTimer() = 0;
};

}  // namespace kpw
