#include <optional>
#include <string>
#include <vector>

#include "NavigatorFixture.h"
#include "browsing/KeyCodes.h"

namespace kpw {
namespace {

using Kind = FakeBrowserView::CallKind;

// A busy answer as the engine shows it: an error page whose text has the
// word a missing photo's page has too.
DocumentContent Busy(int status = 429, std::optional<std::string> retryAfter = std::nullopt) {
    DocumentContent content = Page("HTTP ERROR " + std::to_string(status) + " Error");
    content.HttpStatus = status;
    content.RetryAfter = std::move(retryAfter);
    return content;
}

class BusySite : public NavigatorTest {
protected:
    // Idle on photo 1000, then one step up to 1001, still loading.
    void StepUpFrom1000() {
        settings.PhotoIndex = 1000;
        StartIdle();
        window.PressUpArrow();
    }
    int VisibleLoadsOf(const std::string& url) const {
        int loads = 0;
        for (const std::string& navigated : visible.NavigatedURLs()) loads += navigated == url;
        return loads;
    }
    std::string Waiting(int status, int seconds) const {
        return "The site is busy (HTTP " + std::to_string(status) + "). Trying again in " +
               std::to_string(seconds) + " s.";
    }
    // Completes the visible view's loads and runs the wait timer out, the
    // photos in missing answered as missing and those in busy answered busy
    // the first time each is asked for.
    void RunSite(const std::set<int32_t>& missing, std::set<int32_t> busy = {}) {
        for (int round = 0; round < 1000; ++round) {
            if (visible.Calls().size() > completed_) {
                completed_ = visible.Calls().size();
                std::string url = visible.LocationURL();
                int32_t index = DigitRunValue(url.substr(url.rfind('/') + 1));
                if (busy.erase(index))
                    navigator.VisibleWebBrowserOnDocumentComplete(Busy());
                else
                    Complete(missing.count(index) ? "HTTP 404 Not Found" : "A photo");
            } else if (!clock.RunTimer()) {
                return;
            }
        }
        FAIL() << "the site never came to rest";
    }
    size_t completed_ = 0;
};

TEST_F(BusySite, APresentPhotoAnsweredBusyIsShownAfterTheWaitAndNeverSkipped) {
    StepUpFrom1000();
    const size_t preloads = hidden.Calls().size();
    navigator.VisibleWebBrowserOnDocumentComplete(Busy());
    // Idle, Stop ends the wait, nothing more asked of the site.
    EXPECT_FALSE(Loading());
    EXPECT_TRUE(window.IsEnabled(Control::PageIndex) && window.IsEnabled(Control::Stop));
    EXPECT_EQ(VisibleLoadsOf(Photo(1001)), 1);
    EXPECT_EQ(VisibleLoadsOf(Photo(1002)), 0);
    EXPECT_EQ(hidden.Calls().size(), preloads);
    EXPECT_EQ(window.StatusText(), Waiting(429, 2));

    clock.Advance(1000);
    EXPECT_EQ(window.StatusText(), Waiting(429, 1));
    EXPECT_EQ(VisibleLoadsOf(Photo(1001)), 1);
    clock.Advance(1000);
    EXPECT_EQ(VisibleLoadsOf(Photo(1001)), 2);
    EXPECT_TRUE(Loading());

    Complete("A photo");
    EXPECT_EQ(visible.LocationURL(), Photo(1001));
    EXPECT_EQ(settings.PhotoIndex, 1001);
    EXPECT_EQ(state().SkippedURLCount, 0);
    EXPECT_FALSE(window.IsEnabled(Control::Stop));
    EXPECT_FALSE(clock.TimerRunning());
}

// A deleted favourite's message stays until the user's next action; the
// countdown goes on beneath it and shows again once it is released.
TEST_F(BusySite, TheCountdownLeavesAMessageTheUserActsOn) {
    StepUpFrom1000();
    navigator.VisibleWebBrowserOnDocumentComplete(Busy());
    const std::string removed = "Removed favorite photo 1234";
    navigator.HoldStatus(removed);
    clock.Advance(1000);
    EXPECT_EQ(window.StatusText(), removed);
    navigator.ReleaseStatus(removed);
    EXPECT_EQ(window.StatusText(), "");
    clock.Advance(1000);
    // The retry went out on time; its busy answer is counted down again.
    EXPECT_EQ(VisibleLoadsOf(Photo(1001)), 2);
    navigator.VisibleWebBrowserOnDocumentComplete(Busy());
    EXPECT_EQ(window.StatusText(), Waiting(429, 4));

    // Held while the busy answer comes, it stays over the first count too.
    navigator.HoldStatus(removed);
    clock.Advance(4000);
    navigator.VisibleWebBrowserOnDocumentComplete(Busy());
    EXPECT_EQ(window.StatusText(), removed);
}

// So does the skip of a missing photo whose load the user started before.
TEST_F(BusySite, ASkipOfTheProgramsOwnLeavesAMessageTheUserActsOn) {
    StepUpFrom1000();
    const std::string removed = "Removed favorite photo 1234";
    navigator.HoldStatus(removed);
    Complete("HTTP 404 Not Found");
    EXPECT_EQ(VisibleLoadsOf(Photo(1002)), 1);
    EXPECT_EQ(window.StatusText(), removed);
    navigator.VisibleWebBrowserOnStatusTextChange("Done");
    EXPECT_EQ(window.StatusText(), removed);
}

// The error pages proxies and CDNs answer with when the way to the site
// fails: each holds an error word, and the photo behind it exists.
struct GatewayAnswer {
    const char* Name;
    int Status;
    const char* Text;
    bool Closed;
    const char* StatusText;
};

class GatewayFailure : public BusySite, public ::testing::WithParamInterface<GatewayAnswer> {
protected:
    DocumentContent Failure() const {
        DocumentContent content = Page(GetParam().Text);
        content.HttpStatus = GetParam().Status;
        content.ClosedWithoutAnswer = GetParam().Closed;
        return content;
    }
};

TEST_P(GatewayFailure, ThePhotoBehindItIsShownAfterTheWaitNeverSkipped) {
    StepUpFrom1000();
    navigator.VisibleWebBrowserOnDocumentComplete(Failure());
    EXPECT_EQ(VisibleLoadsOf(Photo(1002)), 0);
    EXPECT_EQ(window.StatusText(), GetParam().StatusText);
    clock.Advance(2000);
    EXPECT_EQ(VisibleLoadsOf(Photo(1001)), 2);
    Complete("A photo");
    EXPECT_EQ(visible.LocationURL(), Photo(1001));
    EXPECT_EQ(settings.PhotoIndex, 1001);
    EXPECT_FALSE(navigator.Verdicts().IsKnownMissing(settings.TemplateURL13, 1001));

    // Met by the pages ahead, it is not learnt as missing either.
    settings.MissingByPlaceholder = false;
    FakeBrowserView page;
    navigator.AttachPreloadPages({&page});
    window.PressUpArrow();
    ASSERT_FALSE(page.NavigatedURLs().empty());
    const std::string ahead = page.LastNavigatedURL();
    navigator.PreloadPageOnDocumentComplete(0, Failure());
    EXPECT_FALSE(navigator.Verdicts().IsKnownMissing(
        settings.TemplateURL13, DigitRunValue(ahead.substr(ahead.rfind('/') + 1))));
}

INSTANTIATE_TEST_SUITE_P(
    ProxiesAndCDNs, GatewayFailure,
    ::testing::Values(
        GatewayAnswer{"ApacheProxyError", 502,
                      "Proxy Error The proxy server received an invalid response from an "
                      "upstream server.",
                      false, "The site is having trouble (HTTP 502). Trying again in 2 s."},
        GatewayAnswer{"NginxBadGateway", 502, "502 Bad Gateway nginx", false,
                      "The site is having trouble (HTTP 502). Trying again in 2 s."},
        GatewayAnswer{"GatewayTimeout", 504, "504 Gateway Time-out Error", false,
                      "The site is having trouble (HTTP 504). Trying again in 2 s."},
        GatewayAnswer{"CdnOriginTimeout", 522, "Connection timed out Error code 522", false,
                      "The site is having trouble (HTTP 522). Trying again in 2 s."},
        GatewayAnswer{"ClosedWithoutAnswer", 0, "This page isn't working ERR_EMPTY_RESPONSE Error",
                      true,
                      "The site closed the connection without an answer. Trying again in 2 s."}),
    [](const ::testing::TestParamInfo<GatewayAnswer>& answer) { return answer.param.Name; });

TEST_F(BusySite, WaitsDoubleAndGiveUpAfterFiveRetriesUntilF5) {
    StepUpFrom1000();
    std::vector<int64_t> waits;
    for (int answer = 0; answer <= MaxBusyRetries; ++answer) {
        const int64_t before = clock.NowMs();
        navigator.VisibleWebBrowserOnDocumentComplete(Busy(503));
        if (!clock.TimerRunning()) break;
        clock.Advance(navigator.Scheduler().Pacing().ResumeAtMs - clock.NowMs());
        waits.push_back(clock.NowMs() - before);
    }
    EXPECT_EQ(waits, (std::vector<int64_t>{2000, 4000, 8000, 16000, 32000}));
    EXPECT_EQ(VisibleLoadsOf(Photo(1001)), 1 + MaxBusyRetries);
    EXPECT_EQ(window.StatusText(),
              "The site is still busy (HTTP 503) after 5 retries. Press F5 to try again.");
    EXPECT_FALSE(window.IsEnabled(Control::Stop));
    EXPECT_EQ(settings.PhotoIndex, 1001);

    // F5 asks once more at once, and a busy answer starts the waits anew.
    navigator.FormMainOnKeyDown(KeyF5, false, false, false);
    EXPECT_EQ(visible.Count(Kind::Refresh), 1);
    navigator.VisibleWebBrowserOnDownloadComplete();
    navigator.VisibleWebBrowserOnDocumentComplete(Busy(503));
    EXPECT_EQ(window.StatusText(), Waiting(503, 2));
}

TEST_F(BusySite, RetryAfterSetsTheWaitWithinItsBounds) {
    struct Case {
        std::optional<std::string> RetryAfter;
        int64_t WaitMs;
    };
    StepUpFrom1000();
    for (const Case& c : {Case{"30", 30000}, Case{"500", 120000}, Case{"0", 1000},
                          Case{"Sun, 06 Nov 1994 08:49:37 GMT", 1000}, Case{"soon", 2000}}) {
        navigator.VisibleWebBrowserOnDocumentComplete(Busy(429, c.RetryAfter));
        EXPECT_EQ(navigator.Scheduler().Pacing().ResumeAtMs - clock.NowMs(), c.WaitMs)
            << *c.RetryAfter;
        // The next case steps on once this wait is over.
        navigator.SpeedButtonStopOnClick();
        clock.Advance(c.WaitMs);
        window.PressUpArrow();
    }
}

enum class UserAction { TypedIndex, Wheel, ModeButton, SizeButton, Stop, Escape, GoBack, Refresh };

class BusySiteUserAction : public BusySite, public ::testing::WithParamInterface<UserAction> {
protected:
    void Act(UserAction action) {
        switch (action) {
            case UserAction::TypedIndex:
                window.SetFocus(Control::PageIndex);
                window.TypeText("7");
                window.PressKey(CharEnter);
                break;
            case UserAction::Wheel:
                navigator.FormMainOnMouseWheel(-120);
                break;
            case UserAction::ModeButton:
                navigator.SpeedButtonURLOnClick(2);
                break;
            case UserAction::SizeButton:
                navigator.SpeedButtonPhotoSizeOnClick(1);
                break;
            case UserAction::Stop:
                navigator.SpeedButtonStopOnClick();
                break;
            case UserAction::Escape:
                navigator.FormMainOnKeyPress(CharEscape);
                break;
            case UserAction::GoBack:
                visible.FollowLink(InfoPage(5));
                navigator.SpeedButtonGoBackOnClick();
                break;
            case UserAction::Refresh:
                navigator.SpeedButtonRefreshOnClick();
                break;
        }
    }
};

TEST_P(BusySiteUserAction, EndsTheWaitAndTheRetryNeverComes) {
    StepUpFrom1000();
    navigator.VisibleWebBrowserOnDocumentComplete(Busy());
    ASSERT_TRUE(navigator.Scheduler().Pacing().RetryPending);
    const size_t callsBefore = visible.Calls().size();
    Act(GetParam());
    EXPECT_FALSE(navigator.Scheduler().Pacing().RetryPending);
    // A navigation of the user's own goes out at once.
    if (GetParam() != UserAction::Stop && GetParam() != UserAction::Escape) {
        EXPECT_GT(visible.Calls().size(), callsBefore);
    }
    clock.Advance(MaxBusyWaitMs);
    EXPECT_EQ(VisibleLoadsOf(Photo(1001)), 1);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, BusySiteUserAction,
                         ::testing::Values(UserAction::TypedIndex, UserAction::Wheel,
                                           UserAction::ModeButton, UserAction::SizeButton,
                                           UserAction::Stop, UserAction::Escape, UserAction::GoBack,
                                           UserAction::Refresh));

TEST_F(BusySite, StopDuringTheWaitIsIdleAtOnce) {
    StepUpFrom1000();
    navigator.VisibleWebBrowserOnDocumentComplete(Busy());
    navigator.SpeedButtonStopOnClick();
    EXPECT_FALSE(Loading());
    EXPECT_FALSE(window.IsEnabled(Control::Stop));
    EXPECT_TRUE(window.IsEnabled(Control::PageIndex));
    EXPECT_EQ(window.StatusText(), "Waiting for the busy site stopped. Press F5 to try again.");
    EXPECT_FALSE(clock.TimerRunning());
    // The engine's own end of the stopped page does not hide it.
    navigator.VisibleWebBrowserOnStatusTextChange("Stopped");
    EXPECT_EQ(window.StatusText(), "Waiting for the busy site stopped. Press F5 to try again.");
}

TEST_F(BusySite, AUserStepMeetingTheBusySiteAgainFindsTheWaitWhereItWas) {
    StepUpFrom1000();
    navigator.VisibleWebBrowserOnDocumentComplete(Busy(429, "8"));
    clock.Advance(3000);
    const size_t preloads = hidden.Calls().size();
    window.PressUpArrow();
    // The step itself goes out at once; its preload waits for the site.
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1002));
    EXPECT_EQ(hidden.Calls().size(), preloads);
    navigator.VisibleWebBrowserOnDocumentComplete(Busy());
    EXPECT_EQ(window.StatusText(), Waiting(429, 5));
    clock.Advance(4999);
    EXPECT_EQ(VisibleLoadsOf(Photo(1002)), 1);
    clock.Advance(1);
    EXPECT_EQ(VisibleLoadsOf(Photo(1002)), 2);
    Complete("A photo");
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(1003));
}

