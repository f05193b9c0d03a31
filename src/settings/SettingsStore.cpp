#include "settings/SettingsStore.h"

#include <exception>
#include <filesystem>
#include <limits>
#include <map>
#include <string_view>

#include "settings/AsciiText.h"
#include "settings/FileAccess.h"
#include "settings/IniDocument.h"
#include "settings/SettingsTable.h"
#include "settings/TextEncoding.h"

namespace kpw {

namespace fs = std::filesystem;

namespace {

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

// A row's value from the file, or its default. Numbers keep what the file
// says until LoadSettings brings them into bounds; bytes are bounded at once.
void ReadSetting(const IniDocument& ini, const SettingRow& row, Settings& settings) {
    std::visit(
        Overloaded{
            [&](bool Settings::*member) {
                settings.*member = ini.ReadBool(row.Section, row.Key, row.Default.Number != 0);
            },
            [&](uint8_t Settings::*member) {
                const int32_t value = ini.ReadInteger(row.Section, row.Key, row.Default.Number);
                settings.*member = static_cast<uint8_t>(Clamp(value, *row.Bounds));
            },
            [&](int32_t Settings::*member) {
                settings.*member = ini.ReadInteger(row.Section, row.Key, row.Default.Number);
            },
            [&](std::string Settings::*member) {
                settings.*member =
                    ini.ReadString(row.Section, row.Key, std::string(row.Default.Text));
            },
        },
        row.Member);
}

bool IsAtDefault(const SettingRow& row, const Settings& settings) {
    return std::visit(
        Overloaded{
            [&](bool Settings::*member) {
                return (settings.*member ? 1 : 0) == row.Default.Number;
            },
            [&](uint8_t Settings::*member) { return settings.*member == row.Default.Number; },
            [&](int32_t Settings::*member) { return settings.*member == row.Default.Number; },
            [&](std::string Settings::*member) { return settings.*member == row.Default.Text; },
        },
        row.Member);
}

void WriteSetting(IniDocument& ini, const SettingRow& row, const Settings& settings) {
    if (row.Dialog.WrittenOnceSet && IsAtDefault(row, settings) &&
        !ini.ReadValue(row.Section, row.Key))
        return;
    std::visit(
        Overloaded{
            [&](bool Settings::*member) { ini.WriteBool(row.Section, row.Key, settings.*member); },
            [&](uint8_t Settings::*member) {
                ini.WriteInteger(row.Section, row.Key, settings.*member);
            },
            [&](int32_t Settings::*member) {
                ini.WriteInteger(row.Section, row.Key, settings.*member);
            },
            [&](std::string Settings::*member) {
                ini.WriteString(row.Section, row.Key, settings.*member);
            },
        },
        row.Member);
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
    for (const SettingRow& row : SettingsTable) ReadSetting(ini, row, settings);

    // The stored count, before its bounds: a list saved under a larger bound
    // comes back whole.
    ReadFavorites(ini, FavoritePhoto, settings.MaxFavoriteCount, favoritePhotos);
    ReadFavorites(ini, FavoriteUser, settings.MaxFavoriteCount, favoriteUsers);

    for (const SettingRow& row : SettingsTable) {
        const auto* member = std::get_if<int32_t Settings::*>(&row.Member);
        if (member && row.Bounds) settings.** member = Clamp(settings.**member, *row.Bounds);
    }
    settings.Left = Clamp(settings.Left, Saturated(int64_t{100} - settings.Width),
                          Saturated(int64_t{workArea.Width} - 40));
    settings.Top = Clamp(settings.Top, Saturated(int64_t{100} - settings.Height),
                         Saturated(int64_t{workArea.Height} - 40));
}

std::optional<std::string> StoreSettings(const std::string& iniFileName, const Settings& settings,
                                         WindowBounds bounds,
                                         const std::vector<std::string>& favoritePhotos,
                                         const std::vector<std::string>& favoriteUsers) {
    try {
        // Writing over a file that could not be read would throw away
        // everything this run does not write itself.
        const FileReadResult existing = ReadWholeFile(iniFileName, settings.Language);
        if (existing.Status == FileReadStatus::Failed) return existing.Error;
        IniDocument ini = ReadDocument(existing);

        // The window's bounds as it closes, not as it opened.
        Settings stored = settings;
        stored.Left = bounds.Left;
        stored.Top = bounds.Top;
        stored.Width = bounds.Width;
        stored.Height = bounds.Height;
        // Switched off, the file keeps everything but the switch itself.
        for (const SettingRow& row : SettingsTable) {
            if (settings.SaveSettings || row.Key == "SaveSettings") WriteSetting(ini, row, stored);
        }
        if (settings.SaveSettings) {
            WriteFavorites(ini, FavoritePhoto, favoritePhotos, settings.MaxFavoriteCount);
            WriteFavorites(ini, FavoriteUser, favoriteUsers, settings.MaxFavoriteCount);
        }
        return ReplaceFileAtomically(iniFileName, EncodeIniText(ini.Serialize()),
                                     settings.Language);
    } catch (const std::exception& failure) {
        return std::string(failure.what());
    }
}

uint8_t StoredLanguage(const std::string& exeName, const std::string& appData) {
    Settings settings;
    std::vector<std::string> favoritePhotos;
    std::vector<std::string> favoriteUsers;
    // The window's bounds are of no concern here.
    LoadSettings(LocateSettingsFile(exeName, appData).IniFileName, settings, favoritePhotos,
                 favoriteUsers, WorkArea{1024, 768});
    return settings.Language;
}

}  // namespace kpw
