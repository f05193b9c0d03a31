#include <algorithm>
#include <array>
#include <set>
#include <string>
#include <vector>

#include "NavigatorFixture.h"
#include "browsing/PreloadQueue.h"

namespace kpw {
namespace {

using Kind = FakeBrowserView::CallKind;

// ---- The known-missing set

TEST(KnownMissingSet, KeepsIndexesPerTemplateUntilForgotten) {
    KnownMissing known;
    known.Add("http://a/*.jpg", 5);
    known.Add("http://a/*.jpg", 5);
    EXPECT_TRUE(known.Contains("http://a/*.jpg", 5));
    EXPECT_FALSE(known.Contains("http://b/*.jpg", 5));
    EXPECT_FALSE(known.Contains("http://a/*.jpg", 6));
    EXPECT_EQ(known.Size(), 1u);
    known.Forget("http://a/*.jpg", 5);
    EXPECT_FALSE(known.Contains("http://a/*.jpg", 5));
    known.Add("http://a/*.jpg", MaxIndex);
    known.Add("http://b/*.jpg", 1);
    known.Clear();
    EXPECT_EQ(known.Size(), 0u);
    EXPECT_FALSE(known.Contains("http://a/*.jpg", MaxIndex));
}

TEST(KnownMissingSet, DropsTheOldestBeyondItsBoundNotAnEntryAddedAgain) {
    KnownMissing known(3);
    known.Add("t", 1);
    known.Add("t", 2);
    known.Forget("t", 1);
    known.Add("t", 1);  // now the newest
    known.Add("t", 3);
    known.Add("t", 4);
    EXPECT_EQ(known.Size(), 3u);
    EXPECT_FALSE(known.Contains("t", 2));
    for (int32_t index : {1, 3, 4}) EXPECT_TRUE(known.Contains("t", index)) << index;

    // Numbers left behind by forgotten entries never push out live ones.
    KnownMissing churn(3);
    for (int round = 0; round < 1000; ++round) {
        churn.Add("t", 10 + round);
        churn.Forget("t", 10 + round);
    }
    for (int32_t index : {1, 2, 3}) churn.Add("t", index);
    EXPECT_EQ(churn.Size(), 3u);
    for (int32_t index : {1, 2, 3}) EXPECT_TRUE(churn.Contains("t", index)) << index;
}

TEST(KnownMissingSet, HoldsAHundredThousandEntriesAtMost) {
    KnownMissing known;
    for (int32_t index = 1; index <= 100001; ++index) known.Add("t", index);
    EXPECT_EQ(known.Size(), KnownMissing::DefaultCapacity);
    EXPECT_FALSE(known.Contains("t", 1));
    EXPECT_TRUE(known.Contains("t", 2));
    EXPECT_TRUE(known.Contains("t", 100001));
}

// ---- The jump over a known gap

struct JumpCase {
    const char* Name;
    int32_t Target;
    bool Down;
    int32_t Allowed;
    int32_t Landing;
    int32_t Skipped;
};

class KnownGapJumps : public ::testing::TestWithParam<JumpCase> {};

TEST_P(KnownGapJumps, LandOnTheFirstIndexNotKnownMissingWithinTheCount) {
    const JumpCase& c = GetParam();
    // Known missing: 2..11 and the two highest indexes.
    const auto known = [](int32_t index) {
        return (index >= 2 && index <= 11) || index >= MaxIndex - 1;
    };
    const KnownGapJump jump = JumpOverKnownMissing(known, c.Target, c.Down, c.Allowed);
    EXPECT_EQ(jump.Target, c.Landing);
    EXPECT_EQ(jump.Skipped, c.Skipped);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, KnownGapJumps,
    ::testing::Values(JumpCase{"UpOverTheGap", 2, false, 100, 12, 10},
                      JumpCase{"DownOverTheGapStopsAtOne", 11, true, 100, 1, 10},
                      JumpCase{"CountRunsOutInTheGap", 2, false, 4, 6, 4},
                      JumpCase{"NoCountLeft", 2, false, 0, 2, 0},
                      JumpCase{"NegativeCountLeft", 2, false, -3, 2, 0},
                      JumpCase{"NotKnownMissing", 12, false, 100, 12, 0},
                      JumpCase{"StopsAtTheHighestIndex", MaxIndex - 1, false, 100, MaxIndex, 1}),
    [](const ::testing::TestParamInfo<JumpCase>& jumpCase) {
        return std::string(jumpCase.param.Name);
    });

// ---- The queue's plan

PreloadAim AimAt(int32_t current, bool down, int32_t depth, int32_t reach = 101,
                 bool skipsMissing = true, std::string key = "photos") {
    return {std::move(key), current, down, depth, reach, skipsMissing};
}

const auto NoneMissing = [](int32_t) { return false; };

// Runs the queue as pages that answer at once; the indexes in fetch order.
std::vector<int32_t> FetchAll(PreloadQueue& queue, const std::set<int32_t>& missing = {}) {
    std::vector<int32_t> fetched;
    std::set<int32_t> known;
    const auto isKnown = [&](int32_t index) { return known.count(index) != 0; };
    while (std::optional<PreloadQueue::Fetch> fetch = queue.Next(isKnown)) {
        queue.Started(*fetch);
        fetched.push_back(fetch->Index);
        EXPECT_EQ(queue.Finished(fetch->Page), fetch->Index);
        // Told apart only where the aim says so, as the navigator does.
        if (missing.count(fetch->Index) && queue.Aim().SkipsMissing)
            known.insert(fetch->Index);
        else
            queue.Fetched(fetch->Index);
        if (fetched.size() > 200) break;
    }
    return fetched;
}

TEST(PreloadPlan, FetchesBeyondTheHiddenNeighbourUpToTheDepthTwoAtATime) {
    PreloadQueue queue(2);
    queue.Aim(AimAt(1000, false, 4));
    const std::optional<PreloadQueue::Fetch> first = queue.Next(NoneMissing);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Index, 1002);
    queue.Started(*first);
    const std::optional<PreloadQueue::Fetch> second = queue.Next(NoneMissing);
    ASSERT_TRUE(second);
    EXPECT_EQ(second->Index, 1003);
    EXPECT_NE(second->Page, first->Page);
    queue.Started(*second);
    EXPECT_FALSE(queue.Next(NoneMissing)) << "two loads in flight at most";

