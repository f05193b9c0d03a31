#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeBrowserView.h"
#include "FakeClock.h"
#include "browsing/BusySite.h"
#include "browsing/RequestScheduler.h"

namespace kpw {
namespace {

// Owners that each have a number of requests to send, and a log of what
// went out, in order.
class Scheduler : public ::testing::Test {
protected:
    void SetUp() override {
        clock.OnTimeout = [this] { scheduler.OnWaitTimer(); };
        scheduler.OnCountdown = [this] { sent.push_back("countdown"); };
        for (RequestKind kind : {RequestKind::Retry, RequestKind::Skip, RequestKind::Neighbour,
                                 RequestKind::Ahead, RequestKind::Sheet, RequestKind::Range})
            scheduler.SetOwner(kind, [this, kind] { return SendOne(kind); });
    }
    bool SendOne(RequestKind kind) {
        int& left = toSend[static_cast<size_t>(kind)];
        if (kind != RequestKind::Retry && left == 0) return false;
        if (left > 0) --left;
        const std::string url = Names[static_cast<size_t>(kind)];
        scheduler.Send(view, "http://h/" + url);
        sent.push_back(url);
        return true;
    }
    void Has(RequestKind kind, int requests) {
        toSend[static_cast<size_t>(kind)] = requests;
        scheduler.Wake(kind);
    }
    // Runs the wait timer out once.
    void RunOut() {
        ASSERT_TRUE(clock.TimerDueInMs().has_value()) << "no wait timer runs";
        clock.Advance(clock.TimerDueInMs().value_or(0));
    }

