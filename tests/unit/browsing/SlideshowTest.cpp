#include <gtest/gtest.h>

#include "FakeClock.h"
#include "FakeMainWindow.h"
#include "browsing/Slideshow.h"

namespace kpw {
namespace {

class SlideshowPart : public ::testing::Test {
protected:
    void SetUp() override {
        settings.SlideshowInterval = 3;
        clock.OnSlideshowTimeout = [this] { slideshow.OnTimer(); };
    }

    Settings settings;
    FakeClock clock;
    FakeMainWindow window;
    NavigationState state;
    int listsClosed = 0;
    int steps = 0;
    Slideshow slideshow{settings, clock, window, state, [this] { ++listsClosed; },
                        [this] { ++steps; }};
};

TEST_F(SlideshowPart, StepsEveryIntervalAfterThePageSettled) {
    slideshow.Start();
    slideshow.Start();
    EXPECT_EQ(listsClosed, 1);
    EXPECT_EQ(window.StatusText(), "Slideshow: every 3 s");
    clock.Advance(2999);
    EXPECT_EQ(steps, 0);
    clock.Advance(1);
    EXPECT_EQ(steps, 1);
    // The next count starts when the stepped-to page has ended its load.
    clock.Advance(10000);
    EXPECT_EQ(steps, 1);
    slideshow.PageEnded(false);
    EXPECT_FALSE(clock.SlideshowTimerRunning());
    slideshow.PageEnded(true);
    EXPECT_EQ(clock.SlideshowTimerDueInMs(), 3000);
}

TEST_F(SlideshowPart, WaitsForALoadingPageAndEndsOnStop) {
    state.Loading = true;
    slideshow.Start();
    EXPECT_FALSE(clock.SlideshowTimerRunning());
    // A timer left from before finds the page loading and steps not.
    clock.StartSlideshowTimer(0);
    clock.Advance(0);
    EXPECT_EQ(steps, 0);

    EXPECT_TRUE(slideshow.Stop());
    EXPECT_FALSE(slideshow.Running());
    EXPECT_FALSE(slideshow.Stop());
    slideshow.PageEnded(true);
    EXPECT_FALSE(clock.SlideshowTimerRunning());
}

}  // namespace
}  // namespace kpw
