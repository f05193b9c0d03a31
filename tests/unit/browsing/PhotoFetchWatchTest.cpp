// The rules of a photo fetch: the size cap, the waits of the cache and the
// site, what the user's going on changes, and the messages of each end.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "browsing/PhotoFetchWatch.h"
#include "browsing/PhotoFiles.h"
#include "texts/Texts.h"

namespace kpw {
namespace {

constexpr std::int64_t Start = 1'000'000;
constexpr std::uint64_t Cap = 200ull * 1024 * 1024;

// A fetch that the cache could not serve: it is on the site, asked at Start.
PhotoFetchWatch OnSite(FetchLimits limits = {}) {
    PhotoFetchWatch watch(limits, Start);
    EXPECT_EQ(watch.CacheMissed(Start), FetchOrder::AskSite);
    return watch;
}

// What the site announces and how many bytes it then sends, step by step.
struct CapCase {
    const char* name;
    std::optional<std::uint64_t> announced;
    std::vector<std::uint64_t> arrivals;  // bytes in all after each step
    bool refused;
    // Bytes that had arrived when it was refused: the refusal comes at once.
    std::uint64_t receivedWhenRefused;
};

class CapTest : public ::testing::TestWithParam<CapCase> {};

TEST_P(CapTest, RefusedAsSoonAsTheSizeIsKnownToPassTheCap) {
    const CapCase& c = GetParam();
    PhotoFetchWatch watch = OnSite();
    FetchOrder order = watch.Answered(Start + 10, c.announced);
    std::int64_t now = Start + 10;
    for (const std::uint64_t bytes : c.arrivals) {
        if (order == FetchOrder::Stop) break;
        order = watch.Received(now += 10, bytes);
    }
    EXPECT_EQ(order == FetchOrder::Stop, c.refused);
    if (!c.refused) return;
    EXPECT_EQ(watch.StoppedFor(), FetchStop::TooLarge);
    EXPECT_EQ(watch.ReceivedBytes(), c.receivedWhenRefused);
    EXPECT_EQ(watch.NextCheckMs(), std::nullopt);
    // Nothing brings it back.
    EXPECT_EQ(watch.Received(now + 10, 10), FetchOrder::Stop);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, CapTest,
    ::testing::Values(
        CapCase{"AnnouncedOver", Cap + 1, {1024, 4096}, true, 0},
        CapCase{"AnnouncedFarOver", 500ull << 20, {}, true, 0},
        CapCase{"AnnouncedAtTheCap", Cap, {Cap / 2, Cap}, false, 0},
        CapCase{"UnannouncedAtTheCap", std::nullopt, {Cap / 2, Cap}, false, 0},
        CapCase{"UnannouncedPastTheCap",
                std::nullopt,
                {Cap / 2, Cap, Cap + 65536, Cap * 2},
                true,
                Cap + 65536},
        CapCase{"AnnouncedSmallSentLarge", 1000, {1000, Cap + 1, Cap + 2}, true, Cap + 1}),
    [](const ::testing::TestParamInfo<CapCase>& param) { return std::string(param.param.name); });

TEST(PhotoFetchWatch, ASilentCacheIsPassedByForTheSiteButACachedAnswerIsKept) {
    const FetchLimits limits;
    PhotoFetchWatch silent(limits, Start);
    EXPECT_EQ(silent.Route(), FetchRoute::Cache);
    EXPECT_EQ(silent.NextCheckMs(), Start + limits.CacheWaitMs);
    EXPECT_EQ(silent.Check(Start + limits.CacheWaitMs - 1), FetchOrder::GoOn);
    EXPECT_EQ(silent.Check(Start + limits.CacheWaitMs), FetchOrder::AskSite);
    EXPECT_EQ(silent.Route(), FetchRoute::Site);
    // The site has its own, longer wait from the moment it was asked.
    EXPECT_EQ(silent.NextCheckMs(), Start + limits.CacheWaitMs + limits.AnswerTimeoutMs);

    // A cache that stops half way is passed by too, and the site's bytes
    // count from nothing.
    PhotoFetchWatch halfway(limits, Start);
    EXPECT_EQ(halfway.Answered(Start + 5, 5000), FetchOrder::GoOn);
    EXPECT_EQ(halfway.Received(Start + 10, 2000), FetchOrder::GoOn);
    EXPECT_EQ(halfway.Check(Start + 10 + limits.CacheWaitMs), FetchOrder::AskSite);
    EXPECT_EQ(halfway.ReceivedBytes(), 0u);
    EXPECT_EQ(halfway.TotalBytes(), std::nullopt);

    // A miss asks the site at once, and only once.
    PhotoFetchWatch missed(limits, Start);
    EXPECT_EQ(missed.CacheMissed(Start + 20), FetchOrder::AskSite);
    EXPECT_EQ(missed.CacheMissed(Start + 30), FetchOrder::GoOn);
    EXPECT_EQ(missed.NextCheckMs(), Start + 20 + limits.AnswerTimeoutMs);
}

TEST(PhotoFetchWatch, ASiteThatNeverAnswersEndsAtTheAnswerTimeout) {
    const FetchLimits limits;
    PhotoFetchWatch watch = OnSite(limits);
    EXPECT_EQ(watch.Check(Start + limits.AnswerTimeoutMs - 1), FetchOrder::GoOn);
    EXPECT_EQ(watch.Check(Start + limits.AnswerTimeoutMs), FetchOrder::Stop);
    EXPECT_EQ(watch.StoppedFor(), FetchStop::NoAnswer);
}

TEST(PhotoFetchWatch, BytesKeepASlowFetchGoingAndTheirEndStopsIt) {
    const FetchLimits limits;
    PhotoFetchWatch watch = OnSite(limits);
    std::int64_t now = Start;
    ASSERT_EQ(watch.Answered(now += 1000, std::nullopt), FetchOrder::GoOn);
    // A byte now and then, each just inside the stall allowance, for minutes.
    for (std::uint64_t bytes = 1; bytes <= 10; ++bytes) {
        now += limits.StallTimeoutMs - 1;
        ASSERT_EQ(watch.Check(now), FetchOrder::GoOn) << bytes;
        ASSERT_EQ(watch.Received(now, bytes * 100), FetchOrder::GoOn);
    }
    // The same count again is no progress.
    EXPECT_EQ(watch.Received(now + 1000, 1000), FetchOrder::GoOn);
    EXPECT_EQ(watch.NextCheckMs(), now + limits.StallTimeoutMs);
    EXPECT_EQ(watch.Check(now + limits.StallTimeoutMs), FetchOrder::Stop);
    EXPECT_EQ(watch.StoppedFor(), FetchStop::Stalled);
}

// The user goes on from the photo while it is fetched.
struct LeaveCase {
    const char* name;
    bool answered;
    std::int64_t lastByteBeforeLeaveMs;   // how long before the step the last byte came
    std::int64_t bytesAfterLeaveEveryMs;  // 0: none come after the step
    std::optional<FetchStop> stop;        // how it ends within a minute
    std::int64_t endsAfterLeaveMs;        // when, after the step
};

class LeaveTest : public ::testing::TestWithParam<LeaveCase> {};

TEST_P(LeaveTest, AFetchWhoseBytesHaveStoppedEndsSoonOnceItsPhotoIsLeft) {
    const LeaveCase& c = GetParam();
    const FetchLimits limits;
    PhotoFetchWatch watch = OnSite(limits);
    const std::int64_t leave = Start + 40000;
    if (c.answered) {
        ASSERT_EQ(watch.Answered(Start + 100, 1'000'000), FetchOrder::GoOn);
        // Bytes up to the last one before the step, every second.
        std::uint64_t bytes = 0;
        for (std::int64_t at = Start + 1000; at <= leave - c.lastByteBeforeLeaveMs; at += 1000)
            ASSERT_EQ(watch.Received(at, bytes += 100), FetchOrder::GoOn);
    }
    std::optional<std::int64_t> endedAt;
    if (watch.Left(leave) == FetchOrder::Stop) endedAt = leave;
    EXPECT_TRUE(watch.IsLeft());
    std::uint64_t bytes = watch.ReceivedBytes();
    for (std::int64_t now = leave + 1; !endedAt && now <= leave + 60000; ++now) {
        if (c.bytesAfterLeaveEveryMs > 0 && (now - leave) % c.bytesAfterLeaveEveryMs == 0)
            watch.Received(now, bytes += 100);
        if (watch.Check(now) == FetchOrder::Stop) endedAt = now;
    }
    EXPECT_EQ(watch.StoppedFor(), c.stop);
    if (c.stop) {
        ASSERT_TRUE(endedAt);
        EXPECT_EQ(*endedAt - leave, c.endsAfterLeaveMs);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, LeaveTest,
    ::testing::Values(
        // Silent for longer than a left fetch may be: it ends at the step.
        LeaveCase{"SilentLongBeforeTheStep", true, 10000, 0, FetchStop::LeftStalled, 0},
        // Its last byte came a moment ago: it gets the short allowance from there.
        LeaveCase{"SilentSinceAMoment", true, 1000, 0, FetchStop::LeftStalled, 2000},
        // Bytes keep coming after the step: it goes on to its end.
        LeaveCase{"StillArriving", true, 0, 500, std::nullopt, 0},
        // No answer yet: the short allowance counts from the site's asking.
        LeaveCase{"NeverAnswered", false, 0, 0, FetchStop::NoAnswer, 0}),
    [](const ::testing::TestParamInfo<LeaveCase>& param) { return std::string(param.param.name); });

TEST(PhotoFetchWatch, TheOwnersEndAndTheBytesJudgementStopItForGood) {
    for (const FetchStop why : {FetchStop::ViewGone, FetchStop::Cancelled}) {
        PhotoFetchWatch watch = OnSite();
        EXPECT_EQ(watch.End(why), FetchOrder::Stop);
        EXPECT_EQ(watch.StoppedFor(), why);
        // The first reason stays.
        EXPECT_EQ(watch.End(FetchStop::Cancelled), FetchOrder::Stop);
        EXPECT_EQ(watch.StoppedFor(), why);
        EXPECT_EQ(watch.Answered(Start + 1, 10), FetchOrder::Stop);
        EXPECT_EQ(watch.Check(Start + 100000), FetchOrder::Stop);
        EXPECT_EQ(watch.CacheMissed(Start + 2), FetchOrder::Stop);
    }
    PhotoFetchWatch picture = OnSite();
    EXPECT_EQ(picture.Judged(true), FetchOrder::GoOn);
    EXPECT_EQ(picture.StoppedFor(), std::nullopt);
    PhotoFetchWatch page = OnSite();
    EXPECT_EQ(page.Judged(false), FetchOrder::Stop);
    EXPECT_EQ(page.StoppedFor(), FetchStop::NotAPicture);
}

// The whole message of each end, as the user reads it, in both languages.
struct MessageCase {
    FetchStop stop;
    const char* contentType;
    const char* english;
    const char* german;
};

class StopMessageTest : public ::testing::TestWithParam<MessageCase> {};

TEST_P(StopMessageTest, EachEndSaysWhyInBothLanguages) {
    const MessageCase& c = GetParam();
    const std::string where = "http://127.0.0.1/photos/medium/5.jpg";
    for (const int language : {texts::English, texts::German}) {
        const std::string message =
            PhotoFailureMessage(FailureOfStop(c.stop), language, where,
                                DetailOfStop(c.stop, language, MaxPhotoBytes, c.contentType));
        EXPECT_EQ(message, language == texts::English ? c.english : c.german);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Stops, StopMessageTest,
    ::testing::Values(
        MessageCase{FetchStop::TooLarge, "", "The photo was not saved: it is larger than 200 MB.",
                    "Das Photo wurde nicht gespeichert: es ist größer als 200 MB."},
        MessageCase{FetchStop::NoAnswer, "",
                    "The photo could not be fetched from http://127.0.0.1/photos/medium/5.jpg "
                    "(the site did not answer in time).",
                    "Das Photo konnte nicht von http://127.0.0.1/photos/medium/5.jpg geholt "
                    "werden (die Seite antwortete nicht rechtzeitig)."},
        MessageCase{FetchStop::LeftStalled, "",
                    "The photo could not be fetched from http://127.0.0.1/photos/medium/5.jpg "
                    "(it had stopped arriving when another photo was shown).",
                    "Das Photo konnte nicht von http://127.0.0.1/photos/medium/5.jpg geholt "
                    "werden (es kam nicht mehr an, als ein anderes Photo gezeigt wurde)."},
        MessageCase{FetchStop::NotAPicture, "text/html",
                    "The photo was not saved: the site did not answer with a picture (text/html).",
                    "Das Photo wurde nicht gespeichert: die Seite lieferte kein Bild (text/html)."},
        MessageCase{FetchStop::NotAPicture, "",
                    "The photo was not saved: the site did not answer with a picture (its bytes "
                    "are no picture).",
                    "Das Photo wurde nicht gespeichert: die Seite lieferte kein Bild (seine Bytes "
                    "sind kein Bild)."}));

TEST(PhotoFetchWatch, MegabytesAreWholeAndRoundedUp) {
    EXPECT_EQ(MegabytesText(MaxPhotoBytes), "200 MB");
    EXPECT_EQ(MegabytesText(MaxPhotoBytes + 1), "201 MB");
    EXPECT_EQ(MegabytesText(1), "1 MB");
    EXPECT_EQ(MegabytesText(0), "0 MB");
}

}  // namespace
}  // namespace kpw
