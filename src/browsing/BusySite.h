#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kpw {

// A site that answers "too many requests" or "try later" has not lost the
// photo: the program waits and asks again instead of skipping it.

// 429 Too Many Requests, 503 Service Unavailable, 509 Bandwidth Limit Exceeded.
bool IsBusyStatus(int httpStatus);

// A Retry-After header as seconds from now: delta-seconds, or an HTTP date
// (IMF-fixdate, the obsolete RFC 850 form or asctime), a date in the past
// giving 0. Nothing for a value that is neither.
std::optional<int64_t> RetryAfterSeconds(std::string_view header, int64_t nowUnixSeconds);

// Retries of one address before the page is left as the site answered.
inline constexpr int MaxBusyRetries = 5;
inline constexpr int64_t MinBusyWaitMs = 1000;
inline constexpr int64_t MaxBusyWaitMs = 120000;

// The wait before retry number retriesDone + 1: what the site asked for, or
// else 2 s doubling with every retry already made; always 1 s to 120 s.
int64_t BusyWaitMs(int retriesDone, std::optional<int64_t> retryAfterSeconds);

// The whole seconds a countdown shows for the time left, rounded up.
int64_t CountdownSeconds(int64_t remainingMs);

// What the navigator keeps about waiting and pacing. Times are ClockPort::NowMs.
struct RequestPacing {
    // The program starts no request of its own before this time: the site
    // asked it to wait.
    int64_t ResumeAtMs = 0;
    // When the last request went out, the user's or the program's.
    std::optional<int64_t> LastRequestAtMs;
    // The visible view's address last answered busy, the status it was
    // answered with and the retries made for it so far; RetryPending while a
    // retry of it waits for ResumeAtMs.
    std::string RetryURL;
    int RetryStatus = 0;
    int RetriesDone = 0;
    bool RetryPending = false;
    // Busy answers to the hidden view's preload in a row.
    int PreloadRetriesDone = 0;
    // A step of the skip chain held back by the pacing (empty: none).
    std::string HeldSkipURL;
    // The hidden view's preload is held back by the pacing or a wait.
    bool PreloadHeld = false;
    // A fetch of the preload queue is held back by the pacing or a wait.
    bool QueueHeld = false;
};

}  // namespace kpw
