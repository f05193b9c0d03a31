// The settings dialog opened from the real window's settings button, and what
// an accepted dialog changes in the window (and what a cancelled one leaves).
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "MainWindowHarness.h"
#include "ui/HelpWindow.h"
#include "ui/QtOwnTexts.h"
#include "ui/SettingsControls.h"
#include "ui/UnitSettings.h"

namespace kpw {
namespace {

// The dialog's controls carry their names as object names.
template <typename T>
T* Field(TFormSettings& dialog, const char* name) {
    T* control = dialog.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(control, nullptr) << name;
    return control;
}

void Ok(TFormSettings& dialog) {
    Field<QPushButton>(dialog, "ButtonOk")->click();
}
void Cancel(TFormSettings& dialog) {
    Field<QPushButton>(dialog, "ButtonCancel")->click();
}

class SettingsApply : public MainWindowHarness {
protected:
    // Idle on photo 500 with the settings dialog set up as the program does.
    std::unique_ptr<TFormMain> StartIdle(const QStringList& general = {}) {
        WriteIni(QStringList{"[General]"} + general +
                 QStringList{"[Page]", "PhotoIndex=500", "UserIndex=900"});
        auto form = Start();
        form->SetSettingsForm(new TFormSettings(form.get()));
        FinishLoad();
        return form;
    }

    // Clicks the settings button and runs script on the open dialog; the
    // settings button must stay down while the dialog is shown.
    void RunDialog(TFormMain& form, const std::function<void(TFormSettings&)>& script) {
        bool ran = false;
        WhenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<TFormSettings*>(modal);
            ASSERT_NE(dialog, nullptr);
            ran = true;
            EXPECT_TRUE(Tool(form, Control::Settings)->isChecked());
            script(*dialog);
        });
        QTest::mouseClick(Tool(form, Control::Settings), Qt::LeftButton);
        EXPECT_TRUE(ran);
        EXPECT_FALSE(Tool(form, Control::Settings)->isChecked());
    }

    static QString Hint(const TFormMain& form, Control control) {
        return Probe(form).ControlWidget(control)->toolTip();
    }
};

const QString PhotoTemplate = QStringLiteral("http://www.kelvaro.example/photos/medium/*.jpg");
const QString InfoTemplate = QStringLiteral("http://www.kelvaro.example/photo/*");
const QString NewUserTemplate = QStringLiteral("http://people.example/u/*/page");

TEST_F(SettingsApply, ChangedUserTemplateBecomesTheBareHintAndTheNextAddressOnly) {
    auto form = StartIdle();
    ASSERT_EQ(Hint(*form, Control::URL3),
              QStringLiteral("User page (Alt+3)\nhttp://www.kelvaro.example/user/*"));
    const size_t loads = visible_->navigations.size();
    RunDialog(*form, [](TFormSettings& dialog) {
        Field<QLineEdit>(dialog, "EditTemplateURL30")->setText(NewUserTemplate);
        Ok(dialog);
    });
    // The mode hints are the templates after the key, without the mode names.
    EXPECT_EQ(Hint(*form, Control::URL3), "Alt+3\n" + NewUserTemplate);
    EXPECT_EQ(Hint(*form, Control::URL1), "Alt+1\n" + PhotoTemplate);
    EXPECT_EQ(Hint(*form, Control::URL2), "Alt+2\n" + InfoTemplate);
    EXPECT_EQ(visible_->navigations.size(), loads);  // nothing reloaded

    QTest::mouseClick(Tool(*form, Control::URL3), Qt::LeftButton);
    EXPECT_EQ(visible_->navigations.back(), "http://people.example/u/900/page");
    EXPECT_EQ(hidden_->navigations.back(), "http://people.example/u/901/page");
}

