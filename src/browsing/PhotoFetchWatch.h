#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "browsing/PhotoFiles.h"

namespace kpw {

// How long a photo fetch may wait and how much it may bring. Times in ms.
struct FetchLimits {
    std::uint64_t MaxBytes = MaxPhotoBytes;
    // The page's cache answers at once when it holds the photo. A longer
    // wait means it waits for another load of the same address to end
    // (which a photo that never finishes never does): the site is asked.
    std::int64_t CacheWaitMs = 3000;
    // The site's answer must begin this long after it was asked.
    std::int64_t AnswerTimeoutMs = 30000;
    // Bytes may stop coming this long while the photo is on view.
    std::int64_t StallTimeoutMs = 30000;
    // Once the user has gone on from the photo, nobody waits for it: a
    // fetch whose bytes have stopped this long ends.
    std::int64_t LeftStallMs = 3000;
};

// Where a fetch takes the photo from: the page's cache first, then the site.
enum class FetchRoute { Cache, Site };

// Why a fetch ended without the photo, beyond the site's or the disk's own
// failures.
enum class FetchStop {
    TooLarge,     // announced or arrived beyond FetchLimits::MaxBytes
    NoAnswer,     // the site did not begin its answer in time
    Stalled,      // the bytes stopped coming while the photo was on view
    LeftStalled,  // the bytes had stopped when the user went on
    NotAPicture,  // the bytes are no picture
    ViewGone,     // the view the fetch belonged to was closed
    Cancelled,    // its owner called it off
};

// What the one carrying out a fetch does after an event.
enum class FetchOrder {
    GoOn,     // nothing new; check again at NextCheckMs
    AskSite,  // drop what the cache gave and ask the site from the start
    Stop,     // end the fetch for StoppedFor(), removing what arrived
};

// The rules of one fetch, fed with what happens to it and the time of each
// event; it answers what to do next. Plain values only, so every rule runs
// on a test's clock.
class PhotoFetchWatch {
public:
    PhotoFetchWatch(FetchLimits limits, std::int64_t nowMs);

    // The cache cannot serve it (not held, another origin, the page went
    // away): the site is asked. A fetch already on the site goes on.
    FetchOrder CacheMissed(std::int64_t nowMs);
    // The answer has begun; totalBytes is its announced length, if any.
    FetchOrder Answered(std::int64_t nowMs, std::optional<std::uint64_t> totalBytes);
    // receivedBytes have arrived in all on the route in use.
    FetchOrder Received(std::int64_t nowMs, std::uint64_t receivedBytes);
    // The photo's first bytes are known: a picture or not.
    FetchOrder Judged(bool isPicture);
    // The user has gone on from the photo.
    FetchOrder Left(std::int64_t nowMs);
    // The view went away or the owner called the fetch off.
    FetchOrder End(FetchStop why);
    // Time has passed; due at NextCheckMs, harmless at any time.
    FetchOrder Check(std::int64_t nowMs);

    // When Check is due; nothing once stopped.
    std::optional<std::int64_t> NextCheckMs() const;
    FetchRoute Route() const { return route_; }
    std::optional<FetchStop> StoppedFor() const { return stopped_; }
    std::uint64_t ReceivedBytes() const { return received_; }
    std::optional<std::uint64_t> TotalBytes() const { return total_; }
    bool IsLeft() const { return left_; }
    const FetchLimits& Limits() const { return limits_; }

private:
    FetchOrder StopFor(FetchStop why);
    FetchOrder ToSite(std::int64_t nowMs);

    FetchLimits limits_;
    FetchRoute route_ = FetchRoute::Cache;
    bool answered_ = false;
    bool left_ = false;
    // The last sign of life: the start on the route, the answer, a byte.
    std::int64_t lastActivityMs_;
    std::uint64_t received_ = 0;
    std::optional<std::uint64_t> total_;
    std::optional<FetchStop> stopped_;
};

// The failure a stopped fetch is reported as, and its detail in the
// language given (a column of the text tables), for PhotoFailureMessage: the
// cap for TooLarge, the answer's content type, when known, for NotAPicture.
PhotoFailure FailureOfStop(FetchStop stop);
std::string DetailOfStop(FetchStop stop, int language, std::uint64_t maxBytes,
                         std::string_view contentType = {});

// "200 MB": a byte count in whole MB of 1048576 bytes, rounded up.
std::string MegabytesText(std::uint64_t bytes);

}  // namespace kpw
