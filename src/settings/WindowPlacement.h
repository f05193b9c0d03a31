#pragma once

#include <cstdint>
#include <vector>

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

// The minimum size of a window within an available area: the layout's
// minimum, but never more than the area holds, so that the whole window can
// always be shown.
PixelSize MinimumWithin(PixelSize minimum, WindowBounds available);

// Outer bounds on the screens: unchanged where they lie wholly within one
// of the available areas. Otherwise they go to the area they overlap most
// (the first when they overlap none), shrunk to its size where they are
// larger and moved onto it as little as needed.
WindowBounds FittedOuterBounds(WindowBounds outer, const std::vector<WindowBounds>& availableAreas);

// A dialog's client area in the room a screen leaves it. Its content keeps
// its size and is scrolled where the room is smaller; a scroll bar takes
// room across the other way, so needing one may need the other.
struct ScrolledSize {
    PixelSize Client;
    bool ScrollsAcross = false;  // a horizontal scroll bar
    bool ScrollsDown = false;    // a vertical scroll bar
};
ScrolledSize ClientSizeWithin(PixelSize content, PixelSize room, int32_t scrollBarExtent);

}  // namespace kpw