TEST_F(SettingsApply, ChangedDelayBecomesTheTimersInterval) {
    auto form = StartIdle({"NavigateDelayTime=300"});
    ASSERT_EQ(Probe(*form).NavigateTimer()->interval(), 300);
    RunDialog(*form, [](TFormSettings& dialog) {
        Field<SpinEdit>(dialog, "SpinEditNavigateDelayTime")->SetText(QStringLiteral("2500"));
        Ok(dialog);
    });
    EXPECT_EQ(Probe(*form).NavigateTimer()->interval(), 2500);
    EXPECT_EQ(Probe(*form).CurrentSettings().NavigateDelayTime, 2500);
}

TEST_F(SettingsApply, ChangedVerboseSwitchesTheVisibleViewOnly) {
    auto form = StartIdle({"WebBrowserVerbose=1"});
    ASSERT_FALSE(visible_->silent);
    // Nobody sees the hidden view: it stays silent whatever the setting.
    ASSERT_TRUE(hidden_->silent);
    hidden_->silent = false;  // so a write from the dialog would show
    RunDialog(*form, [](TFormSettings& dialog) {
        Field<QCheckBox>(dialog, "CheckBoxWebBrowserVerbose")->setChecked(false);
        Ok(dialog);
    });
    EXPECT_TRUE(visible_->silent);
    EXPECT_FALSE(hidden_->silent);
}

TEST_F(SettingsApply, CancelChangesNothing) {
    auto form = StartIdle({"NavigateDelayTime=300"});
    const Settings before = Probe(*form).CurrentSettings();
    const QString userHint = Hint(*form, Control::URL3);
    RunDialog(*form, [](TFormSettings& dialog) {
        Field<QLineEdit>(dialog, "EditTemplateURL30")->setText(NewUserTemplate);
        Field<SpinEdit>(dialog, "SpinEditNavigateDelayTime")->SetText(QStringLiteral("2500"));
        Field<QCheckBox>(dialog, "CheckBoxWebBrowserVerbose")->setChecked(true);
        Field<QComboBox>(dialog, "ComboBoxLanguage")->setCurrentIndex(1);
        Cancel(dialog);
    });
    EXPECT_TRUE(Probe(*form).CurrentSettings() == before);
    EXPECT_EQ(Hint(*form, Control::URL3), userHint);
    EXPECT_EQ(Hint(*form, Control::Settings), QStringLiteral("Settings (Ctrl+,)"));
    EXPECT_EQ(Probe(*form).NavigateTimer()->interval(), 300);
    EXPECT_TRUE(visible_->silent);
}

TEST_F(SettingsApply, LoweringTheFavoritesBoundNamesTheEntriesOfTheWindowsListsItHides) {
    QStringList ini = {"[Page]", "PhotoIndex=500", "[Favorites]", "MaxFavoriteCount=12"};
    for (int i = 1; i <= 11; ++i) ini << QStringLiteral("FavoritePhoto%1=%1").arg(i);
    ini << "FavoriteUser1=77";
    WriteIni(ini);
    auto form = Start();
    form->SetSettingsForm(new TFormSettings(form.get()));
    FinishLoad();
    ASSERT_EQ(Probe(*form).CurrentSettings().MaxFavoriteCount, 12);

    QString question;
    RunDialog(*form, [&](TFormSettings& dialog) {
        Field<SpinEdit>(dialog, "SpinEditMaxFavoriteCount")->SetText(QStringLiteral("8"));
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            poll.stop();
            question = box->text();
            box->button(QMessageBox::Ok)->click();
        });
        poll.start(10);
        Ok(dialog);
    });
    EXPECT_TRUE(question.contains("the last 3 favorite photos from")) << question.toStdString();
    EXPECT_EQ(Probe(*form).CurrentSettings().MaxFavoriteCount, 8);
}

struct Closing {
    const char* name;
    std::function<void(TFormSettings&)> close;
    bool accepted;
};

void PrintTo(const Closing& closing, std::ostream* out) {
    *out << closing.name;
}

class ClosingTheDialog : public SettingsApply, public ::testing::WithParamInterface<Closing> {};

