#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kpw {

// One favourites entry: the index text, three blanks, the remark. Read back
// with LeadingDigits (index text) and TextAfterLeadingDigits (remark).
using FavoriteEntry = std::string;

inline constexpr std::string_view FavoriteSeparator = "   ";
// The input dialog's limit, in characters.
inline constexpr size_t MaxRemarkLength = 255;

// The text cut to at most maxCharacters UTF-8 characters, never inside one.
std::string LimitCharacters(std::string_view text, size_t maxCharacters);

// A remark as typed, made fit for an entry: at most MaxRemarkLength
// characters, none cut short at the end, control characters inside turned
// into blanks (an entry is one line), characters of code 32 and below
// removed at both ends.
std::string CleanRemark(std::string_view remark);

FavoriteEntry MakeFavoriteEntry(std::string_view indexText, std::string_view remark);

}  // namespace kpw
