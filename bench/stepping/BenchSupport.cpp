#include "BenchSupport.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace kpw::bench {

double Milliseconds(Clock::duration duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void Require(bool condition, const std::string& what) {
    if (!condition) throw std::runtime_error(what);
}

int OptionValue(const std::vector<std::string>& arguments, const std::string& name, int fallback) {
    const std::string prefix = name + "=";
    for (const std::string& argument : arguments)
        if (argument.rfind(prefix, 0) == 0)
            return std::max(0, std::atoi(argument.c_str() + prefix.size()));
    return fallback;
}

SiteLogClock::SiteLogClock(std::string path) : path_(std::move(path)) {
    thread_ = std::thread([this] { Follow(); });
}

SiteLogClock::~SiteLogClock() {
    stop_ = true;
    thread_.join();
}

void SiteLogClock::Follow() {
    int fd = -1;
    off_t offset = 0;
    std::string partial;
    char buffer[4096];
    while (!stop_) {
        if (fd < 0) fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        ssize_t got = fd < 0 ? 0 : pread(fd, buffer, sizeof buffer, offset);
        if (got > 0) {
            const Clock::time_point now = Clock::now();
            offset += got;
            partial.append(buffer, static_cast<size_t>(got));
            std::lock_guard lock(mutex_);
            for (size_t end; (end = partial.find('\n')) != std::string::npos;) {
                lines_.push_back({partial.substr(0, end), now});
                partial.erase(0, end + 1);
            }
            continue;
        }
        std::this_thread::sleep_for(std::chrono::microseconds(250));
    }
    if (fd >= 0) close(fd);
}

std::vector<SiteLogClock::Line> SiteLogClock::Lines() const {
    std::lock_guard lock(mutex_);
    return lines_;
}

std::optional<Clock::time_point> SiteLogClock::FirstSeen(const std::string& text,
                                                         Clock::time_point since) const {
    const std::vector<Line> seen = AllSeen(text, since);
    if (seen.empty()) return std::nullopt;
    return seen.front().Seen;
}

std::vector<SiteLogClock::Line> SiteLogClock::AllSeen(const std::string& text,
                                                      Clock::time_point since) const {
    std::vector<Line> seen;
    for (const Line& line : Lines())
        if (line.Seen >= since && line.Text.find(text) != std::string::npos) seen.push_back(line);
    return seen;
}

Child::Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos)
            variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    for (const auto& [name, value] : env) variables[name] = value;
    std::vector<std::string> envText;
    for (const auto& [name, value] : variables) envText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : envText) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> args = argv;
    std::vector<char*> argp;
    for (std::string& arg : args) argp.push_back(arg.data());
    argp.push_back(nullptr);

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) throw std::runtime_error("no pipe for a child process");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    started_ = Clock::now();
    const int spawned = posix_spawn(&pid_, argp[0], &actions, nullptr, argp.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    stdoutFd_ = out[0];
    if (spawned != 0) {
        pid_ = -1;
        close(stdoutFd_);
        throw std::runtime_error("cannot start " + argv.front());
    }
}

Child::~Child() {
    if (pid_ > 0 && !status_) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    if (stdoutFd_ >= 0) close(stdoutFd_);
}

void Child::Signal(int signal) const {
    if (pid_ > 0 && !status_) kill(pid_, signal);
}

void Child::ReadOutput(int timeoutMs) {
    if (stdoutFd_ < 0) return;
    pollfd pfd{stdoutFd_, POLLIN, 0};
    if (poll(&pfd, 1, timeoutMs) <= 0) return;
    char buffer[4096];
    const ssize_t got = read(stdoutFd_, buffer, sizeof buffer);
    if (got > 0) {
        output_.append(buffer, static_cast<size_t>(got));
    } else if (got == 0 || errno != EINTR) {
        close(stdoutFd_);
        stdoutFd_ = -1;
    }
}

std::optional<int> Child::Wait(std::chrono::milliseconds deadline) {
    const Clock::time_point end = Clock::now() + deadline;
    while (!status_ && Clock::now() < end) {
        ReadOutput(10);
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) == pid_) status_ = status;
        // Without output to read, do not spin.
        if (!status_ && stdoutFd_ < 0) usleep(10000);
    }
    // The engine's helper processes share the pipe and may outlive the
    // child by a moment; what the child wrote is there already.
    if (status_) {
        for (std::size_t before = output_.size() + 1; stdoutFd_ >= 0 && output_.size() != before;) {
            before = output_.size();
            ReadOutput(50);
        }
    }
    return status_;
}

std::vector<double> FloorLoadTimes(const std::string& output) {
    std::vector<double> times;
    std::istringstream lines(output);
    std::string word;
    double ms = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        if (fields >> word >> ms && word == "load") times.push_back(ms);
    }
    return times;
}

}  // namespace kpw::bench
