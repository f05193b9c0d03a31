#include "SiteServer.h"

#include <httplib.h>
#include <unistd.h>

#include <stdexcept>
#include <utility>

namespace kpw {

namespace {

constexpr int BindAttempts = 20;
constexpr size_t WorkerThreads = 16;
// Short, so that a stop does not wait long for idle browser connections.
constexpr time_t KeepAliveSeconds = 2;

}  // namespace

// httplib keeps a bound socket open until it has listened on it; a failed
// attempt at binding the second host must give the first one's port back.
class SiteHttpServer : public httplib::Server {
public:
    void Unbind() {
        const socket_t sock = svr_sock_.exchange(INVALID_SOCKET);
        if (sock != INVALID_SOCKET) {
            ::close(sock);
        }
    }
};

SiteServer::SiteServer(SiteOptions options, SitePages::JpegSource jpegs, std::FILE* log)
    : options_(std::move(options)),
      jpegs_(std::move(jpegs)),
      log_(log),
      traffic_(options_.RateLimit, options_.Busy, options_.BusyStatus, options_.BusyAnswer),
      streams_(PhotoStreamsOf(options_)) {}

SiteServer::~SiteServer() {
    if (mainThread_.joinable() || staticThread_.joinable()) {
        Stop(std::chrono::hours(1));
    }
    if (main_) {
        main_->Unbind();
    }
    if (static_) {
        static_->Unbind();
    }
}

void SiteServer::Configure(SiteHttpServer& server, SiteHost host) {
    const std::string hostName = host == SiteHost::Main ? options_.Host : options_.StaticHost;
    server.new_task_queue = [] { return new httplib::ThreadPool(WorkerThreads); };
    server.set_keep_alive_timeout(KeepAliveSeconds);
    // A page goes out in more than one write; with Nagle's algorithm the
    // later ones wait for the browser's delayed acknowledgement (some 40 ms),
    // which no real site's server makes a page load wait for.
    server.set_tcp_nodelay(true);
    server.set_pre_routing_handler(
        [this, host](const httplib::Request& request, httplib::Response& response) {
            if (request.method != "GET" && request.method != "HEAD") {
                return httplib::Server::HandlerResponse::Unhandled;
            }
            Serve(host, request, response);
            return httplib::Server::HandlerResponse::Handled;
        });
    // Only what the site does not serve gets here without a body.
    server.set_error_handler(httplib::Server::HandlerWithResponse(
        [](const httplib::Request& request, httplib::Response& response) {
            if (!response.body.empty()) {
                return httplib::Server::HandlerResponse::Unhandled;
            }
            std::string text = "Error 404: page not found";
            if (request.method != "GET" && request.method != "HEAD") {
                response.status = 405;
                text = "Error 405: method not allowed";
            }
            response.set_content("<!DOCTYPE html>\n<html><head><title>" + text +
                                     "</title></head><body><h1>" + text + "</h1></body></html>\n",
                                 "text/html; charset=utf-8");
            return httplib::Server::HandlerResponse::Handled;
        }));
    server.set_logger(
        [this, hostName](const httplib::Request& request, const httplib::Response& response) {
            Log(hostName, request, response);
        });
}

int SiteServer::Bind() {
    for (int attempt = 0; attempt < BindAttempts; ++attempt) {
        main_ = std::make_unique<SiteHttpServer>();
        static_ = std::make_unique<SiteHttpServer>();
        Configure(*main_, SiteHost::Main);
        Configure(*static_, SiteHost::Static);

        int port = options_.Port;
        if (port == 0) {
            port = main_->bind_to_any_port(options_.Host);
            if (port <= 0) {
                throw std::runtime_error("cannot listen on " + options_.Host);
            }
            if (IsRefusedByBrowsers(port)) {
                main_->Unbind();
                continue;
            }
        } else if (!main_->bind_to_port(options_.Host, port)) {
            throw std::runtime_error("cannot listen on " + options_.Host + ":" +
                                     std::to_string(port));
        }
        if (static_->bind_to_port(options_.StaticHost, port)) {
            port_ = port;
            const std::string staticBase =
                "http://" + options_.StaticHost + ":" + std::to_string(port);
            pages_ = std::make_unique<SitePages>(options_.Missing, staticBase, jpegs_,
                                                 options_.MissingAnswer);
            return port;
        }
        main_->Unbind();
        if (options_.Port != 0) {
            break;
        }
    }
    throw std::runtime_error("cannot listen on " + options_.StaticHost + " at the port of " +
                             options_.Host);
}

void SiteServer::Start() {
    const auto listen = [this](SiteHttpServer* server) {
        server->listen_after_bind();
        std::lock_guard lock(doneMutex_);
        ++finishedListeners_;
        doneChanged_.notify_all();
    };
    mainThread_ = std::thread(listen, main_.get());
    staticThread_ = std::thread(listen, static_.get());
    // A stop that came before the accept loops began would be lost.
    while (!main_->is_running() || !static_->is_running()) {
        std::unique_lock lock(doneMutex_);
        if (finishedListeners_ > 0) {
            throw std::runtime_error("the server stopped at once");
        }
        doneChanged_.wait_for(lock, std::chrono::milliseconds(1));
    }
}

bool SiteServer::Stop(std::chrono::milliseconds deadline) {
    stopping_ = true;
    main_->stop();
    static_->stop();
    std::unique_lock lock(doneMutex_);
    const bool done =
        doneChanged_.wait_for(lock, deadline, [this] { return finishedListeners_ == 2; });
    lock.unlock();
    if (done) {
        mainThread_.join();
        staticThread_.join();
    } else {
        mainThread_.detach();
        staticThread_.detach();
    }
    return done;
}

void SiteServer::Serve(SiteHost host, const httplib::Request& request,
                       httplib::Response& response) {
    if (options_.LatencyMs > 0 && request.path.rfind(options_.LatencyPath, 0) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(options_.LatencyMs));
    }
    const std::optional<SiteResponse> refused = traffic_.Refuse(host, request.path);
    if (!refused && ServeStreamed(host, request.path, response)) return;
    const SiteResponse answer = refused ? *refused : pages_->Respond(host, request.path);
    response.status = answer.Status;
    response.set_content(answer.Body, answer.ContentType);
    if (!answer.RetryAfter.empty()) response.set_header("Retry-After", answer.RetryAfter);
    if (!answer.Location.empty()) response.set_header("Location", answer.Location);
    // Successful answers may come from the browser cache, so that a page the
    // hidden view fetched ahead shows at once; errors are asked for anew.
    response.set_header("Cache-Control", answer.Status == 200
                                             ? "max-age=" + std::to_string(options_.MaxAge)
                                             : std::string("no-store"));
}

bool SiteServer::ServeStreamed(SiteHost host, const std::string& path,
                               httplib::Response& response) {
    std::optional<StreamedPicture> picture =
        StreamedPictureFor(streams_, *pages_, jpegs_, host, path);
    if (!picture) return false;
    response.status = 200;
    response.set_header("Cache-Control", "max-age=" + std::to_string(options_.MaxAge));
    SendStreamed(response, std::move(*picture), stopping_);
    return true;
}

void SiteServer::Log(const std::string& host, const httplib::Request& request,
                     const httplib::Response& response) {
    if (!log_) {
        return;
    }
    std::lock_guard lock(logMutex_);
    std::fprintf(log_, "%s %s %s %d\n", request.method.c_str(), host.c_str(), request.path.c_str(),
                 response.status);
    std::fflush(log_);
}

}  // namespace kpw
