#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "settings/Settings.h"
#include "texts/Text.h"

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

// A setting's default: a number (switches 0 or 1) or a text.
struct SettingDefault {
    int32_t Number = 0;
    std::string_view Text = {};

    constexpr SettingDefault(int32_t number) : Number(number) {}
    constexpr SettingDefault(bool on) : Number(on ? 1 : 0) {}
    constexpr SettingDefault(const char* text) : Text(text) {}
};

// Where the settings dialog edits a setting: the tag of its field (0 for
// none), the unit shown beside a number field and, for the group of further
// options, the row and its texts. Units are SI symbols ("ms", "s"), written
// alike in both languages.
struct SettingDialogPlace {
    int Tag = 0;
    int MoreOptionsRow = -1;  // -1: not in the "More options" group
    texts::Text Label{.En = "", .De = ""};
    texts::Text Hint{.En = "", .De = ""};
    std::string_view Unit = {};
    // Written to the file only once it differs from its default or the file
    // already holds it, so a feature never used leaves the file as it was.
    bool WrittenOnceSet = false;
};

inline constexpr std::optional<IntegerBounds> Unbounded = std::nullopt;

constexpr std::optional<IntegerBounds> Between(int32_t low, int32_t high) {
    return IntegerBounds{low, high};
}

inline constexpr SettingDialogPlace NoDialogTag{};

constexpr SettingDialogPlace DialogTag(int tag, std::string_view unit = {}) {
    return {.Tag = tag, .Unit = unit};
}

// A row of the dialog's "More options" group; the hint may show the bounds
// as %1 and %2.
constexpr SettingDialogPlace MoreOptions(int tag, int row, texts::Text label, texts::Text hint,
                                         std::string_view unit = {}) {
    return {.Tag = tag, .MoreOptionsRow = row, .Label = label, .Hint = hint, .Unit = unit};
}

// The same place, for a setting the file holds only once it is set.
constexpr SettingDialogPlace WrittenOnceSet(SettingDialogPlace place) {
    place.WrittenOnceSet = true;
    return place;
}

// One persisted setting: where it stands in the INI file, its field, its
// default, the bounds loading brings it into, and its place in the dialog.
struct SettingRow {
    std::string_view Section;
    std::string_view Key;
    SettingMember Member;
    SettingDefault Default;
    std::optional<IntegerBounds> Bounds;
    SettingDialogPlace Dialog;
};

// Every persisted setting, in the order the file holds them (SettingsList.inc).
inline constexpr auto SettingsTable = std::to_array<SettingRow>({
#define KPW_SETTING(section, key, type, value, bounds, dialog) \
    {#section, #key, &Settings::key, SettingDefault(value), bounds, dialog},
#include "settings/SettingsList.inc"
#undef KPW_SETTING
});

// The row of a key; naming a key that is not in the table fails to compile
// where it is used in a constant expression.
constexpr const SettingRow& SettingNamed(std::string_view key) {
    for (const SettingRow& row : SettingsTable) {
        if (row.Key == key) return row;
    }
    throw "no such setting";
}

// The bounds of a key, worked out as the program compiles, so a key that is
// not in the table or has no bounds stops the build.
consteval IntegerBounds BoundsOf(std::string_view key) {
    return SettingNamed(key).Bounds.value();
}

// The row whose dialog field carries this tag; nullptr for other tags.
constexpr const SettingRow* SettingWithTag(int tag) {
    for (const SettingRow& row : SettingsTable) {
        if (tag != 0 && row.Dialog.Tag == tag) return &row;
    }
    return nullptr;
}

// The tags of the "More options" fields whose settings are of this type,
// in the order of the table.
template <typename Field>
constexpr auto MoreOptionsTags() {
    constexpr auto isMore = [](const SettingRow& row) {
        return row.Dialog.MoreOptionsRow >= 0 &&
               std::holds_alternative<Field Settings::*>(row.Member);
    };
    constexpr size_t count = [isMore] {
        size_t n = 0;
        for (const SettingRow& row : SettingsTable) n += isMore(row) ? 1 : 0;
        return n;
    }();
    std::array<int, count> tags{};
    size_t next = 0;
    for (const SettingRow& row : SettingsTable) {
        if (isMore(row)) tags[next++] = row.Dialog.Tag;
    }
    return tags;
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
