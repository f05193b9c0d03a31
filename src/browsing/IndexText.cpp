#include "browsing/IndexText.h"

#include <algorithm>
#include <limits>

namespace kpw {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

bool IsTrimmed(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

char LowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualNoCase(char a, char b) {
    return LowerAscii(a) == LowerAscii(b);
}

}  // namespace

std::string TrimText(std::string_view text) {
    size_t first = 0;
    size_t last = text.size();
    while (first < last && IsTrimmed(text[first])) ++first;
    while (last > first && IsTrimmed(text[last - 1])) --last;
    return std::string(text.substr(first, last - first));
}

size_t CountLeadingDigits(std::string_view text) {
    size_t count = 0;
    while (count < text.size() && IsDigit(text[count])) ++count;
    return count;
}

std::string LeadingDigits(std::string_view text) {
    std::string trimmed = TrimText(text);
    return trimmed.substr(0, CountLeadingDigits(trimmed));
}

std::string TextAfterLeadingDigits(std::string_view text) {
    std::string trimmed = TrimText(text);
    size_t pos = CountLeadingDigits(trimmed);
    while (pos < trimmed.size() && (trimmed[pos] == ' ' || trimmed[pos] == '\t')) ++pos;
    return trimmed.substr(pos);
}

int32_t DigitRunValue(std::string_view digits) {
    constexpr int32_t max = std::numeric_limits<int32_t>::max();
    int32_t value = 0;
    for (char c : digits) {
        if (!IsDigit(c)) break;
        int digit = c - '0';
        if (value > (max - digit) / 10) break;
        value = value * 10 + digit;
    }
    return value;
}

std::optional<int32_t> ReadInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text[0] == '+' || text[0] == '-')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || CountLeadingDigits(text) != text.size()) return std::nullopt;
    int64_t value = 0;
    for (char c : text) {
        value = value * 10 + (c - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) return std::nullopt;
    }
    if (negative) value = -value;
    if (value < std::numeric_limits<int32_t>::min() || value > std::numeric_limits<int32_t>::max())
        return std::nullopt;
    return static_cast<int32_t>(value);
}

bool SameTextNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), EqualNoCase);
}

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameTextNoCase(text.substr(0, prefix.size()), prefix);
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
    return std::search(text.begin(), text.end(), word.begin(), word.end(), EqualNoCase) !=
           text.end();
}

}  // namespace kpw
