#include "SitePages.h"

#include <cstdint>
#include <iterator>
#include <utility>

#include "DemoSiteModel.h"

namespace kpw {

namespace {

constexpr const char* HtmlType = "text/html; charset=utf-8";
constexpr int UserPagePhotoCount = 20;

// A fixed scramble, so that titles and figures look varied but never change.
uint32_t Mix(uint32_t value, uint32_t salt) {
    uint32_t x = value * 0x9E3779B1u ^ salt;
    x ^= x >> 16;
    x *= 0x85EBCA6Bu;
    x ^= x >> 13;
    x *= 0xC2B2AE35u;
    return x ^ (x >> 16);
}

// Syllables without "r" endings, so that no name can hold the words the
// program takes for an error page.
std::string UserName(int user) {
    static const char* const syllables[] = {"ka", "lo", "mi", "ven", "to", "sa", "bel", "du",
                                            "an", "ni", "ko", "ma",  "li", "ta", "no",  "se"};
    const auto pick = [&](uint32_t salt) { return std::string(syllables[Mix(user, salt) % 16]); };
    std::string first = pick(1) + pick(2);
    std::string last = pick(3) + pick(4) + pick(5);
    first[0] = static_cast<char>(first[0] - 'a' + 'A');
    last[0] = static_cast<char>(last[0] - 'a' + 'A');
    return first + " " + last;
}

std::string PhotoTitle(int photo) {
    static const char* const moods[] = {"Quiet",  "Golden", "Misty",   "Bright",
                                        "Silent", "Early",  "Distant", "Northern",
                                        "Autumn", "Winter", "Summer",  "Evening"};
    static const char* const places[] = {"harbour", "meadow",  "bridge",   "forest",
                                         "valley",  "station", "garden",   "lighthouse",
                                         "market",  "river",   "hillside", "courtyard"};
    return std::string(moods[Mix(photo, 11) % 12]) + " " + places[Mix(photo, 12) % 12];
}

std::string UserLink(int user, const std::string& cssClass = "") {
    const std::string classAttr = cssClass.empty() ? "" : " class=\"" + cssClass + "\"";
    return "<a" + classAttr + " href=\"/user/" + std::to_string(user) + "\">" + UserName(user) +
           "</a>";
}

std::string PhotoLink(int photo, const std::string& text) {
    return "<a href=\"/photo/" + std::to_string(photo) + "\">" + text + "</a>";
}

std::string Document(const std::string& title, const std::string& body) {
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" +
           title +
           "</title>\n<style>body{font-family:sans-serif;margin:1em 2em}"
           "#header{color:#666;border-bottom:1px solid #ccc;padding-bottom:.3em}"
           "img{border:1px solid #888}</style>\n</head>\n<body>\n" +
           body + "</body>\n</html>\n";
}

SiteResponse Html(const std::string& title, const std::string& body) {
    return {200, HtmlType, Document(title, body), {}, {}};
}

// Browsers ask every host for one; a blank picture keeps these requests out of
// the way of the pages (they are cached like the pages).
SiteResponse Favicon() {
    static const unsigned char blankGif[] = {
        0x47, 0x49, 0x46, 0x38, 0x39, 0x61, 0x01, 0x00, 0x01, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00,
        0x00, 0xFF, 0xFF, 0xFF, 0x21, 0xF9, 0x04, 0x01, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x00, 0x00,
        0x00, 0x00, 0x01, 0x00, 0x01, 0x00, 0x00, 0x02, 0x02, 0x44, 0x01, 0x00, 0x3B};
    return {200, "image/gif", std::string(std::begin(blankGif), std::end(blankGif)), {}, {}};
}

SiteResponse NotFound(const std::string& what) {
    const std::string text = "Error 404: " + what + " not found";
    return {404, HtmlType, Document(text, "<h1>" + text + "</h1>\n"), {}, {}};
}

// The one picture every missing photo is sent to in the placeholder style.
constexpr const char* PlaceholderPath = "/static/removed.png";

SiteResponse PlaceholderPicture() {
    // A plain grey 32 x 24 PNG.
    static const unsigned char png[] = {
        0x89, 0x50, 0x4E, 0x47, 0x0D, 0x0A, 0x1A, 0x0A, 0x00, 0x00, 0x00, 0x0D, 0x49,
        0x48, 0x44, 0x52, 0x00, 0x00, 0x00, 0x20, 0x00, 0x00, 0x00, 0x18, 0x08, 0x02,
        0x00, 0x00, 0x00, 0x14, 0x31, 0x68, 0x63, 0x00, 0x00, 0x00, 0x22, 0x49, 0x44,
        0x41, 0x54, 0x78, 0xDA, 0x63, 0x38, 0x41, 0x63, 0xC0, 0x30, 0x6A, 0xC1, 0xA8,
        0x05, 0xA3, 0x16, 0x8C, 0x5A, 0x30, 0x6A, 0xC1, 0xA8, 0x05, 0xA3, 0x16, 0x8C,
        0x5A, 0x30, 0x34, 0x2C, 0x00, 0x00, 0x48, 0xBE, 0x08, 0x6A, 0x0F, 0x96, 0xA8,
        0x8B, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4E, 0x44, 0xAE, 0x42, 0x60, 0x82};
    return {200, "image/png", std::string(std::begin(png), std::end(png)), {}, {}};
}

// A user other than the author, named on every photo page above the author.
int FeaturedUserFor(int photo) {
    return DemoSiteAuthorOf(photo) % DemoSiteUserCount + 1;
}

std::string Header(int featuredUser) {
    return "<div id=\"header\"><a href=\"/\">Kelvaro demo photos</a> &middot; Featured "
           "photographer: " +
           UserLink(featuredUser) + "</div>\n";
}

std::string Neighbours(int photo, const std::string& suffix) {
    std::string links;
    if (photo > 1) {
        links += "<a href=\"/photo/" + std::to_string(photo - 1) + suffix + "\">Previous</a> ";
    }
    if (photo < DemoSiteLastIndex) {
        links += "<a href=\"/photo/" + std::to_string(photo + 1) + suffix + "\">Next</a>";
    }
    return links;
}

}  // namespace

std::optional<std::string> Between(const std::string& path, const std::string& prefix,
                                   const std::string& ending) {
    if (path.size() < prefix.size() + ending.size() || path.compare(0, prefix.size(), prefix) ||
        path.compare(path.size() - ending.size(), ending.size(), ending)) {
        return std::nullopt;
    }
    return path.substr(prefix.size(), path.size() - prefix.size() - ending.size());
}

int PhotoSizeLongSide(PhotoSize size) {
    switch (size) {
        case PhotoSize::Thumbnail:
            return 100;
        case PhotoSize::Small:
            return 240;
        case PhotoSize::Medium:
            return 500;
        case PhotoSize::Original:
            break;
    }
    return 1024;
}

const char* PhotoSizeName(PhotoSize size) {
    switch (size) {
        case PhotoSize::Thumbnail:
            return "thumbnail";
        case PhotoSize::Small:
            return "small";
        case PhotoSize::Medium:
            return "medium";
        case PhotoSize::Original:
            break;
    }
    return "original";
}

PixelSize PhotoPixels(PhotoSize size, int photo) {
    const int longSide = PhotoSizeLongSide(size);
    const int shortSide = longSide * 3 / 4;
    return photo % 3 == 0 ? PixelSize{shortSide, longSide} : PixelSize{longSide, shortSide};
}

std::optional<int> ParseSiteIndex(const std::string& text) {
    if (text.empty() || text.size() > 10 || text[0] == '0') {
        return std::nullopt;
    }
    long long value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
    }
    if (value > DemoSiteLastIndex) {
        return std::nullopt;
    }
    return static_cast<int>(value);
}

