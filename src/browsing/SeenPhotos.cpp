#include "browsing/SeenPhotos.h"

#include <chrono>

#include "texts/Texts.h"

namespace kpw {

int64_t ArchiveTimeNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

void SeenPhotos::NoteSeen(int32_t index) {
    // A note that cannot be stored is lost; browsing goes on.
    if (archive_) archive_->NoteSeen(key_, index, ArchiveTimeNow());
}

void NoteKeptPhoto(PhotoArchive& archive, const std::string& sizeTemplate,
                   const std::string& photoKey, int32_t index, const KeptFile& file) {
    ArchiveBatch batch(archive);
    archive.NoteKept(sizeTemplate, index, file);
    if (!photoKey.empty() && photoKey != sizeTemplate) archive.NoteKept(photoKey, index, file);
    batch.Commit();
}

void SeenPhotos::NoteKept(const std::string& sizeTemplate, int32_t index, const KeptFile& file) {
    if (archive_) NoteKeptPhoto(*archive_, sizeTemplate, key_, index, file);
}

ArchiveEntry SeenPhotos::Lookup(int32_t index) const {
    return archive_ ? archive_->Lookup(key_, index) : ArchiveEntry{.Index = index};
}

std::optional<int32_t> SeenPhotos::NextNotSeen(int32_t from, bool down) const {
    if (!archive_) return std::nullopt;
    return archive_->NextNotSeen(key_, from, down, SearchLimit);
}

std::string ArchiveProblemMessage(const OpenResult& opened, const std::string& path, int language) {
    const texts::ArchiveTexts& t = texts::Archive;
    const auto said = [&](const texts::Text& text, const std::string& more = {}) {
        return texts::FillIn(text.In(language), {path, more});
    };
    switch (opened.Problem) {
        case ArchiveProblem::None:
            return {};
        case ArchiveProblem::Corrupt:
            return opened.MovedAside.empty() ? said(t.Damaged)
                                             : said(t.MovedAside, opened.MovedAside);
        case ArchiveProblem::Newer:
            return said(t.Newer);
        case ArchiveProblem::Foreign:
            return said(t.Foreign);
        case ArchiveProblem::Locked:
            return said(t.Locked);
        case ArchiveProblem::ReadOnlyFolder:
        case ArchiveProblem::ReadOnlyFile:
            return said(t.ReadOnly);
        case ArchiveProblem::Unusable:
            break;
    }
    return said(t.Unusable, opened.Detail);
}

}  // namespace kpw
