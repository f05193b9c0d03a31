// The keys of the tool functions on the real window: each reaches its
// function from the page as from the index field, the keys go back to the
// index field afterwards, and keys held with Alt type nothing into it.
#include <QAbstractItemView>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>

#include "MainWindowHarness.h"
#include "ui/UnitSettings.h"

namespace kpw {
namespace {

class ToolKeys : public MainWindowHarness {
protected:
    // Idle on photo 500 (size 3) or user 900, with the settings dialog set
    // up as the program does; the keys in the index field.
    std::unique_ptr<TFormMain> StartIdle(int urlIndex = 1, const QStringList& more = {}) {
        WriteIni(QStringList{"[General]", "NavigateDelayTime=100", "[URL]",
                             QStringLiteral("URLIndex=%1").arg(urlIndex), "[Page]",
                             "PhotoIndex=500", "UserIndex=900"} +
                 more);
        auto form = Start();
        form->SetSettingsForm(new TFormSettings(form.get()));
        FinishLoad();
        EXPECT_TRUE(FieldHasTheKeys(*form));
        return form;
    }

    // The keys go into the page, as after a click into it. (Offscreen, the
    // window is not made active again after a dialog or a drop-down.)
    void FocusPage(TFormMain& form) {
        QApplication::setActiveWindow(&form);
        visible_->Widget()->setFocus();
        ASSERT_TRUE(visible_->Widget()->hasFocus());
    }

    // The page the keys started finishes, if they started one.
    void FinishAnyLoad(const TFormMain& form) {
        if (Tool(form, Control::Stop)->isEnabled()) FinishLoad();
    }

    static void Press(TFormMain& form, Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(Keyboard(form), key, modifiers);
    }

    static bool FieldHasTheKeys(const TFormMain& form) {
        return Probe(form).PageIndexField()->hasFocus();
    }

