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
        clock.OnTimeout = [this] { scheduler.OnWaitTimer(); };
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
    RequestScheduler scheduler{settings, clock};
    PhotoVerdicts verdicts{settings, clock};
    FakeBrowserView hidden;
    FakeBrowserView pages[2];
    Preloader preloader{settings, table, state, scheduler, verdicts, hidden};
};

TEST_F(PreloaderPart, TheNeighbourIsSentOnceAndHeldWhileThePacingWaits) {
    preloader.PreloadNeighbour();
    preloader.PreloadNeighbour();
    EXPECT_EQ(hidden.NavigatedURLs(), std::vector<std::string>{Photo(1001)});

    settings.MinRequestInterval = 1000;
    Aim(1001, 1002);
    preloader.PreloadNeighbour();
    EXPECT_EQ(hidden.NavigatedURLs().size(), 1u);
    EXPECT_TRUE(scheduler.Awake(RequestKind::Neighbour));
    EXPECT_EQ(clock.TimerDueInMs(), 1000);
    // Meanwhile the user moved on: the neighbour of the time goes.
    Aim(1002, 1003);
    clock.Advance(1000);
    EXPECT_EQ(hidden.NavigatedURLs(), (std::vector<std::string>{Photo(1001), Photo(1003)}));
}

TEST_F(PreloaderPart, ABusyNeighbourIsDroppedAndSentAgainAfterTheWait) {
    preloader.PreloadNeighbour();
    DocumentContent busy = Page("Too many requests");
    busy.HttpStatus = 429;
    busy.RetryAfter = "4";
    preloader.HiddenPageComplete(busy);
    EXPECT_TRUE(scheduler.Awake(RequestKind::Neighbour));
    EXPECT_EQ(clock.TimerDueInMs(), 4000);
    clock.Advance(4000);
    EXPECT_EQ(hidden.NavigatedURLs(), (std::vector<std::string>{Photo(1001), Photo(1001)}));
}

TEST_F(PreloaderPart, WithPagesItLearnsMissingPhotosAndJumpsTheirGap) {
    settings.MissingByPlaceholder = false;
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
    EXPECT_TRUE(verdicts.KnownMissingPhotos().Contains(settings.TemplateURL13, 1001));
    EXPECT_TRUE(verdicts.KnownMissingPhotos().Contains(settings.TemplateURL13, 1002));
    EXPECT_TRUE(preloader.Queue().WasFetched(1003));

    const KnownGapJump jump = preloader.GapAhead(1001, false, 10);
    EXPECT_EQ(jump.Target, 1003);
    EXPECT_EQ(jump.Skipped, 2);
    // Nothing is jumped with the switch off, and F5 forgets the gap.
    settings.SkipKnownMissing = false;
    EXPECT_EQ(preloader.GapAhead(1001, false, 10).Skipped, 0);
    settings.SkipKnownMissing = true;
    verdicts.ForgetKnownMissing();
    EXPECT_EQ(preloader.GapAhead(1001, false, 10).Skipped, 0);
}

TEST_F(PreloaderPart, OutsideModeOneWithAutoSkipNothingIsLearnt) {
    Attach();
    settings.AutoSkipURL = false;
    preloader.PreloadNeighbour();
    preloader.AimQueue();
    preloader.HiddenPageComplete(Page("HTTP 404 Not Found"));
    preloader.QueuePageComplete(0, Page("HTTP 404 Not Found"));
    EXPECT_EQ(verdicts.KnownMissingPhotos().Size(), 0u);
}

// A site that sends every missing photo on to one picture: the probe for an
// absent index learns where, and the photos sent there are missing.
TEST_F(PreloaderPart, ThePlaceholderIsLearntFromTheProbeAndFromTwoPhotosSentToIt) {
    const std::string placeholder = Host() + "/static/removed.png";
    Attach();
    preloader.PreloadNeighbour();
    preloader.AimQueue();
    // The probe takes the first page, once per template.
    ASSERT_EQ(pages[0].NavigatedURLs(), std::vector<std::string>{Photo(AbsentPhotoIndex)});
    pages[0].SetLocationURL(placeholder);
    preloader.QueuePageComplete(0, Page(""));

    const DocumentContent empty = Page("");
    EXPECT_EQ(verdicts.JudgeOnView({settings.TemplateURL13, 1000, placeholder, empty}, true, false),
              PhotoVerdict::Missing);
    // A photo at an address of its own, even a moved one, is present.
    EXPECT_EQ(verdicts.JudgeOnView({settings.TemplateURL13, 1000, Host() + "/cdn/abc.jpg", empty},
                                   true, false),
              PhotoVerdict::Present);
    preloader.AimQueue();
    int probes = 0;
    for (const auto& view : pages) {
        for (const std::string& url : view.NavigatedURLs())
            probes += url == Photo(AbsentPhotoIndex);
    }
    EXPECT_EQ(probes, 1);
}

}  // namespace
}  // namespace kpw
