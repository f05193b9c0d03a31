#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace kpw {

// The rules of the index field (SpinEditPageIndex) that its widget carries
// out: which typed characters it takes, and what it does with a number beyond
// its bounds when the keyboard focus leaves it.

// Control characters (the field's own editing keys), digits, the signs and
// the locale's decimal point pass to the field; anything else is refused with
// a beep. The field itself ignores a decimal point without a beep.
bool IndexFieldAdmits(char typed, char decimalPoint);

// The value the field takes when the focus leaves it holding text: the
// nearest bound for a whole number beyond the bounds, however long; nothing
// when the field keeps what it holds (a number within the bounds, or text
// that is no number, which the field replaces by its last value itself).
std::optional<int32_t> IndexFieldValueOnExit(std::string_view text, int32_t minimum,
                                             int32_t maximum);

}  // namespace kpw
