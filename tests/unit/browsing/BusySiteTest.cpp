#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "browsing/BusySite.h"

namespace kpw {
namespace {

TEST(BusyRules, OnlyTooManyRequestsUnavailableAndBandwidthAreBusy) {
    for (int status : {429, 503, 509}) EXPECT_TRUE(IsBusyStatus(status)) << status;
    for (int status : {0, 200, 404, 410, 500, 502, 504})
        EXPECT_FALSE(IsBusyStatus(status)) << status;
}

TEST(BusyRules, OnlyAConnectionClosedBeforeAnyAnswerCountsAsNoAnswer) {
    for (int error : {-324, -100, -101, -15}) EXPECT_TRUE(IsClosedWithoutAnswer(error)) << error;
    // Refused, no such host, timed out: the site is not reached at all.
    for (int error : {0, -102, -105, -118, -7}) EXPECT_FALSE(IsClosedWithoutAnswer(error)) << error;
}

// Sun, 06 Nov 1994 08:49:37 GMT
constexpr int64_t November6th1994 = 784111777;

TEST(BusyRules, RetryAfterTakesSecondsAndAllThreeDateForms) {
    EXPECT_EQ(RetryAfterSeconds("120", 0), 120);
    EXPECT_EQ(RetryAfterSeconds(" 7\t", 0), 7);
    EXPECT_EQ(RetryAfterSeconds("0", 0), 0);
    // Counts past a day, even past any integer, are "a day".
    EXPECT_EQ(RetryAfterSeconds("99999999999999999999999", 0), 86400);

    const int64_t before = November6th1994 - 30;
    EXPECT_EQ(RetryAfterSeconds("Sun, 06 Nov 1994 08:49:37 GMT", before), 30);
    EXPECT_EQ(RetryAfterSeconds("Sunday, 06-Nov-94 08:49:37 GMT", before), 30);
    EXPECT_EQ(RetryAfterSeconds("Sun Nov  6 08:49:37 1994", before), 30);
    EXPECT_EQ(RetryAfterSeconds("sun, 06 nov 1994 08:49:37 gmt", before), 30);
    // The turn of a leap year, far from the epoch.
    EXPECT_EQ(RetryAfterSeconds("Thu, 29 Feb 2024 23:59:59 GMT", 1709251199 - 1), 1);
    // A date in the past asks for no wait at all.
    EXPECT_EQ(RetryAfterSeconds("Sun, 06 Nov 1994 08:49:37 GMT", November6th1994 + 3600), 0);
}

TEST(BusyRules, RetryAfterGarbageIsNothing) {
    for (const char* value : {"", "   ", "soon", "-5", "12abc", "1.5", "Sun, 06 Nov 1994",
                              "Sun, 32 Nov 1994 08:49:37 GMT", "Sun, 06 Foo 1994 08:49:37 GMT",
                              "Sun, 06 Nov 1994 25:49:37 GMT", "Sun, 06 Nov 1994 08:49:37 CET"})
        EXPECT_EQ(RetryAfterSeconds(value, November6th1994), std::nullopt) << '"' << value << '"';
}

TEST(BusyRules, WaitDoublesFromTwoSecondsAndStaysWithinItsBounds) {
    EXPECT_EQ(BusyWaitMs(0, std::nullopt), 2000);
    EXPECT_EQ(BusyWaitMs(1, std::nullopt), 4000);
    EXPECT_EQ(BusyWaitMs(4, std::nullopt), 32000);
    EXPECT_EQ(BusyWaitMs(6, std::nullopt), MaxBusyWaitMs);
    EXPECT_EQ(BusyWaitMs(1000, std::nullopt), MaxBusyWaitMs);
    // What the site asks for replaces the doubling, within the same bounds.
    EXPECT_EQ(BusyWaitMs(3, 30), 30000);
    EXPECT_EQ(BusyWaitMs(0, 0), MinBusyWaitMs);
    EXPECT_EQ(BusyWaitMs(0, 86400), MaxBusyWaitMs);
}

TEST(BusyRules, CountdownRoundsUp) {
    EXPECT_EQ(CountdownSeconds(8000), 8);
    EXPECT_EQ(CountdownSeconds(7001), 8);
    EXPECT_EQ(CountdownSeconds(7000), 7);
    EXPECT_EQ(CountdownSeconds(1), 1);
    EXPECT_EQ(CountdownSeconds(0), 0);
    EXPECT_EQ(CountdownSeconds(-20), 0);
}

}  // namespace
}  // namespace kpw
