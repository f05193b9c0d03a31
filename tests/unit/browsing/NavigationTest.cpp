#include "NavigatorFixture.h"
#include "browsing/Diagnostics.h"

namespace kpw {
namespace {

using Kind = FakeBrowserView::CallKind;

class Navigation : public NavigatorTest {
protected:
    void StartIdleAt(int32_t index) {
        settings.PhotoIndex = index;
        StartIdle();
    }
    // Clears the field by Backspace from its end, then types: every key
    // restarts the delay.
    void TypeIndex(const std::string& digits) {
        window.SetPageIndexCaretPos(static_cast<int>(window.PageIndexText().size()));
        for (size_t n = window.PageIndexText().size(); n > 0; --n) window.PressKey('\b');
        window.TypeText(digits);
    }
    size_t VisibleLoads() const { return visible.NavigatedURLs().size(); }
};

TEST_F(Navigation, FirstStartLoadsIndexOneAndItsNeighbourWithOnlyStopEnabled) {
    navigator.StartUp();
    // Before the set-up has finished, a change of the field is no commit.
    window.ChangePageIndexText("77");
    window.ChangePageIndexText("1");
    EXPECT_TRUE(visible.Calls().empty());
    navigator.StartFirstLoad();
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{Photo(1)});
    EXPECT_EQ(hidden.NavigatedURLs(), std::vector<std::string>{Photo(2)});
    EXPECT_EQ(visible.Calls()[0].Flags, NavHyperlink);
    EXPECT_EQ(window.PageIndexMaximum(), MaxIndex);
    EXPECT_TRUE(visible.Silent());
    EXPECT_TRUE(window.IsDown(ToolButton::PhotoSize3) && window.IsDown(ToolButton::URL1) &&
                window.IsDown(ToolButton::AutoSkip));
    for (int c = static_cast<int>(Control::PhotoSize1); c <= static_cast<int>(Control::Settings);
         ++c)
        EXPECT_EQ(window.IsEnabled(Control(c)), Control(c) == Control::Stop) << c;
    Complete("A photo");
    EXPECT_FALSE(window.IsEnabled(Control::Stop) || window.IsEnabled(Control::GoBack));
    EXPECT_TRUE(window.IsEnabled(Control::PhotoSize1));
    EXPECT_EQ(window.Focus(), Control::PageIndex);
}

TEST_F(Navigation, UserModeStartsOnTheUserPageWithSizeButtonsDisabled) {
    settings.URLIndex = 3;
    settings.UserIndex = 500;
    settings.PhotoIndex = 7;
    StartIdle();
    EXPECT_EQ(visible.NavigatedURLs(), std::vector<std::string>{UserPage(500)});
    EXPECT_EQ(hidden.NavigatedURLs().front(), UserPage(501));
    EXPECT_TRUE(window.IsDown(ToolButton::URL3) && !window.IsDown(ToolButton::URL1));
    EXPECT_FALSE(window.IsEnabled(Control::PhotoSize2));
    EXPECT_EQ(window.LabelPageIndexCaption(), "User index");
}

TEST_F(Navigation, TopIndexPreloadsTheOneBelow) {
    settings.PhotoIndex = MaxIndex;
    Start();
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(MaxIndex - 1));
    navigator.SpeedButtonURLOnClick(2);
    EXPECT_EQ(hidden.LastNavigatedURL(), InfoPage(MaxIndex - 1));
}

TEST_F(Navigation, QuickTypingLoadsOnlyTheCompleteNumberWhenTheDelayRunsOut) {
    StartIdleAt(1000);
    TypeIndex("1234");
    EXPECT_EQ(VisibleLoads(), 1u);
    EXPECT_EQ(window.TimerStarts(), 8);
    window.FireNavigateTimer();
    EXPECT_EQ(visible.NavigatedURLs().back(), Photo(1234));
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(1235));
    EXPECT_EQ(settings.PhotoIndex, 1234);
    EXPECT_EQ(VisibleLoads(), 2u);
}

TEST_F(Navigation, EnterLoadsAtOnceAndReloadsAnUnchangedNumberUpwards) {
    StartIdleAt(1000);
    TypeIndex("500");
    window.PressKey(CharEnter);
    EXPECT_FALSE(window.NavigateTimerRunning());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(500));
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(499));
    Complete("A photo");
    window.PressKey(CharEnter);
    EXPECT_EQ(VisibleLoads(), 3u);
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(501));
}

