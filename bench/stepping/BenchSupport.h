#pragma once

// What the engine benchmarks need besides the program: the time at which the
// demo site answered each request, and child processes (the floor program,
// the program itself) with their output.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace kpw::bench {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration duration);
double Median(std::vector<double> values);
// Throws std::runtime_error with what when the condition does not hold.
void Require(bool condition, const std::string& what);
// The value of "--name=N" among the arguments, at least 0; fallback without.
int OptionValue(const std::vector<std::string>& arguments, const std::string& name, int fallback);

// Follows the demo site's request log from a thread of its own and notes the
// moment each line appeared (the site writes a line as it answers). Polls
// every quarter millisecond, which is the resolution of every site time.
class SiteLogClock {
public:
    struct Line {
        std::string Text;
        Clock::time_point Seen;
    };

    explicit SiteLogClock(std::string path);
    ~SiteLogClock();
    SiteLogClock(const SiteLogClock&) = delete;
    SiteLogClock& operator=(const SiteLogClock&) = delete;

    std::vector<Line> Lines() const;
    // The first line at or after `since` that contains the text.
    std::optional<Clock::time_point> FirstSeen(const std::string& text,
                                               Clock::time_point since = {}) const;
    // Every line at or after `since` that contains the text, in order.
    std::vector<Line> AllSeen(const std::string& text, Clock::time_point since = {}) const;

private:
    void Follow();

    std::string path_;
    mutable std::mutex mutex_;
    std::vector<Line> lines_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A child process with this process's environment plus `env`; its standard
// output is collected, its standard error goes to /dev/null. Killed and
// reaped on destruction if still running.
class Child {
public:
    Child(const std::vector<std::string>& argv, const std::map<std::string, std::string>& env);
    ~Child();
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // When the process was spawned.
    Clock::time_point Started() const { return started_; }
    pid_t Pid() const { return pid_; }
    // Sends the signal (SIGTERM ends the program as a session end does).
    void Signal(int signal) const;
    // Waits for the end and returns the exit status, nothing when the deadline
    // passed; the output read so far is in Output().
    std::optional<int> Wait(std::chrono::milliseconds deadline);
    const std::string& Output() const { return output_; }

private:
    void ReadOutput(int timeoutMs);

    pid_t pid_ = -1;
    int stdoutFd_ = -1;
    Clock::time_point started_;
    std::string output_;
    std::optional<int> status_;
};

// The times of the floor program's loads ("load MS OK URL" lines), in order.
std::vector<double> FloorLoadTimes(const std::string& output);

}  // namespace kpw::bench
