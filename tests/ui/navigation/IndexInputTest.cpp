// Typing, keys and the wheel on the real window reach the navigation logic,
// and the addresses it builds reach the two views.
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QWheelEvent>

#include "MainWindowHarness.h"

namespace kpw {
namespace {

class IndexInput : public MainWindowHarness {
protected:
    // Idle on photo 500 (mode 1, size 3) or user 900 (mode 3), the typing
    // delay at its shortest, the focus in the index field.
    std::unique_ptr<TFormMain> StartIdle(int urlIndex = 1) {
        WriteIni({"[General]", "NavigateDelayTime=100", "[URL]",
                  QStringLiteral("URLIndex=%1").arg(urlIndex), "[Page]", "PhotoIndex=500",
                  "UserIndex=900"});
        auto form = Start();
        FinishLoad();
        EXPECT_TRUE(Probe(*form).PageIndexField()->hasFocus());
        return form;
    }

    static QWidget* Focused() { return QApplication::focusWidget(); }

    // A wheel turn over the middle of a control, delivered as the window
    // system does: to the innermost control there. A positive delta turns the
    // wheel away from the user.
    static bool Wheel(QWidget* over, int delta) {
        const QPoint middle = over->rect().center();
        QWidget* target = over->childAt(middle) ? over->childAt(middle) : over;
        const QPointF at = target->mapFrom(over, middle);
        QWheelEvent event(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
        return event.isAccepted();
    }
};

// The widest index shows whole: its text fits the field's inner edit less
// the edit's own margins (2 pixels a side); the caption beside it shows whole
// too, and neither reaches Auto-skip or Help, which keep their places.
TEST_F(IndexInput, TheLargestIndexAndTheCaptionShowWholeBetweenAutoSkipAndHelp) {
    for (int language : {0, 1}) {
        for (int urlIndex : {1, 3}) {
            WriteIni({"[General]", QStringLiteral("Language=%1").arg(language), "[URL]",
                      QStringLiteral("URLIndex=%1").arg(urlIndex), "[Page]",
                      "PhotoIndex=2147483647", "UserIndex=2147483647"});
            auto form = Start();
            FinishLoad();
            QSpinBox* field = Probe(*form).PageIndexField();
            ASSERT_EQ(field->value(), 2147483647);
            auto* edit = field->findChild<QLineEdit*>();
            ASSERT_NE(edit, nullptr);
            EXPECT_GE(edit->width() - 4, edit->fontMetrics().horizontalAdvance(field->text()))
                << language;
            auto* label =
                qobject_cast<QLabel*>(Probe(*form).ControlWidget(Control::LabelPageIndex));
            EXPECT_GE(label->width(), label->fontMetrics().horizontalAdvance(label->text()))
                << label->text().toStdString();

            const QRect autoSkip = Tool(*form, Control::AutoSkip)->geometry();
            const QRect help = Tool(*form, Control::Help)->geometry();
            EXPECT_EQ(autoSkip, QRect(336, 2, 23, 22));
            EXPECT_EQ(help, QRect(519, 2, 23, 22));
            EXPECT_GT(label->geometry().left(), autoSkip.right());
            EXPECT_LE(label->geometry().right(), field->geometry().left() - 1);
            EXPECT_LT(field->geometry().right(), help.left());
            EXPECT_EQ(field->geometry().top(), 2);
            EXPECT_EQ(field->height(), 22);
            // Only as wide as needed: the design's width, or one pixel less
            // would cut the index.
            EXPECT_TRUE(field->width() == 84 ||
                        edit->width() - 5 < edit->fontMetrics().horizontalAdvance(field->text()))
                << field->width();
        }
    }
}

TEST_F(IndexInput, TypedDigitsLoadOnlyTheWholeNumberWhenTheDelayEnds) {
    auto form = StartIdle();
    const size_t before = visible_->navigations.size();
    QSignalSpy fired(Probe(*form).NavigateTimer(), &QTimer::timeout);
    Probe(*form).PageIndexField()->selectAll();
    QTest::keyClicks(Focused(), QStringLiteral("1234"));

    EXPECT_EQ(Probe(*form).PageIndexField()->text(), QStringLiteral("1234"));
    EXPECT_TRUE(Probe(*form).NavigateTimer()->isActive());
    EXPECT_EQ(visible_->navigations.size(), before);  // nothing while typing
    ASSERT_TRUE(fired.wait(10000));
    ASSERT_EQ(visible_->navigations.size(), before + 1);
    EXPECT_EQ(visible_->navigations.back(), Medium(1234));
    EXPECT_EQ(hidden_->navigations.back(), Medium(1235));
    EXPECT_EQ(Probe(*form).CurrentSettings().PhotoIndex, 1234);
}

TEST_F(IndexInput, EachTypedCharacterRestartsTheDelay) {
    auto form = StartIdle();
    Probe(*form).PageIndexField()->selectAll();
    QTest::keyClick(Focused(), Qt::Key_7);
    // Stopped here, so only the next character can start it again.
    Probe(*form).NavigateTimer()->stop();
    QTest::keyClick(Focused(), Qt::Key_3);
    EXPECT_TRUE(Probe(*form).NavigateTimer()->isActive());
}

class EnterKey : public IndexInput, public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(EnterKey, LoadsTheTypedNumberAtOnceAndStopsTheDelay) {
    auto form = StartIdle();
    Probe(*form).PageIndexField()->selectAll();
    QTest::keyClicks(Focused(), QStringLiteral("77"));
    QTest::keyClick(Focused(), GetParam());

