// The windows on a screen of 1024 x 768 at scale factor 2: they lie on it
// whole, and every function stays in reach, the tool row's through its
// overflow menu and the settings dialog's by scrolling.
#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "MainWindowHarness.h"
#include "ui/UnitSettings.h"

namespace kpw {
namespace {

class SmallScreen : public MainWindowHarness {
protected:
    static QRect Available() { return QGuiApplication::primaryScreen()->availableGeometry(); }

    static QToolButton* OverflowButton(const TFormMain& form) {
        return form.findChild<QToolButton*>(QStringLiteral("ToolRowOverflow"));
    }

    // Opens the overflow menu as a click does and returns it once shown.
    static QMenu* OpenOverflowMenu(const TFormMain& form) {
        QToolButton* overflow = OverflowButton(form);
        if (!overflow || !overflow->isVisible()) return nullptr;
        QTest::mouseClick(overflow, Qt::LeftButton);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        }
        return menu;
    }

    static QAction* Entry(QMenu& menu, const QString& name) {
        for (QAction* action : menu.actions()) {
            if (action->text().section(QLatin1Char('\t'), 0, 0) == name) return action;
        }
        return nullptr;
    }
};

TEST_F(SmallScreen, TheScreenIsTheSmallOne) {
    // Everything below relies on it.
    EXPECT_EQ(QGuiApplication::primaryScreen()->geometry().size(), QSize(512, 384));
}

TEST_F(SmallScreen, TheWindowAndItsMinimumLieOnTheScreen) {
    // The defaults ask for 574 x 600 at 24, 24.
    auto form = Start();
    EXPECT_TRUE(Available().contains(form->frameGeometry()))
        << form->frameGeometry().x() << "," << form->frameGeometry().y() << " "
        << form->frameGeometry().width() << "x" << form->frameGeometry().height();
    EXPECT_LE(form->minimumWidth(), Available().width());
    EXPECT_LE(form->minimumHeight(), Available().height());
}

TEST_F(SmallScreen, AStoredPlaceThatFitsIsKeptOneThatDoesNotIsMovedOn) {
    // The minimum width here is the screen's: the layout asks for more.
    WriteIni({"[MainForm]", "Left=0", "Top=20", "Width=512", "Height=300"});
    {
        auto form = Start();
        EXPECT_EQ(form->frameGeometry(), QRect(0, 20, 512, 300));
    }
    WriteIni({"[MainForm]", "Left=100", "Top=200", "Width=512", "Height=300"});
    {
        auto form = Start();
        EXPECT_EQ(form->frameGeometry(), QRect(0, 84, 512, 300));
        EXPECT_TRUE(Available().contains(form->frameGeometry()));
    }
}

// The row keeps the index field and the first buttons; what follows them is
// in the menu at the row's end, and nothing overlaps or leaves the window.
TEST_F(SmallScreen, ANarrowRowHandsItsLastButtonsToTheMenu) {
    auto form = Start();
    FinishLoad();
    QToolButton* overflow = OverflowButton(*form);
    ASSERT_NE(overflow, nullptr);
    EXPECT_TRUE(overflow->isVisible());
    EXPECT_FALSE(overflow->text().isEmpty());
    EXPECT_FALSE(overflow->toolTip().isEmpty());

    std::vector<QWidget*> row{Probe(*form).ControlWidget(Control::LabelPageIndex),
                              Probe(*form).PageIndexField(), overflow};
    std::vector<Control> inMenu;
    for (int b = 0; b < ToolButtonCount; ++b) {
        const auto control = static_cast<Control>(b);
        if (control == Control::OverviewSheet) continue;
        QToolButton* button = Tool(*form, control);
        // The logic still counts it shown: it is, in the menu.
        EXPECT_TRUE(form->IsVisible(control)) << b;
        if (button->isVisible())
            row.push_back(button);
        else
            inMenu.push_back(control);
    }
    EXPECT_TRUE(Probe(*form).PageIndexField()->isVisible());
    EXPECT_FALSE(inMenu.empty());
    EXPECT_NE(std::find(inMenu.begin(), inMenu.end(), Control::Settings), inMenu.end());
    for (size_t i = 0; i < row.size(); ++i) {
        EXPECT_TRUE(form->rect().contains(row[i]->geometry()))
            << row[i]->objectName().toStdString();
        for (size_t j = i + 1; j < row.size(); ++j)
            EXPECT_FALSE(row[i]->geometry().intersects(row[j]->geometry())) << i << " " << j;
    }

    QMenu* menu = OpenOverflowMenu(*form);
    ASSERT_NE(menu, nullptr);
    // One entry for each button in the menu, each with its name and key.
    EXPECT_EQ(menu->actions().size(), static_cast<qsizetype>(inMenu.size()));
    for (QAction* action : menu->actions()) {
        EXPECT_FALSE(action->text().section(QLatin1Char('\t'), 0, 0).isEmpty());
        EXPECT_FALSE(action->text().section(QLatin1Char('\t'), 1).isEmpty())
            << action->text().toStdString();
    }
    QAction* settings = Entry(*menu, QStringLiteral("Settings"));
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->text().endsWith(QStringLiteral("\tCtrl+,")));
    menu->close();
}

