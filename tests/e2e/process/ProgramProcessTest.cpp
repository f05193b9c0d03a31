// The real program in a process of its own: where it puts its window under a
// window manager and under none, how it ends on a session's signals, and
// what odd settings files do to its start.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <regex>
#include <sstream>

#include "ProgramProcess.h"

namespace kpw::testing {
namespace {

namespace fs = std::filesystem;

constexpr const char* Title = "Kelvaro Photo Wizard";

struct Outer {
    int Left = 0, Top = 0, Width = 0, Height = 0;
    bool operator==(const Outer&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Outer& o) {
    return out << o.Left << ", " << o.Top << ", " << o.Width << " x " << o.Height;
}

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// One run of the program on a settings file of the test's own.
class ProgramRun {
public:
    ProgramRun() {
        std::string pattern = (fs::temp_directory_path() / "kpw-process-XXXXXX").string();
        if (::mkdtemp(pattern.data())) folder_ = pattern;
        fs::create_directories(IniFolder());
    }
    ~ProgramRun() {
        program_.reset();
        std::error_code error;
        fs::remove_all(folder_, error);
    }

    std::string IniFolder() const {
        return (folder_ / "appdata/Zentrafold/kelvaro-photo-wizard").string();
    }
    std::string Ini() const { return IniFolder() + "/kelvaro-photo-wizard.ini"; }
    std::string Stderr() const { return ReadText((folder_ / "stderr.txt").string()); }

    void WriteIni(const std::string& mainForm) const {
        std::ofstream(Ini(), std::ios::binary) << "[MainForm]\r\n" << mainForm;
    }
    std::optional<int> Value(const std::string& key) const {
        const std::string text = ReadText(Ini());
        std::smatch match;
        if (!std::regex_search(text, match, std::regex("\n" + key + "=(-?[0-9]+)\r"))) return {};
        return std::stoi(match[1]);
    }
    Outer StoredBounds() const {
        return {Value("Left").value_or(-1), Value("Top").value_or(-1), Value("Width").value_or(-1),
                Value("Height").value_or(-1)};
    }

    // display empty: offscreen. Returns once the program handles the
    // session's signals, which it sets up after showing its window.
    ::testing::AssertionResult Start(const std::string& display) {
        if (!Launch(display, true))
            return ::testing::AssertionFailure() << "cannot start " << KPW_PROGRAM;
        if (!WaitUntil([&] { return !program_->Running() || program_->Catches(SIGTERM); }) ||
            !program_->Running())
            return ::testing::AssertionFailure() << "the program did not come up:\n" << Stderr();
        return ::testing::AssertionSuccess();
    }

    // Starts the program and returns at once; without the sandbox switch
    // the engine's own (the variable is left to this process's environment).
    bool Launch(const std::string& display, bool sandboxSwitch) {
        program_ = std::make_unique<ChildProcess>();
        std::map<std::string, std::string> env = {
            {"APPDATA", (folder_ / "appdata").string()},
            {"XDG_CONFIG_HOME", (folder_ / "config").string()},
            {"XDG_CACHE_HOME", (folder_ / "cache").string()},
            {"LC_ALL", "C"},
            {"QTWEBENGINE_CHROMIUM_FLAGS",
             "--disable-gpu --disable-background-networking --disable-component-update "
             "--disable-sync --no-first-run --disable-quic"},
            {"QT_QPA_PLATFORM", display.empty() ? "offscreen" : "xcb"},
            {"DISPLAY", display}};
        if (sandboxSwitch) env["QTWEBENGINE_DISABLE_SANDBOX"] = "1";
        return program_->Start({KPW_PROGRAM}, env, (folder_ / "stderr.txt").string());
    }
    ChildProcess& Program() { return *program_; }

