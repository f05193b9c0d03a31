#pragma once

#include <cstdint>
#include <string>

namespace kpw {

// The log keeps this many lines; the oldest go first.
inline constexpr int MaxLogLines = 10000;

// The tool bar's buttons; only they can be put down and up.
enum class ToolButton {
    PhotoSize1,
    PhotoSize2,
    PhotoSize3,
    PhotoSize4,
    URL1,
    URL2,
    URL3,
    ShowStatistics,
    AddFavorite,
    DeleteFavorite,
    SelectFavorite,
    GoBack,
    Refresh,
    Stop,
    AutoSkip,
    Help,
    Settings,
    // Shows many photos at once in place of the view; it stands at the
    // right of the status bar.
    OverviewSheet,
};
inline constexpr int ToolButtonCount = static_cast<int>(ToolButton::OverviewSheet) + 1;

// The main window's controls that the logic switches, by kind and role: the
// tool buttons first, with the same numbers, then the other controls.
enum class Control {
    PhotoSize1,
    PhotoSize2,
    PhotoSize3,
    PhotoSize4,
    URL1,
    URL2,
    URL3,
    ShowStatistics,
    AddFavorite,
    DeleteFavorite,
    SelectFavorite,
    GoBack,
    Refresh,
    Stop,
    AutoSkip,
    Help,
    Settings,
    OverviewSheet,
    LabelPageIndex,
    PageIndex,
    MemoText,
    FavoritePhotos,
    FavoriteUsers,
};

constexpr Control ControlOf(ToolButton button) {
    return static_cast<Control>(button);
}

constexpr bool IsToolButton(Control control) {
    return static_cast<int>(control) < ToolButtonCount;
}

static_assert(ControlOf(ToolButton::AutoSkip) == Control::AutoSkip &&
                  ControlOf(ToolButton::Settings) == Control::Settings &&
                  ControlOf(ToolButton::OverviewSheet) == Control::OverviewSheet &&
                  !IsToolButton(Control::LabelPageIndex),
              "the tool buttons lead the controls with the same numbers");

// What the logic needs of the main window. The Qt window implements it; tests
// use a fake. Writing the index field raises its change notification
// synchronously (the window calls back into the logic before the write
// returns), exactly as the real spin field does.
class MainWindowPort {
public:
    virtual ~MainWindowPort() = default;

    // Index field (SpinEditPageIndex).
    virtual std::string PageIndexText() const = 0;
    // Sets the value, brought into the field's bounds. Raises the change
    // notification when the text changes.
    virtual void SetPageIndexValue(int32_t value) = 0;
    virtual void SetPageIndexMaximum(int32_t maximum) = 0;
    // How far the field's up and down steps go.
    virtual void SetPageIndexStep(int32_t step) = 0;
    virtual int PageIndexCaretPos() const = 0;
    virtual void SetPageIndexCaretPos(int pos) = 0;
    virtual void ClearPageIndexSelection() = 0;
    virtual bool PageIndexHasFocus() const = 0;

    // Keyboard focus to a control, when it is visible and enabled.
    virtual bool CanFocus(Control control) const = 0;
    virtual void SetFocus(Control control) = 0;

    // One-shot delay timer (TimerNavigate). Starting it restarts the full interval.
    virtual void StartNavigateTimer() = 0;
    virtual void StopNavigateTimer() = 0;
    virtual bool NavigateTimerRunning() const = 0;
    virtual void SetNavigateTimerInterval(int milliseconds) = 0;

    // Control states.
    virtual void SetEnabled(Control control, bool enabled) = 0;
    virtual bool IsEnabled(Control control) const = 0;
    virtual void SetVisible(Control control, bool visible) = 0;
    virtual bool IsVisible(Control control) const = 0;
    // Puts a group button down (or up) without running its click action.
    virtual void SetDown(ToolButton button, bool down) = 0;
    virtual bool IsDown(ToolButton button) const = 0;
    // Hints keep their lines separated by a single CR; the window turns each
    // CR into a line break.
    virtual void SetHint(Control control, const std::string& hint) = 0;
    virtual std::string Hint(Control control) const = 0;

    virtual void SetLabelPageIndexCaption(const std::string& caption) = 0;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void AppendLogLine(const std::string& line) = 0;
    // Busy (hourglass) or idle cursors on the screen and the window's controls.
    virtual void SetBusyCursors(bool busy) = 0;

    virtual std::string WindowCaption() const = 0;
    virtual void SetWindowCaption(const std::string& caption) = 0;
    // The text of the application's task-bar entry.
    virtual void SetApplicationTitle(const std::string& title) = 0;

    // Favourites lists (FavoritePhotos, FavoriteUsers): the window draws them
    // from the logic's lists and is told when entries or selection changed.
    virtual void FavoriteListChanged(Control list) = 0;
    virtual void DropDownFavoriteList(Control list) = 0;
    // Modal text input captioned with caption; the prompt's lines are separated
    // by CR; the edit holds value (at most 255 characters). false on Cancel.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;
    // The toolkit's standard error box.
    virtual void ShowErrorMessage(const std::string& message) = 0;

    virtual void ProcessPendingMessages() = 0;
    virtual void Beep() = 0;
    // Opens the help window on the given help file.
    virtual void ShowHelp(const std::string& helpFileName) = 0;

    // The overview sheet takes the view's place, or gives it back.
    virtual void ShowOverviewSheet(bool shown) = 0;
    // A cell of the sheet or its selection changed: the window draws it anew.
    virtual void OverviewSheetChanged() = 0;
};

}  // namespace kpw
