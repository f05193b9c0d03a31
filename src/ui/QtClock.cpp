#include "ui/QtClock.h"

#include <QDateTime>
#include <algorithm>
#include <utility>

namespace kpw {

QtClock::QtClock(std::function<void()> onTimeout) {
    elapsed_.start();
    timer_.setSingleShot(true);
    // Waits of a second and more need no better than the coarse timer, which
    // lets the system bundle wake-ups.
    timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [callback = std::move(onTimeout)] { callback(); });
}

int64_t QtClock::NowMs() const {
    return elapsed_.elapsed();
}

int64_t QtClock::UnixSeconds() const {
    return QDateTime::currentSecsSinceEpoch();
}

void QtClock::StartWaitTimer(int64_t delayMs) {
    // QTimer takes an int; no wait of the program comes near its limit.
    timer_.start(static_cast<int>(std::clamp<int64_t>(delayMs, 0, 24 * 3600 * 1000)));
}

void QtClock::StopWaitTimer() {
    timer_.stop();
}

}  // namespace kpw
