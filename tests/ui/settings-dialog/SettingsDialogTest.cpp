#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>
#include <functional>
#include <tuple>

#include "settings/Settings.h"
#include "settings/SettingsTable.h"
#include "ui/SettingsControls.h"
#include "ui/UnitSettings.h"

namespace kpw {
namespace {

auto AllFields(const Settings& s) {
    return std::make_tuple(
        s.SaveSettings, s.WebBrowserVerbose, s.InvertMouseWheel, s.NavigateDelayTime, s.Language,
        s.WindowState, s.Left, s.Top, s.Width, s.Height, s.AutoSkipURL, s.MaxSkippedURLCount,
        s.TemplateURL11, s.TemplateURL12, s.TemplateURL13, s.TemplateURL14, s.TemplateURL20,
        s.TemplateURL30, s.URLIndex, s.PhotoSize, s.PhotoIndex, s.UserIndex, s.MaxFavoriteCount);
}

class SettingsDialog : public ::testing::Test {
protected:
    SettingsDialog() : dialog_(&mainWindow_) {
        mainWindow_.setWindowTitle(" Kelvaro Photo Wizard");
        mainWindow_.setGeometry(100, 80, 800, 600);
        mainWindow_.show();
        dialog_.SetBeep([this] { ++beeps_; });
        settings_.MaxSkippedURLCount = 250;
        settings_.NavigateDelayTime = 1500;
        settings_.MaxFavoriteCount = 20;
    }

    // Opens the dialog, runs the script once it is on screen and active, and
    // returns what ExecuteFormSettings returned. A script that leaves the
    // dialog open has it cancelled, so a failing test cannot hang.
    bool Run(const std::function<void()>& script) {
        bool ran = false;
        QTimer::singleShot(0, &dialog_, [&] {
            ran = true;
            if (QTest::qWaitForWindowActive(&dialog_)) {
                script();
            } else {
                ADD_FAILURE() << "the dialog never became active";
            }
            if (dialog_.isVisible()) dialog_.reject();
        });
        const bool result = dialog_.ExecuteFormSettings(settings_);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(dialog_.isVisible());
        return result;
    }

    template <typename T>
    T* Control(const char* name) {
        T* control = dialog_.findChild<T*>(name);
        EXPECT_NE(control, nullptr) << name;
        return control;
    }
    SpinEdit* Spin(const char* name) { return Control<SpinEdit>(name); }
    QLineEdit* Edit(const char* name) { return Control<QLineEdit>(name); }

    // The named control the keyboard focus is in (a spin field's inner edit
    // counts as the spin field).
    QString Focused() {
        QWidget* focused = QApplication::focusWidget();
        while (focused && focused->objectName().isEmpty()) focused = focused->parentWidget();
        return focused ? focused->objectName() : QString();
    }

    static void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), static_cast<Qt::Key>(key), modifiers);
    }
    static void Tabs(int count) {
        for (int i = 0; i < count; ++i) Press(Qt::Key_Tab);
    }
    // Replaces the focused field's text by typing, as a user would.
    static void TypeOver(const QString& text) {
        Press(Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty()) {
            Press(Qt::Key_Backspace);
        } else {
            QTest::keyClicks(QApplication::focusWidget(), text);
        }
    }

    QWidget mainWindow_;
    TFormSettings dialog_;
    Settings settings_;
    int beeps_ = 0;
};

TEST_F(SettingsDialog, OpensWithTheSettingsAndTheCaretAtTheStartOfTheFirstField) {
    settings_.TemplateURL20 = "http://a.example/photo/*";
    settings_.WebBrowserVerbose = true;
    settings_.SaveSettings = false;
    Run([&] {
        EXPECT_EQ(dialog_.windowTitle(), " Kelvaro Photo Wizard - Settings");
        EXPECT_EQ(Spin("SpinEditMaxSkippedURLCount")->Text(), "250");
        EXPECT_EQ(Spin("SpinEditNavigateDelayTime")->Text(), "1500");
        EXPECT_EQ(Spin("SpinEditMaxFavoriteCount")->Text(), "20");
        EXPECT_EQ(Edit("EditTemplateURL20")->text(), "http://a.example/photo/*");
        EXPECT_EQ(Edit("EditTemplateURL14")->text().toStdString(),
                  std::string(DefaultTemplate(14)));
        EXPECT_TRUE(Control<QCheckBox>("CheckBoxWebBrowserVerbose")->isChecked());
        EXPECT_FALSE(Control<QCheckBox>("CheckBoxInvertMouseWheel")->isChecked());
        EXPECT_FALSE(Control<QCheckBox>("CheckBoxSaveSettings")->isChecked());
        EXPECT_EQ(Control<QComboBox>("ComboBoxLanguage")->currentIndex(), 0);

        EXPECT_EQ(Focused(), "SpinEditMaxSkippedURLCount");
        QLineEdit* edit = Spin("SpinEditMaxSkippedURLCount")->Edit();
        EXPECT_FALSE(edit->hasSelectedText());
        EXPECT_EQ(edit->cursorPosition(), 0);
    });
}