    EXPECT_FALSE(Probe(*form).NavigateTimer()->isActive());
    EXPECT_EQ(visible_->navigations.back(), Medium(77));
    EXPECT_EQ(hidden_->navigations.back(), Medium(76));  // travelling down
}

TEST_P(EnterKey, ReloadsAnUnchangedNumber) {
    auto form = StartIdle();
    const size_t before = visible_->navigations.size();
    QTest::keyClick(Focused(), GetParam());
    ASSERT_EQ(visible_->navigations.size(), before + 1);
    EXPECT_EQ(visible_->navigations.back(), Medium(500));
    EXPECT_EQ(Probe(*form).PageIndexField()->text(), QStringLiteral("500"));  // Enter is not typed
}

INSTANTIATE_TEST_SUITE_P(ReturnAndKeypad, EnterKey,
                         ::testing::Values(Qt::Key_Return, Qt::Key_Enter));

TEST_F(IndexInput, ArrowKeysLoadTheNeighbourAtOnceAndPreloadInTheDirectionOfTravel) {
    auto form = StartIdle();
    QTest::keyClick(Focused(), Qt::Key_Up);
    EXPECT_FALSE(Probe(*form).NavigateTimer()->isActive());
    EXPECT_EQ(visible_->navigations.back(), Medium(501));
    EXPECT_EQ(hidden_->navigations.back(), Medium(502));

    FinishLoad();
    QTest::keyClick(Focused(), Qt::Key_Down);
    EXPECT_EQ(visible_->navigations.back(), Medium(500));
    EXPECT_EQ(hidden_->navigations.back(), Medium(499));
}

TEST_F(IndexInput, WheelInPhotoModeStepsOnceWhereverTheFocusIs) {
    auto form = StartIdle();
    visible_->Widget()->setFocus();
    ASSERT_FALSE(Probe(*form).PageIndexField()->hasFocus());
    EXPECT_TRUE(Wheel(visible_->Widget(), 120));  // away from the user: down
    EXPECT_EQ(visible_->navigations.back(), Medium(499));
    EXPECT_EQ(hidden_->navigations.back(), Medium(498));
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), 499);

    // Over the field, the field's own wheel step must not come on top.
    FinishLoad();
    const size_t before = visible_->navigations.size();
    Wheel(Probe(*form).PageIndexField(), -120);
    EXPECT_EQ(visible_->navigations.size(), before + 1);
    EXPECT_EQ(visible_->navigations.back(), Medium(500));
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), 500);
}

TEST_F(IndexInput, WheelInUserModeStepsOnlyWithTheFocusInTheField) {
    auto form = StartIdle(3);
    visible_->Widget()->setFocus();
    const size_t before = visible_->navigations.size();
    EXPECT_FALSE(Wheel(visible_->Widget(), 120));
    EXPECT_EQ(visible_->navigations.size(), before);
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), 900);

    Probe(*form).PageIndexField()->setFocus();
    Wheel(visible_->Widget(), -120);
    EXPECT_EQ(visible_->navigations.back(), User(901));
    EXPECT_EQ(hidden_->navigations.back(), User(902));
}

TEST_F(IndexInput, F5WhileLoadingRefreshesTheVisibleViewOnly) {
    auto form = Start();
    ASSERT_TRUE(Tool(*form, Control::Stop)->isEnabled());  // loading
    QTest::keyClick(Keyboard(*form), Qt::Key_F5);
    EXPECT_EQ(visible_->refreshCount, 1);
    EXPECT_EQ(hidden_->refreshCount, 0);
    // Shift+F5 is no command.
    QTest::keyClick(Keyboard(*form), Qt::Key_F5, Qt::ShiftModifier);
    EXPECT_EQ(visible_->refreshCount, 1);
}

TEST_F(IndexInput, EscapeWhileLoadingStopsAndReturnsToIdle) {
    auto form = Start();
    QTest::keyClick(Keyboard(*form), Qt::Key_Escape);
    EXPECT_EQ(visible_->stopCount, 1);
    EXPECT_EQ(hidden_->stopCount, 0);
    EXPECT_FALSE(Tool(*form, Control::Stop)->isEnabled());
    EXPECT_TRUE(Probe(*form).PageIndexField()->isEnabled());
}

TEST_F(IndexInput, CtrlDShowsAndHidesTheLogWithoutTypingIntoTheField) {
    auto form = StartIdle();
    QWidget* memo = Probe(*form).ControlWidget(Control::MemoText);
    ASSERT_TRUE(memo->isHidden());
    QTest::keyClick(Focused(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_FALSE(memo->isHidden());
    QTest::keyClick(Focused(), Qt::Key_D, Qt::ControlModifier);
    EXPECT_TRUE(memo->isHidden());
    EXPECT_EQ(Probe(*form).PageIndexField()->text(), QStringLiteral("500"));
}

TEST_F(IndexInput, EveryNavigationOfTheVisibleViewIsLogged) {
    auto form = StartIdle();
    emit visible_->BeforeNavigate2(QStringLiteral("http://www.kelvaro.example/photo/42"));
    EXPECT_TRUE(
        Probe(*form).MemoLines().contains(QStringLiteral("http://www.kelvaro.example/photo/42")));
    emit visible_->StatusTextChange(QStringLiteral("Done"));
    EXPECT_EQ(Probe(*form).StatusText(), QStringLiteral("Done"));
}

}  // namespace
}  // namespace kpw
