#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "browsing/FavoritesNavigation.h"
#include "browsing/MainWindowPort.h"
#include "favorites/FavoriteList.h"
#include "settings/Settings.h"

namespace kpw {


// The message of a failed conversion of a text to an integer, %s being the
// text; the same German wording in both interface languages.
inline constexpr const char* InvalidIntegerMessage = "'%s' ist kein gültiger Integerwert";

// The favourites buttons and the two lists of the main window. Each public
// handler is one window event; the lists are the window's (it draws them
// from here when told through FavoriteListChanged).
class FavoritesController {
public:
    FavoritesController(Settings& settings, MainWindowPort& window, FavoritesNavigation& navigator,
                        FavoriteList& favoritePhotos, FavoriteList& favoriteUsers);

    // Control::FavoriteUsers gives the users list, anything else the photos list.
    FavoriteList& List(Control list);
    const FavoriteList& List(Control list) const;
    // The list the three buttons act on: users while SpeedButtonURL3 is down.
    Control ListInForce() const;
    // Whether the open list was opened for selecting (else for deleting).

    // Start-up: each list that holds entries selects its top entry.
    void SelectFirstEntries();

    void SpeedButtonAddFavoriteOnClick();
    void SpeedButtonSelectFavoriteOnClick();
    void SpeedButtonDeleteFavoriteOnClick();

    // An entry was chosen in list (Control::FavoritePhotos or FavoriteUsers).
    void ComboBoxFavoritePhotosOrUsersOnSelect(Control list, int position);
    void ComboBoxFavoritePhotosOrUsersOnKeyPress(Control list, char key);
    void ComboBoxFavoritePhotosOrUsersOnCloseUp();
    void ComboBoxFavoritePhotosOrUsersOnExit();

    // A deleted entry can be taken back from its deletion to the user's
    // next action, as long as the status bar says it was removed.
    bool CanUndoDelete() const { return removed_.has_value(); }
    // Puts the deleted entry back where it was; false when there is none.
    bool UndoDelete();
    // A key, click or wheel turn of the user other than the undo: the
    // deleted entry stays deleted and its message goes.
    void UserActed();

private:
    void OpenList(bool forSelecting);
    void SelectEntry(Control list, int position);
    void DeleteEntry(Control list, int position);
    // The index text an added entry carries and the key it is found by.
    std::string IndexTextOfField(std::string& key) const;
    std::string AddPrompt(Control list, const std::string& indexText) const;
    int LanguageIndex() const;

    Settings& settings_;
    MainWindowPort& window_;
    FavoritesNavigation& navigator_;
    FavoriteList& favoritePhotos_;
    FavoriteList& favoriteUsers_;
    bool favoriteSelectMode_ = false;
    // The entry deleted last, while it can be taken back.
    struct RemovedEntry {
        Control List;
        int Position;
        FavoriteEntry Entry;
        int Selected;
        std::string Message;
    };
    std::optional<RemovedEntry> removed_;
};

}  // namespace kpw
