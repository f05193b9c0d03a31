#pragma once

#include <memory>
#include <optional>
#include <string>

#include "favorites/FavoriteList.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "settings/WindowPlacement.h"

class QWidget;

namespace kpw {

class BrowserView;
class FavoritesController;
class MainWindowPort;
class Navigator;
class OverviewSheet;
class KeepFetchPort;
class KeepFiles;
class RangeKeeper;
struct RangeOrder;
class SqliteArchive;
class PhotoActions;
class ThumbnailPort;
class PhotoFetcher;
class QtClock;

// Where the session finds its settings file; the program takes both from
// the platform layer, tests hand in their own.
struct FormMainPaths {
    std::string ExeName;
    std::string AppData;
};

// One run of the main window: the settings and favourites lists of its INI
// file, and the clock, Navigator, FavoritesController and PhotoActions that
// work on them for the window. The window's creation and close handlers call
// in here; the window shows and forwards.
class MainSession {
public:
    explicit MainSession(FormMainPaths paths);
    ~MainSession();
    MainSession(const MainSession&) = delete;
    MainSession& operator=(const MainSession&) = delete;

    // Locates the settings file (beside the program, else in the user's
    // folder) and reads the settings and lists; workArea bounds the window.
    void LoadSettings(const WorkArea& workArea);
    // Creates the logic for the window and its views. A failure raised in a
    // timer's handler is shown in the window's error box. The thumbnails
    // fetch the overview sheet's pictures; they must outlive Release.
    void Compose(MainWindowPort& window, BrowserView& visibleView, BrowserView& hiddenView,
                 PhotoFetcher& fetcher, ThumbnailPort& thumbnails, QWidget* dialogParent);
    // Keeping ranges of photos, after Compose; the fetcher must outlive
    // Release.
    void ComposeRanges(KeepFetchPort& fetcher);
    // Ends what Compose created, timers first; the window calls it before it
    // and its views go, as the logic refers to both.
    void Release();
    // Writes the settings and lists with the window's outer bounds; the
    // reason when the file could not be written.
    std::optional<std::string> StoreSettings(const WindowBounds& outerBounds) const;

    Settings& CurrentSettings() { return settings_; }
    const Settings& CurrentSettings() const { return settings_; }
    FavoriteList& FavoritePhotos() { return favoritePhotos_; }
    FavoriteList& FavoriteUsers() { return favoriteUsers_; }
    // Why the archive of seen photos is not used as it should be, for the
    // log; empty when it is.
    const std::string& ArchiveMessage() const { return archiveMessage_; }
    // Valid between Compose and Release.
    Navigator& Logic() const { return *navigator_; }
    FavoritesController& Favorites() const { return *favorites_; }
    PhotoActions& Photos() const { return *photoActions_; }
    OverviewSheet& Sheet() const { return *sheet_; }
    // Valid between ComposeRanges and Release.
    RangeKeeper& Ranges() const { return *ranges_; }
    // A range as the dialog first offers it: from the photo index on, the
    // size in force, into the folder of Save photo.
    RangeOrder NewRangeOrder() const;
    // The templates of the size chosen.
    void CompleteRangeOrder(RangeOrder& order) const;

private:
    FormMainPaths paths_;
    SettingsLocation location_;
    Settings settings_;
    FavoriteList favoritePhotos_;
    FavoriteList favoriteUsers_;
    // Before the logic that uses them, so they go after it.
    std::unique_ptr<SqliteArchive> archive_;
    std::string archiveMessage_;
    std::unique_ptr<QtClock> clock_;
    std::unique_ptr<Navigator> navigator_;
    // After the navigator, whose scheduler and verdicts it uses.
    std::unique_ptr<OverviewSheet> sheet_;
    std::unique_ptr<FavoritesController> favorites_;
    std::unique_ptr<PhotoActions> photoActions_;
    std::unique_ptr<KeepFiles> keepFiles_;
    std::unique_ptr<RangeKeeper> ranges_;
};

}  // namespace kpw
