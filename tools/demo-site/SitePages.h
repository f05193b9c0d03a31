#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "SiteOptions.h"

namespace kpw {

enum class SiteHost { Main, Static };

enum class PhotoSize { Thumbnail, Small, Medium, Original };

// Longest side in pixels, and the word used in addresses and on the picture.
int PhotoSizeLongSide(PhotoSize size);
const char* PhotoSizeName(PhotoSize size);

struct PixelSize {
    int Width = 0;
    int Height = 0;
};

// 4:3, upright for every third photo so that the pictures are not all alike.
PixelSize PhotoPixels(PhotoSize size, int photo);

struct SiteResponse {
    int Status = 200;
    std::string ContentType;
    std::string Body;
    std::string RetryAfter;  // the header's value; empty: no header
    std::string Location;    // where a redirect points; empty: none
};

// Strips the prefix and the ending from a path; nothing when it has not this form.
std::optional<std::string> Between(const std::string& path, const std::string& prefix,
                                   const std::string& ending);

// "7" -> 7; anything but plain decimal digits of an index 1..2147483647 (no sign,
// no leading zero) -> nothing.
std::optional<int> ParseSiteIndex(const std::string& text);

// The content of the site: which address gives which page. Knows nothing of
// sockets or image libraries; the pictures come from the given source.
class SitePages {
public:
    using JpegSource = std::function<std::string(PhotoSize size, int photo)>;

    SitePages(std::vector<PhotoRange> missing, std::string staticBaseURL, JpegSource jpegs,
              MissingStyle missingStyle = MissingStyle::Words);

    SiteResponse Respond(SiteHost host, const std::string& path) const;
    bool IsMissing(int photo) const;

private:
    SiteResponse Picture(PhotoSize size, int photo) const;
    // The answer for the picture of a photo that does not exist.
    SiteResponse MissingPicture(int photo) const;
    SiteResponse PhotoPage(int photo) const;
    SiteResponse PhotoStatsPage(int photo) const;
    SiteResponse UserPage(int user) const;
    SiteResponse UserStatsPage(int user) const;
    SiteResponse HomePage() const;

    std::vector<PhotoRange> missing_;
    MissingStyle missingStyle_;
    std::string staticBaseURL_;
    JpegSource jpegs_;
};

}  // namespace kpw
