#pragma once

#include <cstdint>
#include <string>

namespace kpw::texts {

// Language index: 0 English, 1 German. Texts are UTF-8; multi-line hints
// separate their lines by a single CR.
enum class Language : uint8_t { English = 0, German = 1 };
inline constexpr int English = static_cast<int>(Language::English);
inline constexpr int German = static_cast<int>(Language::German);
inline constexpr int LanguageCount = 2;

// The column of a stored language number: German for German, English for
// anything else.
constexpr int LanguageIndex(int stored) {
    return stored == German ? German : English;
}

inline constexpr const char* ApplicationTitle = " Kelvaro Wizard";
inline constexpr const char* MainCaption = " Kelvaro Photo Wizard";

extern const char* const HelpFileStems[LanguageCount];
extern const char* const LanguageNames[LanguageCount];
// Indexed by display mode 1..3 (row 0 unused), then language.
extern const char* const URLModeNames[4][LanguageCount];
extern const char* const IndexLabels[4][LanguageCount];
extern const char* const RemarkOnPhotoPrompts[LanguageCount];
extern const char* const RemarkOnUserPrompts[LanguageCount];
// Shown when the help file cannot be opened; %1 stands for its path.
extern const char* const HelpFileMissingMessages[LanguageCount];

// The main window's hints in one language.
struct MainFormTexts {
    const char* PhotoSize1;
    const char* PhotoSize2;
    const char* PhotoSize3;
    const char* PhotoSize4;
    const char* ShowStatistics;
    const char* AddFavorite;
    const char* DeleteFavorite;
    const char* SelectFavorite;
    const char* GoBack;
    const char* Refresh;
    const char* Stop;
    const char* AutoSkip;
    const char* Help;
    const char* Settings;
    const char* FavoritePhotos;
    const char* FavoriteUsers;
};
extern const MainFormTexts MainFormTextTable[LanguageCount];

// ExeDir + stem + ".HLP"; exeDir ends in the path separator.
std::string HelpFileName(const std::string& exeDir, int language);

}  // namespace kpw::texts
