#include "platform/Platform.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <filesystem>

#include "platform/EngineSwitches.h"
#include "platform/LanguageIds.h"

namespace kpw::platform {

namespace {

std::string Env(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

int signalPipeWrite = -1;

void OnTerminationSignal(int) {
    const int savedErrno = errno;
    const char byte = 1;
    [[maybe_unused]] ssize_t n = write(signalPipeWrite, &byte, 1);
    errno = savedErrno;
}

}  // namespace

std::string UserLocaleName() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        std::string value = Env(name);
        if (!value.empty()) return value;
    }
    return "";
}

std::string LanguageIdTextFromLocale(const std::string& locale) {
    // ll[_CC][.codeset][@modifier]
    std::string language, country, modifier;
    size_t i = 0;
    while (i < locale.size() && std::isalpha(static_cast<unsigned char>(locale[i])))
        language += static_cast<char>(std::tolower(static_cast<unsigned char>(locale[i++])));
    if (i < locale.size() && locale[i] == '_') {
        ++i;
        while (i < locale.size() && std::isalpha(static_cast<unsigned char>(locale[i])))
            country += static_cast<char>(std::toupper(static_cast<unsigned char>(locale[i++])));
    }
    size_t at = locale.find('@');
    if (at != std::string::npos) {
        for (size_t k = at + 1; k < locale.size() && locale[k] != '.'; ++k)
            modifier += static_cast<char>(std::tolower(static_cast<unsigned char>(locale[k])));
    }
    if (language.empty() || language == "c" || language == "posix") return "";
    const LanguageIdEntry* fallback = nullptr;
    for (const LanguageIdEntry& entry : LanguageIdTable) {
        if (language != entry.Language) continue;
        if (modifier != entry.Modifier) continue;
        if (country == entry.Country) return entry.Id;
        if (!fallback) fallback = &entry;
    }
    // A language without a known country takes its first (main) entry.
    return fallback ? fallback->Id : "";
}

std::string UserDefaultLanguageIdText() {
    return LanguageIdTextFromLocale(UserLocaleName());
}

std::string AppDataFolder() {
    if (std::getenv("APPDATA") != nullptr) return Env("APPDATA");
    std::string xdg = Env("XDG_CONFIG_HOME");
    if (!xdg.empty()) return xdg;
    std::string home = Env("HOME");
    return home.empty() ? "" : home + "/.config";
}

std::string ExecutablePath() {
    std::error_code error;
    auto path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? "" : path.string();
}

int InstallTerminationSignalPipe() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) return -1;
    signalPipeWrite = fds[1];
    struct sigaction action {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal, &action, nullptr);
    return fds[0];
}

unsigned NewFileMode() {
    // umask can only be read by setting it; the program has one thread that
    // creates files, so setting it back at once loses nothing.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666U & ~static_cast<unsigned>(mask);
}

bool EngineSandboxOff() {
    return SandboxSwitchedOff(SandboxSwitchesOf({}));
}

bool EndProcess(long long pid) {
    if (pid <= 1 || pid == static_cast<long long>(getpid())) return false;
    return kill(static_cast<pid_t>(pid), SIGKILL) == 0;
}

}  // namespace kpw::platform
