// What happens to the settings file when its place holds something odd, the
// disk refuses the write or the program is killed in the middle of it.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "settings/SettingsStore.h"

namespace kpw {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr WorkArea FullHd{1920, 1080};
constexpr WindowBounds Bounds{24, 24, 600, 600};
const std::string OldFile = "[Page]\r\nPhotoIndex=5\r\n";

std::optional<std::string> Store(const std::string& ini, const Settings& settings = {}) {
    return StoreSettings(ini, settings, Bounds, {}, {});
}

Settings Load(const std::string& ini) {
    Settings settings;
    std::vector<std::string> photos, users;
    LoadSettings(ini, settings, photos, users, FullHd);
    return settings;
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// --- Something other than a regular file where the settings file belongs

struct SpecialFile {
    const char* Name;
    // Makes the thing at path; false when this user cannot.
    std::function<bool(const std::string& path)> Make;
    bool ThroughLink;
};

bool MakeDevice(const std::string& path) {
    // The same numbers as /dev/null, in the test's own folder.
    return ::mknod(path.c_str(), S_IFCHR | 0666, makedev(1, 3)) == 0;
}
bool MakeFifo(const std::string& path) {
    return ::mkfifo(path.c_str(), 0600) == 0;
}
bool MakeSocket(const std::string& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (fd < 0 || path.size() >= sizeof address.sun_path) return false;
    path.copy(address.sun_path, path.size());
    const bool bound = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);  // the socket file stays
    return bound;
}
bool MakeFolder(const std::string& path) {
    return fs::create_directory(path);
}

class NonRegularTarget : public ::testing::TestWithParam<SpecialFile> {};

TEST_P(NonRegularTarget, StartGivesDefaultsAndCloseReportsWithoutTouchingIt) {
    const SpecialFile& special = GetParam();
    TempFolder folder;
    const std::string ini = folder.File("kpw.ini");
    const std::string target = special.ThroughLink ? folder.File("target") : ini;
    if (!special.Make(target)) GTEST_SKIP() << "this user cannot make a " << special.Name;
    if (special.ThroughLink) fs::create_symlink(target, ini);
    struct stat before {};
    ASSERT_EQ(::stat(target.c_str(), &before), 0);
    const std::set<std::string> names = Names(folder.Path());

    // A pipe must not block the start: nobody ever writes into it.
    EXPECT_EQ(Load(ini), Settings{});

    const std::optional<std::string> failure = Store(ini);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find(ini), std::string::npos) << *failure;
    struct stat after {};
    ASSERT_EQ(::stat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_rdev, before.st_rdev);
    EXPECT_EQ(special.ThroughLink, fs::is_symlink(ini));
    EXPECT_EQ(Names(folder.Path()), names);
}

INSTANTIATE_TEST_SUITE_P(Kinds, NonRegularTarget,
                         ::testing::Values(SpecialFile{"DeviceThroughLink", MakeDevice, true},
                                           SpecialFile{"Device", MakeDevice, false},
                                           SpecialFile{"Fifo", MakeFifo, false},
                                           SpecialFile{"FifoThroughLink", MakeFifo, true},
                                           SpecialFile{"Socket", MakeSocket, false},
                                           SpecialFile{"Folder", MakeFolder, false},
                                           SpecialFile{"FolderThroughLink", MakeFolder, true}),
                         [](const auto& testInfo) { return std::string(testInfo.param.Name); });

TEST(SettingsFile, DanglingLinkGivesDefaultsAndTheCloseCreatesItsTarget) {
    TempFolder folder;
    const std::string ini = folder.File("kpw.ini");
    const std::string target = folder.File("elsewhere.ini");
    fs::create_symlink("elsewhere.ini", ini);
    EXPECT_EQ(Load(ini), Settings{});

    Settings settings;
    settings.PhotoIndex = 77;
    ASSERT_EQ(Store(ini, settings), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(ini));
    EXPECT_TRUE(fs::is_regular_file(target));
    EXPECT_EQ(Load(ini).PhotoIndex, 77);
}

TEST(SettingsFile, LinkIntoAMissingFolderIsReportedAndKept) {
    TempFolder folder;
    const std::string ini = folder.File("kpw.ini");
    fs::create_symlink(folder.File("gone/kpw.ini"), ini);
    const std::optional<std::string> failure = Store(ini);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("No such file"), std::string::npos) << *failure;
    // In German, the system's reason is German too.
    Settings german;
    german.Language = 1;
    const std::optional<std::string> germanFailure = Store(ini, german);
    ASSERT_TRUE(germanFailure.has_value());
    EXPECT_NE(germanFailure->find("Datei oder Ordner nicht vorhanden"), std::string::npos)
        << *germanFailure;
    EXPECT_EQ(fs::read_symlink(ini), folder.File("gone/kpw.ini"));
    EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"kpw.ini"});
}

