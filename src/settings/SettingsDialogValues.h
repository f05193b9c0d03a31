#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "settings/Settings.h"
#include "settings/SettingsTable.h"

namespace kpw {

// The rules of the settings dialog, apart from its widgets: what its fields
// show when it opens, what a number field does when it loses the focus, and
// what OK writes back into Settings.

// The number fields carry these tags.
inline constexpr int MaxSkippedURLCountTag = SettingNamed("MaxSkippedURLCount").Dialog.Tag;
inline constexpr int NavigateDelayTimeTag = SettingNamed("NavigateDelayTime").Dialog.Tag;
inline constexpr int MaxFavoriteCountTag = SettingNamed("MaxFavoriteCount").Dialog.Tag;

inline constexpr IntegerBounds MaxSkippedURLCountBounds = BoundsOf("MaxSkippedURLCount");
inline constexpr IntegerBounds NavigateDelayTimeBounds = BoundsOf("NavigateDelayTime");
inline constexpr IntegerBounds MaxFavoriteCountBounds = BoundsOf("MaxFavoriteCount");

// The number fields and the check boxes of the "More options" group, in the
// order of the table; each comes from its line in SettingsList.inc.
inline constexpr auto MoreNumberTags = MoreOptionsTags<int32_t>();
inline constexpr auto MoreSwitchTags = MoreOptionsTags<bool>();

// The caption and the hint of the "More options" field with this tag, the
// hint with its setting's bounds filled in; empty for other tags.
std::string MoreOptionsLabel(int tag, int language);
std::string MoreOptionsHint(int tag, int language);

// The bounds of the number field with this tag; nullptr for other tags.
const IntegerBounds* SpinFieldBounds(int tag);

// The default template that the restore button with this tag (11..14, 20,
// 30) puts into its field; nothing for other tags.
std::optional<std::string> DefaultTemplateForTag(int tag);

// What the thirteen fields of the dialog hold; the numbers as the texts the
// fields show, since the user may type anything into them.
struct SettingsDialogFields {
    int Language = 0;  // the selected item of the language list
    std::array<std::string, TemplateTags.size()> Templates;  // in the order of TemplateTags
    std::string MaxSkippedURLCount;
    std::string NavigateDelayTime;
    std::string MaxFavoriteCount;
    bool WebBrowserVerbose = false;
    bool InvertMouseWheel = false;
    bool SaveSettings = true;
    std::array<std::string, MoreNumberTags.size()> MoreNumbers;  // in the order of MoreNumberTags
    std::array<bool, MoreSwitchTags.size()> MoreSwitches{};      // in the order of MoreSwitchTags
    std::string SaveFolder;                                      // blank: the default folder

    // The number field of the "More options" group with this tag;
    // std::out_of_range for other tags.
    std::string& MoreNumber(int tag);
    const std::string& MoreNumber(int tag) const;
    // The check box of the "More options" group with this tag;
    // std::out_of_range for other tags.
    bool& MoreSwitch(int tag);
    bool MoreSwitch(int tag) const;

    // The template field with this tag (11..14, 20, 30); std::out_of_range
    // for other tags.
    std::string& Template(int tag);
    const std::string& Template(int tag) const;
};

// What a number field shows once it has lost the focus.
struct SpinFieldExit {
    bool Beep = false;  // the text was not an integer
    std::string Text;
};

class SettingsDialogValues {
public:
    // Remembers the three numbers as the values at open and returns what the
    // fields show: the numbers brought into their bounds, the rest as it is.
    SettingsDialogFields Open(const Settings& settings);

    // The number field with this tag loses the focus holding text: a text that
    // is not an integer beeps and brings back the value at open; then the
    // number is brought into the field's bounds.
    SpinFieldExit SpinEditExit(int tag, const std::string& text) const;

    int32_t ValueAtOpen(int tag) const;

    // OK: the fields into the thirteen settings; nothing else is touched.
    static void ReadBack(const SettingsDialogFields& fields, Settings& settings);

    // "Restore all defaults" of the "More options" group: each of its fields
    // shows its setting's default; the fields above keep what they show.
    static void RestoreMoreOptionsDefaults(SettingsDialogFields& fields);

private:
    // Until the first opening, the layout's values.
    int32_t maxSkippedURLCountAtOpen_ = 100;
    int32_t navigateDelayTimeAtOpen_ = 1000;
    int32_t maxFavoriteCountAtOpen_ = 64;
    std::array<int32_t, MoreNumberTags.size()> moreNumbersAtOpen_{};
};

// How many entries each favourites list has, or how many of them a bound
// hides.
struct FavoriteListLengths {
    size_t Photos = 0;
    size_t Users = 0;
    bool operator==(const FavoriteListLengths&) const = default;
};

// The entries that the bound typed into the favourites field hides from the
// next start on: those past it in each list. They stay in the settings
// file and are listed again once the bound is raised.
FavoriteListLengths FavoritesHiddenBy(const std::string& maxFavoriteCountText,
                                      FavoriteListLengths lengths);

// The question OK asks before it hides entries, in a language: how many of
// which list, and that a larger bound brings them back. Empty when nothing
// is hidden.
std::string FavoritesHiddenQuestion(FavoriteListLengths hidden,
                                    const std::string& maxFavoriteCountText, int language);

// A number field's value as OK reads it: the text brought into the bounds,
// the lower bound for a text that is not an integer.
int32_t SpinFieldValue(const std::string& text, IntegerBounds bounds);

// The value an arrow step of `steps` (negative: down) gives, from the field's
// value as SpinFieldValue reads it, kept within the bounds.
int32_t SpinFieldStep(const std::string& text, int steps, IntegerBounds bounds);

}  // namespace kpw
