#pragma once

#include <string>
#include <vector>

// Where the program finds its read-only files (the help files): beside the
// executable, as in a build folder, else in the data folder of an installed
// tree, found relative to the executable so that a relocated install (or one
// below DESTDIR) works as well as one in /usr.
namespace kpw::platform {

// The data folder relative to the executable's folder, as the install rules
// lay it out ("../share/kelvaro-photo-wizard" for the usual prefixes).
const char* DataFolderFromExecutable();

// The places looked at for a file whose place beside the executable is
// besideProgram: that path first, then the same name in the data folder.
std::vector<std::string> DataFileCandidates(const std::string& besideProgram);

// The first candidate that is a readable regular file. When none is, the
// last one tried, so that a message about the missing file names it.
std::string LocateDataFile(const std::string& besideProgram);

}  // namespace kpw::platform