    EXPECT_EQ(queue.Finished(first->Page), 1002);
    queue.Fetched(1002);
    const std::optional<PreloadQueue::Fetch> third = queue.Next(NoneMissing);
    ASSERT_TRUE(third);
    EXPECT_EQ(third->Index, 1004);
    queue.Started(*third);
    queue.Finished(second->Page);
    queue.Fetched(1003);
    EXPECT_FALSE(queue.Next(NoneMissing)) << "1001 to 1004 are the depth of 4";
}

TEST(PreloadPlan, DepthOneFetchesNothing) {
    PreloadQueue queue(2);
    queue.Aim(AimAt(1000, false, 1));
    EXPECT_FALSE(queue.Next(NoneMissing));
}

TEST(PreloadPlan, WalksOverAGapUpToTheReach) {
    const std::set<int32_t> gap = {1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010, 1011};
    PreloadQueue queue(2);
    queue.Aim(AimAt(1001, false, 4));
    // 1002 is the hidden view's and counts; the gap beyond it costs nothing.
    EXPECT_EQ(FetchAll(queue, gap), (std::vector<int32_t>{1003, 1004, 1005, 1006, 1007, 1008, 1009,
                                                          1010, 1011, 1012, 1013, 1014}));

    // Where the gap is not told apart, missing pages count as any other.
    PreloadQueue blind(2);
    blind.Aim(AimAt(1001, false, 4, 4, false));
    EXPECT_EQ(FetchAll(blind, gap), (std::vector<int32_t>{1003, 1004, 1005}));

    // Nothing beyond the reach, however long the gap.
    PreloadQueue near(2);
    near.Aim(AimAt(1001, false, 4, 6));
    EXPECT_EQ(FetchAll(near, gap), (std::vector<int32_t>{1003, 1004, 1005, 1006, 1007}));
}

TEST(PreloadPlan, StaysWithinOneAndTheHighestIndex) {
    PreloadQueue queue(2);
    queue.Aim(AimAt(MaxIndex, false, 16));
    EXPECT_TRUE(FetchAll(queue).empty());
    queue.Aim(AimAt(MaxIndex - 3, false, 16, 101, true, "other"));
    EXPECT_EQ(FetchAll(queue), (std::vector<int32_t>{MaxIndex - 1, MaxIndex}));
    queue.Aim(AimAt(1, true, 16));
    EXPECT_TRUE(FetchAll(queue).empty());
    queue.Aim(AimAt(4, true, 16));
    EXPECT_EQ(FetchAll(queue), (std::vector<int32_t>{2, 1}));
}

TEST(PreloadPlan, ATurnStopsTheLoadsInFlightAndAimsTheOtherWay) {
    PreloadQueue queue(2);
    queue.Aim(AimAt(1000, false, 4));
    const PreloadQueue::Fetch a = *queue.Next(NoneMissing);
    queue.Started(a);
    const PreloadQueue::Fetch b = *queue.Next(NoneMissing);
    queue.Started(b);

    // One step on in the same direction keeps both.
    EXPECT_TRUE(queue.Aim(AimAt(1001, false, 4)).empty());
    // A turn drops them; their late ends are nobody's.
    EXPECT_EQ(queue.Aim(AimAt(1000, true, 4)), (std::vector<size_t>{a.Page, b.Page}));
    EXPECT_FALSE(queue.Next(NoneMissing)) << "the dropped loads still take the two places";
    EXPECT_EQ(queue.Finished(a.Page), std::nullopt);
    EXPECT_EQ(queue.Finished(b.Page), std::nullopt);
    EXPECT_EQ(FetchAll(queue), (std::vector<int32_t>{998, 997, 996}));
    EXPECT_FALSE(queue.WasFetched(1002));
}

TEST(PreloadPlan, RemembersWhatWasFetchedUntilTheKeyChanges) {
    PreloadQueue queue(2);
    queue.Aim(AimAt(1000, false, 4));
    EXPECT_EQ(FetchAll(queue), (std::vector<int32_t>{1002, 1003, 1004}));
    // Back and forth: nothing is asked for twice.
    queue.Aim(AimAt(1001, true, 4));
    EXPECT_EQ(FetchAll(queue), (std::vector<int32_t>{999, 998, 997}));
    queue.Aim(AimAt(1001, false, 4));
    EXPECT_EQ(FetchAll(queue), (std::vector<int32_t>{1005}));
    // Another photo size or view: the pages are other pages.
    queue.Aim(AimAt(1001, false, 4, 101, true, "small photos"));
    EXPECT_EQ(FetchAll(queue), (std::vector<int32_t>{1003, 1004, 1005}));
}

TEST(PreloadPlan, LeavesTheLoadsBeyondANewReach) {
    PreloadQueue queue(2);
    queue.Aim(AimAt(1000, false, 4, 4));
    const PreloadQueue::Fetch a = *queue.Next(NoneMissing);
    queue.Started(a);
    const PreloadQueue::Fetch b = *queue.Next(NoneMissing);
    queue.Started(b);
    EXPECT_EQ(queue.Aim(AimAt(1000, false, 4, 2)), (std::vector<size_t>{b.Page}));
    EXPECT_EQ(queue.CancelAll(), (std::vector<size_t>{a.Page}));
}

// ---- The navigator with pages to fetch ahead

std::set<int32_t> Range(int32_t first, int32_t last) {
    std::set<int32_t> indexes;
    for (int32_t i = first; i <= last; ++i) indexes.insert(i);
    return indexes;
}

int32_t IndexOf(const std::string& url) {
    return DigitRunValue(url.substr(url.rfind('/') + 1));
}

class FetchingAhead : public NavigatorTest {
protected:
    void SetUp() override {
        NavigatorTest::SetUp();
        // The queue alone: the probe for the site's placeholder has its own tests.
        settings.MissingByPlaceholder = false;
        navigator.AttachPreloadPages({&pages[0], &pages[1]});
    }
    // Answers every load the views were given, the hidden view's and the
    // pages' ahead and the visible view's, as a site on which the photos in
    // missing do not exist, and runs the wait timer, until all is at rest.
    void Settle(const std::set<int32_t>& missing) {
        const auto content = [&](const FakeBrowserView& view) {
            return Page(missing.count(IndexOf(view.LocationURL())) ? "HTTP 404 Not Found"
                                                                   : "A photo");
        };
        for (int round = 0; round < 1000; ++round) {
            bool answered = false;
            for (size_t i = 0; i < pages.size(); ++i) {
                if (pages[i].Calls().size() <= answered_[i]) continue;
                answered_[i] = pages[i].Calls().size();
                navigator.PreloadPageOnDocumentComplete(i, content(pages[i]));
                answered = true;
            }
            if (hidden.Calls().size() > hiddenAnswered_) {
                hiddenAnswered_ = hidden.Calls().size();
                navigator.HiddenWebBrowserOnDocumentComplete(content(hidden));
                answered = true;
            }
            if (visible.Calls().size() > visibleAnswered_) {
                visibleAnswered_ = visible.Calls().size();
                navigator.VisibleWebBrowserOnDocumentComplete(content(visible));
                answered = true;
            }
            if (!answered && !clock.RunTimer()) return;
        }
        FAIL() << "the views never came to rest";
    }
    std::vector<int32_t> FetchedAhead() const {
        std::vector<int32_t> indexes;
        for (const FakeBrowserView& page : pages)
            for (const std::string& url : page.NavigatedURLs()) indexes.push_back(IndexOf(url));
        std::sort(indexes.begin(), indexes.end());
        return indexes;
    }
    void ClearCalls() {
        for (FakeBrowserView* view : {&visible, &hidden, &pages[0], &pages[1]}) view->ClearCalls();
        answered_ = {};
        hiddenAnswered_ = visibleAnswered_ = 0;
    }

