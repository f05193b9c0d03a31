#include "settings/SettingsStore.h"

#include <exception>
#include <filesystem>
#include <limits>
#include <map>
#include <string_view>

#include "settings/AsciiText.h"
#include "settings/FileAccess.h"
#include "settings/IniDocument.h"
#include "settings/TextEncoding.h"

namespace kpw {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view General = "General";
constexpr std::string_view MainForm = "MainForm";
constexpr std::string_view URL = "URL";
constexpr std::string_view Page = "Page";
constexpr std::string_view Favorites = "Favorites";
constexpr std::string_view FavoritePhoto = "FavoritePhoto";
constexpr std::string_view FavoriteUser = "FavoriteUser";

std::string Key(std::string_view prefix, int32_t position) {
    return std::string(prefix) + std::to_string(position);
}

// Saturates instead of overflowing for extreme stored sizes.
int32_t Saturated(int64_t value) {
    if (value < std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
    if (value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(value);
}

// n when key is prefix followed by n in decimal without leading zeros.
std::optional<int32_t> FavoritePosition(std::string_view key, std::string_view prefix) {
    if (key.size() <= prefix.size() || !EqualsIgnoringCase(key.substr(0, prefix.size()), prefix))
        return std::nullopt;
    const std::string_view digits = key.substr(prefix.size());
    if (digits[0] < '1' || digits[0] > '9') return std::nullopt;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
    }
    return ParseIniInteger(digits);
}

// The non-empty values of the keys prefix1 to prefix<count>, in that order.
// Walks the keys that exist rather than all numbers up to count, so that a
// huge stored count costs nothing; the first of repeated keys counts, as a
// lookup by name would find it.
void ReadFavorites(const IniDocument& document, std::string_view prefix, int32_t count,
                   std::vector<std::string>& list) {
    const IniDocument::Section* section = document.FindSection(Favorites);
    if (!section || count <= 0) return;
    std::map<int32_t, std::string_view> byPosition;
    for (const IniDocument::Entry& entry : section->Entries) {
        if (!entry.HasValue) continue;
        const std::optional<int32_t> position = FavoritePosition(entry.Key, prefix);
        if (position && *position <= count) byPosition.emplace(*position, entry.Value);
    }
    for (const auto& [position, value] : byPosition) {
        const std::string_view text = TrimAscii(value);
        if (!text.empty()) list.emplace_back(text);
    }
}

void WriteFavorites(IniDocument& document, std::string_view prefix,
                    const std::vector<std::string>& list, int32_t maxCount) {
    int32_t position = 0;
    for (const std::string& entry : list)
        document.WriteString(Favorites, Key(prefix, ++position), entry);
    while (position < maxCount) document.WriteString(Favorites, Key(prefix, ++position), "");
}

IniDocument ReadDocument(const FileReadResult& file) {
    if (file.Status != FileReadStatus::Read) return IniDocument{};
    return IniDocument::Parse(DecodeIniBytes(file.Bytes));
}

}  // namespace

SettingsLocation LocateSettingsFile(const std::string& exeName, const std::string& appData) {
    SettingsLocation location;
    const fs::path exe(exeName);
    location.ExeName = exeName;
    location.ExeDir = exe.has_parent_path() ? exe.parent_path().string() + "/" : std::string();
    location.ExeStem = exe.stem().string();
    location.LocalIniFileName = fs::path(exe).replace_extension(".ini").string();

    location.UseAppDataFolder = !TrimAscii(appData).empty();
    if (location.UseAppDataFolder) {
        location.SettingsDir = appData + "/Zentrafold/" + location.ExeStem;
        std::error_code error;
        if (!fs::exists(location.SettingsDir, error)) {
            fs::create_directories(location.SettingsDir, error);
        }
        location.UseAppDataFolder = fs::is_directory(location.SettingsDir, error);
        if (location.UseAppDataFolder) {
            location.SettingsDir += "/";
            location.IniFileName = location.SettingsDir + location.ExeStem + ".ini";
        }
    }
    if (!location.UseAppDataFolder) {
        location.SettingsDir = location.ExeDir;
        location.IniFileName = location.LocalIniFileName;
    }

    // Take over the file of an installation that kept it beside the program,
    // once; a failed copy just means the defaults apply this time.
    std::error_code error;
    if (location.UseAppDataFolder &&
        fs::path(location.IniFileName).lexically_normal() !=
            fs::path(location.LocalIniFileName).lexically_normal() &&
        !fs::exists(fs::symlink_status(location.IniFileName, error)) &&
        fs::is_regular_file(location.LocalIniFileName, error)) {
        const FileReadResult local = ReadWholeFile(location.LocalIniFileName);
        if (local.Status == FileReadStatus::Read && !fs::exists(location.IniFileName, error)) {
            ReplaceFileAtomically(location.IniFileName, local.Bytes);
        }
    }
    return location;
}

void LoadSettings(const std::string& iniFileName, Settings& settings,
                  std::vector<std::string>& favoritePhotos, std::vector<std::string>& favoriteUsers,
                  WorkArea workArea) {
    // An unreadable file is treated like a missing one: the program starts
    // with its defaults rather than not at all.
    const IniDocument ini = ReadDocument(ReadWholeFile(iniFileName));
    const Settings defaults;

    settings.SaveSettings = ini.ReadBool(General, "SaveSettings", defaults.SaveSettings);
    settings.WebBrowserVerbose =
        ini.ReadBool(General, "WebBrowserVerbose", defaults.WebBrowserVerbose);
    settings.InvertMouseWheel =
        ini.ReadBool(General, "InvertMouseWheel", defaults.InvertMouseWheel);
    settings.NavigateDelayTime =
        ini.ReadInteger(General, "NavigateDelayTime", defaults.NavigateDelayTime);
    const int32_t language = ini.ReadInteger(General, "Language", defaults.Language);

    const int32_t windowState = ini.ReadInteger(MainForm, "WindowState", defaults.WindowState);
    settings.Left = ini.ReadInteger(MainForm, "Left", defaults.Left);
    settings.Top = ini.ReadInteger(MainForm, "Top", defaults.Top);
    settings.Width = ini.ReadInteger(MainForm, "Width", defaults.Width);
    settings.Height = ini.ReadInteger(MainForm, "Height", defaults.Height);

    settings.AutoSkipURL = ini.ReadBool(URL, "AutoSkipURL", defaults.AutoSkipURL);
    settings.MaxSkippedURLCount =
        ini.ReadInteger(URL, "MaxSkippedURLCount", defaults.MaxSkippedURLCount);
    settings.TemplateURL11 = ini.ReadString(URL, "TemplateURL11", defaults.TemplateURL11);
    settings.TemplateURL12 = ini.ReadString(URL, "TemplateURL12", defaults.TemplateURL12);
    settings.TemplateURL13 = ini.ReadString(URL, "TemplateURL13", defaults.TemplateURL13);
    settings.TemplateURL14 = ini.ReadString(URL, "TemplateURL14", defaults.TemplateURL14);
    settings.TemplateURL20 = ini.ReadString(URL, "TemplateURL20", defaults.TemplateURL20);
    settings.TemplateURL30 = ini.ReadString(URL, "TemplateURL30", defaults.TemplateURL30);
    settings.URLIndex = ini.ReadInteger(URL, "URLIndex", defaults.URLIndex);
    settings.PhotoSize = ini.ReadInteger(URL, "PhotoSize", defaults.PhotoSize);

    settings.PhotoIndex = ini.ReadInteger(Page, "PhotoIndex", defaults.PhotoIndex);
    settings.UserIndex = ini.ReadInteger(Page, "UserIndex", defaults.UserIndex);

    settings.MaxFavoriteCount =
        ini.ReadInteger(Favorites, "MaxFavoriteCount", defaults.MaxFavoriteCount);
    // The stored count, before its bounds: a list saved under a larger bound
    // comes back whole.
    ReadFavorites(ini, FavoritePhoto, settings.MaxFavoriteCount, favoritePhotos);
    ReadFavorites(ini, FavoriteUser, settings.MaxFavoriteCount, favoriteUsers);

    settings.WindowState = static_cast<uint8_t>(Clamp(windowState, 0, 2));
    settings.Left = Clamp(settings.Left, Saturated(int64_t{100} - settings.Width),
                          Saturated(int64_t{workArea.Width} - 40));
    settings.Top = Clamp(settings.Top, Saturated(int64_t{100} - settings.Height),
                         Saturated(int64_t{workArea.Height} - 40));
    settings.URLIndex = Clamp(settings.URLIndex, 1, 3);
    settings.PhotoIndex = Clamp(settings.PhotoIndex, 1, MaxIndex);
    settings.UserIndex = Clamp(settings.UserIndex, 1, MaxIndex);
    settings.PhotoSize = Clamp(settings.PhotoSize, 1, 4);
    settings.MaxSkippedURLCount = Clamp(settings.MaxSkippedURLCount, 0, 1000);
    settings.NavigateDelayTime = Clamp(settings.NavigateDelayTime, 100, 5000);
    settings.MaxFavoriteCount = Clamp(settings.MaxFavoriteCount, 8, 64);
    settings.Language = static_cast<uint8_t>(Clamp(language, 0, 1));
}

std::optional<std::string> StoreSettings(const std::string& iniFileName, const Settings& settings,
                                         WindowBounds bounds,
                                         const std::vector<std::string>& favoritePhotos,
                                         const std::vector<std::string>& favoriteUsers) {
    try {
        // Writing over a file that could not be read would throw away
        // everything this run does not write itself.
        const FileReadResult existing = ReadWholeFile(iniFileName);
        if (existing.Status == FileReadStatus::Failed) return existing.Error;
        IniDocument ini = ReadDocument(existing);

        ini.WriteBool(General, "SaveSettings", settings.SaveSettings);
        if (settings.SaveSettings) {
            ini.WriteBool(General, "WebBrowserVerbose", settings.WebBrowserVerbose);
            ini.WriteBool(General, "InvertMouseWheel", settings.InvertMouseWheel);
            ini.WriteInteger(General, "NavigateDelayTime", settings.NavigateDelayTime);
            ini.WriteInteger(General, "Language", settings.Language);

            ini.WriteInteger(MainForm, "WindowState", settings.WindowState);
            ini.WriteInteger(MainForm, "Left", bounds.Left);
            ini.WriteInteger(MainForm, "Top", bounds.Top);
            ini.WriteInteger(MainForm, "Width", bounds.Width);
            ini.WriteInteger(MainForm, "Height", bounds.Height);

            ini.WriteBool(URL, "AutoSkipURL", settings.AutoSkipURL);
            ini.WriteInteger(URL, "MaxSkippedURLCount", settings.MaxSkippedURLCount);
            ini.WriteString(URL, "TemplateURL11", settings.TemplateURL11);
            ini.WriteString(URL, "TemplateURL12", settings.TemplateURL12);
            ini.WriteString(URL, "TemplateURL13", settings.TemplateURL13);
            ini.WriteString(URL, "TemplateURL14", settings.TemplateURL14);
            ini.WriteString(URL, "TemplateURL20", settings.TemplateURL20);
            ini.WriteString(URL, "TemplateURL30", settings.TemplateURL30);
            ini.WriteInteger(URL, "URLIndex", settings.URLIndex);
            ini.WriteInteger(URL, "PhotoSize", settings.PhotoSize);

            ini.WriteInteger(Page, "PhotoIndex", settings.PhotoIndex);
            ini.WriteInteger(Page, "UserIndex", settings.UserIndex);

            ini.WriteInteger(Favorites, "MaxFavoriteCount", settings.MaxFavoriteCount);
            WriteFavorites(ini, FavoritePhoto, favoritePhotos, settings.MaxFavoriteCount);
            WriteFavorites(ini, FavoriteUser, favoriteUsers, settings.MaxFavoriteCount);
        }
        return ReplaceFileAtomically(iniFileName, EncodeIniText(ini.Serialize()));
    } catch (const std::exception& failure) {
        return std::string(failure.what());
    }
}

}  // namespace kpw