TEST_F(BusySite, ABusyPreloadIsDroppedAndSentAgainAfterTheWait) {
    StartIdle();
    ASSERT_EQ(hidden.NavigatedURLs(), std::vector<std::string>{Photo(2)});
    navigator.HiddenWebBrowserOnDocumentComplete(Busy());
    EXPECT_EQ(window.StatusText(), "");
    clock.Advance(1999);
    EXPECT_EQ(hidden.NavigatedURLs().size(), 1u);
    clock.Advance(1);
    EXPECT_EQ(hidden.NavigatedURLs(), (std::vector<std::string>{Photo(2), Photo(2)}));
    // An ordinary answer to the hidden view changes nothing.
    navigator.HiddenWebBrowserOnDocumentComplete(Page("A photo"));
    EXPECT_FALSE(clock.TimerRunning());
    EXPECT_EQ(visible.NavigatedURLs().size(), 1u);
}

TEST_F(BusySite, ASkipChainMeetingABusyAnswerWaitsThereAndShowsThePhoto) {
    StepUpFrom1000();
    RunSite({1001, 1002}, {1003});
    EXPECT_EQ(visible.LocationURL(), Photo(1003));
    EXPECT_EQ(VisibleLoadsOf(Photo(1003)), 2);
    EXPECT_EQ(VisibleLoadsOf(Photo(1004)), 0);
    EXPECT_EQ(settings.PhotoIndex, 1003);
    EXPECT_EQ(state().SkippedURLCount, 2);
}