SitePages::SitePages(std::vector<PhotoRange> missing, std::string staticBaseURL, JpegSource jpegs,
                     MissingStyle missingStyle)
    : missing_(std::move(missing)),
      missingStyle_(missingStyle),
      staticBaseURL_(std::move(staticBaseURL)),
      jpegs_(std::move(jpegs)) {}

bool SitePages::IsMissing(int photo) const {
    return photo < 1 || IsInRanges(missing_, photo);
}

SiteResponse SitePages::Respond(SiteHost host, const std::string& path) const {
    static const PhotoSize mainSizes[] = {PhotoSize::Thumbnail, PhotoSize::Small,
                                          PhotoSize::Medium};
    if (path == "/favicon.ico") {
        return Favicon();
    }
    if (host == SiteHost::Static) {
        if (const auto digits = Between(path, "/photos/original/", ".jpg")) {
            const auto photo = ParseSiteIndex(*digits);
            if (!photo || IsMissing(*photo)) {
                return MissingPicture(photo.value_or(0));
            }
            return Picture(PhotoSize::Original, *photo);
        }
        return NotFound("page");
    }

    if (path == "/") {
        return HomePage();
    }
    if (path == PlaceholderPath) {
        return PlaceholderPicture();
    }
    for (const PhotoSize size : mainSizes) {
        const std::string prefix = std::string("/photos/") + PhotoSizeName(size) + "/";
        if (const auto digits = Between(path, prefix, ".jpg")) {
            const auto photo = ParseSiteIndex(*digits);
            if (!photo || IsMissing(*photo)) {
                return MissingPicture(photo.value_or(0));
            }
            return Picture(size, *photo);
        }
    }
    for (const bool stats : {true, false}) {
        if (const auto digits = Between(path, "/photo/", stats ? "/stats" : "")) {
            if (digits->find('/') != std::string::npos) {
                continue;
            }
            const auto photo = ParseSiteIndex(*digits);
            if (!photo || IsMissing(*photo)) {
                return NotFound("photo");
            }
            return stats ? PhotoStatsPage(*photo) : PhotoPage(*photo);
        }
        if (const auto digits = Between(path, "/user/", stats ? "/stats" : "")) {
            if (digits->find('/') != std::string::npos) {
                continue;
            }
            const auto user = ParseSiteIndex(*digits);
            if (!user || *user > DemoSiteUserCount) {
                return NotFound("user");
            }
            return stats ? UserStatsPage(*user) : UserPage(*user);
        }
    }
    return NotFound("page");
}