    static QLineEdit* Edit(const TFormMain& form) {
        return Probe(form).PageIndexField()->findChild<QLineEdit*>();
    }
};

struct KeyLoad {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::string visible;
};

void PrintTo(const KeyLoad& load, std::ostream* out) {
    *out << load.name;
}

class NavigatingKey : public ToolKeys, public ::testing::WithParamInterface<KeyLoad> {};

TEST_P(NavigatingKey, FromThePageLoadsAsItsButtonAndLeavesTheKeysInTheField) {
    auto form = StartIdle();
    FocusPage(*form);
    const size_t loads = visible_->navigations.size();
    Press(*form, GetParam().key, GetParam().modifiers);
    ASSERT_EQ(visible_->navigations.size(), loads + 1);
    EXPECT_EQ(visible_->navigations.back(), GetParam().visible);
    FinishLoad();
    EXPECT_TRUE(FieldHasTheKeys(*form));
    EXPECT_EQ(Probe(*form).PageIndexField()->text(),
              GetParam().visible == User(900) ? QStringLiteral("900") : QStringLiteral("500"));
}

const std::string Site = "http://www.kelvaro.example";

INSTANTIATE_TEST_SUITE_P(
    SizesModesAndStatistics, NavigatingKey,
    ::testing::Values(
        KeyLoad{"CtrlOne", Qt::Key_1, Qt::ControlModifier, Site + "/photos/thumbnail/500.jpg"},
        KeyLoad{"CtrlTwo", Qt::Key_2, Qt::ControlModifier, Site + "/photos/small/500.jpg"},
        KeyLoad{"CtrlFour", Qt::Key_4, Qt::ControlModifier,
                "http://static.kelvaro.example/photos/original/500.jpg"},
        KeyLoad{"AltTwo", Qt::Key_2, Qt::AltModifier, Site + "/photo/500"},
        KeyLoad{"AltThree", Qt::Key_3, Qt::AltModifier, Site + "/user/900"},
        KeyLoad{"CtrlT", Qt::Key_T, Qt::ControlModifier, Site + "/photo/500/stats"}),
    [](const ::testing::TestParamInfo<KeyLoad>& testCase) {
        return std::string(testCase.param.name);
    });

TEST_F(ToolKeys, EachButtonKeyClicksItsButtonOnce) {
    auto form = StartIdle();
    visible_->location = Site + "/photo/500/comments";  // a link was followed
    FinishLoad();
    ASSERT_TRUE(Tool(*form, Control::GoBack)->isEnabled());
    const struct {
        Control button;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    } keys[] = {
        {Control::GoBack, Qt::Key_Left, Qt::AltModifier},
        {Control::PhotoSize3, Qt::Key_3, Qt::ControlModifier},
        {Control::URL1, Qt::Key_1, Qt::AltModifier},
        {Control::AutoSkip, Qt::Key_K, Qt::ControlModifier},
    };
    for (const auto& k : keys) {
        QSignalSpy clicks(Tool(*form, k.button), &QAbstractButton::clicked);
        FocusPage(*form);
        Press(*form, k.key, k.modifiers);
        EXPECT_EQ(clicks.count(), 1) << static_cast<int>(k.button);
        FinishAnyLoad(*form);
        EXPECT_TRUE(FieldHasTheKeys(*form)) << static_cast<int>(k.button);
    }
    EXPECT_EQ(visible_->goBackCount, 1);
    EXPECT_FALSE(Probe(*form).CurrentSettings().AutoSkipURL);
    Press(*form, Qt::Key_K, Qt::ControlModifier);
    EXPECT_TRUE(Probe(*form).CurrentSettings().AutoSkipURL);
    EXPECT_TRUE(Tool(*form, Control::AutoSkip)->isChecked());
}

TEST_F(ToolKeys, AKeyOfAButtonThatCannotBeUsedDoesNothing) {
    auto form = StartIdle(3);
    const size_t loads = visible_->navigations.size();
    Press(*form, Qt::Key_1, Qt::ControlModifier);  // sizes only in the photo-only mode
    Press(*form, Qt::Key_Left, Qt::AltModifier);   // no link followed
    EXPECT_EQ(visible_->navigations.size(), loads);
    EXPECT_EQ(visible_->goBackCount, 0);
    EXPECT_EQ(Probe(*form).CurrentSettings().PhotoSize, 3);
    EXPECT_TRUE(FieldHasTheKeys(*form));

    // While a page loads, only Stop can be used.
    Press(*form, Qt::Key_2, Qt::AltModifier);
    ASSERT_EQ(visible_->navigations.size(), loads + 1);
    Press(*form, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(visible_->navigations.size(), loads + 1);
    EXPECT_FALSE(Tool(*form, Control::ShowStatistics)->isChecked());
}

TEST_F(ToolKeys, FavoritesKeysAskForARemarkAndOpenTheList) {
    auto form = StartIdle(1, {"[Favorites]", "FavoritePhoto1=123   Old tower"});
    QString asked;
    WhenModal([&](QWidget* modal) { asked = modal->objectName(); });
    FocusPage(*form);
    Press(*form, Qt::Key_B, Qt::ControlModifier);
    EXPECT_EQ(asked, QStringLiteral("InputQuery"));

    auto* list = qobject_cast<QComboBox*>(Probe(*form).ControlWidget(Control::FavoritePhotos));
    for (Qt::Key key : {Qt::Key_O, Qt::Key_E}) {
        FocusPage(*form);
        Press(*form, key, Qt::ControlModifier);
        EXPECT_TRUE(list->isVisible()) << key;
        EXPECT_TRUE(list->view()->isVisible()) << key;  // dropped down, the keys in it
        // Selecting covers the buttons from Go back on; deleting does not.
        EXPECT_EQ(Tool(*form, Control::GoBack)->isHidden(), key == Qt::Key_O);
        QTest::keyClick(PopupKeyboard(list), Qt::Key_Escape);
        EXPECT_FALSE(list->isVisible());
    }
}

TEST_F(ToolKeys, CtrlCommaOpensTheSettingsAndTheKeysComeBackToTheField) {
    auto form = StartIdle();
    bool shown = false;
    WhenModal([&](QWidget* modal) { shown = qobject_cast<TFormSettings*>(modal) != nullptr; });
    FocusPage(*form);
    Press(*form, Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_TRUE(shown);
    EXPECT_FALSE(Tool(*form, Control::Settings)->isChecked());
    // Offscreen, the window is made active again by hand after a dialog.
    EXPECT_EQ(form->focusWidget(), Probe(*form).PageIndexField());
}

TEST_F(ToolKeys, CtrlLAndF6BringTheKeysFromThePageIntoTheFieldWithItsNumberSelected) {
    auto form = StartIdle();
    for (Qt::Key key : {Qt::Key_L, Qt::Key_F6}) {
        FocusPage(*form);
        Press(*form, key, key == Qt::Key_L ? Qt::ControlModifier : Qt::NoModifier);
        EXPECT_TRUE(FieldHasTheKeys(*form)) << key;
        EXPECT_EQ(Edit(*form)->selectedText(), QStringLiteral("500")) << key;
    }
    // The next number typed replaces the one shown.
    QTest::keyClicks(Keyboard(*form), QStringLiteral("77"));
    EXPECT_EQ(Probe(*form).PageIndexField()->text(), QStringLiteral("77"));
}

TEST_F(ToolKeys, DigitsHeldWithAltTypeNothingIntoTheField) {
    auto form = StartIdle();
    Edit(*form)->end(false);
    const int beeps = Probe(*form).BeepCount();
    const size_t loads = visible_->navigations.size();
    for (Qt::Key digit : {Qt::Key_0, Qt::Key_4, Qt::Key_5, Qt::Key_9})
        Press(*form, digit, Qt::AltModifier);
    EXPECT_EQ(Probe(*form).PageIndexField()->text(), QStringLiteral("500"));
    EXPECT_FALSE(Probe(*form).NavigateTimer()->isActive());
    EXPECT_EQ(Probe(*form).BeepCount(), beeps);
    EXPECT_EQ(visible_->navigations.size(), loads);
    // Alt+1 is the mode shown: it loads the page again and types no 1 either.
    Press(*form, Qt::Key_1, Qt::AltModifier);
    FinishLoad();
    EXPECT_EQ(Probe(*form).PageIndexField()->text(), QStringLiteral("500"));
    // Ctrl with a digit neither.
    Press(*form, Qt::Key_2, Qt::ControlModifier);
    FinishLoad();
    EXPECT_EQ(Probe(*form).PageIndexField()->text(), QStringLiteral("500"));
}

}  // namespace
}  // namespace kpw
