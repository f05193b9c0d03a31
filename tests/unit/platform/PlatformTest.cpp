#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace kpw::platform {
namespace {

// Sets or unsets environment variables for one test and restores them after.
class ScopedEnv {
public:
    void Set(const char* name, const char* value) {
        Remember(name);
        if (value)
            setenv(name, value, 1);
        else
            unsetenv(name);
    }
    ~ScopedEnv() {
        for (auto& [name, value] : saved_) {
            if (value)
                setenv(name.c_str(), value->c_str(), 1);
            else
                unsetenv(name.c_str());
        }
    }

private:
    void Remember(const char* name) {
        for (auto& entry : saved_)
            if (entry.first == name) return;
        const char* old = std::getenv(name);
        saved_.emplace_back(name, old ? std::optional<std::string>(old) : std::nullopt);
    }
    std::vector<std::pair<std::string, std::optional<std::string>>> saved_;
};

TEST(AppDataFolder, PrefersAppDataThenXdgThenHome) {
    ScopedEnv env;
    env.Set("APPDATA", "/data/app");
    env.Set("XDG_CONFIG_HOME", "/xdg");
    env.Set("HOME", "/home/u");
    EXPECT_EQ(AppDataFolder(), "/data/app");
    env.Set("APPDATA", "  ");  // blank is handed on: the caller then uses the local file
    EXPECT_EQ(AppDataFolder(), "  ");
    env.Set("APPDATA", nullptr);
    EXPECT_EQ(AppDataFolder(), "/xdg");
    env.Set("XDG_CONFIG_HOME", "");
    EXPECT_EQ(AppDataFolder(), "/home/u/.config");
}

TEST(UserLocaleName, FollowsPosixPrecedence) {
    ScopedEnv env;
    env.Set("LC_ALL", "ru_RU.UTF-8");
    env.Set("LC_MESSAGES", "de_DE");
    env.Set("LANG", "en_US");
    EXPECT_EQ(UserDefaultLanguageIdText(), "0419");
    env.Set("LC_ALL", "");
    EXPECT_EQ(UserDefaultLanguageIdText(), "0407");
    env.Set("LC_MESSAGES", nullptr);
    EXPECT_EQ(UserDefaultLanguageIdText(), "0409");
    env.Set("LANG", nullptr);
    EXPECT_EQ(UserDefaultLanguageIdText(), "");
}

TEST(TerminationSignalPipe, SignalBecomesAByteInsteadOfDeath) {
    const int fd = InstallTerminationSignalPipe();
    ASSERT_GE(fd, 0);
    raise(SIGTERM);
    char byte = 0;
    EXPECT_EQ(read(fd, &byte, 1), 1);
}

TEST(EngineSandbox, IsOffWhenTheEnvironmentSwitchesItOff) {
    ScopedEnv env;
    env.Set("QTWEBENGINE_DISABLE_SANDBOX", nullptr);
    env.Set("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    EXPECT_FALSE(platform::EngineSandboxOff());
    // The engine asks only whether the variable is set.
    env.Set("QTWEBENGINE_DISABLE_SANDBOX", "0");
    EXPECT_TRUE(platform::EngineSandboxOff());
    env.Set("QTWEBENGINE_DISABLE_SANDBOX", "");
    EXPECT_TRUE(platform::EngineSandboxOff());
    env.Set("QTWEBENGINE_DISABLE_SANDBOX", "1");
    EXPECT_TRUE(platform::EngineSandboxOff());
    env.Set("QTWEBENGINE_DISABLE_SANDBOX", nullptr);
    env.Set("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --no-sandbox");
    EXPECT_TRUE(platform::EngineSandboxOff());
}

TEST(ExecutablePath, NamesThisTestBinary) {
    EXPECT_NE(ExecutablePath().find("platform_tests"), std::string::npos);
}

}  // namespace
}  // namespace kpw::platform