    std::array<FakeBrowserView, 2> pages;
    std::array<size_t, 2> answered_{};
    size_t hiddenAnswered_ = 0;
    size_t visibleAnswered_ = 0;
};

TEST(FetchingAheadNeutral, SettingsOfOneAndOffBehaveAsTheHiddenViewAlone) {
    // The same walk over a gap, with and without the pages attached.
    const auto run = [](bool attach) {
        Settings settings;
        settings.PreloadDepth = 1;
        settings.SkipKnownMissing = false;
        settings.MissingByPlaceholder = false;
        settings.PhotoIndex = 1001;
        FakeMainWindow window;
        FakeBrowserView visible, hidden, page;
        FakeClock clock;
        Navigator navigator(settings, window, visible, hidden, clock, "/opt/kpw/");
        window.Connect(&navigator);
        if (attach) navigator.AttachPreloadPages({&page});
        navigator.StartUp();
        navigator.StartFirstLoad();
        const std::set<int32_t> gap = Range(1002, 1011);
        const auto complete = [&] {
            for (int load = 0; load < 100; ++load) {
                const size_t before = visible.Calls().size();
                navigator.HiddenWebBrowserOnDocumentComplete(Page("HTTP 404"));
                navigator.VisibleWebBrowserOnDocumentComplete(Page(
                    gap.count(IndexOf(visible.LocationURL())) ? "HTTP 404 Not Found" : "A photo"));
                if (visible.Calls().size() == before) return;
            }
        };
        complete();
        window.PressUpArrow();
        complete();
        window.ChangePageIndexText("1005");
        complete();
        EXPECT_TRUE(page.Calls().empty());
        return std::make_pair(visible.NavigatedURLs(), hidden.NavigatedURLs());
    };
    const auto with = run(true);
    const auto without = run(false);
    EXPECT_EQ(with, without);
    // Typed below the gap's end, the chain runs down through it.
    EXPECT_EQ(with.first.back(), Photo(1001));
}

TEST_F(FetchingAhead, AStepOntoAKnownGapGoesStraightOverIt) {
    settings.PhotoIndex = 1001;
    Start();
    Settle(Range(1002, 1011));
    EXPECT_EQ(FetchedAhead(), (std::vector<int32_t>{1003, 1004, 1005, 1006, 1007, 1008, 1009, 1010,
                                                    1011, 1012, 1013, 1014, 1015}));
    for (int32_t index : Range(1002, 1011))
        EXPECT_TRUE(
            navigator.Verdicts().KnownMissingPhotos().Contains(settings.TemplateURL13, index))
            << index;

    ClearCalls();
    window.PressUpArrow();
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1012)});
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(1013));
    EXPECT_EQ(window.PageIndexText(), "1012");
    EXPECT_EQ(settings.PhotoIndex, 1012);
    EXPECT_EQ(state().SkippedURLCount, 10);
    EXPECT_EQ(window.StatusText(), "Skipped 10 missing photos (1002–1011)");
    // The engine's own texts of the load it started do not replace it.
    navigator.VisibleWebBrowserOnStatusTextChange("Done");
    EXPECT_EQ(window.StatusText(), "Skipped 10 missing photos (1002–1011)");
    Settle(Range(1002, 1011));
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1012)});
    // The page shown ends the chain: the log has it once.
    EXPECT_EQ(window.LogLines().back(), "Skipped 10 missing photos (1002–1011)");
    // Already fetched: only the one new page at the end of the depth.
    EXPECT_EQ(FetchedAhead(), std::vector<int32_t>{1016});

    // Down again over the same gap, in German.
    settings.Language = 1;
    ClearCalls();
    window.ChangePageIndexText("1011");
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1001)});
    EXPECT_EQ(window.StatusText(), "10 fehlende Photos übersprungen (1011–1002)");
    // Until the user's next step.
    Settle(Range(1002, 1011));
    navigator.VisibleWebBrowserOnStatusTextChange("Fertig");
    EXPECT_EQ(window.StatusText(), "10 fehlende Photos übersprungen (1011–1002)");
    window.ChangePageIndexText("1000");
    navigator.VisibleWebBrowserOnStatusTextChange("Fertig");
    EXPECT_EQ(window.StatusText(), "Fertig");
}

