#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "browsing/ClockPort.h"

namespace kpw {

// The logic's clock on Qt: a monotonic elapsed timer, the system's wall
// clock, and two single-shot timers that call onTimeout and onSlideshowTimeout
// when they run out.
class QtClock : public ClockPort {
public:
    explicit QtClock(std::function<void()> onTimeout, std::function<void()> onSlideshowTimeout = {},
                     std::function<void()> onLateTextTimeout = {},
                     std::function<void()> onVerdictTimeout = {});

    int64_t NowMs() const override;
    int64_t UnixSeconds() const override;
    void StartWaitTimer(int64_t delayMs) override;
    void StopWaitTimer() override;
    void StartSlideshowTimer(int64_t delayMs) override;
    void StopSlideshowTimer() override;
    void StartLateTextTimer(int64_t delayMs) override;
    void StopLateTextTimer() override;
    void StartVerdictTimer(int64_t delayMs) override;
    void StopVerdictTimer() override;

    const QTimer& WaitTimer() const { return timer_; }

private:
    QElapsedTimer elapsed_;
    QTimer timer_;
    QTimer slideshowTimer_;
    QTimer lateTextTimer_;
    QTimer verdictTimer_;
};

}  // namespace kpw
