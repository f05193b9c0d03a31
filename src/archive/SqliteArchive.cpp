#include "archive/SqliteArchive.h"

#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unordered_map>
#include <utility>

#include "archive/IndexSpan.h"
#include "archive/SqliteHandles.h"

namespace kpw {

namespace fs = std::filesystem;
using archive::Cursor;
using archive::Database;
using archive::Statement;

namespace {

// "KPWA" in the file's header tells our archives from other programs' databases.
constexpr int64_t ApplicationId = 0x4B505741;

// How long a write waits for another process that writes to the same
// archive. Notes are taken on the window's thread, so this stays short; a
// note that does not get through is reported, not waited for.
constexpr int BusyTimeoutMs = 250;

// Each table is keyed by one integer made of the template's id and the
// index (the row id itself, so a row costs little more than its values, and
// a range of indexes of one template is a range of keys). Indexes are
// shifted by 2^31 so that negative ones sort before the others.
constexpr std::string_view CreateSchema = R"sql(
CREATE TABLE templates(id INTEGER PRIMARY KEY, text TEXT NOT NULL UNIQUE);
CREATE TABLE seen(key INTEGER PRIMARY KEY, time INTEGER NOT NULL);
CREATE TABLE kept(key INTEGER PRIMARY KEY, path TEXT NOT NULL, bytes INTEGER NOT NULL,
                  sha256 TEXT NOT NULL, time INTEGER NOT NULL);
CREATE TABLE missing(key INTEGER PRIMARY KEY, how INTEGER NOT NULL, time INTEGER NOT NULL);
)sql";

constexpr int64_t CellKey(int64_t templateId, int32_t index) {
    return templateId * (int64_t{1} << 32) + (int64_t{index} + (int64_t{1} << 31));
}

constexpr int32_t IndexOfKey(int64_t key) {
    return static_cast<int32_t>((key & 0xFFFFFFFF) - (int64_t{1} << 31));
}

ArchiveProblem ProblemOf(int result) {
    switch (result & 0xFF) {
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return ArchiveProblem::Corrupt;
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return ArchiveProblem::Locked;
        case SQLITE_READONLY:
            return ArchiveProblem::ReadOnlyFile;
        default:
            return ArchiveProblem::Unusable;
    }
}

std::string WordsOf(sqlite3* db, int result) {
    return db ? sqlite3_errmsg(db) : sqlite3_errstr(result);
}

struct Failure {
    ArchiveProblem Problem = ArchiveProblem::None;
    std::string Detail;
};

Failure FailureOf(sqlite3* db, int result) {
    return {ProblemOf(result), WordsOf(db, result)};
}

int OpenDatabase(const std::string& path, int flags, Database& db) {
    sqlite3* handle = nullptr;
    const int result = sqlite3_open_v2(path.c_str(), &handle, flags, nullptr);
    db.reset(handle);  // a handle comes even when the open fails
    if (result != SQLITE_OK) return result;
    sqlite3_extended_result_codes(db.get(), 1);
    sqlite3_busy_timeout(db.get(), BusyTimeoutMs);
    return SQLITE_OK;
}

// The first column of the first row of sql, or the failure.
int QueryText(sqlite3* db, std::string_view sql, std::string& value) {
    Statement statement(db, sql);
    if (statement.PrepareResult() != SQLITE_OK) return statement.PrepareResult();
    Cursor cursor(statement);
    const int result = cursor.Step();
    if (result == SQLITE_ROW) value = cursor.Text(0);
    return result == SQLITE_ROW || result == SQLITE_DONE ? SQLITE_OK : result;
}

int QueryInt(sqlite3* db, std::string_view sql, int64_t& value) {
    std::string text;
    const int result = QueryText(db, sql, text);
    if (result == SQLITE_OK) value = std::strtoll(text.c_str(), nullptr, 10);
    return result;
}

int Exec(sqlite3* db, std::string_view sql) {
    return sqlite3_exec(db, std::string(sql).c_str(), nullptr, nullptr, nullptr);
}

// Looks at an existing file before anything is written to it: whose it is,
// its version and whether it is whole. The connection only reads; it writes
// at most what any reader of the file would: a journal left by a killed
// program played back, and the empty log it made itself removed as it closes
// (a read-only connection would leave that behind).
Failure Inspect(const std::string& path) {
    std::error_code error;
    if (!fs::exists(path, error) || fs::file_size(path, error) == 0) return {};
    // A program that ended without closing it leaves its log or journal
    // behind; only then is every page read through, which takes a while on a
    // large archive. A file closed as it should is only measured.
    const auto leftBehind = [&](const char* suffix) {
        return fs::exists(path + suffix, error) && fs::file_size(path + suffix, error) > 0;
    };
    const bool checkPages = leftBehind("-wal") || leftBehind("-journal");
    Database db;
    int result = OpenDatabase(path, SQLITE_OPEN_READWRITE, db);
    if (result != SQLITE_OK) return FailureOf(db.get(), result);

    int64_t applicationId = 0;
    int64_t version = 0;
    int64_t tables = 0;
    if ((result = QueryInt(db.get(), "PRAGMA application_id", applicationId)) != SQLITE_OK ||
        (result = QueryInt(db.get(), "PRAGMA user_version", version)) != SQLITE_OK ||
        (result = QueryInt(db.get(), "SELECT count(*) FROM sqlite_schema", tables)) != SQLITE_OK)
        return FailureOf(db.get(), result);
    if (applicationId != ApplicationId && (applicationId != 0 || tables > 0))
        return {ArchiveProblem::Foreign, "application id " + std::to_string(applicationId)};
    if (version > SqliteArchive::SchemaVersion)
        return {ArchiveProblem::Newer, "schema version " + std::to_string(version)};

    if (!checkPages) {
        // A file cut short lacks pages its header counts.
        int64_t pages = 0;
        int64_t pageSize = 0;
        if ((result = QueryInt(db.get(), "PRAGMA page_count", pages)) != SQLITE_OK ||
            (result = QueryInt(db.get(), "PRAGMA page_size", pageSize)) != SQLITE_OK)
            return FailureOf(db.get(), result);
        const auto size = static_cast<int64_t>(fs::file_size(path, error));
        if (!error && size < pages * pageSize)
            return {ArchiveProblem::Corrupt, "the file is shorter than its pages"};
        return {};
    }
    std::string verdict;
    result = QueryText(db.get(), "PRAGMA quick_check", verdict);
    if (result != SQLITE_OK) return FailureOf(db.get(), result);
    if (verdict != "ok") return {ArchiveProblem::Corrupt, verdict};
    return {};
}

// Moves a corrupt file, with its journals, to the first free
// <name>.corrupt-<n>; the journals keep their suffixes, so the pair opens
// together for a look. Gives the new name, or empty when it failed.
std::string MoveAside(const std::string& path, std::string& detail) {
    std::error_code error;
    for (int n = 1; n <= 1000; ++n) {
        const std::string target = path + ".corrupt-" + std::to_string(n);
        if (fs::exists(fs::symlink_status(target, error))) continue;
        fs::rename(path, target, error);
        if (error) {
            detail = error.message();
            return {};
        }
        // A journal left beside the new archive would be played into it.
        for (const char* suffix : {"-wal", "-shm", "-journal"}) {
            if (!fs::exists(fs::symlink_status(path + suffix, error))) continue;
            fs::rename(path + suffix, target + suffix, error);
            if (error) {
                detail = error.message();
                return {};
            }
        }
        return target;
    }
    detail = "no free name to move it to";
    return {};
}

// Whether the folder and the file can be written, asked of the system
// before anything is made there.
Failure CheckWritable(const std::string& path) {
    const fs::path folder = fs::path(path).parent_path();
    const std::string folderName = folder.empty() ? "." : folder.string();
    if (::access(folderName.c_str(), W_OK) != 0) {
        const int code = errno;
        const bool readOnly = code == EACCES || code == EROFS || code == EPERM;
        return {readOnly ? ArchiveProblem::ReadOnlyFolder : ArchiveProblem::Unusable,
                folderName + ": " + std::strerror(code)};
    }
    std::error_code error;
    if (fs::exists(path, error) && ::access(path.c_str(), W_OK) != 0) {
        const int code = errno;
        const bool readOnly = code == EACCES || code == EROFS || code == EPERM;
        return {readOnly ? ArchiveProblem::ReadOnlyFile : ArchiveProblem::Unusable,
                path + ": " + std::strerror(code)};
    }
    return {};
}

}  // namespace

