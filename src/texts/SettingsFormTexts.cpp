#include "texts/SettingsFormTexts.h"

namespace kpw::texts {

const SettingsFormTexts SettingsFormTextTable[LanguageCount] = {
    {
        " - Settings",
        "Language",
        "URL for photos only, max. 100 pixels",
        "URL mask for photo display without detailed information\r"
        "maximum size 100 pixels\r"
        "(The * character is a placeholder for the photo index)",
        "URL for photos only, max. 240 pixels",
        "URL mask for photo display without detailed information\r"
        "maximum size 240 pixels\r"
        "(The * character is a placeholder for the photo index)",
        "URL for photos only, max. 500 pixels",
        "URL mask for photo display without detailed information\r"
        "maximum size 500 pixels\r"
        "(The * character is a placeholder for the photo index)",
        "URL for photos only, original size",
        "URL mask for photo display without detailed information\r"
        "original size\r"
        "(The * character is a placeholder for the photo index)",
        "URL for photos plus information",
        "URL mask for photo display with detailed information\r"
        "(The * character is a placeholder for the photo index)",
        "URL for user pages",
        "URL mask for user pages with an overview of the user's photos\r"
        "(The * character is a placeholder for the user index)",
        "Restore default",
        "Maximum number of skipped photos",
        "Maximum number of non-existent\r"
        "photos to be skipped automatically",
        "Navigate delay time",
        "Delay time in ms between editing a photo\r"
        "or user index and loading this new page",
        "Max favorite count",
        "Maximum number of entries in the favorites list",
        "Show web browser dialog boxes",
        "Show web browser dialog boxes\r"
        "after script errors have occurred",
        "Reverse mouse wheel direction",
        "Save settings",
        "OK",
        "Cancel",
        "More options",
        "Least time between requests",
        "Least time in ms between two requests that\r"
        "the program starts by itself (skipping missing\r"
        "photos, preloading); 0 sends them at once",
        "Pages loaded ahead",
        "How many pages are loaded ahead in the direction\r"
        "of travel (1 to 16); 1 loads only the next one",
        "Skip known missing photos",
        "Steps onto a photo already found missing go on\r"
        "to the next one not known missing at once",
        "Slideshow interval",
        "Seconds each photo of the slideshow (F9)\r"
        "stays after its page has completed",
        "Folder for saved photos",
        "Where Save photo (Ctrl+S) puts the photos;\r"
        "blank: the folder Kelvaro Photo Wizard\r"
        "in the desktop's Pictures folder",
        "Choose the folder",
    },
    {
        " - Einstellungen",
        "Sprache",
        "URL für Photos alleine, max. 100 Pixel",
        "URL-Maske für eine Photo-Anzeige ohne detaillierte Informationen\r"
        "Maximalgröße 100 Pixel\r"
        "(Das Zeichen * dient als Platzhalter für den Photo-Index.)",
        "URL für Photos alleine, max. 240 Pixel",
        "URL-Maske für eine Photo-Anzeige ohne detaillierte Informationen\r"
        "Maximalgröße 240 Pixel\r"
        "(Das Zeichen * dient als Platzhalter für den Photo-Index.)",
        "URL für Photos alleine, max. 500 Pixel",
        "URL-Maske für eine Photo-Anzeige ohne detaillierte Informationen\r"
        "Maximalgröße 500 Pixel\r"
        "(Das Zeichen * dient als Platzhalter für den Photo-Index.)",
        "URL für Photos alleine, Originalgröße",
        "URL-Maske für eine Photo-Anzeige ohne detaillierte Informationen\r"
        "Originalgröße\r"
        "(Das Zeichen * dient als Platzhalter für den Photo-Index.)",
        "URL für Photos plus Zusatz-Info",
        "URL-Maske für eine Photo-Anzeige mit detaillierten Informationen\r"
        "(Das Zeichen * dient als Platzhalter für den Photo-Index.)",
        "URL für User-Seiten",
        "URL-Maske für die User-Seiten mit einer Übersicht der Photos des Users\r"
        "(Das Zeichen * dient als Platzhalter für den User-Index.)",
        "Default-Wert wiederherstellen",
        "Max. Zahl zu überspringender Photos",
        "Maximalzahl der automatisch zu über-\r"
        "springenden nicht existenten Photos",
        "Navigations-Verzögerungszeit",
        "Verzögerungszeit in ms zwischen der Eingabe\r"
        "eines neuen Photo- bzw. User-Index und dem\r"
        "Laden dieser Seite",
        "Max. Favoriten-Anzahl",
        "Maximale Anzahl von Ein-\r"
        "trägen in der Favoriten-Liste",
        "Web-Browser-Dialoge anzeigen",
        "Web-Browser-Dialoge beim Auf-\r"
        "treten von Script-Fehlern anzeigen",
        "Mausrad-Richtung umkehren",
        "Einstellungen speichern",
        "OK",
        "Abbrechen",
        "Weitere Optionen",
        "Mindestabstand der Anfragen",
        "Mindestabstand in ms zwischen zwei Anfragen, die\r"
        "das Programm von sich aus stellt (Überspringen\r"
        "fehlender Photos, Vorausladen); 0 stellt sie sofort",
        "Im Voraus geladene Seiten",
        "Wie viele Seiten in Blätterrichtung im Voraus\r"
        "geladen werden (1 bis 16); 1 lädt nur die nächste",
        "Bekannte Lücken überspringen",
        "Schritte auf ein als fehlend bekanntes Photo gehen\r"
        "sofort zum nächsten, das nicht als fehlend bekannt ist",
        "Diashow-Intervall",
        "Sekunden, die jedes Photo der Diashow (F9)\r"
        "nach dem Laden seiner Seite stehen bleibt",
        "Ordner für gespeicherte Photos",
        "Wohin Photo speichern (Strg+S) die Photos legt;\r"
        "leer: der Ordner Kelvaro Photo Wizard\r"
        "im Bilder-Ordner des Desktops",
        "Ordner auswählen",
    },
};

const SettingsFormTexts* SettingsFormTextsFor(int language) {
    if (language < 0 || language >= LanguageCount) return nullptr;
    return &SettingsFormTextTable[language];
}

std::string SettingsFormTitle(const std::string& mainCaption, int language) {
    const SettingsFormTexts* table = SettingsFormTextsFor(language);
    return table ? mainCaption + table->TitleSuffix : mainCaption;
}

}  // namespace kpw::texts
