#include "browsing/InkContrast.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace kpw {

namespace {

double Linear(uint8_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

uint8_t Mixed(uint8_t from, uint8_t to, int step, int steps) {
    return static_cast<uint8_t>(
        std::lround(from + (to - from) * static_cast<double>(step) / steps));
}

Rgb MixedTowards(Rgb colour, Rgb target, int step, int steps) {
    return {Mixed(colour.R, target.R, step, steps), Mixed(colour.G, target.G, step, steps),
            Mixed(colour.B, target.B, step, steps)};
}

}  // namespace

double RelativeLuminance(Rgb colour) {
    return 0.2126 * Linear(colour.R) + 0.7152 * Linear(colour.G) + 0.0722 * Linear(colour.B);
}

double ContrastRatio(Rgb a, Rgb b) {
    const double la = RelativeLuminance(a);
    const double lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

double WorstContrast(Rgb colour, const std::vector<Rgb>& backgrounds) {
    double worst = std::numeric_limits<double>::infinity();
    for (const Rgb& background : backgrounds)
        worst = std::min(worst, ContrastRatio(colour, background));
    return worst;
}

size_t LegibleInk(const std::vector<Rgb>& candidates, const std::vector<Rgb>& backgrounds) {
    size_t best = 0;
    double bestContrast = -1;
    for (size_t i = 0; i < candidates.size(); ++i) {
        const double contrast = WorstContrast(candidates[i], backgrounds);
        if (contrast >= LegibleContrast) return i;
        if (contrast > bestContrast) {
            best = i;
            bestContrast = contrast;
        }
    }
    return best;
}

Rgb LegibleShade(Rgb colour, const std::vector<Rgb>& backgrounds) {
    if (WorstContrast(colour, backgrounds) >= LegibleContrast) return colour;
    // Step by step towards white and towards black; the first shade that
    // reaches the contrast changes the colour least.
    constexpr int Steps = 20;
    const Rgb white{255, 255, 255};
    const Rgb black{0, 0, 0};
    for (int step = 1; step <= Steps; ++step) {
        const Rgb lighter = MixedTowards(colour, white, step, Steps);
        const Rgb darker = MixedTowards(colour, black, step, Steps);
        const double lighterContrast = WorstContrast(lighter, backgrounds);
        const double darkerContrast = WorstContrast(darker, backgrounds);
        if (std::max(lighterContrast, darkerContrast) >= LegibleContrast)
            return lighterContrast >= darkerContrast ? lighter : darker;
    }
    return WorstContrast(white, backgrounds) >= WorstContrast(black, backgrounds) ? white : black;
}

}  // namespace kpw
