#include <gtest/gtest.h>

#include <limits>
#include <ostream>
#include <string>
#include <vector>

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

// A window that lies wholly on a screen stays as the user left it; one that
// does not is moved and, where larger, shrunk onto the screen it overlaps
// most. The screens: 1024 x 768 at scale 2 (a panel on top) and a second
// one to its right.
constexpr WindowBounds SmallScreen{0, 16, 512, 368};
constexpr WindowBounds RightScreen{512, 0, 1920, 1080};

struct FitCase {
    const char* Name;
    WindowBounds Outer;
    WindowBounds Fitted;
};

class ScreenFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(ScreenFit, TheWholeWindowLiesOnOneScreen) {
    const std::vector<WindowBounds> areas{SmallScreen, RightScreen};
    const WindowBounds fitted = FittedOuterBounds(GetParam().Outer, areas);
    EXPECT_EQ(fitted, GetParam().Fitted);
    // On one of the screens, whole.
    bool onOne = false;
    for (const WindowBounds& a : areas) {
        onOne = onOne || (fitted.Left >= a.Left && fitted.Top >= a.Top &&
                          fitted.Left + fitted.Width <= a.Left + a.Width &&
                          fitted.Top + fitted.Height <= a.Top + a.Height);
    }
    EXPECT_TRUE(onOne);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScreenFit,
    ::testing::Values(
        FitCase{"FitsAsChosen", {10, 20, 400, 300}, {10, 20, 400, 300}},
        FitCase{"FitsOnTheSecondScreen", {600, 40, 900, 700}, {600, 40, 900, 700}},
        FitCase{"TooLargeIsShrunkToTheScreen", {24, 24, 574, 600}, {0, 16, 512, 368}},
        FitCase{"HangingOverTheRightEdgeMovesBack", {300, 100, 300, 200}, {212, 100, 300, 200}},
        FitCase{"AboveThePanelMovesDown", {10, 0, 300, 200}, {10, 16, 300, 200}},
        FitCase{"MostlyOnTheSecondGoesThere", {2300, 500, 300, 700}, {2132, 380, 300, 700}},
        FitCase{"OffEveryScreenGoesToTheFirst", {-5000, -5000, 200, 100}, {0, 16, 200, 100}},
        FitCase{"ExtremeValuesStayOnTheScreen", {Min, Min, Max, Max}, {0, 16, 512, 368}}),
    [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(ScreenFit, NoScreensLeavesTheBoundsAsTheyAre) {
    EXPECT_EQ(FittedOuterBounds({1, 2, 3, 4}, {}), (WindowBounds{1, 2, 3, 4}));
}

TEST(ScreenFit, TheMinimumSizeNeverExceedsTheScreen) {
    EXPECT_EQ(MinimumWithin(Minimum, {0, 0, 1920, 1040}).Width, Minimum.Width);
    EXPECT_EQ(MinimumWithin(Minimum, {0, 0, 1920, 1040}).Height, Minimum.Height);
    const PixelSize small = MinimumWithin(Minimum, SmallScreen);
    EXPECT_EQ(small.Width, SmallScreen.Width);
    EXPECT_EQ(small.Height, Minimum.Height);
    EXPECT_EQ(MinimumWithin(Minimum, {0, 0, 0, -3}).Width, 1);
}

// The settings dialog's page of 542 x 452 in the room a screen leaves.
constexpr PixelSize Page{542, 452};
constexpr int32_t Bar = 16;

TEST(ScrolledDialog, ARoomyScreenShowsThePageWholeWithoutBars) {
    const ScrolledSize size = ClientSizeWithin(Page, {1000, 700}, Bar);
    EXPECT_EQ(size.Client.Width, Page.Width);
    EXPECT_EQ(size.Client.Height, Page.Height);
    EXPECT_FALSE(size.ScrollsAcross);
    EXPECT_FALSE(size.ScrollsDown);
}

TEST(ScrolledDialog, TooLowScrollsDownAndWidensForTheBarWhereThereIsRoom) {
    const ScrolledSize size = ClientSizeWithin(Page, {1000, 300}, Bar);
    EXPECT_TRUE(size.ScrollsDown);
    EXPECT_FALSE(size.ScrollsAcross);
    EXPECT_EQ(size.Client.Width, Page.Width + Bar);
    EXPECT_EQ(size.Client.Height, 300);
}

TEST(ScrolledDialog, ABarOneWayCanNeedTheOtherToo) {
    // The width would just do, but the bar for the height takes its room.
    const ScrolledSize size = ClientSizeWithin(Page, {Page.Width + 5, 300}, Bar);
    EXPECT_TRUE(size.ScrollsDown);
    EXPECT_TRUE(size.ScrollsAcross);
    EXPECT_EQ(size.Client.Width, Page.Width + 5);
    EXPECT_EQ(size.Client.Height, 300);
    // Scale 2 on 1024 x 768 under a title bar: both ways, the whole room.
    const ScrolledSize small = ClientSizeWithin(Page, {510, 340}, Bar);
    EXPECT_TRUE(small.ScrollsDown && small.ScrollsAcross);
    EXPECT_EQ(small.Client.Width, 510);
    EXPECT_EQ(small.Client.Height, 340);
}

}  // namespace
}  // namespace kpw
