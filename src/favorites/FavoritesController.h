#pragma once

#include <cstdint>
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
};

}  // namespace kpw
