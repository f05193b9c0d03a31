#include "ui/UnitSettings.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStandardPaths>
#include <QStyle>
#include <QToolButton>
#include <algorithm>
#include <utility>
#include <vector>

#include "browsing/KeyCodes.h"
#include "settings/SettingsTable.h"
#include "settings/WindowPlacement.h"
#include "texts/SettingsFormTexts.h"
#include "texts/Texts.h"
#include "ui/FlagPictures.h"
#include "ui/Hints.h"
#include "ui/SettingsControls.h"
#include "ui/UndoArrowPicture.h"

namespace kpw {

namespace {

QString Text(const char* utf8) {
    return QString::fromUtf8(utf8);
}

QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

void SetHint(QWidget* control, const QString& hint) {
    PutHint(control, hint);
}

}  // namespace

TFormSettings::TFormSettings(QWidget* mainWindow)
    : QDialog(mainWindow, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      mainWindow_(mainWindow),
      beep_([] { QApplication::beep(); }) {
    setObjectName("FormSettings");
    setSizeGripEnabled(false);
    CreateControls();
    SetTabOrder();
    FitFont();
    FormSettingOnCreate();
}

TFormSettings::~TFormSettings() = default;

void TFormSettings::FormSettingOnCreate() {
    // The bounds came with the fields; the flags come from their XPM data.
    for (int i = 0; i < texts::LanguageCount; ++i) {
        flagBitmaps_[i] = FlagPicture(i);
        comboBoxLanguage_->addItem(Text(texts::LanguageNames.In(i)), flagBitmaps_[i]);
    }
    comboBoxLanguage_->setCurrentIndex(0);
}

bool TFormSettings::ExecuteFormSettings(Settings& settings) {
    SetFormSettingsTexts(settings.Language);
    ShowFields(values_.Open(settings));

    acceptedFields_.reset();
    enteredField_ = nullptr;
    spinEditMaxSkippedURLCount_->setFocus(Qt::OtherFocusReason);
    PlaceOverMainWindow();
    const int result = exec();

    if (result != QDialog::Accepted || !acceptedFields_) return false;
    SettingsDialogValues::ReadBack(*acceptedFields_, settings);
    return true;
}

void TFormSettings::PlaceOverMainWindow() {
    // Centred on the main window at every showing, also after being moved.
    // The client area is placed, as the main window's is known: Qt's own
    // centring places the frame and guesses its size from whatever other
    // windows are open, which put the dialog a title bar higher at some
    // showings than at others.
    if (!mainWindow_) return;
    const QWidget* owner = mainWindow_->window();
    const auto bounds = [](const QRect& rect) {
        return WindowBounds{rect.x(), rect.y(), rect.width(), rect.height()};
    };
    const QScreen* screen = owner->screen();
    const QRect available = screen ? screen->availableGeometry() : owner->frameGeometry();
    const FrameMargins frame =
        MarginsBetween(bounds(owner->frameGeometry()), bounds(owner->geometry()));
    // Where the screen is smaller than the layout, the page scrolls inside a
    // dialog that fits it.
    const ScrolledSize size =
        ClientSizeWithin(PixelSize{content_->width(), content_->height()},
                         PixelSize{available.width() - frame.Left - frame.Right,
                                   available.height() - frame.Top - frame.Bottom},
                         style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, scrollArea_));
    setFixedSize(size.Client.Width, size.Client.Height);
    scrollArea_->setGeometry(0, 0, size.Client.Width, size.Client.Height);
    const WindowBounds placed =
        CentredDialogBounds(bounds(owner->geometry()), size.Client, bounds(available), frame);
    setGeometry(placed.Left, placed.Top, placed.Width, placed.Height);
}

void TFormSettings::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // The arrows are drawn in the palette's colours; a new palette or style
    // draws them anew.
    const bool newLook =
        event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange;
    if (newLook && speedButtonRestoreDefaultURLs_.front()) RenewUndoArrows();
}

