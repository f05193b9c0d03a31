#pragma once

// The real program as a child process, and an X server with or without a
// window manager for it: what a desktop session does to the program that a
// test inside one Qt process cannot (signals, stderr, a frame, _NET_WM_STATE).
#include <sys/types.h>

#include <chrono>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace kpw::testing {

// Generous: the engine shares two cores with parallel builds.
inline constexpr std::chrono::seconds ProcessDeadline{60};

// Polls until the predicate holds or the deadline passes.
bool WaitUntil(const std::function<bool()>& predicate,
               std::chrono::milliseconds deadline = ProcessDeadline);

// The first of the names found in PATH, or empty.
std::string FindExecutable(const std::string& name);

// A child process; killed and reaped on destruction if still running.
class ChildProcess {
public:
    ChildProcess() = default;
    // env adds to or replaces variables of this process's environment;
    // stderrFile receives the child's standard error when not empty.
    bool Start(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env,
               const std::string& stderrFile = {}, int keepFd = -1);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }
    bool Running();
    void Signal(int signal) const;
    // The exit status once the process ended within the deadline.
    std::optional<int> WaitForExit(std::chrono::milliseconds deadline = ProcessDeadline);
    // Whether the process has a handler for the signal (from /proc).
    bool Catches(int signal) const;

private:
    pid_t pid_ = -1;
    std::optional<int> status_;
};

// Xvfb on a display number it picks itself, optionally with openbox.
class XServer {
public:
    // Empty when it runs; otherwise why not.
    std::string Start(bool withWindowManager);
    const std::string& Display() const { return display_; }

private:
    ChildProcess server_;
    ChildProcess windowManager_;
    std::string display_;
};

// Output of a command run to its end, or nothing when it failed.
std::optional<std::string> Capture(const std::vector<std::string>& argv,
                                   const std::map<std::string, std::string>& env);

}  // namespace kpw::testing
