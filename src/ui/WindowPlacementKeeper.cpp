#include "ui/WindowPlacementKeeper.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <QWidget>
#include <vector>

#include "settings/Settings.h"

namespace kpw {

namespace {

WindowBounds BoundsOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

// All screens together, as a window may span them.
PixelSize ScreensSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {1024, 768};
    const QRect all = screen->virtualGeometry();
    return {all.width(), all.height()};
}

// What each screen leaves to windows, the primary screen first.
std::vector<WindowBounds> AvailableAreas() {
    std::vector<WindowBounds> areas;
    if (const QScreen* primary = QGuiApplication::primaryScreen())
        areas.push_back(BoundsOf(primary->availableGeometry()));
    for (const QScreen* screen : QGuiApplication::screens()) {
        if (screen != QGuiApplication::primaryScreen())
            areas.push_back(BoundsOf(screen->availableGeometry()));
    }
    return areas;
}

}  // namespace

WindowPlacementKeeper::WindowPlacementKeeper(QWidget& window, PixelSize minimumOuterSize)
    : window_(window), minimum_(minimumOuterSize) {}

PixelSize WindowPlacementKeeper::MinimumOnScreen() const {
    const QScreen* screen = window_.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return minimum_;
    return MinimumWithin(minimum_, BoundsOf(screen->availableGeometry()));
}

void WindowPlacementKeeper::Place(const Settings& settings, WorkArea workArea) {
    // The minimum size still applies, and no more than the screens can show
    // is asked of the window system. Until the frame is known the size goes
    // to the client area.
    // Where the stored bounds do not lie wholly on a screen, they are moved
    // and, where larger, shrunk onto the one they overlap most.
    startOuterBounds_ = FittedOuterBounds(
        PlacedOuterBounds({settings.Left, settings.Top, settings.Width, settings.Height},
                          MinimumOnScreen(), ScreensSize(), workArea),
        AvailableAreas());
    window_.move(startOuterBounds_.Left, startOuterBounds_.Top);
    window_.resize(startOuterBounds_.Width, startOuterBounds_.Height);
    outerBoundsPending_ = true;
    if (settings.WindowState == 1)
        window_.setWindowState(Qt::WindowMinimized);
    else if (settings.WindowState == 2)
        window_.setWindowState(Qt::WindowMaximized);
    maximisePending_ = settings.WindowState == 2;
}

void WindowPlacementKeeper::Apply() {
    // Only the normal window's frame is the one to take off. Without a window
    // manager there is no frame and the client area is the whole window.
    if (!window_.isVisible()) return;
    const FrameMargins margins =
        MarginsBetween(BoundsOf(window_.frameGeometry()), BoundsOf(window_.geometry()));
    if (margins.IsEmpty()) return;
    // Framed while maximised: the manager did maximise it.
    if (window_.windowState() & Qt::WindowMaximized) maximisePending_ = false;
    if (window_.windowState() != Qt::WindowNoState) return;
    normalMargins_ = margins;
    // The screen it is on now may be smaller than the one it started on.
    const PixelSize minimum = MinimumOnScreen();
    window_.setMinimumSize(minimum.Width - margins.Left - margins.Right,
                           minimum.Height - margins.Top - margins.Bottom);
    if (outerBoundsPending_) {
        outerBoundsPending_ = false;
        const WindowBounds client = ClientBoundsWithin(startOuterBounds_, margins);
        window_.resize(client.Width, client.Height);
        window_.move(startOuterBounds_.Left, startOuterBounds_.Top);
    }
    // A window manager may map the window normal although it was asked for
    // maximised; once managed, the window asks again, now with its normal
    // bounds right.
    if (maximisePending_) {
        maximisePending_ = false;
        window_.setWindowState(Qt::WindowMaximized);
    }
}

WindowPlacementKeeper::Closing WindowPlacementKeeper::AtClosing() {
    Closing closing;
    const Qt::WindowStates state = window_.windowState();
    closing.WindowState = state & Qt::WindowMinimized ? 1 : state & Qt::WindowMaximized ? 2 : 0;
    Apply();
    closing.OuterBounds = BoundsOf(window_.frameGeometry());
    if (closing.WindowState != 0) {
        // A window that was never normal under a frame still has the bounds
        // it was given; Qt's normal geometry would lack the frame.
        const bool framed =
            !MarginsBetween(BoundsOf(window_.frameGeometry()), BoundsOf(window_.geometry()))
                 .IsEmpty();
        closing.OuterBounds =
            outerBoundsPending_ && framed
                ? startOuterBounds_
                : OuterBoundsAround(BoundsOf(window_.normalGeometry()), normalMargins_);
    }
    return closing;
}

}  // namespace kpw
