#include "archive/MemoryArchive.h"

#include "archive/IndexSpan.h"

namespace kpw {

template <typename Change>
bool MemoryArchive::Note(const std::string& photoTemplate, int32_t index, Change change) {
    if (batchDepth_ > 0 && batchFailed_) return false;
    if (refuse_) {
        if (batchDepth_ > 0) {
            batchFailed_ = true;
            cells_ = beforeBatch_;
        }
        return false;
    }
    ArchiveEntry& entry = cells_[photoTemplate][index];
    entry.Index = index;
    change(entry);
    return true;
}

bool MemoryArchive::NoteSeen(const std::string& photoTemplate, int32_t index, int64_t time) {
    return Note(photoTemplate, index, [&](ArchiveEntry& entry) { entry.Seen = time; });
}

bool MemoryArchive::NoteKept(const std::string& photoTemplate, int32_t index,
                             const KeptFile& file) {
    return Note(photoTemplate, index, [&](ArchiveEntry& entry) { entry.Kept = file; });
}

bool MemoryArchive::NoteMissing(const std::string& photoTemplate, int32_t index, MissingHow how,
                                int64_t time) {
    return Note(photoTemplate, index, [&](ArchiveEntry& entry) {
        entry.Missing = MissingNote{how, time};
    });
}

ArchiveEntry MemoryArchive::Lookup(const std::string& photoTemplate, int32_t index) const {
    const auto site = cells_.find(photoTemplate);
    if (site != cells_.end()) {
        const auto cell = site->second.find(index);
        if (cell != site->second.end()) return cell->second;
    }
    return ArchiveEntry{.Index = index};
}

std::vector<ArchiveEntry> MemoryArchive::LookupRange(const std::string& photoTemplate,
                                                     int32_t first, int32_t count) const {
    std::vector<ArchiveEntry> entries;
    const int32_t n = archive::EntriesOfRange(first, count, MaxRange);
    entries.reserve(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) entries.push_back(Lookup(photoTemplate, first + k));
    return entries;
}

template <typename Wanted>
std::optional<int32_t> MemoryArchive::NextWhere(const std::string& photoTemplate, int32_t from,
                                                bool down, int32_t limit, Wanted wanted) const {
    const std::optional<archive::IndexSpan> span = archive::SpanOfSearch(from, down, limit);
    if (!span) return std::nullopt;
    for (int64_t index = from; index >= span->Low && index <= span->High; index += down ? -1 : 1) {
        if (wanted(Lookup(photoTemplate, static_cast<int32_t>(index))))
            return static_cast<int32_t>(index);
    }
    return std::nullopt;
}

std::optional<int32_t> MemoryArchive::NextNotSeen(const std::string& photoTemplate, int32_t from,
                                                  bool down, int32_t limit) const {
    return NextWhere(photoTemplate, from, down, limit,
                     [](const ArchiveEntry& entry) { return !entry.Seen; });
}

std::optional<int32_t> MemoryArchive::NextNotSettled(const std::string& photoTemplate, int32_t from,
                                                     bool down, int32_t limit) const {
    return NextWhere(photoTemplate, from, down, limit,
                     [](const ArchiveEntry& entry) { return !entry.Kept && !entry.Missing; });
}

void MemoryArchive::BeginBatch() {
    if (batchDepth_++ == 0) {
        beforeBatch_ = cells_;
        batchFailed_ = false;
    }
}

bool MemoryArchive::EndBatch() {
    if (batchDepth_ == 0) return false;
    if (--batchDepth_ > 0) return !batchFailed_;
    beforeBatch_.clear();
    return !batchFailed_;
}

}  // namespace kpw