struct SqliteArchive::Connection {
    Database Db;
    Statement FindTemplate, AddTemplate;
    Statement PutSeen, PutKept, PutMissing;
    Statement RangeSeen, RangeKept, RangeMissing;
    Statement SeenUp, SeenDown, SettledUp, SettledDown;

    std::unordered_map<std::string, int64_t> TemplateIds;
    int BatchDepth = 0;
    bool BatchFailed = false;
    std::string LastFailure;

    int Prepare() {
        sqlite3* db = Db.get();
        const std::string settled =
            "SELECT key FROM kept WHERE key BETWEEN ?1 AND ?2 "
            "UNION SELECT key FROM missing WHERE key BETWEEN ?1 AND ?2 ORDER BY key";
        const std::array<std::pair<Statement*, std::string>, 12> all = {{
            {&FindTemplate, "SELECT id FROM templates WHERE text = ?1"},
            {&AddTemplate, "INSERT INTO templates(text) VALUES(?1)"},
            {&PutSeen, "INSERT OR REPLACE INTO seen(key, time) VALUES(?1, ?2)"},
            {&PutKept,
             "INSERT OR REPLACE INTO kept(key, path, bytes, sha256, time) "
             "VALUES(?1, ?2, ?3, ?4, ?5)"},
            {&PutMissing, "INSERT OR REPLACE INTO missing(key, how, time) VALUES(?1, ?2, ?3)"},
            {&RangeSeen, "SELECT key, time FROM seen WHERE key BETWEEN ?1 AND ?2"},
            {&RangeKept,
             "SELECT key, path, bytes, sha256, time FROM kept WHERE key BETWEEN ?1 AND ?2"},
            {&RangeMissing, "SELECT key, how, time FROM missing WHERE key BETWEEN ?1 AND ?2"},
            {&SeenUp, "SELECT key FROM seen WHERE key BETWEEN ?1 AND ?2 ORDER BY key"},
            {&SeenDown, "SELECT key FROM seen WHERE key BETWEEN ?1 AND ?2 ORDER BY key DESC"},
            {&SettledUp, settled},
            {&SettledDown, settled + " DESC"},
        }};
        for (const auto& [statement, sql] : all) {
            *statement = Statement(db, sql);
            if (statement->PrepareResult() != SQLITE_OK) return statement->PrepareResult();
        }
        return SQLITE_OK;
    }