TEST_F(BusySite, PacingSpacesTheProgramsOwnRequestsButNeverTheUsers) {
    settings.MinRequestInterval = 500;
    StepUpFrom1000();
    std::vector<std::pair<std::string, int64_t>> requests;
    const int64_t start = clock.NowMs();
    visible.OnNavigate = [&](const std::string& url) {
        requests.push_back({url, clock.NowMs() - start});
    };
    hidden.OnNavigate = [&](const std::string& url) {
        requests.push_back({url, clock.NowMs() - start});
    };
    RunSite({1001, 1002, 1003});
    EXPECT_EQ(visible.LocationURL(), Photo(1004));
    EXPECT_EQ(settings.PhotoIndex, 1004);
    // Three skips and the preload after the chain, half a second apart.
    EXPECT_EQ(
        requests,
        (std::vector<std::pair<std::string, int64_t>>{
            {Photo(1002), 500}, {Photo(1003), 1000}, {Photo(1004), 1500}, {Photo(1005), 2000}}));

    // The user's own step goes out at once.
    requests.clear();
    const int64_t now = clock.NowMs() - start;
    window.PressUpArrow();
    ASSERT_FALSE(requests.empty());
    EXPECT_EQ(requests.front(), std::make_pair(Photo(1005), now));
}

TEST_F(BusySite, WithoutPacingTheChainDoesNotWait) {
    StepUpFrom1000();
    size_t before = visible.Calls().size();
    Complete("HTTP 404 Not Found");
    EXPECT_EQ(visible.Calls().size(), before + 1);
    EXPECT_FALSE(clock.TimerRunning());
}

