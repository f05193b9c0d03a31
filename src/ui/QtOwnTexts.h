#pragma once

#include <QString>

namespace kpw {

// Qt's own texts (the file dialogs' labels and buttons, the standard buttons
// of message boxes, the edit fields' menus) in the program's language: Qt's
// translation of the language is installed while it is in force, none for
// English. Without the translation file Qt's texts stay English.
class QtOwnTexts {
public:
    // Puts Qt's texts of the language in force (0 English, 1 German); the
    // translations are looked for in the folder, Qt's own by default.
    // Returns whether Qt now speaks the language.
    static bool Use(int language, const QString& folder = TranslationsFolder());

    static QString TranslationsFolder();
};

}  // namespace kpw
