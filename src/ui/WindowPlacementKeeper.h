#pragma once

#include "settings/WindowPlacement.h"

class QWidget;

namespace kpw {

struct Settings;

// Keeps the main window where its settings put it. The stored size is the
// window's outer size, and the window manager's frame is known only some
// time after the window is shown, so the placement is finished from the
// window's move, resize and state events; at closing it gives the outer
// bounds of the normal window, also when it is minimised or maximised.
class WindowPlacementKeeper {
public:
    // minimumOuterSize: the layout's; on a smaller screen, the screen's size.
    WindowPlacementKeeper(QWidget& window, PixelSize minimumOuterSize);

    // The minimum outer size on the screen the window is on.
    PixelSize MinimumOnScreen() const;

    // Places the window at the stored bounds and state.
    void Place(const Settings& settings, WorkArea workArea);
    // From the window's move, resize and state-change events.
    void Apply();

    struct Closing {
        int WindowState = 0;  // 0 normal, 1 minimised, 2 maximised
        WindowBounds OuterBounds;
    };
    // Taken at closing, before the window system restores the window.
    Closing AtClosing();

private:
    QWidget& window_;
    PixelSize minimum_;
    bool outerBoundsPending_ = false;
    WindowBounds startOuterBounds_{};
    bool maximisePending_ = false;
    // The frame of the normal window, once seen; the frame of a maximised
    // one differs.
    FrameMargins normalMargins_;
};

}  // namespace kpw
