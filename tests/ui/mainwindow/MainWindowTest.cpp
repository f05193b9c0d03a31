#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QScreen>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "MainWindowHarness.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"

namespace kpw {
namespace {

using MainWindow = MainWindowHarness;

struct Placement {
    Control control;
    int left;
};

TEST_F(MainWindow, ToolRowHasEveryControlAtItsPlaceWithAGlyphOrCaption) {
    auto form = Start();
    const Placement placements[] = {
        {Control::PhotoSize1, 0},
        {Control::PhotoSize2, 24},
        {Control::PhotoSize3, 48},
        {Control::PhotoSize4, 72},
        {Control::URL1, 96},
        {Control::URL2, 120},
        {Control::URL3, 144},
        {Control::ShowStatistics, 168},
        {Control::AddFavorite, 192},
        {Control::DeleteFavorite, 216},
        {Control::SelectFavorite, 240},
        {Control::GoBack, 264},
        {Control::Refresh, 288},
        {Control::Stop, 312},
        {Control::AutoSkip, 336},
        {Control::Help, 519},
        {Control::Settings, 543},
    };
    for (const Placement& p : placements) {
        QToolButton* button = Tool(*form, p.control);
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), QRect(p.left, 2, 23, 22)) << static_cast<int>(p.control);
        EXPECT_TRUE(!button->icon().isNull() || !button->text().isEmpty());
        EXPECT_FALSE(button->toolTip().isEmpty()) << static_cast<int>(p.control);
        EXPECT_EQ(button->toolTipDuration(), 3000);
    }
    EXPECT_EQ(Tool(*form, Control::PhotoSize1)->text(), QStringLiteral("1"));
    // The index field is as wide as the largest index needs, at least the
    // design's 84 pixels, and ends before Help.
    const QRect field = Probe(*form).PageIndexField()->geometry();
    EXPECT_EQ(field.top(), 2);
    EXPECT_EQ(field.height(), 22);
    EXPECT_GE(field.width(), 84);
    EXPECT_LE(field.left(), 432);
    EXPECT_LT(field.right(), 519);
    const QRect label = Probe(*form).ControlWidget(Control::LabelPageIndex)->geometry();
    EXPECT_GE(label.left(), 336 + 23);       // never over Auto skip
    EXPECT_LT(label.right(), field.left());  // never over the index field
    EXPECT_EQ(qobject_cast<QLabel*>(Probe(*form).ControlWidget(Control::LabelPageIndex))->text(),
              QStringLiteral("Photo index"));
    EXPECT_EQ(form->windowTitle(), QStringLiteral(" Kelvaro Photo Wizard"));
}

// Nobody sees the hidden view, but its page is laid out at its size: it is as
// large as the view on view, however the window is sized, so that a long page
// does not wrap at every word there.
TEST_F(MainWindow, TheHiddenViewStaysHiddenAtTheSizeOfTheVisibleView) {
    auto form = Start();
    for (const QSize size : {QSize(574, 540), QSize(900, 700), QSize(600, 200)}) {
        form->resize(size);
        EXPECT_EQ(hidden_->Widget()->size(), visible_->Widget()->size()) << size.width();
        EXPECT_EQ(hidden_->Widget()->pos(), QPoint(480, 104));
        EXPECT_TRUE(hidden_->Widget()->isHidden());
    }
}

TEST_F(MainWindow, TaskBarTitleHasNoLeadingBlankWhileTheCaptionKeepsIt) {
    auto form = Start();
    ASSERT_NE(form->windowHandle(), nullptr);
    EXPECT_EQ(form->windowHandle()->title(), QStringLiteral("Kelvaro Photo Wizard"));
    form->SetWindowCaption("  Other caption");
    EXPECT_EQ(form->WindowCaption(), "  Other caption");
    EXPECT_EQ(form->windowHandle()->title(), QStringLiteral("Other caption"));
}

// Sizes beyond the screens once crashed the engine or hung the X server;
// the window gets what the screens can show.
class HugeStoredSize : public MainWindowHarness,
                       public ::testing::WithParamInterface<const char*> {};

