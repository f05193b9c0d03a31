#include "ui/RepaintPacer.h"

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>
#include <algorithm>

namespace kpw {

void RepaintPacer::Pace(QWidget& window, std::chrono::milliseconds frame) {
    window.installEventFilter(new RepaintPacer(window, frame));
}

RepaintPacer::RepaintPacer(QWidget& window, std::chrono::milliseconds frame)
    : QObject(&window), window_(window), frameMs_(frame.count()) {
    deferred_.setSingleShot(true);
    connect(&deferred_, &QTimer::timeout, this, &RepaintPacer::RepaintNow);
}

// The window repaints whatever has become dirty when it receives an update
// request; one held back keeps the toolkit from asking again, so everything
// marked dirty meanwhile waits for the one the timer sends.
bool RepaintPacer::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &window_ || event->type() != QEvent::UpdateRequest || repainting_) return false;
    if (!sinceRepaint_.isValid() || sinceRepaint_.elapsed() >= frameMs_) {
        sinceRepaint_.start();
        return false;
    }
    if (!deferred_.isActive())
        deferred_.start(static_cast<int>(std::max<qint64>(0, frameMs_ - sinceRepaint_.elapsed())));
    return true;
}

void RepaintPacer::RepaintNow() {
    sinceRepaint_.start();
    repainting_ = true;
    QEvent request(QEvent::UpdateRequest);
    QCoreApplication::sendEvent(&window_, &request);
    repainting_ = false;
}

}  // namespace kpw