void TFormSettings::done(int result) {
    closing_ = true;
    QDialog::done(result);
    closing_ = false;
}

void TFormSettings::SetFormSettingsTexts(int language) {
    if (!texts::IsLanguage(language)) return;
    const texts::SettingsFormTexts& t = texts::SettingsForm;
    const auto in = [language](const texts::Text& text) { return Text(text.In(language)); };

    const std::string mainCaption = mainWindow_ ? mainWindow_->windowTitle().toStdString() : "";
    setWindowTitle(QString::fromStdString(texts::SettingsFormTitle(mainCaption, language)));

    const std::array<const texts::Text*, 6> templateLabels = {
        &t.LabelTemplateURL11, &t.LabelTemplateURL12, &t.LabelTemplateURL13,
        &t.LabelTemplateURL14, &t.LabelTemplateURL20, &t.LabelTemplateURL30,
    };
    const std::array<const texts::Text*, 6> templateHints = {
        &t.EditTemplateURL11Hint, &t.EditTemplateURL12Hint, &t.EditTemplateURL13Hint,
        &t.EditTemplateURL14Hint, &t.EditTemplateURL20Hint, &t.EditTemplateURL30Hint,
    };
    labelLanguage_->setText(in(t.LabelLanguage));
    for (size_t i = 0; i < templateLabels.size(); ++i) {
        labelTemplateURLs_[i]->setText(in(*templateLabels[i]));
        SetHint(editTemplateURLs_[i], in(*templateHints[i]));
        SetHint(speedButtonRestoreDefaultURLs_[i], in(t.RestoreDefaultHint));
    }
    labelMaxSkippedURLCount_->setText(in(t.LabelMaxSkippedURLCount));
    SetHint(spinEditMaxSkippedURLCount_, in(t.SpinEditMaxSkippedURLCountHint));
    labelNavigateDelayTime_->setText(in(t.LabelNavigateDelayTime));
    SetHint(spinEditNavigateDelayTime_, in(t.SpinEditNavigateDelayTimeHint));
    labelMaxFavoriteCount_->setText(in(t.LabelMaxFavoriteCount));
    SetHint(spinEditMaxFavoriteCount_, in(t.SpinEditMaxFavoriteCountHint));
    checkBoxWebBrowserVerbose_->setText(in(t.CheckBoxWebBrowserVerbose));
    SetHint(checkBoxWebBrowserVerbose_, in(t.CheckBoxWebBrowserVerboseHint));
    checkBoxInvertMouseWheel_->setText(in(t.CheckBoxInvertMouseWheel));
    checkBoxSaveSettings_->setText(in(t.CheckBoxSaveSettings));
    buttonOk_->setText(in(t.ButtonOk));
    buttonCancel_->setText(in(t.ButtonCancel));
    groupMoreOptions_->setTitle(in(t.GroupMoreOptions));
    for (size_t i = 0; i < MoreNumberTags.size(); ++i) {
        labelMoreNumbers_[i]->setText(Text(MoreOptionsLabel(MoreNumberTags[i], language)));
        SetHint(spinEditMoreNumbers_[i], Text(MoreOptionsHint(MoreNumberTags[i], language)));
    }
    for (size_t i = 0; i < MoreSwitchTags.size(); ++i) {
        checkBoxMoreSwitches_[i]->setText(Text(MoreOptionsLabel(MoreSwitchTags[i], language)));
        SetHint(checkBoxMoreSwitches_[i], Text(MoreOptionsHint(MoreSwitchTags[i], language)));
    }
    const int saveFolderTag = SettingNamed("SaveFolder").Dialog.Tag;
    labelSaveFolder_->setText(Text(MoreOptionsLabel(saveFolderTag, language)));
    SetHint(editSaveFolder_, Text(MoreOptionsHint(saveFolderTag, language)));
    SetHint(buttonBrowseSaveFolder_, in(t.ButtonBrowseSaveFolderHint));
    buttonRestoreMoreDefaults_->setText(in(t.ButtonRestoreMoreDefaults));
}

