#include "browsing/Navigator.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "browsing/ControlGroups.h"
#include "browsing/Diagnostics.h"
#include "browsing/DisplayMode.h"
#include "browsing/FlagScope.h"
#include "browsing/IndexText.h"
#include "browsing/KeyCodes.h"
#include "browsing/WindowKeys.h"
#include "settings/AsciiText.h"
#include "texts/Texts.h"

namespace kpw {

namespace {

bool IsIndex(int32_t value) {
    return value >= 1;
}

int LanguageIndex(const Settings& settings) {
    return texts::LanguageIndex(settings.Language);
}

DisplayMode Mode(const Settings& settings) {
    return ModeOf(settings.URLIndex);
}

int ModeIndex(const Settings& settings) {
    return ModeNumber(Mode(settings));
}

bool ShowsURL(const BrowserView& view, const std::string& url) {
    return EqualsIgnoringCase(view.LocationURL(), url);
}

void FocusPageIndex(MainWindowPort& window) {
    if (window.CanFocus(Control::PageIndex)) window.SetFocus(Control::PageIndex);
}

void SetURLButtonHints(MainWindowPort& window, const URLTemplateTable& table, bool withModeNames,
                       int language) {
    for (int mode = 1; mode <= 3; ++mode) {
        // The key stays in the hint when the mode's name does not.
        const ToolButton button = URLButton(mode);
        std::string hint =
            withModeNames ? HintWithKey(texts::URLModeNames[mode].In(language), button, language)
                          : KeyName(*KeyOfButton(button), language);
        window.SetHint(ControlOf(button), hint + '\r' + table.ModeTemplate(mode));
    }
}

void SetIndexLabel(MainWindowPort& window, const Settings& settings) {
    window.SetLabelPageIndexCaption(
        texts::IndexLabels[ModeIndex(settings)].In(LanguageIndex(settings)));
}

// The index field shows where a jump over known-missing photos landed, and
// the skip count holds the jump.
void ShowJumpedIndex(MainWindowPort& window, NavigationState& state, int32_t skipped) {
    {
        FlagScope skipping(state.Skipping, true);
        window.SetPageIndexValue(state.CurrentIndex);
    }
    state.SkippedURLCount = skipped;
}

// Runs a browser command; when it fails no download will end the command,
// so the window must not stay in the loading state. The error is reported
// by the window.
template <typename Command, typename Undo>
void RunBrowserCommand(Command&& command, Undo&& undo) {
    try {
        command();
    } catch (...) {
        undo();
        throw;
    }
}

}  // namespace

Navigator::Navigator(Settings& settings, MainWindowPort& window, BrowserView& visibleView,
                     BrowserView& hiddenView, ClockPort& clock, std::string exeDir)
    : settings_(settings),
      window_(window),
      visibleView_(visibleView),
      exeDir_(std::move(exeDir)),
      scheduler_(settings_, clock),
      verdicts_(settings_, clock),
      preloader_(settings_, table_, state_, scheduler_, verdicts_, hiddenView),
      slideshow_(
          settings_, clock, window_, state_, [this] { HideFavoriteLists(); },
          [this] { SlideshowStep(); }),
      lateCheck_(settings_, clock, visibleView, [this] {
          // Said late, but said: the photo is missing for the steps to come.
          if (preloader_.Active() && preloader_.DetectsMissing())
              verdicts_.NoteMissing(preloader_.PhotoTemplate(), state_.CurrentIndex);
          SkipMissingPhoto();
      }) {
    scheduler_.SetOwner(RequestKind::Retry, [this] { return SendRetry(); });
    scheduler_.SetOwner(RequestKind::Skip, [this] { return SendHeldSkip(); });
    scheduler_.OnCountdown = [this] {
        if (!HoldsUserMessage(state_))
            window_.SetStatusText(scheduler_.WaitText(settings_.Language));
    };
}

// ---- Start-up

void Navigator::StartUp() {
    visibleView_.SetSilent(!settings_.WebBrowserVerbose);
    window_.SetNavigateTimerInterval(settings_.NavigateDelayTime);
    window_.SetDown(PhotoSizeButton(settings_.PhotoSize), true);
    state_.PhotoSizeEnabled = Mode(settings_) == DisplayMode::Photo;
    EnablePhotoSizeButtons(window_, state_.PhotoSizeEnabled);
    RefreshTemplates();
    SetURLButtonHints(window_, table_, true, LanguageIndex(settings_));
    window_.SetDown(URLButton(settings_.URLIndex), true);
    state_.ShownURLIndex = settings_.URLIndex;
    ApplyStepSize();
    TakeIndexOfMode(state_, settings_);
    BuildPageURLs();

    // FormReady is still false, so this write is not a commit.
    window_.SetPageIndexMaximum(MaxIndex);
    window_.SetPageIndexValue(state_.CurrentIndex);
    // The field's change notification and the caret placement are queued by
    // the widget; both must have run before the caret is read back.
    window_.ProcessPendingMessages();
    window_.SetPageIndexCaretPos(static_cast<int>(window_.PageIndexText().size()));
    window_.ProcessPendingMessages();
    state_.SpinCaretPos = window_.PageIndexCaretPos();

    window_.SetDown(ToolButton::AutoSkip, settings_.AutoSkipURL);
    SetFormMainTexts(settings_.Language);
}

void Navigator::StartFirstLoad() {
    if (const int32_t skipped = JumpOverKnownGap(0)) {
        StoreCurrentIndex(state_, settings_);
        BuildPageURLs();
        ShowJumpedIndex(window_, state_, skipped);
    }
    state_.FormReady = true;
    NavigateBrowsers();
}

// ---- Control states

void Navigator::EnableControls(bool enabled) {
    state_.Loading = !enabled;
    EnablePhotoSizeButtons(window_, state_.PhotoSizeEnabled && enabled);
    for (Control control : {Control::URL1, Control::URL2, Control::URL3, Control::ShowStatistics,
                            Control::AddFavorite, Control::DeleteFavorite, Control::SelectFavorite})
        window_.SetEnabled(control, enabled);
    bool canGoBack = false;
    if (enabled) {
        try {
            canGoBack = !ShowsURL(visibleView_, state_.LastNavigatedURL);
        } catch (const std::exception& error) {
            // A view whose address cannot be read offers no way back.
            ReportSwallowed("reading the visible view's address", error);
        }
    }
    window_.SetEnabled(Control::GoBack, canGoBack);
    window_.SetEnabled(Control::Refresh, enabled);
    window_.SetEnabled(Control::Stop, !enabled);
    for (Control control : {Control::AutoSkip, Control::Help, Control::Settings,
                            Control::LabelPageIndex, Control::PageIndex})
        window_.SetEnabled(control, enabled);
    if (enabled) FocusPageIndex(window_);
    window_.SetBusyCursors(!enabled);
    // The new cursors and control states show at once, and a completion or
    // timer event queued meanwhile runs here, as the handlers expect.
    window_.ProcessPendingMessages();
}

void Navigator::ShowControls(bool visible) {
    for (Control control : {Control::GoBack, Control::Refresh, Control::Stop, Control::AutoSkip,
                            Control::PageIndex, Control::Help, Control::Settings})
        window_.SetVisible(control, visible);
    // The tool row is laid out again before a list opens over it.
    window_.ProcessPendingMessages();
}

void Navigator::HideFavoriteLists() {
    ShowControls(true);
    for (Control list : {Control::FavoritePhotos, Control::FavoriteUsers}) {
        if (!window_.IsVisible(list)) continue;
        if (window_.IsEnabled(Control::PageIndex)) FocusPageIndex(window_);
        window_.SetVisible(list, false);
    }
}

// ---- Addresses and loading

void Navigator::BuildPageURLs() {
    // The statistics view has no photo-only page: it shows the information page's.
    const int mode =
        state_.StatisticsView ? std::max(ModeIndex(settings_), 2) : ModeIndex(settings_);
    const std::string& urlTemplate = table_.ModeTemplate(mode);
    std::string suffix = state_.StatisticsView ? StatisticsSuffix : "";
    state_.CurrentURL = PutIndexIntoTemplate(urlTemplate, state_.CurrentIndex) + suffix;
    table_[URLTemplateTable::NextURL] =
        PutIndexIntoTemplate(urlTemplate, state_.NextIndex) + suffix;
}

void Navigator::NavigateBrowsers() {
    DropAutomaticRequests();
    LeavePageOnView();
    // A message held for an earlier navigation ends with this one, and so
    // does the chain of skips it told of.
    if (!state_.HeldStatusFresh) {
        EndSkipChain();
        state_.HeldStatus.clear();
    }
    state_.HeldStatusFresh = false;
    try {
        scheduler_.Send(visibleView_, state_.CurrentURL);
        preloader_.PreloadNeighbour();
        preloader_.AimQueue();
    } catch (const std::exception& error) {
        // A refused navigation leaves the window loading until Stop.
        ReportSwallowed("navigating the views", error);
    }
    EnableControls(false);
    state_.LastNavigatedURL = state_.CurrentURL;
}

// ---- Mode, size and statistics buttons

void Navigator::SpeedButtonPhotoSizeOnClick(int tag) {
    if (tag < 1 || tag > 4) return;
    HideFavoriteLists();
    settings_.PhotoSize = tag;
    table_.SelectPhotoTemplate();
    // In the sheet the size waits for the photo chosen there.
    if (SheetShown()) {
        FocusPageIndex(window_);
        return;
    }
    BuildPageURLs();
    NavigateBrowsers();
    // The click's own events (the button group's state) run before the
    // focus goes back to the index field.
    window_.ProcessPendingMessages();
    FocusPageIndex(window_);
}

void Navigator::SpeedButtonURLOnClick(int tag) {
    if (tag < 1 || tag > 3) return;
    HideFavoriteLists();
    // A mode chosen in the sheet shows its selected photo in that mode.
    if (SheetShown()) {
        settings_.PhotoIndex = sheet_->SelectedIndex();
        LeaveSheet();
    }
    settings_.URLIndex = tag;
    TakeIndexOfMode(state_, settings_);
    SetIndexLabel(window_, settings_);
    window_.SetPageIndexValue(state_.CurrentIndex);
    state_.PhotoSizeEnabled = Mode(settings_) == DisplayMode::Photo;
    if (state_.PhotoSizeEnabled) table_.SelectPhotoTemplate();
    EnablePhotoSizeButtons(window_, state_.PhotoSizeEnabled);
    BuildPageURLs();
    NavigateBrowsers();
    // As after a size button.
    window_.ProcessPendingMessages();
    FocusPageIndex(window_);
}

void Navigator::SpeedButtonShowStatisticsOnClick() {
    HideFavoriteLists();
    // The button toggles with each click; the state follows it here and the
    // button follows the state.
    state_.StatisticsView = !state_.StatisticsView;
    window_.SetDown(ToolButton::ShowStatistics, state_.StatisticsView);
    BuildPageURLs();
    NavigateBrowsers();
    // As after a size button.
    window_.ProcessPendingMessages();
    FocusPageIndex(window_);
}

// ---- Browser commands

void Navigator::SpeedButtonGoBackOnClick() {
    DropAutomaticRequests();
    LeavePageOnView();
    EndSkipChain();
    state_.HeldStatus.clear();
    state_.BrowserCommandPending = true;
    HideFavoriteLists();
    if (!ShowsURL(visibleView_, state_.LastNavigatedURL)) {
        EnableControls(false);
        RunBrowserCommand(
            [this] {
                visibleView_.GoBack();
                scheduler_.NoteRequest();
            },
            [this] {
                state_.BrowserCommandPending = false;
                EnableControls(true);
            });
        // The view may already have moved back; its address is read after.
        window_.ProcessPendingMessages();
    } else {
        // Nothing was sent, so no download will end the command.
        state_.BrowserCommandPending = false;
    }
    if (ShowsURL(visibleView_, state_.LastNavigatedURL)) window_.SetEnabled(Control::GoBack, false);
}

void Navigator::SpeedButtonGoBackOnDblClick() {
    DropAutomaticRequests();
    LeavePageOnView();
    EndSkipChain();
    state_.HeldStatus.clear();
    state_.BrowserCommandPending = true;
    HideFavoriteLists();
    if (!ShowsURL(visibleView_, state_.LastNavigatedURL)) {
        EnableControls(false);
        try {
            scheduler_.Send(visibleView_, state_.LastNavigatedURL);
        } catch (const std::exception& error) {
            // As every navigation request: ignored, Stop ends the loading state.
            ReportSwallowed("navigating back to the last address", error);
        }
        // As after a single click.
        window_.ProcessPendingMessages();
    } else {
        state_.BrowserCommandPending = false;
    }
    if (ShowsURL(visibleView_, state_.LastNavigatedURL)) window_.SetEnabled(Control::GoBack, false);
}

void Navigator::SpeedButtonRefreshOnClick() {
    DropAutomaticRequests();
    LeavePageOnView();
    EndSkipChain();
    state_.HeldStatus.clear();
    state_.BrowserCommandPending = true;
    // The user asks the site anew: what it said was missing may be there now.
    verdicts_.ForgetKnownMissing();
    HideFavoriteLists();
    EnableControls(false);
    RunBrowserCommand(
        [this] {
            visibleView_.Refresh();
            scheduler_.NoteRequest();
        },
        [this] {
            state_.BrowserCommandPending = false;
            EnableControls(true);
        });
}

void Navigator::SpeedButtonStopOnClick() {
    HideFavoriteLists();
    // Stop also ends what the program waits to do by itself.
    preloader_.CancelQueue();
    LeavePageOnView();
    EndSkipChain();
    heldSkipURL_.clear();
    const bool wasWaiting = scheduler_.StopAll();
    EnableControls(true);
    // The site's error page stays on view: the status bar says what it is.
    if (wasWaiting) {
        state_.HeldStatus = texts::BusySite.Stopped.In(texts::LanguageIndex(settings_.Language));
        state_.HeldStatusFresh = false;
        window_.SetStatusText(state_.HeldStatus);
    }
    visibleView_.Stop();
}

void Navigator::SpeedButtonAutoSkipOnClick() {
    HideFavoriteLists();
    // As the statistics button: the setting follows each click.
    settings_.AutoSkipURL = !settings_.AutoSkipURL;
    window_.SetDown(ToolButton::AutoSkip, settings_.AutoSkipURL);
}

void Navigator::SpeedButtonHelpOnClick() {
    HideFavoriteLists();
    window_.ShowHelp(state_.HelpFileName);
}
// ---- Index field, timer, keys and wheel

void Navigator::SpinEditPageIndexOnChange() {
    if (!state_.FormReady || state_.Skipping || window_.NavigateTimerRunning()) return;
    std::optional<int32_t> value = ReadInteger(window_.PageIndexText());
    // Only 1..2147483647 is an index; 0, negative numbers and other text are not.
    if (!value || !IsIndex(*value)) return;
    if (SheetShown()) {
        SheetIndexTyped(*value);
        return;
    }

    state_.SkippedURLCount = 0;
    state_.PreviousIndex = state_.CurrentIndex;
    state_.CurrentIndex = *value;
    if (state_.CurrentIndex == state_.PreviousIndex && state_.LastKeyChar != CharEnter) return;
    state_.LastKeyChar = 0;

    AimNextIndex(state_, state_.CurrentIndex < state_.PreviousIndex);
    const int32_t skipped = JumpOverKnownGap(0);
    StoreCurrentIndex(state_, settings_);
    BuildPageURLs();
    state_.SpinCaretPos = window_.PageIndexCaretPos();
    if (skipped != 0) ShowJumpedIndex(window_, state_, skipped);
    NavigateBrowsers();
}

void Navigator::SpinEditPageIndexOnEnter() {
    window_.ClearPageIndexSelection();
}

void Navigator::TimerNavigateOnTimer() {
    window_.StopNavigateTimer();
    // The field's last edits reach it before the commit reads its text.
    window_.ProcessPendingMessages();
    SpinEditPageIndexOnChange();
}

bool Navigator::FormMainOnKeyPress(char key) {
    bool swallowed = false;
    state_.LastKeyChar = key;
    if (window_.PageIndexHasFocus()) {
        window_.StopNavigateTimer();
        if (key == CharEnter) {
            swallowed = true;
            SpinEditPageIndexOnChange();
        } else {
            window_.StartNavigateTimer();
        }
    }
    if (key == CharEscape) {
        HideFavoriteLists();
        if (state_.Loading) SpeedButtonStopOnClick();
    }
    if (key == CharCtrlD) {
        swallowed = true;
        window_.SetVisible(Control::MemoText, !window_.IsVisible(Control::MemoText));
    }
    return swallowed;
}

void Navigator::FormMainOnKeyDown(int keyCode, bool shift, bool ctrl, bool alt) {
    if (shift || ctrl || alt) return;
    if (keyCode == KeyF1)
        SpeedButtonHelpOnClick();
    else if (keyCode == KeyF5)
        SpeedButtonRefreshOnClick();
}

bool Navigator::FormMainOnMouseWheel(int wheelDelta) {
    // The sheet turns its pages by the wheel itself.
    if (SheetShown()) return false;
    if (!window_.PageIndexHasFocus() && Mode(settings_) != DisplayMode::Photo) return false;
    // A turn without vertical movement is no step.
    if (wheelDelta == 0) return false;
    state_.SpinCaretPos = window_.PageIndexCaretPos();
    std::optional<int32_t> typed = ReadInteger(window_.PageIndexText());
    if (!typed || !IsIndex(*typed)) {
        window_.SetPageIndexValue(state_.CurrentIndex);
        return true;
    }

    // Away from the user (a positive delta) goes down unless inverted.
    state_.SteppingDown = (wheelDelta > 0) != settings_.InvertMouseWheel;
    const int64_t step = std::max(state_.Step, 1);
    if (state_.SteppingDown) {
        if (state_.CurrentIndex <= 1) return false;
        state_.CurrentIndex =
            static_cast<int32_t>(std::max<int64_t>(state_.CurrentIndex - step, 1));
    } else {
        if (state_.CurrentIndex >= MaxIndex) return false;
        state_.CurrentIndex =
            static_cast<int32_t>(std::min<int64_t>(int64_t{state_.CurrentIndex} + step, MaxIndex));
    }
    AimNextIndex(state_, state_.SteppingDown);
    const int32_t skipped = JumpOverKnownGap(0);
    StoreCurrentIndex(state_, settings_);
    BuildPageURLs();
    // Written as a skip, so the field's change keeps the count of the jump.
    if (skipped != 0) ShowJumpedIndex(window_, state_, skipped);
    NavigateBrowsers();
    window_.SetPageIndexValue(state_.CurrentIndex);
    // The field's own handling of the write runs before the caret goes back.
    window_.ProcessPendingMessages();
    window_.SetPageIndexCaretPos(state_.SpinCaretPos);
    return true;
}

// ---- Texts

void Navigator::SetFormMainTexts(int language) {
    if (language == texts::English || language == texts::German) {
        window_.SetApplicationTitle(texts::ApplicationTitle);
        window_.SetWindowCaption(texts::MainCaption);
        const texts::MainFormTexts& t = texts::MainForm;
        const std::pair<Control, texts::Text> hints[] = {
            {Control::PhotoSize1, t.PhotoSize1},
            {Control::PhotoSize2, t.PhotoSize2},
            {Control::PhotoSize3, t.PhotoSize3},
            {Control::PhotoSize4, t.PhotoSize4},
            {Control::ShowStatistics, t.ShowStatistics},
            {Control::AddFavorite, t.AddFavorite},
            {Control::DeleteFavorite, t.DeleteFavorite},
            {Control::SelectFavorite, t.SelectFavorite},
            {Control::GoBack, t.GoBack},
            {Control::Refresh, t.Refresh},
            {Control::Stop, t.Stop},
            {Control::AutoSkip, t.AutoSkip},
            {Control::Help, t.Help},
            {Control::Settings, t.Settings},
            {Control::OverviewSheet, t.OverviewSheet},
            {Control::FavoritePhotos, t.FavoritePhotos},
            {Control::FavoriteUsers, t.FavoriteUsers},
        };
        for (const auto& [control, hint] : hints) {
            window_.SetHint(control, IsToolButton(control)
                                         ? HintWithKey(hint.In(language),
                                                       static_cast<ToolButton>(control), language)
                                         : hint.In(language));
        }
    }
    const int lang = texts::LanguageIndex(language);
    SetURLButtonHints(window_, table_, true, lang);
    window_.SetLabelPageIndexCaption(texts::IndexLabels[ModeIndex(settings_)].In(lang));
    state_.HelpFileName = texts::HelpFileName(exeDir_, lang);
}

void Navigator::RefreshTemplates() {
    table_.RefreshURLTemplateTable();
    // Every size of a photo and its page are the same photo, missing or seen.
    verdicts_.SetSamePhotos({settings_.TemplateURL11, settings_.TemplateURL12,
                             settings_.TemplateURL13, settings_.TemplateURL14,
                             settings_.TemplateURL20});
    seen_.SetPhotoKey(settings_.TemplateURL20);
}

void Navigator::ApplyConfirmedSettings() {
    RefreshTemplates();
    SetFormMainTexts(settings_.Language);
    SetURLButtonHints(window_, table_, false, LanguageIndex(settings_));
    visibleView_.SetSilent(!settings_.WebBrowserVerbose);
    window_.SetNavigateTimerInterval(settings_.NavigateDelayTime);
    ApplyStepSize();
}

void Navigator::ApplyStepSize() {
    state_.Step = Clamp(settings_.StepSize, BoundsOf("StepSize"));
    window_.SetPageIndexStep(state_.Step);
}

}  // namespace kpw
