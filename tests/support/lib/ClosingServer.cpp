#include "ClosingServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace kpw {

ClosingServer::ClosingServer() {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        listen(listener_, 8) != 0 ||
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener_ >= 0) close(listener_);
        throw std::runtime_error("no loopback listener");
    }
    port_ = ntohs(address.sin_port);
    accepting_ = std::thread([this] {
        while (!stopping_) {
            const int connection = accept(listener_, nullptr, nullptr);
            if (connection >= 0) close(connection);
        }
    });
}

ClosingServer::~ClosingServer() {
    stopping_ = true;
    shutdown(listener_, SHUT_RDWR);
    close(listener_);
    accepting_.join();
}

}  // namespace kpw
