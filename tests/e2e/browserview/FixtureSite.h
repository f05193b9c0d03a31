#pragma once

#include <httplib.h>

#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace kpw::test {

// An HTTP server on a free loopback port serving the pages a test puts on it,
// also while it runs.
class FixtureSite {
public:
    struct Page {
        std::string Body;
        int Status = 200;
        int MaxAgeSeconds = 0;  // sent as Cache-Control: max-age when not 0
        bool Held = false;      // the answer waits until Release()
    };

    FixtureSite();
    ~FixtureSite();

    void Add(const std::string& path, Page page);
    void Add(const std::string& path, const std::string& html) { Add(path, Page{html}); }
    void Release();  // lets every held answer go, now and from now on
    int Hits(const std::string& path) const;
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
};

}  // namespace kpw::test
