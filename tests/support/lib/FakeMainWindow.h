#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "browsing/MainWindowPort.h"

namespace kpw {

class Navigator;

// A main window without widgets. It behaves like the real one where the logic
// depends on it: writing the index field raises the change notification at
// once, exclusive button groups release their other buttons, a disabled or
// hidden control loses the focus, and ProcessPendingMessages runs the events
// a test has posted. The timer only runs when the test fires it. As in the
// layout, the index field's bounds are 1 to 1 until the logic sets the maximum.
class FakeMainWindow : public MainWindowPort {
public:
    struct ControlState {
        bool Enabled = true;
        bool Visible = true;
        bool Down = false;
        std::string Hint;
    };

    FakeMainWindow();

    // The logic that receives the window's events (field changes, keys, timer).
    void Connect(Navigator* navigator) { navigator_ = navigator; }

    // MainWindowPort
    std::string PageIndexText() const override { return pageIndexText_; }
    void SetPageIndexValue(int32_t value) override;
    void SetPageIndexMaximum(int32_t maximum) override { pageIndexMaximum_ = maximum; }
    void SetPageIndexStep(int32_t step) override { pageIndexStep_ = step; }
    int PageIndexCaretPos() const override { return caretPos_; }
    void SetPageIndexCaretPos(int pos) override { caretPos_ = pos; }
    void ClearPageIndexSelection() override { ++selectionClears_; }
    bool PageIndexHasFocus() const override { return focus_ == Control::PageIndex; }
    bool CanFocus(Control control) const override;
    void SetFocus(Control control) override;
    void StartNavigateTimer() override;
    void StopNavigateTimer() override { timerRunning_ = false; }
    bool NavigateTimerRunning() const override { return timerRunning_; }
    void SetNavigateTimerInterval(int milliseconds) override { timerInterval_ = milliseconds; }
    void SetEnabled(Control control, bool enabled) override;
    bool IsEnabled(Control control) const override { return State(control).Enabled; }
    void SetVisible(Control control, bool visible) override;
    bool IsVisible(Control control) const override { return State(control).Visible; }
    void SetDown(ToolButton button, bool down) override;
    bool IsDown(ToolButton button) const override { return State(ControlOf(button)).Down; }
    void SetHint(Control control, const std::string& hint) override;
    std::string Hint(Control control) const override { return State(control).Hint; }
    void SetLabelPageIndexCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override { statusText_ = text; }
    void AppendLogLine(const std::string& line) override { logLines_.push_back(line); }
    void SetBusyCursors(bool busy) override { busyCursors_ = busy; }
    std::string WindowCaption() const override { return caption_; }
    void SetWindowCaption(const std::string& caption) override { caption_ = caption; }
    void SetApplicationTitle(const std::string& title) override { applicationTitle_ = title; }
    void FavoriteListChanged(Control list) override { listChanges_.push_back(list); }
    void DropDownFavoriteList(Control list) override { dropDowns_.push_back(list); }
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    void ShowErrorMessage(const std::string& message) override { errors_.push_back(message); }
    void ProcessPendingMessages() override;
    void Beep() override { ++beeps_; }
    void ShowHelp(const std::string& helpFileName) override { helpCalls_.push_back(helpFileName); }
    void ShowOverviewSheet(bool shown) override { sheetShown_ = shown; }
    void OverviewSheetChanged() override { ++sheetChanges_; }

    // What a user does.
    // A character key: the window previews it (FormMainOnKeyPress), then the
    // focused index field applies what it was not denied: digits, '+' and '-'
    // at the caret, Backspace; other printable characters are refused with a beep.
    void PressKey(char key);
    void TypeText(const std::string& text);
    // A change of the field that comes without a character key (arrow key or
    // button, Delete, paste).
    void ChangePageIndexText(const std::string& text);
    void PressUpArrow();
    // Moves the focus out of the field: a number outside the bounds becomes
    // the nearest bound, as the spin field does.
    void LeavePageIndexField();
    // Fires the delay timer if it runs; returns whether it did.
    bool FireNavigateTimer();

    // Events that ProcessPendingMessages will run, oldest first.
    void Post(std::function<void()> event) { pending_.push_back(std::move(event)); }
    size_t PendingCount() const { return pending_.size(); }
    // Scripted answers of InputQuery; none left means Cancel.
    void QueueInputAnswer(std::optional<std::string> answer);

    // What the logic did.
    const ControlState& State(Control control) const;
    // Every text the index field has shown, in order.
    const std::vector<std::string>& PageIndexTexts() const { return pageIndexTexts_; }
    int32_t PageIndexMaximum() const { return pageIndexMaximum_; }
    std::optional<Control> Focus() const { return focus_; }
    int TimerStarts() const { return timerStarts_; }
    int TimerInterval() const { return timerInterval_; }
    const std::string& LabelPageIndexCaption() const { return labelCaption_; }
    const std::string& StatusText() const { return statusText_; }
    const std::vector<std::string>& LogLines() const { return logLines_; }
    bool BusyCursors() const { return busyCursors_; }
    const std::string& ApplicationTitle() const { return applicationTitle_; }
    const std::vector<Control>& ListChanges() const { return listChanges_; }
    const std::vector<Control>& DropDowns() const { return dropDowns_; }
    const std::vector<std::string>& InputPrompts() const { return inputPrompts_; }
    const std::vector<std::string>& InputCaptions() const { return inputCaptions_; }
    const std::vector<std::string>& Errors() const { return errors_; }
    const std::vector<std::string>& HelpCalls() const { return helpCalls_; }
    int Beeps() const { return beeps_; }
    int SelectionClears() const { return selectionClears_; }
    int ProcessPendingCalls() const { return processPendingCalls_; }
    bool SheetShown() const { return sheetShown_; }
    int SheetChanges() const { return sheetChanges_; }

private:
    ControlState& Mutable(Control control) { return controls_[control]; }
    void SetPageIndexText(const std::string& text);
    void LoseFocusIf(Control control);

    Navigator* navigator_ = nullptr;
    std::map<Control, ControlState> controls_;
    std::string pageIndexText_;
    std::vector<std::string> pageIndexTexts_;
    int32_t pageIndexMinimum_ = 1;
    int32_t pageIndexMaximum_ = 1;
    int32_t pageIndexStep_ = 1;
    int caretPos_ = 0;
    int selectionClears_ = 0;
    std::optional<Control> focus_;
    bool timerRunning_ = false;
    int timerStarts_ = 0;
    int timerInterval_ = 0;
    std::string labelCaption_;
    std::string statusText_;
    std::vector<std::string> logLines_;
    bool busyCursors_ = false;
    std::string caption_;
    std::string applicationTitle_;
    std::vector<Control> listChanges_;
    std::vector<Control> dropDowns_;
    std::deque<std::optional<std::string>> inputAnswers_;
    std::vector<std::string> inputCaptions_;
    std::vector<std::string> inputPrompts_;
    std::vector<std::string> errors_;
    std::vector<std::string> helpCalls_;
    int beeps_ = 0;
    std::deque<std::function<void()>> pending_;
    int processPendingCalls_ = 0;
    bool sheetShown_ = false;
    int sheetChanges_ = 0;
};

}  // namespace kpw