TEST(SettingsFile, ReadOnlyFileIsReadButNotReplaced) {
    // Made read-only by its owner; the permission bits are checked as such,
    // since for root they would stop nothing.
    TempFolder folder;
    const std::string ini = folder.File("kpw.ini");
    WriteBytes(ini, OldFile);
    ::chmod(ini.c_str(), 0444);
    EXPECT_EQ(Load(ini).PhotoIndex, 5);
    const std::optional<std::string> failure = Store(ini);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find("read-only"), std::string::npos) << *failure;
    EXPECT_EQ(ReadBytes(ini), OldFile);
    EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"kpw.ini"});

    // In German, the message is German.
    Settings german;
    german.Language = 1;
    EXPECT_EQ(Store(ini, german), "Die Einstellungsdatei \"" + ini + "\" ist schreibgeschützt");
}

// --- Real file systems that refuse the write, in a mount namespace of a
// child process so that nothing outside the test sees the mounts.

struct ChildReport {
    bool Skipped = false;
    std::string SkipReason;
    std::string Failure;  // the store's message, empty on success
    std::string FileAfter;
};

// Runs prepare (which mounts over folder) and then one store in a child in a
// private mount namespace; the child reports what the store said and what
// the file then held, before its mounts vanish with it.
ChildReport StoreUnderMount(const fs::path& folder, const std::function<bool()>& prepare) {
    int fds[2];
    EXPECT_EQ(::pipe(fds), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        std::string report;
        if (::unshare(CLONE_NEWNS) != 0 ||
            ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 || !prepare()) {
            report = std::string("S") + std::strerror(errno);
        } else {
            const std::string ini = (folder / "kpw.ini").string();
            const std::optional<std::string> failure = Store(ini);
            report = "R" + failure.value_or("") + '\0' + ReadBytes(ini);
        }
        [[maybe_unused]] ssize_t n = ::write(fds[1], report.data(), report.size());
        ::_exit(0);
    }
    ::close(fds[1]);
    std::string report;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;) report.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    ChildReport result;
    if (report.empty() || report[0] == 'S') {
        result.Skipped = true;
        result.SkipReason = report.empty() ? "no report" : report.substr(1);
        return result;
    }
    const size_t split = report.find('\0');
    result.Failure = report.substr(1, split - 1);
    result.FileAfter = report.substr(split + 1);
    return result;
}

TEST(SettingsFile, ReadOnlyFileSystemIsReportedAndTheOldFileKept) {
    TempFolder folder;
    WriteBytes(folder.File("kpw.ini"), OldFile);
    const std::string path = folder.Path().string();
    const ChildReport report = StoreUnderMount(folder.Path(), [&] {
        return ::mount(path.c_str(), path.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
               ::mount(nullptr, path.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) ==
                   0;
    });
    if (report.Skipped) GTEST_SKIP() << "cannot mount a read-only folder: " << report.SkipReason;
    EXPECT_NE(report.Failure.find(folder.File("kpw.ini")), std::string::npos) << report.Failure;
    EXPECT_EQ(report.FileAfter, OldFile);
}

TEST(SettingsFile, FullDiskIsReportedWithItsCauseAndTheOldFileStaysWhole) {
    TempFolder folder;
    const std::string path = folder.Path().string();
    const ChildReport report = StoreUnderMount(folder.Path(), [&] {
        if (::mount("tmpfs", path.c_str(), "tmpfs", 0, "size=16k") != 0) return false;
        WriteBytes(path + "/kpw.ini", OldFile);
        // Fill what is left, so the new file finds no room.
        const int fd = ::open((path + "/filler").c_str(), O_WRONLY | O_CREAT, 0600);
        const std::string block(512, 'x');
        while (::write(fd, block.data(), block.size()) > 0) {
        }
        ::close(fd);
        return true;
    });
    if (report.Skipped) GTEST_SKIP() << "cannot mount a small file system: " << report.SkipReason;
    EXPECT_NE(report.Failure.find("No space left on device"), std::string::npos) << report.Failure;
    EXPECT_EQ(report.FileAfter, OldFile);
}

// --- Kills during the write and what they leave behind

TEST(SettingsFile, KillAtAnyMomentOfTheWriteLeavesTheOldOrTheNewFileWhole) {
    TempFolder folder;
    const std::string ini = folder.File("kpw.ini");
    Settings first, second;
    first.PhotoIndex = 111;
    second.PhotoIndex = 222;
    second.TemplateURL30 = "http://example.invalid/" + std::string(20000, 'u') + "/*";
    ASSERT_EQ(Store(ini, second), std::nullopt);
    const std::string secondBytes = ReadBytes(ini);
    ASSERT_EQ(Store(ini, first), std::nullopt);
    const std::string firstBytes = ReadBytes(ini);

    std::mt19937 random(16);
    int leftovers = 0;
    for (int round = 0; round < 40; ++round) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(fds[0]);
            for (bool odd = false;; odd = !odd) {
                Store(ini, odd ? first : second);
                [[maybe_unused]] ssize_t n = ::write(fds[1], "w", 1);
            }
        }
        ::close(fds[1]);
        // Let a few writes finish, then kill somewhere inside the next one.
        char byte;
        for (int done = 0; done < round % 3; ++done) ASSERT_EQ(::read(fds[0], &byte, 1), 1);
        volatile unsigned spin = random() % 200000;
        while (spin > 0) spin = spin - 1;
        ::kill(child, SIGKILL);
        ::waitpid(child, nullptr, 0);
        ::close(fds[0]);

        const std::string now = ReadBytes(ini);
        ASSERT_TRUE(now == firstBytes || now == secondBytes)
            << "round " << round << ": " << now.size() << " bytes";
        leftovers += static_cast<int>(Names(folder.Path()).size()) - 1;
    }
    RecordProperty("LeftoverTemporaryFiles", leftovers);
    // The next write takes away what the killed ones left.
    ASSERT_EQ(Store(ini, first), std::nullopt);
    EXPECT_EQ(Names(folder.Path()), std::set<std::string>{"kpw.ini"});
    EXPECT_EQ(ReadBytes(ini), firstBytes);
}

