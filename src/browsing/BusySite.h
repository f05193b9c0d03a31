#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kpw {

struct DocumentContent;

// A site that answers "too many requests" or "try later" has not lost the
// photo: the program waits and asks again instead of skipping it. Neither has
// one whose gateway or upstream failed: a proxy's or CDN's error page says
// nothing about the photo, whatever words it holds.

// 429 Too Many Requests, 503 Service Unavailable, 509 Bandwidth Limit Exceeded.
bool IsBusyStatus(int httpStatus);
// 502 Bad Gateway, 504 Gateway Timeout and the CDN's 520 to 524 (unknown
// error, web server down, connection timed out, origin unreachable, timeout).
bool IsGatewayFailureStatus(int httpStatus);

// The browser engine's network error for a connection that closed before
// any answer: an empty response, a closed or a reset connection.
bool IsClosedWithoutAnswer(int netError);

// What an answer that is not about the photo is: the site asks to wait, its
// gateway failed, or the connection closed without an answer.
enum class BusyKind { None, Busy, Gateway, NoAnswer };
BusyKind BusyKindOf(int httpStatus, bool closedWithoutAnswer);
BusyKind BusyKindOf(const DocumentContent& content);
// An answer to wait for and ask again, never a missing photo.
inline bool IsBusyAnswer(const DocumentContent& content) {
    return BusyKindOf(content) != BusyKind::None;
}

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