TEST_F(SmallScreen, AnEntryOfTheMenuRunsItsFunction) {
    auto form = Start();
    FinishLoad();
    ASSERT_FALSE(Tool(*form, Control::AutoSkip)->isVisible());
    const bool before = Probe(*form).CurrentSettings().AutoSkipURL;
    ASSERT_EQ(Tool(*form, Control::AutoSkip)->isChecked(), before);

    QMenu* menu = OpenOverflowMenu(*form);
    ASSERT_NE(menu, nullptr);
    QAction* autoSkip = Entry(*menu, QStringLiteral("Auto skip missing photos"));
    ASSERT_NE(autoSkip, nullptr);
    EXPECT_TRUE(autoSkip->isCheckable());
    EXPECT_EQ(autoSkip->isChecked(), before);
    EXPECT_EQ(autoSkip->text().section(QLatin1Char('\t'), 1), QStringLiteral("Ctrl+K"));
    autoSkip->trigger();
    menu->close();
    EXPECT_EQ(Probe(*form).CurrentSettings().AutoSkipURL, !before);
    EXPECT_EQ(Tool(*form, Control::AutoSkip)->isChecked(), !before);

    // Opened again, the menu shows the new state.
    menu = OpenOverflowMenu(*form);
    ASSERT_NE(menu, nullptr);
    autoSkip = Entry(*menu, QStringLiteral("Auto skip missing photos"));
    ASSERT_NE(autoSkip, nullptr);
    EXPECT_EQ(autoSkip->isChecked(), !before);
    menu->close();
}

// The keys in the open menu are the menu's: they choose its entries and
// neither step the index nor run the window's own keys.
TEST_F(SmallScreen, TheKeysInTheOpenMenuAreTheMenus) {
    auto form = Start();
    FinishLoad();
    const int index = Probe(*form).PageIndexField()->value();
    const bool autoSkip = Probe(*form).CurrentSettings().AutoSkipURL;
    QMenu* menu = OpenOverflowMenu(*form);
    ASSERT_NE(menu, nullptr);
    for (Qt::Key key : {Qt::Key_Down, Qt::Key_Down, Qt::Key_Up, Qt::Key_Right, Qt::Key_PageDown})
        QTest::keyClick(menu, key);
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), index);
    ASSERT_NE(menu->activeAction(), nullptr);
    // Auto skip is the first entry: Enter on it runs it, once.
    menu->setActiveAction(Entry(*menu, QStringLiteral("Auto skip missing photos")));
    QTest::keyClick(menu, Qt::Key_Return);
    EXPECT_FALSE(menu->isVisible());
    EXPECT_EQ(Probe(*form).CurrentSettings().AutoSkipURL, !autoSkip);
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), index);
}

TEST_F(SmallScreen, TheMenuSpeaksTheLanguageInForce) {
    WriteIni({"[General]", "Language=1"});
    auto form = Start();
    FinishLoad();
    QMenu* menu = OpenOverflowMenu(*form);
    ASSERT_NE(menu, nullptr);
    QAction* settings = Entry(*menu, QStringLiteral("Einstellungen"));
    ASSERT_NE(settings, nullptr);
    EXPECT_TRUE(settings->text().endsWith(QStringLiteral("\tStrg+,")));
    // Its longest entry in the longer language still leaves room for the
    // keys on the screen.
    EXPECT_TRUE(Available().contains(menu->geometry()));
    menu->close();
    EXPECT_EQ(OverflowButton(*form)->toolTip(), QStringLiteral("Weitere Werkzeuge"));
}

TEST_F(SmallScreen, TheSettingsDialogFitsAndScrollsToEveryControl) {
    auto form = Start();
    FinishLoad();
    TFormSettings dialog(form.get());
    Settings settings = Probe(*form).CurrentSettings();
    bool ran = false;
    QTimer::singleShot(0, &dialog, [&] {
        ran = true;
        if (!QTest::qWaitForWindowActive(&dialog)) {
            ADD_FAILURE() << "the dialog never became active";
            dialog.reject();
            return;
        }
        EXPECT_TRUE(Available().contains(dialog.frameGeometry()));
        auto* scroll = dialog.findChild<QScrollArea*>();
        ASSERT_NE(scroll, nullptr);
        EXPECT_TRUE(scroll->verticalScrollBar()->isVisible());
        // OK lies below the visible part at first; scrolled to, it is there.
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("ButtonOk"));
        ASSERT_NE(ok, nullptr);
        scroll->ensureWidgetVisible(ok);
        const QRect seen(ok->mapTo(&dialog, QPoint(0, 0)), ok->size());
        EXPECT_TRUE(dialog.rect().contains(seen));
        QTest::mouseClick(ok, Qt::LeftButton);
        if (dialog.isVisible()) dialog.reject();
    });
    EXPECT_TRUE(dialog.ExecuteFormSettings(settings));
    EXPECT_TRUE(ran);
}

}  // namespace
}  // namespace kpw
