// Prints where the program would open each help file, one line per language,
// when this probe lies where the program lies. The install test puts it beside
// the installed program, so the lookup runs with the installed layout.
#include <cstdio>
#include <filesystem>
#include <string>

#include "platform/DataFiles.h"
#include "platform/Platform.h"
#include "texts/Texts.h"

int main() {
    // The program's folder as the settings location gives it to the help button.
    const std::filesystem::path exe(kpw::platform::ExecutablePath());
    const std::string exeDir = exe.parent_path().string() + "/";
    for (int language : {kpw::texts::English, kpw::texts::German})
        std::printf(
            "%s\n",
            kpw::platform::LocateDataFile(kpw::texts::HelpFileName(exeDir, language)).c_str());
    return 0;
}