TEST_P(ClosingTheDialog, ReleasesTheSettingsButtonAppliesOnlyOnOkAndFocusesTheIndexField) {
    auto form = StartIdle();
    // The keys went elsewhere before; after the dialog they go to the index field.
    visible_->Widget()->setFocus();
    ASSERT_FALSE(Probe(*form).PageIndexField()->hasFocus());
    RunDialog(*form, GetParam().close);  // checks the button down, then up
    // The field is the window's focus, so it has the keys as soon as the
    // window is active again (the offscreen platform leaves that to us).
    EXPECT_EQ(form->focusWidget(), Probe(*form).PageIndexField());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    EXPECT_TRUE(Probe(*form).PageIndexField()->hasFocus());
    // An accepted dialog leaves the bare templates as the mode hints.
    EXPECT_EQ(Hint(*form, Control::URL1) == "Alt+1\n" + PhotoTemplate, GetParam().accepted);
    // The window takes input again.
    EXPECT_TRUE(Tool(*form, Control::Settings)->isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    AllWays, ClosingTheDialog,
    ::testing::Values(Closing{"Ok", Ok, true}, Closing{"Cancel", Cancel, false},
                      Closing{"Escape",
                              [](TFormSettings& d) {
                                  QTest::keyClick(d.focusWidget() ? d.focusWidget() : &d,
                                                  Qt::Key_Escape);
                              },
                              false},
                      Closing{"CloseBox", [](TFormSettings& d) { d.close(); }, false}),
    [](const ::testing::TestParamInfo<Closing>& testCase) {
        return std::string(testCase.param.name);
    });

TEST_F(SettingsApply, GermanChosenAndAcceptedPutsTheGermanTextsOnTheWindow) {
    QDir().mkpath(BinDir());
    QFile help(BinDir() + QStringLiteral("/German.HLP"));
    ASSERT_TRUE(help.open(QIODevice::WriteOnly));
    help.write("<html><body>Hilfe</body></html>");
    help.close();
    auto form = StartIdle();

    RunDialog(*form, [](TFormSettings& dialog) {
        auto* language = Field<QComboBox>(dialog, "ComboBoxLanguage");
        QTest::keyClick(language, Qt::Key_Down);  // English -> Deutsch
        ASSERT_EQ(language->currentIndex(), 1);
        Ok(dialog);
    });
    EXPECT_EQ(Probe(*form).CurrentSettings().Language, 1);
    EXPECT_EQ(Hint(*form, Control::Settings), QStringLiteral("Einstellungen (Strg+,)"));
    EXPECT_EQ(Hint(*form, Control::Help), QStringLiteral("Hilfe (F1)"));
    EXPECT_EQ(Hint(*form, Control::PhotoSize4), QStringLiteral("Originalgröße (Strg+4)"));
    EXPECT_EQ(Hint(*form, Control::AutoSkip),
              QStringLiteral("Nicht existierende Photos\nautomatisch überspringen (Strg+K)"));
    EXPECT_EQ(Hint(*form, Control::FavoritePhotos), QStringLiteral("Favoriten-Photo auswählen"));
    EXPECT_EQ(Hint(*form, Control::URL1), "Alt+1\n" + PhotoTemplate);  // no mode name
    EXPECT_EQ(qobject_cast<QLabel*>(Probe(*form).ControlWidget(Control::LabelPageIndex))->text(),
              QStringLiteral("Photo-Index"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral(" Kelvaro Photo Wizard"));
    // Qt's own dialogs speak German too (Qt's translations are a package
    // the program depends on).
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), QStringLiteral("Suchen in:"));

    QTest::mouseClick(Tool(*form, Control::Help), Qt::LeftButton);
    auto* window = form->findChild<HelpWindow*>();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->FileName(), help.fileName());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Kelvaro Wizard - Hilfe"));
}

}  // namespace
}  // namespace kpw
