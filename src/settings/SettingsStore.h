#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "settings/Settings.h"

namespace kpw {

// Where the settings file lives. Folders end in "/".
struct SettingsLocation {
    std::string ExeName;           // full path of the executable
    std::string ExeDir;            // its folder; also where the help files are
    std::string ExeStem;           // its file name without the last extension
    std::string LocalIniFileName;  // the file beside the executable
    bool UseAppDataFolder = false;
    std::string SettingsDir;  // the folder of the file in use
    std::string IniFileName;  // the file in use
};

// exeName: full path of the executable. appData: the application-data
// folder; blank or empty means the file beside the executable is used.
// Otherwise the file is appData/Zentrafold/<stem>/<stem>.ini, its folder
// created when missing; a file beside the executable is copied there once,
// when the per-user file does not exist yet.
SettingsLocation LocateSettingsFile(const std::string& exeName, const std::string& appData);

struct WorkArea {
    int32_t Width;
    int32_t Height;
};

// Reads the file into settings and appends the favourites to the two lists,
// which must be empty; then brings the values into their bounds. A missing or
// unreadable file gives the defaults, without a message.
void LoadSettings(const std::string& iniFileName, Settings& settings,
                  std::vector<std::string>& favoritePhotos, std::vector<std::string>& favoriteUsers,
                  WorkArea workArea);

// The program's language as its settings file holds it, located and read
// as at the start (the defaults' language when there is no file). Read
// before the windows and the browser engine exist: the engine takes the
// language of its own pages once, at its start.
uint8_t StoredLanguage(const std::string& exeName, const std::string& appData);

struct WindowBounds {
    int32_t Left;
    int32_t Top;
    int32_t Width;
    int32_t Height;
    bool operator==(const WindowBounds&) const = default;
};

// Writes settings, the window's bounds and the favourites into the file,
// keeping whatever else the file holds; with SaveSettings false only that
// key is written. Nothing on success, otherwise the message for the error
// box; the file is then as it was.
std::optional<std::string> StoreSettings(const std::string& iniFileName, const Settings& settings,
                                         WindowBounds bounds,
                                         const std::vector<std::string>& favoritePhotos,
                                         const std::vector<std::string>& favoriteUsers);

}  // namespace kpw
