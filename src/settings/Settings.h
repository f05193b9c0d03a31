#pragma once

#include <cstdint>
#include <string>

namespace kpw {

// The photo site's hosts in the default templates. Both are reserved names,
// so an unconfigured program never reaches anybody's server.
inline constexpr const char* PhotoSiteHost = "www.kelvaro.example";
inline constexpr const char* PhotoSiteStaticHost = "static.kelvaro.example";

inline constexpr int32_t MaxIndex = 2147483647;

// The one record of persisted options and view state, one field for each
// line of SettingsList.inc, named after its INI key and starting at its
// default. Texts are UTF-8 inside the program. Bounds and the keys' order in
// the file are those of SettingsTable (SettingsTable.h).
// A default of SettingsList.inc as its field's type. Passed through a call,
// an empty text default does not read as a redundant initialisation.
template <typename T>
constexpr T SettingInitial(T value) {
    return value;
}

struct Settings {
#define KPW_SETTING(section, key, type, value, bounds, dialog) \
    type key = SettingInitial<type>(value);
#include "settings/SettingsList.inc"
#undef KPW_SETTING

    bool operator==(const Settings&) const = default;
};

struct IntegerBounds {
    int32_t Low{};
    int32_t High{};
};

// low when value < low, else high when value > high, else value.
constexpr int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

constexpr int32_t Clamp(int32_t value, IntegerBounds bounds) {
    return Clamp(value, bounds.Low, bounds.High);
}

}  // namespace kpw
