#pragma once

#include <map>
#include <string>

#include "archive/PhotoArchive.h"

namespace kpw {

// The archive in memory, for the tests of the modules that use one. It
// keeps the same rules as the real one, batches included, and can be told
// to refuse notes as a full disk would.
class MemoryArchive final : public PhotoArchive {
public:
    bool NoteSeen(const std::string& photoTemplate, int32_t index, int64_t time) override;
    bool NoteKept(const std::string& photoTemplate, int32_t index, const KeptFile& file) override;
    bool NoteMissing(const std::string& photoTemplate, int32_t index, MissingHow how,
                     int64_t time) override;

    ArchiveEntry Lookup(const std::string& photoTemplate, int32_t index) const override;
    std::vector<ArchiveEntry> LookupRange(const std::string& photoTemplate, int32_t first,
                                          int32_t count) const override;
    std::optional<int32_t> NextNotSeen(const std::string& photoTemplate, int32_t from, bool down,
                                       int32_t limit) const override;
    std::optional<int32_t> NextNotSettled(const std::string& photoTemplate, int32_t from, bool down,
                                          int32_t limit) const override;

    void BeginBatch() override;
    bool EndBatch() override;

    // While on, every note fails as if the disk were full.
    void RefuseNotes(bool refuse) { refuse_ = refuse; }

private:
    using Cells = std::map<std::string, std::map<int32_t, ArchiveEntry>>;
    template <typename Change>
    bool Note(const std::string& photoTemplate, int32_t index, Change change);
    template <typename Wanted>
    std::optional<int32_t> NextWhere(const std::string& photoTemplate, int32_t from, bool down,
                                     int32_t limit, Wanted wanted) const;

    Cells cells_;
    Cells beforeBatch_;
    int batchDepth_ = 0;
    bool batchFailed_ = false;
    bool refuse_ = false;
};

}  // namespace kpw
