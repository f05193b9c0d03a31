#pragma once

#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <utility>

#include "SitePages.h"

namespace kpw {

// Draws the demo pictures: the photo's index in big digits and the size name
// on a colour that changes with the index. Needs a QGuiApplication; safe to
// call from the server's worker threads.
class PhotoRenderer {
public:
    std::string Jpeg(PhotoSize size, int photo);

private:
    static std::string Render(PhotoSize size, int photo);

    // Browsers ask for the same few pictures again and again (preloading, going
    // back), so the latest ones are kept.
    static constexpr size_t CacheSize = 64;
    std::mutex mutex_;
    std::map<std::pair<int, int>, std::string> cache_;
    std::deque<std::pair<int, int>> order_;
};

}  // namespace kpw
