// Each tool button of the real window reaches the logic, and what the logic
// asks of the views reaches them.
#include <QLabel>
#include <QMessageBox>

#include "MainWindowHarness.h"
#include "ui/HelpWindow.h"

namespace kpw {
namespace {

class ToolButtons : public MainWindowHarness {
protected:
    // Idle on photo 500 in mode 1, size 3; user 900 is stored for mode 3.
    std::unique_ptr<TFormMain> StartIdle() {
        WriteIni({"[Page]", "PhotoIndex=500", "UserIndex=900"});
        auto form = Start();
        FinishLoad();
        return form;
    }

    static void Click(TFormMain& form, Control control) {
        QToolButton* button = Tool(form, control);
        ASSERT_TRUE(button->isEnabled()) << static_cast<int>(control);
        QTest::mouseClick(button, Qt::LeftButton);
    }

    // Writes an English help file into the folder and returns its name.
    static QString WriteHelpFile(const QString& folder, const char* html) {
        QDir().mkpath(folder);
        QFile help(folder + QStringLiteral("/English.HLP"));
        EXPECT_TRUE(help.open(QIODevice::WriteOnly));
        help.write(html);
        return help.fileName();
    }

    // Clicks Help and returns the help window it showed, or null.
    static HelpWindow* ClickHelp(TFormMain& form, const QString& expectedFile) {
        Click(form, Control::Help);
        auto* window = form.findChild<HelpWindow*>();
        EXPECT_NE(window, nullptr);
        if (!window) return nullptr;
        EXPECT_TRUE(window->isVisible());
        EXPECT_EQ(window->FileName(), expectedFile);
        return window;
    }
};

struct Loads {
    Control button;
    std::string visible;
    std::string hidden;
};

void PrintTo(const Loads& loads, std::ostream* out) {
    *out << loads.visible;
}

class NavigatingButton : public ToolButtons, public ::testing::WithParamInterface<Loads> {};

TEST_P(NavigatingButton, LoadsItsAddressesAndLeavesTheFocusInTheField) {
    auto form = StartIdle();
    const Loads& expected = GetParam();
    Click(*form, expected.button);
    EXPECT_EQ(visible_->navigations.back(), expected.visible);
    EXPECT_EQ(hidden_->navigations.back(), expected.hidden);
    EXPECT_EQ(visible_->lastFlags, 64);
    EXPECT_TRUE(Tool(*form, Control::Stop)->isEnabled());  // loading
    FinishLoad();
    EXPECT_TRUE(Probe(*form).PageIndexField()->hasFocus());
}

const std::string Site = "http://www.kelvaro.example";
const std::string Static = "http://static.kelvaro.example";

INSTANTIATE_TEST_SUITE_P(
    SizesModesAndStatistics, NavigatingButton,
    ::testing::Values(
        Loads{Control::PhotoSize1, Site + "/photos/thumbnail/500.jpg",
              Site + "/photos/thumbnail/501.jpg"},
        Loads{Control::PhotoSize2, Site + "/photos/small/500.jpg", Site + "/photos/small/501.jpg"},
        Loads{Control::PhotoSize4, Static + "/photos/original/500.jpg",
              Static + "/photos/original/501.jpg"},
        Loads{Control::URL2, Site + "/photo/500", Site + "/photo/501"},
        Loads{Control::URL3, Site + "/user/900", Site + "/user/901"},
        Loads{Control::ShowStatistics, Site + "/photo/500/stats", Site + "/photo/501/stats"}));

TEST_F(ToolButtons, ModeButtonsSwitchTheFieldTheLabelAndTheSizeButtons) {
    auto form = StartIdle();
    auto* label = qobject_cast<QLabel*>(Probe(*form).ControlWidget(Control::LabelPageIndex));
    Click(*form, Control::URL3);
    FinishLoad();
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), 900);
    EXPECT_EQ(label->text(), QStringLiteral("User index"));
    EXPECT_FALSE(Tool(*form, Control::PhotoSize1)->isEnabled());
    Click(*form, Control::URL1);
    FinishLoad();
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), 500);
    EXPECT_EQ(label->text(), QStringLiteral("Photo index"));
    EXPECT_TRUE(Tool(*form, Control::PhotoSize1)->isEnabled());
    EXPECT_TRUE(Tool(*form, Control::URL1)->isChecked());
    EXPECT_FALSE(Tool(*form, Control::URL3)->isChecked());
}

