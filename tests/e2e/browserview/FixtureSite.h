#pragma once

#include <httplib.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace kpw::test {

// An HTTP server on a free loopback port serving the pages a test puts on it,
// also while it runs.
class FixtureSite {
public:
    struct Page {
        using HeaderList = std::vector<std::pair<std::string, std::string>>;
        // A constructor, so that the pages of the tests name only what they need.
        Page(std::string body = {}, int status = 200, int maxAgeSeconds = 0, bool held = false,
             std::string contentType = "text/html; charset=utf-8", HeaderList headers = {})
            : Body(std::move(body)),
              Status(status),
              MaxAgeSeconds(maxAgeSeconds),
              Held(held),
              ContentType(std::move(contentType)),
              Headers(std::move(headers)) {}
        std::string Body;
        int Status;
        int MaxAgeSeconds;  // sent as Cache-Control: max-age when not 0
        bool Held;          // the answer waits until Release()
        std::string ContentType;
        HeaderList Headers;  // sent as they are
    };

    FixtureSite();
    ~FixtureSite();

    void Add(const std::string& path, Page page);
    void Add(const std::string& path, const std::string& html) { Add(path, Page{html}); }
    void Release();  // lets every held answer go, now and from now on
    int Hits(const std::string& path) const;
    // The value of a header in the last request for the path; empty when none.
    std::string LastHeader(const std::string& path, const std::string& name) const;
    std::string Url(const std::string& path) const;

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    mutable std::mutex mutex_;
    std::condition_variable released_;
    bool releasedAll_ = false;
    std::map<std::string, Page> pages_;
    std::map<std::string, int> hits_;
    std::map<std::string, httplib::Headers> lastHeaders_;
};

}  // namespace kpw::test
