#include <gtest/gtest.h>

#include <string>

#include "FakeBrowserView.h"
#include "FakeClock.h"
#include "NavigatorFixture.h"
#include "browsing/Preloader.h"

namespace kpw {
namespace {

// The preloader alone: a photo on view at 1000, travelling up.
class PreloaderPart : public ::testing::Test {
protected:
    void SetUp() override {
        table.RefreshURLTemplateTable();
        Aim(1000, 1001);
    }
    void Aim(int32_t current, int32_t next) {
        state.CurrentIndex = current;
        state.NextIndex = next;
        table[URLTemplateTable::NextURL] = Photo(next);
    }
    void Attach() { preloader.AttachPages({&pages[0], &pages[1]}); }

    Settings settings;
    URLTemplateTable table{settings};
    NavigationState state;
    FakeClock clock;
    RequestPacer pacer{settings, clock};
    FakeBrowserView hidden;
    FakeBrowserView pages[2];
    Preloader preloader{settings, table, state, pacer, hidden};
};

TEST_F(PreloaderPart, TheNeighbourIsSentOnceAndHeldWhileThePacingWaits) {
    preloader.PreloadNeighbour();
    preloader.PreloadNeighbour();
    EXPECT_EQ(hidden.NavigatedURLs(), std::vector<std::string>{Photo(1001)});

    settings.MinRequestInterval = 1000;
    Aim(1001, 1002);
    preloader.PreloadNeighbour();
    EXPECT_EQ(hidden.NavigatedURLs().size(), 1u);
    EXPECT_TRUE(pacer.Pacing().PreloadHeld);
    EXPECT_EQ(clock.TimerDueInMs(), 1000);
}

TEST_F(PreloaderPart, ABusyNeighbourIsDroppedAndSentAgainAfterTheWait) {
    preloader.PreloadNeighbour();
    DocumentContent busy = Page("Too many requests");
    busy.HttpStatus = 429;
    busy.RetryAfter = "4";
    preloader.HiddenPageComplete(busy);
    EXPECT_TRUE(pacer.Pacing().PreloadHeld);
    EXPECT_EQ(clock.TimerDueInMs(), 4000);
    clock.Advance(4000);
    pacer.ReleasePreload();
    preloader.PreloadNeighbour();
    EXPECT_EQ(hidden.NavigatedURLs().size(), 2u);
}

TEST_F(PreloaderPart, WithPagesItLearnsMissingPhotosAndJumpsTheirGap) {
    Attach();
    EXPECT_TRUE(pages[0].Silent() && pages[1].Silent());
    preloader.PreloadNeighbour();
    preloader.AimQueue();
    // Two at a time, beyond the neighbour.
    EXPECT_EQ(pages[0].NavigatedURLs(), std::vector<std::string>{Photo(1002)});
    EXPECT_EQ(pages[1].NavigatedURLs(), std::vector<std::string>{Photo(1003)});

    preloader.HiddenPageComplete(Page("HTTP 404 Not Found"));
    preloader.QueuePageComplete(0, Page("HTTP 404 Not Found"));
    preloader.QueuePageComplete(1, Page("A photo"));
    EXPECT_TRUE(preloader.KnownMissingPhotos().Contains(settings.TemplateURL13, 1001));
    EXPECT_TRUE(preloader.KnownMissingPhotos().Contains(settings.TemplateURL13, 1002));
    EXPECT_TRUE(preloader.Queue().WasFetched(1003));

    const KnownGapJump jump = preloader.GapAhead(1001, false, 10);
    EXPECT_EQ(jump.Target, 1003);
    EXPECT_EQ(jump.Skipped, 2);
    // Nothing is jumped with the switch off, and F5 forgets the gap.
    settings.SkipKnownMissing = false;
    EXPECT_EQ(preloader.GapAhead(1001, false, 10).Skipped, 0);
    settings.SkipKnownMissing = true;
    preloader.ForgetKnownMissing();
    EXPECT_EQ(preloader.GapAhead(1001, false, 10).Skipped, 0);
}

TEST_F(PreloaderPart, OutsideModeOneWithAutoSkipNothingIsLearnt) {
    Attach();
    settings.AutoSkipURL = false;
    preloader.PreloadNeighbour();
    preloader.AimQueue();
    preloader.HiddenPageComplete(Page("HTTP 404 Not Found"));
    preloader.QueuePageComplete(0, Page("HTTP 404 Not Found"));
    EXPECT_EQ(preloader.KnownMissingPhotos().Size(), 0u);
}

TEST_F(PreloaderPart, AVisiblePageTeachesOnlyAtThePhotoAddressAskedFor) {
    Attach();
    FakeBrowserView visible;
    visible.SetLocationURL(Photo(1000));
    preloader.LearnFromVisiblePage(visible, Page("HTTP 404"));
    EXPECT_TRUE(preloader.KnownMissingPhotos().Contains(settings.TemplateURL13, 1000));
    preloader.LearnFromVisiblePage(visible, Page("A photo"));
    EXPECT_FALSE(preloader.KnownMissingPhotos().Contains(settings.TemplateURL13, 1000));

    visible.SetLocationURL(InfoPage(1000));
    preloader.LearnFromVisiblePage(visible, Page("HTTP 404"));
    visible.ThrowOnLocationURL = true;
    preloader.LearnFromVisiblePage(visible, Page("HTTP 404"));
    EXPECT_EQ(preloader.KnownMissingPhotos().Size(), 0u);
}

}  // namespace
}  // namespace kpw