    bool Fail(int result) {
        LastFailure = WordsOf(Db.get(), result);
        if (!sqlite3_get_autocommit(Db.get())) Exec(Db.get(), "ROLLBACK");
        // Ids of templates added in what was rolled back are gone again.
        TemplateIds.clear();
        return false;
    }

    // The id of a template, added when create and it has none yet.
    std::optional<int64_t> TemplateId(const std::string& text, bool create, int& result) {
        result = SQLITE_OK;
        if (const auto known = TemplateIds.find(text); known != TemplateIds.end())
            return known->second;
        {
            Cursor find(FindTemplate);
            result = find.Bind(1, text).Step();
            if (result == SQLITE_ROW) {
                result = SQLITE_OK;
                return TemplateIds[text] = find.Int(0);
            }
            if (result != SQLITE_DONE) return std::nullopt;
            result = SQLITE_OK;
        }
        if (!create) return std::nullopt;
        Cursor add(AddTemplate);
        result = add.Bind(1, text).Step();
        if (result != SQLITE_DONE) return std::nullopt;
        result = SQLITE_OK;
        return TemplateIds[text] = sqlite3_last_insert_rowid(Db.get());
    }

    // Runs write (which binds and steps one statement for the cell's key)
    // in the open batch or in a transaction of its own.
    template <typename Write>
    bool Note(const std::string& photoTemplate, int32_t index, Write write) {
        if (BatchDepth > 0 && BatchFailed) return false;
        const bool own = BatchDepth == 0;
        int result = own ? Exec(Db.get(), "BEGIN IMMEDIATE") : SQLITE_OK;
        if (result != SQLITE_OK) return Fail(result);
        const std::optional<int64_t> id = TemplateId(photoTemplate, true, result);
        if (id) result = write(CellKey(*id, index));
        if (result == SQLITE_DONE && own) result = Exec(Db.get(), "COMMIT");
        if (result == SQLITE_DONE || result == SQLITE_OK) return true;
        BatchFailed = BatchDepth > 0;
        return Fail(result);
    }

