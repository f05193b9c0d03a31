#include "browsing/MissingPhoto.h"

#include "browsing/BusySite.h"
#include "browsing/PageAnalysis.h"

namespace kpw {

PhotoVerdict JudgePhotoPage(const DocumentContent& content, bool atPlaceholder,
                            const MissingRules& rules) {
    if (IsBusyAnswer(content)) return PhotoVerdict::Busy;
    if (rules.ByStatus && (content.HttpStatus == 404 || content.HttpStatus == 410))
        return PhotoVerdict::Missing;
    if (rules.ByPlaceholder && atPlaceholder) return PhotoVerdict::Missing;
    if (!content.BodyText) return PhotoVerdict::Unreadable;
    return PhotoIsMissing(*content.BodyText) ? PhotoVerdict::Missing : PhotoVerdict::Present;
}

void PlaceholderMemory::NoteRedirect(const std::string& photoTemplate, int32_t index,
                                     const std::string& finalURL) {
    if (finalURL.empty()) return;
    Site& site = sites_[photoTemplate];
    const auto [seen, added] = site.FirstIndexAt.emplace(finalURL, index);
    if (!added) {
        if (seen->second != index) site.Shared.insert(finalURL);
        return;
    }
    site.Order.push_back(finalURL);
    if (site.Order.size() > Capacity) {
        // A shared address stays known: it is the placeholder itself.
        site.FirstIndexAt.erase(site.Order.front());
        site.Order.pop_front();
    }
}

void PlaceholderMemory::NoteAbsentAnswer(const std::string& photoTemplate,
                                         const std::string& finalURL) {
    sites_[photoTemplate].AbsentAnswer = finalURL;
}

bool PlaceholderMemory::IsPlaceholder(const std::string& photoTemplate, int32_t index,
                                      const std::string& finalURL) const {
    const auto site = sites_.find(photoTemplate);
    if (finalURL.empty() || site == sites_.end()) return false;
    if (finalURL == site->second.AbsentAnswer || site->second.Shared.count(finalURL)) return true;
    const auto seen = site->second.FirstIndexAt.find(finalURL);
    return seen != site->second.FirstIndexAt.end() && seen->second != index;
}

std::optional<int32_t> PlaceholderMemory::FirstIndexAt(const std::string& photoTemplate,
                                                       const std::string& finalURL) const {
    const auto site = sites_.find(photoTemplate);
    if (site == sites_.end()) return std::nullopt;
    const auto seen = site->second.FirstIndexAt.find(finalURL);
    if (seen == site->second.FirstIndexAt.end()) return std::nullopt;
    return seen->second;
}

bool PlaceholderMemory::Probed(const std::string& photoTemplate) const {
    const auto site = sites_.find(photoTemplate);
    return site != sites_.end() && site->second.Probed;
}

void PlaceholderMemory::SetProbed(const std::string& photoTemplate, bool probed) {
    sites_[photoTemplate].Probed = probed;
}

void PlaceholderMemory::ForgetRedirects() {
    for (auto& [photoTemplate, site] : sites_) {
        site.FirstIndexAt.clear();
        site.Shared.clear();
        site.Order.clear();
    }
}

}  // namespace kpw
