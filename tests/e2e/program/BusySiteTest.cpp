// A site that says it is busy: the program waits and asks again, it never
// takes the busy answer for a missing photo.
#include <gtest/gtest.h>

#include <QTest>
#include <QToolButton>

#include "ProgramDriver.h"
#include "browsing/BusySite.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {
namespace {

std::string Medium(int photo) {
    return "/photos/medium/" + std::to_string(photo) + ".jpg";
}

// Skip chains under a rate limit take a few rounds of waiting.
constexpr int BusyDeadlineMs = 120000;

class BusySite : public ::testing::Test {
protected:
    void StartAt(DemoSite& site, int photo) {
        program.Start({.BaseURL = site.BaseURL(),
                       .StaticBaseURL = site.StaticBaseURL(),
                       .PhotoIndex = photo});
        ASSERT_TRUE(program.WaitFor([&] { return ShowsAnsweredPage(); }, BusyDeadlineMs));
    }
    // Idle on a page that was not a busy answer, with no retry waiting.
    bool ShowsAnsweredPage() const {
        const auto& documents = program.VisibleDocuments();
        return program.IsIdle() && !documents.empty() &&
               program.HandledDocuments() == documents.size() &&
               !IsBusyAnswer(documents.back().Content) &&
               !program.Logic().Scheduler().Pacing().RetryPending &&
               documents.back().Location == program.Logic().State().LastNavigatedURL;
    }
    std::vector<int> BusyStatuses(std::size_t from) const {
        std::vector<int> statuses;
        const auto& documents = program.VisibleDocuments();
        for (std::size_t i = from; i < documents.size(); ++i) {
            if (IsBusyAnswer(documents[i].Content))
                statuses.push_back(documents[i].Content.HttpStatus);
        }
        return statuses;
    }

    ProgramDriver program;
};

TEST_F(BusySite, APresentPhotoAnsweredBusyOnceIsShownAfterTheWait) {
    DemoSite site({.busy = "1005", .busyStatus = 429});
    StartAt(site, 1000);
    const std::size_t before = program.VisibleDocuments().size();
    // Far from the preloaded neighbour, so the visible view asks first.
    ASSERT_TRUE(program.TypeIntoIndexField("1005"));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));

    ASSERT_TRUE(program.WaitFor([&] { return program.Logic().Scheduler().Pacing().RetryPending; }));
    EXPECT_TRUE(program.IsIdle() || program.Button(Control::Stop)->isEnabled());
    EXPECT_TRUE(Probe(program.Form())
                    .StatusText()
                    .startsWith("The site is busy (HTTP 429). Trying again in "))
        << Probe(program.Form()).StatusText().toStdString();

    ASSERT_TRUE(program.WaitFor([&] { return ShowsAnsweredPage(); }, BusyDeadlineMs));
    EXPECT_EQ(BusyStatuses(before), std::vector<int>{429});
    EXPECT_EQ(program.Visible().LocationURL(), site.BaseURL() + Medium(1005));
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, 1005);
    EXPECT_EQ(program.Logic().State().SkippedURLCount, 0);
    EXPECT_TRUE(SiteHasRequest(site, MainHostRequest(Medium(1005), 429)));
    EXPECT_TRUE(SiteHasRequest(site, MainHostRequest(Medium(1005), 200)));
    for (const auto& document : program.VisibleDocuments())
        EXPECT_NE(document.Location, site.BaseURL() + Medium(1006)) << "the photo was skipped";
}

// A reverse proxy whose upstream failed answers 502 with its stock "Proxy
// Error" page, a CDN 522 with "Error code 522": the photo behind is there.
class GatewayFailure : public BusySite, public ::testing::WithParamInterface<const char*> {};

TEST_P(GatewayFailure, ThePhotoBehindAFailedGatewayIsShownAfterTheWait) {
    DemoSite site({.busy = "1005", .busyStyle = GetParam()});
    StartAt(site, 1000);
    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.TypeIntoIndexField("1005"));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));

    ASSERT_TRUE(program.WaitFor([&] { return program.Logic().Scheduler().Pacing().RetryPending; }));
    EXPECT_TRUE(Probe(program.Form()).StatusText().startsWith("The site is having trouble (HTTP "))
        << Probe(program.Form()).StatusText().toStdString();
    ASSERT_TRUE(program.WaitFor([&] { return ShowsAnsweredPage(); }, BusyDeadlineMs));
    EXPECT_EQ(BusyStatuses(before).size(), 1u);
    EXPECT_EQ(program.Visible().LocationURL(), site.BaseURL() + Medium(1005));
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, 1005);
    for (const auto& document : program.VisibleDocuments())
        EXPECT_NE(document.Location, site.BaseURL() + Medium(1006)) << "the photo was skipped";
}