    // Ends the program by a signal; true when it ended by itself, normally.
    ::testing::AssertionResult End(int signal = SIGTERM) {
        program_->Signal(signal);
        const std::optional<int> status = program_->WaitForExit();
        if (!status) return ::testing::AssertionFailure() << "the program did not end";
        if (!WIFEXITED(*status) || WEXITSTATUS(*status) != 0)
            return ::testing::AssertionFailure() << "status " << *status << "\n" << Stderr();
        return ::testing::AssertionSuccess();
    }

private:
    fs::path folder_;
    std::unique_ptr<ChildProcess> program_;
};

std::optional<std::string> XProperty(const std::string& display, const std::string& property) {
    return Capture({FindExecutable("xprop"), "-display", display, "-name", Title, property}, {});
}

// The window's outer bounds on the X server: its client area (found by the
// title, which has no leading blank there) and the frame the manager put
// around it.
std::optional<Outer> OuterOnScreen(const std::string& display) {
    const auto info =
        Capture({FindExecutable("xwininfo"), "-display", display, "-name", Title}, {});
    if (!info) return {};
    const auto number = [&](const char* label) {
        std::smatch match;
        std::regex_search(*info, match, std::regex(std::string(label) + ":\\s*(-?[0-9]+)"));
        return match.empty() ? 0 : std::stoi(match[1]);
    };
    Outer outer{number("Absolute upper-left X"), number("Absolute upper-left Y"), number("Width"),
                number("Height")};
    const auto extents = XProperty(display, "_NET_FRAME_EXTENTS");
    std::smatch match;
    if (extents && std::regex_search(*extents, match,
                                     std::regex("= ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)"))) {
        const int left = std::stoi(match[1]), right = std::stoi(match[2]),
                  top = std::stoi(match[3]), bottom = std::stoi(match[4]);
        outer = {outer.Left - left, outer.Top - top, outer.Width + left + right,
                 outer.Height + top + bottom};
    }
    return outer;
}

class UnderX : public ::testing::TestWithParam<bool> {
protected:
    void SetUp() override {
        if (FindExecutable("xprop").empty() || FindExecutable("xwininfo").empty())
            GTEST_SKIP() << "xprop and xwininfo (x11-utils) are needed to look at the window";
        const std::string why = x_.Start(GetParam());
        if (!why.empty()) GTEST_SKIP() << "no X server for this test: " << why;
    }
    XServer x_;
};

TEST_P(UnderX, StartAndCloseWithoutAChangeWriteBackTheSameBounds) {
    const Outer stored{100, 50, 702, 525};
    for (int cycle = 1; cycle <= 2; ++cycle) {
        ProgramRun run;
        run.WriteIni("WindowState=0\r\nLeft=100\r\nTop=50\r\nWidth=702\r\nHeight=525\r\n");
        ASSERT_TRUE(run.Start(x_.Display()));
        std::optional<Outer> seen;
        const bool placed = WaitUntil([&] {
            seen = OuterOnScreen(x_.Display());
            return seen == stored;
        });
        EXPECT_TRUE(placed) << "cycle " << cycle << ": the window's outer bounds are "
                            << (seen ? *seen : Outer{}) << ", stored " << stored;
        const auto name = XProperty(x_.Display(), "_NET_WM_NAME");
        ASSERT_TRUE(name);
        EXPECT_NE(name->find(std::string("= \"") + Title + "\""), std::string::npos) << *name;
        ASSERT_TRUE(run.End());
        EXPECT_EQ(run.StoredBounds(), stored) << "cycle " << cycle;
        EXPECT_EQ(run.Value("WindowState"), 0);
    }
}

TEST_P(UnderX, MaximisedStartMapsMaximisedAndWritesStateAndNormalBoundsBack) {
    ProgramRun run;
    run.WriteIni("WindowState=2\r\nLeft=100\r\nTop=50\r\nWidth=702\r\nHeight=525\r\n");
    ASSERT_TRUE(run.Start(x_.Display()));
    if (GetParam()) {
        std::optional<std::string> state;
        const bool maximised = WaitUntil([&] {
            state = XProperty(x_.Display(), "_NET_WM_STATE");
            return state && state->find("_NET_WM_STATE_MAXIMIZED_VERT") != std::string::npos &&
                   state->find("_NET_WM_STATE_MAXIMIZED_HORZ") != std::string::npos;
        });
        EXPECT_TRUE(maximised) << state.value_or("no window");
    }
    ASSERT_TRUE(run.End());
    EXPECT_EQ(run.Value("WindowState"), 2);
    EXPECT_EQ(run.StoredBounds(), (Outer{100, 50, 702, 525}));
}

// A size beyond the screens once asked the X server for gigabytes of shared
// memory and hung the start.
TEST_P(UnderX, HugeStoredSizeStartsAndEndsWithTheWindowOnTheScreens) {
    ProgramRun run;
    run.WriteIni("Left=0\r\nTop=0\r\nWidth=20000\r\nHeight=16000\r\n");
    ASSERT_TRUE(run.Start(x_.Display()));
    ASSERT_TRUE(run.End());
    const Outer written = run.StoredBounds();
    EXPECT_LE(written.Width, 1600);
    EXPECT_LE(written.Height, 1000);
    EXPECT_GE(written.Width, 574);
}

INSTANTIATE_TEST_SUITE_P(WindowManager, UnderX, ::testing::Values(false, true),
                         [](const auto& testInfo) { return testInfo.param ? "Openbox" : "None"; });

struct HugeSize {
    const char* Name;
    const char* Width;
    const char* Height;
};

class HugeSizeOffscreen : public ::testing::TestWithParam<HugeSize> {};

TEST_P(HugeSizeOffscreen, StartsAndEndsWithTheWindowWithinTheScreen) {
    ProgramRun run;
    run.WriteIni(std::string("Left=10\r\nTop=10\r\nWidth=") + GetParam().Width +
                 "\r\nHeight=" + GetParam().Height + "\r\n");
    ASSERT_TRUE(run.Start({}));
    ASSERT_TRUE(run.End());
    const Outer written = run.StoredBounds();
    EXPECT_GE(written.Width, 574);
    EXPECT_LE(written.Width, 4096);
    EXPECT_LE(written.Height, 4096);
}

INSTANTIATE_TEST_SUITE_P(Sizes, HugeSizeOffscreen,
                         ::testing::Values(HugeSize{"Largest", "0x7FFFFFFF", "$7FFFFFFF"},
                                           HugeSize{"Sixteen", "16000", "16000"},
                                           HugeSize{"WideOnly", "2147483647", "600"}),
                         [](const auto& testInfo) { return std::string(testInfo.param.Name); });

class SignalClose : public ::testing::TestWithParam<int> {};

// Nobody answers an error box at the end of a session: the error goes to
// stderr and the program ends.
TEST_P(SignalClose, UnwritableSettingsAreReportedOnStderrAndTheProgramEnds) {
    ProgramRun run;
    fs::create_directory(run.Ini());  // cannot be written, not even by root
    ASSERT_TRUE(run.Start({}));
    ASSERT_TRUE(run.End(GetParam()));
    const std::string errors = run.Stderr();
    EXPECT_NE(errors.find("kpw.settings: "), std::string::npos) << errors;
    EXPECT_NE(errors.find(run.Ini()), std::string::npos) << errors;
    EXPECT_TRUE(fs::is_directory(run.Ini()));
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalClose, ::testing::Values(SIGTERM, SIGHUP),
                         [](const auto& testInfo) {
                             return testInfo.param == SIGTERM ? "Term" : "Hangup";
                         });

TEST(SettingsFifo, APipeAsTheSettingsFileNeitherBlocksTheStartNorIsReplaced) {
    ProgramRun run;
    ASSERT_EQ(::mkfifo(run.Ini().c_str(), 0600), 0);
    ASSERT_TRUE(run.Start({}));
    ASSERT_TRUE(run.End());
    EXPECT_NE(run.Stderr().find("is not a regular file"), std::string::npos) << run.Stderr();
    struct stat status {};
    ASSERT_EQ(::stat(run.Ini().c_str(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

// Root without the engine's sandbox switch: before the engine starts (which
// would end the program with a line on stderr and no window) a box says why
// the program cannot start, and closing it ends the program with status 1.
TEST(RootWithoutSandboxSwitch, ABoxSaysWhyAndClosingItEndsWithStatusOne) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root is refused";
    if (FindExecutable("xdotool").empty() || FindExecutable("xprop").empty())
        GTEST_SKIP() << "xdotool and xprop (x11-utils) are needed to answer the box";
    XServer x;
    if (const std::string why = x.Start(true); !why.empty())
        GTEST_SKIP() << "no X server for this test: " << why;
    // The program inherits this process's environment, which may hold the switch.
    const char* inherited = std::getenv("QTWEBENGINE_DISABLE_SANDBOX");
    const std::optional<std::string> saved =
        inherited ? std::optional<std::string>(inherited) : std::nullopt;
    ::unsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    ProgramRun run;
    const bool launched = run.Launch(x.Display(), false);
    if (saved) ::setenv("QTWEBENGINE_DISABLE_SANDBOX", saved->c_str(), 1);
    ASSERT_TRUE(launched);

    ASSERT_TRUE(WaitUntil([&] { return XProperty(x.Display(), "WM_NAME").has_value(); }))
        << "no box came up:\n"
        << run.Stderr();
    EXPECT_TRUE(run.Program().Running());
    Capture({FindExecutable("xdotool"), "key", "Return"}, {{"DISPLAY", x.Display()}});
    const std::optional<int> status = run.Program().WaitForExit();
    ASSERT_TRUE(status) << "the program did not end";
    EXPECT_TRUE(WIFEXITED(*status) && WEXITSTATUS(*status) == 1) << "status " << *status;
    EXPECT_EQ(run.Stderr().find("--no-sandbox"), std::string::npos) << run.Stderr();
    // Nothing was started that writes the settings.
    EXPECT_FALSE(fs::exists(run.Ini()));
}

}  // namespace
}  // namespace kpw::testing
