#pragma once

#include <cstdint>

#include "settings/Settings.h"

namespace kpw {

// The three display modes; the numbers are the stored URLIndex values and the
// tags of the mode buttons.
enum class DisplayMode : int32_t {
    Photo = 1,             // the bare photo in the chosen size
    PhotoInformation = 2,  // the photo's information page
    UserPage = 3,
};

// The mode of a stored URLIndex, out-of-range numbers brought to the nearest.
constexpr DisplayMode ModeOf(int32_t urlIndex) {
    return static_cast<DisplayMode>(Clamp(urlIndex, 1, 3));
}

constexpr int32_t ModeNumber(DisplayMode mode) {
    return static_cast<int32_t>(mode);
}

}  // namespace kpw
