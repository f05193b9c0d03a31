#pragma once

#include <string>

// What the program asks of the operating system. Linux implementation.
namespace kpw::platform {

// The user-default language as the four hex digits of a Windows language id
// ("0409"), mapped from a POSIX locale name such as "de_DE.UTF-8" or
// "sr_RS@latin". Empty for C, POSIX, empty or unknown locales.
std::string LanguageIdTextFromLocale(const std::string& locale);

// The locale in force for messages: LC_ALL, else LC_MESSAGES, else LANG.
std::string UserLocaleName();

// LanguageIdTextFromLocale(UserLocaleName()).
std::string UserDefaultLanguageIdText();

// The folder that plays the role of APPDATA: the APPDATA variable when it is
// set at all (a blank value is handed on, so the caller falls back to the
// file beside the executable); otherwise XDG_CONFIG_HOME, else $HOME/.config.
std::string AppDataFolder();

// Full path of the running executable.
std::string ExecutablePath();

// SIGTERM, SIGINT and SIGHUP write one byte into a pipe instead of ending the
// process; the returned read end lets the event loop close the main window
// in an orderly way. Returns -1 when the pipe cannot be set up.
int InstallTerminationSignalPipe();

// Whether the browser engine runs its renderers without its sandbox: the
// engine's switch for it is set in the environment (as for root, which
// cannot use the sandbox). The program's --no-sandbox argument reaches the
// engine as that variable, set before the engine starts.
bool EngineSandboxOff();

// The permission bits any program's new file gets here: 0666 less the
// process's umask.
unsigned NewFileMode();

// Ends a process of the program's own at once (a hung renderer of the
// browser engine). Never the program itself; false when it cannot.
bool EndProcess(long long pid);

}  // namespace kpw::platform
