#pragma once

#include <string>
#include <vector>

// The browser engine's switches that the program decides on before the
// engine starts: its sandbox and the language of its own pages.
namespace kpw::platform {

// Where the engine's sandbox switch can be given.
struct SandboxSwitches {
    // QTWEBENGINE_DISABLE_SANDBOX is set; the engine reads no value, so "0"
    // and an empty value switch the sandbox off too.
    bool DisableVariableSet = false;
    // QTWEBENGINE_CHROMIUM_FLAGS.
    std::string EngineFlags = {};
    // --no-sandbox among the program's arguments; the program hands it to
    // the engine as the variable.
    bool NoSandboxArgument = false;
};

// The switches of this process: its environment and its arguments (the
// program's name first, as main receives them).
SandboxSwitches SandboxSwitchesOf(const std::vector<std::string>& arguments);

// Whether the engine runs its pages without the sandbox.
bool SandboxSwitchedOff(const SandboxSwitches& switches);

// Whether the engine would end the program at its start: it cannot use its
// sandbox for root (effective user id 0) and runs without it only when told.
bool EngineRefusesToStart(unsigned effectiveUserId, const SandboxSwitches& switches);

// Whether the engine's flags hold the switch, as a word of its own
// ("--lang" also finds "--lang=de").
bool HasEngineSwitch(const std::string& flags, const std::string& name);

// The engine's flags with the locale of its own pages added; the flags as
// they are when they name a locale already (the user's choice stands).
std::string EngineFlagsWithLocale(const std::string& flags, const std::string& locale);

}  // namespace kpw::platform
