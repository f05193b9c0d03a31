#include "platform/DataFiles.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#ifndef KPW_DATA_FROM_BIN
#define KPW_DATA_FROM_BIN "../share/kelvaro-photo-wizard"
#endif

namespace kpw::platform {

namespace fs = std::filesystem;

const char* DataFolderFromExecutable() {
    return KPW_DATA_FROM_BIN;
}

std::vector<std::string> DataFileCandidates(const std::string& besideProgram) {
    const fs::path beside(besideProgram);
    std::vector<std::string> candidates{besideProgram};
    if (!beside.has_filename()) return candidates;
    const fs::path installed =
        (beside.parent_path() / DataFolderFromExecutable() / beside.filename()).lexically_normal();
    if (installed != beside.lexically_normal()) candidates.push_back(installed.string());
    return candidates;
}

std::string LocateDataFile(const std::string& besideProgram) {
    const std::vector<std::string> candidates = DataFileCandidates(besideProgram);
    for (const std::string& candidate : candidates) {
        std::error_code error;
        if (fs::is_regular_file(candidate, error) && access(candidate.c_str(), R_OK) == 0)
            return candidate;
    }
    return candidates.back();
}

}  // namespace kpw::platform
