#include "Texts.h"

namespace kpw::texts {

const char* const HelpFileStems[LanguageCount] = {"English", "German"};
const char* const LanguageNames[LanguageCount] = {"English", "Deutsch"};

const char* const URLModeNames[4][LanguageCount] = {
    {"", ""},
    {"Photo only", "Photo alleine"},
    {"Photo + info", "Photo + Info"},
    {"User page", "User-Seite"},
};

const char* const IndexLabels[4][LanguageCount] = {
    {"", ""},
    {"Photo index", "Photo-Index"},
    {"Photo index", "Photo-Index"},
    {"User index", "User-Index"},
};

const char* const RemarkOnPhotoPrompts[LanguageCount] = {"Remark on photo #",
                                                         "Bemerkung zu Photo #"};
const char* const RemarkOnUserPrompts[LanguageCount] = {"Remark on user #", "Bemerkung zu User #"};

const char* const HelpFileMissingMessages[LanguageCount] = {
    "The help file could not be opened:\r%1",
    "Die Hilfedatei konnte nicht geöffnet werden:\r%1",
};

const MainFormTexts MainFormTextTable[LanguageCount] = {
    {
        "Maximum photo size 100 pixels",
        "Maximum photo size 240 pixels",
        "Maximum photo size 500 pixels",
        "Original size",
        "Statistics",
        "Add to favorites",
        "Delete from favorites",
        "Select favorite",
        "Go back",
        "Refresh (F5)",
        "Stop web browser (ESC)",
        "Auto skip non-existent photos",
        "Help (F1)",
        "Settings",
        "Select favorite photo",
        "Select favorite user",
    },
    {
        "Maximale Bildgröße 100 Pixel",
        "Maximale Bildgröße 240 Pixel",
        "Maximale Bildgröße 500 Pixel",
        "Originalgröße",
        "Statistiken",
        "Zu den Favoriten hinzufügen",
        "Aus den Favoriten löschen",
        "Favoriten auswählen",
        "Zurück",
        "Seite neu laden (F5)",
        "Web-Browser anhalten (ESC)",
        "Nicht existierende Photos\rautomatisch überspringen",
        "Hilfe (F1)",
        "Einstellungen",
        "Favoriten-Photo auswählen",
        "Favoriten-User auswählen",
    },
};

std::string HelpFileName(const std::string& exeDir, int language) {
    return exeDir + HelpFileStems[language] + ".HLP";
}

}  // namespace kpw::texts
