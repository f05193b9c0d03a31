#pragma once

#include <cstdint>
#include <optional>
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

}  // namespace kpw
