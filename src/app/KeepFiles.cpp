#include "app/KeepFiles.h"

#include <fcntl.h>
#include <signal.h>
#include <stdio.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>

#include "archive/Sha256.h"
#include "webengine/RangeFetcher.h"

namespace kpw {

namespace {

PlaceResult PlaceResultOf(int error, const std::string& to, std::string& detail) {
    detail = std::strerror(error);
    switch (error) {
        case EEXIST:
            return PlaceResult::NameTaken;
        case ENOSPC:
        case EDQUOT:
            return PlaceResult::DiskFull;
        case ENOENT:
            return QFileInfo(QFileInfo(QString::fromStdString(to)).path()).isDir()
                       ? PlaceResult::Failed
                       : PlaceResult::FolderGone;
        default:
            return PlaceResult::Failed;
    }
}

// Whether the process that wrote a temporary file still runs: its id is the
// part of the name after the prefix.
bool WriterRuns(const QString& name) {
    const QString rest = name.mid(RangeFetcher::TempFilePrefix().size());
    bool ok = false;
    const qint64 pid = rest.section(QLatin1Char('-'), 0, 0).toLongLong(&ok);
    if (!ok || pid <= 0) return false;
    if (pid == getpid()) return true;
    return kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
}

}  // namespace

FolderState KeepFiles::StateOf(const std::string& folder) {
    const QFileInfo info(QString::fromStdString(folder));
    if (!info.exists()) return FolderState::Missing;
    if (!info.isDir()) return FolderState::NotAFolder;
    // Asked of the system, which knows the rights, the mount and the ACLs.
    return access(folder.c_str(), W_OK | X_OK) == 0 ? FolderState::Writable
                                                    : FolderState::NotWritable;
}

bool KeepFiles::Exists(const std::string& path) {
    return QFileInfo::exists(QString::fromStdString(path));
}

std::optional<int64_t> KeepFiles::SizeOf(const std::string& path) {
    const QFileInfo info(QString::fromStdString(path));
    if (!info.isFile()) return std::nullopt;
    return info.size();
}

std::optional<std::string> KeepFiles::Sha256Of(const std::string& path) {
    return Sha256::OfFile(path);
}

PlaceResult KeepFiles::MoveNoReplace(const std::string& from, const std::string& to,
                                     std::string& detail) {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
        return PlaceResult::Placed;
    if (errno != EINVAL && errno != ENOSYS) return PlaceResultOf(errno, to, detail);
    // A file system without that rename: a second link, which never replaces
    // either, then the first goes.
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return PlaceResult::Placed;
    }
    if (errno != EPERM && errno != EOPNOTSUPP) return PlaceResultOf(errno, to, detail);
    // Nor links (FAT): looked at, then renamed.
    if (Exists(to)) return PlaceResult::NameTaken;
    if (std::rename(from.c_str(), to.c_str()) == 0) return PlaceResult::Placed;
    return PlaceResultOf(errno, to, detail);
}

void KeepFiles::Remove(const std::string& path) {
    QFile::remove(QString::fromStdString(path));
}

void KeepFiles::RemoveLeftovers(const std::string& folder) {
    QDir dir(QString::fromStdString(folder));
    const QStringList names =
        dir.entryList({RangeFetcher::TempFilePrefix() + QStringLiteral("*.part")},
                      QDir::Files | QDir::Hidden | QDir::System);
    for (const QString& name : names) {
        if (!WriterRuns(name)) dir.remove(name);
    }
}

}  // namespace kpw
