#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "TempFolder.h"
#include "settings/SettingsStore.h"

namespace kpw {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

class LocateSettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { fs::create_directory(folder_.File("bin")); }

    TempFolder folder_;
    std::string exe_ = folder_.File("bin/kelvaro-photo-wizard");
    std::string local_ = exe_ + ".ini";
    std::string appData_ = folder_.File("config");
    std::string perUserDir_ = appData_ + "/Zentrafold/kelvaro-photo-wizard/";
    std::string perUser_ = perUserDir_ + "kelvaro-photo-wizard.ini";
};

class BlankAppData : public LocateSettingsFileTest,
                     public ::testing::WithParamInterface<const char*> {};

TEST_P(BlankAppData, FileBesideTheExecutableIsUsed) {
    WriteBytes(local_, "[Page]\r\n");
    const SettingsLocation location = LocateSettingsFile(exe_, GetParam());
    EXPECT_FALSE(location.UseAppDataFolder);
    EXPECT_EQ(location.ExeDir, folder_.File("bin") + "/");
    EXPECT_EQ(location.SettingsDir, location.ExeDir);
    EXPECT_EQ(location.IniFileName, local_);
    EXPECT_EQ(location.LocalIniFileName, local_);
}

INSTANTIATE_TEST_SUITE_P(EmptyOrBlanks, BlankAppData, ::testing::Values("", "   ", " \t\r\n "));

TEST_F(LocateSettingsFileTest, PerUserFolderIsCreatedAndHoldsTheFile) {
    const SettingsLocation location = LocateSettingsFile(exe_, appData_);
    EXPECT_TRUE(location.UseAppDataFolder);
    EXPECT_EQ(location.ExeName, exe_);
    EXPECT_EQ(location.ExeStem, "kelvaro-photo-wizard");
    EXPECT_EQ(location.SettingsDir, perUserDir_);
    EXPECT_EQ(location.IniFileName, perUser_);
    EXPECT_TRUE(fs::is_directory(perUserDir_));
    EXPECT_FALSE(fs::exists(perUser_));
}

// The language is read before anything else starts, from the file the
// start will use: the per-user one once it exists, else the one beside
// the program.
TEST_F(LocateSettingsFileTest, StoredLanguageIsThatOfTheFileInUse) {
    EXPECT_EQ(StoredLanguage(exe_, appData_), 0);
    WriteBytes(local_, "[General]\r\nLanguage=1\r\n");
    EXPECT_EQ(StoredLanguage(exe_, ""), 1);
    EXPECT_EQ(StoredLanguage(exe_, appData_), 1);
    WriteBytes(perUser_, "[General]\r\nLanguage=0\r\n");
    EXPECT_EQ(StoredLanguage(exe_, appData_), 0);
    WriteBytes(perUser_, "[General]\r\nLanguage=9\r\n");
    EXPECT_EQ(StoredLanguage(exe_, appData_), 1);
}

TEST_F(LocateSettingsFileTest, ExtensionOfTheExecutableIsReplaced) {
    const SettingsLocation location = LocateSettingsFile(folder_.File("bin/tool.v2.exe"), "");
    EXPECT_EQ(location.ExeStem, "tool.v2");
    EXPECT_EQ(location.LocalIniFileName, folder_.File("bin/tool.v2.ini"));
}

TEST_F(LocateSettingsFileTest, FolderThatCannotBeCreatedFallsBackToTheLocalFile) {
    WriteBytes(appData_, "a file where a folder should be");
    const SettingsLocation location = LocateSettingsFile(exe_, appData_);
    EXPECT_FALSE(location.UseAppDataFolder);
    EXPECT_EQ(location.IniFileName, local_);
}

TEST_F(LocateSettingsFileTest, LocalFileIsTakenOverOnceAndNeverOverwritesTheUsersFile) {
    WriteBytes(local_, "[Page]\r\nPhotoIndex=5\r\n");
    EXPECT_EQ(LocateSettingsFile(exe_, appData_).IniFileName, perUser_);
    EXPECT_EQ(ReadBytes(perUser_), "[Page]\r\nPhotoIndex=5\r\n");
    EXPECT_TRUE(fs::exists(local_));

    WriteBytes(local_, "[Page]\r\nPhotoIndex=6\r\n");
    LocateSettingsFile(exe_, appData_);
    EXPECT_EQ(ReadBytes(perUser_), "[Page]\r\nPhotoIndex=5\r\n");

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(perUserDir_))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"kelvaro-photo-wizard.ini"});
}

TEST_F(LocateSettingsFileTest, NothingIsCopiedWithoutALocalFile) {
    LocateSettingsFile(exe_, appData_);
    EXPECT_FALSE(fs::exists(perUser_));
}

}  // namespace
}  // namespace kpw
