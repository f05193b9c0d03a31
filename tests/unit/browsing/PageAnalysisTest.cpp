#include "NavigatorFixture.h"
#include "browsing/PageAnalysis.h"

namespace kpw {
namespace {

struct SkipCase {
    int32_t Bound;
    std::vector<std::string> FieldTexts;
    int32_t PhotoIndex, Skipped, Preloaded;
    size_t HiddenLoads;
};
class SkipChain : public NavigatorTest, public ::testing::WithParamInterface<SkipCase> {};

// The user steps from 1000 to 1001; photos 1001 to 1003 are missing.
TEST_P(SkipChain, SkipsMissingPhotosUpwardsUpToTheBound) {
    const SkipCase& c = GetParam();
    settings.MaxSkippedURLCount = c.Bound;
    settings.PhotoIndex = 1000;
    StartIdle();
    size_t fieldTexts = window.PageIndexTexts().size();
    size_t preloads = hidden.Calls().size();
    window.PressUpArrow();
    RunSite({1001, 1002, 1003});
    EXPECT_EQ(std::vector<std::string>(window.PageIndexTexts().begin() + fieldTexts,
                                       window.PageIndexTexts().end()),
              c.FieldTexts);
    EXPECT_EQ(visible.LocationURL(), Photo(c.PhotoIndex));
    EXPECT_EQ(settings.PhotoIndex, c.PhotoIndex);
    EXPECT_EQ(state().SkippedURLCount, c.Skipped);
    // One preload for the step, one after the chain unless it is the same
    // address; skips leave the hidden view alone.
    EXPECT_EQ(hidden.Calls().size(), preloads + c.HiddenLoads);
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(c.Preloaded));
    EXPECT_FALSE(Loading());
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, SkipChain,
    ::testing::Values(SkipCase{100, {"1001", "1002", "1003", "1004"}, 1004, 3, 1005, 2},
                      SkipCase{2, {"1001", "1002", "1003"}, 1003, 2, 1004, 2},
                      SkipCase{0, {"1001"}, 1001, 0, 1002, 1}));

TEST_F(NavigatorTest, SkipFollowsTheDirectionDownAndStopsAtIndexOne) {
    settings.PhotoIndex = 10;
    StartIdle();
    window.ChangePageIndexText("5");
    RunSite({5, 4, 3, 2, 1});
    std::vector<std::string> loads = visible.NavigatedURLs();
    EXPECT_EQ(std::vector<std::string>(loads.end() - 5, loads.end()),
              (std::vector<std::string>{Photo(5), Photo(4), Photo(3), Photo(2), Photo(1)}));
    EXPECT_EQ(window.PageIndexText(), "1");
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(4));
}

TEST_F(NavigatorTest, ChainEndingDownwardsPreloadsFurtherDown) {
    settings.PhotoIndex = 20;
    StartIdle();
    window.ChangePageIndexText("13");
    RunSite({13, 12, 11});
    EXPECT_EQ(settings.PhotoIndex, 10);
    // Not the missing 11 the chain has just skipped.
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(9));
}

TEST_F(NavigatorTest, FirstAndLastIndexAreShownAsTheyCome) {
    for (int32_t index : {1, MaxIndex}) {
        settings.PhotoIndex = index;
        Start();
        size_t calls = visible.Calls().size() + hidden.Calls().size();
        Complete("HTTP 404 Not Found");
        EXPECT_EQ(visible.Calls().size() + hidden.Calls().size(), calls) << index;
        EXPECT_FALSE(Loading());
    }
}

TEST_F(NavigatorTest, SkipDropsATypedIndexStillWaiting) {
    settings.PhotoIndex = 1000;
    StartIdle();
    window.TypeText("5");
    navigator.SpeedButtonPhotoSizeOnClick(3);  // reloads 1000 while the delay runs
    RunSite({1000});
    EXPECT_FALSE(window.FireNavigateTimer());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1001));
}

TEST_F(NavigatorTest, PagesCompletingDuringASkipStillKeepTheBound) {
    settings.MaxSkippedURLCount = 2;
    settings.PhotoIndex = 1000;
    StartIdle();
    // The view reports each page while the program processes its messages.
    visible.OnNavigate = [this](const std::string& url) {
        window.Post([this, url] { Complete(url == Photo(1004) ? "A photo" : "Error 404"); });
    };
    window.PressUpArrow();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1003));
    EXPECT_EQ(state().SkippedURLCount, 2);
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(1004));
    // The commit works again after the chain.
    window.PressUpArrow();
    EXPECT_EQ(visible.NavigatedURLs().back(), Photo(1004));
}