TEST_F(Navigation, EmptyZeroAndNegativeTextsAreNoIndex) {
    StartIdleAt(1000);
    for (const char* text : {"", "0", "00", "-5"}) {
        TypeIndex(text);
        window.FireNavigateTimer();
        window.PressKey(CharEnter);
        EXPECT_EQ(VisibleLoads(), 1u) << text;
    }
    // Leaving the field brings -5 to the bound 1, which is committed.
    window.LeavePageIndexField();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1));
}

TEST_F(Navigation, ChangeWithoutKeyCommitsAtOnceUnlessTheDelayRuns) {
    StartIdleAt(1000);
    window.PressUpArrow();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1001));
    Complete("A photo");
    window.PressKey('7');  // 10017, the delay runs
    window.PressUpArrow();
    EXPECT_EQ(VisibleLoads(), 2u);
    window.FireNavigateTimer();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(10018));
}

TEST_F(Navigation, KeyDuringTheTimersOwnMessagesRestartsTheDelay) {
    StartIdleAt(1000);
    TypeIndex("12");
    window.Post([this] { window.PressKey('3'); });
    window.FireNavigateTimer();
    EXPECT_EQ(VisibleLoads(), 1u);
    window.FireNavigateTimer();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(123));
}

TEST_F(Navigation, EscapeRestartsTheDelayWhenIdleAndStopsWhileLoading) {
    StartIdleAt(1000);
    window.PressKey(CharEscape);
    EXPECT_TRUE(window.FireNavigateTimer());
    EXPECT_EQ(VisibleLoads(), 1u);
    window.PressUpArrow();
    window.PressKey(CharEscape);
    EXPECT_EQ(visible.Count(Kind::Stop), 1);
    EXPECT_EQ(hidden.Count(Kind::Stop), 0);
    EXPECT_FALSE(Loading());
}

struct WheelCase {
    int URLIndex;
    bool FocusInField, Invert;
    int32_t From;
    int Delta;
    bool Handled;
    int32_t Current, Next;
};
class Wheel : public Navigation, public ::testing::WithParamInterface<WheelCase> {};

TEST_P(Wheel, StepsOneIndexInTheDirectionOfTheTurn) {
    const WheelCase& c = GetParam();
    settings.URLIndex = c.URLIndex;
    settings.InvertMouseWheel = c.Invert;
    settings.UserIndex = c.From;
    StartIdleAt(c.From);
    if (!c.FocusInField) window.LeavePageIndexField();
    EXPECT_EQ(navigator.FormMainOnMouseWheel(c.Delta), c.Handled);
    EXPECT_EQ(state().CurrentIndex, c.Current);
    EXPECT_EQ(state().NextIndex, c.Next);
    EXPECT_EQ(window.PageIndexText(), std::to_string(c.Current));
    EXPECT_EQ(VisibleLoads(), c.Current == c.From ? 1u : 2u);
    if (c.Handled || c.From == 1 || c.From == MaxIndex) {
        EXPECT_EQ(state().SteppingDown, (c.Invert ? -c.Delta : c.Delta) > 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Turns, Wheel,
    ::testing::Values(WheelCase{1, false, false, 1000, -360, true, 1001, 1002},
                      WheelCase{1, false, false, 1000, 120, true, 999, 998},
                      WheelCase{1, true, true, 1000, 120, true, 1001, 1002},
                      WheelCase{2, false, false, 1000, -120, false, 1000, 1001},
                      WheelCase{3, true, false, 1000, -120, true, 1001, 1002},
                      WheelCase{1, true, false, 3, 120, true, 2, 1},
                      WheelCase{1, true, false, 2, 120, true, 1, 3},
                      WheelCase{1, true, false, 1, 120, false, 1, 2},
                      WheelCase{1, true, false, MaxIndex, -120, false, MaxIndex, MaxIndex - 1}));

// A step size above one: the wheel and the field's arrows go that far, the
// neighbour preloaded lies a step away, and the ends of the range hold.
TEST_F(Navigation, AStepSizeMovesTheWheelTheArrowsAndTheNeighbour) {
    settings.StepSize = 10;
    StartIdleAt(1000);
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(1010));
    EXPECT_TRUE(navigator.FormMainOnMouseWheel(-120));
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1010));
    EXPECT_EQ(state().NextIndex, 1020);
    Complete("A photo");
    EXPECT_TRUE(navigator.FormMainOnMouseWheel(120));
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1000));
    EXPECT_EQ(state().NextIndex, 990);
    Complete("A photo");
    window.PressUpArrow();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1010));
    EXPECT_EQ(hidden.LastNavigatedURL(), Photo(1020));
    Complete("A photo");
    TypeIndex("4");
    window.FireNavigateTimer();
    Complete("A photo");
    EXPECT_TRUE(navigator.FormMainOnMouseWheel(120));
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1));
    EXPECT_EQ(window.PageIndexText(), "1");
}

