#pragma once

namespace kpw::texts {

// The flag pictures of the language list, 16 x 16 pixels in XPM form: a
// header line "width height colours 1", one line per colour, then the rows
// from the top. The bottom-left pixel is silver, which drawing treats as
// transparent.
extern const char* const BANNER0[];  // English
extern const char* const BANNER1[];  // German: black, red, gold
inline constexpr int FlagBitmapWidth = 16;
inline constexpr int FlagBitmapHeight = 16;

// BANNER0 or BANNER1; nullptr for any other language.
const char* const* FlagBitmap(int language);

}  // namespace kpw::texts
