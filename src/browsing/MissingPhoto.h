#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>

#include "browsing/BrowserView.h"

namespace kpw {

// Which signs of a missing photo count besides the error words of the page.
struct MissingRules {
    // HTTP 404 and 410 mean missing, whatever the page says.
    bool ByStatus = true;
    // A photo address sent on to a picture other photos are sent to too.
    bool ByPlaceholder = true;
};

enum class PhotoVerdict {
    Present,
    Missing,
    // The site asks to wait; the photo is neither.
    Busy,
    // The page's text could not be read, and nothing else decides.
    Unreadable,
    // The page on view waits for evidence still in flight.
    Pending,
};

// The one decision for every view: the page on view, the hidden neighbour
// and the pages fetched ahead. atPlaceholder: the load ended at a known
// placeholder (see PlaceholderMemory).
PhotoVerdict JudgePhotoPage(const DocumentContent& content, bool atPlaceholder,
                            const MissingRules& rules);

// Where the photo loads of each site ended when that was not the photo's own
// address. A site that sends every missing photo to one placeholder picture
// gives itself away when a second photo ends at the same address, or when
// its answer for an index that cannot exist ends there.
class PlaceholderMemory {
public:
    // Addresses remembered per photo template; beyond, the oldest goes.
    static constexpr size_t Capacity = 10000;

    // A load of the photo at index ended at finalURL, which is not its own.
    void NoteRedirect(const std::string& photoTemplate, int32_t index, const std::string& finalURL);
    // The site's answer for an index that cannot exist ended at finalURL.
    void NoteAbsentAnswer(const std::string& photoTemplate, const std::string& finalURL);
    bool IsPlaceholder(const std::string& photoTemplate, int32_t index,
                       const std::string& finalURL) const;
    // The first photo whose load ended at finalURL, while it is remembered.
    std::optional<int32_t> FirstIndexAt(const std::string& photoTemplate,
                                        const std::string& finalURL) const;

    // The one request per template and session that asks for an absent index.
    bool Probed(const std::string& photoTemplate) const;
    void SetProbed(const std::string& photoTemplate, bool probed);

    // The user asks the site anew: the redirects seen so far are forgotten.
    void ForgetRedirects();

private:
    struct Site {
        std::string AbsentAnswer;
        bool Probed = false;
        std::unordered_map<std::string, int32_t> FirstIndexAt;
        std::unordered_set<std::string> Shared;
        std::deque<std::string> Order;
    };
    std::unordered_map<std::string, Site> sites_;
};

// The index the probe asks for: no site numbers its photos that high.
inline constexpr int32_t AbsentPhotoIndex = 2147483647;

}  // namespace kpw
