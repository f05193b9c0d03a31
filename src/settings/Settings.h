#pragma once

#include <cstdint>
#include <string>

namespace kpw {

// The photo site's hosts in the default templates. Both are reserved names,
// so an unconfigured program never reaches anybody's server.
inline constexpr const char* PhotoSiteHost = "www.kelvaro.example";
inline constexpr const char* PhotoSiteStaticHost = "static.kelvaro.example";

inline constexpr int32_t MaxIndex = 2147483647;

// The one record of persisted options and view state. Every field is named
// after its INI key; texts are UTF-8 inside the program. Defaults, bounds and
// the keys' order in the file are those of SettingsTable (SettingsTable.h).
struct Settings {
    Settings();  // every field at its default

    // [General]
    bool SaveSettings{};
    bool WebBrowserVerbose{};
    bool InvertMouseWheel{};
    int32_t NavigateDelayTime{};
    uint8_t Language{};  // a column of the text tables: 0 English, 1 German
    // [MainForm]
    uint8_t WindowState{};  // 0 normal, 1 minimised, 2 maximised
    int32_t Left{};
    int32_t Top{};
    int32_t Width{};
    int32_t Height{};
    // [URL]
    bool AutoSkipURL{};
    int32_t MaxSkippedURLCount{};
    std::string TemplateURL11{};
    std::string TemplateURL12{};
    std::string TemplateURL13{};
    std::string TemplateURL14{};
    std::string TemplateURL20{};
    std::string TemplateURL30{};
    int32_t URLIndex{};   // display mode: 1 photo only, 2 photo + info, 3 user page
    int32_t PhotoSize{};  // 1..4, selects TemplateURL11..TemplateURL14
    // The least milliseconds between two requests the program starts by
    // itself (skip chain steps, preloads); 0 paces nothing.
    int32_t MinRequestInterval{};
    // How many pages ahead are fetched in the direction of travel, the hidden
    // view's neighbour included; 1 preloads the neighbour alone.
    int32_t PreloadDepth{};
    // A step onto a photo already found missing goes on to the next one not
    // known missing, without loading the missing ones again.
    bool SkipKnownMissing{};
    // HTTP 404 and 410 mean a missing photo, whatever the page says.
    bool MissingByStatus{};
    // A photo address sent on to a picture other photos are sent to is missing.
    bool MissingByPlaceholder{};
    // How long a page on view may take to write its error after the load.
    int32_t MissingTextWaitMs{};
    // [Page]
    int32_t PhotoIndex{};
    int32_t UserIndex{};
    // [Favorites]
    int32_t MaxFavoriteCount{};
    // [Photo]
    // Where Save photo puts its files; blank means the default folder.
    std::string SaveFolder{};
    // Seconds each photo of the slideshow stays after its page completed.
    int32_t SlideshowInterval{};

    bool operator==(const Settings&) const = default;
};

// low when value < low, else high when value > high, else value.
constexpr int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

struct IntegerBounds {
    int32_t Low{};
    int32_t High{};
};

}  // namespace kpw
