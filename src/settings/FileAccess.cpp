#include "settings/FileAccess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <limits>
#include <string_view>

#include "texts/SystemReasons.h"
#include "texts/Texts.h"

namespace kpw {

namespace fs = std::filesystem;

namespace {

// The message of a failure in the program's language, the system's reason
// too where the program knows it.
std::string Failure(const char* text, const std::string& path, int error, int language) {
    return texts::FillIn(text, {path, texts::SystemReason(error, language)});
}

std::string Failure(const char* text, const std::string& path) {
    return texts::FillIn(text, {path});
}

// Loops over short writes; false with errno set on failure.
bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

// Some file systems cannot sync; their data is written all the same.
bool Sync(int fd) {
    return ::fsync(fd) == 0 || errno == EINVAL;
}

// Makes the rename itself durable. The new file is in place already, so a
// failure here is no reason to report the settings as lost.
void SyncFolder(const fs::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

struct Target {
    fs::path Path;  // the file to replace, links followed
    bool Exists = false;
    std::string Error;  // when the file must not be replaced
};

// Follows the links at path one by one, so that a link to a file that does
// not exist yet still names where the file is created. Only a regular file is
// replaced: renaming over a device, a pipe, a socket or a folder would
// destroy it, and a read-only file was made so on purpose.
Target ResolveTarget(const std::string& path, int lang) {
    const texts::SettingsFileTexts& t = texts::SettingsFile;
    Target target{fs::path(path), false, {}};
    for (int hops = 0; hops <= 40; ++hops) {
        struct stat status {};
        if (::lstat(target.Path.c_str(), &status) != 0) {
            if (errno != ENOENT) target.Error = Failure(t.CannotOpen.In(lang), path, errno, lang);
            return target;
        }
        if (S_ISLNK(status.st_mode)) {
            std::error_code error;
            const fs::path link = fs::read_symlink(target.Path, error);
            if (error) {
                target.Error = Failure(t.CannotOpen.In(lang), path, error.value(), lang);
                return target;
            }
            target.Path = link.is_absolute() ? link : target.Path.parent_path() / link;
            continue;
        }
        target.Exists = true;
        if (!S_ISREG(status.st_mode)) {
            target.Error = Failure(t.NotRegularFile.In(lang), path);
        } else if ((status.st_mode & 0222) == 0 || ::access(target.Path.c_str(), W_OK) != 0) {
            target.Error = Failure(t.ReadOnly.In(lang), path);
        }
        return target;
    }
    target.Error = Failure(t.CannotOpen.In(lang), path, ELOOP, lang);
    return target;
}

// The temporary files of earlier writes that were killed before their
// rename: only this program's own names beside this file, and only those of
// processes that are gone, since another instance may be writing right now.
void RemoveLeftoverTemporaryFiles(const fs::path& folder, const std::string& fileName) {
    const std::string prefix = "." + fileName + ".";
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() <= prefix.size() + 4 || !name.starts_with(prefix) ||
            !name.ends_with(".tmp"))
            continue;
        const std::string_view serial =
            std::string_view(name).substr(prefix.size(), name.size() - prefix.size() - 4);
        const size_t dash = serial.find('-');
        const auto allDigits = [](std::string_view digits) {
            return !digits.empty() && digits.size() <= 10 &&
                   digits.find_first_not_of("0123456789") == std::string_view::npos;
        };
        if (dash == std::string_view::npos || !allDigits(serial.substr(0, dash)) ||
            !allDigits(serial.substr(dash + 1)))
            continue;
        // A process of the same id as this one earlier, or one that ended.
        const long pid = std::stol(std::string(serial.substr(0, dash)));
        if (pid <= 0 || pid > std::numeric_limits<pid_t>::max()) continue;
        const bool gone =
            pid == ::getpid() || (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH);
        if (!gone) continue;
        struct stat status {};
        if (::lstat(entry.path().c_str(), &status) == 0 && S_ISREG(status.st_mode))
            ::unlink(entry.path().c_str());
    }
}

}  // namespace

FileReadResult ReadWholeFile(const std::string& path, int language) {
    const int lang = texts::LanguageIndex(language);
    const texts::SettingsFileTexts& t = texts::SettingsFile;
    FileReadResult result;
    // Only a regular file is opened at all: opening a device can have effects
    // of its own, and a pipe would block the start until someone writes.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return result;
        result.Status = FileReadStatus::Failed;
        result.Error = Failure(t.CannotOpen.In(lang), path, errno, lang);
        return result;
    }
    const auto notRegular = [&] {
        result.Status = FileReadStatus::Failed;
        result.Error = Failure(t.NotRegularFile.In(lang), path);
        return result;
    };
    if (!S_ISREG(status.st_mode)) return notRegular();
    // Non-blocking, and checked again once open, for a file swapped meanwhile.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        result.Status = FileReadStatus::Failed;
        result.Error = Failure(t.CannotOpen.In(lang), path, errno, lang);
        return result;
    }
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        ::close(fd);
        return notRegular();
    }
    char buffer[16384];
    for (;;) {
        const ssize_t count = ::read(fd, buffer, sizeof buffer);
        if (count == 0) break;
        if (count < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            result.Status = FileReadStatus::Failed;
            result.Error = Failure(t.CannotRead.In(lang), path, error, lang);
            result.Bytes.clear();
            return result;
        }
        result.Bytes.append(buffer, static_cast<size_t>(count));
    }
    ::close(fd);
    result.Status = FileReadStatus::Read;
    return result;
}

std::optional<std::string> ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                                 int language) {
    const int lang = texts::LanguageIndex(language);
    const texts::SettingsFileTexts& t = texts::SettingsFile;
    const Target resolved = ResolveTarget(path, lang);
    if (!resolved.Error.empty()) return resolved.Error;
    const fs::path& target = resolved.Path;
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    // A name of its own per process, so two instances closing at once do not
    // write into each other's temporary file.
    static unsigned serial = 0;
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        // Appended piece by piece: g++ 12 at -O3 takes "." + name for an
        // overlapping copy (-Wrestrict) that cannot happen.
        std::string name = ".";
        name += target.filename().string();
        name += '.';
        name += std::to_string(::getpid());
        name += '-';
        name += std::to_string(serial++);
        name += ".tmp";
        temporary = folder / name;
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Failure(t.CannotCreate.In(lang), target.string(), errno, lang);

    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
    }

    const auto abandon = [&](const char* what, int error) {
        ::unlink(temporary.c_str());
        return Failure(what, target.string(), error, lang);
    };
    if (!WriteAll(fd, bytes) || !Sync(fd)) {
        const int error = errno;
        ::close(fd);
        return abandon(t.CannotWrite.In(lang), error);
    }
    if (::close(fd) != 0) return abandon(t.CannotWrite.In(lang), errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return abandon(t.CannotReplace.In(lang), errno);
    }
    SyncFolder(folder);
    RemoveLeftoverTemporaryFiles(folder, target.filename().string());
    return std::nullopt;
}

}  // namespace kpw
