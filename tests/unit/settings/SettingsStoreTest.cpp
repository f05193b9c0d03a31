#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "TempFolder.h"
#include "settings/SettingsStore.h"
#include "settings/SettingsTable.h"
#include "settings/TextEncoding.h"

namespace kpw {
namespace {

namespace fs = std::filesystem;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr WorkArea FullHd{1920, 1080};
constexpr WindowBounds DefaultBounds{24, 24, 550, 600};

struct Loaded {
    Settings Values;
    std::vector<std::string> Photos;
    std::vector<std::string> Users;
};

class SettingsStoreTest : public ::testing::Test {
protected:
    Loaded Load(WorkArea workArea = FullHd) const {
        Loaded loaded;
        LoadSettings(ini_, loaded.Values, loaded.Photos, loaded.Users, workArea);
        return loaded;
    }
    std::optional<std::string> Store(const Settings& settings,
                                     const std::vector<std::string>& photos = {},
                                     const std::vector<std::string>& users = {},
                                     WindowBounds bounds = DefaultBounds) const {
        return StoreSettings(ini_, settings, bounds, photos, users);
    }
    std::string FileText() const { return ReadBytes(ini_); }
    void WriteFile(const std::string& text) const { WriteBytes(ini_, text); }

    TempFolder folder_;
    std::string ini_ = folder_.File("kpw.ini");
};

std::string Slots(const std::string& prefix, int from, int to) {
    std::string lines;
    for (int n = from; n <= to; ++n) lines += prefix + std::to_string(n) + "=\r\n";
    return lines;
}

TEST_F(SettingsStoreTest, NoFileGivesDefaultsAndClosingWritesTheCompleteDefaultFile) {
    const Loaded loaded = Load();
    EXPECT_EQ(loaded.Values, Settings{});
    EXPECT_TRUE(loaded.Photos.empty());
    EXPECT_TRUE(loaded.Users.empty());

    ASSERT_EQ(Store(loaded.Values), std::nullopt);
    const Settings d;
    EXPECT_EQ(FileText(),
              "[General]\r\nSaveSettings=1\r\nWebBrowserVerbose=0\r\nInvertMouseWheel=0\r\n"
              "NavigateDelayTime=1000\r\nLanguage=0\r\n\r\n"
              "[MainForm]\r\nWindowState=0\r\nLeft=24\r\nTop=24\r\nWidth=550\r\nHeight=600\r\n\r\n"
              "[URL]\r\nAutoSkipURL=1\r\nMaxSkippedURLCount=100\r\n"
              "TemplateURL11=" +
                  d.TemplateURL11 + "\r\nTemplateURL12=" + d.TemplateURL12 +
                  "\r\nTemplateURL13=" + d.TemplateURL13 + "\r\nTemplateURL14=" + d.TemplateURL14 +
                  "\r\nTemplateURL20=" + d.TemplateURL20 + "\r\nTemplateURL30=" + d.TemplateURL30 +
                  "\r\nURLIndex=1\r\nPhotoSize=3\r\nMinRequestInterval=0\r\n"
                  "PreloadDepth=4\r\nSkipKnownMissing=1\r\n"
                  "MissingByStatus=1\r\nMissingByPlaceholder=1\r\nMissingTextWaitMs=500\r\n\r\n"
                  "[Page]\r\nPhotoIndex=1\r\nUserIndex=1\r\n\r\n"
                  "[Favorites]\r\nMaxFavoriteCount=16\r\n" +
                  Slots("FavoritePhoto", 1, 16) + Slots("FavoriteUser", 1, 16) + "\r\n" +
                  "[Photo]\r\nSaveFolder=\r\nSlideshowInterval=5\r\n\r\n");
    EXPECT_EQ(Load().Values, Settings{});
}

// The overview sheet's options reach the file only once they were set, so a
// program whose sheet was never used leaves the file as before.
TEST_F(SettingsStoreTest, OptionsOfAnUnusedFeatureAreWrittenOnlyOnceSet) {
    Settings settings;
    settings.SheetCellSize = 160;
    ASSERT_EQ(Store(settings), std::nullopt);
    EXPECT_NE(FileText().find("[Sheet]\r\nSheetCellSize=160\r\n\r\n"), std::string::npos);
    EXPECT_EQ(FileText().find("SheetHidesMissing"), std::string::npos);
    EXPECT_EQ(Load().Values.SheetCellSize, 160);

    // Set back to its default, a key the file holds stays in it.
    settings.SheetCellSize = Settings{}.SheetCellSize;
    ASSERT_EQ(Store(settings), std::nullopt);
    EXPECT_NE(FileText().find("SheetCellSize=120"), std::string::npos);
}

TEST_F(SettingsStoreTest, ValuesAndWindowBoundsComeBackAtTheNextStart) {
    Settings settings;
    settings.WebBrowserVerbose = true;
    settings.InvertMouseWheel = true;
    settings.NavigateDelayTime = 250;
    settings.Language = 1;
    settings.WindowState = 2;
    settings.AutoSkipURL = false;
    settings.MaxSkippedURLCount = 7;
    settings.TemplateURL20 = "http://other.example/p/*";
    settings.URLIndex = 3;
    settings.PhotoSize = 1;
    settings.PhotoIndex = 2147483647;
    settings.UserIndex = 42;
    settings.MaxFavoriteCount = 9;
    settings.MinRequestInterval = 1500;
    settings.PreloadDepth = 1;
    settings.SkipKnownMissing = false;
    settings.MissingByStatus = false;
    settings.MissingByPlaceholder = false;
    settings.MissingTextWaitMs = 3000;
    ASSERT_EQ(Store(settings, {"5   five"}, {"6"}, WindowBounds{300, 200, 800, 700}), std::nullopt);

    const Loaded loaded = Load();
    Settings expected = settings;
    expected.Left = 300;
    expected.Top = 200;
    expected.Width = 800;
    expected.Height = 700;
    EXPECT_EQ(loaded.Values, expected);
    EXPECT_EQ(loaded.Photos, std::vector<std::string>{"5   five"});
    EXPECT_EQ(loaded.Users, std::vector<std::string>{"6"});
}

// A file as the program writes it, every key away from its default: a start
// and a close without changes give back the same bytes.
TEST_F(SettingsStoreTest, StartAndCloseWithoutChangesKeepTheFileByteForByte) {
    const std::string stored =
        "[General]\r\nSaveSettings=1\r\nWebBrowserVerbose=1\r\nInvertMouseWheel=1\r\n"
        "NavigateDelayTime=2500\r\nLanguage=1\r\n\r\n"
        "[MainForm]\r\nWindowState=2\r\nLeft=-40\r\nTop=333\r\nWidth=1024\r\nHeight=700\r\n\r\n"
        "[URL]\r\nAutoSkipURL=0\r\nMaxSkippedURLCount=7\r\n"
        "TemplateURL11=http://a.example/t/*.jpg\r\nTemplateURL12=http://a.example/s/*.jpg\r\n"
        "TemplateURL13=http://a.example/m/*.jpg\r\nTemplateURL14=http://b.example/o/*.jpg\r\n"
        "TemplateURL20=http://a.example/p/*\r\nTemplateURL30=http://a.example/u/*\r\n"
        "URLIndex=3\r\nPhotoSize=4\r\nMinRequestInterval=750\r\nPreloadDepth=12\r\n"
        "SkipKnownMissing=0\r\nMissingByStatus=0\r\nMissingByPlaceholder=0\r\n"
        "MissingTextWaitMs=3000\r\n\r\n"
        "[Page]\r\nPhotoIndex=123456\r\nUserIndex=2147483647\r\n\r\n"
        "[Favorites]\r\nMaxFavoriteCount=8\r\n"
        "FavoritePhoto1=1001   Sch\xF6n\r\nFavoritePhoto2=77   x\r\n" +
        Slots("FavoritePhoto", 3, 8) + "FavoriteUser1=5   Anna\r\n" + Slots("FavoriteUser", 2, 8) +
        "\r\n[Photo]\r\nSaveFolder=/home/ann/Bilder/Sch\xF6ne "
        "Photos\r\nSlideshowInterval=3600\r\n\r\n";
    WriteFile(stored);
    const Loaded loaded = Load();
    EXPECT_NE(loaded.Values, Settings{});
    ASSERT_EQ(
        Store(loaded.Values, loaded.Photos, loaded.Users,
              {loaded.Values.Left, loaded.Values.Top, loaded.Values.Width, loaded.Values.Height}),
        std::nullopt);
    EXPECT_EQ(FileText(), stored);
}

TEST_F(SettingsStoreTest, SaveSettingsOffWritesOnlyThatKeyAndKeepsTheRest) {
    Settings first;
    first.PhotoIndex = 1234;
    ASSERT_EQ(Store(first, {"1234   keep"}), std::nullopt);
    std::string expected = FileText();

    Settings second = Load().Values;
    second.SaveSettings = false;
    second.PhotoIndex = 99;
    ASSERT_EQ(Store(second, {}, {}, WindowBounds{1, 2, 3, 4}), std::nullopt);

    expected.replace(expected.find("SaveSettings=1"), 14, "SaveSettings=0");
    EXPECT_EQ(FileText(), expected);
    const Loaded loaded = Load();
    EXPECT_FALSE(loaded.Values.SaveSettings);
    EXPECT_EQ(loaded.Values.PhotoIndex, 1234);
    EXPECT_EQ(loaded.Photos, std::vector<std::string>{"1234   keep"});
}

TEST_F(SettingsStoreTest, SaveSettingsOffWithoutAFileWritesOnlyTheGeneralSection) {
    Settings settings;
    settings.SaveSettings = false;
    settings.PhotoIndex = 50;
    ASSERT_EQ(Store(settings), std::nullopt);
    EXPECT_EQ(FileText(), "[General]\r\nSaveSettings=0\r\n\r\n");

    Settings expected;
    expected.SaveSettings = false;
    EXPECT_EQ(Load().Values, expected);
}

// A stored text and the defaults changed the way the bounds should leave them.
struct BoundCase {
    const char* Ini;
    void (*Expect)(Settings&);
};

class StoredValueBounds : public SettingsStoreTest,
                          public ::testing::WithParamInterface<BoundCase> {};

TEST_P(StoredValueBounds, ValueIsReadThenBounded) {
    WriteFile(GetParam().Ini);
    Settings expected;
    GetParam().Expect(expected);
    EXPECT_EQ(Load().Values, expected) << GetParam().Ini;
}

INSTANTIATE_TEST_SUITE_P(
    Keys, StoredValueBounds,
    ::testing::Values(
        BoundCase{"[General]\r\nNavigateDelayTime=0x10\r\n",
                  [](Settings& s) { s.NavigateDelayTime = 100; }},
        BoundCase{"[General]\r\nNavigateDelayTime=$1388\r\n",
                  [](Settings& s) { s.NavigateDelayTime = 5000; }},
        BoundCase{"[General]\r\nNavigateDelayTime=abc\r\n", [](Settings&) {}},
        BoundCase{"[MainForm]\r\nWindowState=5\r\n", [](Settings& s) { s.WindowState = 2; }},
        BoundCase{"[MainForm]\r\nWindowState=-1\r\n", [](Settings& s) { s.WindowState = 0; }},
        BoundCase{"[URL]\r\nURLIndex=0\r\nPhotoSize=9\r\n",
                  [](Settings& s) {
                      s.URLIndex = 1;
                      s.PhotoSize = 4;
                  }},
        BoundCase{"[General]\r\nLanguage=7\r\n", [](Settings& s) { s.Language = 1; }},
        BoundCase{"[URL]\r\nMinRequestInterval=20000\r\n",
                  [](Settings& s) { s.MinRequestInterval = 10000; }},
        BoundCase{"[URL]\r\nMinRequestInterval=-5\r\n",
                  [](Settings& s) { s.MinRequestInterval = 0; }},
        BoundCase{"[URL]\r\nPreloadDepth=0\r\n", [](Settings& s) { s.PreloadDepth = 1; }},
        BoundCase{"[URL]\r\nPreloadDepth=2147483647\r\n",
                  [](Settings& s) { s.PreloadDepth = BoundsOf("PreloadDepth").High; }},
        BoundCase{"[Photo]\r\nSlideshowInterval=0\r\n",
                  [](Settings& s) { s.SlideshowInterval = 1; }},
        BoundCase{"[Photo]\r\nSlideshowInterval=86400\r\nSaveFolder= /data/p \r\n",
                  [](Settings& s) {
                      s.SlideshowInterval = 3600;
                      s.SaveFolder = "/data/p";
                  }},
        BoundCase{"[MainForm]\r\nLeft=-1000\r\nTop=-1000\r\n",
                  [](Settings& s) {
                      s.Left = -450;
                      s.Top = -500;
                  }},
        BoundCase{"[MainForm]\r\nLeft=5000\r\nTop=2000\r\n",
                  [](Settings& s) {
                      s.Left = 1880;
                      s.Top = 1040;
                  }},
        BoundCase{"[MainForm]\r\nWidth=1000\r\nLeft=-1000\r\n",
                  [](Settings& s) {
                      s.Width = 1000;
                      s.Left = -900;
                  }},
        BoundCase{"[MainForm]\r\nWidth=-2147483648\r\nLeft=0\r\n",
                  [](Settings& s) {
                      s.Width = INT32_MIN;
                      s.Left = INT32_MAX;
                  }},
        BoundCase{"[Page]\r\nPhotoIndex=0\r\nUserIndex=-5\r\n",
                  [](Settings& s) { s.PhotoIndex = s.UserIndex = 1; }},
        BoundCase{"[URL]\r\nMaxSkippedURLCount=1001\r\n",
                  [](Settings& s) { s.MaxSkippedURLCount = 1000; }}));

TEST_F(SettingsStoreTest, NamesInOtherLetterCasesAreFoundAndUpdatedInPlace) {
    WriteFile("[general]\r\nsavesettings=0\r\n[mainform]\r\nLEFT=50\r\n");
    Loaded loaded = Load();
    EXPECT_FALSE(loaded.Values.SaveSettings);
    EXPECT_EQ(loaded.Values.Left, 50);

    loaded.Values.SaveSettings = true;
    ASSERT_EQ(Store(loaded.Values), std::nullopt);
    const std::string text = FileText();
    EXPECT_EQ(text.rfind("[general]\r\nsavesettings=1\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("[General]"), std::string::npos);
    EXPECT_NE(text.find("[mainform]\r\nLEFT=24\r\n"), std::string::npos) << text;
}

TEST_F(SettingsStoreTest, UnknownSectionsAndKeysStayInTheirOrderAndCommentsGo) {
    WriteFile(
        "; written by hand\r\nloose=1\r\n"
        "[Extra]\r\nFoo = bar\r\nno equals sign\r\n\r\n"
        "[General]\r\nZebra=1\r\n; note\r\nSaveSettings=1\r\n");
    ASSERT_EQ(Store(Load().Values), std::nullopt);
    const std::string text = FileText();
    EXPECT_EQ(text.rfind("[Extra]\r\nFoo=bar\r\nno equals sign\r\n\r\n"
                         "[General]\r\nZebra=1\r\nSaveSettings=1\r\nWebBrowserVerbose=0\r\n",
                         0),
              0u)
        << text;
    EXPECT_EQ(text.find(';'), std::string::npos);
    EXPECT_EQ(text.find("loose"), std::string::npos);
}

TEST_F(SettingsStoreTest, BlankFavouritesAreSkippedAndTheRestRenumbered) {
    WriteFile(
        "[Favorites]\r\nFavoritePhoto1=1   a\r\nFavoritePhoto2=   \r\nFavoritePhoto3=\r\n"
        "FavoritePhoto4=  4   d  \r\nFavoriteUser2=77\r\n");
    const Loaded loaded = Load();
    EXPECT_EQ(loaded.Photos, (std::vector<std::string>{"1   a", "4   d"}));
    EXPECT_EQ(loaded.Users, std::vector<std::string>{"77"});

    ASSERT_EQ(Store(loaded.Values, loaded.Photos, loaded.Users), std::nullopt);
    EXPECT_NE(
        FileText().find("[Favorites]\r\nFavoritePhoto1=1   a\r\nFavoritePhoto2=4   d\r\n" +
                        Slots("FavoritePhoto", 3, 4) + "FavoriteUser2=\r\nMaxFavoriteCount=16\r\n" +
                        Slots("FavoritePhoto", 5, 16) + "FavoriteUser1=77\r\n" +
                        Slots("FavoriteUser", 3, 16) + "\r\n"),
        std::string::npos)
        << FileText();
}

TEST_F(SettingsStoreTest, LargerStoredCountReadsEveryEntryAndWritesThemAllBack) {
    std::string file = "[Favorites]\r\nMaxFavoriteCount=100\r\n";
    for (int n = 1; n <= 70; ++n)
        file += "FavoritePhoto" + std::to_string(n) + "=" + std::to_string(n) + "\r\n";
    file += "FavoritePhoto100=last\r\nFavoritePhoto101=beyond\r\n";
    WriteFile(file);

    const Loaded loaded = Load();
    ASSERT_EQ(loaded.Photos.size(), 71u);
    EXPECT_EQ(loaded.Photos[69], "70");
    EXPECT_EQ(loaded.Photos[70], "last");
    EXPECT_EQ(loaded.Values.MaxFavoriteCount, 64);

    ASSERT_EQ(Store(loaded.Values, loaded.Photos), std::nullopt);
    const std::string text = FileText();
    // Key 100 lies above the written range and keeps its old value.
    EXPECT_NE(text.find("FavoritePhoto70=70\r\nFavoritePhoto100=last\r\nFavoritePhoto101=beyond\r\n"
                        "FavoritePhoto71=last\r\nFavoriteUser1=\r\n"),
              std::string::npos)
        << text;
    EXPECT_EQ(text.find("FavoritePhoto72="), std::string::npos);
    EXPECT_NE(text.find("FavoriteUser64=\r\n\r\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, SmallerStoredCountReadsOnlyItsKeysAndWritesSlotsUpToTheBound) {
    WriteFile(
        "[Favorites]\r\nMaxFavoriteCount=3\r\nFavoritePhoto1=1\r\nFavoritePhoto3=3\r\n"
        "FavoritePhoto4=4\r\nFavoritePhoto20=20\r\n");
    const Loaded loaded = Load();
    EXPECT_EQ(loaded.Photos, (std::vector<std::string>{"1", "3"}));
    EXPECT_EQ(loaded.Values.MaxFavoriteCount, 8);

    ASSERT_EQ(Store(loaded.Values, loaded.Photos), std::nullopt);
    std::string text = FileText();
    EXPECT_NE(text.find("MaxFavoriteCount=8\r\nFavoritePhoto1=1\r\nFavoritePhoto3=\r\n"
                        "FavoritePhoto4=\r\nFavoritePhoto20=20\r\nFavoritePhoto2=3\r\n" +
                        Slots("FavoritePhoto", 5, 8) + Slots("FavoriteUser", 1, 8) + "\r\n"),
              std::string::npos)
        << text;

    // The entry above the written range returns once the bound reaches it.
    text.replace(text.find("MaxFavoriteCount=8"), 18, "MaxFavoriteCount=32");
    WriteFile(text);
    EXPECT_EQ(Load().Photos, (std::vector<std::string>{"1", "3", "20"}));
}

TEST_F(SettingsStoreTest, HugeStoredCountReadsTheKeysThatExist) {
    WriteFile(
        "[Favorites]\r\nMaxFavoriteCount=2147483647\r\nFavoritePhoto2000000000=far\r\n"
        "FavoritePhoto01=leading zero\r\nFavoritePhoto1=near\r\n");
    EXPECT_EQ(Load().Photos, (std::vector<std::string>{"near", "far"}));
}

TEST_F(SettingsStoreTest, GermanTextStaysWindows1252AndExistingFilesReadAsWindows1252) {
    WriteFile("[Favorites]\r\nFavoritePhoto1=1   Fu\xDF M\xFCnchen \x80\r\n");
    Loaded loaded = Load();
    ASSERT_EQ(loaded.Photos, std::vector<std::string>{"1   Fuß München €"});

    loaded.Photos.push_back("2   Köln");
    ASSERT_EQ(Store(loaded.Values, loaded.Photos), std::nullopt);
    const std::string bytes = FileText();
    EXPECT_NE(bytes.find("FavoritePhoto1=1   Fu\xDF M\xFCnchen \x80\r\n"), std::string::npos);
    EXPECT_NE(bytes.find("FavoritePhoto2=2   K\xF6ln\r\n"), std::string::npos);
    EXPECT_EQ(Load().Photos, loaded.Photos);
}

TEST_F(SettingsStoreTest, TextBeyondWindows1252MakesTheFileUtf8AndRoundTrips) {
    WriteFile("[Extra]\r\nNote=K\xF6ln\r\n");
    Loaded loaded = Load();
    loaded.Values.TemplateURL30 = "http://пример.example/user/*";
    const std::vector<std::string> photos{"3   Привет мир", "4   Grüße"};
    ASSERT_EQ(Store(loaded.Values, photos), std::nullopt);

    const std::string bytes = FileText();
    EXPECT_TRUE(IsValidUtf8(bytes));
    EXPECT_NE(bytes.find("Note=Köln\r\n"), std::string::npos);
    const Loaded reread = Load();
    EXPECT_EQ(reread.Photos, photos);
    EXPECT_EQ(reread.Values.TemplateURL30, "http://пример.example/user/*");
}

TEST_F(SettingsStoreTest, UnreadableFileAtStartGivesDefaults) {
    // A folder in the file's place cannot be read, not even by root.
    fs::create_directory(ini_);
    const Loaded loaded = Load();
    EXPECT_EQ(loaded.Values, Settings{});
    EXPECT_TRUE(loaded.Photos.empty());
}

TEST_F(SettingsStoreTest, FileWithoutReadPermissionAtCloseIsReportedAndNotReplaced) {
    WriteFile("[Page]\r\nPhotoIndex=5\r\n");
    ::chmod(ini_.c_str(), 0);
    if (::access(ini_.c_str(), R_OK) == 0) GTEST_SKIP() << "this user may read any file";
    const std::optional<std::string> failure = Store(Settings{});
    ::chmod(ini_.c_str(), 0600);
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find(ini_), std::string::npos) << *failure;
    EXPECT_EQ(FileText(), "[Page]\r\nPhotoIndex=5\r\n");
}

TEST_F(SettingsStoreTest, FileThatCannotBeOpenedAtCloseIsReportedAndNotReplaced) {
    // A link to itself exists but cannot be opened, not even by root; the
    // folder is writable, so only the failed read can stop the rename.
    fs::create_symlink(ini_, ini_);
    const std::optional<std::string> failure = Store(Settings{});
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find(ini_), std::string::npos) << *failure;
    EXPECT_EQ(fs::read_symlink(ini_), ini_);
}

TEST_F(SettingsStoreTest, MissingFolderAtCloseIsReported) {
    const std::string missing = folder_.File("gone/kpw.ini");
    const std::optional<std::string> failure =
        StoreSettings(missing, Settings{}, DefaultBounds, {}, {});
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find(missing), std::string::npos) << *failure;
    EXPECT_FALSE(fs::exists(folder_.File("gone")));
}

TEST_F(SettingsStoreTest, ReadOnlyFolderAtCloseIsReportedAndTheOldFileKept) {
    WriteFile("[Page]\r\nPhotoIndex=5\r\n");
    fs::permissions(folder_.Path(), fs::perms::owner_read | fs::perms::owner_exec);
    if (::access(folder_.Path().c_str(), W_OK) == 0) {
        GTEST_SKIP() << "this user may write into read-only folders";
    }
    EXPECT_TRUE(Store(Settings{}).has_value());
    EXPECT_EQ(FileText(), "[Page]\r\nPhotoIndex=5\r\n");
}

// Lowers the largest file this process may write, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit lowered = previous_;
        lowered.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool Active() const { return active_; }

private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool active_ = false;
};

TEST_F(SettingsStoreTest, WriteThatRunsOutOfSpaceIsReportedAndLeavesTheOldFileWhole) {
    const std::string old = "[Page]\r\nPhotoIndex=5\r\n";
    WriteFile(old);
    std::optional<std::string> failure;
    {
        FileSizeLimit limit(256);
        ASSERT_TRUE(limit.Active());
        failure = Store(Settings{});
    }
    ASSERT_TRUE(failure.has_value());
    EXPECT_NE(failure->find(ini_), std::string::npos) << *failure;
    EXPECT_EQ(FileText(), old);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder_.Path()))
        names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"kpw.ini"});
}

TEST_F(SettingsStoreTest, ReplacedFileKeepsItsPermissionsAndItsSymbolicLink) {
    const std::string real = folder_.File("real.ini");
    WriteBytes(real, "[Page]\r\nPhotoIndex=5\r\n");
    ::chmod(real.c_str(), 0600);
    fs::create_symlink(real, ini_);

    ASSERT_EQ(Store(Settings{}), std::nullopt);
    EXPECT_TRUE(fs::is_symlink(ini_));
    EXPECT_NE(ReadBytes(real).find("[Favorites]"), std::string::npos);
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
}

}  // namespace
}  // namespace kpw