TEST_F(NavigatorTest, StatisticsPageReportingAnErrorSkipsToThePlainPhoto) {
    settings.PhotoIndex = 1000;
    StartIdle();
    window.SetDown(ToolButton::ShowStatistics, true);
    navigator.SpeedButtonShowStatisticsOnClick();
    Complete("A photo");
    window.PressUpArrow();
    EXPECT_EQ(visible.LastNavigatedURL(), InfoPage(1001) + "/stats");
    Complete("Internal server error");
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1002));
    Complete("A photo");
    EXPECT_EQ(hidden.LastNavigatedURL(), InfoPage(1003) + "/stats");
    EXPECT_EQ(settings.PhotoIndex, 1002);
}

TEST_F(NavigatorTest, UnreadablePagesEndTheAnalysisSilently) {
    settings.URLIndex = 3;
    settings.PhotoIndex = settings.UserIndex = 1000;
    StartIdle();
    navigator.SpeedButtonURLOnClick(2);
    size_t preloads = hidden.Calls().size();
    window.SetPageIndexCaretPos(0);
    navigator.VisibleWebBrowserOnDocumentComplete({std::nullopt, "text"});
    visible.ThrowOnLocationURL = true;
    EXPECT_NO_THROW(Complete("text"));
    EXPECT_FALSE(Loading());
    EXPECT_EQ(hidden.Calls().size(), preloads);
    EXPECT_EQ(window.PageIndexCaretPos(), 0);
    EXPECT_EQ(state().ShownURLIndex, 3);

    // In photo mode a text that cannot be read for the missing-photo test
    // ends the analysis too: no skip, no synchronisation.
    visible.ThrowOnLocationURL = false;
    navigator.SpeedButtonURLOnClick(1);
    preloads = hidden.Calls().size();
    navigator.VisibleWebBrowserOnDocumentComplete({"<BODY></BODY>", std::nullopt});
    EXPECT_FALSE(Loading());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1000));
    EXPECT_EQ(hidden.Calls().size(), preloads);
    EXPECT_EQ(state().ShownURLIndex, 3);
}

TEST(ErrorWords, AnyCaseAnywhereMeansMissing) {
    for (const char* text : {"terror", "3 ERRORS found", "status: http 404", "Http 500 Internal"})
        EXPECT_TRUE(PhotoIsMissing(text)) << text;
    for (const char* text : {"HTTP 40 4", "Err or", ""}) EXPECT_FALSE(PhotoIsMissing(text)) << text;
}

const std::string Link = "<A href=\"/user/";
const std::string StatsLink = "<A class=nolessthan href=\"/user/";

struct AuthorCase {
    int URLIndex;
    bool Statistics;
    std::string Markup;
    int32_t UserIndex;
};
class AuthorIndex : public NavigatorTest, public ::testing::WithParamInterface<AuthorCase> {};

// The user index is 77 before the page arrives.
TEST_P(AuthorIndex, ComesFromTheFirstAuthorLinkOfThePage) {
    settings.URLIndex = GetParam().URLIndex;
    settings.PhotoIndex = 42;
    settings.UserIndex = 77;
    Start();
    if (GetParam().Statistics) navigator.SpeedButtonShowStatisticsOnClick();
    navigator.VisibleWebBrowserOnDocumentComplete({GetParam().Markup, "photo"});
    EXPECT_EQ(settings.UserIndex, GetParam().UserIndex);
}

INSTANTIATE_TEST_SUITE_P(
    Markups, AuthorIndex,
    ::testing::Values(AuthorCase{2, false, Link + "5\"><P id=author>by " + Link + "123\">me</A>",
                                 123},
                      AuthorCase{2, false, "<DIV>" + Link + "456\">someone</A></DIV>", 456},
                      AuthorCase{2, false, "<P id=author>" + Link + "abc\">x</A>", 77},
                      AuthorCase{2, false, "<P id=author>" + Link, 77},
                      AuthorCase{2, false, "<P id=author>" + Link + "3000000001\">", 300000000},
                      AuthorCase{2, false, "<P id=author><a href=\"/user/9\">x</a>", 77},
                      AuthorCase{2, true, StatsLink + "1\"><P id=author>" + StatsLink + "2\">", 1},
                      AuthorCase{1, true, Link + "5\">" + StatsLink + "888\">", 888},
                      AuthorCase{1, false, Link + "5\">" + StatsLink + "888\">", 77}));

