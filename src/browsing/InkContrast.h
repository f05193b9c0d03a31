#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// How well a colour stands out from another, by the relative luminance of
// the web's accessibility guidelines, and the choice of the colour a picture
// is drawn in so that it stands out from every background it is shown on.
namespace kpw {

struct Rgb {
    uint8_t R = 0;
    uint8_t G = 0;
    uint8_t B = 0;
    bool operator==(const Rgb&) const = default;
};

// What the guidelines ask of text and of the marks that carry meaning.
inline constexpr double LegibleContrast = 4.5;

// 0 for black to 1 for white, from the linearised sRGB channels.
double RelativeLuminance(Rgb colour);

// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black on
// white; the same either way round.
double ContrastRatio(Rgb a, Rgb b);

// The lowest contrast of the colour against any of the backgrounds.
double WorstContrast(Rgb colour, const std::vector<Rgb>& backgrounds);

// The position of the first candidate that reaches LegibleContrast against
// every background; when none does, the one that comes nearest. The
// candidates must not be empty.
size_t LegibleInk(const std::vector<Rgb>& candidates, const std::vector<Rgb>& backgrounds);

// The colour itself when it reaches LegibleContrast against every
// background; else the least lightened or darkened shade of it that does,
// or, when no shade does, the one that comes nearest (white or black).
Rgb LegibleShade(Rgb colour, const std::vector<Rgb>& backgrounds);

}  // namespace kpw