bool TFormSettings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        char character = 0;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            character = CharEnter;
        } else if (key->key() == Qt::Key_Escape) {
            character = CharEscape;
        } else if (key->text().size() == 1 && key->text()[0].unicode() < 128) {
            character = static_cast<char>(key->text()[0].unicode());
        }
        if (character != 0 && FormSettingsOnKeyPress(character)) return true;
    }
    return QDialog::eventFilter(watched, event);
}

bool TFormSettings::FormSettingsOnKeyPress(char key) {
    QWidget* focused = focusWidget();
    const auto isIn = [focused](SpinEdit* field) {
        return focused && (focused == field || field->isAncestorOf(focused));
    };
    if (!isIn(spinEditMaxSkippedURLCount_) && !isIn(spinEditNavigateDelayTime_)) return false;
    if (key == CharEnter) {
        buttonOk_->click();
        return true;
    }
    if (key == CharEscape) {
        buttonCancel_->click();
        return true;
    }
    return false;
}

void TFormSettings::FieldFocusIn(QWidget* field, QLineEdit* edit, Qt::FocusReason reason) {
    if (reason == Qt::PopupFocusReason) return;
    if (reason == Qt::ActiveWindowFocusReason && field == enteredField_) return;
    enteredField_ = field;
    // Entered other than by a click, a field shows its whole text selected,
    // as keyboard entry does; the enter handlers reduce that to the caret.
    if (reason != Qt::MouseFocusReason) edit->selectAll();
    if (auto* spin = dynamic_cast<SpinEdit*>(field)) {
        SpinEditOnEnter(spin);
    } else {
        EditOnEnter(edit);
    }
}

bool TFormSettings::CountsAsExit(Qt::FocusReason reason) const {
    return !closing_ && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason;
}

void TFormSettings::SpinEditOnEnter(SpinEdit* field) {
    EditOnEnter(field->Edit());
}

void TFormSettings::EditOnEnter(QLineEdit* field) {
    // Selection length 0 at the selection's start; the edit scrolls the
    // caret into view, so a long template shows its beginning.
    const int start = field->hasSelectedText() ? field->selectionStart() : field->cursorPosition();
    field->setCursorPosition(start);
}

void TFormSettings::SpinEditOnExit(SpinEdit* field) {
    enteredField_ = nullptr;
    const SpinFieldExit exit = values_.SpinEditExit(field->Tag(), field->Text().toStdString());
    if (exit.Beep && beep_) beep_();
    const QString text = QString::fromStdString(exit.Text);
    if (field->Text() != text) field->SetText(text);
}

void TFormSettings::SpeedButtonRestoreDefaultURLOnClick(int tag) {
    const std::optional<std::string> defaultTemplate = DefaultTemplateForTag(tag);
    TemplateEdit* field = TemplateField(tag);
    if (defaultTemplate && field) field->setText(QString::fromStdString(*defaultTemplate));
}

void TFormSettings::ComboBoxLanguageOnChange() {
    SetFormSettingsTexts(comboBoxLanguage_->currentIndex());
}

void TFormSettings::ButtonOkOnClick() {
    // Read before the dialog hides, so no focus change on the way out can
    // touch what was typed.
    const SettingsDialogFields fields = ReadFields();
    if (!ConfirmHiddenFavorites(fields)) return;
    acceptedFields_ = fields;
    accept();
}

bool TFormSettings::ConfirmHiddenFavorites(const SettingsDialogFields& fields) {
    if (!favoriteListLengths_) return true;
    const std::string question =
        FavoritesHiddenQuestion(FavoritesHiddenBy(fields.MaxFavoriteCount, favoriteListLengths_()),
                                fields.MaxFavoriteCount, comboBoxLanguage_->currentIndex());
    if (question.empty()) return true;
    // Cancel, the box's default, goes back to the dialog with the field as typed.
    const QMessageBox::StandardButton answer = QMessageBox::question(
        this, windowTitle().trimmed(), Text(question).replace(QLatin1Char('\r'), QLatin1Char('\n')),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer == QMessageBox::Ok) return true;
    spinEditMaxFavoriteCount_->setFocus(Qt::OtherFocusReason);
    return false;
}

