#pragma once

#include <string>

#include "browsing/RangeKeeper.h"

namespace kpw {

// The file system as keeping a range sees it: the folder's state, the
// digests of the files there, and the rename that never replaces a file.
class KeepFiles : public KeepFilesPort {
public:
    FolderState StateOf(const std::string& folder) override;
    bool Exists(const std::string& path) override;
    std::optional<int64_t> SizeOf(const std::string& path) override;
    std::optional<std::string> Sha256Of(const std::string& path) override;
    PlaceResult MoveNoReplace(const std::string& from, const std::string& to,
                              std::string& detail) override;
    void Remove(const std::string& path) override;
    // The temporary files of fetches whose program no longer runs.
    void RemoveLeftovers(const std::string& folder) override;
};

}  // namespace kpw