TEST_P(HugeStoredSize, WindowIsCappedToTheScreens) {
    WriteIni({QStringLiteral("[MainForm]"), QStringLiteral("Left=0"), QStringLiteral("Top=0"),
              QStringLiteral("Width=%1").arg(QLatin1String(GetParam())),
              QStringLiteral("Height=%1").arg(QLatin1String(GetParam()))});
    QRect outer;
    {
        auto form = Start();
        const QRect screens = QGuiApplication::primaryScreen()->virtualGeometry();
        outer = form->frameGeometry();
        EXPECT_LE(outer.width(), std::max(screens.width(), 574));
        EXPECT_LE(outer.height(), std::max(screens.height(), 160));
        EXPECT_GE(outer.width(), 574);
        form->close();
    }
    // The close writes the window's bounds, not the stored size.
    EXPECT_TRUE(ReadIni().contains(QStringLiteral("Width=%1\r\nHeight=%2\r\n")
                                       .arg(outer.width())
                                       .arg(outer.height())
                                       .toLatin1()))
        << ReadIni().constData();
}

INSTANTIATE_TEST_SUITE_P(Sizes, HugeStoredSize,
                         ::testing::Values("0x7FFFFFFF", "16000", "2147483647"));

TEST_F(MainWindow, AFailedWriteAtASignalsCloseOpensNoBoxAndClosesOpenDialogs) {
    auto form = Start();
    QFile::remove(IniPath());
    ASSERT_TRUE(QDir().mkpath(IniPath()));
    bool boxSeen = false;
    // A dialog open when the session ends; the close must not wait for it.
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] { form->CloseOnSignal(); });
        QDialog dialog(form.get());
        dialog.setModal(true);
        dialog.exec();
    });
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxSeen = true;
            box->accept();
        }
    });
    watch.start(10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !form->isVisible(); }, 10000));
    EXPECT_FALSE(boxSeen);
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(MainWindow, FirstStartOpensDefaultsAndLoadsIndexOneAndTwo) {
    auto form = Start();
    EXPECT_EQ(form->frameGeometry().size(), QSize(574, 600));
    EXPECT_EQ(form->frameGeometry().topLeft(), QPoint(24, 24));
    EXPECT_TRUE(Tool(*form, Control::PhotoSize3)->isChecked());
    EXPECT_TRUE(Tool(*form, Control::URL1)->isChecked());
    EXPECT_TRUE(Tool(*form, Control::AutoSkip)->isChecked());
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), 1);
    ASSERT_EQ(visible_->navigations.size(), 1u);
    EXPECT_EQ(visible_->navigations[0], "http://www.kelvaro.example/photos/medium/1.jpg");
    EXPECT_EQ(visible_->lastFlags, 64);
    ASSERT_EQ(hidden_->navigations.size(), 1u);
    EXPECT_EQ(hidden_->navigations[0], "http://www.kelvaro.example/photos/medium/2.jpg");
    EXPECT_TRUE(visible_->silent);
    // Loading: Stop is the only enabled tool button.
    for (Control c :
         {Control::PhotoSize1, Control::URL1, Control::ShowStatistics, Control::AddFavorite,
          Control::GoBack, Control::Refresh, Control::AutoSkip, Control::Help, Control::Settings})
        EXPECT_FALSE(Tool(*form, c)->isEnabled()) << static_cast<int>(c);
    EXPECT_TRUE(Tool(*form, Control::Stop)->isEnabled());
    EXPECT_FALSE(Probe(*form).PageIndexField()->isEnabled());
}

TEST_F(MainWindow, CompletedLoadReturnsToIdleAndGoBackFollowsTheShownAddress) {
    auto form = Start();
    visible_->location = "HTTP://WWW.KELVARO.EXAMPLE/photos/medium/1.jpg";
    visible_->Complete();
    EXPECT_FALSE(Tool(*form, Control::Stop)->isEnabled());
    EXPECT_TRUE(Tool(*form, Control::Refresh)->isEnabled());
    EXPECT_TRUE(Probe(*form).PageIndexField()->isEnabled());
    EXPECT_FALSE(Tool(*form, Control::GoBack)->isEnabled());  // same address, other case
    // The user followed a link inside the page.
    visible_->location = "http://www.kelvaro.example/somewhere-else";
    visible_->Complete();
    EXPECT_TRUE(Tool(*form, Control::GoBack)->isEnabled());
}