TEST_F(FetchingAhead, AWheelStepJumpsAndKeepsItsCount) {
    settings.PhotoIndex = 1001;
    Start();
    Settle(Range(1002, 1004));
    ClearCalls();
    EXPECT_TRUE(navigator.FormMainOnMouseWheel(-120));
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1005)});
    EXPECT_EQ(window.PageIndexText(), "1005");
    EXPECT_EQ(state().SkippedURLCount, 3);
    EXPECT_EQ(window.StatusText(), "Skipped 3 missing photos (1002–1004)");
    // One photo jumped over has a text of its own.
    ClearCalls();
    window.ChangePageIndexText("1004");
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1001)});
    EXPECT_EQ(window.StatusText(), "Skipped 3 missing photos (1004–1002)");
    Settle(Range(1002, 1004));
    ClearCalls();
    settings.MaxSkippedURLCount = 1;
    window.PressUpArrow();
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1003)});
    EXPECT_EQ(window.StatusText(), "Skipped 1 missing photo (1002)");
}

TEST_F(FetchingAhead, TheCountRunningOutInAKnownGapShowsTheLastPageItAllows) {
    settings.PhotoIndex = 1001;
    settings.MaxSkippedURLCount = 5;
    Start();
    Settle(Range(1002, 1011));
    // Nothing beyond what a step and its chain could show: 1001 + 5 + 1.
    EXPECT_EQ(FetchedAhead(), (std::vector<int32_t>{1003, 1004, 1005, 1006, 1007}));

    ClearCalls();
    window.PressUpArrow();
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1007)});
    EXPECT_EQ(state().SkippedURLCount, 5);
    Settle(Range(1002, 1011));
    // The missing page is shown as the chain shows it when its count is out.
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1007)});
    EXPECT_EQ(window.PageIndexText(), "1007");
}