TEST_F(Navigation, WheelStepsFromTheShownIndexAndDropsATypedOne) {
    StartIdleAt(1000);
    TypeIndex("99");
    navigator.FormMainOnMouseWheel(-120);
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1001));
    window.FireNavigateTimer();
    EXPECT_EQ(VisibleLoads(), 2u);
    Complete("A photo");
    TypeIndex("");
    EXPECT_TRUE(navigator.FormMainOnMouseWheel(-120));
    EXPECT_EQ(window.PageIndexText(), "1001");
    EXPECT_EQ(VisibleLoads(), 2u);
}

TEST_F(Navigation, ModeSwitchesKeepOrSwapTheIndexAndSizeKeepsIt) {
    settings.UserIndex = 9;
    StartIdleAt(42);
    std::string thumbnail = Host() + "/photos/thumbnail/42.jpg";
    navigator.SpeedButtonPhotoSizeOnClick(1);
    EXPECT_EQ(visible.LastNavigatedURL(), thumbnail);
    Complete("A photo");
    navigator.SpeedButtonURLOnClick(2);
    EXPECT_EQ(visible.LastNavigatedURL(), InfoPage(42));
    Complete("Info");
    EXPECT_FALSE(window.IsEnabled(Control::PhotoSize1));
    navigator.SpeedButtonURLOnClick(3);
    EXPECT_EQ(visible.LastNavigatedURL(), UserPage(9));
    EXPECT_EQ(window.PageIndexText(), "9");
    EXPECT_EQ(window.LabelPageIndexCaption(), "User index");
    Complete("User");
    navigator.SpeedButtonURLOnClick(1);
    EXPECT_EQ(visible.LastNavigatedURL(), thumbnail);
    Complete("A photo");
    EXPECT_TRUE(window.IsEnabled(Control::PhotoSize1));
    EXPECT_EQ(window.LabelPageIndexCaption(), "Photo index");
}

TEST_F(Navigation, GoBackIsOfferedOnlyAwayFromTheProgramsPage) {
    StartIdleAt(1000);
    navigator.SpeedButtonGoBackOnClick();
    EXPECT_EQ(visible.Count(Kind::GoBack), 0);
    visible.SetLocationURL("HTTP://WWW.KELVARO.EXAMPLE/PHOTOS/MEDIUM/1000.JPG");
    navigator.EnableControls(true);
    EXPECT_FALSE(window.IsEnabled(Control::GoBack));

    visible.SetLocationURL(Photo(1000));
    visible.FollowLink("http://elsewhere.example/");
    Complete("Elsewhere");
    EXPECT_TRUE(window.IsEnabled(Control::GoBack));
    navigator.SpeedButtonGoBackOnClick();
    EXPECT_EQ(visible.Count(Kind::GoBack), 1);
    EXPECT_TRUE(Loading());
    EXPECT_FALSE(window.IsEnabled(Control::GoBack));
    navigator.VisibleWebBrowserOnDownloadComplete();
    EXPECT_FALSE(Loading());
    // A download that no command waits for leaves the loading state alone;
    // the click that found nothing to go back to left none pending.
    window.PressUpArrow();
    navigator.VisibleWebBrowserOnDownloadComplete();
    EXPECT_TRUE(Loading());
}

TEST_F(Navigation, DoubleClickOnGoBackReturnsStraightToTheProgramsPage) {
    StartIdleAt(1000);
    visible.FollowLink("http://elsewhere.example/1");
    visible.FollowLink("http://elsewhere.example/2");
    navigator.SpeedButtonGoBackOnDblClick();
    EXPECT_EQ(visible.NavigatedURLs(), (std::vector<std::string>{Photo(1000), Photo(1000)}));
    EXPECT_FALSE(window.IsEnabled(Control::GoBack));
    EXPECT_TRUE(Loading());
}

