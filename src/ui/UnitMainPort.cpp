// TFormMain as the logic sees it: the MainWindowPort operations.
#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>

#include "ui/RangeKeepingUi.h"
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>

#include "browsing/OverviewSheet.h"
#include "favorites/FavoritesController.h"
#include "platform/DataFiles.h"
#include "texts/Texts.h"
#include "ui/FavoriteComboBox.h"
#include "ui/HelpWindow.h"
#include "ui/Hints.h"
#include "ui/InputQueryDialog.h"
#include "ui/OverviewSheetView.h"
#include "ui/PageIndexSpinBox.h"
#include "ui/QtOwnTexts.h"
#include "ui/UnitMain.h"
#include "webengine/PhotoFetcher.h"
#include "webengine/QtBrowserView.h"

namespace kpw {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

QString Lines(const std::string& text) {
    return LineBreaks(Text(text));
}

PageIndexSpinBox* Field(QSpinBox* spin) {
    return static_cast<PageIndexSpinBox*>(spin);
}

// Each setCursor sends a cursor-change event, and for the widget under the
// mouse asks the window system again, even for the shape it already has.
void PutCursor(QWidget* widget, Qt::CursorShape shape) {
    if (widget->testAttribute(Qt::WA_SetCursor) && widget->cursor().shape() == shape) return;
    widget->setCursor(shape);
}

}  // namespace

std::string TFormMain::PageIndexText() const {
    return Field(spinEditPageIndex_)->Edit()->text().toStdString();
}

void TFormMain::SetPageIndexValue(int32_t value) {
    spinEditPageIndex_->setValue(value);
}

void TFormMain::SetPageIndexMaximum(int32_t maximum) {
    spinEditPageIndex_->setMaximum(maximum);
}

void TFormMain::SetPageIndexStep(int32_t step) {
    spinEditPageIndex_->setSingleStep(step);
}

int TFormMain::PageIndexCaretPos() const {
    return Field(spinEditPageIndex_)->Edit()->cursorPosition();
}

void TFormMain::SetPageIndexCaretPos(int pos) {
    Field(spinEditPageIndex_)->Edit()->setCursorPosition(pos);
}

void TFormMain::ClearPageIndexSelection() {
    QLineEdit* edit = Field(spinEditPageIndex_)->Edit();
    const int start = edit->hasSelectedText() ? edit->selectionStart() : edit->cursorPosition();
    edit->deselect();
    edit->setCursorPosition(start);
}

bool TFormMain::PageIndexHasFocus() const {
    return spinEditPageIndex_->hasFocus() || Field(spinEditPageIndex_)->Edit()->hasFocus();
}

bool TFormMain::CanFocus(Control control) const {
    QWidget* widget = ControlWidget(control);
    return widget && widget->isVisible() && widget->isEnabled();
}

void TFormMain::SetFocus(Control control) {
    if (CanFocus(control)) ControlWidget(control)->setFocus(Qt::OtherFocusReason);
}

void TFormMain::StartNavigateTimer() {
    timerNavigate_->start();
}

void TFormMain::StopNavigateTimer() {
    timerNavigate_->stop();
}

bool TFormMain::NavigateTimerRunning() const {
    return timerNavigate_->isActive();
}

void TFormMain::SetNavigateTimerInterval(int milliseconds) {
    timerNavigate_->setInterval(milliseconds);
}

void TFormMain::SetEnabled(Control control, bool enabled) {
    ControlWidget(control)->setEnabled(enabled);
}

bool TFormMain::IsEnabled(Control control) const {
    return ControlWidget(control)->isEnabled();
}

void TFormMain::SetVisible(Control control, bool visible) {
    // A tool button may stand in the row's overflow menu; the row knows.
    if (IsToolButton(control)) {
        toolRow_->SetShown(static_cast<ToolButton>(control), visible);
        return;
    }
    QWidget* widget = ControlWidget(control);
    if (!visible) {
        if (auto* list = qobject_cast<FavoriteComboBox*>(widget)) list->hidePopup();
    }
    widget->setVisible(visible);
}

bool TFormMain::IsVisible(Control control) const {
    // Visible as far as the window is concerned, also before it is shown.
    if (IsToolButton(control)) return toolRow_->IsShown(static_cast<ToolButton>(control));
    return !ControlWidget(control)->isHidden();
}

void TFormMain::SetDown(ToolButton button, bool down) {
    Button(button)->setChecked(down);
}

bool TFormMain::IsDown(ToolButton button) const {
    return Button(button)->isChecked();
}