// The hourglass while loading, the arrow (the I-beam over the index field)
// when idle, also when a state is put again, as every page of a skip chain
// puts the idle one.
TEST_F(MainWindow, CursorsFollowTheLoadingAndTheIdleState) {
    auto form = Start();
    const auto expectCursors = [&](Qt::CursorShape shape, Qt::CursorShape field) {
        EXPECT_EQ(form->cursor().shape(), shape);
        for (Control c : {Control::PhotoSize1, Control::URL3, Control::SelectFavorite,
                          Control::Stop, Control::AutoSkip, Control::Settings})
            EXPECT_EQ(Tool(*form, c)->cursor().shape(), shape) << static_cast<int>(c);
        EXPECT_EQ(Probe(*form).ControlWidget(Control::LabelPageIndex)->cursor().shape(), shape);
        EXPECT_EQ(Probe(*form).PageIndexField()->cursor().shape(), field);
    };
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    expectCursors(Qt::WaitCursor, Qt::WaitCursor);
    visible_->Complete();
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    expectCursors(Qt::ArrowCursor, Qt::IBeamCursor);
    form->SetBusyCursors(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    expectCursors(Qt::ArrowCursor, Qt::IBeamCursor);
    form->SetBusyCursors(true);
    form->SetBusyCursors(true);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    expectCursors(Qt::WaitCursor, Qt::WaitCursor);
    form->SetBusyCursors(false);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    expectCursors(Qt::ArrowCursor, Qt::IBeamCursor);
}

TEST_F(MainWindow, StoredUserModeStartsOnTheUserPageWithSizesDisabled) {
    WriteIni({QStringLiteral("[URL]"), QStringLiteral("URLIndex=3"), QStringLiteral("[Page]"),
              QStringLiteral("PhotoIndex=7"), QStringLiteral("UserIndex=500")});
    auto form = Start();
    EXPECT_TRUE(Tool(*form, Control::URL3)->isChecked());
    EXPECT_EQ(visible_->navigations.at(0), "http://www.kelvaro.example/user/500");
    EXPECT_EQ(hidden_->navigations.at(0), "http://www.kelvaro.example/user/501");
    visible_->Complete();
    for (Control c : {Control::PhotoSize1, Control::PhotoSize4})
        EXPECT_FALSE(Tool(*form, c)->isEnabled());
    EXPECT_EQ(qobject_cast<QLabel*>(Probe(*form).ControlWidget(Control::LabelPageIndex))->text(),
              QStringLiteral("User index"));
}

TEST_F(MainWindow, ClosingWritesTheSettingsWithTheOuterWindowBounds) {
    QRect outer;
    {
        auto form = Start();
        visible_->Complete();
        form->move(40, 50);
        form->resize(700, 500);
        outer = form->frameGeometry();
        Probe(*form).PageIndexField()->setValue(1234);
        form->close();
    }
    const QByteArray ini = ReadIni();
    EXPECT_TRUE(ini.contains("[General]\r\nSaveSettings=1\r\n"));
    EXPECT_TRUE(ini.contains(QStringLiteral("Left=40\r\nTop=50\r\nWidth=%1\r\nHeight=%2\r\n")
                                 .arg(outer.width())
                                 .arg(outer.height())
                                 .toLatin1()));
    EXPECT_GE(outer.width(), 700);
    EXPECT_TRUE(ini.contains("PhotoIndex=1234\r\n"));
}

TEST_F(MainWindow, ClosingAMaximisedWindowStoresStateTwoAndTheNormalBounds) {
    QRect normalOuter;
    {
        auto form = Start();
        form->move(30, 40);
        form->resize(600, 400);
        normalOuter = form->frameGeometry();
        form->showMaximized();
        QCoreApplication::processEvents();
        form->close();
    }
    const QByteArray ini = ReadIni();
    EXPECT_TRUE(ini.contains("WindowState=2\r\n"));
    EXPECT_TRUE(ini.contains(QStringLiteral("Width=%1\r\nHeight=%2\r\n")
                                 .arg(normalOuter.width())
                                 .arg(normalOuter.height())
                                 .toLatin1()))
        << ini.constData();
}

TEST_F(MainWindow, AFailedWriteIsReportedAndTheWindowStillCloses) {
    auto form = Start();
    // A folder where the file should be: the write cannot succeed, even as root.
    QFile::remove(IniPath());
    ASSERT_TRUE(QDir().mkpath(IniPath()));
    QString reported;
    QString caption;
    QTimer::singleShot(0, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            reported = box->text();
            caption = box->windowTitle();
            box->accept();
        }
    });
    EXPECT_TRUE(form->close());
    EXPECT_FALSE(reported.isEmpty());
    EXPECT_EQ(caption, QStringLiteral(" Kelvaro Wizard"));  // the application title
    EXPECT_FALSE(form->isVisible());
}

