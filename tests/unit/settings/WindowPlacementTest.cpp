#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>

#include "settings/WindowPlacement.h"

namespace kpw {

void PrintTo(const WindowBounds& b, std::ostream* out) {
    *out << b.Left << ", " << b.Top << ", " << b.Width << " x " << b.Height;
}

namespace {

constexpr int32_t Max = std::numeric_limits<int32_t>::max();
constexpr int32_t Min = std::numeric_limits<int32_t>::min();
constexpr PixelSize Minimum{574, 160};
constexpr PixelSize TwoScreens{3840, 1080};
constexpr WorkArea Primary{1920, 1040};

struct PlacementCase {
    const char* Name;
    WindowBounds Stored;
    WindowBounds Placed;
};

class StartPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(StartPlacement, StoredBoundsBecomeWhatTheScreensCanShow) {
    EXPECT_EQ(PlacedOuterBounds(GetParam().Stored, Minimum, TwoScreens, Primary),
              GetParam().Placed);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartPlacement,
    ::testing::Values(
        PlacementCase{"FitsAsStored", {100, 50, 702, 525}, {100, 50, 702, 525}},
        PlacementCase{"SpansBothScreens", {-10, 0, 3840, 1080}, {-10, 0, 3840, 1080}},
        PlacementCase{"BelowTheMinimum", {24, 24, 550, 100}, {24, 24, 574, 160}},
        PlacementCase{"NegativeSize", {24, 24, -5, Min}, {24, 24, 574, 160}},
        // Read with the stored size, Left may lie far outside; with the
        // capped size it is bounded again, so the window stays in reach.
        PlacementCase{"LargestSize", {100 - Max, 100 - Max, Max, Max}, {-3740, -980, 3840, 1080}},
        PlacementCase{
            "HugeSizeKeepsAReachablePosition", {1000, 500, 16000, 16000}, {1000, 500, 3840, 1080}},
        PlacementCase{
            "OnlyTheCappedSideMoves", {-5000, -900, 20000, 700}, {-3740, -900, 3840, 700}}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(StartPlacement, ScreensSmallerThanTheMinimumStillGetTheMinimum) {
    EXPECT_EQ(PlacedOuterBounds({0, 0, 9000, 9000}, Minimum, {320, 0}, {320, 0}),
              (WindowBounds{0, -40, 574, 160}));
}

struct FrameCase {
    const char* Name;
    WindowBounds Outer;
    FrameMargins Margins;
    WindowBounds Client;
};

class FrameArithmetic : public ::testing::TestWithParam<FrameCase> {};

// Start and close without a change must give back the same four numbers.
TEST_P(FrameArithmetic, OuterAndClientBoundsConvertBothWays) {
    const FrameCase& c = GetParam();
    EXPECT_EQ(ClientBoundsWithin(c.Outer, c.Margins), c.Client);
    EXPECT_EQ(OuterBoundsAround(c.Client, c.Margins), c.Outer);
    EXPECT_EQ(MarginsBetween(c.Outer, c.Client), c.Margins);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FrameArithmetic,
    ::testing::Values(
        FrameCase{"NoWindowManager", {24, 24, 574, 600}, {}, {24, 24, 574, 600}},
        FrameCase{"TitleAndBorders", {100, 50, 702, 525}, {1, 24, 1, 1}, {101, 74, 700, 500}},
        FrameCase{"ScaledFrame", {-8, 0, 802, 725}, {4, 42, 4, 4}, {-4, 42, 794, 679}},
        FrameCase{"TitleOnly", {0, 0, 1920, 1080}, {0, 20, 0, 0}, {0, 20, 1920, 1060}}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(FrameArithmetic, AFrameLargerThanTheBoundsLeavesAOnePixelClientArea) {
    const WindowBounds client = ClientBoundsWithin({0, 0, 10, 10}, {20, 30, 20, 30});
    EXPECT_EQ(client.Width, 1);
    EXPECT_EQ(client.Height, 1);
}

TEST(FrameArithmetic, ExtremeValuesSaturateInsteadOfOverflowing) {
    const WindowBounds outer = OuterBoundsAround({Min, Min, Max, Max}, {5, 5, 5, 5});
    EXPECT_EQ(outer, (WindowBounds{Min, Min, Max, Max}));
}

struct DialogCase {
    const char* Name;
    WindowBounds Owner;
    WindowBounds Placed;
};

constexpr PixelSize Dialog{542, 452};
constexpr WindowBounds Available{0, 0, 1280, 1000};
constexpr FrameMargins Frame{1, 20, 1, 1};

class DialogPlacement : public ::testing::TestWithParam<DialogCase> {};

TEST_P(DialogPlacement, CentredOnTheOwnerAndWhollyOnTheScreen) {
    EXPECT_EQ(CentredDialogBounds(GetParam().Owner, Dialog, Available, Frame), GetParam().Placed);
}

INSTANTIATE_TEST_SUITE_P(
    Owners, DialogPlacement,
    ::testing::Values(
        // The client areas' centres meet (to the pixel the halving allows).
        DialogCase{"Centred", {25, 44, 572, 575}, {40, 105, 542, 452}},
        DialogCase{"CentredOnAnOddSize", {100, 100, 801, 601}, {229, 174, 542, 452}},
        // Its frame stays on the screen too, the title bar above all.
        DialogCase{"OwnerNearTheTopLeft", {-300, -200, 600, 400}, {1, 20, 542, 452}},
        DialogCase{"OwnerNearTheBottomRight", {1100, 900, 600, 400}, {737, 547, 542, 452}},
        DialogCase{"OwnerInTheScreensCorner", {0, 0, 100, 100}, {1, 20, 542, 452}}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(DialogPlacement, DependsOnlyOnTheOwnersPlaceNotOnTheDialogsLast) {
    // A second showing with the owner unmoved lands where the first did; an
    // owner moved by 30, 40 takes the dialog along by the same.
    const WindowBounds owner{200, 150, 700, 600};
    const WindowBounds first = CentredDialogBounds(owner, Dialog, Available, Frame);
    EXPECT_EQ(CentredDialogBounds(owner, Dialog, Available, Frame), first);
    const WindowBounds moved = CentredDialogBounds({230, 190, 700, 600}, Dialog, Available, Frame);
    EXPECT_EQ(moved.Left - first.Left, 30);
    EXPECT_EQ(moved.Top - first.Top, 40);
}

TEST(DialogPlacement, LargerThanTheScreenKeepsItsTitleBarReachable) {
    EXPECT_EQ(CentredDialogBounds({0, 0, 500, 400}, Dialog, {0, 0, 500, 400}, Frame),
              (WindowBounds{1, 20, 542, 452}));
    EXPECT_EQ(CentredDialogBounds({0, 0, 500, 400}, Dialog, {-800, 0, 500, 400}, Frame),
              (WindowBounds{-799, 20, 542, 452}));
}

}  // namespace
}  // namespace kpw
