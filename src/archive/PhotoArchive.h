#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kpw {

// How a photo was found missing. The numbers are what the archive stores: a
// new kind gets a new number, and no number is ever given to another kind.
enum class MissingHow : uint8_t {
    // The site answered 404 or 410.
    Status = 1,
    // The photo's address ended at the site's placeholder picture.
    Placeholder = 2,
    // The page said so in words.
    Words = 3,
};

// A photo kept on disk. Times are seconds since the epoch, as the caller's
// clock tells them; the archive has no clock of its own.
struct KeptFile {
    std::string Path = {};
    int64_t Bytes = 0;
    std::string Sha256Hex = {};
    int64_t Time = 0;
    bool operator==(const KeptFile&) const = default;
};

struct MissingNote {
    MissingHow How = MissingHow::Status;
    int64_t Time = 0;
    bool operator==(const MissingNote&) const = default;
};

// What the archive knows of one index of one template. Each part is the
// latest note of its kind; a photo kept once and found missing later has
// both, and the times tell the order.
struct ArchiveEntry {
    int32_t Index = 0;
    // When the user last saw the photo.
    std::optional<int64_t> Seen = {};
    std::optional<KeptFile> Kept = {};
    std::optional<MissingNote> Missing = {};
    bool operator==(const ArchiveEntry&) const = default;
};

// What was kept, found missing and seen, per photo template (the address
// with '*' for the index, taken verbatim) and index.
//
// Nothing here throws for a fault of the archive: a note that cannot be
// stored (a full disk, the file taken by another process) returns false and
// leaves the archive as it was, and a lookup that cannot read gives entries
// that know nothing.
class PhotoArchive {
public:
    // LookupRange gives at most this many entries.
    static constexpr int32_t MaxRange = 4096;

    virtual ~PhotoArchive() = default;

    virtual bool NoteSeen(const std::string& photoTemplate, int32_t index, int64_t time) = 0;
    virtual bool NoteKept(const std::string& photoTemplate, int32_t index,
                          const KeptFile& file) = 0;
    virtual bool NoteMissing(const std::string& photoTemplate, int32_t index, MissingHow how,
                             int64_t time) = 0;

    virtual ArchiveEntry Lookup(const std::string& photoTemplate, int32_t index) const = 0;
    // One entry for each of first, first + 1, ... up to count entries
    // (MaxRange at most), ending early at the largest index there is.
    virtual std::vector<ArchiveEntry> LookupRange(const std::string& photoTemplate, int32_t first,
                                                  int32_t count) const = 0;

    // The first index not seen, from `from` itself on, upwards or (down)
    // downwards, looking at no more than limit indexes; none when all of
    // them were seen.
    virtual std::optional<int32_t> NextNotSeen(const std::string& photoTemplate, int32_t from,
                                               bool down, int32_t limit) const = 0;
    // The same for an index neither kept nor found missing: where keeping a
    // range goes on after a break.
    virtual std::optional<int32_t> NextNotSettled(const std::string& photoTemplate, int32_t from,
                                                  bool down, int32_t limit) const = 0;

    // Notes between BeginBatch and EndBatch are stored together or not at
    // all, which is also much cheaper than one by one. A note in a batch
    // returns false when it cannot be stored, and the whole batch is then
    // dropped: the notes after it return false too, and so does EndBatch.
    // Batches nest; the outermost EndBatch stores them. Use ArchiveBatch.
    virtual void BeginBatch() = 0;
    virtual bool EndBatch() = 0;
};

// A batch for one scope: Commit stores it and says whether that worked; a
// batch left without Commit is stored as the scope ends.
class ArchiveBatch {
public:
    explicit ArchiveBatch(PhotoArchive& archive) : archive_(&archive) { archive_->BeginBatch(); }
    ~ArchiveBatch() {
        if (archive_) archive_->EndBatch();
    }
    ArchiveBatch(const ArchiveBatch&) = delete;
    ArchiveBatch& operator=(const ArchiveBatch&) = delete;

    bool Commit() {
        PhotoArchive* archive = archive_;
        archive_ = nullptr;
        return archive && archive->EndBatch();
    }

private:
    PhotoArchive* archive_;
};

}  // namespace kpw
