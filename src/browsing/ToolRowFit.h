#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "browsing/MainWindowPort.h"

// Which controls of a row keep their place in the window's width and which
// go to the row's overflow menu, as a tool bar hands on what it cannot show.
namespace kpw {

struct RowItem {
    int32_t Left = 0;  // where the layout has it when the whole row fits
    int32_t Width = 0;
    bool MayOverflow = true;  // false: stays in the row whatever the width
};

struct RowFit {
    // Per item: whether it stays in the row, and where it stands then.
    std::vector<bool> Shown;
    std::vector<int32_t> Lefts;
    // The overflow button is needed and stands there.
    bool Overflows = false;
    int32_t OverflowLeft = 0;
};

// The row in a width: everything at its own place when the whole row fits.
// Otherwise the items that may overflow leave from the end, as few as make
// the rest and the overflow button fit; the rest close up, keeping the gaps
// the layout has before each of them, and the button follows the last one.
// Items that may not overflow stay even where nothing fits any more.
RowFit FitRow(const std::vector<RowItem>& items, int32_t width, int32_t overflowWidth,
              int32_t overflowGap = 1);

// What the overflow menu shows of a tool button: the name of its function
// and its key as the program's texts write them (empty for none).
struct ToolEntry {
    std::string Name;
    std::string Key;
};
ToolEntry ToolEntryOf(ToolButton button, int language);

}  // namespace kpw
