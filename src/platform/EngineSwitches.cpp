#include "platform/EngineSwitches.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

namespace kpw::platform {

SandboxSwitches SandboxSwitchesOf(const std::vector<std::string>& arguments) {
    SandboxSwitches switches;
    switches.DisableVariableSet = std::getenv("QTWEBENGINE_DISABLE_SANDBOX") != nullptr;
    if (const char* flags = std::getenv("QTWEBENGINE_CHROMIUM_FLAGS")) switches.EngineFlags = flags;
    switches.NoSandboxArgument =
        arguments.size() > 1 &&
        std::find(arguments.begin() + 1, arguments.end(), "--no-sandbox") != arguments.end();
    return switches;
}

bool HasEngineSwitch(const std::string& flags, const std::string& name) {
    std::istringstream words(flags);
    std::string word;
    while (words >> word) {
        if (word == name || word.starts_with(name + "=")) return true;
    }
    return false;
}

bool SandboxSwitchedOff(const SandboxSwitches& switches) {
    return switches.DisableVariableSet || switches.NoSandboxArgument ||
           HasEngineSwitch(switches.EngineFlags, "--no-sandbox");
}

bool EngineRefusesToStart(unsigned effectiveUserId, const SandboxSwitches& switches) {
    return effectiveUserId == 0 && !SandboxSwitchedOff(switches);
}

std::string EngineFlagsWithLocale(const std::string& flags, const std::string& locale) {
    if (locale.empty() || HasEngineSwitch(flags, "--lang")) return flags;
    const std::string own = "--lang=" + locale;
    return flags.empty() ? own : flags + " " + own;
}

}  // namespace kpw::platform
