#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "browsing/ClockPort.h"

namespace kpw {

// A clock that moves only when a test moves it. The timers run out inside
// Advance, at their due times in time order, as often as they are started again.
class FakeClock : public ClockPort {
public:
    int64_t NowMs() const override { return now_; }
    int64_t UnixSeconds() const override { return unixSecondsAtStart + now_ / 1000; }
    void StartWaitTimer(int64_t delayMs) override { due_ = now_ + (delayMs < 0 ? 0 : delayMs); }
    void StopWaitTimer() override { due_.reset(); }
    void StartSlideshowTimer(int64_t delayMs) override {
        slideshowDue_ = now_ + (delayMs < 0 ? 0 : delayMs);
    }
    void StopSlideshowTimer() override { slideshowDue_.reset(); }
    void StartLateTextTimer(int64_t delayMs) override {
        lateTextDue_ = now_ + (delayMs < 0 ? 0 : delayMs);
    }
    void StopLateTextTimer() override { lateTextDue_.reset(); }
    void StartVerdictTimer(int64_t delayMs) override {
        verdictDue_ = now_ + (delayMs < 0 ? 0 : delayMs);
    }
    void StopVerdictTimer() override { verdictDue_.reset(); }

    // Moves the time on by ms, running the timer out whenever it is due.
    void Advance(int64_t ms);
    // Moves the time to the timer's due time and runs it out; false when no
    // timer runs.
    bool RunTimer();
    bool TimerRunning() const { return due_.has_value(); }
    std::optional<int64_t> TimerDueInMs() const;
    bool SlideshowTimerRunning() const { return slideshowDue_.has_value(); }
    std::optional<int64_t> SlideshowTimerDueInMs() const;
    std::optional<int64_t> LateTextTimerDueInMs() const;
    std::optional<int64_t> VerdictTimerDueInMs() const;

    // Called when the timer runs out (the window's wait-timer handler).
    std::function<void()> OnTimeout;
    std::function<void()> OnSlideshowTimeout;
    std::function<void()> OnLateTextTimeout;
    std::function<void()> OnVerdictTimeout;
    int64_t unixSecondsAtStart = 1'800'000'000;

private:
    int64_t now_ = 1'000'000;
    std::optional<int64_t> due_;
    std::optional<int64_t> slideshowDue_;
    std::optional<int64_t> lateTextDue_;
    std::optional<int64_t> verdictDue_;
};

}  // namespace kpw
