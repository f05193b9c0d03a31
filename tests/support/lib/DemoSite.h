#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// Authors of the demo photos: photo N is by user ((N - 1) mod 1000) + 1, and the
// photos of user U are U, U + 1000, U + 2000, ...
#include "../../../tools/demo-site/DemoSiteModel.h"

namespace kpw {

// Runs the demo photo site (kelvaro-demo-site) for the life of the object, on a
// free port of 127.0.0.1 (main host) and 127.0.0.2 (original-size pictures),
// logging every request to a file of its own. Plain POSIX; no Qt needed.
class DemoSite {
public:
    struct Options {
        std::string missing{};      // photos that answer 404, e.g. "5,1001-1003"
        int latencyMs = 0;          // delay of every matching response
        std::string latencyPath{};  // only paths beginning with this are delayed; empty: all
        int maxAge = 300;           // Cache-Control max-age of successful responses
        int rateLimit = 0;          // requests a second before 429; 0: no limit
        std::string busy{};         // photos answered busy the first time, e.g. "7,20-25"
        int busyStatus = 503;       // the status of those answers
        // How missing photos answer: words (default), nginx, gone, placeholder, late,
        // forbidden, mixed.
        std::string missingStyle{};
        // Who answers the busy photos: site (default), apache, nginx, cdn.
        std::string busyStyle{};
        // Photos whose original-size picture is largeMb MB, sent as it is made;
        // largeUnsized sends it without Content-Length.
        std::string large{};
        int largeMb = 250;
        int largeKb = 0;  // when set, their size in KB instead
        bool largeUnsized = false;
        // Photos whose pictures stop after stallAfter bytes and never end.
        std::string stall{};
        int stallAfter = 4096;
        // Photos whose pictures are a small PNG declaring 30000 x 30000 pixels.
        std::string bomb{};
    };

    // Starts the site and returns once it listens. Throws std::runtime_error
    // when it does not start.
    DemoSite();
    explicit DemoSite(const Options& options);
    ~DemoSite();
    DemoSite(const DemoSite&) = delete;
    DemoSite& operator=(const DemoSite&) = delete;

    int Port() const { return port_; }
    std::string BaseURL() const;        // http://127.0.0.1:PORT
    std::string StaticBaseURL() const;  // http://127.0.0.2:PORT

    // The request log so far, one "METHOD HOST PATH STATUS" line per answered
    // request, e.g. "GET 127.0.0.1 /photo/5 404".
    std::vector<std::string> LogLines() const;
    // Waits until a log line contains the text; false when the deadline passes.
    bool WaitForLogLine(const std::string& substring, std::chrono::milliseconds deadline) const;
    // The log file itself, for a reader that follows it as it grows.
    const std::string& LogPath() const { return logPath_; }

    // Ends the site (SIGTERM) and returns its exit status, -1 when it had to be
    // killed. Later calls return the same; the destructor calls it.
    int Stop();

private:
    void RemoveLog();

    pid_t pid_ = -1;
    int port_ = 0;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    int exitStatus_ = -1;
    std::string tempDir_;
    std::string logPath_;
};

}  // namespace kpw
