// The tool row in a narrow window: what stays, where it stands, what the
// overflow menu gets and what its entries say.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "browsing/KeyCodes.h"
#include "browsing/ToolRowFit.h"
#include "browsing/WindowKeys.h"
#include "texts/Texts.h"

namespace kpw {
namespace {

constexpr int32_t OverflowWidth = 16;

// The main window's row at scale 1: fifteen buttons, the index field with
// its label (which never leaves), Help and Settings.
std::vector<RowItem> MainRow() {
    std::vector<RowItem> row;
    for (int left = 0; left <= 336; left += 24) row.push_back({left, 23, true});
    row.push_back({368, 148, false});
    row.push_back({519, 23, true});
    row.push_back({543, 23, true});
    return row;
}

constexpr size_t IndexItem = 15;

int32_t Right(const std::vector<RowItem>& items, const RowFit& fit, size_t i) {
    return fit.Lefts[i] + items[i].Width;
}

TEST(ToolRowFit, AWholeRowKeepsTheLayoutsPlacesAndNeedsNoMenu) {
    const std::vector<RowItem> row = MainRow();
    for (int32_t width : {566, 567, 1200}) {
        const RowFit fit = FitRow(row, width, OverflowWidth);
        EXPECT_FALSE(fit.Overflows) << width;
        for (size_t i = 0; i < row.size(); ++i) {
            EXPECT_TRUE(fit.Shown[i]) << width << " " << i;
            EXPECT_EQ(fit.Lefts[i], row[i].Left) << width << " " << i;
        }
    }
}

TEST(ToolRowFit, APixelShortHandsOnTheLastButtonAndKeepsTheOthersInPlace) {
    const std::vector<RowItem> row = MainRow();
    const RowFit fit = FitRow(row, 565, OverflowWidth);
    ASSERT_TRUE(fit.Overflows);
    EXPECT_FALSE(fit.Shown.back());
    for (size_t i = 0; i + 1 < row.size(); ++i) {
        EXPECT_TRUE(fit.Shown[i]) << i;
        EXPECT_EQ(fit.Lefts[i], row[i].Left) << i;
    }
    EXPECT_EQ(fit.OverflowLeft, Right(row, fit, row.size() - 2) + 1);
}

// Every width from what only the index field needs to more than the row:
// what stays is a prefix of what may leave, in its order, without overlap,
// within the width, the menu's button after it, and more room never shows
// less.
TEST(ToolRowFit, AnyWidthLeavesAnOrderedRowThatFits) {
    const std::vector<RowItem> row = MainRow();
    size_t shownBefore = 0;
    for (int32_t width = 148 + 1 + OverflowWidth; width <= 600; ++width) {
        SCOPED_TRACE(width);
        const RowFit fit = FitRow(row, width, OverflowWidth);
        EXPECT_TRUE(fit.Shown[IndexItem]);
        bool leftBefore = false;
        int32_t lastRight = 0;
        for (size_t i = 0; i < row.size(); ++i) {
            if (!row[i].MayOverflow) continue;
            // Once one has left, every later one has too.
            EXPECT_FALSE(leftBefore && fit.Shown[i]) << i;
            leftBefore = leftBefore || !fit.Shown[i];
        }
        for (size_t i = 0; i < row.size(); ++i) {
            if (!fit.Shown[i]) continue;
            EXPECT_GE(fit.Lefts[i], lastRight) << i;
            lastRight = Right(row, fit, i);
        }
        const int32_t end = fit.Overflows ? fit.OverflowLeft + OverflowWidth : lastRight;
        EXPECT_LE(end, width);
        EXPECT_EQ(fit.Overflows, width < 566);
        if (fit.Overflows) {
            EXPECT_GE(fit.OverflowLeft, lastRight);
        }
        // A wider window never shows fewer.
        size_t shown = 0;
        for (bool isShown : fit.Shown) shown += isShown ? 1 : 0;
        EXPECT_GE(shown, shownBefore);
        shownBefore = shown;
    }
}

TEST(ToolRowFit, TheIndexFieldClosesUpKeepingItsGap) {
    const std::vector<RowItem> row = MainRow();
    // Without Auto skip, Help and Settings: after Stop (up to 335) with the
    // nine pixels the layout has before the label.
    const RowFit fit = FitRow(row, 512, OverflowWidth);
    ASSERT_FALSE(fit.Shown[14]);
    ASSERT_TRUE(fit.Shown[13]);
    EXPECT_EQ(fit.Lefts[IndexItem], Right(row, fit, 13) + (368 - (336 + 23)));
}

TEST(ToolRowFit, ItemsThatMayNotLeaveStayWhereNothingFits) {
    const std::vector<RowItem> row = MainRow();
    const RowFit fit = FitRow(row, 40, OverflowWidth);
    EXPECT_TRUE(fit.Overflows);
    for (size_t i = 0; i < row.size(); ++i) EXPECT_EQ(fit.Shown[i], i == IndexItem) << i;
    // Where the row begins, its gap from Auto skip gone with Auto skip.
    EXPECT_EQ(fit.Lefts[IndexItem], 0);
    EXPECT_EQ(fit.OverflowLeft, Right(row, fit, IndexItem) + 1);
}

// The menu's entries: a name on one line in each language, the key the
// window takes for the function, F5, Esc and F1 for the three with keys of
// their own.
TEST(ToolRowFit, EveryMenuEntryHasAOneLineNameAndItsKey) {
    for (int language : {texts::English, texts::German}) {
        for (int b = 0; b < ToolButtonCount; ++b) {
            const auto button = static_cast<ToolButton>(b);
            const ToolEntry entry = ToolEntryOf(button, language);
            SCOPED_TRACE(entry.Name);
            EXPECT_FALSE(entry.Name.empty()) << b;
            EXPECT_EQ(entry.Name.find('\r'), std::string::npos);
            EXPECT_EQ(entry.Name.find('('), std::string::npos) << "the key belongs in its column";
            if (const std::optional<KeyStroke> key = KeyOfButton(button)) {
                EXPECT_EQ(entry.Key, KeyName(*key, language));
            }
        }
        EXPECT_EQ(ToolEntryOf(ToolButton::Refresh, language).Key, "F5");
        EXPECT_EQ(ToolEntryOf(ToolButton::Stop, language).Key, "Esc");
        EXPECT_EQ(ToolEntryOf(ToolButton::Help, language).Key, "F1");
    }
    EXPECT_NE(ToolEntryOf(ToolButton::Settings, texts::English).Name,
              ToolEntryOf(ToolButton::Settings, texts::German).Name);
    EXPECT_EQ(ToolEntryOf(ToolButton::ShowStatistics, texts::German).Key, "Strg+T");
}

}  // namespace
}  // namespace kpw
