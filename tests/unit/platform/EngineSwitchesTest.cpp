#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/EngineSwitches.h"

namespace kpw::platform {
namespace {

struct RootCase {
    const char* Name;
    unsigned UserId;
    SandboxSwitches Switches;
    bool Refused;
};

class EngineStartAsRoot : public ::testing::TestWithParam<RootCase> {};

// The test setup runs as root with the variable set: that must start.
TEST_P(EngineStartAsRoot, IsRefusedOnlyForRootWithoutAnySandboxSwitch) {
    const RootCase& c = GetParam();
    EXPECT_EQ(EngineRefusesToStart(c.UserId, c.Switches), c.Refused);
}

INSTANTIATE_TEST_SUITE_P(
    Switches, EngineStartAsRoot,
    ::testing::Values(
        RootCase{"RootWithoutSwitch", 0, {}, true},
        RootCase{"RootWithOtherFlags", 0, {.EngineFlags = "--disable-gpu --no-sandboxes"}, true},
        RootCase{"NormalUser", 1000, {}, false},
        RootCase{"RootWithVariable", 0, {.DisableVariableSet = true}, false},
        RootCase{"RootWithFlag", 0, {.EngineFlags = "--disable-gpu --no-sandbox"}, false},
        RootCase{"RootWithArgument", 0, {.NoSandboxArgument = true}, false}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(SandboxSwitches, ComeFromTheEnvironmentAndTheArgumentsAfterTheProgramName) {
    const char* variable = std::getenv("QTWEBENGINE_DISABLE_SANDBOX");
    const std::string saved = variable ? variable : "";
    unsetenv("QTWEBENGINE_DISABLE_SANDBOX");
    EXPECT_FALSE(SandboxSwitchesOf({"kelvaro-photo-wizard"}).DisableVariableSet);
    // The program's own name does not count, whatever it is.
    EXPECT_FALSE(SandboxSwitchesOf({"--no-sandbox"}).NoSandboxArgument);
    EXPECT_TRUE(SandboxSwitchesOf({"kpw", "-x", "--no-sandbox"}).NoSandboxArgument);
    setenv("QTWEBENGINE_DISABLE_SANDBOX", "0", 1);
    EXPECT_TRUE(SandboxSwitchesOf({}).DisableVariableSet);
    if (variable)
        setenv("QTWEBENGINE_DISABLE_SANDBOX", saved.c_str(), 1);
    else
        unsetenv("QTWEBENGINE_DISABLE_SANDBOX");
}

TEST(EngineFlagsWithLocale, AddsTheProgramsLanguageUnlessTheFlagsNameOne) {
    EXPECT_EQ(EngineFlagsWithLocale("", "de"), "--lang=de");
    EXPECT_EQ(EngineFlagsWithLocale("--disable-gpu", "en-US"), "--disable-gpu --lang=en-US");
    EXPECT_EQ(EngineFlagsWithLocale("--disable-gpu --lang=fr", "de"), "--disable-gpu --lang=fr");
    // A switch that only begins alike is another one.
    EXPECT_EQ(EngineFlagsWithLocale("--language-x", "de"), "--language-x --lang=de");
}

}  // namespace
}  // namespace kpw::platform
