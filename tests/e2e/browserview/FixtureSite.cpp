#include "FixtureSite.h"

#include <chrono>
#include <stdexcept>

namespace kpw::test {

FixtureSite::FixtureSite() {
    server_.Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::unique_lock lock(mutex_);
        ++hits_[request.path];
        lastHeaders_[request.path] = request.headers;
        const auto found = pages_.find(request.path);
        if (found == pages_.end()) {
            response.status = 404;
            return;
        }
        const Page page = found->second;
        released_.wait(lock, [&] { return !page.Held || releasedAll_; });
        response.status = page.Status;
        if (page.MaxAgeSeconds > 0) {
            response.set_header("Cache-Control", "max-age=" + std::to_string(page.MaxAgeSeconds));
        }
        for (const auto& [name, value] : page.Headers) response.set_header(name, value);
        if (!page.Body.empty()) {
            response.set_content(page.Body, page.ContentType);
        }
    });
    port_ = server_.bind_to_any_port("127.0.0.1");
    if (port_ <= 0) {
        throw std::runtime_error("fixture site: no free port");
    }
    thread_ = std::thread([this] { server_.listen_after_bind(); });
    // stop() ends the server only once it runs.
    while (!server_.is_running()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

FixtureSite::~FixtureSite() {
    Release();
    server_.stop();
    thread_.join();
}

void FixtureSite::Add(const std::string& path, Page page) {
    const std::lock_guard lock(mutex_);
    pages_[path] = std::move(page);
}

void FixtureSite::Release() {
    {
        const std::lock_guard lock(mutex_);
        releasedAll_ = true;
    }
    released_.notify_all();
}

int FixtureSite::Hits(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto hit = hits_.find(path);
    return hit == hits_.end() ? 0 : hit->second;
}

std::string FixtureSite::LastHeader(const std::string& path, const std::string& name) const {
    const std::lock_guard lock(mutex_);
    const auto headers = lastHeaders_.find(path);
    if (headers == lastHeaders_.end()) return {};
    const auto header = headers->second.find(name);
    return header == headers->second.end() ? std::string() : header->second;
}

std::string FixtureSite::Url(const std::string& path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

}  // namespace kpw::test
