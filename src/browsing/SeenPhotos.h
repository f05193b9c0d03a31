#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "archive/PhotoArchive.h"
#include "archive/SqliteArchive.h"

namespace kpw {

// Which photos the user has seen, kept in the archive under the photo's
// information page template, which names the photo whatever size it is
// shown in. Without an archive it knows nothing and notes nothing.
class SeenPhotos {
public:
    void Attach(PhotoArchive* archive) { archive_ = archive; }
    bool Attached() const { return archive_ != nullptr; }
    void SetPhotoKey(std::string infoTemplate) { key_ = std::move(infoTemplate); }

    void NoteSeen(int32_t index);
    // A photo kept in the size of sizeTemplate: noted under that template
    // and under the photo as a whole.
    void NoteKept(const std::string& sizeTemplate, int32_t index, const KeptFile& file);
    // What the archive says of an index: seen before, kept.
    ArchiveEntry Lookup(int32_t index) const;
    // The first photo not seen from `from` on, upwards or downwards.
    std::optional<int32_t> NextNotSeen(int32_t from, bool down) const;

    // How far the search for a photo not seen goes.
    static constexpr int32_t SearchLimit = 1'000'000;

private:
    PhotoArchive* archive_ = nullptr;
    std::string key_;
};

// A photo kept in the size of sizeTemplate, noted under that template (what a
// range skips) and under the photo as a whole (what the sheet marks), together.
void NoteKeptPhoto(PhotoArchive& archive, const std::string& sizeTemplate,
                   const std::string& photoKey, int32_t index, const KeptFile& file);

// Seconds since the epoch, as the archive stores its times.
int64_t ArchiveTimeNow();

// What the log says of an archive at path that opened with a problem;
// empty when it opened as it should.
std::string ArchiveProblemMessage(const OpenResult& opened, const std::string& path, int language);

}  // namespace kpw
