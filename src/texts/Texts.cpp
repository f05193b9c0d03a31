#include "Texts.h"

namespace kpw::texts {

const char* const HelpFileStems[LanguageCount] = {"English", "German"};
constexpr Text LanguageNames{.En = "English", .De = "Deutsch"};

constexpr Text URLModeNames[4] = {
    {.En = "", .De = ""},
    {.En = "Photo only", .De = "Photo alleine"},
    {.En = "Photo + info", .De = "Photo + Info"},
    {.En = "User page", .De = "User-Seite"},
};

constexpr Text IndexLabels[4] = {
    {.En = "", .De = ""},
    {.En = "Photo index", .De = "Photo-Index"},
    {.En = "Photo index", .De = "Photo-Index"},
    {.En = "User index", .De = "User-Index"},
};

constexpr Text RemarkOnPhotoPrompts{.En = "Remark on photo #", .De = "Bemerkung zu Photo #"};
constexpr Text RemarkOnUserPrompts{.En = "Remark on user #", .De = "Bemerkung zu User #"};

constexpr Text HelpFileMissingMessages{
    .En = "The help file could not be opened:\r%1",
    .De = "Die Hilfedatei konnte nicht geöffnet werden:\r%1",
};

constexpr Text HelpWindowTitles{.En = "Help", .De = "Hilfe"};

constexpr BrowserViewTexts BrowserView{
    .Loading = {.En = "Loading %1", .De = "Lade %1"},
    .LoadingProgress = {.En = "Loading %1 (%2%)", .De = "Lade %1 (%2 %)"},
    .Done = {.En = "Done", .De = "Fertig"},
    .DoneWithHttpStatus = {.En = "Done (HTTP %1)", .De = "Fertig (HTTP %1)"},
    .Failed = {.En = "Failed (%1)", .De = "Fehlgeschlagen (%1)"},
    .CannotReach = {.En = "The site cannot be reached (%1)",
                    .De = "Die Seite ist nicht erreichbar (%1)"},
    .Stopped = {.En = "Stopped", .De = "Angehalten"},
    .CannotOpenAddress = {.En = "Cannot open the address \"%1\"",
                          .De = "Die Adresse \"%1\" kann nicht geöffnet werden"},
    .NoPreviousPage = {.En = "There is no previous page to go back to",
                       .De = "Es gibt keine vorherige Seite, zu der zurückgegangen werden kann"},
    .ViewClosed = {.En = "The browser view has been closed",
                   .De = "Die Browser-Ansicht ist geschlossen"},
    .FetchTimedOut = {.En = "no answer in time", .De = "keine Antwort in der vorgesehenen Zeit"},
    .FetchBusy = {.En = "another fetch is still under way", .De = "ein anderer Abruf läuft noch"},
    .DialogsRefused = {.En = "The page kept opening dialogs; its further dialogs are not shown.",
                       .De = "Die Seite öffnete Dialog um Dialog; ihre weiteren Dialoge werden "
                             "nicht angezeigt."},
    .RendererEnded = {.En = "The page did not respond and was ended.",
                      .De = "Die Seite reagierte nicht und wurde beendet."},
    .RendererOutOfMemory = {.En = "The page ran out of memory and was ended.",
                            .De = "Der Seite ging der Speicher aus; sie wurde beendet."},
    .RendererCrashed = {.En = "The page crashed (code %1).",
                        .De = "Die Seite ist abgestürzt (Code %1)."},
    .RendererEndedFromOutside = {.En = "The page was ended from outside the program (code %1).",
                                 .De = "Die Seite wurde von außerhalb des Programms beendet "
                                       "(Code %1)."},
};

constexpr BusySiteTexts BusySite{
    .Waiting = {.En = "The site is busy (HTTP %1). Trying again in %2 s.",
                .De = "Die Seite ist ausgelastet (HTTP %1). Neuer Versuch in %2 s."},
    .GaveUp = {.En = "The site is still busy (HTTP %1) after %2 retries. Press F5 to try again.",
               .De = "Die Seite ist noch immer ausgelastet (HTTP %1), auch nach %2 Versuchen. "
                     "F5 versucht es erneut."},
    .Stopped = {.En = "Waiting for the busy site stopped. Press F5 to try again.",
                .De = "Warten auf die ausgelastete Seite beendet. F5 versucht es erneut."},
    .Trouble = {.En = "The site is having trouble (HTTP %1). Trying again in %2 s.",
                .De = "Die Seite hat Probleme (HTTP %1). Neuer Versuch in %2 s."},
    .TroubleGaveUp = {.En = "The site still has trouble (HTTP %1) after %2 retries. "
                            "Press F5 to try again.",
                      .De = "Die Seite hat noch immer Probleme (HTTP %1), auch nach %2 "
                            "Versuchen. F5 versucht es erneut."},
    .NoAnswer = {.En = "The site closed the connection without an answer. Trying again in %1 s.",
                 .De = "Die Seite hat die Verbindung ohne Antwort geschlossen. Neuer Versuch "
                       "in %1 s."},
    .NoAnswerGaveUp = {.En = "The site still closes the connection without an answer after %1 "
                             "retries. Press F5 to try again.",
                       .De = "Die Seite schließt die Verbindung noch immer ohne Antwort, auch "
                             "nach %1 Versuchen. F5 versucht es erneut."},
};

constexpr SettingsFileTexts SettingsFile{
    .CannotOpen = {.En = "Cannot open the settings file \"%1\": %2",
                   .De = "Die Einstellungsdatei \"%1\" kann nicht geöffnet werden: %2"},
    .CannotRead = {.En = "Cannot read the settings file \"%1\": %2",
                   .De = "Die Einstellungsdatei \"%1\" kann nicht gelesen werden: %2"},
    .CannotCreate = {.En = "Cannot create the settings file \"%1\": %2",
                     .De = "Die Einstellungsdatei \"%1\" kann nicht angelegt werden: %2"},
    .CannotWrite = {.En = "Cannot write the settings file \"%1\": %2",
                    .De = "Die Einstellungsdatei \"%1\" kann nicht geschrieben werden: %2"},
    .CannotReplace = {.En = "Cannot replace the settings file \"%1\": %2",
                      .De = "Die Einstellungsdatei \"%1\" kann nicht ersetzt werden: %2"},
    .NotRegularFile = {.En = "The settings file \"%1\" is not a regular file",
                       .De = "Die Einstellungsdatei \"%1\" ist keine gewöhnliche Datei"},
    .ReadOnly = {.En = "The settings file \"%1\" is read-only",
                 .De = "Die Einstellungsdatei \"%1\" ist schreibgeschützt"},
};

constexpr KnownMissingTexts KnownMissing{
    .SkippedOne = {.En = "Skipped 1 missing photo (%1)",
                   .De = "1 fehlendes Photo übersprungen (%1)"},
    .SkippedMany = {.En = "Skipped %1 missing photos (%2–%3)",
                    .De = "%1 fehlende Photos übersprungen (%2–%3)"},
};

constexpr FavoriteTexts Favorite{
    .AddedPhoto = {.En = "Added %1 to the favorite photos",
                   .De = "%1 zu den Favoriten-Photos hinzugefügt"},
    .AddedUser = {.En = "Added %1 to the favorite users",
                  .De = "%1 zu den Favoriten-Usern hinzugefügt"},
    .RemovedPhoto = {.En = "Removed %1 from the favorite photos. Ctrl+Z brings it back.",
                     .De = "%1 aus den Favoriten-Photos gelöscht. Strg+Z holt es zurück."},
    .RemovedUser = {.En = "Removed %1 from the favorite users. Ctrl+Z brings it back.",
                    .De = "%1 aus den Favoriten-Usern gelöscht. Strg+Z holt ihn zurück."},
    .RestoredPhoto = {.En = "%1 is back among the favorite photos",
                      .De = "%1 ist wieder unter den Favoriten-Photos"},
    .RestoredUser = {.En = "%1 is back among the favorite users",
                     .De = "%1 ist wieder unter den Favoriten-Usern"},
    .Dropped = {.En = " and dropped %1 (the list holds %2)",
                .De = " und %1 entfernt (die Liste fasst %2)"},
};

constexpr PhotoTexts Photo{
    .SavePhoto = {.En = "Save photo\tCtrl+S", .De = "Photo speichern\tStrg+S"},
    .SavePhotoAs = {.En = "Save photo as...\tCtrl+Shift+S",
                    .De = "Photo speichern unter...\tStrg+Umschalt+S"},
    .CopyPhoto = {.En = "Copy photo", .De = "Photo kopieren"},
    .CopyAddress = {.En = "Copy address\tCtrl+Shift+C", .De = "Adresse kopieren\tStrg+Umschalt+C"},
    .OpenInBrowser = {.En = "Open in browser", .De = "Im Browser öffnen"},
    .Slideshow = {.En = "Slideshow\tF9", .De = "Diashow\tF9"},
    .SavedAs = {.En = "Saved as %1", .De = "Gespeichert als %1"},
    .SaveDialogTitle = {.En = "Save photo as", .De = "Photo speichern unter"},
    .ImageFiles = {.En = "Images", .De = "Bilder"},
    .PhotoCopied = {.En = "Photo copied to the clipboard",
                    .De = "Photo in die Zwischenablage kopiert"},
    .AddressCopied = {.En = "Address copied: %1", .De = "Adresse kopiert: %1"},
    .SlideshowRuns = {.En = "Slideshow: every %1 s", .De = "Diashow: alle %1 s"},
    .SlideshowEnded = {.En = "Slideshow ended", .De = "Diashow beendet"},
    .FolderNotWritable = {.En = "The photo was not saved: the folder %1 cannot be written to (%2).",
                          .De = "Das Photo wurde nicht gespeichert: in den Ordner %1 kann nicht "
                                "geschrieben werden (%2)."},
    .DiskFull = {.En = "The photo was not saved: the disk is full (%1).",
                 .De = "Das Photo wurde nicht gespeichert: der Datenträger ist voll (%1)."},
    .WriteFailed =
        {.En = "The photo was not saved: writing %1 failed (%2).",
         .De = "Das Photo wurde nicht gespeichert: %1 konnte nicht geschrieben werden (%2)."},
    .SiteError =
        {.En = "The photo was not saved: the site answered with an error (%2).",
         .De = "Das Photo wurde nicht gespeichert: die Seite antwortete mit einem Fehler (%2)."},
    .NotAnImage = {.En = "The photo was not saved: the site did not answer with a picture (%2).",
                   .De = "Das Photo wurde nicht gespeichert: die Seite lieferte kein Bild (%2)."},
    .FetchFailed = {.En = "The photo could not be fetched from %1 (%2).",
                    .De = "Das Photo konnte nicht von %1 geholt werden (%2)."},
    .NoFreeName =
        {.En = "The photo was not saved: every file name for it in %1 is taken.",
         .De = "Das Photo wurde nicht gespeichert: alle Dateinamen dafür in %1 sind vergeben."},
    .TooLarge = {.En = "The photo was not saved: it is larger than %2.",
                 .De = "Das Photo wurde nicht gespeichert: es ist größer als %2."},
    .NoAnswerInTime = {.En = "the site did not answer in time",
                       .De = "die Seite antwortete nicht rechtzeitig"},
    .StoppedArriving = {.En = "the site stopped sending it",
                        .De = "die Seite hat aufgehört, es zu senden"},
    .StoppedWhenLeft = {.En = "it had stopped arriving when another photo was shown",
                        .De = "es kam nicht mehr an, als ein anderes Photo gezeigt wurde"},
    .NoPictureBytes = {.En = "its bytes are no picture", .De = "seine Bytes sind kein Bild"},
    .ViewGone = {.En = "the browser view was closed",
                 .De = "die Browser-Ansicht wurde geschlossen"},
    .FetchCancelled = {.En = "cancelled", .De = "abgebrochen"},
    .ClipboardFailed = {.En = "The photo could not be copied: %2.",
                        .De = "Das Photo konnte nicht kopiert werden: %2."},
    .CannotOpenInBrowser = {.En = "The address %1 cannot be opened in the browser.",
                            .De = "Die Adresse %1 kann nicht im Browser geöffnet werden."},
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

constexpr ContextMenuTexts ContextMenu{
    .Back = {.En = "Back", .De = "Zurück"},
    .Forward = {.En = "Forward", .De = "Vorwärts"},
    .Stop = {.En = "Stop", .De = "Anhalten"},
    .Reload = {.En = "Reload", .De = "Neu laden"},
    .Cut = {.En = "Cut", .De = "Ausschneiden"},
    .Copy = {.En = "Copy", .De = "Kopieren"},
    .Paste = {.En = "Paste", .De = "Einfügen"},
    .Undo = {.En = "Undo", .De = "Rückgängig"},
    .Redo = {.En = "Redo", .De = "Wiederherstellen"},
    .SelectAll = {.En = "Select all", .De = "Alles auswählen"},
    .PasteAndMatchStyle = {.En = "Paste and match style", .De = "Einfügen und Format anpassen"},
    .OpenLinkInThisWindow = {.En = "Open link in this window",
                             .De = "Link in diesem Fenster öffnen"},
    .OpenLinkInNewWindow = {.En = "Open link in new window", .De = "Link in neuem Fenster öffnen"},
    .OpenLinkInNewTab = {.En = "Open link in new tab", .De = "Link in neuem Tab öffnen"},
    .OpenLinkInNewBackgroundTab = {.En = "Open link in background tab",
                                   .De = "Link in Hintergrund-Tab öffnen"},
    .CopyLinkToClipboard = {.En = "Copy link address", .De = "Link-Adresse kopieren"},
    .DownloadLinkToDisk = {.En = "Save link", .De = "Link speichern"},
    .CopyImageToClipboard = {.En = "Copy image", .De = "Bild kopieren"},
    .CopyImageUrlToClipboard = {.En = "Copy image address", .De = "Bildadresse kopieren"},
    .DownloadImageToDisk = {.En = "Save image", .De = "Bild speichern"},
    .CopyMediaUrlToClipboard = {.En = "Copy media address", .De = "Medienadresse kopieren"},
    .ToggleMediaControls = {.En = "Show controls", .De = "Steuerelemente anzeigen"},
    .ToggleMediaLoop = {.En = "Loop", .De = "Wiederholen"},
    .ToggleMediaPlayPause = {.En = "Play/Pause", .De = "Wiedergabe/Pause"},
    .ToggleMediaMute = {.En = "Mute", .De = "Stumm"},
    .DownloadMediaToDisk = {.En = "Save media", .De = "Medien speichern"},
    .InspectElement = {.En = "Inspect", .De = "Untersuchen"},
    .ExitFullScreen = {.En = "Exit full screen", .De = "Vollbild beenden"},
    .SavePage = {.En = "Save page", .De = "Seite speichern"},
    .ViewSource = {.En = "View page source", .De = "Seitenquelltext anzeigen"},
    .Unselect = {.En = "Unselect", .De = "Auswahl aufheben"},
};

constexpr MainFormTexts MainForm{
    .PhotoSize1 = {.En = "Maximum photo size 100 pixels", .De = "Maximale Bildgröße 100 Pixel"},
    .PhotoSize2 = {.En = "Maximum photo size 240 pixels", .De = "Maximale Bildgröße 240 Pixel"},
    .PhotoSize3 = {.En = "Maximum photo size 500 pixels", .De = "Maximale Bildgröße 500 Pixel"},
    .PhotoSize4 = {.En = "Original size", .De = "Originalgröße"},
    .ShowStatistics = {.En = "Statistics", .De = "Statistiken"},
    .AddFavorite = {.En = "Add to favorites", .De = "Zu den Favoriten hinzufügen"},
    .DeleteFavorite = {.En = "Delete from favorites", .De = "Aus den Favoriten löschen"},
    .SelectFavorite = {.En = "Select favorite", .De = "Favoriten auswählen"},
    .GoBack = {.En = "Go back", .De = "Zurück"},
    .Refresh = {.En = "Refresh (F5)", .De = "Seite neu laden (F5)"},
    .Stop = {.En = "Stop web browser (ESC)", .De = "Web-Browser anhalten (ESC)"},
    .AutoSkip = {.En = "Auto skip non-existent photos",
                 .De = "Nicht existierende Photos\rautomatisch überspringen"},
    .Help = {.En = "Help (F1)", .De = "Hilfe (F1)"},
    .Settings = {.En = "Settings", .De = "Einstellungen"},
    .FavoritePhotos = {.En = "Select favorite photo", .De = "Favoriten-Photo auswählen"},
    .FavoriteUsers = {.En = "Select favorite user", .De = "Favoriten-User auswählen"},
    .OverviewSheet = {.En = "Overview sheet: many photos at once",
                      .De = "Übersichtsblatt: viele Photos auf einmal"},
};

constexpr SheetTexts Sheet{
    .Cell = {.En = "Photo %1: %2", .De = "Photo Nr. %1: %2"},
    .Loading = {.En = "loading", .De = "wird geladen"},
    .Shown = {.En = "present; Enter or a double click shows it",
              .De = "vorhanden; Eingabe oder Doppelklick zeigt es"},
    .Missing = {.En = "missing", .De = "fehlt"},
    .Waiting = {.En = "the site is busy, asked again soon",
                .De = "die Seite ist ausgelastet, wird gleich erneut gefragt"},
    .Favourite = {.En = "a favorite photo", .De = "ein Favoriten-Photo"},
    .NoConnection = {.En = "the site could not be reached (%1)",
                     .De = "die Seite war nicht erreichbar (%1)"},
    .TimedOut = {.En = "no whole answer in time", .De = "keine vollständige Antwort in der Zeit"},
    .TooLarge = {.En = "the picture is too large to show",
                 .De = "das Bild ist zu groß zum Anzeigen"},
    .Undecodable = {.En = "the picture cannot be read (%1)",
                    .De = "das Bild ist nicht lesbar (%1)"},
    .NotAPicture = {.En = "the address gave no picture (%1)",
                    .De = "die Adresse lieferte kein Bild (%1)"},
    .Busy = {.En = "the site stayed busy (%1)", .De = "die Seite blieb ausgelastet (%1)"},
    .AddFavourite = {.En = "Add to favorite photos", .De = "Zu den Favoriten-Photos hinzufügen"},
    .Empty = {.En = "No photo to show here", .De = "Hier ist kein Photo zu zeigen"},
    .SeenBefore = {.En = "seen before", .De = "schon gesehen"},
    .Kept = {.En = "kept", .De = "gespeichert"},
};

constexpr RangeTexts Range{
    .Command = {.En = "Keep a range of photos...\tCtrl+J",
                .De = "Photos eines Bereichs speichern...\tStrg+J"},
    .Title = {.En = "Keep a range of photos", .De = "Photos eines Bereichs speichern"},
    .From = {.En = "From index:", .De = "Von Nummer:"},
    .To = {.En = "To index:", .De = "Bis Nummer:"},
    .Size = {.En = "Photo size:", .De = "Photo-Größe:"},
    .Folder = {.En = "Folder:", .De = "Ordner:"},
    .Browse = {.En = "Browse...", .De = "Durchsuchen..."},
    .SkipKept = {.En = "Skip photos already kept", .De = "Schon gespeicherte Photos überspringen"},
    .Keep = {.En = "Keep", .De = "Speichern"},
    .Cancel = {.En = "Cancel", .De = "Abbrechen"},
    .BadIndex = {.En = "\"%1\" is no photo index: type a whole number from 1 to %2.",
                 .De = "\"%1\" ist keine Photo-Nummer: geben Sie eine ganze Zahl von 1 bis %2 "
                       "ein."},
    .FromAfterTo = {.En = "The first index (%1) lies after the last (%2).",
                    .De = "Die erste Nummer (%1) liegt hinter der letzten (%2)."},
    .TooLong = {.En = "A range may hold at most %1 photos; this one holds %2.",
                .De = "Ein Bereich darf höchstens %1 Photos umfassen; dieser umfasst %2."},
    .NoFolder = {.En = "Choose the folder the photos go to.",
                 .De = "Wählen Sie den Ordner, in den die Photos kommen."},
    .FolderMissing = {.En = "The folder %1 does not exist.",
                      .De = "Der Ordner %1 existiert nicht."},
    .FolderNotWritable = {.En = "The folder %1 cannot be written to.",
                          .De = "In den Ordner %1 kann nicht geschrieben werden."},
    .Progress = {.En = "Keeping %1-%2: %3 of %4", .De = "Speichere %1-%2: %3 von %4"},
    .KeptCount = {.En = "%1 kept", .De = "%1 gespeichert"},
    .KeptBeforeCount = {.En = "%1 kept before", .De = "%1 schon vorhanden"},
    .MissingCount = {.En = "%1 missing", .De = "%1 fehlen"},
    .WaitingCount = {.En = "%1 waiting", .De = "%1 warten"},
    .FailedCount = {.En = "%1 failed", .De = "%1 fehlgeschlagen"},
    .TimeLeft = {.En = "%1 left", .De = "noch %1"},
    .Paused = {.En = "paused", .De = "angehalten"},
    .QueuedCount = {.En = "%1 more queued", .De = "%1 weitere in der Warteschlange"},
    .Pause = {.En = "Pause", .De = "Anhalten"},
    .Resume = {.En = "Resume", .De = "Fortsetzen"},
    .Stop = {.En = "Cancel the range", .De = "Bereich abbrechen"},
    .Finished = {.En = "Photos %1 to %2 done:", .De = "Photos %1 bis %2 erledigt:"},
    .Cancelled = {.En = "Keeping photos %1 to %2 was cancelled:",
                  .De = "Das Speichern der Photos %1 bis %2 wurde abgebrochen:"},
    .DiskFull = {.En = "The disk is full (%1); keeping the range stopped.",
                 .De = "Der Datenträger ist voll (%1); das Speichern des Bereichs wurde beendet."},
    .FolderGone = {.En = "The folder %1 is gone; keeping the range stopped.",
                   .De = "Der Ordner %1 ist nicht mehr da; das Speichern des Bereichs wurde "
                         "beendet."},
    .WriteFailed = {.En = "A photo could not be written into %1 (%2); keeping the range stopped.",
                    .De = "Ein Photo ließ sich nicht in %1 schreiben (%2); das Speichern des "
                          "Bereichs wurde beendet."},
    .SiteUnreachable = {.En = "The site could not be reached (%1); keeping the range stopped.",
                        .De = "Die Seite war nicht erreichbar (%1); das Speichern des Bereichs "
                              "wurde beendet."},
    .KeptSoFar = {.En = "Every photo kept so far is recorded; a new run with \"Skip photos "
                        "already kept\" goes on where this one ended.",
                  .De = "Jedes bisher gespeicherte Photo ist vermerkt; ein neuer Lauf mit "
                        "\"Schon gespeicherte Photos überspringen\" macht dort weiter, wo dieser "
                        "endete."},
    .OpenFolder = {.En = "Open folder", .De = "Ordner öffnen"},
    .Close = {.En = "Close", .De = "Schließen"},
};

constexpr ArchiveTexts Archive{
    .MovedAside = {.En = "The archive of seen photos %1 was damaged; it was moved to %2 and a new "
                         "one started.",
                   .De = "Das Archiv der gesehenen Photos %1 war beschädigt; es wurde nach %2 "
                         "verschoben und ein neues begonnen."},
    .Damaged = {.En = "The archive of seen photos %1 is damaged and could not be moved aside; "
                      "the program goes on without it.",
                .De = "Das Archiv der gesehenen Photos %1 ist beschädigt und ließ sich nicht "
                      "beiseitelegen; das Programm arbeitet ohne es weiter."},
    .Newer = {.En = "The archive of seen photos %1 is from a newer version of the program; it is "
                    "left as it is and not used.",
              .De = "Das Archiv der gesehenen Photos %1 stammt von einer neueren Version des "
                    "Programms; es bleibt unverändert und wird nicht benutzt."},
    .Foreign = {.En = "%1 is a database of another program; it is left as it is and no archive "
                      "of seen photos is kept.",
                .De = "%1 ist eine Datenbank eines anderen Programms; sie bleibt unverändert, "
                      "und kein Archiv der gesehenen Photos wird geführt."},
    .Locked = {.En = "The archive of seen photos %1 is held by another program; this run goes on "
                     "without it.",
               .De = "Das Archiv der gesehenen Photos %1 wird von einem anderen Programm "
                     "gehalten; dieser Lauf arbeitet ohne es."},
    .ReadOnly = {.En = "The archive of seen photos %1 cannot be written; the program goes on "
                       "without it.",
                 .De = "Das Archiv der gesehenen Photos %1 ist nicht beschreibbar; das Programm "
                       "arbeitet ohne es weiter."},
    .Unusable = {.En = "The archive of seen photos %1 cannot be used (%2); the program goes on "
                       "without it.",
                 .De = "Das Archiv der gesehenen Photos %1 ist nicht nutzbar (%2); das Programm "
                       "arbeitet ohne es weiter."},
};

constexpr KeyNameTexts KeyNames{
    .Ctrl = {.En = "Ctrl", .De = "Strg"},
    .Shift = {.En = "Shift", .De = "Umschalt"},
    .Left = {.En = "Left", .De = "Pfeil nach links"},
};

// ---- The start of the program and its first pages

constexpr StartTexts Start{
    .SandboxRefused =
        {.En = "Kelvaro Photo Wizard cannot start as root. Its browser engine runs the site's "
               "pages in a sandbox, and the sandbox does not work for root.\r\r"
               "Start the program as a normal user.\r\r"
               "Or start it in one of these ways, knowing that the pages then run without "
               "this protection:\r"
               "QTWEBENGINE_DISABLE_SANDBOX=1 kelvaro-photo-wizard\r"
               "kelvaro-photo-wizard --no-sandbox",
         .De = "Kelvaro Photo Wizard kann nicht als root starten. Seine Browser-Engine lässt "
               "die Seiten der Site in einer Sandbox laufen, und die Sandbox funktioniert für "
               "root nicht.\r\r"
               "Starten Sie das Programm als normaler Benutzer.\r\r"
               "Oder starten Sie es auf eine dieser Arten, im Wissen, dass die Seiten dann "
               "ohne diesen Schutz laufen:\r"
               "QTWEBENGINE_DISABLE_SANDBOX=1 kelvaro-photo-wizard\r"
               "kelvaro-photo-wizard --no-sandbox"},
    .SiteAddressesInSettings = {.En = "The site cannot be reached. Its addresses are set in the "
                                      "settings (%1).",
                                .De = "Die Seite ist nicht erreichbar. Ihre Adressen werden in "
                                      "den Einstellungen festgelegt (%1)."},
};

const char* const EngineLocales[LanguageCount] = {"en-US", "de"};
const char* const AcceptLanguages[LanguageCount] = {"en-US,en;q=0.9", "de-DE,de;q=0.9,en;q=0.8"};

constexpr ToolMenuTexts ToolMenu{
    .More = {.En = "More tools", .De = "Weitere Werkzeuge"},
    .Refresh = {.En = "Refresh", .De = "Seite neu laden"},
    .Stop = {.En = "Stop web browser", .De = "Web-Browser anhalten"},
    .AutoSkip = {.En = "Auto skip missing photos", .De = "Fehlende Photos überspringen"},
    .Help = {.En = "Help", .De = "Hilfe"},
};

std::string HelpFileName(const std::string& exeDir, int language) {
    return exeDir + HelpFileStems[language] + ".HLP";
}

}  // namespace kpw::texts
