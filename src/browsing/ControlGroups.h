#pragma once

#include "browsing/MainWindowPort.h"
#include "settings/Settings.h"

namespace kpw {

// PhotoSizeButtons[1..4] and URLButtons[1..3]; numbers outside the group are
// brought to its nearest button.
inline Control PhotoSizeButton(int photoSize) {
    return static_cast<Control>(static_cast<int>(Control::PhotoSize1) + Clamp(photoSize, 1, 4) - 1);
}

inline Control URLButton(int urlIndex) {
    return static_cast<Control>(static_cast<int>(Control::URL1) + Clamp(urlIndex, 1, 3) - 1);
}

}  // namespace kpw
