#include "favorites/FavoriteList.h"

#include <algorithm>

#include "browsing/IndexText.h"

namespace kpw {

std::optional<int> FavoriteList::Find(const std::string& indexText) const {
    for (int position = 0; position < Count(); ++position) {
        if (LeadingDigits(At(position)) == indexText) return position;
    }
    return std::nullopt;
}

std::vector<FavoriteEntry> FavoriteList::AddOrUpdate(const std::string& key, FavoriteEntry entry,
                                                     int maxCount) {
    std::vector<FavoriteEntry> dropped;
    if (std::optional<int> found = Find(key)) {
        entries_.erase(entries_.begin() + *found);
    } else {
        // A list loaded under a higher bound shrinks here, not on updates.
        const size_t bound = static_cast<size_t>(std::max(maxCount, 1));
        while (entries_.size() >= bound) {
            dropped.push_back(std::move(entries_.back()));
            entries_.pop_back();
        }
    }
    entries_.insert(entries_.begin(), std::move(entry));
    selected_ = 0;
    return dropped;
}

void FavoriteList::MoveToTop(int position) {
    if (!IsPosition(position)) return;
    FavoriteEntry entry(TrimAscii(At(position)));
    entries_.erase(entries_.begin() + position);
    entries_.insert(entries_.begin(), std::move(entry));
    selected_ = 0;
}

void FavoriteList::Insert(int position, FavoriteEntry entry) {
    position = std::clamp(position, 0, Count());
    const int selected = Selected();
    entries_.insert(entries_.begin() + position, std::move(entry));
    if (selected != NoSelection && selected >= position) selected_ = selected + 1;
}

void FavoriteList::Remove(int position) {
    if (!IsPosition(position)) return;
    entries_.erase(entries_.begin() + position);
    selected_ = entries_.empty() ? NoSelection : 0;
}

}  // namespace kpw
