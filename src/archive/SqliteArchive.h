#pragma once

#include <memory>
#include <string>

#include "archive/PhotoArchive.h"

namespace kpw {

// Why an archive file could not be used as it was. The caller words it in
// the user's language; Detail in OpenResult has the system's words for the log.
enum class ArchiveProblem {
    None,
    // Not a database, or a damaged one. It was moved aside (MovedAside) and
    // a new archive started; when even that failed, there is no archive.
    Corrupt,
    // Written by a newer version of the program. Left as it is; no archive.
    Newer,
    // A database of some other program. Left as it is; no archive.
    Foreign,
    // Another process holds the file. No archive.
    Locked,
    // The folder cannot be written, so neither the archive nor its journal
    // can be made or changed there. No archive.
    ReadOnlyFolder,
    // The file itself is read-only. No archive.
    ReadOnlyFile,
    // Anything else: a missing folder, a full disk, a failing device. No archive.
    Unusable,
};

class SqliteArchive;

struct OpenResult {
    // Null when the program goes on without an archive.
    std::unique_ptr<SqliteArchive> Archive;
    ArchiveProblem Problem = ArchiveProblem::None;
    // Where a corrupt file went.
    std::string MovedAside;
    // The system's or the database's words, for the log.
    std::string Detail;
};

// The archive in an SQLite file. Open never deletes a file and never throws
// for what it finds there.
class SqliteArchive final : public PhotoArchive {
public:
    // The schema this program writes; files of a higher version are left alone.
    static constexpr int SchemaVersion = 1;

    static OpenResult Open(const std::string& path);

    ~SqliteArchive() override;
    SqliteArchive(const SqliteArchive&) = delete;
    SqliteArchive& operator=(const SqliteArchive&) = delete;

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

    // The database's words for the last failure, for the log.
    const std::string& LastFailure() const;

private:
    struct Connection;
    explicit SqliteArchive(std::unique_ptr<Connection> connection);

    std::unique_ptr<Connection> c_;
};

}  // namespace kpw