// A site that said "too many requests" gets the retry of the page on view
// and nothing else until it has answered that retry.
TEST_F(BusySite, NothingButTheRetryReachesTheSiteUntilTheRetryIsAnswered) {
    FakeBrowserView pages[2];
    navigator.AttachPreloadPages({&pages[0], &pages[1]});
    settings.PhotoIndex = 1000;
    StartIdle();
    navigator.HiddenWebBrowserOnDocumentComplete(Page("A photo"));
    window.PressUpArrow();
    // The hidden view and the pages ahead meet the busy site as well.
    navigator.HiddenWebBrowserOnDocumentComplete(Busy(429, "2"));
    navigator.PreloadPageOnDocumentComplete(0, Busy(429, "2"));
    navigator.VisibleWebBrowserOnDocumentComplete(Busy(429, "2"));
    const auto requests = [&] {
        return hidden.Calls().size() + pages[0].Calls().size() + pages[1].Calls().size();
    };
    const size_t aheadBefore = requests();

    clock.Advance(2000);
    EXPECT_EQ(VisibleLoadsOf(Photo(1001)), 2);
    // A page ahead that ends meanwhile sends nothing on either.
    navigator.PreloadPageOnDocumentComplete(1, Page("A photo"));
    clock.Advance(MaxBusyWaitMs);
    EXPECT_EQ(requests(), aheadBefore);
    // Only the answer lets the rest go, in its order: the neighbour first.
    Complete("A photo");
    EXPECT_GT(hidden.Calls().size() + pages[0].Calls().size() + pages[1].Calls().size(),
              aheadBefore);
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(1002));
}

}  // namespace
}  // namespace kpw
