#include "texts/SettingsFormTexts.h"

namespace kpw::texts {

constexpr SettingsFormTexts SettingsForm{
    .TitleSuffix = {.En = " - Settings", .De = " - Einstellungen"},
    .LabelLanguage = {.En = "Language", .De = "Sprache"},
    .LabelTemplateURL11 = {.En = "URL for photos only, max. 100 pixels",
                           .De = "URL für Photos alleine, max. 100 Pixel"},
    .EditTemplateURL11Hint =
        {.En = "URL mask for photo display without detailed information\r"
               "maximum size 100 pixels\r"
               "(The * character is a placeholder for the photo index)",
         .De = "URL-Maske für eine Photo-Anzeige ohne detaillierte Informationen\r"
               "Maximalgröße 100 Pixel\r"
               "(Das Zeichen * dient als Platzhalter für den Photo-Index.)"},
    .LabelTemplateURL12 = {.En = "URL for photos only, max. 240 pixels",
                           .De = "URL für Photos alleine, max. 240 Pixel"},
    .EditTemplateURL12Hint =
        {.En = "URL mask for photo display without detailed information\r"
               "maximum size 240 pixels\r"
               "(The * character is a placeholder for the photo index)",
         .De = "URL-Maske für eine Photo-Anzeige ohne detaillierte Informationen\r"
               "Maximalgröße 240 Pixel\r"
               "(Das Zeichen * dient als Platzhalter für den Photo-Index.)"},
    .LabelTemplateURL13 = {.En = "URL for photos only, max. 500 pixels",
                           .De = "URL für Photos alleine, max. 500 Pixel"},
    .EditTemplateURL13Hint =
        {.En = "URL mask for photo display without detailed information\r"
               "maximum size 500 pixels\r"
               "(The * character is a placeholder for the photo index)",
         .De = "URL-Maske für eine Photo-Anzeige ohne detaillierte Informationen\r"
               "Maximalgröße 500 Pixel\r"
               "(Das Zeichen * dient als Platzhalter für den Photo-Index.)"},
    .LabelTemplateURL14 = {.En = "URL for photos only, original size",
                           .De = "URL für Photos alleine, Originalgröße"},
    .EditTemplateURL14Hint =
        {.En = "URL mask for photo display without detailed information\r"
               "original size\r"
               "(The * character is a placeholder for the photo index)",
         .De = "URL-Maske für eine Photo-Anzeige ohne detaillierte Informationen\r"
               "Originalgröße\r"
               "(Das Zeichen * dient als Platzhalter für den Photo-Index.)"},
    .LabelTemplateURL20 = {.En = "URL for photos plus information",
                           .De = "URL für Photos plus Zusatz-Info"},
    .EditTemplateURL20Hint =
        {.En = "URL mask for photo display with detailed information\r"
               "(The * character is a placeholder for the photo index)",
         .De = "URL-Maske für eine Photo-Anzeige mit detaillierten Informationen\r"
               "(Das Zeichen * dient als Platzhalter für den Photo-Index.)"},
    .LabelTemplateURL30 = {.En = "URL for user pages", .De = "URL für User-Seiten"},
    .EditTemplateURL30Hint =
        {.En = "URL mask for user pages with an overview of the user's photos\r"
               "(The * character is a placeholder for the user index)",
         .De = "URL-Maske für die User-Seiten mit einer Übersicht der Photos des Users\r"
               "(Das Zeichen * dient als Platzhalter für den User-Index.)"},
    .RestoreDefaultHint = {.En = "Restore default", .De = "Default-Wert wiederherstellen"},
    .LabelMaxSkippedURLCount = {.En = "Maximum number of skipped photos",
                                .De = "Max. Zahl zu überspringender Photos"},
    .SpinEditMaxSkippedURLCountHint = {.En = "Maximum number of non-existent\r"
                                             "photos to be skipped automatically",
                                       .De = "Maximalzahl der automatisch zu über-\r"
                                             "springenden nicht existenten Photos"},
    .LabelNavigateDelayTime = {.En = "Navigate delay time", .De = "Navigations-Verzögerungszeit"},
    .SpinEditNavigateDelayTimeHint = {.En = "Delay time in ms between editing a photo\r"
                                            "or user index and loading this new page",
                                      .De = "Verzögerungszeit in ms zwischen der Eingabe\r"
                                            "eines neuen Photo- bzw. User-Index und dem\r"
                                            "Laden dieser Seite"},
    .LabelMaxFavoriteCount = {.En = "Max favorite count", .De = "Max. Favoriten-Anzahl"},
    .SpinEditMaxFavoriteCountHint = {.En = "Maximum number of entries in the favorites list",
                                     .De = "Maximale Anzahl von Ein-\r"
                                           "trägen in der Favoriten-Liste"},
    .CheckBoxWebBrowserVerbose = {.En = "Show web browser dialog boxes",
                                  .De = "Web-Browser-Dialoge anzeigen"},
    .CheckBoxWebBrowserVerboseHint = {.En = "Show web browser dialog boxes\r"
                                            "after script errors have occurred",
                                      .De = "Web-Browser-Dialoge beim Auf-\r"
                                            "treten von Script-Fehlern anzeigen"},
    .CheckBoxInvertMouseWheel = {.En = "Reverse mouse wheel direction",
                                 .De = "Mausrad-Richtung umkehren"},
    .CheckBoxSaveSettings = {.En = "Save settings", .De = "Einstellungen speichern"},
    .ButtonOk = {.En = "OK", .De = "OK"},
    .ButtonCancel = {.En = "Cancel", .De = "Abbrechen"},
    .GroupMoreOptions = {.En = "More options", .De = "Weitere Optionen"},
    .ButtonBrowseSaveFolderHint = {.En = "Choose the folder", .De = "Ordner auswählen"},
    .ButtonRestoreMoreDefaults = {.En = "Restore all defaults",
                                  .De = "Standardwerte wiederherstellen"},
    .FavoritesHiddenQuestion =
        {.En = "With a max favorite count of %1, the lists no longer show %2 from the next "
               "start on. These entries stay in the settings file and come back once the "
               "count is raised.\r\rKeep the new count anyway?",
         .De = "Mit einer maximalen Favoriten-Anzahl von %1 zeigen die Listen ab dem nächsten "
               "Start %2 nicht mehr an. Diese Einträge bleiben in der Einstellungsdatei erhalten "
               "und erscheinen wieder, sobald die Anzahl erhöht wird.\r\rDie neue Anzahl "
               "trotzdem übernehmen?"},
    .HiddenFavoritePhoto = {.En = "the last favorite photo", .De = "das letzte Favoriten-Photo"},
    .HiddenFavoritePhotos = {.En = "the last %1 favorite photos",
                             .De = "die letzten %1 Favoriten-Photos"},
    .HiddenFavoriteUser = {.En = "the last favorite user", .De = "den letzten Favoriten-User"},
    .HiddenFavoriteUsers = {.En = "the last %1 favorite users",
                            .De = "die letzten %1 Favoriten-User"},
    .HiddenFavoritesAnd = {.En = " and ", .De = " und "},
};

std::string SettingsFormTitle(const std::string& mainCaption, int language) {
    return IsLanguage(language) ? mainCaption + SettingsForm.TitleSuffix.In(language) : mainCaption;
}

}  // namespace kpw::texts
