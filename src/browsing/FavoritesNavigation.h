#pragma once

#include <cstdint>
#include <string>

namespace kpw {

// What the favourites ask of the navigation: showing a chosen entry and the
// tool row around the lists.
class FavoritesNavigation {
public:
    virtual ~FavoritesNavigation() = default;
    virtual void ShowControls(bool visible) = 0;
    virtual void HideFavoriteLists() = 0;
    // The photo of this index, in the photo mode in force.
    virtual void OpenFavoritePhoto(int32_t index) = 0;
    // The user page of this index, in the user mode.
    virtual void OpenFavoriteUser(int32_t index) = 0;
    // A message in the status bar that the views' own texts ("Done", a
    // hovered link) do not replace, until the user navigates or it is
    // released.
    virtual void HoldStatus(const std::string& text) = 0;
    // Ends the held message and empties the status bar, if text is still
    // the message held.
    virtual void ReleaseStatus(const std::string& text) = 0;
};

}  // namespace kpw
