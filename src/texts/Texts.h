#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

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

// The help window's title: the application title, " - ", then this.
extern const char* const HelpWindowTitles[LanguageCount];

// What the browser view shows in the status bar and the messages of what it
// refuses to do. "%1" and "%2" are filled in as marked.
struct BrowserViewTexts {
    const char* Loading;          // %1 the address
    const char* LoadingProgress;  // %1 the address, %2 the percentage
    const char* Done;
    const char* DoneWithHttpStatus;  // %1 the HTTP status code
    const char* Failed;              // %1 the engine's reason
    const char* Stopped;
    const char* PageStoppedWorking;
    const char* CannotOpenAddress;  // %1 the address
    const char* NoPreviousPage;
    const char* ViewClosed;
    const char* FetchTimedOut;
    const char* FetchBusy;
};
extern const BrowserViewTexts BrowserViewTextTable[LanguageCount];

// The entries that the engine may put into the view's context menu.
struct ContextMenuTexts {
    const char* Back;
    const char* Forward;
    const char* Stop;
    const char* Reload;
    const char* Cut;
    const char* Copy;
    const char* Paste;
    const char* Undo;
    const char* Redo;
    const char* SelectAll;
    const char* PasteAndMatchStyle;
    const char* OpenLinkInThisWindow;
    const char* OpenLinkInNewWindow;
    const char* OpenLinkInNewTab;
    const char* OpenLinkInNewBackgroundTab;
    const char* CopyLinkToClipboard;
    const char* DownloadLinkToDisk;
    const char* CopyImageToClipboard;
    const char* CopyImageUrlToClipboard;
    const char* DownloadImageToDisk;
    const char* CopyMediaUrlToClipboard;
    const char* ToggleMediaControls;
    const char* ToggleMediaLoop;
    const char* ToggleMediaPlayPause;
    const char* ToggleMediaMute;
    const char* DownloadMediaToDisk;
    const char* InspectElement;
    const char* ExitFullScreen;
    const char* SavePage;
    const char* ViewSource;
    const char* Unselect;
};
extern const ContextMenuTexts ContextMenuTextTable[LanguageCount];

// What the status bar says while the program waits for a busy site.
struct BusySiteTexts {
    const char* Waiting;  // %1 the HTTP status, %2 the seconds left
    const char* GaveUp;   // %1 the HTTP status, %2 the retries made
};
extern const BusySiteTexts BusySiteTextTable[LanguageCount];

// The settings store's messages: %1 the file, %2 the system's reason.
struct SettingsFileTexts {
    const char* CannotOpen;
    const char* CannotRead;
    const char* CannotCreate;
    const char* CannotWrite;
    const char* CannotReplace;
    const char* NotRegularFile;  // %1 only
    const char* ReadOnly;        // %1 only
};
extern const SettingsFileTexts SettingsFileTextTable[LanguageCount];

// What the log and the status bar say when a step goes over photos already
// known to be missing.
struct KnownMissingTexts {
    const char* SkippedOne;   // %1 the index
    const char* SkippedMany;  // %1 the count, %2 the first index, %3 the last
};
extern const KnownMissingTexts KnownMissingTextTable[LanguageCount];

// The photo actions: the view's context menu, the status bar and the error
// box. "%1" is the file or folder concerned, "%2" the detail.
struct PhotoTexts {
    const char* SavePhoto;
    const char* SavePhotoAs;
    const char* CopyPhoto;
    const char* CopyAddress;
    const char* OpenInBrowser;
    const char* Slideshow;
    const char* SavedAs;  // %1 the file
    const char* SaveDialogTitle;
    const char* ImageFiles;  // the file dialog's filter name
    const char* PhotoCopied;
    const char* AddressCopied;  // %1 the address
    const char* SlideshowRuns;  // %1 the seconds
    const char* SlideshowEnded;
    const char* FolderNotWritable;
    const char* DiskFull;
    const char* WriteFailed;
    const char* SiteError;
    const char* NotAnImage;
    const char* FetchFailed;
    const char* NoFreeName;
    const char* ClipboardFailed;
    const char* CannotOpenInBrowser;  // %1 the address
};
extern const PhotoTexts PhotoTextTable[LanguageCount];

// The text with "%1", "%2", ... replaced by the arguments in their order; a
// placeholder without an argument stays as it is.
std::string FillIn(std::string_view text, std::initializer_list<std::string_view> arguments);

// ExeDir + stem + ".HLP"; exeDir ends in the path separator.
std::string HelpFileName(const std::string& exeDir, int language);

}  // namespace kpw::texts