    // The first index of the span, walked from `from`, that has no row in
    // the keys up (or down) gives.
    std::optional<int32_t> FirstGap(Statement& up, Statement& down, const std::string& text,
                                    int32_t from, bool downwards, int32_t limit) {
        const std::optional<archive::IndexSpan> span =
            archive::SpanOfSearch(from, downwards, limit);
        if (!span) return std::nullopt;
        int result = SQLITE_OK;
        const std::optional<int64_t> id = TemplateId(text, false, result);
        // Nothing noted for the template: from itself is the answer.
        if (!id) return result == SQLITE_OK ? std::optional<int32_t>(from) : std::nullopt;
        const int64_t step = downwards ? -1 : 1;
        int64_t expected = from;
        Cursor keys(downwards ? down : up);
        keys.Bind(1, CellKey(*id, span->Low)).Bind(2, CellKey(*id, span->High));
        while ((result = keys.Step()) == SQLITE_ROW) {
            if (IndexOfKey(keys.Int(0)) != expected) return static_cast<int32_t>(expected);
            expected += step;
        }
        if (result != SQLITE_DONE) return std::nullopt;
        if (expected < span->Low || expected > span->High) return std::nullopt;
        return static_cast<int32_t>(expected);
    }
};

OpenResult SqliteArchive::Open(const std::string& path) {
    OpenResult opened;
    if (Failure writable = CheckWritable(path); writable.Problem != ArchiveProblem::None) {
        opened.Problem = writable.Problem;
        opened.Detail = std::move(writable.Detail);
        return opened;
    }
    if (Failure found = Inspect(path); found.Problem != ArchiveProblem::None) {
        opened.Problem = found.Problem;
        opened.Detail = std::move(found.Detail);
        if (found.Problem != ArchiveProblem::Corrupt) return opened;
        opened.MovedAside = MoveAside(path, opened.Detail);
        if (opened.MovedAside.empty()) return opened;
    }

    auto connection = std::make_unique<Connection>();
    sqlite3* db = nullptr;
    int64_t version = 0;
    const auto failed = [&](int result) {
        const Failure failure = FailureOf(db, result);
        if (opened.Problem == ArchiveProblem::None) opened.Problem = failure.Problem;
        if (!opened.Detail.empty()) opened.Detail += "; ";
        opened.Detail += failure.Detail;
        return std::move(opened);
    };
    int result = OpenDatabase(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, connection->Db);
    db = connection->Db.get();
    if (result != SQLITE_OK) return failed(result);

    // The write-ahead log keeps every committed transaction whole through a
    // killed program: a commit is in the log file once write() returns, and
    // the database file only changes by checkpoints the log can replay. With
    // synchronous=NORMAL the log is synced at checkpoints, not at each
    // commit, so a power cut (not a killed program) may lose the last few
    // commits but never damages the file; FULL would sync at every note,
    // milliseconds on the window's thread for nothing a user would miss.
    std::string mode;
    if ((result = QueryText(db, "PRAGMA journal_mode=WAL", mode)) != SQLITE_OK)
        return failed(result);
    if (mode != "wal") return failed(SQLITE_CANTOPEN);
    if ((result = Exec(db, "PRAGMA synchronous=NORMAL")) != SQLITE_OK ||
        (result = Exec(db, "PRAGMA journal_size_limit=4194304")) != SQLITE_OK ||
        (result = Exec(db, "BEGIN IMMEDIATE")) != SQLITE_OK ||
        (result = QueryInt(db, "PRAGMA user_version", version)) != SQLITE_OK)
        return failed(result);
    // Another process may have made it meanwhile; the write lock is ours now.
    if (version > SchemaVersion) {
        Exec(db, "ROLLBACK");
        opened.Problem = ArchiveProblem::Newer;
        opened.Detail = "schema version " + std::to_string(version);
        return opened;
    }
    if (version == 0) {
        if ((result = Exec(db, CreateSchema)) != SQLITE_OK ||
            (result = Exec(db, "PRAGMA application_id=" + std::to_string(ApplicationId))) !=
                SQLITE_OK ||
            (result = Exec(db, "PRAGMA user_version=" + std::to_string(SchemaVersion))) !=
                SQLITE_OK)
            return failed(result);
    }
    if ((result = Exec(db, "COMMIT")) != SQLITE_OK) return failed(result);
    if ((result = connection->Prepare()) != SQLITE_OK) return failed(result);
    opened.Archive.reset(new SqliteArchive(std::move(connection)));
    return opened;
}

SqliteArchive::SqliteArchive(std::unique_ptr<Connection> connection) : c_(std::move(connection)) {}

SqliteArchive::~SqliteArchive() {
    if (c_->BatchDepth > 0) {
        c_->BatchDepth = 1;
        EndBatch();
    }
}

