#include "browsing/PhotoFetchWatch.h"

#include <algorithm>

#include "texts/Texts.h"

namespace kpw {

PhotoFetchWatch::PhotoFetchWatch(FetchLimits limits, std::int64_t nowMs)
    : limits_(limits), lastActivityMs_(nowMs) {}

FetchOrder PhotoFetchWatch::StopFor(FetchStop why) {
    if (!stopped_) stopped_ = why;
    return FetchOrder::Stop;
}

FetchOrder PhotoFetchWatch::ToSite(std::int64_t nowMs) {
    route_ = FetchRoute::Site;
    answered_ = false;
    received_ = 0;
    total_.reset();
    lastActivityMs_ = nowMs;
    return FetchOrder::AskSite;
}

FetchOrder PhotoFetchWatch::CacheMissed(std::int64_t nowMs) {
    if (stopped_) return FetchOrder::Stop;
    if (route_ == FetchRoute::Site) return FetchOrder::GoOn;
    return ToSite(nowMs);
}

FetchOrder PhotoFetchWatch::Answered(std::int64_t nowMs, std::optional<std::uint64_t> totalBytes) {
    if (stopped_) return FetchOrder::Stop;
    answered_ = true;
    lastActivityMs_ = nowMs;
    total_ = totalBytes;
    // Refused before a byte of it is fetched.
    if (total_ && *total_ > limits_.MaxBytes) return StopFor(FetchStop::TooLarge);
    return FetchOrder::GoOn;
}

FetchOrder PhotoFetchWatch::Received(std::int64_t nowMs, std::uint64_t receivedBytes) {
    if (stopped_) return FetchOrder::Stop;
    answered_ = true;
    if (receivedBytes > received_) {
        received_ = receivedBytes;
        lastActivityMs_ = nowMs;
    }
    // A site that sends no length, or a wrong one, is stopped at the cap.
    if (received_ > limits_.MaxBytes) return StopFor(FetchStop::TooLarge);
    return FetchOrder::GoOn;
}

FetchOrder PhotoFetchWatch::Judged(bool isPicture) {
    if (stopped_) return FetchOrder::Stop;
    return isPicture ? FetchOrder::GoOn : StopFor(FetchStop::NotAPicture);
}

FetchOrder PhotoFetchWatch::Left(std::int64_t nowMs) {
    left_ = true;
    return Check(nowMs);
}

FetchOrder PhotoFetchWatch::End(FetchStop why) {
    return StopFor(why);
}

std::optional<std::int64_t> PhotoFetchWatch::NextCheckMs() const {
    if (stopped_) return std::nullopt;
    std::int64_t allowed = limits_.StallTimeoutMs;
    // The cache that falls silent, before or during its answer, is passed by.
    if (route_ == FetchRoute::Cache)
        allowed = limits_.CacheWaitMs;
    else if (!answered_)
        allowed = limits_.AnswerTimeoutMs;
    if (left_) allowed = std::min(allowed, limits_.LeftStallMs);
    return lastActivityMs_ + allowed;
}

FetchOrder PhotoFetchWatch::Check(std::int64_t nowMs) {
    if (stopped_) return FetchOrder::Stop;
    if (nowMs < *NextCheckMs()) return FetchOrder::GoOn;
    if (route_ == FetchRoute::Cache) return ToSite(nowMs);
    if (!answered_) return StopFor(FetchStop::NoAnswer);
    return StopFor(left_ ? FetchStop::LeftStalled : FetchStop::Stalled);
}

PhotoFailure FailureOfStop(FetchStop stop) {
    switch (stop) {
        case FetchStop::TooLarge:
            return PhotoFailure::TooLarge;
        case FetchStop::NotAPicture:
            return PhotoFailure::NotAnImage;
        case FetchStop::NoAnswer:
        case FetchStop::Stalled:
        case FetchStop::LeftStalled:
        case FetchStop::ViewGone:
        case FetchStop::Cancelled:
            break;
    }
    return PhotoFailure::FetchFailed;
}

std::string DetailOfStop(FetchStop stop, int language, std::uint64_t maxBytes,
                         std::string_view contentType) {
    const texts::PhotoTexts& t = texts::Photo;
    const int column = texts::LanguageIndex(language);
    switch (stop) {
        case FetchStop::TooLarge:
            return MegabytesText(maxBytes);
        case FetchStop::NoAnswer:
            return t.NoAnswerInTime.In(column);
        case FetchStop::Stalled:
            return t.StoppedArriving.In(column);
        case FetchStop::LeftStalled:
            return t.StoppedWhenLeft.In(column);
        case FetchStop::NotAPicture:
            return contentType.empty() ? std::string(t.NoPictureBytes.In(column))
                                       : std::string(contentType);
        case FetchStop::ViewGone:
            return t.ViewGone.In(column);
        case FetchStop::Cancelled:
            break;
    }
    return t.FetchCancelled.In(column);
}

std::string MegabytesText(std::uint64_t bytes) {
    constexpr std::uint64_t megabyte = 1024 * 1024;
    return std::to_string(bytes / megabyte + (bytes % megabyte != 0 ? 1 : 0)) + " MB";
}

}  // namespace kpw
