#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/AsciiText.h"

namespace kpw {

// The run of decimal digits at the start of the trimmed text ("" if none).
// A favourites entry begins with its index.
std::string LeadingDigits(std::string_view text);

// The trimmed text without its leading digits and the blanks and tabs after
// them: the remark of a favourites entry.
std::string TextAfterLeadingDigits(std::string_view text);

// The value of a run of digits, accumulated from the left and stopping before
// the digit that would pass 2147483647: never overflows, so a run of up to
// nine digits is taken whole.
int32_t DigitRunValue(std::string_view digits);

// The text as a complete decimal integer with an optional sign, or nothing
// when it is not one or does not fit 32 bits.
std::optional<int32_t> ReadInteger(std::string_view text);

}  // namespace kpw
