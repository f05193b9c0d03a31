#include "app/QtClock.h"

#include <QDateTime>
#include <algorithm>
#include <utility>

namespace kpw {

namespace {

int TimerDelay(int64_t delayMs) {
    // QTimer takes an int; no wait of the program comes near its limit.
    return static_cast<int>(std::clamp<int64_t>(delayMs, 0, 24 * 3600 * 1000));
}

}  // namespace

QtClock::QtClock(std::function<void()> onTimeout, std::function<void()> onSlideshowTimeout,
                 std::function<void()> onLateTextTimeout, std::function<void()> onVerdictTimeout) {
    elapsed_.start();
    timer_.setSingleShot(true);
    // Waits of a second and more need no better than the coarse timer, which
    // lets the system bundle wake-ups.
    timer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&timer_, &QTimer::timeout, [callback = std::move(onTimeout)] { callback(); });
    slideshowTimer_.setSingleShot(true);
    slideshowTimer_.setTimerType(Qt::CoarseTimer);
    QObject::connect(&slideshowTimer_, &QTimer::timeout,
                     [callback = std::move(onSlideshowTimeout)] {
                         if (callback) callback();
                     });
    // Under a second, and the page on view waits for it: a precise timer.
    lateTextTimer_.setSingleShot(true);
    QObject::connect(&lateTextTimer_, &QTimer::timeout, [callback = std::move(onLateTextTimeout)] {
        if (callback) callback();
    });
    verdictTimer_.setSingleShot(true);
    QObject::connect(&verdictTimer_, &QTimer::timeout, [callback = std::move(onVerdictTimeout)] {
        if (callback) callback();
    });
}

int64_t QtClock::NowMs() const {
    return elapsed_.elapsed();
}

int64_t QtClock::UnixSeconds() const {
    return QDateTime::currentSecsSinceEpoch();
}

void QtClock::StartWaitTimer(int64_t delayMs) {
    timer_.start(TimerDelay(delayMs));
}

void QtClock::StopWaitTimer() {
    timer_.stop();
}

void QtClock::StartSlideshowTimer(int64_t delayMs) {
    slideshowTimer_.start(TimerDelay(delayMs));
}

void QtClock::StopSlideshowTimer() {
    slideshowTimer_.stop();
}

void QtClock::StartLateTextTimer(int64_t delayMs) {
    lateTextTimer_.start(TimerDelay(delayMs));
}

void QtClock::StopLateTextTimer() {
    lateTextTimer_.stop();
}

void QtClock::StartVerdictTimer(int64_t delayMs) {
    verdictTimer_.start(TimerDelay(delayMs));
}

void QtClock::StopVerdictTimer() {
    verdictTimer_.stop();
}

}  // namespace kpw
