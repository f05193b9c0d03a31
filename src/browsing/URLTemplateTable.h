#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/SettingsTable.h"

namespace kpw {

inline constexpr char TemplatePlaceholder = '*';
inline constexpr const char* StatisticsSuffix = "/stats";

// The template with its first '*' replaced by the index in decimal; further
// '*' stay, and a template without '*' comes back unchanged.
std::string PutIndexIntoTemplate(std::string_view urlTemplate, int32_t index);
// The text before the first '*'; empty when there is none.
std::string TemplatePrefix(std::string_view urlTemplate);

// The fifteen address strings of the main window. The six templates are the
// fields of Settings itself (slots 1 to 4, 10 and 11), so the settings dialog
// and the INI file see the same text; the other slots are derived from them,
// except slot 0, the address preloaded in the hidden view.
class URLTemplateTable {
public:
    enum Slot : int {
        NextURL = 0,
        TemplateURL11 = 1,
        TemplateURL12 = 2,
        TemplateURL13 = 3,
        TemplateURL14 = 4,
        TemplatePrefix11 = 5,
        TemplatePrefix12 = 6,
        TemplatePrefix13 = 7,
        TemplatePrefix14 = 8,
        PhotoTemplate = 9,
        TemplateURL20 = 10,
        TemplateURL30 = 11,
        ModePrefix1 = 12,
        ModePrefix2 = 13,
        ModePrefix3 = 14,
    };
    static constexpr int SlotCount = 15;

    explicit URLTemplateTable(Settings& settings) : settings_(settings) {}
    URLTemplateTable(const URLTemplateTable&) = delete;
    URLTemplateTable& operator=(const URLTemplateTable&) = delete;

    // Slot 0..14; anything else is out of range (std::out_of_range).
    std::string& operator[](int slot);
    const std::string& operator[](int slot) const;

    // Slots by display mode 1..3 and photo size 1..4; out-of-range numbers
    // are brought to the nearest valid one.
    static int ModeTemplateSlot(int mode) { return 8 + ClampMode(mode); }
    static int ModePrefixSlot(int mode) { return 11 + ClampMode(mode); }
    static int SizeTemplateSlot(int size) { return ClampSize(size); }
    static int SizePrefixSlot(int size) { return 4 + ClampSize(size); }
    const std::string& ModeTemplate(int mode) const { return (*this)[ModeTemplateSlot(mode)]; }
    const std::string& ModePrefix(int mode) const { return (*this)[ModePrefixSlot(mode)]; }

    // Prefixes of the size templates, PhotoTemplate for the current PhotoSize,
    // and the mode prefixes.
    void RefreshURLTemplateTable();
    // PhotoTemplate and ModePrefix1 for the current PhotoSize, the prefix as
    // it was when the prefixes were last computed.
    void SelectPhotoTemplate();

private:
    static int ClampMode(int mode) { return Clamp(mode, BoundsOf("URLIndex")); }
    static int ClampSize(int size) { return Clamp(size, BoundsOf("PhotoSize")); }

    Settings& settings_;
    std::array<std::string, SlotCount> derived_;
};

}  // namespace kpw
