#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "settings/Settings.h"

namespace kpw {

// The field of Settings that one INI key holds.
using SettingMember = std::variant<bool Settings::*, uint8_t Settings::*, int32_t Settings::*,
                                   std::string Settings::*>;

// A visitor made of lambdas, one for each kind of SettingMember.
template <typename... Ts>
struct Overloaded : Ts... {
    using Ts::operator()...;
};
// Older compilers deduce aggregate templates only with a guide.
template <typename... Ts>
Overloaded(Ts...) -> Overloaded<Ts...>;

// One persisted setting: where it stands in the INI file, its field, its
// default, the bounds loading brings it into, and the tag of the settings
// dialog's field that edits it (0 for none).
struct SettingRow {
    std::string_view Section;
    std::string_view Key;
    SettingMember Member;
    int32_t Default = 0;                // switches and numbers
    std::string_view DefaultText = {};  // texts
    std::optional<IntegerBounds> Bounds = std::nullopt;
    int DialogTag = 0;
};

// Every persisted setting, in the order the file holds them. Left and Top
// have no fixed bounds: loading keeps them on the work area (SettingsStore).
inline constexpr std::array<SettingRow, 31> SettingsTable{{
    {"General", "SaveSettings", &Settings::SaveSettings, 1},
    {"General", "WebBrowserVerbose", &Settings::WebBrowserVerbose, 0},
    {"General", "InvertMouseWheel", &Settings::InvertMouseWheel, 0},
    {"General",
     "NavigateDelayTime",
     &Settings::NavigateDelayTime,
     1000,
     {},
     IntegerBounds{100, 5000},
     2},
    {"General", "Language", &Settings::Language, 0, {}, IntegerBounds{0, 1}},
    {"MainForm", "WindowState", &Settings::WindowState, 0, {}, IntegerBounds{0, 2}},
    {"MainForm", "Left", &Settings::Left, 24},
    {"MainForm", "Top", &Settings::Top, 24},
    {"MainForm", "Width", &Settings::Width, 550},
    {"MainForm", "Height", &Settings::Height, 600},
    {"URL", "AutoSkipURL", &Settings::AutoSkipURL, 1},
    {"URL",
     "MaxSkippedURLCount",
     &Settings::MaxSkippedURLCount,
     100,
     {},
     IntegerBounds{0, 1000},
     1},
    {"URL", "TemplateURL11", &Settings::TemplateURL11, 0,
     "http://www.kelvaro.example/photos/thumbnail/*.jpg", std::nullopt, 11},
    {"URL", "TemplateURL12", &Settings::TemplateURL12, 0,
     "http://www.kelvaro.example/photos/small/*.jpg", std::nullopt, 12},
    {"URL", "TemplateURL13", &Settings::TemplateURL13, 0,
     "http://www.kelvaro.example/photos/medium/*.jpg", std::nullopt, 13},
    {"URL", "TemplateURL14", &Settings::TemplateURL14, 0,
     "http://static.kelvaro.example/photos/original/*.jpg", std::nullopt, 14},
    {"URL", "TemplateURL20", &Settings::TemplateURL20, 0, "http://www.kelvaro.example/photo/*",
     std::nullopt, 20},
    {"URL", "TemplateURL30", &Settings::TemplateURL30, 0, "http://www.kelvaro.example/user/*",
     std::nullopt, 30},
    {"URL", "URLIndex", &Settings::URLIndex, 1, {}, IntegerBounds{1, 3}},
    {"URL", "PhotoSize", &Settings::PhotoSize, 3, {}, IntegerBounds{1, 4}},
    {"URL",
     "MinRequestInterval",
     &Settings::MinRequestInterval,
     0,
     {},
     IntegerBounds{0, 10000},
     40},
    {"URL", "PreloadDepth", &Settings::PreloadDepth, 4, {}, IntegerBounds{1, 16}, 41},
    {"URL", "SkipKnownMissing", &Settings::SkipKnownMissing, 1, {}, std::nullopt, 42},
    {"URL", "MissingByStatus", &Settings::MissingByStatus, 1, {}, std::nullopt},
    {"URL", "MissingByPlaceholder", &Settings::MissingByPlaceholder, 1, {}, std::nullopt},
    {"URL", "MissingTextWaitMs", &Settings::MissingTextWaitMs, 500, {}, IntegerBounds{0, 3000}},
    {"Page", "PhotoIndex", &Settings::PhotoIndex, 1, {}, IntegerBounds{1, MaxIndex}},
    {"Page", "UserIndex", &Settings::UserIndex, 1, {}, IntegerBounds{1, MaxIndex}},
    {"Favorites", "MaxFavoriteCount", &Settings::MaxFavoriteCount, 16, {}, IntegerBounds{8, 64}, 3},
    {"Photo", "SaveFolder", &Settings::SaveFolder, 0, "", std::nullopt, 50},
    {"Photo", "SlideshowInterval", &Settings::SlideshowInterval, 5, {}, IntegerBounds{1, 3600}, 51},
}};

// The row of a key; naming a key that is not in the table fails to compile
// where it is used in a constant expression.
constexpr const SettingRow& SettingNamed(std::string_view key) {
    for (const SettingRow& row : SettingsTable) {
        if (row.Key == key) return row;
    }
    throw "no such setting";
}

constexpr IntegerBounds BoundsOf(std::string_view key) {
    return SettingNamed(key).Bounds.value();
}

// The row whose dialog field carries this tag; nullptr for other tags.
constexpr const SettingRow* SettingWithTag(int tag) {
    for (const SettingRow& row : SettingsTable) {
        if (tag != 0 && row.DialogTag == tag) return &row;
    }
    return nullptr;
}

// The tags of the six URL templates in the order of the dialog's rows:
// the four photo sizes, the information page, the user page.
inline constexpr std::array<int, 6> TemplateTags{11, 12, 13, 14, 20, 30};

// The template with this tag; std::out_of_range for other tags.
std::string& TemplateOf(Settings& settings, int tag);
const std::string& TemplateOf(const Settings& settings, int tag);

// The value a row's default gives, as the INI file would hold it.
std::string_view DefaultTemplate(int tag);

}  // namespace kpw
