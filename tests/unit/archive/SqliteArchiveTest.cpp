// The SQLite file itself: what survives a reopen and a killed program, and
// what Open does with files it cannot use.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <set>

#include "TempFolder.h"
#include "archive/SqliteArchive.h"

namespace kpw {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string Photos = "https://static.kelvaro.example/photos/*.jpg";

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A connection of another process, as far as the file's locks go.
class OtherConnection {
public:
    explicit OtherConnection(const std::string& path) {
        EXPECT_EQ(sqlite3_open(path.c_str(), &db_), SQLITE_OK);
    }
    ~OtherConnection() { sqlite3_close(db_); }
    OtherConnection(const OtherConnection&) = delete;
    OtherConnection& operator=(const OtherConnection&) = delete;
    void Exec(const std::string& sql) {
        char* error = nullptr;
        EXPECT_EQ(sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
            << sql << ": " << (error ? error : "");
        sqlite3_free(error);
    }

private:
    sqlite3* db_ = nullptr;
};

class SqliteArchiveTest : public ::testing::Test {
protected:
    OpenResult Open() { return SqliteArchive::Open(path_); }
    // A closed archive with some seen photos, large enough to span many pages.
    void MakeArchive(int32_t seen) {
        OpenResult opened = Open();
        ASSERT_TRUE(opened.Archive) << opened.Detail;
        ArchiveBatch batch(*opened.Archive);
        for (int32_t i = 0; i < seen; ++i) opened.Archive->NoteSeen(Photos, i, 1'700'000'000 + i);
        ASSERT_TRUE(batch.Commit());
    }

    TempFolder folder_;
    std::string path_ = folder_.File("archive.sqlite");
};

TEST_F(SqliteArchiveTest, NotesSurviveAReopen) {
    const KeptFile file{"/home/u/Bilder/Köln 7.jpg", 123456, std::string(64, 'f'), 1'700'000'100};
    {
        OpenResult opened = Open();
        ASSERT_TRUE(opened.Archive) << opened.Detail;
        EXPECT_TRUE(opened.Archive->NoteSeen(Photos, 7, 1'700'000'000));
        EXPECT_TRUE(opened.Archive->NoteKept(Photos, 7, file));
        EXPECT_TRUE(opened.Archive->NoteMissing(Photos, 8, MissingHow::Status, 1'700'000'200));
        opened.Archive->BeginBatch();
        opened.Archive->NoteSeen(Photos, 9, 1);
        // Closed with the batch open: it is stored.
    }
    OpenResult reopened = Open();
    ASSERT_TRUE(reopened.Archive) << reopened.Detail;
    EXPECT_EQ(reopened.Problem, ArchiveProblem::None);
    const std::vector<ArchiveEntry> range = reopened.Archive->LookupRange(Photos, 7, 3);
    EXPECT_EQ(range[0], (ArchiveEntry{7, 1'700'000'000, file, {}}));
    EXPECT_EQ(range[1], (ArchiveEntry{8, {}, {}, MissingNote{MissingHow::Status, 1'700'000'200}}));
    EXPECT_EQ(range[2].Seen, 1);
}

TEST_F(SqliteArchiveTest, KilledProgramLosesOnlyTheOpenTransaction) {
    const pid_t child = ::fork();
    if (child == 0) {
        OpenResult opened = Open();
        if (!opened.Archive) ::_exit(1);
        for (int32_t i = 0; i < 300; ++i) opened.Archive->NoteSeen(Photos, i, i);
        opened.Archive->BeginBatch();
        for (int32_t i = 300; i < 600; ++i) opened.Archive->NoteSeen(Photos, i, i);
        ::raise(SIGKILL);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the child could not open the archive";

    OpenResult opened = Open();  // the check at opening reads every page
    ASSERT_TRUE(opened.Archive) << opened.Detail;
    EXPECT_EQ(opened.Problem, ArchiveProblem::None) << opened.Detail;
    EXPECT_EQ(opened.Archive->NextNotSeen(Photos, 0, false, 1000), 300);
}

TEST_F(SqliteArchiveTest, CorruptFilesAreMovedAsideAndAFreshArchiveMade) {
    // Random bytes: not a database at all.
    std::mt19937 random(7);
    std::string noise(8192, '\0');
    for (char& c : noise) c = static_cast<char>(random());
    WriteBytes(path_, noise);
    {
        OpenResult opened = Open();
        EXPECT_EQ(opened.Problem, ArchiveProblem::Corrupt);
        EXPECT_EQ(opened.MovedAside, path_ + ".corrupt-1");
        ASSERT_TRUE(opened.Archive) << opened.Detail;
        EXPECT_TRUE(opened.Archive->NoteSeen(Photos, 1, 1));
        EXPECT_EQ(ReadBytes(path_ + ".corrupt-1"), noise);
    }

    // A real archive cut in half: the header is whole, the pages are not.
    fs::remove(path_);
    MakeArchive(20000);
    const std::string whole = ReadBytes(path_);
    ASSERT_GT(whole.size(), 40000u);
    const std::string half = whole.substr(0, whole.size() / 2);
    WriteBytes(path_, half);
    {
        OpenResult opened = Open();
        EXPECT_EQ(opened.Problem, ArchiveProblem::Corrupt);
        EXPECT_EQ(opened.MovedAside, path_ + ".corrupt-2");  // the first is not overwritten
        ASSERT_TRUE(opened.Archive) << opened.Detail;
        EXPECT_EQ(opened.Archive->NextNotSeen(Photos, 0, false, 10), 0);
        EXPECT_EQ(ReadBytes(path_ + ".corrupt-2"), half);
        EXPECT_EQ(ReadBytes(path_ + ".corrupt-1"), noise);
    }
    EXPECT_EQ(Open().Problem, ArchiveProblem::None);
}

TEST_F(SqliteArchiveTest, FilesOfNewerVersionsAndOtherProgramsAreLeftAsTheyAre) {
    MakeArchive(10);
    {
        OtherConnection newer(path_);
        newer.Exec("PRAGMA user_version=" + std::to_string(SqliteArchive::SchemaVersion + 1));
    }
    const std::string newerBytes = ReadBytes(path_);
    OpenResult opened = Open();
    EXPECT_EQ(opened.Problem, ArchiveProblem::Newer);
    EXPECT_FALSE(opened.Archive);
    EXPECT_EQ(ReadBytes(path_), newerBytes);
    EXPECT_EQ(Names(folder_.Path()), std::set<std::string>{"archive.sqlite"});

    const std::string other = folder_.File("other.db");
    {
        OtherConnection foreign(other);
        foreign.Exec("CREATE TABLE notes(text); INSERT INTO notes VALUES('mine')");
    }
    const std::string otherBytes = ReadBytes(other);
    opened = SqliteArchive::Open(other);
    EXPECT_EQ(opened.Problem, ArchiveProblem::Foreign);
    EXPECT_FALSE(opened.Archive);
    EXPECT_EQ(ReadBytes(other), otherBytes);
}

TEST_F(SqliteArchiveTest, ArchiveHeldByAnotherProcessIsRefusedThenUsedOnceFree) {
    MakeArchive(10);
    const std::string before = ReadBytes(path_);
    {
        OtherConnection holder(path_);
        holder.Exec("PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; SELECT count(*) FROM seen");
        OpenResult opened = Open();
        EXPECT_EQ(opened.Problem, ArchiveProblem::Locked) << opened.Detail;
        EXPECT_FALSE(opened.Archive);
        EXPECT_EQ(ReadBytes(path_), before);
        holder.Exec("COMMIT");
    }
    OpenResult opened = Open();
    ASSERT_TRUE(opened.Archive) << opened.Detail;

    // Another program writing at the time of a note: the note and its batch
    // are not stored, and the archive takes notes again afterwards.
    {
        OtherConnection writer(path_);
        writer.Exec("BEGIN IMMEDIATE");
        EXPECT_FALSE(opened.Archive->NoteSeen(Photos, 100, 1));
        EXPECT_FALSE(opened.Archive->LastFailure().empty());
        ArchiveBatch batch(*opened.Archive);
        EXPECT_FALSE(opened.Archive->NoteSeen(Photos, 101, 1));
        EXPECT_FALSE(batch.Commit());
        writer.Exec("COMMIT");
    }
    EXPECT_EQ(opened.Archive->NextNotSeen(Photos, 100, false, 10), 100);
    EXPECT_TRUE(opened.Archive->NoteSeen(Photos, 100, 1));
    EXPECT_EQ(opened.Archive->Lookup(Photos, 100).Seen, 1);
}

TEST_F(SqliteArchiveTest, ReadOnlyFolderOrFileIsRefusedAndLeftAsItIs) {
    MakeArchive(10);
    const std::string before = ReadBytes(path_);
    ::chmod(path_.c_str(), 0444);
    if (::access(path_.c_str(), W_OK) == 0) GTEST_SKIP() << "this user may write any file";
    OpenResult opened = Open();
    EXPECT_EQ(opened.Problem, ArchiveProblem::ReadOnlyFile) << opened.Detail;
    EXPECT_FALSE(opened.Archive);
    ::chmod(path_.c_str(), 0644);

    fs::permissions(folder_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    opened = Open();
    EXPECT_EQ(opened.Problem, ArchiveProblem::ReadOnlyFolder) << opened.Detail;
    EXPECT_FALSE(opened.Archive);
    opened = SqliteArchive::Open(folder_.File("new.sqlite"));
    EXPECT_EQ(opened.Problem, ArchiveProblem::ReadOnlyFolder) << opened.Detail;
    EXPECT_EQ(ReadBytes(path_), before);
    EXPECT_EQ(Names(folder_.Path()), std::set<std::string>{"archive.sqlite"});
}

TEST_F(SqliteArchiveTest, ReadOnlyFileSystemIsRefusedEvenForRoot) {
    // A read-only bind mount in a private mount namespace of a child stops
    // root as well; the child reports the problem by its exit code.
    MakeArchive(10);
    const std::string before = ReadBytes(path_);
    const std::string folder = folder_.Path().string();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(folder.c_str(), folder.c_str(), nullptr, MS_BIND, nullptr) != 0 ||
            ::mount(nullptr, folder.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) !=
                0)
            ::_exit(100);
        OpenResult opened = Open();
        ::_exit(opened.Archive ? 101 : static_cast<int>(opened.Problem));
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    if (WEXITSTATUS(status) == 100) GTEST_SKIP() << "cannot mount a read-only folder";
    EXPECT_EQ(WEXITSTATUS(status), static_cast<int>(ArchiveProblem::ReadOnlyFolder));
    EXPECT_EQ(ReadBytes(path_), before);
}

}  // namespace
}  // namespace kpw
