#include "FakeMainWindow.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>

#include "browsing/IndexField.h"
#include "browsing/Navigator.h"
#include "settings/AsciiText.h"

namespace kpw {

namespace {

constexpr char CharBackspace = 8;

bool InExclusiveGroup(Control control, Control& first, Control& last) {
    if (control >= Control::PhotoSize1 && control <= Control::PhotoSize4) {
        first = Control::PhotoSize1;
        last = Control::PhotoSize4;
        return true;
    }
    if (control >= Control::URL1 && control <= Control::URL3) {
        first = Control::URL1;
        last = Control::URL3;
        return true;
    }
    return false;
}

}  // namespace

FakeMainWindow::FakeMainWindow() {
    // The states of the window layout.
    Mutable(Control::GoBack).Enabled = false;
    Mutable(Control::Stop).Enabled = false;
    Mutable(Control::MemoText).Visible = false;
    Mutable(Control::FavoritePhotos).Visible = false;
    Mutable(Control::FavoriteUsers).Visible = false;
    Mutable(Control::PhotoSize3).Down = true;
    Mutable(Control::URL1).Down = true;
}

const FakeMainWindow::ControlState& FakeMainWindow::State(Control control) const {
    static const ControlState layoutDefault;
    auto found = controls_.find(control);
    return found == controls_.end() ? layoutDefault : found->second;
}

void FakeMainWindow::SetPageIndexText(const std::string& text) {
    if (text == pageIndexText_) return;
    pageIndexText_ = text;
    pageIndexTexts_.push_back(text);
    if (caretPos_ > static_cast<int>(text.size())) caretPos_ = static_cast<int>(text.size());
    if (navigator_) navigator_->SpinEditPageIndexOnChange();
}

void FakeMainWindow::SetPageIndexValue(int32_t value) {
    if (value < pageIndexMinimum_) value = pageIndexMinimum_;
    if (value > pageIndexMaximum_) value = pageIndexMaximum_;
    SetPageIndexText(std::to_string(value));
}

bool FakeMainWindow::CanFocus(Control control) const {
    return State(control).Enabled && State(control).Visible;
}

void FakeMainWindow::SetFocus(Control control) {
    if (CanFocus(control)) focus_ = control;
}

void FakeMainWindow::LoseFocusIf(Control control) {
    if (focus_ == control) focus_.reset();
}

void FakeMainWindow::StartNavigateTimer() {
    timerRunning_ = true;
    ++timerStarts_;
}

void FakeMainWindow::SetEnabled(Control control, bool enabled) {
    Mutable(control).Enabled = enabled;
    if (!enabled) LoseFocusIf(control);
}

void FakeMainWindow::SetVisible(Control control, bool visible) {
    Mutable(control).Visible = visible;
    if (!visible) LoseFocusIf(control);
}

void FakeMainWindow::SetDown(ToolButton button, bool down) {
    const Control control = ControlOf(button);
    Control first{}, last{};
    if (down && InExclusiveGroup(control, first, last)) {
        for (int c = static_cast<int>(first); c <= static_cast<int>(last); ++c)
            Mutable(static_cast<Control>(c)).Down = false;
    }
    Mutable(control).Down = down;
}

void FakeMainWindow::SetHint(Control control, const std::string& hint) {
    Mutable(control).Hint = hint;
}

void FakeMainWindow::SetLabelPageIndexCaption(const std::string& caption) {
    labelCaption_ = caption;
}

bool FakeMainWindow::InputQuery(const std::string& caption, const std::string& prompt,
                                std::string& value) {
    inputCaptions_.push_back(caption);
    inputPrompts_.push_back(prompt);
    if (inputAnswers_.empty()) return false;
    std::optional<std::string> answer = inputAnswers_.front();
    inputAnswers_.pop_front();
    if (!answer) return false;
    value = answer->substr(0, 255);
    return true;
}

void FakeMainWindow::QueueInputAnswer(std::optional<std::string> answer) {
    inputAnswers_.push_back(std::move(answer));
}

void FakeMainWindow::ProcessPendingMessages() {
    ++processPendingCalls_;
    while (!pending_.empty()) {
        std::function<void()> event = std::move(pending_.front());
        pending_.pop_front();
        event();
    }
}

void FakeMainWindow::PressKey(char key) {
    bool swallowed = navigator_ && navigator_->FormMainOnKeyPress(key);
    if (swallowed || !PageIndexHasFocus()) return;
    std::string text = pageIndexText_;
    size_t caret = static_cast<size_t>(caretPos_);
    if (caret > text.size()) caret = text.size();
    if (!IndexFieldAdmits(key, '.')) {
        ++beeps_;
        return;
    }
    if (IsAsciiDigit(key) || key == '+' || key == '-') {
        text.insert(caret, 1, key);
        ++caret;
    } else if (key == CharBackspace) {
        if (caret == 0) return;
        text.erase(caret - 1, 1);
        --caret;
    } else {
        return;  // what the field takes but ignores
    }
    caretPos_ = static_cast<int>(caret);
    SetPageIndexText(text);
}

void FakeMainWindow::TypeText(const std::string& text) {
    for (char c : text) PressKey(c);
}

void FakeMainWindow::ChangePageIndexText(const std::string& text) {
    caretPos_ = static_cast<int>(text.size());
    SetPageIndexText(text);
}

void FakeMainWindow::PressUpArrow() {
    char* end = nullptr;
    errno = 0;
    long long value = std::strtoll(pageIndexText_.c_str(), &end, 10);
    if (pageIndexText_.empty() || *end != '\0' || errno != 0) value = pageIndexMinimum_;
    if (value < pageIndexMaximum_)
        value = std::min<long long>(value + pageIndexStep_, pageIndexMaximum_);
    SetPageIndexValue(static_cast<int32_t>(value < pageIndexMinimum_ ? pageIndexMinimum_ : value));
}

void FakeMainWindow::LeavePageIndexField() {
    if (!PageIndexHasFocus()) return;
    focus_.reset();
    const std::optional<int32_t> bound =
        IndexFieldValueOnExit(pageIndexText_, pageIndexMinimum_, pageIndexMaximum_);
    if (bound) SetPageIndexValue(*bound);
}

bool FakeMainWindow::FireNavigateTimer() {
    if (!timerRunning_) return false;
    // The real timer keeps running until its handler stops it.
    if (navigator_) navigator_->TimerNavigateOnTimer();
    return true;
}

}  // namespace kpw