// Ctrl+Q and Ctrl+W close the window as its close box does: the settings
// are written, wherever the keyboard focus is.
TEST_F(MainWindow, CtrlQAndCtrlWCloseTheWindowAndWriteTheSettings) {
    for (const Qt::Key key : {Qt::Key_Q, Qt::Key_W}) {
        QFile::remove(IniPath());
        auto form = Start();
        form->activateWindow();
        QTest::keyClick(Probe(*form).PageIndexField(), key, Qt::ControlModifier);
        EXPECT_FALSE(form->isVisible()) << key;
        EXPECT_FALSE(ReadIni().isEmpty()) << key;
    }
}

TEST_F(MainWindow, CloseHandlersRunOnce) {
    auto form = Start();
    form->close();
    const QByteArray first = ReadIni();
    QFile::remove(IniPath());
    form->close();
    EXPECT_FALSE(first.isEmpty());
    EXPECT_FALSE(QFile::exists(IniPath()));
}

// Keys as the X11 platform delivers them, text included.
void PressKey(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

TEST_F(MainWindow, DeleteInTheIndexFieldEditsItAndCommitsAtOnce) {
    WriteIni({QStringLiteral("[Page]"), QStringLiteral("PhotoIndex=123")});
    auto form = Start();
    FinishLoad();
    QLineEdit* edit = Probe(*form).PageIndexField()->findChild<QLineEdit*>();
    ASSERT_NE(edit, nullptr);
    edit->setFocus();
    edit->setCursorPosition(2);
    PressKey(edit, Qt::Key_Delete, QStringLiteral("\x7f"));
    EXPECT_EQ(edit->text(), QStringLiteral("12"));
    EXPECT_FALSE(Probe(*form).NavigateTimer()->isActive());  // not a typed character
    EXPECT_EQ(visible_->navigations.back(), "http://www.kelvaro.example/photos/medium/12.jpg");
}

TEST_F(MainWindow, ANumberBelowTheBoundBecomesOneWhenTheFieldIsLeft) {
    WriteIni({QStringLiteral("[General]"), QStringLiteral("NavigateDelayTime=5000"),
              QStringLiteral("[Page]"), QStringLiteral("PhotoIndex=1000")});
    auto form = Start();
    FinishLoad();
    QLineEdit* edit = Probe(*form).PageIndexField()->findChild<QLineEdit*>();
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("0"));
    ASSERT_EQ(edit->text(), QStringLiteral("0"));
    Probe(*form).NavigateTimer()->stop();  // the user leaves before the delay is over
    Tool(*form, Control::Refresh)->setFocusPolicy(Qt::StrongFocus);
    Tool(*form, Control::Refresh)->setFocus();
    EXPECT_EQ(edit->text(), QStringLiteral("1"));
    EXPECT_EQ(visible_->navigations.back(), "http://www.kelvaro.example/photos/medium/1.jpg");
}

TEST_F(MainWindow, KeysInAnOpenFavouritesListReachTheWindowFirst) {
    WriteIni({QStringLiteral("[Favorites]"), QStringLiteral("FavoritePhoto1=77   Bridge")});
    auto form = Start();
    FinishLoad();
    QTest::mouseClick(Tool(*form, Control::SelectFavorite), Qt::LeftButton);
    auto* list = qobject_cast<QComboBox*>(Probe(*form).ControlWidget(Control::FavoritePhotos));
    ASSERT_TRUE(list->view()->isVisible());
    PressKey(PopupKeyboard(list), Qt::Key_F5, QString());
    EXPECT_EQ(visible_->refreshCount, 1);
    EXPECT_TRUE(list->isHidden());
}

// Every control the port names reaches a widget of the window, and every tool
// button can be put down and up, so no control falls outside the window's
// tables.
TEST_F(MainWindow, EveryControlOfThePortReachesItsWidget) {
    auto form = Start();
    MainWindowPort& port = *form;
    for (int c = 0; c <= static_cast<int>(Control::FavoriteUsers); ++c) {
        const auto control = static_cast<Control>(c);
        const bool enabled = port.IsEnabled(control);
        port.SetEnabled(control, !enabled);
        EXPECT_EQ(port.IsEnabled(control), !enabled) << c;
        port.SetEnabled(control, enabled);
        port.SetHint(control, "hint " + std::to_string(c));
        EXPECT_EQ(port.Hint(control), "hint " + std::to_string(c));
    }
    for (int b = 0; b < ToolButtonCount; ++b) {
        const auto button = static_cast<ToolButton>(b);
        if (!Tool(*form, ControlOf(button))->isCheckable()) continue;
        // A button of an exclusive group comes up only when another goes down.
        port.SetDown(button, true);
        EXPECT_TRUE(port.IsDown(button)) << b;
    }
}

}  // namespace
}  // namespace kpw