TEST_F(FetchingAhead, TheChainGoesOnOverAGapLearntMeanwhile) {
    settings.PhotoIndex = 1001;
    settings.MaxSkippedURLCount = 8;
    Start();
    Complete("A photo");
    // Only the pages ahead answer: 1003..1005 are missing, 1002 not known yet.
    for (int round = 0; round < 10; ++round) {
        for (size_t i = 0; i < pages.size(); ++i) {
            if (pages[i].Calls().size() <= answered_[i]) continue;
            answered_[i] = pages[i].Calls().size();
            const int32_t index = IndexOf(pages[i].LastNavigatedURL());
            navigator.PreloadPageOnDocumentComplete(
                i, Page(index <= 1005 ? "HTTP 404 Not Found" : "A photo"));
        }
    }
    const KnownMissing& known = navigator.Verdicts().KnownMissingPhotos();
    EXPECT_FALSE(known.Contains(settings.TemplateURL13, 1002));
    EXPECT_TRUE(known.Contains(settings.TemplateURL13, 1005));

    window.PressUpArrow();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1002));
    Complete("HTTP 404 Not Found");
    // One step of the chain, three known ones jumped over: the message
    // names all four, the one on view first among them.
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1006));
    EXPECT_EQ(state().SkippedURLCount, 4);
    EXPECT_TRUE(known.Contains(settings.TemplateURL13, 1002));
    EXPECT_EQ(window.StatusText(), "Skipped 4 missing photos (1002–1005)");
    Complete("A photo");
    EXPECT_EQ(window.LogLines().back(), "Skipped 4 missing photos (1002–1005)");
}

