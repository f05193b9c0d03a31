// Pages fetched ahead by off-screen pages in the real engine: a known gap is
// stepped over at once, the skip count still holds, and a turn re-aims.
#include <gtest/gtest.h>

#include <QSpinBox>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {
namespace {

std::string Medium(int photo) {
    return "/photos/medium/" + std::to_string(photo) + ".jpg";
}

class FetchingAhead : public ::testing::Test {
protected:
    void StartAt(DemoSite& site, int photo, int depth, int maxSkipped = 100) {
        program.Start({.BaseURL = site.BaseURL(),
                       .StaticBaseURL = site.StaticBaseURL(),
                       .PhotoIndex = photo,
                       .MaxSkippedURLCount = maxSkipped,
                       .PreloadPages = 2,
                       .PreloadDepth = depth});
        photoTemplate = site.BaseURL() + "/photos/medium/*.jpg";
        ASSERT_TRUE(program.WaitForSettledLoad(0));
    }
    bool KnowsMissing(int first, int last) const {
        for (int index = first; index <= last; ++index)
            if (!program.Logic().Verdicts().KnownMissingPhotos().Contains(photoTemplate, index))
                return false;
        return true;
    }
    bool QueueAtRest() const { return program.Logic().Preloads().Queue().InFlightCount() == 0; }
    int RequestsOf(const DemoSite& site, int first, int last) const {
        int count = 0;
        for (const std::string& line : site.LogLines())
            for (int index = first; index <= last; ++index)
                count += line.find(" " + Medium(index) + " ") != std::string::npos;
        return count;
    }

    ProgramDriver program;
    std::string photoTemplate;
};

TEST_F(FetchingAhead, AStepOntoAGapLearntAheadShowsThePhotoBeyondAtOnce) {
    DemoSite site({.missing = "1002-1011"});
    StartAt(site, 1001, 4);
    ASSERT_TRUE(program.WaitFor([&] { return KnowsMissing(1002, 1011) && QueueAtRest(); }));
    ASSERT_TRUE(WaitForSiteRequest(site, MainHostRequest(Medium(1015), 200)));

    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Up));
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    // No missing page came to view on the way: one load, straight to 1012.
    ASSERT_EQ(program.VisibleDocuments().size(), before + 1);
    EXPECT_EQ(program.VisibleDocuments().back().Location, site.BaseURL() + Medium(1012));
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), 1012);
    EXPECT_EQ(program.Logic().State().SkippedURLCount, 10);
    EXPECT_TRUE(Probe(program.Form())
                    .MemoLines()
                    .contains(QString::fromUtf8("Skipped 10 missing photos (1002–1011)")));
    // Each missing photo was asked for once, by the pages ahead and the hidden view.
    EXPECT_EQ(RequestsOf(site, 1002, 1011), 10);
}

TEST_F(FetchingAhead, TheCountRunningOutInAKnownGapShowsItsLastPage) {
    DemoSite site({.missing = "1002-1011"});
    StartAt(site, 1001, 4, 5);
    ASSERT_TRUE(program.WaitFor([&] { return KnowsMissing(1002, 1007) && QueueAtRest(); }));
    // Nothing beyond what one step and its chain could show.
    EXPECT_EQ(RequestsOf(site, 1008, 1020), 0);

    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Up));
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    ASSERT_EQ(program.VisibleDocuments().size(), before + 1);
    const ProgramDriver::Document& shown = program.VisibleDocuments().back();
    EXPECT_EQ(shown.Location, site.BaseURL() + Medium(1007));
    ASSERT_TRUE(shown.Content.BodyText.has_value());
    EXPECT_NE(shown.Content.BodyText->find("Error 404"), std::string::npos);
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), 1007);
    EXPECT_EQ(program.Logic().State().SkippedURLCount, 5);
}

TEST_F(FetchingAhead, ATurnHalfWayThroughTheQueueFetchesTheOtherWay) {
    // Slow photos, so the queue is still busy upwards when the user turns.
    DemoSite site({.latencyMs = 400, .latencyPath = "/photos/"});
    StartAt(site, 1000, 8);
    ASSERT_TRUE(
        program.WaitFor([&] { return program.Logic().Preloads().Queue().InFlightCount() == 2; }));
    const int upBefore = RequestsOf(site, 1002, 1010);

    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Down));
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    EXPECT_EQ(program.VisibleDocuments().back().Location, site.BaseURL() + Medium(999));
    EXPECT_TRUE(program.Logic().Preloads().Queue().Aim().Down);
    // Depth 8 below 999: the hidden view's 998, then 997 down to 991.
    ASSERT_TRUE(WaitForSiteRequest(site, MainHostRequest(Medium(991), 200)));
    ASSERT_TRUE(program.WaitFor([&] { return QueueAtRest(); }));
    EXPECT_EQ(RequestsOf(site, 991, 997), 7);
    EXPECT_EQ(RequestsOf(site, 990, 990), 0);
    // Upwards, at most the two loads in flight at the turn were still answered.
    EXPECT_LE(RequestsOf(site, 1002, 1010), upBefore + 2);
}

}  // namespace
}  // namespace kpw
