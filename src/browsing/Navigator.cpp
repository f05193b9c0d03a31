#include "browsing/Navigator.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "browsing/ControlGroups.h"
#include "browsing/Diagnostics.h"
#include "browsing/DisplayMode.h"
#include "browsing/IndexText.h"
#include "texts/Texts.h"

namespace kpw {

namespace {

bool IsIndex(int32_t value) {
    return value >= 1;
}

}  // namespace

Navigator::Navigator(Settings& settings, MainWindowPort& window, BrowserView& visibleView,
                     BrowserView& hiddenView, ClockPort& clock, std::string exeDir)
    : settings_(settings),
      window_(window),
      visibleView_(visibleView),
      hiddenView_(hiddenView),
      clock_(clock),
      exeDir_(std::move(exeDir)) {}

int Navigator::LanguageIndex() const {
    return texts::LanguageIndex(settings_.Language);
}

int Navigator::ModeIndex() const {
    return ModeNumber(Mode());
}

DisplayMode Navigator::Mode() const {
    return ModeOf(settings_.URLIndex);
}

void Navigator::AimNextIndex(bool down) {
    if (down) {
        // At the bottom of the range the neighbour stays as it was.
        if (state_.CurrentIndex > 1) state_.NextIndex = state_.CurrentIndex - 1;
    } else {
        state_.NextIndex =
            state_.CurrentIndex < MaxIndex ? state_.CurrentIndex + 1 : state_.CurrentIndex - 1;
    }
}

void Navigator::TakeIndexOfMode() {
    state_.CurrentIndex =
        Mode() == DisplayMode::UserPage ? settings_.UserIndex : settings_.PhotoIndex;
    state_.CurrentIndex = Clamp(state_.CurrentIndex, 1, MaxIndex);
    state_.PreviousIndex = state_.CurrentIndex - 1;
    AimNextIndex(false);
}

void Navigator::StoreCurrentIndex() {
    if (Mode() == DisplayMode::UserPage)
        settings_.UserIndex = state_.CurrentIndex;
    else
        settings_.PhotoIndex = state_.CurrentIndex;
}

int32_t Navigator::PageIndexFieldValue() const {
    std::optional<int32_t> value = ReadInteger(window_.PageIndexText());
    return value ? Clamp(*value, 1, MaxIndex) : 1;
}

bool Navigator::ShowsLastNavigatedURL() const {
    return EqualsIgnoringCase(visibleView_.LocationURL(), state_.LastNavigatedURL);
}

void Navigator::FocusPageIndex() {
    if (window_.CanFocus(Control::PageIndex)) window_.SetFocus(Control::PageIndex);
}

void Navigator::SetURLButtonHints(bool withModeNames, int language) {
    for (int mode = 1; mode <= 3; ++mode) {
        std::string hint;
        if (withModeNames) hint = std::string(texts::URLModeNames[mode].In(language)) + '\r';
        window_.SetHint(ControlOf(URLButton(mode)), hint + table_.ModeTemplate(mode));
    }
}

void Navigator::SetIndexLabel() {
    window_.SetLabelPageIndexCaption(texts::IndexLabels[ModeIndex()].In(LanguageIndex()));
}

// ---- Start-up

void Navigator::StartUp() {
    visibleView_.SetSilent(!settings_.WebBrowserVerbose);
    window_.SetNavigateTimerInterval(settings_.NavigateDelayTime);
    window_.SetDown(PhotoSizeButton(settings_.PhotoSize), true);
    state_.PhotoSizeEnabled = Mode() == DisplayMode::Photo;
    EnablePhotoSizeButtons(state_.PhotoSizeEnabled);
    table_.RefreshURLTemplateTable();
    SetURLButtonHints(true, LanguageIndex());
    window_.SetDown(URLButton(settings_.URLIndex), true);
    state_.ShownURLIndex = settings_.URLIndex;
    TakeIndexOfMode();
    BuildPageURLs();

    // FormReady is still false, so this write is not a commit.
    window_.SetPageIndexMaximum(MaxIndex);
    window_.SetPageIndexValue(state_.CurrentIndex);
    window_.ProcessPendingMessages();
    window_.SetPageIndexCaretPos(static_cast<int>(window_.PageIndexText().size()));
    window_.ProcessPendingMessages();
    state_.SpinCaretPos = window_.PageIndexCaretPos();

    window_.SetDown(ToolButton::AutoSkip, settings_.AutoSkipURL);
    SetFormMainTexts(settings_.Language);
}

void Navigator::StartFirstLoad() {
    if (const int32_t skipped = JumpOverKnownGap(0)) {
        StoreCurrentIndex();
        BuildPageURLs();
        ShowJumpedIndex(skipped);
    }
    state_.FormReady = true;
    NavigateBrowsers();
}

// ---- Control states

void Navigator::EnablePhotoSizeButtons(bool enabled) {
    for (int size = 1; size <= 4; ++size)
        window_.SetEnabled(ControlOf(PhotoSizeButton(size)), enabled);
}

void Navigator::EnableControls(bool enabled) {
    EnablePhotoSizeButtons(state_.PhotoSizeEnabled && enabled);
    for (Control control : {Control::URL1, Control::URL2, Control::URL3, Control::ShowStatistics,
                            Control::AddFavorite, Control::DeleteFavorite, Control::SelectFavorite})
        window_.SetEnabled(control, enabled);
    bool canGoBack = false;
    if (enabled) {
        try {
            canGoBack = !ShowsLastNavigatedURL();
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
    if (enabled) FocusPageIndex();
    window_.SetBusyCursors(!enabled);
    window_.ProcessPendingMessages();
}

void Navigator::ShowControls(bool visible) {
    for (Control control : {Control::GoBack, Control::Refresh, Control::Stop, Control::AutoSkip,
                            Control::PageIndex, Control::Help, Control::Settings})
        window_.SetVisible(control, visible);
    window_.ProcessPendingMessages();
}

void Navigator::HideFavoriteLists() {
    ShowControls(true);
    for (Control list : {Control::FavoritePhotos, Control::FavoriteUsers}) {
        if (!window_.IsVisible(list)) continue;
        if (window_.IsEnabled(Control::PageIndex)) FocusPageIndex();
        window_.SetVisible(list, false);
    }
}

// ---- Addresses and loading

void Navigator::BuildPageURLs() {
    // The statistics view has no photo-only page: it shows the information page's.
    const int mode = state_.StatisticsView ? std::max(ModeIndex(), 2) : ModeIndex();
    const std::string& urlTemplate = table_.ModeTemplate(mode);
    std::string suffix = state_.StatisticsView ? StatisticsSuffix : "";
    state_.CurrentURL = PutIndexIntoTemplate(urlTemplate, state_.CurrentIndex) + suffix;
    table_[URLTemplateTable::NextURL] =
        PutIndexIntoTemplate(urlTemplate, state_.NextIndex) + suffix;
}

void Navigator::NavigateBrowsers() {
    DropAutomaticRequests();
    try {
        SendVisible(state_.CurrentURL);
        Preload();
        AimPreloadQueue();
    } catch (const std::exception& error) {
        // A refused navigation leaves the window loading until Stop.
        ReportSwallowed("navigating the views", error);
    }
    EnableControls(false);
    state_.LastNavigatedURL = state_.CurrentURL;
}

void Navigator::Preload() {
    // Sending the hidden view again to the address it already loads would
    // restart that load and fetch the page twice.
    if (NextURL() == preloadedURL_) return;
    preloadedURL_.clear();
    if (AutomaticRequestWaits()) {
        // Sent by the wait timer, to the neighbour of the time.
        pacing_.PreloadHeld = true;
        ScheduleWaitTimer();
        return;
    }
    pacing_.PreloadHeld = false;
    hiddenView_.Navigate2(NextURL(), NavHyperlink);
    NoteRequest();
    preloadedURL_ = NextURL();
    preloadedIndex_ = state_.NextIndex;
}

int Navigator::GetURLIndexFromURL(const std::string& url, bool keepCurrentIfNone) const {
    for (int mode = 1; mode <= 3; ++mode)
        if (StartsWithIgnoringCase(url, table_.ModePrefix(mode))) return mode;
    return keepCurrentIfNone ? settings_.URLIndex : 0;
}

int32_t Navigator::GetPageIndexFromURL(const std::string& url) const {
    int mode = GetURLIndexFromURL(url, false);
    if (mode != 0 && !url.empty()) {
        std::string_view rest = std::string_view(url).substr(table_.ModePrefix(mode).size());
        std::string_view digits = rest.substr(0, CountLeadingDigits(rest));
        // A run too large for an index counts as none.
        std::optional<int32_t> value = digits.empty() ? std::nullopt : ReadInteger(digits);
        if (value && *value != 0) return *value;
    }
    return PageIndexFieldValue();
}

// ---- Mode, size and statistics buttons

void Navigator::SpeedButtonPhotoSizeOnClick(int tag) {
    if (tag < 1 || tag > 4) return;
    HideFavoriteLists();
    settings_.PhotoSize = tag;
    table_.SelectPhotoTemplate();
    BuildPageURLs();
    NavigateBrowsers();
    window_.ProcessPendingMessages();
    FocusPageIndex();
}

void Navigator::SpeedButtonURLOnClick(int tag) {
    if (tag < 1 || tag > 3) return;
    HideFavoriteLists();
    settings_.URLIndex = tag;
    TakeIndexOfMode();
    SetIndexLabel();
    window_.SetPageIndexValue(state_.CurrentIndex);
    state_.PhotoSizeEnabled = Mode() == DisplayMode::Photo;
    if (state_.PhotoSizeEnabled) table_.SelectPhotoTemplate();
    EnablePhotoSizeButtons(state_.PhotoSizeEnabled);
    BuildPageURLs();
    NavigateBrowsers();
    window_.ProcessPendingMessages();
    FocusPageIndex();
}

void Navigator::SpeedButtonShowStatisticsOnClick() {
    HideFavoriteLists();
    state_.StatisticsView = window_.IsDown(ToolButton::ShowStatistics);
    BuildPageURLs();
    NavigateBrowsers();
    window_.ProcessPendingMessages();
    FocusPageIndex();
}

// ---- Browser commands

void Navigator::SpeedButtonGoBackOnClick() {
    DropAutomaticRequests();
    state_.BrowserCommandPending = true;
    HideFavoriteLists();
    if (!ShowsLastNavigatedURL()) {
        EnableControls(false);
        RunBrowserCommand([this] {
            visibleView_.GoBack();
            NoteRequest();
        });
        window_.ProcessPendingMessages();
    } else {
        // Nothing was sent, so no download will end the command.
        state_.BrowserCommandPending = false;
    }
    if (ShowsLastNavigatedURL()) window_.SetEnabled(Control::GoBack, false);
}

void Navigator::SpeedButtonGoBackOnDblClick() {
    DropAutomaticRequests();
    state_.BrowserCommandPending = true;
    HideFavoriteLists();
    if (!ShowsLastNavigatedURL()) {
        EnableControls(false);
        try {
            SendVisible(state_.LastNavigatedURL);
        } catch (const std::exception& error) {
            // As every navigation request: ignored, Stop ends the loading state.
            ReportSwallowed("navigating back to the last address", error);
        }
        window_.ProcessPendingMessages();
    } else {
        state_.BrowserCommandPending = false;
    }
    if (ShowsLastNavigatedURL()) window_.SetEnabled(Control::GoBack, false);
}

void Navigator::SpeedButtonRefreshOnClick() {
    DropAutomaticRequests();
    state_.BrowserCommandPending = true;
    // The user asks the site anew: what it said was missing may be there now.
    knownMissing_.Clear();
    HideFavoriteLists();
    EnableControls(false);
    RunBrowserCommand([this] {
        visibleView_.Refresh();
        NoteRequest();
    });
}

void Navigator::RunBrowserCommand(const std::function<void()>& command) {
    try {
        command();
    } catch (...) {
        // The error is reported by the window; no download will end this
        // command, so the window must not stay in the loading state.
        state_.BrowserCommandPending = false;
        EnableControls(true);
        throw;
    }
}

void Navigator::SpeedButtonStopOnClick() {
    HideFavoriteLists();
    // Stop also ends what the program waits to do by itself.
    const bool wasWaiting = pacing_.RetryPending;
    DropAutomaticRequests();
    pacing_.PreloadHeld = false;
    pacing_.QueueHeld = false;
    queue_.CancelAll();
    ScheduleWaitTimer();
    EnableControls(true);
    if (wasWaiting) window_.SetStatusText("");
    visibleView_.Stop();
}

void Navigator::SpeedButtonAutoSkipOnClick() {
    HideFavoriteLists();
    settings_.AutoSkipURL = window_.IsDown(ToolButton::AutoSkip);
}

void Navigator::SpeedButtonHelpOnClick() {
    HideFavoriteLists();
    window_.ShowHelp(helpFileName_);
}

// ---- Index field, timer, keys and wheel

void Navigator::SpinEditPageIndexOnChange() {
    if (!state_.FormReady || state_.Skipping || window_.NavigateTimerRunning()) return;
    std::optional<int32_t> value = ReadInteger(window_.PageIndexText());
    // Only 1..2147483647 is an index; 0, negative numbers and other text are not.
    if (!value || !IsIndex(*value)) return;

    state_.SkippedURLCount = 0;
    state_.PreviousIndex = state_.CurrentIndex;
    state_.CurrentIndex = *value;
    if (state_.CurrentIndex == state_.PreviousIndex && state_.LastKeyChar != CharEnter) return;
    state_.LastKeyChar = 0;

    AimNextIndex(state_.CurrentIndex < state_.PreviousIndex);
    const int32_t skipped = JumpOverKnownGap(0);
    StoreCurrentIndex();
    BuildPageURLs();
    state_.SpinCaretPos = window_.PageIndexCaretPos();
    if (skipped != 0) ShowJumpedIndex(skipped);
    NavigateBrowsers();
}

void Navigator::SpinEditPageIndexOnEnter() {
    window_.ClearPageIndexSelection();
}

void Navigator::TimerNavigateOnTimer() {
    window_.StopNavigateTimer();
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
        if (window_.IsEnabled(Control::Stop)) SpeedButtonStopOnClick();
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
    if (!window_.PageIndexHasFocus() && Mode() != DisplayMode::Photo) return false;
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
    if (state_.SteppingDown) {
        if (state_.CurrentIndex <= 1) return false;
        --state_.CurrentIndex;
    } else {
        if (state_.CurrentIndex >= MaxIndex) return false;
        ++state_.CurrentIndex;
    }
    AimNextIndex(state_.SteppingDown);
    const int32_t skipped = JumpOverKnownGap(0);
    StoreCurrentIndex();
    BuildPageURLs();
    // Written as a skip, so the field's change keeps the count of the jump.
    if (skipped != 0) ShowJumpedIndex(skipped);
    NavigateBrowsers();
    window_.SetPageIndexValue(state_.CurrentIndex);
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
            {Control::FavoritePhotos, t.FavoritePhotos},
            {Control::FavoriteUsers, t.FavoriteUsers},
        };
        for (const auto& [control, hint] : hints) window_.SetHint(control, hint.In(language));
    }
    const int lang = texts::LanguageIndex(language);
    SetURLButtonHints(true, lang);
    window_.SetLabelPageIndexCaption(texts::IndexLabels[ModeIndex()].In(lang));
    helpFileName_ = texts::HelpFileName(exeDir_, lang);
}

void Navigator::ApplyConfirmedSettings() {
    table_.RefreshURLTemplateTable();
    SetFormMainTexts(settings_.Language);
    SetURLButtonHints(false, LanguageIndex());
    visibleView_.SetSilent(!settings_.WebBrowserVerbose);
    window_.SetNavigateTimerInterval(settings_.NavigateDelayTime);
}

}  // namespace kpw
