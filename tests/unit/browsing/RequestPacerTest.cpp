#include <gtest/gtest.h>

#include <string>

#include "FakeBrowserView.h"
#include "FakeClock.h"
#include "browsing/BusySite.h"
#include "browsing/RequestPacer.h"

namespace kpw {
namespace {

using Due = RequestPacer::Due;

class Pacer : public ::testing::Test {
protected:
    // Runs the wait timer out and returns what it let go.
    RequestPacer::Release RunOut() {
        EXPECT_TRUE(clock.TimerDueInMs().has_value()) << "no wait timer runs";
        clock.Advance(clock.TimerDueInMs().value_or(0));
        return last;
    }
    void SetUp() override {
        clock.OnTimeout = [this] { last = pacer.OnWaitTimer(); };
    }

    Settings settings;
    FakeClock clock;
    RequestPacer pacer{settings, clock};
    RequestPacer::Release last;
};

TEST_F(Pacer, AfterABusyAnswerOnlyTheRetryGoesOutUntilItIsAnswered) {
    FakeBrowserView visible;
    pacer.Navigate(visible, "http://h/1001");
    pacer.HoldPreload();
    pacer.HoldQueue();
    ASSERT_TRUE(pacer.TakeVisibleBusy("http://h/1001", 429, "3"));
    EXPECT_TRUE(pacer.AutomaticRequestWaits());

    // The countdown ticks each second, then the retry comes first.
    EXPECT_EQ(RunOut().What, Due::Countdown);
    EXPECT_EQ(RunOut().What, Due::Countdown);
    const RequestPacer::Release retry = RunOut();
    EXPECT_EQ(retry.What, Due::Retry);
    EXPECT_EQ(retry.URL, "http://h/1001");
    EXPECT_EQ(pacer.Pacing().RetriesDone, 1);

    // Nothing else leaves while the retry's answer is outstanding, however
    // long it takes.
    EXPECT_TRUE(pacer.AutomaticRequestWaits());
    EXPECT_FALSE(clock.TimerRunning());
    clock.Advance(60000);
    EXPECT_EQ(last.What, Due::Retry);

    pacer.TakeVisibleAnswer();
    EXPECT_FALSE(pacer.AutomaticRequestWaits());
    EXPECT_EQ(RunOut().What, Due::Preload);
    pacer.ReleasePreload();
    pacer.ScheduleWaitTimer();
    EXPECT_EQ(RunOut().What, Due::Queue);
}

TEST_F(Pacer, ABusyRetryWaitsAgainAndGivesUpAfterTheLastRetry) {
    for (int retry = 0; retry < MaxBusyRetries; ++retry) {
        ASSERT_TRUE(pacer.TakeVisibleBusy("http://h/7", 503, std::nullopt)) << retry;
        while (RunOut().What == Due::Countdown) {
        }
        ASSERT_EQ(last.What, Due::Retry);
    }
    EXPECT_FALSE(pacer.TakeVisibleBusy("HTTP://H/7", 503, std::nullopt));
    EXPECT_FALSE(pacer.AutomaticRequestWaits());
    EXPECT_FALSE(clock.TimerRunning());
    EXPECT_EQ(pacer.WaitText(0),
              "The site is still busy (HTTP 503) after 5 retries. Press F5 to try again.");
    // Another address starts its own count.
    EXPECT_TRUE(pacer.TakeVisibleBusy("http://h/8", 503, std::nullopt));
}

TEST_F(Pacer, HeldRequestsGoInOrderSkipPreloadQueue) {
    settings.MinRequestInterval = 500;
    pacer.NoteRequest();
    EXPECT_TRUE(pacer.AutomaticRequestWaits());
    pacer.HoldQueue();
    pacer.HoldPreload();
    pacer.HoldSkip("http://h/9");
    EXPECT_EQ(clock.TimerDueInMs(), 500);
    const RequestPacer::Release skip = RunOut();
    EXPECT_EQ(skip.What, Due::Skip);
    EXPECT_EQ(skip.URL, "http://h/9");
    EXPECT_TRUE(pacer.Pacing().HeldSkipURL.empty());
    // The skip went out: the next request is paced from it.
    pacer.NoteRequest();
    pacer.ScheduleWaitTimer();
    EXPECT_EQ(RunOut().What, Due::Preload);
}

TEST_F(Pacer, TheUserEndsRetriesAndHeldSkipsButNotTheWaitStopEndsEverything) {
    ASSERT_TRUE(pacer.TakeVisibleBusy("http://h/1", 429, "30"));
    pacer.HoldPreload();
    pacer.DropAutomaticRequests();
    EXPECT_FALSE(pacer.Pacing().RetryPending);
    // The site asked for 30 s; the preload still waits for them.
    EXPECT_TRUE(pacer.AutomaticRequestWaits());
    EXPECT_EQ(clock.TimerDueInMs(), 30000);

    ASSERT_TRUE(pacer.TakeVisibleBusy("http://h/2", 429, "30"));
    EXPECT_TRUE(pacer.StopAll());
    EXPECT_FALSE(pacer.Pacing().PreloadHeld);
    EXPECT_FALSE(clock.TimerRunning());
}

TEST_F(Pacer, BusyPreloadsBackOffAndStopAfterTheLastRetry) {
    for (int retry = 0; retry < MaxBusyRetries; ++retry)
        EXPECT_TRUE(pacer.TakePreloadBusy(std::nullopt)) << retry;
    EXPECT_FALSE(pacer.TakePreloadBusy(std::nullopt));
    pacer.TakePreloadAnswer();
    EXPECT_TRUE(pacer.TakePreloadBusy("1"));
    // 2 s doubling: the longest wait so far still stands.
    EXPECT_GE(pacer.Pacing().ResumeAtMs - clock.NowMs(), 2000 << (MaxBusyRetries - 1));
}

}  // namespace
}  // namespace kpw