SiteResponse SitePages::MissingPicture(int photo) const {
    static constexpr MissingStyle mixed[] = {MissingStyle::Placeholder, MissingStyle::Forbidden,
                                             MissingStyle::Words};
    const MissingStyle style = missingStyle_ == MissingStyle::Mixed
                                   ? mixed[static_cast<unsigned>(photo) % 3]
                                   : missingStyle_;
    switch (style) {
        case MissingStyle::Mixed:
        case MissingStyle::Words:
            break;
        case MissingStyle::Nginx:
            return {
                404,
                "text/html",
                "<html>\r\n<head><title>404 Not Found</title></head>\r\n<body>\r\n<center><h1>404 "
                "Not Found</h1></center>\r\n<hr><center>nginx</center>\r\n</body>\r\n</html>\r\n",
                {},
                {}};
        case MissingStyle::Gone:
            return {410,
                    HtmlType,
                    Document("Gone",
                             "<h1>Gone</h1>\n<p>The requested resource is no longer "
                             "available on this server.</p>\n"),
                    {},
                    {}};
        case MissingStyle::Placeholder:
            return {302, HtmlType, Document("Moved", "<p>Moved</p>\n"), {}, PlaceholderPath};
        case MissingStyle::Late:
            // The page arrives empty; its script writes the error a moment after.
            return {200,
                    HtmlType,
                    Document("Photo",
                             "<div id=\"photo\"></div>\n<script>setTimeout(function () {\n"
                             "  document.getElementById('photo').textContent =\n"
                             "    'Error 404: photo not found';\n}, 250);</script>\n"),
                    {},
                    {}};
        case MissingStyle::Forbidden: {
            const std::string text = "Error 403: Forbidden";
            return {403, "text/plain", text + "\n", {}, {}};
        }
    }
    return NotFound("photo");
}

SiteResponse SitePages::Picture(PhotoSize size, int photo) const {
    std::string jpeg = jpegs_(size, photo);
    if (jpeg.empty()) {
        const std::string text = "Error 500: the picture could not be made";
        return {500, HtmlType, Document(text, "<h1>" + text + "</h1>\n"), {}, {}};
    }
    return {200, "image/jpeg", std::move(jpeg), {}, {}};
}

