#include "browsing/ShownPhoto.h"

#include <string_view>

#include "browsing/IndexText.h"
#include "browsing/PageAnalysis.h"
#include "settings/AsciiText.h"

namespace kpw {

std::optional<ShownPhotoInfo> ShownPhoto(DisplayMode mode, bool statisticsView,
                                         int32_t currentIndex, const std::string& shownURL,
                                         const URLTemplateTable& table, int photoSize) {
    if (mode == DisplayMode::UserPage) return std::nullopt;
    int32_t index = currentIndex;
    if (mode == DisplayMode::PhotoInformation && !statisticsView) {
        if (StartsWithIgnoringCase(shownURL, table.ModePrefix(3))) return std::nullopt;
        const std::string& prefix = table.ModePrefix(2);
        if (StartsWithIgnoringCase(shownURL, prefix)) {
            std::optional<int32_t> photo =
                LeadingIndex(std::string_view(shownURL).substr(prefix.size()));
            if (photo && *photo >= 1) index = *photo;
        }
    }
    if (index < 1) return std::nullopt;
    const std::string& photoTemplate = table[URLTemplateTable::SizeTemplateSlot(photoSize)];
    return ShownPhotoInfo{PutIndexIntoTemplate(photoTemplate, index), index};
}

}  // namespace kpw