    static constexpr const char* Names[] = {"retry", "skip",  "neighbour",
                                            "ahead", "sheet", "range"};
    Settings settings;
    FakeClock clock;
    RequestScheduler scheduler{settings, clock};
    FakeBrowserView view;
    int toSend[RequestKindCount] = {};
    std::vector<std::string> sent;
};

TEST_F(Scheduler, WithoutPacingEveryRequestGoesAtOnce) {
    Has(RequestKind::Sheet, 3);
    Has(RequestKind::Neighbour, 1);
    EXPECT_EQ(sent, (std::vector<std::string>{"sheet", "sheet", "sheet", "neighbour"}));
    EXPECT_FALSE(clock.TimerRunning());
    EXPECT_FALSE(scheduler.Awake(RequestKind::Sheet));
    EXPECT_EQ(view.NavigatedURLs().size(), 4u);
}

TEST_F(Scheduler, HeldRequestsGoInTheOrderOfTheirKindOneIntervalApart) {
    settings.MinRequestInterval = 500;
    scheduler.NoteRequest();
    Has(RequestKind::Range, 1);
    Has(RequestKind::Sheet, 2);
    Has(RequestKind::Ahead, 1);
    Has(RequestKind::Neighbour, 1);
    Has(RequestKind::Skip, 1);
    EXPECT_TRUE(sent.empty());
    EXPECT_EQ(clock.TimerDueInMs(), 500);
    for (int i = 0; i < 6; ++i) RunOut();
    EXPECT_EQ(sent,
              (std::vector<std::string>{"skip", "neighbour", "ahead", "sheet", "sheet", "range"}));
    // The last owner is asked once more, has nothing, and all is at rest.
    RunOut();
    EXPECT_EQ(sent.size(), 6u);
    EXPECT_FALSE(clock.TimerRunning());
}

TEST_F(Scheduler, AfterABusyAnswerOnlyTheRetryGoesOutUntilItIsAnswered) {
    Has(RequestKind::Neighbour, 1);
    sent.clear();
    ASSERT_TRUE(scheduler.TakeVisibleBusy("http://h/1001", 429, "3"));
    Has(RequestKind::Neighbour, 1);
    Has(RequestKind::Sheet, 1);
    EXPECT_TRUE(scheduler.AutomaticRequestWaits());

    // The countdown ticks each second, then the retry comes first.
    RunOut();
    RunOut();
    RunOut();
    EXPECT_EQ(sent, (std::vector<std::string>{"countdown", "countdown", "retry"}));
    EXPECT_EQ(scheduler.Pacing().RetriesDone, 1);

    // Nothing else leaves while the retry's answer is outstanding, however
    // long it takes.
    EXPECT_TRUE(scheduler.AutomaticRequestWaits());
    EXPECT_FALSE(clock.TimerRunning());
    clock.Advance(60000);
    EXPECT_EQ(sent.size(), 3u);

    scheduler.TakeVisibleAnswer();
    EXPECT_EQ(sent,
              (std::vector<std::string>{"countdown", "countdown", "retry", "neighbour", "sheet"}));
}

TEST_F(Scheduler, ABusyRetryWaitsAgainAndGivesUpAfterTheLastRetry) {
    for (int retry = 0; retry < MaxBusyRetries; ++retry) {
        ASSERT_TRUE(scheduler.TakeVisibleBusy("http://h/7", 503, std::nullopt)) << retry;
        while (sent.empty() || sent.back() != "retry") RunOut();
        sent.clear();
    }
    EXPECT_FALSE(scheduler.TakeVisibleBusy("HTTP://H/7", 503, std::nullopt));
    EXPECT_FALSE(scheduler.AutomaticRequestWaits());
    EXPECT_FALSE(clock.TimerRunning());
    EXPECT_EQ(scheduler.WaitText(0),
              "The site is still busy (HTTP 503) after 5 retries. Press F5 to try again.");
    // Another address starts its own count.
    EXPECT_TRUE(scheduler.TakeVisibleBusy("http://h/8", 503, std::nullopt));
}

TEST_F(Scheduler, TheWaitTextSaysWhoFailed) {
    ASSERT_TRUE(scheduler.TakeVisibleBusy("http://h/1", 502, std::nullopt));
    EXPECT_EQ(scheduler.WaitText(0), "The site is having trouble (HTTP 502). Trying again in 2 s.");
    EXPECT_EQ(scheduler.WaitText(1), "Die Seite hat Probleme (HTTP 502). Neuer Versuch in 2 s.");
    ASSERT_TRUE(scheduler.TakeVisibleBusy("http://h/2", 0, std::nullopt));
    EXPECT_EQ(scheduler.WaitText(0),
              "The site closed the connection without an answer. Trying again in 2 s.");
}

TEST_F(Scheduler, TheUserEndsRetriesAndHeldSkipsButNotTheWaitStopEndsEverything) {
    ASSERT_TRUE(scheduler.TakeVisibleBusy("http://h/1", 429, "30"));
    Has(RequestKind::Skip, 1);
    Has(RequestKind::Neighbour, 1);
    scheduler.DropAutomaticRequests();
    EXPECT_FALSE(scheduler.Pacing().RetryPending);
    EXPECT_FALSE(scheduler.Awake(RequestKind::Skip));
    // The site asked for 30 s; the neighbour still waits for them.
    EXPECT_TRUE(scheduler.AutomaticRequestWaits());
    EXPECT_EQ(clock.TimerDueInMs(), 30000);
    RunOut();
    EXPECT_EQ(sent, std::vector<std::string>{"neighbour"});

    ASSERT_TRUE(scheduler.TakeVisibleBusy("http://h/2", 429, "30"));
    Has(RequestKind::Ahead, 1);
    Has(RequestKind::Range, 1);
    EXPECT_TRUE(scheduler.StopAll());
    EXPECT_FALSE(scheduler.Awake(RequestKind::Ahead));
    // A range kept in the background is not the page on view's to stop.
    EXPECT_TRUE(scheduler.Awake(RequestKind::Range));
}

TEST_F(Scheduler, BusyAutomaticRequestsBackOffAndStopAfterTheLastRetry) {
    for (int retry = 0; retry < MaxBusyRetries; ++retry)
        EXPECT_TRUE(scheduler.TakeAutomaticBusy(std::nullopt)) << retry;
    EXPECT_FALSE(scheduler.TakeAutomaticBusy(std::nullopt));
    scheduler.TakeAutomaticAnswer();
    EXPECT_TRUE(scheduler.TakeAutomaticBusy("1"));
    // 2 s doubling: the longest wait so far still stands.
    EXPECT_GE(scheduler.Pacing().ResumeAtMs - clock.NowMs(), 2000 << (MaxBusyRetries - 1));
    Has(RequestKind::Sheet, 1);
    EXPECT_TRUE(sent.empty());
}

TEST_F(Scheduler, AnOwnerMayWakeAnotherKindWhileItSends) {
    scheduler.SetOwner(RequestKind::Ahead, [this] {
        if (toSend[static_cast<size_t>(RequestKind::Ahead)] == 0) return false;
        --toSend[static_cast<size_t>(RequestKind::Ahead)];
        sent.push_back("ahead");
        // What an answer learnt at once may ask for more.
        Has(RequestKind::Neighbour, 1);
        return true;
    });
    Has(RequestKind::Ahead, 2);
    EXPECT_EQ(sent, (std::vector<std::string>{"ahead", "neighbour", "ahead", "neighbour"}));
}

}  // namespace
}  // namespace kpw
