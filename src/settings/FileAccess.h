#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kpw {

enum class FileReadStatus { Read, Missing, Failed };

struct FileReadResult {
    FileReadStatus Status = FileReadStatus::Missing;
    std::string Bytes;  // when Read
    std::string Error;  // when Failed: a message naming the file and the cause
};

// The whole file; Missing only when nothing exists at the path. Anything but
// a regular file (a folder, device, pipe, socket) is Failed without being
// read, so a pipe cannot block the caller.
// The messages are in the language given (a column of the text tables).
FileReadResult ReadWholeFile(const std::string& path, int language = 0);

// Writes bytes to a new file beside path, flushes it to the disk and renames
// it over path, so that a crash, a kill or a full disk leaves either the old
// file or the new one, never a part of either. A symbolic link at path is
// followed and its target replaced or, when missing, created; an existing
// file's permissions are kept. Only a regular file with write permission is
// replaced; anything else at the target is a failure. Temporary files that
// killed writes left beside the target are removed after a successful write.
// Returns nothing on success, otherwise the message of the failure, after
// which path is as it was and no temporary file of this write remains.
std::optional<std::string> ReplaceFileAtomically(const std::string& path, std::string_view bytes,
                                                 int language = 0);

}  // namespace kpw
