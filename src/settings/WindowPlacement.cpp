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

PixelSize MinimumWithin(PixelSize minimum, WindowBounds available) {
    return PixelSize{std::clamp(minimum.Width, 1, std::max(available.Width, 1)),
                     std::clamp(minimum.Height, 1, std::max(available.Height, 1))};
}

namespace {

int64_t Overlap(int64_t start, int64_t length, int64_t areaStart, int64_t areaLength) {
    return std::max<int64_t>(
        0, std::min(start + length, areaStart + areaLength) - std::max(start, areaStart));
}

// One side: its length capped to the area's, its start moved as little as
// puts it within.
void FitSide(int32_t& start, int32_t& length, int32_t areaStart, int32_t areaLength) {
    length = std::min(length, std::max(areaLength, 1));
    const int64_t latest = int64_t{areaStart} + std::max(areaLength, 1) - length;
    start = Saturated(std::clamp<int64_t>(start, areaStart, latest));
}

}  // namespace

WindowBounds FittedOuterBounds(WindowBounds outer,
                               const std::vector<WindowBounds>& availableAreas) {
    if (availableAreas.empty()) return outer;
    const WindowBounds* best = &availableAreas.front();
    int64_t bestOverlap = -1;
    for (const WindowBounds& area : availableAreas) {
        const int64_t overlap = Overlap(outer.Left, outer.Width, area.Left, area.Width) *
                                Overlap(outer.Top, outer.Height, area.Top, area.Height);
        if (overlap > bestOverlap) {
            best = &area;
            bestOverlap = overlap;
        }
    }
    WindowBounds fitted = outer;
    FitSide(fitted.Left, fitted.Width, best->Left, best->Width);
    FitSide(fitted.Top, fitted.Height, best->Top, best->Height);
    return fitted;
}

ScrolledSize ClientSizeWithin(PixelSize content, PixelSize room, int32_t scrollBarExtent) {
    ScrolledSize size;
    // A second look: a bar taken one way may leave too little room the other.
    for (int pass = 0; pass < 2; ++pass) {
        size.ScrollsAcross = content.Width + (size.ScrollsDown ? scrollBarExtent : 0) > room.Width;
        size.ScrollsDown =
            content.Height + (size.ScrollsAcross ? scrollBarExtent : 0) > room.Height;
    }
    size.Client.Width =
        std::min(content.Width + (size.ScrollsDown ? scrollBarExtent : 0), room.Width);
    size.Client.Height =
        std::min(content.Height + (size.ScrollsAcross ? scrollBarExtent : 0), room.Height);
    size.Client.Width = std::max(size.Client.Width, 1);
    size.Client.Height = std::max(size.Client.Height, 1);
    return size;
}

}  // namespace kpw
