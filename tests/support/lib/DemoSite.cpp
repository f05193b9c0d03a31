#include "DemoSite.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace kpw {

namespace {

constexpr auto StartDeadline = std::chrono::seconds(30);
constexpr auto StopDeadline = std::chrono::seconds(10);
constexpr auto PollInterval = std::chrono::milliseconds(10);

void CloseFd(int& fd) {
    if (fd >= 0) {
        close(fd);
        fd = -1;
    }
}

// Reads the child's first output line, waiting at most until the deadline.
std::string ReadFirstLine(int fd, std::chrono::steady_clock::time_point deadline) {
    std::string line;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            throw std::runtime_error("the demo site did not report its port in time");
        }
        pollfd pfd{fd, POLLIN, 0};
        if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) {
            continue;
        }
        char c = 0;
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            throw std::runtime_error("the demo site ended before it listened");
        }
        if (c == '\n') {
            return line;
        }
        line += c;
    }
}

void AddPhotoStreamArgs(const DemoSite::Options& options, std::vector<std::string>& args) {
    if (!options.large.empty()) {
        args.insert(args.end(),
                    {"--large", options.large, "--large-mb", std::to_string(options.largeMb)});
        if (options.largeKb > 0)
            args.insert(args.end(), {"--large-kb", std::to_string(options.largeKb)});
        if (options.largeUnsized) args.emplace_back("--large-unsized");
    }
    if (!options.stall.empty()) {
        args.insert(args.end(), {"--stall", options.stall, "--stall-after",
                                 std::to_string(options.stallAfter)});
    }
    if (!options.bomb.empty()) args.insert(args.end(), {"--bomb", options.bomb});
}

}  // namespace

DemoSite::DemoSite() : DemoSite(Options{}) {}

DemoSite::DemoSite(const Options& options) {
    char dirTemplate[] = "/tmp/kpw-demo-site-XXXXXX";
    if (!mkdtemp(dirTemplate)) {
        throw std::runtime_error("cannot make a folder for the demo site log");
    }
    tempDir_ = dirTemplate;
    logPath_ = tempDir_ + "/requests.log";

    std::vector<std::string> args = {KPW_DEMO_SITE_EXE,
                                     "--port",
                                     "0",
                                     "--log",
                                     logPath_,
                                     "--max-age",
                                     std::to_string(options.maxAge),
                                     "--watch-stdin"};
    if (!options.missing.empty()) {
        args.insert(args.end(), {"--missing", options.missing});
    }
    if (!options.busyStyle.empty()) args.insert(args.end(), {"--busy-style", options.busyStyle});
    if (!options.missingStyle.empty()) {
        args.insert(args.end(), {"--missing-style", options.missingStyle});
    }
    if (options.latencyMs > 0) {
        args.insert(args.end(), {"--latency-ms", std::to_string(options.latencyMs)});
    }
    if (!options.latencyPath.empty()) {
        args.insert(args.end(), {"--latency-path", options.latencyPath});
    }
    if (options.rateLimit > 0) {
        args.insert(args.end(), {"--rate-limit", std::to_string(options.rateLimit)});
    }
    if (!options.busy.empty()) {
        args.insert(args.end(),
                    {"--busy", options.busy, "--busy-status", std::to_string(options.busyStatus)});
    }
    AddPhotoStreamArgs(options, args);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);

    // Close-on-exec, so that no other child keeps the site's stdin open: the
    // site ends when its stdin closes, also when this process dies unexpectedly.
    int toChild[2];
    int fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) {
        RemoveLog();
        throw std::runtime_error("cannot make a pipe for the demo site");
    }
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        RemoveLog();
        throw std::runtime_error("cannot make a pipe for the demo site");
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toChild[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromChild[1], STDOUT_FILENO);
    const int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(toChild[0]);
    close(fromChild[1]);
    stdinFd_ = toChild[1];
    stdoutFd_ = fromChild[0];
    if (spawned != 0) {
        pid_ = -1;
        Stop();
        RemoveLog();
        throw std::runtime_error(std::string("cannot start ") + KPW_DEMO_SITE_EXE);
    }

    try {
        const std::string line =
            ReadFirstLine(stdoutFd_, std::chrono::steady_clock::now() + StartDeadline);
        const std::string prefix = "listening on ";
        if (line.rfind(prefix, 0) != 0) {
            throw std::runtime_error("unexpected first line from the demo site: " + line);
        }
        port_ = std::stoi(line.substr(prefix.size()));
    } catch (...) {
        Stop();
        RemoveLog();
        throw;
    }
}

DemoSite::~DemoSite() {
    Stop();
    RemoveLog();
}

void DemoSite::RemoveLog() {
    unlink(logPath_.c_str());
    rmdir(tempDir_.c_str());
}

int DemoSite::Stop() {
    if (pid_ > 0) {
        CloseFd(stdinFd_);
        kill(pid_, SIGTERM);
        const auto deadline = std::chrono::steady_clock::now() + StopDeadline;
        int status = 0;
        pid_t reaped = 0;
        while ((reaped = waitpid(pid_, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(PollInterval);
        }
        if (reaped == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
            exitStatus_ = -1;
        } else {
            exitStatus_ = reaped == pid_ && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        }
        pid_ = -1;
    }
    CloseFd(stdinFd_);
    CloseFd(stdoutFd_);
    return exitStatus_;
}

std::string DemoSite::BaseURL() const {
    return "http://127.0.0.1:" + std::to_string(port_);
}

std::string DemoSite::StaticBaseURL() const {
    return "http://127.0.0.2:" + std::to_string(port_);
}

std::vector<std::string> DemoSite::LogLines() const {
    std::ifstream file(logPath_, std::ios::binary);
    const std::string text((std::istreambuf_iterator<char>(file)),
                           std::istreambuf_iterator<char>());
    // A line still being written has no end yet and is left for the next read.
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find('\n', start)) != std::string::npos;
         start = end + 1) {
        lines.push_back(text.substr(start, end - start));
    }
    return lines;
}

bool DemoSite::WaitForLogLine(const std::string& substring,
                              std::chrono::milliseconds deadline) const {
    const auto end = std::chrono::steady_clock::now() + deadline;
    for (;;) {
        for (const std::string& line : LogLines()) {
            if (line.find(substring) != std::string::npos) {
                return true;
            }
        }
        if (std::chrono::steady_clock::now() >= end) {
            return false;
        }
        std::this_thread::sleep_for(PollInterval);
    }
}

}  // namespace kpw
