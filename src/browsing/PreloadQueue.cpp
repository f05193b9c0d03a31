#include "browsing/PreloadQueue.h"

#include <algorithm>

#include "settings/Settings.h"

namespace kpw {

KnownMissing::KnownMissing(size_t capacity) : capacity_(std::max<size_t>(capacity, 1)) {}

std::optional<uint64_t> KnownMissing::KeyOf(const std::string& photoTemplate, int32_t index) const {
    auto id = templateIds_.find(photoTemplate);
    if (id == templateIds_.end()) return std::nullopt;
    return (uint64_t{id->second} << 32) | static_cast<uint32_t>(index);
}

uint32_t KnownMissing::IdOf(const std::string& photoTemplate) {
    return templateIds_.try_emplace(photoTemplate, nextTemplateId_).second
               ? nextTemplateId_++
               : templateIds_.at(photoTemplate);
}

void KnownMissing::Share(const std::vector<std::string>& templates) {
    if (templates.empty()) return;
    const uint32_t id = IdOf(templates.front());
    for (const std::string& photoTemplate : templates) templateIds_[photoTemplate] = id;
}

void KnownMissing::Add(const std::string& photoTemplate, int32_t index) {
    IdOf(photoTemplate);
    const uint64_t key = *KeyOf(photoTemplate, index);
    if (!entries_.try_emplace(key, added_).second) return;
    order_.emplace_back(key, added_++);
    while (entries_.size() > capacity_) DropOldest();
    // Forgotten entries leave their numbers behind; they are swept out
    // before they can outgrow the entries themselves.
    if (order_.size() > 2 * capacity_) {
        std::erase_if(order_, [this](const std::pair<uint64_t, uint64_t>& item) {
            auto entry = entries_.find(item.first);
            return entry == entries_.end() || entry->second != item.second;
        });
    }
}

void KnownMissing::DropOldest() {
    while (!order_.empty()) {
        const auto [key, number] = order_.front();
        order_.pop_front();
        auto entry = entries_.find(key);
        if (entry != entries_.end() && entry->second == number) {
            entries_.erase(entry);
            return;
        }
    }
}

bool KnownMissing::Contains(const std::string& photoTemplate, int32_t index) const {
    const std::optional<uint64_t> key = KeyOf(photoTemplate, index);
    return key && entries_.count(*key) != 0;
}

void KnownMissing::Forget(const std::string& photoTemplate, int32_t index) {
    if (const std::optional<uint64_t> key = KeyOf(photoTemplate, index)) entries_.erase(*key);
}

void KnownMissing::Clear() {
    entries_.clear();
    order_.clear();
}

KnownGapJump JumpOverKnownMissing(const std::function<bool(int32_t)>& knownMissing, int32_t target,
                                  bool down, int32_t allowed) {
    KnownGapJump jump{target, 0};
    while (jump.Skipped < allowed && jump.Target > 1 && jump.Target < MaxIndex &&
           knownMissing(jump.Target)) {
        jump.Target += down ? -1 : 1;
        ++jump.Skipped;
    }
    return jump;
}

void PreloadQueue::SetPageCount(size_t pageCount) {
    pages_.assign(pageCount, Page{});
}

bool PreloadQueue::WithinReach(int32_t index) const {
    const int64_t distance =
        aim_.Down ? int64_t{aim_.Current} - index : int64_t{index} - aim_.Current;
    return distance >= 1 && distance <= aim_.Reach;
}

std::vector<size_t> PreloadQueue::Aim(const PreloadAim& aim) {
    const bool afresh = !aimed_ || aim.Key != aim_.Key;
    const bool turned = afresh || aim.Down != aim_.Down || aim.SkipsMissing != aim_.SkipsMissing;
    if (afresh) fetched_.clear();
    aim_ = aim;
    aimed_ = true;
    std::vector<size_t> dropped;
    for (size_t i = 0; i < pages_.size(); ++i) {
        Page& page = pages_[i];
        if (page.State != PageState::Loading) continue;
        if (turned || !WithinReach(page.Index)) {
            page.State = PageState::Dropped;
            dropped.push_back(i);
        }
    }
    return dropped;
}

std::vector<size_t> PreloadQueue::CancelAll() {
    std::vector<size_t> dropped;
    for (size_t i = 0; i < pages_.size(); ++i) {
        if (pages_[i].State != PageState::Loading) continue;
        pages_[i].State = PageState::Dropped;
        dropped.push_back(i);
    }
    return dropped;
}

std::optional<PreloadQueue::Fetch> PreloadQueue::Next(
    const std::function<bool(int32_t)>& knownMissing) const {
    if (!aimed_ || aim_.Depth <= 1) return std::nullopt;
    const std::optional<size_t> freePage = FreePage();
    if (!freePage) return std::nullopt;

    int32_t counted = 0;
    for (int64_t distance = 1; distance <= aim_.Reach; ++distance) {
        const int64_t index = aim_.Current + (aim_.Down ? -distance : distance);
        if (index < 1 || index > MaxIndex) break;
        const auto candidate = static_cast<int32_t>(index);
        // A gap already known is walked over: it costs nothing of the depth.
        if (aim_.SkipsMissing && knownMissing(candidate)) continue;
        if (counted >= aim_.Depth) break;
        ++counted;
        // Distance 1 is the hidden view's.
        if (distance == 1 || WasFetched(candidate) || InFlight(candidate)) continue;
        return Fetch{*freePage, candidate};
    }
    return std::nullopt;
}

std::optional<size_t> PreloadQueue::FreePage() const {
    if (InFlightCount() >= MaxInFlight) return std::nullopt;
    for (size_t i = 0; i < pages_.size(); ++i)
        if (pages_[i].State == PageState::Free) return i;
    return std::nullopt;
}

void PreloadQueue::Started(const Fetch& fetch) {
    if (fetch.Page >= pages_.size()) return;
    pages_[fetch.Page] = {PageState::Loading, fetch.Index};
}

std::optional<int32_t> PreloadQueue::Finished(size_t page) {
    if (page >= pages_.size()) return std::nullopt;
    const Page ended = pages_[page];
    pages_[page] = {};
    if (ended.State != PageState::Loading) return std::nullopt;
    return ended.Index;
}

void PreloadQueue::Fetched(int32_t index) {
    if (WasFetched(index)) return;
    fetched_.push_back(index);
    if (fetched_.size() > FetchedMemory) fetched_.pop_front();
}

bool PreloadQueue::WasFetched(int32_t index) const {
    return std::find(fetched_.begin(), fetched_.end(), index) != fetched_.end();
}

bool PreloadQueue::InFlight(int32_t index) const {
    return std::any_of(pages_.begin(), pages_.end(), [index](const Page& page) {
        return page.State == PageState::Loading && page.Index == index;
    });
}

bool PreloadQueue::Awaiting() const {
    return std::any_of(pages_.begin(), pages_.end(),
                       [](const Page& page) { return page.State == PageState::Loading; });
}

int PreloadQueue::InFlightCount() const {
    return static_cast<int>(std::count_if(pages_.begin(), pages_.end(), [](const Page& page) {
        return page.State != PageState::Free;
    }));
}

}  // namespace kpw
