#pragma once

#include <atomic>
#include <string>
#include <thread>

namespace kpw {

// A server on loopback that takes each connection and closes it before any
// answer, as a failing proxy does.
class ClosingServer {
public:
    // Throws std::runtime_error when it cannot listen.
    ClosingServer();
    ~ClosingServer();
    ClosingServer(const ClosingServer&) = delete;
    ClosingServer& operator=(const ClosingServer&) = delete;

    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    int listener_ = -1;
    int port_ = 0;
    std::atomic<bool> stopping_{false};
    std::thread accepting_;
};

}  // namespace kpw
