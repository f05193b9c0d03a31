#pragma once

#include <stdexcept>
#include <string>
#include <vector>

namespace kpw {

// An inclusive run of photo indexes.
struct PhotoRange {
    int First = 0;
    int Last = 0;
};

// How the site answers for a photo that does not exist, as real sites do.
enum class MissingStyle {
    Words,        // 404 with a page reading "Error 404: photo not found"
    Nginx,        // 404 with a common web server's stock page, no error word
    Gone,         // 410 "The requested resource is no longer available"
    Placeholder,  // a redirect to one placeholder picture, answered 200
    Late,         // 200, the error text written by a script after the load
    Forbidden,    // 403 with a text page reading "Error 403: Forbidden"
    Mixed,        // by index: placeholder, forbidden and words in turn
};

// How the photos of --busy are answered the first time: the site's own
// page, or what a proxy or CDN in front of it says when the way fails.
enum class BusyStyle {
    Site,    // BusyStatus with "Error <status>: the site is busy"
    Apache,  // 502 with a reverse proxy's stock "Proxy Error" page
    Nginx,   // 502 "Bad Gateway", no error word
    Cdn,     // 522 with a CDN's "Error code 522" page
};

struct SiteOptions {
    int Port = 0;  // 0: the system picks a free port
    std::string Host = "127.0.0.1";
    std::string StaticHost = "127.0.0.2";
    std::vector<PhotoRange> Missing;
    MissingStyle MissingAnswer = MissingStyle::Words;
    int LatencyMs = 0;
    std::string LatencyPath;  // delay only paths beginning with this; empty: all
    std::string LogFile;
    int MaxAge = 300;
    // Requests per second over both hosts before the site answers 429; 0: no limit.
    int RateLimit = 0;
    // Photos answered BusyStatus the first time any of their addresses is asked for.
    std::vector<PhotoRange> Busy;
    int BusyStatus = 503;
    BusyStyle BusyAnswer = BusyStyle::Site;
    bool WatchStdin = false;
    bool Help = false;
    // Photos whose original-size picture is LargeMegabytes MB (of 1048576
    // bytes), made as it is sent; LargeUnsized sends it without its length.
    std::vector<PhotoRange> Large;
    int LargeMegabytes = 250;
    // When set, their size in KB (of 1024 bytes) instead.
    int LargeKilobytes = 0;
    bool LargeUnsized = false;
    // Photos whose pictures stop after StallAfterBytes bytes and never end.
    std::vector<PhotoRange> Stalled;
    int StallAfterBytes = 4096;
    // Photos whose pictures are a few KB of PNG declaring 30000 x 30000 pixels.
    std::vector<PhotoRange> Bombs;
};

class SiteOptionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Reads the command line without the program name. Throws SiteOptionError
// with a message fit for the user.
SiteOptions ParseSiteOptions(const std::vector<std::string>& args);

// "5,1001-1003" -> {5..5, 1001..1003}; an empty text gives no ranges. The
// option's name goes into the messages.
std::vector<PhotoRange> ParseMissingList(const std::string& text,
                                         const std::string& option = "--missing");

// "words", "nginx", "gone", "placeholder", "late", "forbidden" or "mixed".
MissingStyle ParseMissingStyle(const std::string& text);
// "site", "apache", "nginx" or "cdn".
BusyStyle ParseBusyStyle(const std::string& text);

bool IsInRanges(const std::vector<PhotoRange>& ranges, int photo);

// Ports that browsers refuse to connect to, whatever the page asks.
bool IsRefusedByBrowsers(int port);

std::string SiteUsage();

}  // namespace kpw
