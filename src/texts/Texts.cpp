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

const char* const HelpWindowTitles[LanguageCount] = {"Help", "Hilfe"};

const BrowserViewTexts BrowserViewTextTable[LanguageCount] = {
    {
        "Loading %1",
        "Loading %1 (%2%)",
        "Done",
        "Done (HTTP %1)",
        "Failed (%1)",
        "Stopped",
        "The page stopped working",
        "Cannot open the address \"%1\"",
        "There is no previous page to go back to",
        "The browser view has been closed",
        "no answer in time",
        "another fetch is still under way",
    },
    {
        "Lade %1",
        "Lade %1 (%2 %)",
        "Fertig",
        "Fertig (HTTP %1)",
        "Fehlgeschlagen (%1)",
        "Angehalten",
        "Die Seite funktioniert nicht mehr",
        "Die Adresse \"%1\" kann nicht geöffnet werden",
        "Es gibt keine vorherige Seite, zu der zurückgegangen werden kann",
        "Die Browser-Ansicht ist geschlossen",
        "keine Antwort in der vorgesehenen Zeit",
        "ein anderer Abruf läuft noch",
    },
};

const BusySiteTexts BusySiteTextTable[LanguageCount] = {
    {
        "The site is busy (HTTP %1). Trying again in %2 s.",
        "The site is still busy (HTTP %1) after %2 retries. Press F5 to try again.",
    },
    {
        "Die Seite ist ausgelastet (HTTP %1). Neuer Versuch in %2 s.",
        "Die Seite ist noch immer ausgelastet (HTTP %1), auch nach %2 Versuchen. F5 versucht es "
        "erneut.",
    },
};

const SettingsFileTexts SettingsFileTextTable[LanguageCount] = {
    {
        "Cannot open the settings file \"%1\": %2",
        "Cannot read the settings file \"%1\": %2",
        "Cannot create the settings file \"%1\": %2",
        "Cannot write the settings file \"%1\": %2",
        "Cannot replace the settings file \"%1\": %2",
        "The settings file \"%1\" is not a regular file",
        "The settings file \"%1\" is read-only",
    },
    {
        "Die Einstellungsdatei \"%1\" kann nicht geöffnet werden: %2",
        "Die Einstellungsdatei \"%1\" kann nicht gelesen werden: %2",
        "Die Einstellungsdatei \"%1\" kann nicht angelegt werden: %2",
        "Die Einstellungsdatei \"%1\" kann nicht geschrieben werden: %2",
        "Die Einstellungsdatei \"%1\" kann nicht ersetzt werden: %2",
        "Die Einstellungsdatei \"%1\" ist keine gewöhnliche Datei",
        "Die Einstellungsdatei \"%1\" ist schreibgeschützt",
    },
};

const KnownMissingTexts KnownMissingTextTable[LanguageCount] = {
    {
        "Skipped 1 missing photo (%1)",
        "Skipped %1 missing photos (%2–%3)",
    },
    {
        "1 fehlendes Photo übersprungen (%1)",
        "%1 fehlende Photos übersprungen (%2–%3)",
    },
};

const PhotoTexts PhotoTextTable[LanguageCount] = {
    {
        "Save photo\tCtrl+S",
        "Save photo as...\tCtrl+Shift+S",
        "Copy photo",
        "Copy address\tCtrl+Shift+C",
        "Open in browser",
        "Slideshow\tF9",
        "Saved as %1",
        "Save photo as",
        "Images",
        "Photo copied to the clipboard",
        "Address copied: %1",
        "Slideshow: every %1 s",
        "Slideshow ended",
        "The photo was not saved: the folder %1 cannot be written to (%2).",
        "The photo was not saved: the disk is full (%1).",
        "The photo was not saved: writing %1 failed (%2).",
        "The photo was not saved: the site answered with an error (%2).",
        "The photo was not saved: the site did not answer with a picture (%2).",
        "The photo could not be fetched from %1 (%2).",
        "The photo was not saved: every file name for it in %1 is taken.",
        "The photo could not be copied: %2.",
        "The address %1 cannot be opened in the browser.",
    },
    {
        "Photo speichern\tStrg+S",
        "Photo speichern unter...\tStrg+Umschalt+S",
        "Photo kopieren",
        "Adresse kopieren\tStrg+Umschalt+C",
        "Im Browser öffnen",
        "Diashow\tF9",
        "Gespeichert als %1",
        "Photo speichern unter",
        "Bilder",
        "Photo in die Zwischenablage kopiert",
        "Adresse kopiert: %1",
        "Diashow: alle %1 s",
        "Diashow beendet",
        "Das Photo wurde nicht gespeichert: in den Ordner %1 kann nicht geschrieben werden (%2).",
        "Das Photo wurde nicht gespeichert: der Datenträger ist voll (%1).",
        "Das Photo wurde nicht gespeichert: %1 konnte nicht geschrieben werden (%2).",
        "Das Photo wurde nicht gespeichert: die Seite antwortete mit einem Fehler (%2).",
        "Das Photo wurde nicht gespeichert: die Seite lieferte kein Bild (%2).",
        "Das Photo konnte nicht von %1 geholt werden (%2).",
        "Das Photo wurde nicht gespeichert: alle Dateinamen dafür in %1 sind vergeben.",
        "Das Photo konnte nicht kopiert werden: %2.",
        "Die Adresse %1 kann nicht im Browser geöffnet werden.",
    },
};

std::string FillIn(std::string_view text, std::initializer_list<std::string_view> arguments) {
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const size_t argument = static_cast<size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && argument < arguments.size()) {
            result += *(arguments.begin() + argument);
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

const ContextMenuTexts ContextMenuTextTable[LanguageCount] = {
    {
        "Back",
        "Forward",
        "Stop",
        "Reload",
        "Cut",
        "Copy",
        "Paste",
        "Undo",
        "Redo",
        "Select all",
        "Paste and match style",
        "Open link in this window",
        "Open link in new window",
        "Open link in new tab",
        "Open link in background tab",
        "Copy link address",
        "Save link",
        "Copy image",
        "Copy image address",
        "Save image",
        "Copy media address",
        "Show controls",
        "Loop",
        "Play/Pause",
        "Mute",
        "Save media",
        "Inspect",
        "Exit full screen",
        "Save page",
        "View page source",
        "Unselect",
    },
    {
        "Zurück",
        "Vorwärts",
        "Anhalten",
        "Neu laden",
        "Ausschneiden",
        "Kopieren",
        "Einfügen",
        "Rückgängig",
        "Wiederherstellen",
        "Alles auswählen",
        "Einfügen und Format anpassen",
        "Link in diesem Fenster öffnen",
        "Link in neuem Fenster öffnen",
        "Link in neuem Tab öffnen",
        "Link in Hintergrund-Tab öffnen",
        "Link-Adresse kopieren",
        "Link speichern",
        "Bild kopieren",
        "Bildadresse kopieren",
        "Bild speichern",
        "Medienadresse kopieren",
        "Steuerelemente anzeigen",
        "Wiederholen",
        "Wiedergabe/Pause",
        "Stumm",
        "Medien speichern",
        "Untersuchen",
        "Vollbild beenden",
        "Seite speichern",
        "Seitenquelltext anzeigen",
        "Auswahl aufheben",
    },
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