pid_t EndedProcessId() {
    const pid_t child = ::fork();
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

TEST(SettingsFile, WriteRemovesOnlyTheProgramsOwnLeftoversOfEndedWrites) {
    TempFolder folder;
    const std::string ini = folder.File("kpw.ini");
    WriteBytes(ini, OldFile);
    const std::string ended = std::to_string(EndedProcessId());
    const std::string running = std::to_string(::getppid());
    const std::string own = std::to_string(::getpid());
    const std::vector<std::string> removed = {".kpw.ini." + ended + "-0.tmp",
                                              ".kpw.ini." + own + "-12.tmp"};
    const std::set<std::string> kept = {
        "kpw.ini",
        ".kpw.ini." + running + "-0.tmp",  // another instance may be writing it
        ".kpw.ini." + ended + "-x.tmp",
        ".kpw.ini." + ended + ".tmp",
        ".kpw.ini." + ended + "-0.tmp.bak",
        "kpw.ini." + ended + "-0.tmp",
        ".other.ini." + ended + "-0.tmp",
        ".kpw.ini." + ended + "-1.tmp",  // a folder of that name is no file of ours
    };
    for (const std::string& name : removed) WriteBytes(folder.File(name), "partial");
    for (const std::string& name : kept) {
        if (name == "kpw.ini") continue;
        if (name.ends_with("-1.tmp"))
            fs::create_directory(folder.File(name));
        else
            WriteBytes(folder.File(name), "other");
    }
    const std::string sub = folder.File("sub");
    fs::create_directory(sub);
    WriteBytes(sub + "/.kpw.ini." + ended + "-0.tmp", "another folder");

    ASSERT_EQ(Store(ini), std::nullopt);
    std::set<std::string> expected = kept;
    expected.insert("sub");
    EXPECT_EQ(Names(folder.Path()), expected);
    EXPECT_TRUE(fs::exists(sub + "/.kpw.ini." + ended + "-0.tmp"));
}

TEST(SettingsFile, FailedWriteLeavesTheLeftoversForTheNextSuccessfulOne) {
    TempFolder folder;
    const std::string ini = folder.File("kpw.ini");
    WriteBytes(ini, OldFile);
    const std::string leftover =
        folder.File(".kpw.ini." + std::to_string(EndedProcessId()) + "-0.tmp");
    WriteBytes(leftover, "partial");
    ::chmod(ini.c_str(), 0444);
    EXPECT_TRUE(Store(ini).has_value());
    EXPECT_TRUE(fs::exists(leftover));
    ::chmod(ini.c_str(), 0644);
    EXPECT_EQ(Store(ini), std::nullopt);
    EXPECT_FALSE(fs::exists(leftover));
}

}  // namespace
}  // namespace kpw
