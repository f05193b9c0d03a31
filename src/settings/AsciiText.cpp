#include "settings/AsciiText.h"

#include <algorithm>

namespace kpw {

namespace {

bool EqualNoCase(char a, char b) {
    return LowerAscii(a) == LowerAscii(b);
}

}  // namespace

std::string_view TrimAscii(std::string_view text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlankOrControl(text[begin])) ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), EqualNoCase);
}

bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           EqualsIgnoringCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsIgnoringCase(std::string_view text, std::string_view word) {
    return std::search(text.begin(), text.end(), word.begin(), word.end(), EqualNoCase) !=
           text.end();
}

size_t CountLeadingDigits(std::string_view text) {
    size_t count = 0;
    while (count < text.size() && IsAsciiDigit(text[count])) ++count;
    return count;
}

std::optional<uint64_t> DigitsMagnitude(std::string_view digits, int base, uint64_t limit) {
    if (digits.empty()) return std::nullopt;
    uint64_t magnitude = 0;
    for (char c : digits) {
        const int digit = DigitValue(c, base);
        if (digit < 0) return std::nullopt;
        magnitude = magnitude * static_cast<uint64_t>(base) + static_cast<uint64_t>(digit);
        if (magnitude > limit) return std::nullopt;
    }
    return magnitude;
}

std::optional<int32_t> DigitsValue(std::string_view digits, int base, bool negative) {
    // One more for the negative side, so that the lowest value fits.
    const uint64_t limit = uint64_t{INT32_MAX} + (negative ? 1 : 0);
    const std::optional<uint64_t> magnitude = DigitsMagnitude(digits, base, limit);
    if (!magnitude) return std::nullopt;
    const auto value = static_cast<int64_t>(*magnitude);
    return static_cast<int32_t>(negative ? -value : value);
}

}  // namespace kpw
