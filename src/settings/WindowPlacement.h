#pragma once

#include <cstdint>

#include "settings/SettingsStore.h"

// The arithmetic of placing the main window: the stored bounds are the
// window's outer bounds, frame included, while the window system takes a
// size for the client area and adds a frame of its own, known only once the
// window is shown.
namespace kpw {

struct PixelSize {
    int32_t Width;
    int32_t Height;
};

// What the window manager puts around the client area, in pixels per side.
struct FrameMargins {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool IsEmpty() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }
    bool operator==(const FrameMargins&) const = default;
};

// The outer bounds the window is given at start: the stored ones with the
// minimum size applied and the size capped to what the screens show
// together, so that no stored value asks the window system for an
// impossible window. Where the size was capped, the position is bounded
// again with the size in force, as the stored size bounds it when read.
WindowBounds PlacedOuterBounds(WindowBounds stored, PixelSize minimum, PixelSize screens,
                               WorkArea workArea);

// The margins between a window's outer bounds and its client area.
FrameMargins MarginsBetween(WindowBounds outer, WindowBounds client);

// The client area inside outer bounds; at least one pixel each way.
WindowBounds ClientBoundsWithin(WindowBounds outer, FrameMargins margins);

// The outer bounds around a client area.
WindowBounds OuterBoundsAround(WindowBounds client, FrameMargins margins);

// Where a dialog's client area goes at each showing: centred on its owner's
// client area, then moved so that the dialog with its frame lies within the
// available area, its top-left corner first where it is larger. The frame
// is the owner's, the dialog's own not being known before it is shown; the
// same owner place gives the same dialog place every time.
WindowBounds CentredDialogBounds(WindowBounds ownerClient, PixelSize dialog, WindowBounds available,
                                 FrameMargins frame);

}  // namespace kpw