TEST_F(Navigation, FunctionKeysWorkWhileLoadingButNotWithModifiers) {
    StartIdleAt(1000);
    window.PressUpArrow();
    navigator.FormMainOnKeyDown(KeyF5, false, false, false);
    EXPECT_EQ(visible.Count(Kind::Refresh), 1);
    EXPECT_EQ(hidden.Count(Kind::Refresh), 0);
    navigator.VisibleWebBrowserOnDownloadComplete();
    EXPECT_FALSE(Loading());
    navigator.FormMainOnKeyDown(KeyF1, true, false, false);
    navigator.FormMainOnKeyDown(KeyF5, false, true, false);
    EXPECT_TRUE(window.HelpCalls().empty());
    EXPECT_EQ(visible.Count(Kind::Refresh), 1);
    navigator.FormMainOnKeyDown(KeyF1, false, false, false);
    EXPECT_EQ(window.HelpCalls(), std::vector<std::string>{"/opt/kpw/English.HLP"});
}

TEST_F(Navigation, NavigationErrorsAreSwallowedAndCommandErrorsReachTheCaller) {
    std::vector<std::string> reports;
    SetDiagnosticSink([&reports](const std::string& message) { reports.push_back(message); });
    visible.ThrowOnNavigate = true;
    EXPECT_NO_THROW(Start());
    SetDiagnosticSink(nullptr);
    // Swallowed, but not without a trace.
    EXPECT_EQ(reports,
              std::vector<std::string>{"navigating the views: navigation refused: " + Photo(1)});
    EXPECT_TRUE(hidden.Calls().empty());
    EXPECT_TRUE(Loading());
    EXPECT_EQ(state().LastNavigatedURL, Photo(1));
    visible.ThrowOnRefresh = visible.ThrowOnStop = visible.ThrowOnGoBack = true;
    EXPECT_THROW(navigator.SpeedButtonRefreshOnClick(), BrowserError);
    // No download will end a command that failed: the window is idle again.
    EXPECT_FALSE(Loading());
    EXPECT_FALSE(state().BrowserCommandPending);
    EXPECT_THROW(navigator.SpeedButtonStopOnClick(), BrowserError);
    visible.FollowLink("http://elsewhere.example/");
    EXPECT_THROW(navigator.SpeedButtonGoBackOnClick(), BrowserError);
    EXPECT_FALSE(Loading());
    EXPECT_FALSE(state().BrowserCommandPending);
}

TEST_F(Navigation, ToolButtonsCloseAnOpenFavouritesList) {
    StartIdleAt(1000);
    window.SetVisible(Control::FavoriteUsers, true);
    navigator.ShowControls(false);
    window.SetDown(ToolButton::AutoSkip, false);
    navigator.SpeedButtonAutoSkipOnClick();
    EXPECT_FALSE(settings.AutoSkipURL);
    EXPECT_FALSE(window.IsVisible(Control::FavoriteUsers));
    for (Control c : {Control::GoBack, Control::Stop, Control::PageIndex, Control::Settings})
        EXPECT_TRUE(window.IsVisible(c));
    EXPECT_EQ(window.Focus(), Control::PageIndex);
}

TEST_F(Navigation, TextsFollowTheLanguageAndConfirmedSettingsApplyWithoutReloading) {
    settings.Language = 1;
    StartIdleAt(1000);
    EXPECT_EQ(window.WindowCaption(), " Kelvaro Photo Wizard");
    EXPECT_EQ(window.ApplicationTitle(), " Kelvaro Wizard");
    EXPECT_EQ(window.Hint(Control::AutoSkip),
              "Nicht existierende Photos\rautomatisch überspringen (Strg+K)");
    EXPECT_EQ(window.Hint(Control::URL1), "Photo alleine (Alt+1)\r" + settings.TemplateURL13);
    EXPECT_EQ(window.LabelPageIndexCaption(), "Photo-Index");
    EXPECT_EQ(state().HelpFileName, "/opt/kpw/German.HLP");

    settings.Language = 0;
    settings.TemplateURL30 = "http://users.example/*";
    settings.NavigateDelayTime = 2500;
    settings.WebBrowserVerbose = true;
    navigator.ApplyConfirmedSettings();
    EXPECT_EQ(window.Hint(Control::URL3), "Alt+3\rhttp://users.example/*");
    EXPECT_EQ(window.Hint(Control::Help), "Help (F1)");
    EXPECT_EQ(state().HelpFileName, "/opt/kpw/English.HLP");
    EXPECT_FALSE(visible.Silent());
    EXPECT_EQ(hidden.SilentWrites(), 0);
    EXPECT_EQ(window.TimerInterval(), 2500);
    EXPECT_EQ(VisibleLoads(), 1u);
    navigator.SpeedButtonURLOnClick(3);
    EXPECT_EQ(visible.LastNavigatedURL(), "http://users.example/1");
}

}  // namespace
}  // namespace kpw
