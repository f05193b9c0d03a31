#include "settings/WindowPlacement.h"

#include <algorithm>
#include <limits>

namespace kpw {

namespace {

int32_t Saturated(int64_t value) {
    return static_cast<int32_t>(std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

// A size the screens can show; the minimum still wins on a smaller screen.
int32_t CappedLength(int32_t stored, int32_t minimum, int32_t screens) {
    return std::max(std::min(stored, std::max(screens, 1)), minimum);
}

}  // namespace

WindowBounds PlacedOuterBounds(WindowBounds stored, PixelSize minimum, PixelSize screens,
                               WorkArea workArea) {
    WindowBounds placed = stored;
    placed.Width = CappedLength(stored.Width, minimum.Width, screens.Width);
    placed.Height = CappedLength(stored.Height, minimum.Height, screens.Height);
    if (placed.Width < stored.Width) {
        placed.Left = std::clamp(stored.Left, Saturated(int64_t{100} - placed.Width),
                                 std::max(Saturated(int64_t{100} - placed.Width),
                                          Saturated(int64_t{workArea.Width} - 40)));
    }
    if (placed.Height < stored.Height) {
        placed.Top = std::clamp(stored.Top, Saturated(int64_t{100} - placed.Height),
                                std::max(Saturated(int64_t{100} - placed.Height),
                                         Saturated(int64_t{workArea.Height} - 40)));
    }
    return placed;
}

FrameMargins MarginsBetween(WindowBounds outer, WindowBounds client) {
    return FrameMargins{Saturated(int64_t{client.Left} - outer.Left),
                        Saturated(int64_t{client.Top} - outer.Top),
                        Saturated(int64_t{outer.Left} + outer.Width - client.Left - client.Width),
                        Saturated(int64_t{outer.Top} + outer.Height - client.Top - client.Height)};
}

WindowBounds ClientBoundsWithin(WindowBounds outer, FrameMargins margins) {
    return WindowBounds{
        Saturated(int64_t{outer.Left} + margins.Left), Saturated(int64_t{outer.Top} + margins.Top),
        std::max(Saturated(int64_t{outer.Width} - margins.Left - margins.Right), 1),
        std::max(Saturated(int64_t{outer.Height} - margins.Top - margins.Bottom), 1)};
}

WindowBounds OuterBoundsAround(WindowBounds client, FrameMargins margins) {
    return WindowBounds{Saturated(int64_t{client.Left} - margins.Left),
                        Saturated(int64_t{client.Top} - margins.Top),
                        Saturated(int64_t{client.Width} + margins.Left + margins.Right),
                        Saturated(int64_t{client.Height} + margins.Top + margins.Bottom)};
}

WindowBounds CentredDialogBounds(WindowBounds ownerClient, PixelSize dialog, WindowBounds available,
                                 FrameMargins frame) {
    const int64_t centreX = int64_t{ownerClient.Left} + ownerClient.Width / 2;
    const int64_t centreY = int64_t{ownerClient.Top} + ownerClient.Height / 2;
    int64_t left = centreX - dialog.Width / 2;
    int64_t top = centreY - dialog.Height / 2;
    // The right and bottom edges first, so that the left and top win.
    const int64_t right = int64_t{available.Left} + available.Width;
    const int64_t bottom = int64_t{available.Top} + available.Height;
    left = std::min(left, right - frame.Right - dialog.Width);
    top = std::min(top, bottom - frame.Bottom - dialog.Height);
    left = std::max(left, int64_t{available.Left} + frame.Left);
    top = std::max(top, int64_t{available.Top} + frame.Top);
    return WindowBounds{Saturated(left), Saturated(top), dialog.Width, dialog.Height};
}

}  // namespace kpw
