#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SiteOptions.h"
#include "SitePages.h"

namespace httplib {
struct Response;
}  // namespace httplib

namespace kpw {

// Pictures too large to hold, that never end, or that only claim to be huge,
// as slow, heavy and hostile sites send them: the options --large,
// --large-mb, --large-unsized, --stall, --stall-after and --bomb.
struct PhotoStreams {
    // Photos whose original-size picture is LargeBytes long.
    std::vector<PhotoRange> Large;
    std::uint64_t LargeBytes = 0;
    // The large pictures go out chunked, without their length.
    bool LargeUnsized = false;
    // Photos whose pictures (every size) stop after StallAfterBytes.
    std::vector<PhotoRange> Stalled;
    std::uint64_t StallAfterBytes = 0;
    // Photos whose pictures (every size) are a small PNG declaring
    // BombSide x BombSide pixels.
    std::vector<PhotoRange> Bombs;
};

inline constexpr std::uint32_t BombSide = 30000;

PhotoStreams PhotoStreamsOf(const SiteOptions& options);

// A picture sent in pieces, never held whole: Head, then filler bytes up to
// Length; or, when it stalls, the first StallAfter bytes of Head announced as
// Head's whole length, then nothing more.
struct StreamedPicture {
    std::string ContentType = "image/jpeg";
    std::string Head;
    std::uint64_t Length = 0;
    bool Sized = true;
    std::optional<std::uint64_t> StallAfter;
};

// The streamed answer for an address, nothing when it is answered as usual
// (missing photos, pages, pictures of photos not listed).
std::optional<StreamedPicture> StreamedPictureFor(const PhotoStreams& streams,
                                                  const SitePages& pages,
                                                  const SitePages::JpegSource& jpegs, SiteHost host,
                                                  const std::string& path);

// Sets the response to send the picture as it goes. A stalled picture waits
// until the browser leaves or stopping is set.
void SendStreamed(httplib::Response& response, StreamedPicture picture,
                  const std::atomic<bool>& stopping);

}  // namespace kpw