class FollowedLink : public NavigatorTest {
protected:
    // On the page of user 500, the user follows a link to photo 777.
    void FollowPhotoLink(bool statistics) {
        settings.URLIndex = 3;
        settings.UserIndex = 500;
        settings.PhotoIndex = 7;
        StartIdle();
        if (statistics) {
            window.SetDown(ToolButton::ShowStatistics, true);
            navigator.SpeedButtonShowStatisticsOnClick();
            Complete("Statistics");
        }
        visible.FollowLink(InfoPage(777));
        navigator.VisibleWebBrowserOnDocumentComplete(
            {"<P id=author>" + Link + "999\">", "A photo"});
        EXPECT_EQ(state().CurrentIndex, 777);
        EXPECT_EQ(settings.PhotoIndex, 777);
        EXPECT_EQ(window.PageIndexText(), "777");
    }
};

TEST_F(FollowedLink, PhotoLinkFromAUserPageSwitchesToThePhotoMode) {
    FollowPhotoLink(false);
    EXPECT_EQ(settings.URLIndex, 2);
    EXPECT_TRUE(window.IsDown(ToolButton::URL2) && !window.IsDown(ToolButton::URL3));
    EXPECT_EQ(window.LabelPageIndexCaption(), "Photo index");
    EXPECT_EQ(hidden.LastNavigatedURL(), InfoPage(778));
    EXPECT_EQ(settings.UserIndex, 500);  // no author lookup for this load
}

TEST_F(FollowedLink, InTheStatisticsViewOnlyTheIndexFollows) {
    FollowPhotoLink(true);
    EXPECT_EQ(settings.URLIndex, 3);
    EXPECT_TRUE(window.IsDown(ToolButton::URL3));
    EXPECT_EQ(window.LabelPageIndexCaption(), "User index");
    EXPECT_EQ(hidden.LastNavigatedURL(), UserPage(778) + "/stats");
}

TEST_F(NavigatorTest, LinkToAnAddressOfNoModeKeepsModeAndFieldIndex) {
    settings.URLIndex = 3;
    settings.UserIndex = 500;
    StartIdle();
    visible.FollowLink("http://elsewhere.example/photo/5");
    Complete("Elsewhere");
    EXPECT_EQ(settings.URLIndex, 3);
    EXPECT_EQ(state().CurrentIndex, 500);
    EXPECT_EQ(hidden.LastNavigatedURL(), UserPage(501));
}

TEST_F(NavigatorTest, EveryNavigationWritesOneLogLine) {
    navigator.VisibleWebBrowserOnBeforeNavigate2(Photo(5));
    navigator.VisibleWebBrowserOnBeforeNavigate2("http://a/b");
    EXPECT_EQ(
        window.LogLines(),
        (std::vector<std::string>{
            "URL=" + Photo(5) + "  Flags=00000040  TargetFrameName=  PostData=00000000  Headers=",
            "URL=http://a/b  Flags=00000040  TargetFrameName=  PostData=00000000  Headers="}));
    // The line's other fields as the legacy event would fill them.
    EXPECT_EQ(NavigationLogLine("http://a/b", "_self", -1, "Referer: x"),
              "URL=http://a/b  Flags=00000040  TargetFrameName=_self  PostData=FFFFFFFF  "
              "Headers=Referer: x");
    navigator.VisibleWebBrowserOnStatusTextChange("Done");
    EXPECT_EQ(window.StatusText(), "Done");
}

TEST(DisplayBounds, LongTextsAreCutAtACharacterWithAnEllipsis) {
    const std::string url = "http://h/#" + std::string(3000, 'a');
    const std::string cut = CutForDisplay(url);
    EXPECT_EQ(cut, url.substr(0, MaxShownTextBytes) + "\u2026");
    // Never inside a character: the two bytes of the u with umlaut stay together.
    const std::string umlaut = std::string(MaxShownTextBytes - 1, 'a') + "\u00fcb";
    EXPECT_EQ(CutForDisplay(umlaut), std::string(MaxShownTextBytes - 1, 'a') + "\u2026");
    EXPECT_EQ(CutForDisplay("short"), "short");
}

// A page that navigates to an address of megabytes: the log and the status
// bar get a line of bounded length.
TEST_F(NavigatorTest, AHugeAddressReachesTheLogAndTheStatusBarCut) {
    StartIdle();
    const std::string huge = "http://h/#" + std::string(1900000, 'x');
    navigator.VisibleWebBrowserOnBeforeNavigate2(huge);
    navigator.VisibleWebBrowserOnStatusTextChange("Loading " + huge);
    EXPECT_LT(window.LogLines().back().size(), MaxShownTextBytes + 100);
    EXPECT_LT(window.StatusText().size(), MaxShownTextBytes + 4);
    EXPECT_NE(window.StatusText().find("Loading http://h/#xxx"), std::string::npos);
}

}  // namespace
}  // namespace kpw