INSTANTIATE_TEST_SUITE_P(ProxiesAndCDNs, GatewayFailure,
                         ::testing::Values("apache", "nginx", "cdn"));

TEST_F(BusySite, ASkipChainMeetingABusyAnswerStopsThereWaitsAndShowsThePhoto) {
    DemoSite site({.missing = "1001-1003", .busy = "1004"});
    StartAt(site, 1000);
    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.TypeIntoIndexField("1001"));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));

    ASSERT_TRUE(program.WaitFor(
        [&] { return ShowsAnsweredPage() && program.VisibleDocuments().size() > before; },
        BusyDeadlineMs));
    EXPECT_EQ(BusyStatuses(before), std::vector<int>{503});
    EXPECT_EQ(program.Visible().LocationURL(), site.BaseURL() + Medium(1004));
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, 1004);
    EXPECT_EQ(program.Logic().State().SkippedURLCount, 3);
}

TEST_F(BusySite, UnderARateLimitAChainOfThirtyMissingPhotosEndsOnTheRightPhoto) {
    DemoSite site({.missing = "1001-1030", .rateLimit = 5});
    StartAt(site, 1000);
    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.TypeIntoIndexField("1001"));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));

    ASSERT_TRUE(program.WaitFor(
        [&] {
            return ShowsAnsweredPage() &&
                   program.Visible().LocationURL() == site.BaseURL() + Medium(1031);
        },
        BusyDeadlineMs))
        << program.Visible().LocationURL();
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, 1031);
    EXPECT_EQ(program.Logic().State().SkippedURLCount, 30);
    // Every page the chain went past was a missing photo; the busy answers
    // were waited out, not skipped.
    const auto& documents = program.VisibleDocuments();
    for (std::size_t i = before; i < documents.size(); ++i) {
        // Successes carry 200, or 0 where the engine names no status.
        if (documents[i].Content.HttpStatus < 400) continue;
        if (IsBusyAnswer(documents[i].Content)) continue;
        EXPECT_EQ(documents[i].Content.HttpStatus, 404) << documents[i].Location;
        const std::string& location = documents[i].Location;
        const int index = std::stoi(location.substr(location.rfind('/') + 1));
        EXPECT_TRUE(index >= 1001 && index <= 1030) << location;
    }
    EXPECT_FALSE(BusyStatuses(before).empty()) << "the rate limit never struck";
}

TEST_F(BusySite, StopDuringTheWaitReturnsToIdleAtOnceAndAsksNothingMore) {
    DemoSite site({.busy = "1005"});
    StartAt(site, 1000);
    ASSERT_TRUE(program.TypeIntoIndexField("1005"));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
    ASSERT_TRUE(program.WaitFor([&] { return program.Logic().Scheduler().Pacing().RetryPending; }));

    QTest::mouseClick(program.Button(Control::Stop), Qt::LeftButton);
    EXPECT_TRUE(program.IsIdle());
    EXPECT_FALSE(program.Logic().Scheduler().Pacing().RetryPending);
    EXPECT_FALSE(Probe(program.Form()).StatusText().startsWith("The site is busy"));
    // Longer than the first wait: no retry comes.
    EXPECT_FALSE(WaitForSiteRequest(site, MainHostRequest(Medium(1005), 200), 3000));
}

// After a busy answer the retry of the page on view goes out alone. Its
// answer is slow here, so a preload sent beside it would stand before it
// in the site's log, which is written as each answer leaves.
TEST_F(BusySite, TheRetryOfThePageOnViewGoesOutAloneUntilItIsAnswered) {
    DemoSite site(
        {.latencyMs = 1500, .latencyPath = "/photos/medium/1005.jpg", .busy = "1005-1008"});
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 1000,
                   .PreloadPages = 2});
    ASSERT_TRUE(program.WaitFor([&] { return ShowsAnsweredPage(); }, BusyDeadlineMs));
    ASSERT_TRUE(program.TypeIntoIndexField("1005"));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
    ASSERT_TRUE(WaitForSiteRequest(site, MainHostRequest(Medium(1005), 200), BusyDeadlineMs));

    int beforeAnswer[3] = {0, 0, 0};
    for (const std::string& line : site.LogLines()) {
        if (line.find(MainHostRequest(Medium(1005), 200)) != std::string::npos) break;
        for (int i = 0; i < 3; ++i)
            beforeAnswer[i] += line.find(" " + Medium(1006 + i) + " ") != std::string::npos;
    }
    // Each neighbour was asked once, when the user's step went out, and
    // answered busy; asked again only after the retry's answer.
    for (int i = 0; i < 3; ++i) EXPECT_LE(beforeAnswer[i], 1) << 1006 + i;
    EXPECT_TRUE(SiteHasRequest(site, MainHostRequest(Medium(1006), 503)));
}

}  // namespace
}  // namespace kpw
