#pragma once

#include "browsing/MainWindowPort.h"
#include "settings/SettingsTable.h"

namespace kpw {

// PhotoSizeButtons[1..4] and URLButtons[1..3]; numbers outside the group are
// brought to its nearest button.
constexpr ToolButton PhotoSizeButton(int photoSize) {
    return static_cast<ToolButton>(static_cast<int>(ToolButton::PhotoSize1) +
                                   Clamp(photoSize, BoundsOf("PhotoSize")) - 1);
}

constexpr ToolButton URLButton(int urlIndex) {
    return static_cast<ToolButton>(static_cast<int>(ToolButton::URL1) +
                                   Clamp(urlIndex, BoundsOf("URLIndex")) - 1);
}

inline void EnablePhotoSizeButtons(MainWindowPort& window, bool enabled) {
    for (int size = 1; size <= 4; ++size)
        window.SetEnabled(ControlOf(PhotoSizeButton(size)), enabled);
}

}  // namespace kpw
