#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "../settings/TempFolder.h"
#include "platform/DataFiles.h"

namespace kpw::platform {
namespace {

namespace fs = std::filesystem;
using kpw::testing::TempFolder;
using kpw::testing::WriteBytes;

// The cases below are written for the usual bin/ and share/ layout.
bool UsualLayout() {
    return std::string(DataFolderFromExecutable()) == "../share/kelvaro-photo-wizard";
}

TEST(DataFileCandidates, BesideTheProgramThenTheNormalisedDataFolder) {
    if (!UsualLayout()) GTEST_SKIP() << "configured data folder: " << DataFolderFromExecutable();
    EXPECT_EQ(DataFileCandidates("/usr/bin/English.HLP"),
              (std::vector<std::string>{"/usr/bin/English.HLP",
                                        "/usr/share/kelvaro-photo-wizard/English.HLP"}));
    EXPECT_EQ(
        DataFileCandidates("/tmp/stage/opt/kpw/bin/German.HLP"),
        (std::vector<std::string>{"/tmp/stage/opt/kpw/bin/German.HLP",
                                  "/tmp/stage/opt/kpw/share/kelvaro-photo-wizard/German.HLP"}));
}

// What lies in the tree, and which of the two places is the answer.
struct Layout {
    const char* name;
    bool beside;     // bin/English.HLP is a file
    bool installed;  // share/kelvaro-photo-wizard/English.HLP is a file
    bool besideIsFolder;
    bool expectBeside;
};

class LocateDataFile : public ::testing::TestWithParam<Layout> {};

TEST_P(LocateDataFile, TakesTheFirstFileAndOtherwiseNamesTheLastPathTried) {
    if (!UsualLayout()) GTEST_SKIP() << "configured data folder: " << DataFolderFromExecutable();
    const Layout& layout = GetParam();
    TempFolder folder;
    fs::create_directories(folder.Path() / "bin");
    fs::create_directories(folder.Path() / "share/kelvaro-photo-wizard");
    const std::string beside = folder.File("bin/English.HLP");
    const std::string installed = folder.File("share/kelvaro-photo-wizard/English.HLP");
    if (layout.beside) WriteBytes(beside, "<html>beside</html>");
    if (layout.besideIsFolder) fs::create_directory(beside);
    if (layout.installed) WriteBytes(installed, "<html>installed</html>");

    EXPECT_EQ(platform::LocateDataFile(beside), layout.expectBeside ? beside : installed);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LocateDataFile,
    ::testing::Values(Layout{"BuildFolder", true, false, false, true},
                      Layout{"Installed", false, true, false, false},
                      Layout{"BothPrefersBeside", true, true, false, true},
                      Layout{"NeitherNamesTheDataFolder", false, false, false, false},
                      Layout{"AFolderBesideIsNoFile", false, true, true, false}),
    [](const ::testing::TestParamInfo<Layout>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace kpw::platform
