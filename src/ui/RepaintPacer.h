#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <chrono>

class QWidget;

namespace kpw {

// Repaints a window at most once a frame. A window that holds an engine view
// is composed as a whole (by OpenGL, on many desktops in software) at every
// repaint, however small the part that changed, and a page load changes the
// status bar, the index field and the page, each at its own moment. Requests
// that come within a frame of the last repaint are gathered into one repaint
// at the end of that frame; none is dropped, and what is shown stays the same.
class RepaintPacer : public QObject {
public:
    static constexpr std::chrono::milliseconds DefaultFrame{16};

    // Paces the window's repaints for as long as the window lives.
    static void Pace(QWidget& window, std::chrono::milliseconds frame = DefaultFrame);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RepaintPacer(QWidget& window, std::chrono::milliseconds frame);
    void RepaintNow();

    QWidget& window_;
    const qint64 frameMs_;
    QElapsedTimer sinceRepaint_;
    QTimer deferred_;
    bool repainting_ = false;
};

}  // namespace kpw
