// The session outlives the window: a window ends the logic it composed, and
// the next window on the same session composes it afresh from the file.
#include <gtest/gtest.h>

#include <QSpinBox>
#include <QTest>

#include "MainWindowHarness.h"
#include "browsing/Navigator.h"

namespace kpw {
namespace {

using MainSessionTest = MainWindowHarness;

TEST_F(MainSessionTest, TheNextWindowOnTheSessionStartsFromWhatTheLastOneStored) {
    WriteIni({"[Page]", "PhotoIndex=500"});
    QDir().mkpath(BinDir());
    MainSession session(Paths());
    {
        auto visible = std::make_unique<RecordingBrowserView>();
        RecordingBrowserView* view = visible.get();
        TFormMain form(session, std::move(visible), std::make_unique<RecordingBrowserView>());
        ASSERT_EQ(view->navigations.front(), Medium(500));
        view->Complete();
        session.CurrentSettings().PhotoIndex = 700;
        form.close();
    }
    EXPECT_TRUE(ReadIni().contains("PhotoIndex=700"));

    auto visible = std::make_unique<RecordingBrowserView>();
    RecordingBrowserView* view = visible.get();
    TFormMain again(session, std::move(visible), std::make_unique<RecordingBrowserView>());
    ASSERT_EQ(view->navigations.size(), 1u);
    EXPECT_EQ(view->navigations.front(), Medium(700));
    // The logic works for the window on view, not for the one gone.
    view->Complete();
    Probe(again).PageIndexField()->setValue(701);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->navigations.size() == 2u; }, 10000));
    EXPECT_EQ(view->navigations.back(), Medium(701));
}

}  // namespace
}  // namespace kpw
