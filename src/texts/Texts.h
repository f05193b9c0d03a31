#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

#include "texts/Text.h"

// Each text is one named entry with its English and German form; a table is
// a struct of them, looked up by name and then by language:
//   texts::BrowserView.Loading.In(language)

namespace kpw::texts {

inline constexpr const char* ApplicationTitle = " Kelvaro Wizard";
inline constexpr const char* MainCaption = " Kelvaro Photo Wizard";

// File names, not texts: the help file of each language.
extern const char* const HelpFileStems[LanguageCount];
// The name of each language in its own column: LanguageNames.In(language).
extern const Text LanguageNames;
// Indexed by display mode 1..3 (row 0 unused).
extern const Text URLModeNames[4];
extern const Text IndexLabels[4];
extern const Text RemarkOnPhotoPrompts;
extern const Text RemarkOnUserPrompts;
// Shown when the help file cannot be opened; %1 stands for its path.
extern const Text HelpFileMissingMessages;

// The main window's hints.
struct MainFormTexts {
    Text PhotoSize1;
    Text PhotoSize2;
    Text PhotoSize3;
    Text PhotoSize4;
    Text ShowStatistics;
    Text AddFavorite;
    Text DeleteFavorite;
    Text SelectFavorite;
    Text GoBack;
    Text Refresh;
    Text Stop;
    Text AutoSkip;
    Text Help;
    Text Settings;
    Text FavoritePhotos;
    Text FavoriteUsers;
    Text OverviewSheet;
};
extern const MainFormTexts MainForm;

// The overview sheet: what a cell says of its photo on hover, and its menu.
struct SheetTexts {
    Text Cell;  // %1 the index, %2 what the cell knows
    Text Loading;
    Text Shown;
    Text Missing;
    Text Waiting;
    Text Favourite;
    Text NoConnection;  // %1 the system's words
    Text TimedOut;
    Text TooLarge;
    Text Undecodable;  // %1 the reader's words
    Text NotAPicture;  // %1 what came instead
    Text Busy;         // %1 the last answer
    Text AddFavourite;
    Text Empty;  // a sheet with no cell, every photo after the first missing
    Text SeenBefore;
    Text Kept;
};
extern const SheetTexts Sheet;

// Why the archive of seen photos is not used, for the log. %1 the file.
struct ArchiveTexts {
    Text MovedAside;  // %2 where the damaged file went
    Text Damaged;
    Text Newer;
    Text Foreign;
    Text Locked;
    Text ReadOnly;
    Text Unusable;  // %2 the system's words
};
extern const ArchiveTexts Archive;
// Keeping a range of photos: the dialog, the progress in the status area and
// the message at the end.
struct RangeTexts {
    Text Command;  // the menu entry
    Text Title;
    Text From;
    Text To;
    Text Size;
    Text Folder;
    Text Browse;
    Text SkipKept;
    Text Keep;
    Text Cancel;
    Text BadIndex;     // %1 what was typed, %2 the largest index
    Text FromAfterTo;  // %1 from, %2 to
    Text TooLong;      // %1 the most, %2 asked for
    Text NoFolder;
    Text FolderMissing;      // %1 the folder
    Text FolderNotWritable;  // %1 the folder
    Text Progress;           // %1 from, %2 to, %3 done, %4 total
    Text KeptCount;          // %1
    Text KeptBeforeCount;    // %1
    Text MissingCount;       // %1
    Text WaitingCount;       // %1
    Text FailedCount;        // %1
    Text TimeLeft;           // %1 "1:05"
    Text Paused;
    Text QueuedCount;  // %1 ranges waiting their turn
    Text Pause;
    Text Resume;
    Text Stop;
    Text Finished;  // %1 from, %2 to, then the counts
    Text Cancelled;
    Text DiskFull;         // %1 the system's words
    Text FolderGone;       // %1 the folder
    Text WriteFailed;      // %1 the folder, %2 the system's words
    Text SiteUnreachable;  // %1 the system's words
    Text KeptSoFar;
    Text OpenFolder;
    Text Close;
};
extern const RangeTexts Range;

// The words of key names that differ by language ("Strg+T"); Alt, letters,
// digits and F keys are written alike in both.
struct KeyNameTexts {
    Text Ctrl;
    Text Shift;
    Text Left;
};
extern const KeyNameTexts KeyNames;

// The tool row's overflow menu: the names of the functions whose hints
// carry their key or are too long for a menu on a small screen, and the
// hint of the menu's button.
struct ToolMenuTexts {
    Text More;
    Text Refresh;
    Text Stop;
    Text AutoSkip;
    Text Help;
};
extern const ToolMenuTexts ToolMenu;

// The help window's title: the application title, " - ", then this.
extern const Text HelpWindowTitles;

// What the browser view shows in the status bar and the messages of what it
// refuses to do. "%1" and "%2" are filled in as marked.
struct BrowserViewTexts {
    Text Loading;          // %1 the address
    Text LoadingProgress;  // %1 the address, %2 the percentage
    Text Done;
    Text DoneWithHttpStatus;  // %1 the HTTP status code
    Text Failed;              // %1 the engine's reason
    Text CannotReach;         // %1 the engine's code of the connection error
    Text Stopped;
    Text CannotOpenAddress;  // %1 the address
    Text NoPreviousPage;
    Text ViewClosed;
    Text FetchTimedOut;
    Text FetchBusy;
    Text DialogsRefused;
    // Why a page's renderer is gone: the status bar and the log say it.
    Text RendererEnded;  // the program ended it, hung
    Text RendererOutOfMemory;
    Text RendererCrashed;           // %1 the engine's code of the end
    Text RendererEndedFromOutside;  // %1 the engine's code of the end
};
extern const BrowserViewTexts BrowserView;

// The entries that the engine may put into the view's context menu.
struct ContextMenuTexts {
    Text Back;
    Text Forward;
    Text Stop;
    Text Reload;
    Text Cut;
    Text Copy;
    Text Paste;
    Text Undo;
    Text Redo;
    Text SelectAll;
    Text PasteAndMatchStyle;
    Text OpenLinkInThisWindow;
    Text OpenLinkInNewWindow;
    Text OpenLinkInNewTab;
    Text OpenLinkInNewBackgroundTab;
    Text CopyLinkToClipboard;
    Text DownloadLinkToDisk;
    Text CopyImageToClipboard;
    Text CopyImageUrlToClipboard;
    Text DownloadImageToDisk;
    Text CopyMediaUrlToClipboard;
    Text ToggleMediaControls;
    Text ToggleMediaLoop;
    Text ToggleMediaPlayPause;
    Text ToggleMediaMute;
    Text DownloadMediaToDisk;
    Text InspectElement;
    Text ExitFullScreen;
    Text SavePage;
    Text ViewSource;
    Text Unselect;
};
extern const ContextMenuTexts ContextMenu;

// What the status bar says while the program waits for a busy site.
struct BusySiteTexts {
    Text Waiting;  // %1 the HTTP status, %2 the seconds left
    Text GaveUp;   // %1 the HTTP status, %2 the retries made
    Text Stopped;  // the user ended the wait
    // A gateway or upstream failure, as Waiting and GaveUp.
    Text Trouble;
    Text TroubleGaveUp;
    // The connection closed without an answer: %1 the seconds left, or the
    // retries made.
    Text NoAnswer;
    Text NoAnswerGaveUp;
};
extern const BusySiteTexts BusySite;

// The settings store's messages: %1 the file, %2 the system's reason.
struct SettingsFileTexts {
    Text CannotOpen;
    Text CannotRead;
    Text CannotCreate;
    Text CannotWrite;
    Text CannotReplace;
    Text NotRegularFile;  // %1 only
    Text ReadOnly;        // %1 only
};
extern const SettingsFileTexts SettingsFile;

// What the log and the status bar say when a step goes over photos already
// known to be missing.
struct KnownMissingTexts {
    Text SkippedOne;   // %1 the index
    Text SkippedMany;  // %1 the count, %2 the first index, %3 the last
};
extern const KnownMissingTexts KnownMissing;

// What the status bar says when a favourite is added or deleted.
struct FavoriteTexts {
    Text AddedPhoto;  // %1 the entry
    Text AddedUser;   // %1 the entry
    // Said until the user's next action, while Ctrl+Z takes the removal back.
    Text RemovedPhoto;   // %1 the entry
    Text RemovedUser;    // %1 the entry
    Text RestoredPhoto;  // %1 the entry
    Text RestoredUser;   // %1 the entry
    Text Dropped;        // %1 the entries dropped, %2 the list's bound
};
extern const FavoriteTexts Favorite;

// The photo actions: the view's context menu, the status bar and the error
// box. "%1" is the file or folder concerned, "%2" the detail.
struct PhotoTexts {
    Text SavePhoto;
    Text SavePhotoAs;
    Text CopyPhoto;
    Text CopyAddress;
    Text OpenInBrowser;
    Text Slideshow;
    Text SavedAs;  // %1 the file
    Text SaveDialogTitle;
    Text ImageFiles;  // the file dialog's filter name
    Text PhotoCopied;
    Text AddressCopied;  // %1 the address
    Text SlideshowRuns;  // %1 the seconds
    Text SlideshowEnded;
    Text FolderNotWritable;
    Text DiskFull;
    Text WriteFailed;
    Text SiteError;
    Text NotAnImage;
    Text FetchFailed;
    Text NoFreeName;
    Text TooLarge;  // %2 the limit
    // Details of a fetch that ended without the photo.
    Text NoAnswerInTime;
    Text StoppedArriving;
    Text StoppedWhenLeft;
    Text NoPictureBytes;
    Text ViewGone;
    Text FetchCancelled;
    Text ClipboardFailed;
    Text CannotOpenInBrowser;  // %1 the address
};
extern const PhotoTexts Photo;

// ---- The start of the program and its first pages

// What the program says before its window exists, and to a user whose site
// the program cannot reach yet.
struct StartTexts {
    // Root without the engine's sandbox switch: why the program cannot start
    // and the two ways out.
    Text SandboxRefused;
    // A page of the program's own addresses could not be reached: where
    // they are set; %1 the settings' key.
    Text SiteAddressesInSettings;
};
extern const StartTexts Start;

// The browser engine's own pages (its error pages) and the languages a page
// is asked for follow the program's language, not the desktop's: the
// engine's locale name and the Accept-Language header of each language.
extern const char* const EngineLocales[LanguageCount];
extern const char* const AcceptLanguages[LanguageCount];

// The text with "%1", "%2", ... replaced by the arguments in their order; a
// placeholder without an argument stays as it is.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> arguments);

// ExeDir + stem + ".HLP"; exeDir ends in the path separator.
std::string HelpFileName(const std::string& exeDir, int language);

}  // namespace kpw::texts