TEST_F(FetchingAhead, ATurnHalfWayStopsTheQueueAndFetchesTheOtherWay) {
    settings.PhotoIndex = 1000;
    Start();
    EXPECT_EQ(FetchedAhead(), (std::vector<int32_t>{1002, 1003}));
    ClearCalls();
    window.ChangePageIndexText("999");
    // Left to end: a stopped engine page need not report an end.
    EXPECT_EQ(pages[0].Count(Kind::Stop), 0);
    EXPECT_EQ(pages[1].Count(Kind::Stop), 0);
    EXPECT_TRUE(FetchedAhead().empty()) << "the dropped pages are not free yet";
    // Their ends come late and are dropped: 1002 and 1003 are not counted
    // as fetched for the new aim.
    for (size_t i = 0; i < pages.size(); ++i)
        navigator.PreloadPageOnDocumentComplete(i, Page("A photo"));
    EXPECT_FALSE(navigator.Preloads().Queue().WasFetched(1002));
    Settle({});
    EXPECT_EQ(hidden.NavigatedURLs(), std::vector<std::string>{Photo(998)});
    EXPECT_EQ(FetchedAhead(), (std::vector<int32_t>{995, 996, 997}));
}

TEST_F(FetchingAhead, ModeSizeAndStatisticsChangesAimTheQueueAfresh) {
    settings.PhotoIndex = 1000;
    Start();
    Settle({});
    ClearCalls();
    navigator.SpeedButtonPhotoSizeOnClick(2);
    Settle({});
    const std::string small = Host() + "/photos/small/";
    EXPECT_EQ(pages[0].NavigatedURLs().front().rfind(small, 0), 0u);
    EXPECT_EQ(FetchedAhead(), (std::vector<int32_t>{1002, 1003, 1004}));
    ClearCalls();
    navigator.SpeedButtonURLOnClick(2);
    EXPECT_EQ(pages[0].LastNavigatedURL(), InfoPage(1002));
}

TEST_F(FetchingAhead, KnownMissingIsForgottenWhenFoundOnViewAndOnF5) {
    settings.PhotoIndex = 1001;
    Start();
    Settle(Range(1002, 1004));
    const KnownMissing& known = navigator.Verdicts().KnownMissingPhotos();
    ASSERT_TRUE(known.Contains(settings.TemplateURL13, 1003));

    settings.SkipKnownMissing = false;
    window.ChangePageIndexText("1003");
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1003));
    Complete("A photo");  // the site has it now
    EXPECT_FALSE(known.Contains(settings.TemplateURL13, 1003));
    EXPECT_TRUE(known.Contains(settings.TemplateURL13, 1004));

    navigator.SpeedButtonRefreshOnClick();
    EXPECT_EQ(known.Size(), 0u);
}

TEST_F(FetchingAhead, FetchesAheadObeyThePacingAndABusySite) {
    settings.PhotoIndex = 1000;
    settings.MinRequestInterval = 500;
    std::vector<std::pair<int64_t, std::string>> requests;
    for (FakeBrowserView* view : {&visible, &hidden, &pages[0], &pages[1]})
        view->OnNavigate = [&](const std::string& url) {
            requests.emplace_back(clock.NowMs(), url);
        };
    Start();
    Settle({});
    ASSERT_EQ(requests.size(), 5u);  // the photo, its neighbour, three pages ahead
    EXPECT_EQ(requests[1].second, Photo(1001));
    for (size_t i = 1; i < requests.size(); ++i)
        EXPECT_GE(requests[i].first - requests[i - 1].first, 500) << requests[i].second;

    // A busy answer to a page ahead holds every request of the program's own.
    settings.MinRequestInterval = 0;
    requests.clear();
    ClearCalls();
    window.PressUpArrow();
    ASSERT_FALSE(pages[0].NavigatedURLs().empty());
    DocumentContent busy = Page("Error 429");
    busy.HttpStatus = 429;
    busy.RetryAfter = "30";
    const int64_t answeredAt = clock.NowMs();
    navigator.PreloadPageOnDocumentComplete(0, busy);
    answered_[0] = pages[0].Calls().size();
    EXPECT_GE(navigator.Scheduler().Pacing().ResumeAtMs, answeredAt + 30000);
    Settle({});
    ASSERT_FALSE(requests.empty());
    EXPECT_GE(requests.back().first, answeredAt + 30000);
    EXPECT_EQ(IndexOf(requests.back().second), 1005);
}

}  // namespace
}  // namespace kpw
