#pragma once

#include <chrono>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "SiteOptions.h"
#include "SitePages.h"

namespace kpw {

// What a busy site does before it answers: a token bucket of RateLimit
// requests a second over both hosts, and the photos that are answered busy
// the first time they are asked for. Safe to call from the worker threads.
class SiteTraffic {
public:
    using Clock = std::chrono::steady_clock;

    SiteTraffic(int rateLimit, std::vector<PhotoRange> busy, int busyStatus,
                BusyStyle busyStyle = BusyStyle::Site);

    // The busy answer for this request, or nothing when it is to be served.
    std::optional<SiteResponse> Refuse(SiteHost host, const std::string& path,
                                       Clock::time_point now = Clock::now());

private:
    int rateLimit_;
    std::vector<PhotoRange> busy_;
    int busyStatus_;
    BusyStyle busyStyle_;
    std::mutex mutex_;
    double tokens_;
    std::optional<Clock::time_point> lastRefill_;
    std::set<int> answeredBusy_;
};

// The photo index of a photo's address (picture, information or statistics
// page), nothing for other addresses.
std::optional<int> PhotoOfPath(SiteHost host, const std::string& path);

}  // namespace kpw
