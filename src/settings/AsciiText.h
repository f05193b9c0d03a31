#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kpw {

// ASCII text and number helpers shared by the INI file, the number fields,
// the index field and the page analysis. Addresses, keys and numbers are
// ASCII; other bytes pass through every function here unchanged.

constexpr char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

constexpr bool IsAsciiDigit(char c) {
    return c >= '0' && c <= '9';
}

// Blanks and control characters, the bytes trimmed off texts.
constexpr bool IsBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

// The value of c as a digit of base 10 or 16 (either letter case), -1 when
// it is not one.
constexpr int DigitValue(char c, int base) {
    int value = -1;
    if (IsAsciiDigit(c)) {
        value = c - '0';
    } else if (c >= 'a' && c <= 'f') {
        value = c - 'a' + 10;
    } else if (c >= 'A' && c <= 'F') {
        value = c - 'A' + 10;
    }
    return value < base ? value : -1;
}

// Without leading and trailing blanks and control characters.
std::string_view TrimAscii(std::string_view text);

bool EqualsIgnoringCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringCase(std::string_view text, std::string_view prefix);
bool ContainsIgnoringCase(std::string_view text, std::string_view word);

// Number of decimal digits at the start of text.
size_t CountLeadingDigits(std::string_view text);

// The value of a whole run of digits in base 10 or 16: nothing when the run
// is empty, holds anything but digits, or passes limit.
std::optional<uint64_t> DigitsMagnitude(std::string_view digits, int base, uint64_t limit);

// The signed 32-bit value of a whole run of digits in base 10 or 16, negated
// when negative is set: nothing when the run is empty, holds anything but
// digits, or does not fit (so "-2147483648" fits and "2147483648" does not).
std::optional<int32_t> DigitsValue(std::string_view digits, int base, bool negative);

}  // namespace kpw
