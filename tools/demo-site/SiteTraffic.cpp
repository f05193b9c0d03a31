#include "SiteTraffic.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace kpw {

namespace {

SiteResponse BusyPage(int status, const std::string& text, std::optional<int> retryAfter) {
    SiteResponse answer;
    answer.Status = status;
    answer.ContentType = "text/html; charset=utf-8";
    answer.Body = "<!DOCTYPE html>\n<html><head><title>" + text + "</title></head><body><h1>" +
                  text + "</h1></body></html>\n";
    if (retryAfter) answer.RetryAfter = std::to_string(*retryAfter);
    return answer;
}

// The pages a failed gateway answers with, as the common servers word them.
SiteResponse GatewayPage(BusyStyle style) {
    SiteResponse answer;
    answer.ContentType = "text/html; charset=iso-8859-1";
    switch (style) {
        case BusyStyle::Apache:
            answer.Status = 502;
            answer.Body =
                "<!DOCTYPE HTML PUBLIC \"-//IETF//DTD HTML 2.0//EN\">\n<html><head>\n"
                "<title>502 Proxy Error</title>\n</head><body>\n<h1>Proxy Error</h1>\n"
                "<p>The proxy server received an invalid\r\nresponse from an upstream server.<br />"
                "\r\nThe proxy server could not handle the request<p>Reason: <strong>Error reading "
                "from remote server</strong></p></p>\n</body></html>\n";
            break;
        case BusyStyle::Nginx:
            answer.Status = 502;
            answer.Body =
                "<html>\r\n<head><title>502 Bad Gateway</title></head>\r\n<body>\r\n"
                "<center><h1>502 Bad Gateway</h1></center>\r\n<hr><center>nginx</center>"
                "\r\n</body>\r\n</html>\r\n";
            break;
        case BusyStyle::Cdn:
        case BusyStyle::Site:
            answer.Status = 522;
            answer.Body =
                "<!DOCTYPE html>\n<html><head><title>Connection timed out | Error code 522"
                "</title></head><body><h1>Connection timed out</h1><span>Error code 522"
                "</span><p>The initial connection between the edge and the origin web "
                "server timed out.</p></body></html>\n";
            break;
    }
    return answer;
}

}  // namespace

std::optional<int> PhotoOfPath(SiteHost host, const std::string& path) {
    std::optional<std::string> digits;
    if (host == SiteHost::Static) {
        digits = Between(path, "/photos/original/", ".jpg");
    } else {
        for (const char* size : {"thumbnail", "small", "medium"}) {
            if (!digits) digits = Between(path, std::string("/photos/") + size + "/", ".jpg");
        }
        if (!digits) digits = Between(path, "/photo/", "/stats");
        if (!digits) digits = Between(path, "/photo/", "");
    }
    if (!digits) return std::nullopt;
    return ParseSiteIndex(*digits);
}

SiteTraffic::SiteTraffic(int rateLimit, std::vector<PhotoRange> busy, int busyStatus,
                         BusyStyle busyStyle)
    : rateLimit_(rateLimit),
      busy_(std::move(busy)),
      busyStatus_(busyStatus),
      busyStyle_(busyStyle),
      tokens_(rateLimit) {}

std::optional<SiteResponse> SiteTraffic::Refuse(SiteHost host, const std::string& path,
                                                Clock::time_point now) {
    std::lock_guard lock(mutex_);
    if (rateLimit_ > 0) {
        if (lastRefill_) {
            const std::chrono::duration<double> passed = now - *lastRefill_;
            tokens_ = std::min<double>(rateLimit_, tokens_ + passed.count() * rateLimit_);
        }
        lastRefill_ = now;
        if (tokens_ < 1.0) {
            // Whole seconds until the next token, as the header has them.
            const int wait = std::max(1, static_cast<int>(std::ceil((1.0 - tokens_) / rateLimit_)));
            return BusyPage(429, "Error 429: too many requests", wait);
        }
        tokens_ -= 1.0;
    }
    const std::optional<int> photo = PhotoOfPath(host, path);
    if (photo && IsInRanges(busy_, *photo) && answeredBusy_.insert(*photo).second) {
        if (busyStyle_ != BusyStyle::Site) return GatewayPage(busyStyle_);
        return BusyPage(busyStatus_, "Error " + std::to_string(busyStatus_) + ": the site is busy",
                        std::nullopt);
    }
    return std::nullopt;
}

}  // namespace kpw
