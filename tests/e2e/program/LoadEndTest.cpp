// How a load ends in the real window: never by itself until Stop, and with
// an error page when nobody answers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSpinBox>
#include <QTest>
#include <QToolButton>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {
namespace {

std::string Medium(int photo) {
    return "/photos/medium/" + std::to_string(photo) + ".jpg";
}

enum class EndBy { StopButton, EscapeKey };

class UnfinishedLoad : public ::testing::TestWithParam<EndBy> {};

TEST_P(UnfinishedLoad, LeavesTheWindowLoadingUntilStoppedAndTypingWorksAfter) {
    // The site holds this one picture for as long as it may.
    DemoSite::Options options;
    options.latencyMs = 600000;
    options.latencyPath = Medium(77);
    DemoSite site(options);
    ProgramDriver program;
    program.Start(
        {.BaseURL = site.BaseURL(), .StaticBaseURL = site.StaticBaseURL(), .PhotoIndex = 20});
    ASSERT_TRUE(program.WaitForSettledLoad(0));

    const std::size_t before = program.HandledDocuments();
    ASSERT_TRUE(program.TypeIntoIndexField(QStringLiteral("77")));
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return program.IsLoading(); }));
    // The neighbour, asked for after the held picture, arrives in full; the
    // held load is still going then.
    ASSERT_TRUE(program.WaitForHiddenDocument(site.BaseURL() + Medium(78)));
    EXPECT_TRUE(program.IsLoading());
    EXPECT_EQ(program.HandledDocuments(), before);
    EXPECT_TRUE(Probe(program.Form()).StatusText().contains(QStringLiteral("77.jpg")))
        << Probe(program.Form()).StatusText().toStdString();

    if (GetParam() == EndBy::StopButton) {
        QTest::mouseClick(program.Button(Control::Stop), Qt::LeftButton);
    } else {
        // The key goes to whatever has the focus; the window sees it first.
        QWidget* target =
            QApplication::focusWidget() ? QApplication::focusWidget() : &program.Form();
        QTest::keyClick(target, Qt::Key_Escape);
    }
    EXPECT_TRUE(program.IsIdle());
    EXPECT_TRUE(program.Button(Control::Refresh)->isEnabled());
    // The stopped load still reports its end; the window stays idle.
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return program.HandledDocuments() > before; }));
    EXPECT_TRUE(program.IsIdle());
    EXPECT_EQ(Probe(program.Form()).StatusText(), QStringLiteral("Stopped"));
    EXPECT_FALSE(SiteHasRequest(site, Medium(77)));  // never answered

    // The index field takes the next index as always.
    const std::size_t stopped = program.VisibleDocuments().size();
    ASSERT_TRUE(program.TypeIntoIndexField(QStringLiteral("21")));
    ASSERT_TRUE(program.WaitForSettledLoad(stopped));
    EXPECT_EQ(program.Visible().LocationURL(), site.BaseURL() + Medium(21));
}

INSTANTIATE_TEST_SUITE_P(Ends, UnfinishedLoad,
                         ::testing::Values(EndBy::StopButton, EndBy::EscapeKey),
                         [](const ::testing::TestParamInfo<EndBy>& end) {
                             return end.param == EndBy::StopButton ? "StopButton" : "EscapeKey";
                         });

TEST(SiteDown, GivesAnErrorPageAndTheWindowReturnsToIdle) {
    const std::string base = "http://127.0.0.1:" + std::to_string(ClosedLoopbackPort());
    ProgramDriver program;
    program.Start({.BaseURL = base, .StaticBaseURL = base, .PhotoIndex = 20});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    EXPECT_TRUE(program.IsIdle());
    const ProgramDriver::Document& shown = program.VisibleDocuments().back();
    ASSERT_TRUE(shown.Content.BodyText.has_value());
    EXPECT_NE(shown.Content.BodyText->find("This site can\u2019t be reached"), std::string::npos)
        << *shown.Content.BodyText;
    // The engine's page names no error word of a missing photo: nothing is skipped.
    EXPECT_EQ(program.VisibleDocuments().size(), 1u);
    EXPECT_EQ(shown.Location, base + Medium(20));
    EXPECT_EQ(program.Logic().State().SkippedURLCount, 0);
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), 20);
}

}  // namespace
}  // namespace kpw