bool SqliteArchive::NoteSeen(const std::string& photoTemplate, int32_t index, int64_t time) {
    return c_->Note(photoTemplate, index, [&](int64_t key) {
        return Cursor(c_->PutSeen).Bind(1, key).Bind(2, time).Step();
    });
}

bool SqliteArchive::NoteKept(const std::string& photoTemplate, int32_t index,
                             const KeptFile& file) {
    return c_->Note(photoTemplate, index, [&](int64_t key) {
        return Cursor(c_->PutKept)
            .Bind(1, key)
            .Bind(2, file.Path)
            .Bind(3, file.Bytes)
            .Bind(4, file.Sha256Hex)
            .Bind(5, file.Time)
            .Step();
    });
}

bool SqliteArchive::NoteMissing(const std::string& photoTemplate, int32_t index, MissingHow how,
                                int64_t time) {
    return c_->Note(photoTemplate, index, [&](int64_t key) {
        return Cursor(c_->PutMissing)
            .Bind(1, key)
            .Bind(2, static_cast<int64_t>(how))
            .Bind(3, time)
            .Step();
    });
}

ArchiveEntry SqliteArchive::Lookup(const std::string& photoTemplate, int32_t index) const {
    std::vector<ArchiveEntry> entries = LookupRange(photoTemplate, index, 1);
    return std::move(entries.front());
}

std::vector<ArchiveEntry> SqliteArchive::LookupRange(const std::string& photoTemplate,
                                                     int32_t first, int32_t count) const {
    const int32_t n = archive::EntriesOfRange(first, count, MaxRange);
    std::vector<ArchiveEntry> entries(static_cast<size_t>(n));
    for (int32_t k = 0; k < n; ++k) entries[static_cast<size_t>(k)].Index = first + k;
    if (n == 0) return entries;
    int result = SQLITE_OK;
    const std::optional<int64_t> id = c_->TemplateId(photoTemplate, false, result);
    if (!id) return entries;
    const int64_t low = CellKey(*id, first);
    const int64_t high = CellKey(*id, first + (n - 1));
    const auto at = [&](const Cursor& row) -> ArchiveEntry& {
        return entries[static_cast<size_t>(IndexOfKey(row.Int(0)) - int64_t{first})];
    };
    {
        Cursor row(c_->RangeSeen);
        row.Bind(1, low).Bind(2, high);
        while (row.Step() == SQLITE_ROW) at(row).Seen = row.Int(1);
    }
    {
        Cursor row(c_->RangeKept);
        row.Bind(1, low).Bind(2, high);
        while (row.Step() == SQLITE_ROW)
            at(row).Kept = KeptFile{row.Text(1), row.Int(2), row.Text(3), row.Int(4)};
    }
    {
        Cursor row(c_->RangeMissing);
        row.Bind(1, low).Bind(2, high);
        while (row.Step() == SQLITE_ROW)
            at(row).Missing = MissingNote{static_cast<MissingHow>(row.Int(1)), row.Int(2)};
    }
    return entries;
}

std::optional<int32_t> SqliteArchive::NextNotSeen(const std::string& photoTemplate, int32_t from,
                                                  bool down, int32_t limit) const {
    return c_->FirstGap(c_->SeenUp, c_->SeenDown, photoTemplate, from, down, limit);
}

std::optional<int32_t> SqliteArchive::NextNotSettled(const std::string& photoTemplate, int32_t from,
                                                     bool down, int32_t limit) const {
    return c_->FirstGap(c_->SettledUp, c_->SettledDown, photoTemplate, from, down, limit);
}

void SqliteArchive::BeginBatch() {
    if (c_->BatchDepth++ > 0) return;
    c_->BatchFailed = false;
    if (const int result = Exec(c_->Db.get(), "BEGIN IMMEDIATE"); result != SQLITE_OK) {
        c_->BatchFailed = true;
        c_->Fail(result);
    }
}

bool SqliteArchive::EndBatch() {
    if (c_->BatchDepth == 0) return false;
    if (--c_->BatchDepth > 0) return !c_->BatchFailed;
    if (c_->BatchFailed) return false;
    const int result = Exec(c_->Db.get(), "COMMIT");
    return result == SQLITE_OK || c_->Fail(result);
}

const std::string& SqliteArchive::LastFailure() const {
    return c_->LastFailure;
}

}  // namespace kpw