TEST_F(SettingsDialog, DelayAboveItsBoundShowsTheBoundOnTab) {
    Run([&] {
        Tabs(2);
        ASSERT_EQ(Focused(), "SpinEditNavigateDelayTime");
        TypeOver("7000");
        Press(Qt::Key_Tab);
        EXPECT_EQ(Spin("SpinEditNavigateDelayTime")->Text(), "5000");
        EXPECT_EQ(Focused(), "CheckBoxInvertMouseWheel");
        EXPECT_EQ(beeps_, 0);
    });
}

TEST_F(SettingsDialog, DelayAboveItsBoundWithEnterClosesWithOkAndStoresTheBound) {
    const bool accepted = Run([&] {
        Tabs(2);
        TypeOver("7000");
        Press(Qt::Key_Return);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.NavigateDelayTime, 5000);
    EXPECT_EQ(beeps_, 0);
}

TEST_F(SettingsDialog, EmptiedSkipFieldWithEnterStoresItsLowerBound) {
    const bool accepted = Run([&] {
        TypeOver("");
        ASSERT_EQ(Spin("SpinEditMaxSkippedURLCount")->Text(), "");
        Press(Qt::Key_Enter);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.MaxSkippedURLCount, 0);
    EXPECT_EQ(beeps_, 0);
}

TEST_F(SettingsDialog, EscapeInTheFirstTwoFieldsCancels) {
    const Settings before = settings_;
    for (int tabs : {0, 2}) {
        const bool accepted = Run([&] {
            Tabs(tabs);
            TypeOver("777");
            Press(Qt::Key_Escape);
            EXPECT_FALSE(dialog_.isVisible());
        });
        EXPECT_FALSE(accepted) << tabs;
        EXPECT_EQ(AllFields(settings_), AllFields(before));
    }
}

TEST_F(SettingsDialog, FavouritesBelowItsBoundShowsTheBoundOnLeaving) {
    Run([&] {
        Tabs(4);
        ASSERT_EQ(Focused(), "SpinEditMaxFavoriteCount");
        TypeOver("3");
        Press(Qt::Key_Tab);
        EXPECT_EQ(Spin("SpinEditMaxFavoriteCount")->Text(), "8");
        EXPECT_EQ(beeps_, 0);
    });
}

TEST_F(SettingsDialog, MoreOptionsFieldKeepsItsBoundsAndOkStoresIt) {
    settings_.MinRequestInterval = 250;
    const bool accepted = Run([&] {
        SpinEdit* field = Spin("SpinEditMinRequestInterval");
        EXPECT_EQ(field->Text(), "250");
        EXPECT_EQ(Control<QGroupBox>("GroupBoxMoreOptions")->title(), "More options");
        field->Edit()->setFocus(Qt::TabFocusReason);
        TypeOver("x");
        Press(Qt::Key_Backtab);
        EXPECT_EQ(beeps_, 1);
        EXPECT_EQ(field->Text(), "250");
        field->Edit()->setFocus(Qt::TabFocusReason);
        TypeOver("99999");
        Press(Qt::Key_Backtab);
        EXPECT_EQ(field->Text(), "10000");
        QTest::mouseClick(Control<QPushButton>("ButtonOk"), Qt::LeftButton);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.MinRequestInterval, 10000);
}

TEST_F(SettingsDialog, PreloadOptionsStandInTheMoreOptionsGroupAndOkStoresThem) {
    settings_.PreloadDepth = 4;
    settings_.SkipKnownMissing = true;
    settings_.Language = 1;
    const bool accepted = Run([&] {
        const QWidget* group = Control<QWidget>("GroupBoxMoreOptions");
        SpinEdit* depth = Spin("SpinEditPreloadDepth");
        auto* skip = Control<QCheckBox>("CheckBoxSkipKnownMissing");
        EXPECT_EQ(depth->parentWidget(), group);
        EXPECT_EQ(skip->parentWidget(), group);
        EXPECT_EQ(depth->Text(), "4");
        EXPECT_TRUE(skip->isChecked());
        EXPECT_EQ(skip->text(), QString::fromUtf8("Bekannte Lücken überspringen"));
        // Below the first number, and beside it, inside the group.
        EXPECT_GT(depth->y(), Spin("SpinEditMinRequestInterval")->y());
        EXPECT_LE(skip->geometry().right(), group->width());
        EXPECT_LE(depth->geometry().bottom(), group->height());
        depth->Edit()->setFocus(Qt::TabFocusReason);
        TypeOver("99");
        Press(Qt::Key_Tab);
        EXPECT_EQ(depth->Text(), QString::number(BoundsOf("PreloadDepth").High));
        skip->click();
        QTest::mouseClick(Control<QPushButton>("ButtonOk"), Qt::LeftButton);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.PreloadDepth, BoundsOf("PreloadDepth").High);
    EXPECT_FALSE(settings_.SkipKnownMissing);
}

TEST_F(SettingsDialog, SlideshowIntervalAndSaveFolderAreShownInBothLanguagesAndOkStoresThem) {
    settings_.SlideshowInterval = 12;
    settings_.SaveFolder = "/data/photos";
    const bool accepted = Run([&] {
        SpinEdit* interval = Spin("SpinEditSlideshowInterval");
        QLineEdit* folder = Edit("EditSaveFolder");
        EXPECT_EQ(interval->Text(), "12");
        EXPECT_EQ(folder->text(), "/data/photos");
        EXPECT_EQ(Control<QLabel>("LabelSaveFolder")->text(), "Folder for saved photos");
        // Every row of the group lies within it, below the one before.
        const QGroupBox* group = Control<QGroupBox>("GroupBoxMoreOptions");
        const QWidget* browse = Control<QPushButton>("ButtonBrowseSaveFolder");
        EXPECT_TRUE(group->rect().contains(browse->geometry()));
        EXPECT_TRUE(group->rect().contains(folder->geometry()));
        EXPECT_GT(folder->y(), interval->y());
        EXPECT_GT(interval->y(), Spin("SpinEditMinRequestInterval")->y());
        auto* language = Control<QComboBox>("ComboBoxLanguage");
        language->setCurrentIndex(1);
        emit language->activated(1);
        EXPECT_EQ(Control<QLabel>("LabelSlideshowInterval")->text(), "Diashow-Intervall");
        EXPECT_EQ(Control<QLabel>("LabelSaveFolder")->text(), "Ordner für gespeicherte Photos");

        interval->Edit()->setFocus(Qt::TabFocusReason);
        TypeOver("0");
        Press(Qt::Key_Tab);
        EXPECT_EQ(interval->Text(), "1");
        folder->setText(" ");
        QTest::mouseClick(Control<QPushButton>("ButtonOk"), Qt::LeftButton);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.SlideshowInterval, 1);
    EXPECT_EQ(settings_.SaveFolder, " ");
}

TEST_F(SettingsDialog, TextThatIsNoIntegerBeepsAndBringsBackTheValueAtOpen) {
    Run([&] {
        Tabs(2);
        TypeOver("");
        Press(Qt::Key_Tab);
        EXPECT_EQ(beeps_, 1);
        EXPECT_EQ(Spin("SpinEditNavigateDelayTime")->Text(), "1500");

        Press(Qt::Key_Backtab);
        TypeOver("12abc");
        Press(Qt::Key_Backtab);
        EXPECT_EQ(beeps_, 2);
        EXPECT_EQ(Spin("SpinEditNavigateDelayTime")->Text(), "1500");
    });
}

TEST_F(SettingsDialog, HexadecimalTextIsAcceptedAndShownInDecimal) {
    const bool accepted = Run([&] {
        Tabs(2);
        TypeOver("$100");
        Press(Qt::Key_Tab);
        EXPECT_EQ(Spin("SpinEditNavigateDelayTime")->Text(), "256");
        Press(Qt::Key_Return);  // a check box: the default button
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.NavigateDelayTime, 256);
    EXPECT_EQ(beeps_, 0);
}

TEST_F(SettingsDialog, ArrowKeysStepWithinTheBounds) {
    settings_.MaxFavoriteCount = 63;
    Run([&] {
        Tabs(4);
        Press(Qt::Key_Up);
        EXPECT_EQ(Spin("SpinEditMaxFavoriteCount")->Text(), "64");
        Press(Qt::Key_Up);
        EXPECT_EQ(Spin("SpinEditMaxFavoriteCount")->Text(), "64");
        Press(Qt::Key_Down);
        EXPECT_EQ(Spin("SpinEditMaxFavoriteCount")->Text(), "63");
    });
}

TEST_F(SettingsDialog, CloseBoxCancelsAndLeavesTheSettingsUntouched) {
    const Settings before = settings_;
    const bool accepted = Run([&] {
        Edit("EditTemplateURL30")->setText("changed*");
        Spin("SpinEditNavigateDelayTime")->SetText("4000");
        Control<QCheckBox>("CheckBoxSaveSettings")->setChecked(false);
        dialog_.windowHandle()->close();
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(AllFields(settings_), AllFields(before));
}

TEST_F(SettingsDialog, OkWritesBackEveryFieldExactlyAsTyped) {
    settings_.WindowState = 2;
    settings_.PhotoIndex = 4711;
    const bool accepted = Run([&] {
        Edit("EditTemplateURL11")->setText(" no star ");
        Edit("EditTemplateURL12")->setText("");
        Edit("EditTemplateURL13")->setText("http://x.example/m/*.jpg");
        Edit("EditTemplateURL14")->setText(QString::fromUtf8("http://ü.example/*"));
        Edit("EditTemplateURL20")->setText("p/*");
        Edit("EditTemplateURL30")->setText("u/*");
        Spin("SpinEditMaxSkippedURLCount")->SetText("0x10");
        Spin("SpinEditMaxFavoriteCount")->SetText("99");
        Control<QCheckBox>("CheckBoxWebBrowserVerbose")->setChecked(true);
        Control<QCheckBox>("CheckBoxInvertMouseWheel")->setChecked(true);
        Control<QCheckBox>("CheckBoxSaveSettings")->setChecked(false);
        Control<QComboBox>("ComboBoxLanguage")->setCurrentIndex(1);
        QTest::mouseClick(Control<QPushButton>("ButtonOk"), Qt::LeftButton);
    });
    ASSERT_TRUE(accepted);
    EXPECT_EQ(settings_.TemplateURL11, " no star ");
    EXPECT_EQ(settings_.TemplateURL12, "");
    EXPECT_EQ(settings_.TemplateURL13, "http://x.example/m/*.jpg");
    EXPECT_EQ(settings_.TemplateURL14, "http://\xC3\xBC.example/*");
    EXPECT_EQ(settings_.TemplateURL20, "p/*");
    EXPECT_EQ(settings_.TemplateURL30, "u/*");
    EXPECT_EQ(settings_.MaxSkippedURLCount, 16);
    EXPECT_EQ(settings_.NavigateDelayTime, 1500);
    EXPECT_EQ(settings_.MaxFavoriteCount, 64);
    EXPECT_TRUE(settings_.WebBrowserVerbose);
    EXPECT_TRUE(settings_.InvertMouseWheel);
    EXPECT_FALSE(settings_.SaveSettings);
    EXPECT_EQ(settings_.Language, 1);
    EXPECT_EQ(settings_.WindowState, 2);
    EXPECT_EQ(settings_.PhotoIndex, 4711);
}

TEST_F(SettingsDialog, EnterOutsideTheFirstTwoFieldsActsThroughTheDefaultButton) {
    EXPECT_TRUE(Run([&] {
        Edit("EditTemplateURL13")->setFocus(Qt::TabFocusReason);
        Press(Qt::Key_Return);
    }));
    // A focused push button takes Enter for itself.
    EXPECT_FALSE(Run([&] {
        Control<QPushButton>("ButtonCancel")->setFocus(Qt::TabFocusReason);
        Press(Qt::Key_Return);
    }));
}

TEST_F(SettingsDialog, RestoreButtonFillsTheDefaultWhichOnlyOkKeeps) {
    settings_.TemplateURL14 = "old14*";
    const bool accepted = Run([&] {
        QToolButton* restore = Control<QToolButton>("SpeedButtonRestoreDefaultURL14");
        QTest::mouseClick(restore, Qt::LeftButton);
        EXPECT_EQ(Edit("EditTemplateURL14")->text().toStdString(),
                  std::string(DefaultTemplate(14)));
        EXPECT_EQ(Edit("EditTemplateURL13")->text().toStdString(),
                  std::string(DefaultTemplate(13)));
        EXPECT_EQ(Focused(), "SpinEditMaxSkippedURLCount");
    });
    EXPECT_FALSE(accepted);
    EXPECT_EQ(settings_.TemplateURL14, "old14*");

    settings_.TemplateURL30 = "old30*";
    EXPECT_TRUE(Run([&] {
        QTest::mouseClick(Control<QToolButton>("SpeedButtonRestoreDefaultURL30"), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>("ButtonOk"), Qt::LeftButton);
    }));
    EXPECT_EQ(settings_.TemplateURL30, std::string(DefaultTemplate(30)));
}

TEST_F(SettingsDialog, TabFollowsTheLayoutRowByRowWithTheRestoreButtonsAndOkAndCancelLast) {
    const QStringList order = {
        "SpinEditMaxSkippedURLCount",
        "CheckBoxWebBrowserVerbose",
        "SpinEditNavigateDelayTime",
        "CheckBoxInvertMouseWheel",
        "SpinEditMaxFavoriteCount",
        "CheckBoxSaveSettings",
        "EditTemplateURL11",
        "SpeedButtonRestoreDefaultURL11",
        "EditTemplateURL12",
        "SpeedButtonRestoreDefaultURL12",
        "EditTemplateURL13",
        "SpeedButtonRestoreDefaultURL13",
        "EditTemplateURL14",
        "SpeedButtonRestoreDefaultURL14",
        "EditTemplateURL20",
        "SpeedButtonRestoreDefaultURL20",
        "EditTemplateURL30",
        "SpeedButtonRestoreDefaultURL30",
        "ComboBoxLanguage",
        // The "More options" group below, row by row.
        "SpinEditMinRequestInterval",
        "CheckBoxSkipKnownMissing",
        "SpinEditPreloadDepth",
        "CheckBoxMissingByStatus",
        "SpinEditSlideshowInterval",
        "CheckBoxMissingByPlaceholder",
        "SpinEditMissingTextWaitMs",
        "ButtonRestoreMoreDefaults",
        "SpinEditSheetCellSize",
        "CheckBoxSheetHidesMissing",
        "SpinEditSheetPhotoSize",
        "SpinEditStepSize",
        "EditSaveFolder",
        "ButtonBrowseSaveFolder",
        // Cancel and OK, beside the language, close the round.
        "ButtonCancel",
        "ButtonOk",
        "SpinEditMaxSkippedURLCount",
    };
    Run([&] {
        QStringList seen = {Focused()};
        for (int i = 1; i < order.size(); ++i) {
            Press(Qt::Key_Tab);
            seen << Focused();
        }
        EXPECT_EQ(seen, order);
        // Shift+Tab goes the same way back.
        QStringList back = {Focused()};
        for (int i = 1; i < order.size(); ++i) {
            Press(Qt::Key_Backtab);
            back.prepend(Focused());
        }
        EXPECT_EQ(back, order);
        EXPECT_EQ(beeps_, 0);
    });
}

TEST_F(SettingsDialog, ARestoreButtonReachedByTabRestoresWithSpaceAndAClickLeavesTheFocus) {
    settings_.TemplateURL12 = "old12*";
    settings_.TemplateURL13 = "old13*";
    const bool accepted = Run([&] {
        Edit("EditTemplateURL12")->setFocus(Qt::TabFocusReason);
        Press(Qt::Key_Tab);
        ASSERT_EQ(Focused(), "SpeedButtonRestoreDefaultURL12");
        Press(Qt::Key_Space);
        EXPECT_EQ(Edit("EditTemplateURL12")->text().toStdString(),
                  std::string(DefaultTemplate(12)));
        EXPECT_EQ(Focused(), "SpeedButtonRestoreDefaultURL12");

        Edit("EditTemplateURL14")->setFocus(Qt::MouseFocusReason);
        QTest::mouseClick(Control<QToolButton>("SpeedButtonRestoreDefaultURL13"), Qt::LeftButton);
        EXPECT_EQ(Edit("EditTemplateURL13")->text().toStdString(),
                  std::string(DefaultTemplate(13)));
        EXPECT_EQ(Focused(), "EditTemplateURL14");
        QTest::mouseClick(Control<QPushButton>("ButtonOk"), Qt::LeftButton);
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.TemplateURL12, std::string(DefaultTemplate(12)));
    EXPECT_EQ(settings_.TemplateURL13, std::string(DefaultTemplate(13)));
}

TEST_F(SettingsDialog, EnteringAFieldByKeyboardLeavesTheCaretAtItsStartWithNothingSelected) {
    Run([&] {
        Tabs(6);
        ASSERT_EQ(Focused(), "EditTemplateURL11");
        QLineEdit* edit = Edit("EditTemplateURL11");
        EXPECT_FALSE(edit->hasSelectedText());
        EXPECT_EQ(edit->cursorPosition(), 0);
    });
}

TEST_F(SettingsDialog, EnteringAFieldByClickPutsTheCaretWhereTheClickWas) {
    Run([&] {
        QLineEdit* edit = Edit("EditTemplateURL20");
        const QPoint point(edit->width() / 2, edit->height() / 2);
        QTest::mouseClick(edit, Qt::LeftButton, Qt::NoModifier, point);
        ASSERT_EQ(Focused(), "EditTemplateURL20");
        EXPECT_FALSE(edit->hasSelectedText());
        EXPECT_GT(edit->cursorPosition(), 0);
        EXPECT_EQ(edit->cursorPosition(), edit->cursorPositionAt(point));
    });
}

TEST_F(SettingsDialog, LanguageListSwitchesTheTextsAtOnceAndAnOpeningRestoresThem) {
    settings_.Language = 1;
    Run([&] {
        EXPECT_EQ(dialog_.windowTitle(), " Kelvaro Photo Wizard - Einstellungen");
        EXPECT_EQ(Control<QLabel>("LabelLanguage")->text(), "Sprache");
        auto* list = Control<QComboBox>("ComboBoxLanguage");
        EXPECT_EQ(list->currentIndex(), 1);
        list->setFocus(Qt::TabFocusReason);
        Press(Qt::Key_Up);
        EXPECT_EQ(list->currentIndex(), 0);
        EXPECT_EQ(dialog_.windowTitle(), " Kelvaro Photo Wizard - Settings");
        EXPECT_EQ(Control<QLabel>("LabelLanguage")->text(), "Language");
        EXPECT_EQ(Control<QPushButton>("ButtonCancel")->text(), "Cancel");
        EXPECT_EQ(Control<QCheckBox>("CheckBoxSaveSettings")->text(), "Save settings");
        EXPECT_EQ(Spin("SpinEditMaxFavoriteCount")->toolTip(),
                  "Maximum number of entries in the favorites list");
        EXPECT_EQ(list->itemText(0), "English");
        EXPECT_EQ(list->itemText(1), "Deutsch");
    });
    EXPECT_EQ(settings_.Language, 1);

    // Cancelled: the next opening is German again, with "Deutsch" selected.
    Run([&] {
        EXPECT_EQ(dialog_.windowTitle(), " Kelvaro Photo Wizard - Einstellungen");
        EXPECT_EQ(Control<QComboBox>("ComboBoxLanguage")->currentIndex(), 1);
        EXPECT_EQ(Control<QPushButton>("ButtonCancel")->text(), "Abbrechen");
        EXPECT_EQ(Control<QLabel>("LabelTemplateURL14")->text(),
                  QString::fromUtf8("URL für Photos alleine, Originalgröße"));
    });
}

TEST_F(SettingsDialog, TitleFollowsTheMainCaptionOfTheMoment) {
    mainWindow_.setWindowTitle("Other");
    Run([&] { EXPECT_EQ(dialog_.windowTitle(), "Other - Settings"); });
}

TEST_F(SettingsDialog, HintsBreakTheirLinesAndShowOnlyWhereTheLayoutSays) {
    settings_.Language = 1;
    Run([&] {
        EXPECT_EQ(Spin("SpinEditNavigateDelayTime")->toolTip(),
                  QString::fromUtf8("Verzögerungszeit in ms zwischen der Eingabe\n"
                                    "eines neuen Photo- bzw. User-Index und dem\n"
                                    "Laden dieser Seite"));
        EXPECT_EQ(Control<QCheckBox>("CheckBoxWebBrowserVerbose")->toolTip(),
                  "Web-Browser-Dialoge beim Auf-\ntreten von Script-Fehlern anzeigen");
        EXPECT_EQ(Control<QToolButton>("SpeedButtonRestoreDefaultURL20")->toolTip(),
                  "Default-Wert wiederherstellen");
        EXPECT_EQ(Edit("EditTemplateURL20")->toolTipDuration(), 3000);
        EXPECT_TRUE(Control<QCheckBox>("CheckBoxInvertMouseWheel")->toolTip().isEmpty());
        EXPECT_TRUE(Control<QCheckBox>("CheckBoxSaveSettings")->toolTip().isEmpty());
        EXPECT_TRUE(Control<QPushButton>("ButtonOk")->toolTip().isEmpty());
        EXPECT_TRUE(Control<QComboBox>("ComboBoxLanguage")->toolTip().isEmpty());
        for (QLabel* label : dialog_.findChildren<QLabel*>()) {
            EXPECT_TRUE(label->toolTip().isEmpty()) << label->objectName().toStdString();
        }
    });
}

TEST_F(SettingsDialog, HasTheFixedLayoutAndIsCentredOnTheMainWindow) {
    Run([&] {
        // The rows above keep their places; the "More options" group lies below them.
        const QWidget* group = Control<QWidget>("GroupBoxMoreOptions");
        EXPECT_GE(group->y(), 280);
        EXPECT_EQ(dialog_.size(), QSize(542, group->geometry().bottom() + 1 + 4));
        EXPECT_EQ(dialog_.minimumSize(), dialog_.maximumSize());
        const Qt::WindowFlags flags = dialog_.windowFlags();
        EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMinimizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowMaximizeButtonHint);
        EXPECT_FALSE(flags & Qt::WindowContextHelpButtonHint);

        const std::vector<std::pair<const char*, QRect>> places = {
            {"SpinEditMaxSkippedURLCount", {200, 4, 113, 22}},
            {"SpinEditNavigateDelayTime", {200, 32, 113, 22}},
            {"SpinEditMaxFavoriteCount", {200, 60, 113, 22}},
            {"CheckBoxWebBrowserVerbose", {336, 6, 204, 17}},
            {"CheckBoxInvertMouseWheel", {336, 34, 204, 17}},
            {"CheckBoxSaveSettings", {336, 62, 204, 17}},
            {"EditTemplateURL11", {200, 88, 314, 22}},
            {"SpeedButtonRestoreDefaultURL11", {518, 88, 22, 22}},
            {"EditTemplateURL14", {200, 172, 314, 22}},
            {"SpeedButtonRestoreDefaultURL30", {518, 228, 22, 22}},
            {"ComboBoxLanguage", {200, 256, 113, 22}},
            {"ButtonCancel", {336, 256, 100, 22}},
            {"ButtonOk", {440, 256, 100, 22}},
        };
        for (const auto& [name, rect] : places) {
            EXPECT_EQ(Control<QWidget>(name)->geometry(), rect) << name;
        }
        for (QToolButton* button : dialog_.findChildren<QToolButton*>()) {
            // Tab reaches them; a click leaves the focus in the field.
            EXPECT_EQ(button->focusPolicy(), Qt::TabFocus);
            EXPECT_FALSE(button->icon().isNull());
        }
        const QPoint offset = dialog_.geometry().center() - mainWindow_.geometry().center();
        EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
    });
}

TEST_F(SettingsDialog, OpensAtTheSamePlaceEveryTime) {
    // Each showing is placed anew; nothing of the last one (the frame the
    // window manager added, a move by the user) carries over.
    std::vector<QRect> places;
    for (int opening = 0; opening < 3; ++opening) {
        Run([&] {
            places.push_back(dialog_.frameGeometry());
            if (opening == 1) dialog_.move(dialog_.pos() + QPoint(40, 30));
        });
    }
    ASSERT_EQ(places.size(), 3U);
    EXPECT_EQ(places[1], places[0]);
    EXPECT_EQ(places[2], places[0]);
    const QPoint offset = places[0].center() - mainWindow_.frameGeometry().center();
    EXPECT_LE(offset.manhattanLength(), 2) << offset.x() << "," << offset.y();
}

TEST_F(SettingsDialog, TimeFieldsShowTheirUnitsBesideThemInBothLanguages) {
    const std::vector<std::pair<const char*, const char*>> units = {
        {"NavigateDelayTime", "ms"},
        {"MinRequestInterval", "ms"},
        {"MissingTextWaitMs", "ms"},
        {"SlideshowInterval", "s"},
    };
    for (uint8_t language : {0, 1}) {
        settings_.Language = language;
        Run([&] {
            for (const auto& [key, unit] : units) {
                const QString name = QString::fromLatin1(key);
                auto* label = dialog_.findChild<QLabel*>("LabelUnit" + name);
                ASSERT_NE(label, nullptr) << key;
                EXPECT_TRUE(label->isVisible());
                EXPECT_EQ(label->text(), QString::fromLatin1(unit));
                const QWidget* field = Spin(("SpinEdit" + name).toLatin1().constData());
                ASSERT_EQ(label->parentWidget(), field->parentWidget());
                // Right beside its field, on its row, and clear of everything else.
                EXPECT_GT(label->x(), field->geometry().right());
                EXPECT_LE(label->x(), field->geometry().right() + 8);
                EXPECT_EQ(label->y(), field->y());
                for (QWidget* other : label->parentWidget()->findChildren<QWidget*>(
                         QString(), Qt::FindDirectChildrenOnly)) {
                    if (other != label && other->isVisible()) {
                        EXPECT_FALSE(other->geometry().intersects(label->geometry()))
                            << key << " meets " << other->objectName().toStdString();
                    }
                }
            }
            // Counts have no unit.
            EXPECT_EQ(dialog_.findChild<QLabel*>("LabelUnitMaxFavoriteCount"), nullptr);
            EXPECT_EQ(dialog_.findChild<QLabel*>("LabelUnitPreloadDepth"), nullptr);
        });
    }
}

TEST_F(SettingsDialog, RestoreAllDefaultsPutsTheMoreOptionsDefaultsAndKeepsTheDialogOpen) {
    settings_.MinRequestInterval = 700;
    settings_.PreloadDepth = 9;
    settings_.SlideshowInterval = 60;
    settings_.MissingByStatus = false;
    settings_.SaveFolder = "/somewhere";
    for (uint8_t language : {0, 1}) {
        settings_.Language = language;
        Run([&] {
            auto* button = Control<QPushButton>("ButtonRestoreMoreDefaults");
            ASSERT_NE(button, nullptr);
            EXPECT_EQ(button->text(), language == 0
                                          ? QStringLiteral("Restore all defaults")
                                          : QStringLiteral("Standardwerte wiederherstellen"));
            // Whole and inside the group, clear of the other controls.
            EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()) + 8, button->width());
            const QWidget* group = Control<QWidget>("GroupBoxMoreOptions");
            EXPECT_TRUE(group->rect().contains(button->geometry()));
            for (QWidget* other :
                 group->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
                if (other != button) {
                    EXPECT_FALSE(other->geometry().intersects(button->geometry()))
                        << other->objectName().toStdString();
                }
            }
        });
    }
    settings_.Language = 0;
    const bool accepted = Run([&] {
        Spin("SpinEditMaxSkippedURLCount")->setFocus();
        TypeOver("300");
        QTest::mouseClick(Control<QPushButton>("ButtonRestoreMoreDefaults"), Qt::LeftButton);
        EXPECT_TRUE(dialog_.isVisible());
        EXPECT_EQ(Spin("SpinEditMinRequestInterval")->Text(), "0");
        EXPECT_EQ(Spin("SpinEditPreloadDepth")->Text(), "4");
        EXPECT_EQ(Spin("SpinEditSlideshowInterval")->Text(), "5");
        EXPECT_TRUE(Control<QCheckBox>("CheckBoxMissingByStatus")->isChecked());
        EXPECT_EQ(Edit("EditSaveFolder")->text(), "");
        // The fields above the group keep what was typed.
        EXPECT_EQ(Spin("SpinEditMaxSkippedURLCount")->Text(), "300");
        Control<QPushButton>("ButtonOk")->click();
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.MinRequestInterval, 0);
    EXPECT_EQ(settings_.PreloadDepth, 4);
    EXPECT_EQ(settings_.SlideshowInterval, 5);
    EXPECT_TRUE(settings_.MissingByStatus);
    EXPECT_EQ(settings_.SaveFolder, "");
    EXPECT_EQ(settings_.MaxSkippedURLCount, 300);
}

// Answers the next message box over the dialog with the button, after
// handing it to check; the text it showed is kept.
class BoxAnswer {
public:
    BoxAnswer(QMessageBox::StandardButton button, QString& shown) {
        QObject::connect(&poll_, &QTimer::timeout, [this, button, &shown] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            poll_.stop();
            shown = box->text();
            box->button(button)->click();
        });
        poll_.start(10);
    }

private:
    QTimer poll_;
};

TEST_F(SettingsDialog, LoweringTheFavoritesBoundAsksFirstAndCancelReturnsToTheDialog) {
    dialog_.SetFavoriteListLengths([] { return FavoriteListLengths{20, 10}; });
    settings_.MaxFavoriteCount = 20;
    const bool accepted = Run([&] {
        Spin("SpinEditMaxFavoriteCount")->setFocus();
        TypeOver("16");
        QString shown;
        {
            BoxAnswer cancel(QMessageBox::Cancel, shown);
            Control<QPushButton>("ButtonOk")->click();
        }
        EXPECT_TRUE(shown.contains("the last 4 favorite photos")) << shown.toStdString();
        EXPECT_FALSE(shown.contains("user")) << shown.toStdString();
        EXPECT_TRUE(shown.contains("come back once the count is raised"));
        // Back in the dialog, the field as typed, the keys in it again.
        EXPECT_TRUE(dialog_.isVisible());
        EXPECT_EQ(Spin("SpinEditMaxFavoriteCount")->Text(), "16");
        // (The dialog's own focus: the offscreen platform gives the
        // activation back to it only later.)
        const QWidget* focus = dialog_.focusWidget();
        EXPECT_TRUE(focus == Spin("SpinEditMaxFavoriteCount") ||
                    Spin("SpinEditMaxFavoriteCount")->isAncestorOf(focus));

        shown.clear();
        BoxAnswer ok(QMessageBox::Ok, shown);
        Control<QPushButton>("ButtonOk")->click();
        EXPECT_FALSE(shown.isEmpty());
    });
    EXPECT_TRUE(accepted);
    EXPECT_EQ(settings_.MaxFavoriteCount, 16);
}

TEST_F(SettingsDialog, TheFavoritesQuestionSpeaksTheDialogsLanguageAndOnlyWhenEntriesWouldHide) {
    dialog_.SetFavoriteListLengths([] { return FavoriteListLengths{3, 12}; });
    settings_.MaxFavoriteCount = 16;
    settings_.Language = 1;
    QString shown;
    bool accepted = Run([&] {
        Spin("SpinEditMaxFavoriteCount")->setFocus();
        TypeOver("9");
        BoxAnswer ok(QMessageBox::Ok, shown);
        Control<QPushButton>("ButtonOk")->click();
    });
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(shown.contains("die letzten 3 Favoriten-User")) << shown.toStdString();
    EXPECT_FALSE(shown.contains("Photo")) << shown.toStdString();
    EXPECT_EQ(settings_.MaxFavoriteCount, 9);

    // Raising the bound, or one that hides nothing, closes without a question.
    shown.clear();
    accepted = Run([&] {
        BoxAnswer none(QMessageBox::Cancel, shown);
        Spin("SpinEditMaxFavoriteCount")->setFocus();
        TypeOver("12");
        Control<QPushButton>("ButtonOk")->click();
    });
    EXPECT_TRUE(accepted);
    EXPECT_TRUE(shown.isEmpty()) << shown.toStdString();
    EXPECT_EQ(settings_.MaxFavoriteCount, 12);
}

// Clipping shows as text wider than its control, or a label running into
// the field column.
TEST_F(SettingsDialog, EveryCaptionFitsItsControlInBothLanguages) {
    for (uint8_t language : {0, 1}) {
        settings_.Language = language;
        Run([&] {
            for (QLabel* label : dialog_.findChildren<QLabel*>()) {
                const QFontMetrics metrics(label->font());
                EXPECT_LE(metrics.horizontalAdvance(label->text()), label->width())
                    << label->objectName().toStdString();
                EXPECT_LE(metrics.height(), label->height()) << label->objectName().toStdString();
                // Captions stand left of the fields; units (the next test) right of them.
                if (!label->objectName().startsWith("LabelUnit")) {
                    EXPECT_LT(label->geometry().right(), 200) << label->objectName().toStdString();
                }
            }
            for (QCheckBox* box : dialog_.findChildren<QCheckBox*>()) {
                EXPECT_LE(box->sizeHint().width(), box->width()) << box->objectName().toStdString();
                EXPECT_LE(box->fontMetrics().height(), box->height());
            }
            for (QPushButton* button : dialog_.findChildren<QPushButton*>()) {
                EXPECT_LT(button->fontMetrics().horizontalAdvance(button->text()), button->width());
            }
        });
    }
}

}  // namespace
}  // namespace kpw
