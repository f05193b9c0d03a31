#pragma once

#include <QDialog>
#include <QImage>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "settings/Settings.h"
#include "settings/SettingsDialogValues.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollArea;
class QToolButton;

namespace kpw {

class LanguageComboBox;
class SpinEdit;
class TemplateEdit;

// The settings dialog: created hidden once, right after the main window, and
// shown modally by ExecuteFormSettings as often as the user asks. Its controls
// carry their names as object names.
class TFormSettings : public QDialog {
    Q_OBJECT
public:
    explicit TFormSettings(QWidget* mainWindow);
    ~TFormSettings() override;

    // Loads the thirteen settings into the dialog, shows it modally and, when
    // it was closed through OK, writes them back and returns true. Any other
    // close writes nothing and returns false. The caller releases its
    // settings button afterwards.
    bool ExecuteFormSettings(Settings& settings);

    // The dialog's title, captions and hints in a language; the title begins
    // with the main window's caption as it is now. Other values change nothing.
    void SetFormSettingsTexts(int language);

    // The error beep of a number field left with a text that is no integer;
    // QApplication::beep unless replaced.
    void SetBeep(std::function<void()> beep) { beep_ = std::move(beep); }

    // How long the favourites lists are now; OK asks before a lower bound
    // hides entries of them. Without it, OK asks nothing.
    void SetFavoriteListLengths(std::function<FavoriteListLengths()> lengths) {
        favoriteListLengths_ = std::move(lengths);
    }

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void FormSettingOnCreate();
    void PlaceOverMainWindow();
    void CreateControls();
    void SetTabOrder();
    void FitFont();
    bool TextsFit();

    // Returns true when the character is consumed.
    bool FormSettingsOnKeyPress(char key);
    void SpinEditOnEnter(SpinEdit* field);
    void SpinEditOnExit(SpinEdit* field);
    void EditOnEnter(QLineEdit* field);
    void SpeedButtonRestoreDefaultURLOnClick(int tag);
    void ComboBoxLanguageOnChange();
    void ButtonOkOnClick();
    void ButtonRestoreMoreDefaultsOnClick();
    // True when OK may go on: nothing is hidden, or the user agreed to it.
    bool ConfirmHiddenFavorites(const SettingsDialogFields& fields);
    // The unit beside a number field, where its setting names one.
    void AddUnit(const SpinEdit* field);
    // The restore buttons' arrows in colours that stand out on them.
    void RenewUndoArrows();

    // A field gets or loses the focus. Switching to another window and back,
    // or a context menu, neither enters nor leaves it.
    void FieldFocusIn(QWidget* field, QLineEdit* edit, Qt::FocusReason reason);
    bool CountsAsExit(Qt::FocusReason reason) const;

    void ShowFields(const SettingsDialogFields& fields);
    SettingsDialogFields ReadFields() const;
    TemplateEdit* TemplateField(int tag) const;

    QWidget* mainWindow_;
    SettingsDialogValues values_;
    std::optional<SettingsDialogFields> acceptedFields_;
    QWidget* enteredField_ = nullptr;
    bool closing_ = false;
    std::function<void()> beep_;
    std::function<FavoriteListLengths()> favoriteListLengths_;
    // The flags of the language list's items, owned for the whole run.
    std::array<QImage, 2> flagBitmaps_;

    // The page the controls lie on and the scrolling around it.
    QScrollArea* scrollArea_ = nullptr;
    QWidget* content_ = nullptr;
    QLabel* labelMaxSkippedURLCount_ = nullptr;
    QLabel* labelNavigateDelayTime_ = nullptr;
    QLabel* labelMaxFavoriteCount_ = nullptr;
    QLabel* labelLanguage_ = nullptr;
    std::array<QLabel*, 6> labelTemplateURLs_{};
    SpinEdit* spinEditMaxSkippedURLCount_ = nullptr;
    SpinEdit* spinEditNavigateDelayTime_ = nullptr;
    SpinEdit* spinEditMaxFavoriteCount_ = nullptr;
    // Templates in the order 11, 12, 13, 14, 20, 30.
    std::array<TemplateEdit*, 6> editTemplateURLs_{};
    std::array<QToolButton*, 6> speedButtonRestoreDefaultURLs_{};
    QCheckBox* checkBoxWebBrowserVerbose_ = nullptr;
    QCheckBox* checkBoxInvertMouseWheel_ = nullptr;
    QCheckBox* checkBoxSaveSettings_ = nullptr;
    LanguageComboBox* comboBoxLanguage_ = nullptr;
    QPushButton* buttonCancel_ = nullptr;
    QPushButton* buttonOk_ = nullptr;
    // The "More options" group below, its number fields in the order of
    // MoreNumberTags.
    QGroupBox* groupMoreOptions_ = nullptr;
    std::array<QLabel*, MoreNumberTags.size()> labelMoreNumbers_{};
    std::array<SpinEdit*, MoreNumberTags.size()> spinEditMoreNumbers_{};
    // Its check boxes, in the order of MoreSwitchTags, beside the numbers.
    std::array<QCheckBox*, MoreSwitchTags.size()> checkBoxMoreSwitches_{};
    // Its last row: the save folder with a browse button.
    QLabel* labelSaveFolder_ = nullptr;
    QLineEdit* editSaveFolder_ = nullptr;
    QPushButton* buttonBrowseSaveFolder_ = nullptr;
    // Beside the last number field: every field of the group to its default.
    QPushButton* buttonRestoreMoreDefaults_ = nullptr;
    // The units beside the number fields that have one.
    std::vector<QLabel*> labelUnits_;
    void ButtonBrowseSaveFolderOnClick();
};

}  // namespace kpw