void TFormSettings::ButtonRestoreMoreDefaultsOnClick() {
    SettingsDialogFields fields = ReadFields();
    SettingsDialogValues::RestoreMoreOptionsDefaults(fields);
    ShowFields(fields);
}

void TFormSettings::ShowFields(const SettingsDialogFields& fields) {
    comboBoxLanguage_->setCurrentIndex(fields.Language);
    for (TemplateEdit* edit : editTemplateURLs_)
        edit->setText(QString::fromStdString(fields.Template(edit->Tag())));
    spinEditMaxSkippedURLCount_->SetText(QString::fromStdString(fields.MaxSkippedURLCount));
    spinEditNavigateDelayTime_->SetText(QString::fromStdString(fields.NavigateDelayTime));
    spinEditMaxFavoriteCount_->SetText(QString::fromStdString(fields.MaxFavoriteCount));
    checkBoxWebBrowserVerbose_->setChecked(fields.WebBrowserVerbose);
    checkBoxInvertMouseWheel_->setChecked(fields.InvertMouseWheel);
    checkBoxSaveSettings_->setChecked(fields.SaveSettings);
    for (size_t i = 0; i < MoreNumberTags.size(); ++i)
        spinEditMoreNumbers_[i]->SetText(QString::fromStdString(fields.MoreNumbers[i]));
    for (size_t i = 0; i < MoreSwitchTags.size(); ++i)
        checkBoxMoreSwitches_[i]->setChecked(fields.MoreSwitches[i]);
    editSaveFolder_->setText(QString::fromStdString(fields.SaveFolder));
}

SettingsDialogFields TFormSettings::ReadFields() const {
    SettingsDialogFields fields;
    fields.Language = comboBoxLanguage_->currentIndex();
    for (const TemplateEdit* edit : editTemplateURLs_)
        fields.Template(edit->Tag()) = edit->text().toStdString();
    fields.MaxSkippedURLCount = spinEditMaxSkippedURLCount_->Text().toStdString();
    fields.NavigateDelayTime = spinEditNavigateDelayTime_->Text().toStdString();
    fields.MaxFavoriteCount = spinEditMaxFavoriteCount_->Text().toStdString();
    fields.WebBrowserVerbose = checkBoxWebBrowserVerbose_->isChecked();
    fields.InvertMouseWheel = checkBoxInvertMouseWheel_->isChecked();
    fields.SaveSettings = checkBoxSaveSettings_->isChecked();
    for (size_t i = 0; i < MoreNumberTags.size(); ++i)
        fields.MoreNumbers[i] = spinEditMoreNumbers_[i]->Text().toStdString();
    for (size_t i = 0; i < MoreSwitchTags.size(); ++i)
        fields.MoreSwitches[i] = checkBoxMoreSwitches_[i]->isChecked();
    fields.SaveFolder = editSaveFolder_->text().toStdString();
    return fields;
}

void TFormSettings::ButtonBrowseSaveFolderOnClick() {
    const int language = comboBoxLanguage_->currentIndex();
    const QString start = editSaveFolder_->text().trimmed().isEmpty()
                              ? QStandardPaths::writableLocation(QStandardPaths::PicturesLocation)
                              : editSaveFolder_->text().trimmed();
    const QString chosen = QFileDialog::getExistingDirectory(
        this,
        texts::IsLanguage(language)
            ? Text(texts::SettingsForm.ButtonBrowseSaveFolderHint.In(language))
            : QString(),
        start);
    if (!chosen.isEmpty()) editSaveFolder_->setText(QDir::toNativeSeparators(chosen));
}

TemplateEdit* TFormSettings::TemplateField(int tag) const {
    for (TemplateEdit* field : editTemplateURLs_) {
        if (field->Tag() == tag) return field;
    }
    return nullptr;
}

}  // namespace kpw
