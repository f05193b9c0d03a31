#include "browsing/IndexText.h"

#include <limits>

namespace kpw {

std::string LeadingDigits(std::string_view text) {
    const std::string_view trimmed = TrimAscii(text);
    return std::string(trimmed.substr(0, CountLeadingDigits(trimmed)));
}

std::string TextAfterLeadingDigits(std::string_view text) {
    const std::string_view trimmed = TrimAscii(text);
    size_t pos = CountLeadingDigits(trimmed);
    while (pos < trimmed.size() && (trimmed[pos] == ' ' || trimmed[pos] == '\t')) ++pos;
    return std::string(trimmed.substr(pos));
}

int32_t DigitRunValue(std::string_view digits) {
    constexpr int32_t max = std::numeric_limits<int32_t>::max();
    int32_t value = 0;
    for (char c : digits) {
        if (!IsAsciiDigit(c)) break;
        const int digit = c - '0';
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
    return DigitsValue(text, 10, negative);
}

}  // namespace kpw