TEST_F(ToolButtons, RefreshReloadsTheVisibleViewAndItsDownloadEndsTheCommand) {
    auto form = StartIdle();
    const size_t before = visible_->navigations.size();
    Click(*form, Control::Refresh);
    EXPECT_EQ(visible_->refreshCount, 1);
    EXPECT_EQ(hidden_->refreshCount, 0);
    EXPECT_EQ(visible_->navigations.size(), before);
    EXPECT_TRUE(Tool(*form, Control::Stop)->isEnabled());
    emit visible_->DownloadComplete();
    EXPECT_FALSE(Tool(*form, Control::Stop)->isEnabled());
    EXPECT_TRUE(Probe(*form).PageIndexField()->isEnabled());
}

TEST_F(ToolButtons, StopEndsTheLoadOfTheVisibleViewOnly) {
    auto form = StartIdle();
    Click(*form, Control::PhotoSize2);
    Click(*form, Control::Stop);
    EXPECT_EQ(visible_->stopCount, 1);
    EXPECT_EQ(hidden_->stopCount, 0);
    EXPECT_FALSE(Tool(*form, Control::Stop)->isEnabled());
    EXPECT_TRUE(Tool(*form, Control::Refresh)->isEnabled());
}

TEST_F(ToolButtons, GoBackIsOfferedAfterAFollowedLinkAndGoesBackInTheVisibleView) {
    auto form = StartIdle();
    EXPECT_FALSE(Tool(*form, Control::GoBack)->isEnabled());
    visible_->location = Site + "/photo/500/comments";
    FinishLoad();
    Click(*form, Control::GoBack);
    EXPECT_EQ(visible_->goBackCount, 1);
    EXPECT_EQ(hidden_->goBackCount, 0);
}

TEST_F(ToolButtons, AutoSkipButtonSetsTheStoredSwitch) {
    auto form = StartIdle();
    ASSERT_TRUE(Tool(*form, Control::AutoSkip)->isChecked());
    Click(*form, Control::AutoSkip);
    EXPECT_FALSE(Probe(*form).CurrentSettings().AutoSkipURL);
    Click(*form, Control::AutoSkip);
    EXPECT_TRUE(Probe(*form).CurrentSettings().AutoSkipURL);
}

TEST_F(ToolButtons, HelpWithoutItsFileNamesTheMissingPath) {
    auto form = StartIdle();
    QString message;
    WhenModal([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) message = box->text();
    });
    Click(*form, Control::Help);
    // Beside the program is tried first, the installed data folder last.
    const QString path = QDir::toNativeSeparators(
        QDir::cleanPath(BinDir() + QStringLiteral("/../share/kelvaro-photo-wizard/English.HLP")));
    EXPECT_TRUE(message.contains(path)) << message.toStdString();
    auto* window = form->findChild<HelpWindow*>();
    EXPECT_TRUE(!window || !window->isVisible());
}

TEST_F(ToolButtons, HelpFindsTheFileInTheInstalledDataFolder) {
    const QString help =
        WriteHelpFile(QDir::cleanPath(BinDir() + QStringLiteral("/../share/kelvaro-photo-wizard")),
                      "<html><body><h1>Installed help</h1></body></html>");
    auto form = StartIdle();
    EXPECT_NE(ClickHelp(*form, help), nullptr);
}

TEST_F(ToolButtons, HelpAndF1ShowTheHelpFile) {
    const QString help = WriteHelpFile(BinDir(), "<html><body><h1>Kelvaro help</h1></body></html>");
    auto form = StartIdle();
    HelpWindow* window = ClickHelp(*form, help);
    ASSERT_NE(window, nullptr);

    window->hide();
    QTest::keyClick(Keyboard(*form), Qt::Key_F1);
    EXPECT_TRUE(window->isVisible());
}

}  // namespace
}  // namespace kpw
