#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "SiteOptions.h"
#include "SitePages.h"
#include "SiteTraffic.h"
#include "StreamedPictures.h"

namespace httplib {
struct Request;
struct Response;
}  // namespace httplib

namespace kpw {

class SiteHttpServer;

// The two listening hosts of the site on one port, their request log and the
// optional delay. Requests are answered by SitePages on worker threads.
class SiteServer {
public:
    // log: an open file for the request lines, or null.
    SiteServer(SiteOptions options, SitePages::JpegSource jpegs, std::FILE* log);
    ~SiteServer();
    SiteServer(const SiteServer&) = delete;
    SiteServer& operator=(const SiteServer&) = delete;

    // Binds both hosts on the same port (a free one when the option is 0) and
    // returns it. Throws std::runtime_error when that cannot be done.
    int Bind();
    // Starts accepting on both hosts; returns once both accept.
    void Start();
    // Stops accepting and waits for answers in progress. false when some are
    // still running at the deadline; the object must then not be destroyed.
    bool Stop(std::chrono::milliseconds deadline);

private:
    void Serve(SiteHost host, const httplib::Request& request, httplib::Response& response);
    void Log(const std::string& host, const httplib::Request& request,
             const httplib::Response& response);
    void Configure(SiteHttpServer& server, SiteHost host);
    // Sends a large or never-ending picture as it goes; false for other addresses.
    bool ServeStreamed(SiteHost host, const std::string& path, httplib::Response& response);

    SiteOptions options_;
    SitePages::JpegSource jpegs_;
    std::FILE* log_;
    std::mutex logMutex_;
    int port_ = 0;
    std::unique_ptr<SitePages> pages_;
    SiteTraffic traffic_;
    std::unique_ptr<SiteHttpServer> main_;
    std::unique_ptr<SiteHttpServer> static_;
    std::thread mainThread_;
    std::thread staticThread_;
    std::mutex doneMutex_;
    std::condition_variable doneChanged_;
    int finishedListeners_ = 0;
    PhotoStreams streams_;
    // Set once the site stops: answers that never end give up then.
    std::atomic<bool> stopping_{false};
};

}  // namespace kpw
