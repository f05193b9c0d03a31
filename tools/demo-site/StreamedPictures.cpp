#include "StreamedPictures.h"

#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>
#include <utility>

#include "PictureBomb.h"

namespace kpw {

namespace {

constexpr std::uint64_t Megabyte = 1024 * 1024;
constexpr std::size_t BlockBytes = 64 * 1024;
// How often a stalled answer looks whether the browser has gone.
constexpr auto StallPoll = std::chrono::milliseconds(50);

// The photo and size of a picture address, nothing for other addresses.
std::optional<std::pair<PhotoSize, int>> PictureOfPath(SiteHost host, const std::string& path) {
    std::optional<std::string> digits;
    PhotoSize size = PhotoSize::Original;
    if (host == SiteHost::Static) {
        digits = Between(path, "/photos/original/", ".jpg");
    } else {
        for (const PhotoSize each : {PhotoSize::Thumbnail, PhotoSize::Small, PhotoSize::Medium}) {
            if (digits) break;
            digits = Between(path, std::string("/photos/") + PhotoSizeName(each) + "/", ".jpg");
            size = each;
        }
    }
    if (!digits) return std::nullopt;
    const std::optional<int> photo = ParseSiteIndex(*digits);
    if (!photo) return std::nullopt;
    return std::pair{size, *photo};
}

// The bytes at offset of the picture up to end, at most BlockBytes: Head,
// then zeros (a JPEG's reader stops at its end marker and ignores them).
bool WriteBlock(const StreamedPicture& picture, std::uint64_t offset, std::uint64_t end,
                httplib::DataSink& sink) {
    static const std::string filler(BlockBytes, '\0');
    const std::uint64_t count = std::min<std::uint64_t>(BlockBytes, end - offset);
    if (offset < picture.Head.size()) {
        const std::uint64_t inHead = std::min<std::uint64_t>(count, picture.Head.size() - offset);
        return sink.write(picture.Head.data() + offset, static_cast<std::size_t>(inHead));
    }
    return sink.write(filler.data(), static_cast<std::size_t>(count));
}

}  // namespace

PhotoStreams PhotoStreamsOf(const SiteOptions& options) {
    return {options.Large,
            options.LargeKilobytes > 0
                ? static_cast<std::uint64_t>(options.LargeKilobytes) * 1024
                : static_cast<std::uint64_t>(options.LargeMegabytes) * Megabyte,
            options.LargeUnsized,
            options.Stalled,
            static_cast<std::uint64_t>(options.StallAfterBytes),
            options.Bombs};
}

std::optional<StreamedPicture> StreamedPictureFor(const PhotoStreams& streams,
                                                  const SitePages& pages,
                                                  const SitePages::JpegSource& jpegs, SiteHost host,
                                                  const std::string& path) {
    if (streams.Large.empty() && streams.Stalled.empty() && streams.Bombs.empty())
        return std::nullopt;
    const auto picture = PictureOfPath(host, path);
    if (!picture || pages.IsMissing(picture->second)) return std::nullopt;
    const auto [size, photo] = *picture;
    if (IsInRanges(streams.Bombs, photo)) {
        static const std::string bomb = DeclaredHugePng(BombSide, BombSide);
        return StreamedPicture{"image/png", bomb, bomb.size(), true, std::nullopt};
    }
    const bool stalls = IsInRanges(streams.Stalled, photo);
    const bool large = size == PhotoSize::Original && IsInRanges(streams.Large, photo);
    if (!stalls && !large) return std::nullopt;
    StreamedPicture streamed;
    streamed.Head = jpegs(size, photo);
    if (streamed.Head.size() < 2) return std::nullopt;
    streamed.Length = large ? std::max<std::uint64_t>(streams.LargeBytes, streamed.Head.size())
                            : streamed.Head.size();
    streamed.Sized = !large || !streams.LargeUnsized;
    // At least one byte stays unsent, so the picture never ends.
    if (stalls) streamed.StallAfter = std::min(streams.StallAfterBytes, streamed.Length - 1);
    return streamed;
}

void SendStreamed(httplib::Response& response, StreamedPicture picture,
                  const std::atomic<bool>& stopping) {
    auto shared = std::make_shared<const StreamedPicture>(std::move(picture));
    // The next block, the end, or, past the stall, nothing ever: the answer
    // holds its worker until the browser gives up or the site stops.
    const auto next = [shared, &stopping](std::size_t offset, httplib::DataSink& sink) {
        if (shared->StallAfter && offset >= *shared->StallAfter) {
            while (!stopping.load() && sink.is_writable()) std::this_thread::sleep_for(StallPoll);
            return false;
        }
        if (offset >= shared->Length) {
            sink.done();
            return true;
        }
        return WriteBlock(*shared, offset, shared->StallAfter.value_or(shared->Length), sink);
    };
    if (shared->Sized) {
        response.set_content_provider(
            static_cast<std::size_t>(shared->Length), shared->ContentType,
            [next](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                return next(offset, sink);
            });
    } else {
        response.set_chunked_content_provider(shared->ContentType, next);
    }
}

}  // namespace kpw