SiteResponse SitePages::PhotoPage(int photo) const {
    const std::string n = std::to_string(photo);
    const PixelSize pixels = PhotoPixels(PhotoSize::Medium, photo);
    const std::string body =
        Header(FeaturedUserFor(photo)) + "<h1>" + PhotoTitle(photo) + "</h1>\n" +
        "<p id=\"author\">by " + UserLink(DemoSiteAuthorOf(photo)) + "</p>\n" +
        "<p><img src=\"/photos/medium/" + n + ".jpg\" alt=\"Photo " + n + "\" width=\"" +
        std::to_string(pixels.Width) + "\" height=\"" + std::to_string(pixels.Height) +
        "\"></p>\n" + "<p>" + Neighbours(photo, "") + "</p>\n" + "<p><a href=\"/photo/" + n +
        "/stats\">Statistics</a> &middot; <a href=\"" + staticBaseURL_ + "/photos/original/" + n +
        ".jpg\">Original size</a></p>\n";
    return Html("Photo " + n + ": " + PhotoTitle(photo), body);
}

SiteResponse SitePages::PhotoStatsPage(int photo) const {
    const std::string n = std::to_string(photo);
    const int lastViewer = (DemoSiteAuthorOf(photo) + 500) % DemoSiteUserCount + 1;
    const std::string body =
        Header(FeaturedUserFor(photo)) + "<h1>Statistics of photo " + n + "</h1>\n" +
        "<p>Last viewed by " + UserLink(lastViewer, "viewer") + "</p>\n" + "<p>Taken by " +
        UserLink(DemoSiteAuthorOf(photo), "nolessthan") + "</p>\n" +
        "<table>\n<tr><td>Views</td><td>" + std::to_string(Mix(photo, 21) % 90000 + 100) +
        "</td></tr>\n<tr><td>Favourites</td><td>" + std::to_string(Mix(photo, 22) % 400) +
        "</td></tr>\n<tr><td>Comments</td><td>" + std::to_string(Mix(photo, 23) % 60) +
        "</td></tr>\n</table>\n<p>" + PhotoLink(photo, "Back to the photo") + " &middot; " +
        Neighbours(photo, "/stats") + "</p>\n";
    return Html("Statistics of photo " + n, body);
}

SiteResponse SitePages::UserPage(int user) const {
    const std::string u = std::to_string(user);
    std::string list;
    int listed = 0;
    for (int k = 0; listed < UserPagePhotoCount; ++k) {
        const int photo = DemoSitePhotoOfUser(user, k);
        if (photo == 0) {
            break;
        }
        if (!IsMissing(photo)) {
            list += "<li>" + PhotoLink(photo, PhotoTitle(photo)) + "</li>\n";
            ++listed;
        }
    }
    const std::string body =
        "<div id=\"header\"><a href=\"/\">Kelvaro demo photos</a></div>\n<h1>" + UserName(user) +
        "</h1>\n<p>User " + u + " &middot; <a href=\"/user/" + u + "/stats\">Statistics</a></p>\n" +
        (list.empty() ? std::string("<p>No photos yet.</p>\n") : "<ul>\n" + list + "</ul>\n");
    return Html(UserName(user), body);
}

SiteResponse SitePages::UserStatsPage(int user) const {
    const std::string u = std::to_string(user);
    const std::string body =
        "<div id=\"header\"><a href=\"/\">Kelvaro demo photos</a></div>\n<h1>Statistics of " +
        UserName(user) + "</h1>\n<table>\n<tr><td>Followers</td><td>" +
        std::to_string(Mix(user, 31) % 5000) + "</td></tr>\n<tr><td>Views</td><td>" +
        std::to_string(Mix(user, 32) % 900000 + 1000) +
        "</td></tr>\n<tr><td>Member since</td><td>" + std::to_string(2004 + Mix(user, 33) % 18) +
        "</td></tr>\n</table>\n<p><a href=\"/user/" + u + "\">Back to the photos</a></p>\n";
    return Html("Statistics of " + UserName(user), body);
}

SiteResponse SitePages::HomePage() const {
    std::string photos;
    std::string users;
    for (int i = 1; i <= 12; ++i) {
        if (!IsMissing(i)) {
            photos += "<li>" + PhotoLink(i, PhotoTitle(i)) + "</li>\n";
        }
        users += "<li>" + UserLink(i) + "</li>\n";
    }
    return Html("Kelvaro demo photos",
                "<h1>Kelvaro demo photos</h1>\n<h2>Recent photos</h2>\n<ul>\n" + photos +
                    "</ul>\n<h2>Photographers</h2>\n<ul>\n" + users + "</ul>\n");
}

}  // namespace kpw
