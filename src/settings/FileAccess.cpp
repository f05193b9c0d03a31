#include "settings/FileAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

namespace kpw {

namespace fs = std::filesystem;

namespace {

std::string Failure(const char* what, const std::string& path, int error) {
    return std::string(what) + " \"" + path + "\": " + std::strerror(error);
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

fs::path ResolvedTarget(const std::string& path) {
    std::error_code error;
    if (fs::is_symlink(path, error)) {
        fs::path resolved = fs::canonical(path, error);
        if (!error) return resolved;
    }
    return fs::path(path);
}

}  // namespace

FileReadResult ReadWholeFile(const std::string& path) {
    FileReadResult result;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT) return result;
        result.Status = FileReadStatus::Failed;
        result.Error = Failure("Cannot open the settings file", path, errno);
        return result;
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
            result.Error = Failure("Cannot read the settings file", path, error);
            result.Bytes.clear();
            return result;
        }
        result.Bytes.append(buffer, static_cast<size_t>(count));
    }
    ::close(fd);
    result.Status = FileReadStatus::Read;
    return result;
}

std::optional<std::string> ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const fs::path target = ResolvedTarget(path);
    fs::path folder = target.parent_path();
    if (folder.empty()) folder = ".";

    // A name of its own per process, so two instances closing at once do not
    // write into each other's temporary file.
    static unsigned serial = 0;
    fs::path temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = folder / ("." + target.filename().string() + "." + std::to_string(::getpid()) +
                              "-" + std::to_string(serial++) + ".tmp");
        fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) return Failure("Cannot create the settings file", target.string(), errno);

    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        ::fchmod(fd, existing.st_mode & 07777);
    }

    const auto abandon = [&](const char* what, int error) {
        ::unlink(temporary.c_str());
        return Failure(what, target.string(), error);
    };
    if (!WriteAll(fd, bytes) || !Sync(fd)) {
        const int error = errno;
        ::close(fd);
        return abandon("Cannot write the settings file", error);
    }
    if (::close(fd) != 0) return abandon("Cannot write the settings file", errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) {
        return abandon("Cannot replace the settings file", errno);
    }
    SyncFolder(folder);
    return std::nullopt;
}

}  // namespace kpw
