#include "browsing/IndexField.h"

#include "settings/AsciiText.h"
#include "settings/Settings.h"

namespace kpw {

bool IndexFieldAdmits(char typed, char decimalPoint) {
    return static_cast<unsigned char>(typed) < 32 || IsAsciiDigit(typed) || typed == '+' ||
           typed == '-' || typed == decimalPoint;
}

std::optional<int32_t> IndexFieldValueOnExit(std::string_view text, int32_t minimum,
                                             int32_t maximum) {
    text = TrimAscii(text);
    const bool negative = text.starts_with('-');
    if (negative || text.starts_with('+')) text.remove_prefix(1);
    if (text.empty() || CountLeadingDigits(text) != text.size()) return std::nullopt;
    while (text.size() > 1 && text.front() == '0') text.remove_prefix(1);
    // More than ten digits lie beyond any 32-bit bound.
    const std::optional<uint64_t> magnitude =
        text.size() > 10 ? std::nullopt : DigitsMagnitude(text, 10, UINT64_MAX);
    const int64_t value = !magnitude ? (negative ? INT64_MIN : INT64_MAX)
                          : negative ? -static_cast<int64_t>(*magnitude)
                                     : static_cast<int64_t>(*magnitude);
    if (value < minimum) return minimum;
    if (value > maximum) return maximum;
    return std::nullopt;
}

}  // namespace kpw
