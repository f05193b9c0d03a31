#pragma once

#include <cstdint>
#include <string>

namespace kpw {

// The photo site's hosts in the default templates. Both are reserved names,
// so an unconfigured program never reaches anybody's server.
inline constexpr const char* PhotoSiteHost = "www.kelvaro.example";
inline constexpr const char* PhotoSiteStaticHost = "static.kelvaro.example";

inline const std::string DefaultTemplateURL11 =
    std::string("http://") + PhotoSiteHost + "/photos/thumbnail/*.jpg";
inline const std::string DefaultTemplateURL12 =
    std::string("http://") + PhotoSiteHost + "/photos/small/*.jpg";
inline const std::string DefaultTemplateURL13 =
    std::string("http://") + PhotoSiteHost + "/photos/medium/*.jpg";
inline const std::string DefaultTemplateURL14 =
    std::string("http://") + PhotoSiteStaticHost + "/photos/original/*.jpg";
inline const std::string DefaultTemplateURL20 = std::string("http://") + PhotoSiteHost + "/photo/*";
inline const std::string DefaultTemplateURL30 = std::string("http://") + PhotoSiteHost + "/user/*";

inline constexpr int32_t MaxIndex = 2147483647;

// The one record of persisted options and view state. Every field is named
// after its INI key; texts are UTF-8 inside the program.
struct Settings {
    // [General]
    bool SaveSettings = true;
    bool WebBrowserVerbose = false;
    bool InvertMouseWheel = false;
    int32_t NavigateDelayTime = 1000;
    uint8_t Language = 0;
    // [MainForm]
    uint8_t WindowState = 0;  // 0 normal, 1 minimised, 2 maximised
    int32_t Left = 24;
    int32_t Top = 24;
    int32_t Width = 550;
    int32_t Height = 600;
    // [URL]
    bool AutoSkipURL = true;
    int32_t MaxSkippedURLCount = 100;
    std::string TemplateURL11 = DefaultTemplateURL11;
    std::string TemplateURL12 = DefaultTemplateURL12;
    std::string TemplateURL13 = DefaultTemplateURL13;
    std::string TemplateURL14 = DefaultTemplateURL14;
    std::string TemplateURL20 = DefaultTemplateURL20;
    std::string TemplateURL30 = DefaultTemplateURL30;
    int32_t URLIndex = 1;   // display mode: 1 photo only, 2 photo + info, 3 user page
    int32_t PhotoSize = 3;  // 1..4, selects TemplateURL11..TemplateURL14
    // [Page]
    int32_t PhotoIndex = 1;
    int32_t UserIndex = 1;
    // [Favorites]
    int32_t MaxFavoriteCount = 16;

    bool operator==(const Settings&) const = default;
};

// low when value < low, else high when value > high, else value.
constexpr int32_t Clamp(int32_t value, int32_t low, int32_t high) {
    return value < low ? low : (value > high ? high : value);
}

}  // namespace kpw
