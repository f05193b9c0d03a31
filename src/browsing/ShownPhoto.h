#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "browsing/DisplayMode.h"
#include "browsing/URLTemplateTable.h"

namespace kpw {

// The photo a page on view shows.
struct ShownPhotoInfo {
    std::string URL;
    int32_t Index = 0;
};

// The photo of the page on view: the display mode 1 address, in photoSize,
// of the photo index shown; nothing when a user page is on view. shownURL is
// where the visible view is now (a link followed from an information page
// shows another photo, or a user); currentIndex the index the window shows.
std::optional<ShownPhotoInfo> ShownPhoto(DisplayMode mode, bool statisticsView,
                                         int32_t currentIndex, const std::string& shownURL,
                                         const URLTemplateTable& table, int photoSize);

}  // namespace kpw
