#include "browsing/BusySite.h"

#include <algorithm>
#include <array>
#include <vector>

#include "browsing/BrowserView.h"
#include "settings/AsciiText.h"

namespace kpw {

namespace {

// Days from 1970-01-01 to a date of the proleptic Gregorian calendar.
int64_t DaysFromCivil(int64_t year, int month, int day) {
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yearOfEra = year - era * 400;
    const int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

std::optional<int> MonthNumber(std::string_view name) {
    static constexpr std::array<std::string_view, 12> Months{
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    for (size_t i = 0; i < Months.size(); ++i) {
        if (EqualsIgnoringCase(name, Months[i])) return static_cast<int>(i) + 1;
    }
    return std::nullopt;
}

std::optional<int64_t> Number(std::string_view digits, size_t minLength, size_t maxLength) {
    if (digits.size() < minLength || digits.size() > maxLength ||
        CountLeadingDigits(digits) != digits.size())
        return std::nullopt;
    return static_cast<int64_t>(*DigitsMagnitude(digits, 10, 9999));
}

// The words of a date, split at blanks, commas, dashes and colons.
std::vector<std::string_view> DateWords(std::string_view text) {
    std::vector<std::string_view> words;
    size_t start = 0;
    for (size_t i = 0; i <= text.size(); ++i) {
        const bool separator = i == text.size() || text[i] == ' ' || text[i] == ',' ||
                               text[i] == '-' || text[i] == ':';
        if (!separator) continue;
        if (i > start) words.push_back(text.substr(start, i - start));
        start = i + 1;
    }
    return words;
}

// An HTTP date as seconds since 1970, in any of its three forms:
//   Sun, 06 Nov 1994 08:49:37 GMT      (IMF-fixdate)
//   Sunday, 06-Nov-94 08:49:37 GMT     (RFC 850)
//   Sun Nov  6 08:49:37 1994           (asctime)
std::optional<int64_t> HttpDateSeconds(std::string_view text) {
    const std::vector<std::string_view> w = DateWords(text);
    if (w.size() < 7) return std::nullopt;
    std::optional<int64_t> day, year, hour, minute, second;
    std::optional<int> month;
    if (w.size() == 8 && EqualsIgnoringCase(w[7], "GMT")) {
        day = Number(w[1], 1, 2);
        month = MonthNumber(w[2]);
        year = Number(w[3], 2, 4);
        hour = Number(w[4], 2, 2);
        minute = Number(w[5], 2, 2);
        second = Number(w[6], 2, 2);
        // Two-digit years of the RFC 850 form: 70..99 are the 1900s.
        if (year && w[3].size() == 2) *year += *year >= 70 ? 1900 : 2000;
    } else if (w.size() == 7) {
        month = MonthNumber(w[1]);
        day = Number(w[2], 1, 2);
        hour = Number(w[3], 2, 2);
        minute = Number(w[4], 2, 2);
        second = Number(w[5], 2, 2);
        year = Number(w[6], 4, 4);
    }
    if (!day || !month || !year || !hour || !minute || !second) return std::nullopt;
    if (*day < 1 || *day > 31 || *hour > 23 || *minute > 59 || *second > 60) return std::nullopt;
    return DaysFromCivil(*year, *month, static_cast<int>(*day)) * 86400 + *hour * 3600 +
           *minute * 60 + *second;
}

}  // namespace

bool IsBusyStatus(int httpStatus) {
    return httpStatus == 429 || httpStatus == 503 || httpStatus == 509;
}

bool IsGatewayFailureStatus(int httpStatus) {
    return httpStatus == 502 || httpStatus == 504 || (httpStatus >= 520 && httpStatus <= 524);
}

bool IsClosedWithoutAnswer(int netError) {
    // ERR_EMPTY_RESPONSE, ERR_CONNECTION_CLOSED, ERR_CONNECTION_RESET, and
    // ERR_SOCKET_NOT_CONNECTED for a connection closed as it was taken.
    return netError == -324 || netError == -100 || netError == -101 || netError == -15;
}

BusyKind BusyKindOf(int httpStatus, bool closedWithoutAnswer) {
    if (IsBusyStatus(httpStatus)) return BusyKind::Busy;
    if (IsGatewayFailureStatus(httpStatus)) return BusyKind::Gateway;
    // No status at all: the engine's own page stands for the missing answer.
    if (httpStatus == 0 && closedWithoutAnswer) return BusyKind::NoAnswer;
    return BusyKind::None;
}

BusyKind BusyKindOf(const DocumentContent& content) {
    return BusyKindOf(content.HttpStatus, content.ClosedWithoutAnswer);
}

std::optional<int64_t> RetryAfterSeconds(std::string_view header, int64_t nowUnixSeconds) {
    const std::string_view value = TrimAscii(header);
    if (value.empty()) return std::nullopt;
    if (CountLeadingDigits(value) == value.size()) {
        // A count beyond a day means "much later"; the wait is capped anyway.
        const std::optional<uint64_t> seconds = DigitsMagnitude(value, 10, 86400);
        return seconds ? static_cast<int64_t>(*seconds) : 86400;
    }
    const std::optional<int64_t> date = HttpDateSeconds(value);
    if (!date) return std::nullopt;
    return std::clamp<int64_t>(*date - nowUnixSeconds, 0, 86400);
}

int64_t BusyWaitMs(int retriesDone, std::optional<int64_t> retryAfterSeconds) {
    int64_t wait = 0;
    if (retryAfterSeconds) {
        wait = std::min<int64_t>(*retryAfterSeconds, MaxBusyWaitMs / 1000) * 1000;
    } else {
        wait = int64_t{2000} << std::clamp(retriesDone, 0, 16);
    }
    return std::clamp(wait, MinBusyWaitMs, MaxBusyWaitMs);
}

int64_t CountdownSeconds(int64_t remainingMs) {
    return remainingMs <= 0 ? 0 : (remainingMs + 999) / 1000;
}

}  // namespace kpw
