#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kpw {

// The integer syntax of the settings dialog's number fields: optional leading
// blanks, an optional sign, then decimal digits, or hexadecimal digits after a
// "$", "x" or "0x" prefix (either letter case), and nothing after the digits.
// The signed value must lie in the 32-bit range; so "$80000000" is refused
// while "-$80000000" is the lowest value. Anything else, the empty text
// included, is not an integer.
std::optional<int32_t> ParseInteger(std::string_view text);

}  // namespace kpw
