#include "ProgramProcess.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

extern char** environ;

namespace kpw::testing {

namespace {

std::vector<std::string> MergedEnvironment(const std::map<std::string, std::string>& env) {
    std::map<std::string, std::string> merged;
    for (char** entry = environ; *entry; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos) merged[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : env) merged[name] = value;
    std::vector<std::string> lines;
    for (const auto& [name, value] : merged) lines.push_back(name + "=" + value);
    return lines;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds deadline) {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        if (predicate()) return true;
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

std::string FindExecutable(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::stringstream folders(path ? path : "/usr/bin:/bin");
    for (std::string folder; std::getline(folders, folder, ':');) {
        std::string candidate = folder + "/" + name;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return {};
}

bool ChildProcess::Start(const std::vector<std::string>& argv,
                         const std::map<std::string, std::string>& env,
                         const std::string& stderrFile, int keepFd) {
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = MergedEnvironment(env);
    std::vector<char*> argPointers = Pointers(arguments);
    std::vector<char*> envPointers = Pointers(environment);
    pid_ = ::fork();
    if (pid_ == 0) {
        ::setpgid(0, 0);
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, 0);
        ::dup2(devNull, 1);
        if (!stderrFile.empty()) {
            const int fd = ::open(stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
            ::dup2(fd, 2);
        } else {
            ::dup2(devNull, 2);
        }
        for (int fd = 3; fd < 1024; ++fd)
            if (fd != keepFd) ::close(fd);
        ::execve(argPointers[0], argPointers.data(), envPointers.data());
        ::_exit(127);
    }
    return pid_ > 0;
}

ChildProcess::~ChildProcess() {
    // Asked first, so that an X server removes its socket and lock file.
    if (pid_ <= 0 || !Running()) return;
    ::kill(pid_, SIGTERM);
    if (WaitForExit(std::chrono::seconds(10))) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
}

bool ChildProcess::Running() {
    if (pid_ <= 0 || status_) return false;
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
    return !status_;
}

void ChildProcess::Signal(int signal) const {
    if (pid_ > 0) ::kill(pid_, signal);
}

std::optional<int> ChildProcess::WaitForExit(std::chrono::milliseconds deadline) {
    WaitUntil([this] { return !Running(); }, deadline);
    return status_;
}

bool ChildProcess::Catches(int signal) const {
    std::ifstream status("/proc/" + std::to_string(pid_) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (!line.starts_with("SigCgt:")) continue;
        const unsigned long long mask = std::stoull(line.substr(7), nullptr, 16);
        return (mask >> (signal - 1)) & 1;
    }
    return false;
}

std::string XServer::Start(bool withWindowManager) {
    const std::string xvfb = FindExecutable("Xvfb");
    if (xvfb.empty()) return "Xvfb is not installed";
    int fds[2];
    if (::pipe(fds) != 0) return "no pipe";
    // Xvfb picks a free display itself and writes its number into the pipe.
    const bool started = server_.Start({xvfb, "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                        "1600x1000x24", "-nolisten", "tcp"},
                                       {}, {}, fds[1]);
    ::close(fds[1]);
    std::string number;
    char c;
    while (started && ::read(fds[0], &c, 1) == 1 && c != '\n') number += c;
    ::close(fds[0]);
    if (number.empty()) return "Xvfb did not start";
    display_ = ":" + number;
    if (!withWindowManager) return {};

    const std::string openbox = FindExecutable("openbox");
    if (openbox.empty()) return "openbox is not installed";
    if (!windowManager_.Start({openbox, "--sm-disable"}, {{"DISPLAY", display_}}))
        return "openbox did not start";
    const bool managing = WaitUntil([&] {
        const auto root = Capture({FindExecutable("xprop"), "-root", "_NET_SUPPORTING_WM_CHECK"},
                                  {{"DISPLAY", display_}});
        return windowManager_.Running() && root && root->find("window id") != std::string::npos;
    });
    return managing ? std::string() : "openbox does not run on Xvfb";
}

std::optional<std::string> Capture(const std::vector<std::string>& argv,
                                   const std::map<std::string, std::string>& env) {
    if (argv.empty() || argv[0].empty()) return std::nullopt;
    char name[] = "/tmp/kpw-capture-XXXXXX";
    const int fd = ::mkstemp(name);
    if (fd < 0) return std::nullopt;
    ::close(fd);
    std::vector<std::string> arguments = argv;
    std::vector<std::string> environment = MergedEnvironment(env);
    std::vector<char*> argPointers = Pointers(arguments);
    std::vector<char*> envPointers = Pointers(environment);
    const pid_t pid = ::fork();
    if (pid == 0) {
        const int out = ::open(name, O_WRONLY | O_TRUNC);
        ::dup2(out, 1);
        const int devNull = ::open("/dev/null", O_RDWR);
        ::dup2(devNull, 0);
        ::dup2(devNull, 2);
        ::execve(argPointers[0], argPointers.data(), envPointers.data());
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    std::ifstream in(name);
    std::stringstream text;
    text << in.rdbuf();
    ::unlink(name);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    return text.str();
}

}  // namespace kpw::testing