void TFormMain::SetHint(Control control, const std::string& hint) {
    PutHint(ControlWidget(control), Text(hint));
}

std::string TFormMain::Hint(Control control) const {
    return ControlWidget(control)
        ->toolTip()
        .replace(QLatin1Char('\n'), QLatin1Char('\r'))
        .toStdString();
}

void TFormMain::SetLabelPageIndexCaption(const std::string& caption) {
    labelPageIndex_->setText(Text(caption));
    LayOutToolRow();
}

void TFormMain::SetStatusText(const std::string& text) {
    statusBar_->showMessage(Text(text));
}

void TFormMain::AppendLogLine(const std::string& line) {
    memoText_->appendPlainText(Text(line));
}

void TFormMain::SetBusyCursors(bool busy) {
    if (busy != busyCursors_) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
        busyCursors_ = busy;
    }
    const Qt::CursorShape shape = busy ? Qt::WaitCursor : Qt::ArrowCursor;
    PutCursor(this, shape);
    for (QToolButton* button : toolRow_->Buttons())
        if (button) PutCursor(button, shape);
    PutCursor(labelPageIndex_, shape);
    PutCursor(panelVisibleWebBrowser_, shape);
    ProcessPendingMessages();
    PutCursor(spinEditPageIndex_, busy ? Qt::WaitCursor : Qt::IBeamCursor);
}

std::string TFormMain::WindowCaption() const {
    return windowTitle().toStdString();
}

void TFormMain::SetWindowCaption(const std::string& caption) {
    setWindowTitle(Text(caption));
}

void TFormMain::SetApplicationTitle(const std::string& title) {
    // Kept for the captions of the program's message boxes. It is not made
    // the application's display name: on X11 that would be appended to every
    // window title.
    applicationTitle_ = Text(title);
    // The title is put with the other texts of the language in force; the
    // views' own texts and Qt's (its file dialogs, its buttons) follow it.
    const int language = LanguageInForce();
    QtOwnTexts::Use(language);
    visibleView_->SetLanguage(language);
    hiddenView_->SetLanguage(language);
    fetcher_->SetLanguage(language);
    ranges_->SetLanguage(language);
}

void TFormMain::FavoriteListChanged(Control list) {
    FavoriteListBox(list)->ListModel()->Reload();
    FavoriteListBox(list)->setCurrentIndex(session_.Favorites().List(list).Selected());
    // The sheet marks the favourite photos.
    if (list == Control::FavoritePhotos && sheetView_) session_.Sheet().Refresh();
}

void TFormMain::DropDownFavoriteList(Control list) {
    FavoriteListBox(list)->showPopup();
}

bool TFormMain::InputQuery(const std::string& caption, const std::string& prompt,
                           std::string& value) {
    QString answer = Text(value);
    if (!ExecuteInputQuery(this, Text(caption), Lines(prompt), answer, LanguageInForce()))
        return false;
    value = answer.toStdString();
    return true;
}

void TFormMain::ShowErrorMessage(const std::string& message) {
    QMessageBox::critical(this, applicationTitle_, Text(message));
}

void TFormMain::ProcessPendingMessages() {
    QCoreApplication::processEvents();
}

void TFormMain::Beep() {
    ++beeps_;
    QApplication::beep();
}

int TFormMain::LanguageInForce() const {
    return texts::LanguageIndex(session_.CurrentSettings().Language);
}

void TFormMain::ShowHelp(const std::string& helpFileName) {
    const int language = LanguageInForce();
    // Beside the program in a build folder, in the data folder once installed;
    // a missing file is reported under the last path tried.
    HelpWindow::Show(this, Text(platform::LocateDataFile(helpFileName)), applicationTitle_,
                     applicationTitle_.trimmed() + QStringLiteral(" - ") +
                         Text(texts::HelpWindowTitles.In(language)),
                     Lines(texts::HelpFileMissingMessages.In(language)));
}

}  // namespace kpw

namespace kpw {

void TFormMain::ShowOverviewSheet(bool shown) {
    if (!sheetView_) return;
    Button(ToolButton::OverviewSheet)->setChecked(shown);
    sheetView_->setVisible(shown);
    if (!shown) return;
    sheetView_->raise();
    // The log stays above what it covers.
    memoText_->raise();
    sheetView_->setFocus(Qt::OtherFocusReason);
}

void TFormMain::OverviewSheetChanged() {
    if (sheetView_) sheetView_->SheetChanged();
}

}  // namespace kpw
