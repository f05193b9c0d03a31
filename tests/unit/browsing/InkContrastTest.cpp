// The contrast of colours by the accessibility guidelines' relative
// luminance, and the choice of colours that stand out.
#include <gtest/gtest.h>

#include <vector>

#include "browsing/InkContrast.h"

namespace kpw {
namespace {

constexpr Rgb Black{0, 0, 0};
constexpr Rgb White{255, 255, 255};
// The grounds of a light and of a dark palette, and a checked button on each.
constexpr Rgb LightGround{0xef, 0xef, 0xef};
constexpr Rgb LightChecked{0xd9, 0xd9, 0xd9};
constexpr Rgb DarkGround{0x35, 0x35, 0x35};
constexpr Rgb DarkChecked{0x2a, 0x2a, 0x2a};
constexpr Rgb Navy{0x1f, 0x3a, 0x93};

TEST(InkContrast, TheGuidelinesEndsAndSymmetry) {
    EXPECT_DOUBLE_EQ(RelativeLuminance(Black), 0.0);
    EXPECT_DOUBLE_EQ(RelativeLuminance(White), 1.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Black, White), 21.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Navy, Navy), 1.0);
    EXPECT_DOUBLE_EQ(ContrastRatio(Navy, DarkGround), ContrastRatio(DarkGround, Navy));
    // Green counts most, blue least, as the eye sees them.
    EXPECT_GT(RelativeLuminance({0, 255, 0}), RelativeLuminance({255, 0, 0}));
    EXPECT_GT(RelativeLuminance({255, 0, 0}), RelativeLuminance({0, 0, 255}));
}

TEST(InkContrast, TheLightestGreyLegibleOnWhiteIsSeventySixHex) {
    // The well-known boundary of 4.5:1 on white.
    EXPECT_GE(ContrastRatio({0x76, 0x76, 0x76}, White), LegibleContrast);
    EXPECT_LT(ContrastRatio({0x77, 0x77, 0x77}, White), LegibleContrast);
}

TEST(InkContrast, WorstContrastIsTheWeakestBackground) {
    EXPECT_DOUBLE_EQ(WorstContrast(White, {Black, DarkGround, LightGround}),
                     ContrastRatio(White, LightGround));
}

TEST(InkContrast, TheFirstLegibleCandidateWinsElseTheNearest) {
    const std::vector<Rgb> light{LightGround, LightChecked};
    const std::vector<Rgb> dark{DarkGround, DarkChecked};
    const Rgb highlight{0x2a, 0x82, 0xda};
    // The design's navy stands out on light grey; on dark grey only white does.
    EXPECT_EQ(LegibleInk({Navy, highlight, White}, light), 0u);
    EXPECT_EQ(LegibleInk({Navy, highlight, White}, dark), 2u);
    // None reaches 4.5 on both grounds at once: the nearest is taken.
    const std::vector<Rgb> both{LightGround, DarkGround};
    const size_t nearest = LegibleInk({Navy, highlight, White}, both);
    for (const Rgb& other : {Navy, highlight, White})
        EXPECT_GE(WorstContrast(std::vector<Rgb>{Navy, highlight, White}[nearest], both),
                  WorstContrast(other, both));
}

TEST(InkContrast, ShadesAreLegibleAndOnlyAsFarFromTheDesignAsNeeded) {
    const std::vector<std::vector<Rgb>> grounds = {
        {LightGround, LightChecked}, {DarkGround, DarkChecked}, {{0x77, 0x77, 0x77}}};
    const std::vector<Rgb> designs = {{0x3c, 0x9a, 0x3c},
                                      {0xc8, 0x20, 0x20},
                                      {0x9a, 0x6a, 0x00},
                                      {0x70, 0x78, 0x84},
                                      Navy,
                                      White};
    for (const std::vector<Rgb>& backgrounds : grounds) {
        for (const Rgb& design : designs) {
            const Rgb shade = LegibleShade(design, backgrounds);
            EXPECT_GE(WorstContrast(shade, backgrounds), LegibleContrast)
                << int(design.R) << "," << int(design.G) << "," << int(design.B) << " on "
                << int(backgrounds[0].R);
            if (WorstContrast(design, backgrounds) >= LegibleContrast) {
                EXPECT_EQ(shade, design);
            }
        }
    }
    // Lighter on dark grounds, darker on light ones.
    const Rgb green{0x3c, 0x9a, 0x3c};
    EXPECT_GT(RelativeLuminance(LegibleShade(green, {DarkGround})), RelativeLuminance(green));
    EXPECT_LT(RelativeLuminance(LegibleShade(green, {LightGround})), RelativeLuminance(green));
}

TEST(InkContrast, WhereNoShadeReachesItTheNearestEndIsTaken) {
    // White, mid grey and near black together: nothing reaches 4.5 against
    // all three, and black comes nearer than white, which vanishes on white.
    const std::vector<Rgb> backgrounds{White, {0x77, 0x77, 0x77}, {0x20, 0x20, 0x20}};
    EXPECT_EQ(LegibleShade({0x3c, 0x9a, 0x3c}, backgrounds), Black);
}

}  // namespace
}  // namespace kpw
