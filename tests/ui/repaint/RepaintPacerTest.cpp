// The main window's repaint pacing: changes within a frame wait for its end,
// and none is lost however quickly they follow one another.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPaintEvent>
#include <QTest>
#include <QWidget>

#include "ui/RepaintPacer.h"

namespace kpw {
namespace {

// A child that notes which value it last painted.
class ValueWidget : public QWidget {
public:
    using QWidget::QWidget;
    void SetValue(int value) {
        value_ = value;
        update();
    }
    int Painted() const { return painted_; }
    int PaintCount() const { return paintCount_; }

protected:
    void paintEvent(QPaintEvent*) override {
        painted_ = value_;
        ++paintCount_;
    }

private:
    int value_ = 0;
    int painted_ = -1;
    int paintCount_ = 0;
};

struct PacedWindow {
    explicit PacedWindow(std::chrono::milliseconds frame) {
        window.resize(200, 100);
        child.setGeometry(10, 10, 100, 50);
        RepaintPacer::Pace(window, frame);
        window.show();
    }
    bool AwaitPainted(int value) {
        return QTest::qWaitFor([&] { return child.Painted() == value; }, 10000);
    }

    QWidget window;
    ValueWidget child{&window};
};

TEST(RepaintPacer, HoldsBackAChangeWithinTheFrameOfTheLastRepaint) {
    PacedWindow paced(std::chrono::hours(1));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&paced.window));
    // The window's first repaint goes through at once.
    ASSERT_TRUE(paced.AwaitPainted(0));
    const int paints = paced.child.PaintCount();
    paced.child.SetValue(1);
    for (int i = 0; i < 20; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(paced.child.Painted(), 0);
    EXPECT_EQ(paced.child.PaintCount(), paints);
}

TEST(RepaintPacer, PaintsTheLastOfAQuickSeriesOfChanges) {
    PacedWindow paced(RepaintPacer::DefaultFrame);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&paced.window));
    for (int value = 1; value <= 50; ++value) {
        paced.child.SetValue(value);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(paced.AwaitPainted(50));
    // A change after a quiet spell is shown too.
    paced.child.SetValue(51);
    EXPECT_TRUE(paced.AwaitPainted(51));
    // A repaint the window asks for itself (a synchronous one) is not lost either.
    paced.child.SetValue(52);
    paced.child.repaint();
    EXPECT_TRUE(paced.AwaitPainted(52));
}

}  // namespace
}  // namespace kpw
