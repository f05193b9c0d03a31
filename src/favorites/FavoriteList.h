#pragma once

#include <optional>
#include <string>
#include <vector>

#include "favorites/FavoriteEntry.h"

namespace kpw {

// One favourites list: entries in recency order (position 0 at the top) and
// the selected position. It is the only copy; the window draws from it and
// the settings store loads and stores Entries() directly.
class FavoriteList {
public:
    static constexpr int NoSelection = -1;

    std::vector<FavoriteEntry>& Entries() { return entries_; }
    const std::vector<FavoriteEntry>& Entries() const { return entries_; }
    int Count() const { return static_cast<int>(entries_.size()); }
    bool Empty() const { return entries_.empty(); }
    bool IsPosition(int position) const { return position >= 0 && position < Count(); }
    // The entry at a valid position.
    const FavoriteEntry& At(int position) const { return entries_[static_cast<size_t>(position)]; }

    // The selected position, or NoSelection (also when the entries were
    // replaced behind the list's back and the position no longer exists).
    int Selected() const { return IsPosition(selected_) ? selected_ : NoSelection; }
    // Positions outside the list select nothing.
    void Select(int position) { selected_ = IsPosition(position) ? position : NoSelection; }

    // The first entry, from the top, whose index text is exactly indexText
    // (007 and 7 differ).
    std::optional<int> Find(const std::string& indexText) const;

    // Puts entry at the top and selects it. An entry with the index text key
    // is replaced, so the length stays; otherwise bottom entries go while
    // the list holds maxCount or more (a bound below 1 counts as 1).
    // Returns the bottom entries that went.
    std::vector<FavoriteEntry> AddOrUpdate(const std::string& key, FavoriteEntry entry,
                                           int maxCount);

    // Moves the entry at position to the top, trimmed, and selects it.
    void MoveToTop(int position);

    // Removes the entry at position; the top entry is selected if any remain.
    void Remove(int position);

    // Puts entry at position (the nearest end for one beyond the list),
    // moving the entries from there down by one; the selection stays with
    // the entry it was on.
    void Insert(int position, FavoriteEntry entry);

private:
    std::vector<FavoriteEntry> entries_;
    int selected_ = NoSelection;
};

}  // namespace kpw
