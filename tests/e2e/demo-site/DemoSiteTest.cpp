// The demo photo site, spoken to over HTTP as the browser views will.
#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <httplib.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <future>
#include <iterator>
#include <memory>
#include <optional>
#include <regex>
#include <thread>

#include "DemoSite.h"

extern char** environ;

namespace kpw {
namespace {

using namespace std::chrono_literals;

constexpr auto Deadline = 30s;

struct Fetched {
    int status = -1;
    std::string contentType;
    std::string cacheControl;
    std::string body;
    std::string retryAfter;
};

Fetched Fetch(const std::string& base, const std::string& path) {
    httplib::Client client(base);
    client.set_read_timeout(Deadline);
    const auto result = client.Get(path.c_str());
    if (!result) {
        ADD_FAILURE() << "no answer for " << base << path;
        return {};
    }
    return {result->status, result->get_header_value("Content-Type"),
            result->get_header_value("Cache-Control"), result->body,
            result->get_header_value("Retry-After")};
}

// Width and height from the frame header of a JPEG file.
std::optional<std::pair<int, int>> JpegPixels(const std::string& jpeg) {
    const auto at = [&](size_t i) { return static_cast<unsigned char>(jpeg[i]); };
    if (jpeg.size() < 4 || at(0) != 0xFF || at(1) != 0xD8) {
        return std::nullopt;
    }
    for (size_t i = 2; i + 9 < jpeg.size();) {
        if (at(i) != 0xFF) {
            return std::nullopt;
        }
        const unsigned marker = at(i + 1);
        const bool isFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (isFrame) {
            return std::pair{at(i + 7) << 8 | at(i + 8), at(i + 5) << 8 | at(i + 6)};
        }
        i += 2 + (at(i + 2) << 8 | at(i + 3));
    }
    return std::nullopt;
}

// The number that follows the first occurrence of the pattern, if any.
std::optional<int> NumberAfter(const std::string& text, const std::string& pattern) {
    const size_t at = text.find(pattern);
    if (at == std::string::npos) {
        return std::nullopt;
    }
    return std::atoi(text.c_str() + at + pattern.size());
}

std::vector<int> LinkedPhotos(const std::string& html) {
    std::vector<int> photos;
    const std::regex link("href=\"/photo/([0-9]+)\"");
    for (auto it = std::sregex_iterator(html.begin(), html.end(), link);
         it != std::sregex_iterator(); ++it) {
        photos.push_back(std::stoi((*it)[1]));
    }
    return photos;
}

// One site for the read-only checks; the missing photos include one of user 7.
class DemoSiteTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        site_ = std::make_unique<DemoSite>(DemoSite::Options{"5,1001-1003,2007", 0, "", 120});
    }
    static void TearDownTestSuite() { site_.reset(); }

    static Fetched Main(const std::string& path) { return Fetch(site_->BaseURL(), path); }
    static Fetched Static(const std::string& path) { return Fetch(site_->StaticBaseURL(), path); }

    static std::unique_ptr<DemoSite> site_;
};

std::unique_ptr<DemoSite> DemoSiteTest::site_;

struct AddressCase {
    bool onStatic;
    std::string path;
    std::string contentType;
    int longSide;  // 0: a page, not a picture
};

class AddressFormTest : public DemoSiteTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(AddressFormTest, AnswersWithTypeCacheHeaderAndSize) {
    const AddressCase& c = GetParam();
    const Fetched got = c.onStatic ? Static(c.path) : Main(c.path);
    EXPECT_EQ(got.status, 200);
    EXPECT_EQ(got.contentType.rfind(c.contentType, 0), 0u) << got.contentType;
    EXPECT_EQ(got.cacheControl, "max-age=120");
    if (c.longSide > 0) {
        const auto pixels = JpegPixels(got.body);
        ASSERT_TRUE(pixels.has_value()) << "not a JPEG";
        EXPECT_EQ(std::max(pixels->first, pixels->second), c.longSide);
        EXPECT_EQ(std::min(pixels->first, pixels->second), c.longSide * 3 / 4);
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryForm, AddressFormTest,
    ::testing::Values(AddressCase{false, "/photos/thumbnail/7.jpg", "image/jpeg", 100},
                      AddressCase{false, "/photos/small/7.jpg", "image/jpeg", 240},
                      AddressCase{false, "/photos/medium/7.jpg", "image/jpeg", 500},
                      AddressCase{false, "/photos/medium/9.jpg", "image/jpeg", 500},
                      AddressCase{true, "/photos/original/7.jpg", "image/jpeg", 1024},
                      AddressCase{false, "/photos/small/2147483647.jpg", "image/jpeg", 240},
                      AddressCase{false, "/photo/7", "text/html", 0},
                      AddressCase{false, "/photo/7/stats", "text/html", 0},
                      AddressCase{false, "/photo/2147483647", "text/html", 0},
                      AddressCase{false, "/user/7", "text/html", 0},
                      AddressCase{false, "/user/7/stats", "text/html", 0},
                      AddressCase{false, "/", "text/html", 0},
                      AddressCase{true, "/favicon.ico", "image/gif", 0}));

struct NotFoundCase {
    bool onStatic;
    std::string path;
    std::string message;
};

class NotFoundTest : public DemoSiteTest, public ::testing::WithParamInterface<NotFoundCase> {};

TEST_P(NotFoundTest, Answers404WithErrorPage) {
    const NotFoundCase& c = GetParam();
    const Fetched got = c.onStatic ? Static(c.path) : Main(c.path);
    EXPECT_EQ(got.status, 404);
    EXPECT_EQ(got.contentType.rfind("text/html", 0), 0u) << got.contentType;
    EXPECT_NE(got.body.find(c.message), std::string::npos) << got.body;
    EXPECT_EQ(got.cacheControl.find("max-age"), std::string::npos);
}

const std::string PhotoNotFound = "Error 404: photo not found";

INSTANTIATE_TEST_SUITE_P(
    MissingPhotos, NotFoundTest,
    ::testing::Values(NotFoundCase{false, "/photos/thumbnail/5.jpg", PhotoNotFound},
                      NotFoundCase{false, "/photos/small/1002.jpg", PhotoNotFound},
                      NotFoundCase{false, "/photos/medium/1003.jpg", PhotoNotFound},
                      NotFoundCase{true, "/photos/original/1001.jpg", PhotoNotFound},
                      NotFoundCase{false, "/photo/5", PhotoNotFound},
                      NotFoundCase{false, "/photo/1002/stats", PhotoNotFound}));

INSTANTIATE_TEST_SUITE_P(
    IndexesOutOfRange, NotFoundTest,
    ::testing::Values(NotFoundCase{false, "/photo/0", PhotoNotFound},
                      NotFoundCase{false, "/photo/-3", PhotoNotFound},
                      NotFoundCase{false, "/photo/abc", PhotoNotFound},
                      NotFoundCase{false, "/photo/007", PhotoNotFound},
                      NotFoundCase{false, "/photo/2147483648", PhotoNotFound},
                      NotFoundCase{false, "/photos/small/99999999999.jpg", PhotoNotFound},
                      NotFoundCase{true, "/photos/original/0.jpg", PhotoNotFound},
                      NotFoundCase{false, "/user/0", "Error 404: user not found"},
                      NotFoundCase{false, "/user/1001/stats", "Error 404: user not found"}));

INSTANTIATE_TEST_SUITE_P(
    UnknownAddresses, NotFoundTest,
    ::testing::Values(NotFoundCase{false, "/nothing", "Error 404: page not found"},
                      NotFoundCase{false, "/photo/7/extra", "Error 404: page not found"},
                      NotFoundCase{false, "/photos/original/7.jpg", "Error 404: page not found"},
                      NotFoundCase{true, "/photo/7", "Error 404: page not found"},
                      NotFoundCase{true, "/photos/small/7.jpg", "Error 404: page not found"}));

TEST_F(DemoSiteTest, PhotoPageNamesAuthorInAuthorBlockAfterAnotherUserLink) {
    for (const int photo : {1, 2, 999, 1000, 1001 + 3, 123457, 2147483647}) {
        SCOPED_TRACE(photo);
        const std::string body = Main("/photo/" + std::to_string(photo)).body;
        const std::string block = "<p id=\"author\">by <a href=\"/user/";
        const size_t blockAt = body.find(block);
        ASSERT_NE(blockAt, std::string::npos);
        EXPECT_EQ(NumberAfter(body.substr(blockAt), block), DemoSiteAuthorOf(photo));

        // Without the marker the first user link would name somebody else.
        const auto firstUser = NumberAfter(body, "<a href=\"/user/");
        ASSERT_TRUE(firstUser.has_value());
        EXPECT_LT(body.find("<a href=\"/user/"), blockAt);
        EXPECT_NE(*firstUser, DemoSiteAuthorOf(photo));

        const auto links = LinkedPhotos(body);
        const bool hasPrevious = std::count(links.begin(), links.end(), photo - 1) > 0;
        const bool hasNext =
            photo < 2147483647 && std::count(links.begin(), links.end(), photo + 1);
        EXPECT_EQ(hasPrevious, photo > 1);
        EXPECT_EQ(hasNext, photo < 2147483647);
        EXPECT_NE(body.find("src=\"/photos/medium/" + std::to_string(photo) + ".jpg\""),
                  std::string::npos);
    }
}

TEST_F(DemoSiteTest, StatisticsPageLinksAuthorWithNolessthanClass) {
    for (const int photo : {1, 1000, 123457, 2147483647}) {
        SCOPED_TRACE(photo);
        const std::string body = Main("/photo/" + std::to_string(photo) + "/stats").body;
        EXPECT_EQ(NumberAfter(body, "<a class=\"nolessthan\" href=\"/user/"),
                  DemoSiteAuthorOf(photo));
    }
}

TEST_F(DemoSiteTest, UserPageLinksOnlyExistingPhotosOfThatUser) {
    for (const int user : {1, 7, 1000}) {
        SCOPED_TRACE(user);
        const auto photos = LinkedPhotos(Main("/user/" + std::to_string(user)).body);
        ASSERT_FALSE(photos.empty());
        for (const int photo : photos) {
            EXPECT_EQ(DemoSiteAuthorOf(photo), user) << photo;
        }
        EXPECT_EQ(Main("/photo/" + std::to_string(photos.back())).status, 200);
    }
    const auto ofUser7 = LinkedPhotos(Main("/user/7").body);
    EXPECT_EQ(std::count(ofUser7.begin(), ofUser7.end(), 2007), 0);
    EXPECT_EQ(std::count(ofUser7.begin(), ofUser7.end(), 1007), 1);
}

// The program takes any page whose text holds these words for a missing photo.
TEST_F(DemoSiteTest, PagesOfExistingPhotosAndUsersHoldNoErrorWords) {
    std::vector<std::string> paths = {"/"};
    for (int i = 1; i <= 80; ++i) {
        const std::string photo = std::to_string(i == 5 ? 2147483647 : i);  // 5 is missing
        const std::string user = std::to_string(i);
        paths.insert(paths.end(), {"/photo/" + photo, "/photo/" + photo + "/stats", "/user/" + user,
                                   "/user/" + user + "/stats"});
    }
    for (const std::string& path : paths) {
        const Fetched got = Main(path);
        ASSERT_EQ(got.status, 200) << path;
        std::string lower = got.body;
        std::transform(lower.begin(), lower.end(), lower.begin(),
                       [](unsigned char c) { return std::tolower(c); });
        for (const char* word : {"error", "http 404", "http 500"}) {
            EXPECT_EQ(lower.find(word), std::string::npos) << path << " holds " << word;
        }
    }
}

TEST_F(DemoSiteTest, LogRecordsEachRequestWithHostAndStatus) {
    Static("/photos/original/321.jpg");
    Main("/photo/1001");
    Main("/user/321");
    Main("/user/321");
    EXPECT_TRUE(site_->WaitForLogLine("GET 127.0.0.2 /photos/original/321.jpg 200", Deadline));
    EXPECT_TRUE(site_->WaitForLogLine("GET 127.0.0.1 /photo/1001 404", Deadline));
    const auto countUserLines = [] {
        const auto lines = site_->LogLines();
        return std::count(lines.begin(), lines.end(), "GET 127.0.0.1 /user/321 200");
    };
    const auto end = std::chrono::steady_clock::now() + Deadline;
    while (countUserLines() < 2 && std::chrono::steady_clock::now() < end) {
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_EQ(countUserLines(), 2);
}

TEST(DemoSiteLatency, DelaysOnlyPathsWithTheGivenBeginning) {
    constexpr int latencyMs = 2000;
    DemoSite site({"", latencyMs, "/photo/", 300});
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(Fetch(site.BaseURL(), "/photo/3").status, 200);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(latencyMs));

    // A user page asked for while a photo page is being delayed comes first.
    auto slow = std::async(std::launch::async, [&] { return Fetch(site.BaseURL(), "/photo/4"); });
    EXPECT_EQ(Fetch(site.BaseURL(), "/user/4").status, 200);
    EXPECT_EQ(slow.wait_for(0s), std::future_status::timeout);
    EXPECT_EQ(slow.get().status, 200);
}

TEST(DemoSiteBusy, RateLimitAnswers429WithRetryAfterAndAnErrorPage) {
    DemoSite site({.rateLimit = 1});
    // One request a second: of three at once, the later ones are refused.
    std::vector<Fetched> answers;
    for (int i = 0; i < 3; ++i) answers.push_back(Fetch(site.BaseURL(), "/photo/3"));
    EXPECT_EQ(answers[0].status, 200);
    EXPECT_EQ(answers[0].retryAfter, "");
    const Fetched& refused = answers[2];
    EXPECT_EQ(refused.status, 429);
    EXPECT_EQ(refused.retryAfter, "1");
    EXPECT_EQ(refused.cacheControl, "no-store");
    EXPECT_NE(refused.body.find("Error 429"), std::string::npos);
    // A second later the site answers again.
    std::this_thread::sleep_for(1100ms);
    EXPECT_EQ(Fetch(site.BaseURL(), "/photo/3").status, 200);
}

TEST(DemoSiteBusy, BusyPhotosAreRefusedOnlyTheFirstTime) {
    DemoSite site({.busy = "7,20-21", .busyStatus = 429});
    EXPECT_EQ(Fetch(site.BaseURL(), "/photos/small/7.jpg").status, 429);
    // Once for the photo, whichever of its addresses came first.
    EXPECT_EQ(Fetch(site.BaseURL(), "/photo/7").status, 200);
    EXPECT_EQ(Fetch(site.BaseURL(), "/photos/small/7.jpg").status, 200);
    EXPECT_EQ(Fetch(site.BaseURL(), "/photo/21/stats").status, 429);
    EXPECT_EQ(Fetch(site.StaticBaseURL(), "/photos/original/20.jpg").status, 429);
    EXPECT_EQ(Fetch(site.BaseURL(), "/photo/20").status, 200);
    EXPECT_EQ(Fetch(site.BaseURL(), "/photo/8").status, 200);
    EXPECT_EQ(Fetch(site.BaseURL(), "/user/7").status, 200);
}

TEST(DemoSiteBusy, FailedGatewaysAnswerWithTheirStockPages) {
    struct Case {
        const char* Style;
        int Status;
        const char* Text;
        bool ErrorWord;
    };
    for (const Case& c : {Case{"apache", 502, "<title>502 Proxy Error</title>", true},
                          Case{"nginx", 502, "<h1>502 Bad Gateway</h1>", false},
                          Case{"cdn", 522, "Error code 522", true}}) {
        DemoSite site({.busy = "7", .busyStyle = c.Style});
        const Fetched failed = Fetch(site.BaseURL(), "/photos/medium/7.jpg");
        EXPECT_EQ(failed.status, c.Status) << c.Style;
        EXPECT_NE(failed.body.find(c.Text), std::string::npos) << c.Style;
        EXPECT_EQ(failed.body.find("Error") != std::string::npos, c.ErrorWord) << c.Style;
        EXPECT_EQ(Fetch(site.BaseURL(), "/photos/medium/7.jpg").status, 200) << c.Style;
    }
}

TEST(DemoSiteMissingStyles, AnswerAsRealSitesDoWithoutTheErrorWordsWhereTheyLackThem) {
    const auto missingPhoto = [](const std::string& style) {
        DemoSite site({.missing = "5", .missingStyle = style});
        EXPECT_EQ(Fetch(site.BaseURL(), "/photos/medium/6.jpg").status, 200) << style;
        return Fetch(site.BaseURL(), "/photos/medium/5.jpg");
    };
    const Fetched nginx = missingPhoto("nginx");
    EXPECT_EQ(nginx.status, 404);
    EXPECT_NE(nginx.body.find("<h1>404 Not Found</h1>"), std::string::npos);
    EXPECT_EQ(nginx.body.find("Error"), std::string::npos);
    const Fetched gone = missingPhoto("gone");
    EXPECT_EQ(gone.status, 410);
    EXPECT_NE(gone.body.find("The requested resource is no longer available"), std::string::npos);
    EXPECT_EQ(gone.body.find("Error"), std::string::npos);
    // The error text of the late page is only in its script.
    const Fetched late = missingPhoto("late");
    EXPECT_EQ(late.status, 200);
    EXPECT_NE(late.body.find("setTimeout"), std::string::npos);
    EXPECT_EQ(missingPhoto("words").status, 404);
    const Fetched forbidden = missingPhoto("forbidden");
    EXPECT_EQ(forbidden.status, 403);
    EXPECT_EQ(forbidden.body, "Error 403: Forbidden\n");
}

TEST(DemoSiteMissingStyles, MixedStyleTakesPlaceholderForbiddenAndWordsInTurn) {
    DemoSite site({.missing = "1101-1103", .missingStyle = "mixed"});
    httplib::Client client(site.BaseURL());
    const auto placeholder = client.Get("/photos/medium/1101.jpg");
    ASSERT_TRUE(placeholder);
    EXPECT_EQ(placeholder->status, 302);
    EXPECT_EQ(Fetch(site.BaseURL(), "/photos/medium/1102.jpg").status, 403);
    const Fetched words = Fetch(site.BaseURL(), "/photos/medium/1103.jpg");
    EXPECT_EQ(words.status, 404);
    EXPECT_NE(words.body.find("Error"), std::string::npos);
}

TEST(DemoSiteMissingStyles, PlaceholderStyleRedirectsEveryMissingPhotoToOnePicture) {
    DemoSite site({.missing = "5-6", .missingStyle = "placeholder"});
    httplib::Client client(site.BaseURL());
    for (const char* path : {"/photos/medium/5.jpg", "/photos/small/6.jpg"}) {
        const auto result = client.Get(path);
        ASSERT_TRUE(result) << path;
        EXPECT_EQ(result->status, 302);
        EXPECT_EQ(result->get_header_value("Location"), "/static/removed.png");
    }
    const Fetched placeholder = Fetch(site.BaseURL(), "/static/removed.png");
    EXPECT_EQ(placeholder.status, 200);
    EXPECT_EQ(placeholder.contentType, "image/png");
    EXPECT_EQ(placeholder.body.substr(1, 3), "PNG");
}

TEST(DemoSiteProcess, EndsCleanlyOnSigterm) {
    DemoSite site;
    EXPECT_EQ(Fetch(site.BaseURL(), "/photo/1").status, 200);
    EXPECT_EQ(site.Stop(), 0);
}

// A large picture is the photo's JPEG made up to the size asked for, with
// its length announced or sent chunked without it.
class DemoSiteLargeTest : public ::testing::TestWithParam<bool> {};

TEST_P(DemoSiteLargeTest, OriginalOfALargePhotoHasTheSizeAskedForAndStaysAPicture) {
    const bool unsized = GetParam();
    DemoSite site({.large = "7", .largeMb = 3, .largeUnsized = unsized});
    httplib::Client client(site.StaticBaseURL());
    client.set_read_timeout(Deadline);
    std::string head;
    std::size_t received = 0;
    const auto result = client.Get("/photos/original/7.jpg", [&](const char* data, size_t length) {
        if (head.size() < 4) head.append(data, std::min<size_t>(length, 4 - head.size()));
        received += length;
        return true;
    });
    ASSERT_TRUE(result);
    EXPECT_EQ(result->status, 200);
    EXPECT_EQ(result->get_header_value("Content-Type"), "image/jpeg");
    EXPECT_EQ(result->has_header("Content-Length"), !unsized);
    EXPECT_EQ(result->get_header_value("Transfer-Encoding"), unsized ? "chunked" : "");
    EXPECT_EQ(received, 3u * 1024 * 1024);
    EXPECT_EQ(head, "\xFF\xD8\xFF\xE0");
    // Only the original of the photos listed is large.
    EXPECT_LT(Fetch(site.BaseURL(), "/photos/medium/7.jpg").body.size(), 200000u);
    EXPECT_LT(Fetch(site.StaticBaseURL(), "/photos/original/8.jpg").body.size(), 1000000u);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutLength, DemoSiteLargeTest, ::testing::Bool());

// A raw connection, so the test sees the bytes as they come.
class RawConnection {
public:
    RawConnection(int port, const std::string& path) {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) return;
        const std::string request = "GET " + path + " HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
        if (send(fd_, request.data(), request.size(), MSG_NOSIGNAL) < 0) return;
    }
    ~RawConnection() { close(fd_); }
    RawConnection(const RawConnection&) = delete;
    RawConnection& operator=(const RawConnection&) = delete;

    // Reads until the answer's body holds bodyBytes or the deadline passes.
    bool ReadBody(std::size_t bodyBytes) {
        const auto end = std::chrono::steady_clock::now() + Deadline;
        while (Body().size() < bodyBytes && std::chrono::steady_clock::now() < end) {
            pollfd ready{fd_, POLLIN, 0};
            if (poll(&ready, 1, 100) <= 0) continue;
            char buffer[4096];
            const ssize_t got = recv(fd_, buffer, sizeof buffer, 0);
            if (got <= 0) return false;
            answer_.append(buffer, static_cast<size_t>(got));
        }
        return Body().size() >= bodyBytes;
    }
    // Whether anything more (bytes or the end) is waiting to be read.
    bool MoreWaiting() const {
        pollfd ready{fd_, POLLIN, 0};
        return poll(&ready, 1, 0) > 0;
    }
    std::string Head() const { return answer_.substr(0, answer_.find("\r\n\r\n")); }
    std::string Body() const {
        const size_t end = answer_.find("\r\n\r\n");
        return end == std::string::npos ? std::string() : answer_.substr(end + 4);
    }

private:
    int fd_ = -1;
    std::string answer_;
};

TEST(DemoSiteStall, AStalledPictureSendsItsFirstBytesThenNothingWithoutHoldingTheSite) {
    DemoSite site({.stall = "9", .stallAfter = 1000});
    RawConnection stalled(site.Port(), "/photos/medium/9.jpg");
    ASSERT_TRUE(stalled.ReadBody(1000)) << stalled.Head();
    EXPECT_NE(stalled.Head().find("200 OK"), std::string::npos);
    // The whole picture's length is announced, and only the first bytes come.
    const std::optional<int> length = NumberAfter(stalled.Head(), "Content-Length: ");
    ASSERT_TRUE(length);
    EXPECT_GT(*length, 1000);
    EXPECT_EQ(stalled.Body().size(), 1000u);
    EXPECT_EQ(stalled.Body().substr(0, 2), "\xFF\xD8");
    // Other addresses are answered meanwhile, that photo's page too.
    EXPECT_EQ(Fetch(site.BaseURL(), "/photo/9").status, 200);
    EXPECT_EQ(Fetch(site.BaseURL(), "/photos/medium/10.jpg").status, 200);
    EXPECT_FALSE(stalled.MoreWaiting());
    // The site stops at once, the stalled answer open.
    EXPECT_EQ(site.Stop(), 0);
}

TEST(DemoSiteBomb, EveryPictureOfABombPhotoIsASmallPngDeclaringHugeSides) {
    DemoSite site({.missing = "4", .bomb = "3-4"});
    for (const auto& [base, path] : {std::pair{site.BaseURL(), "/photos/thumbnail/3.jpg"},
                                     std::pair{site.StaticBaseURL(), "/photos/original/3.jpg"}}) {
        const Fetched bomb = Fetch(base, path);
        EXPECT_EQ(bomb.status, 200) << path;
        EXPECT_EQ(bomb.contentType, "image/png") << path;
        EXPECT_LT(bomb.body.size(), 8192u) << path;
        ASSERT_GE(bomb.body.size(), 24u) << path;
        EXPECT_EQ(bomb.body.substr(0, 16), std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR", 16));
        // Width and height, big-endian: 30000 is 0x7530.
        EXPECT_EQ(bomb.body.substr(16, 8), std::string("\0\0\x75\x30\0\0\x75\x30", 8));
    }
    // A missing photo stays missing; other photos stay JPEGs.
    EXPECT_EQ(Fetch(site.BaseURL(), "/photos/medium/4.jpg").status, 404);
    EXPECT_EQ(Fetch(site.BaseURL(), "/photos/medium/5.jpg").contentType, "image/jpeg");
}

struct RunResult {
    int exitCode = -1;
    std::string out;
    std::string err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs the site with the arguments and standard input at its end.
RunResult RunSite(std::vector<std::string> args) {
    char dir[] = "/tmp/kpw-demo-site-run-XXXXXX";
    if (!mkdtemp(dir)) {
        ADD_FAILURE() << "no temporary folder";
        return {};
    }
    const std::string outPath = std::string(dir) + "/out";
    const std::string errPath = std::string(dir) + "/err";
    args.insert(args.begin(), KPW_DEMO_SITE_EXE);
    std::vector<char*> argv;
    for (std::string& arg : args) {
        argv.push_back(arg.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(), O_WRONLY | O_CREAT, 0600);
    pid_t pid = -1;
    RunResult result;
    if (posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        pid_t reaped = 0;
        const auto end = std::chrono::steady_clock::now() + Deadline;
        while ((reaped = waitpid(pid, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < end) {
            std::this_thread::sleep_for(10ms);
        }
        if (reaped == 0) {
            kill(pid, SIGKILL);
            waitpid(pid, &status, 0);
        } else if (WIFEXITED(status)) {
            result.exitCode = WEXITSTATUS(status);
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    result.out = ReadFile(outPath);
    result.err = ReadFile(errPath);
    unlink(outPath.c_str());
    unlink(errPath.c_str());
    rmdir(dir);
    return result;
}

TEST(DemoSiteProcess, ReportsPortOnceAndEndsWithWatchedInput) {
    const RunResult run = RunSite({"--port", "0", "--watch-stdin"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_TRUE(std::regex_match(run.out, std::regex("listening on [1-9][0-9]*\n"))) << run.out;
}

class OptionErrorTest : public ::testing::TestWithParam<std::vector<std::string>> {};

TEST_P(OptionErrorTest, ExitsWithCode2AndAMessage) {
    const RunResult run = RunSite(GetParam());
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_NE(run.err.find("kelvaro-demo-site: "), std::string::npos) << run.err;
    EXPECT_EQ(run.out, "");
}

INSTANTIATE_TEST_SUITE_P(
    BadCommandLines, OptionErrorTest,
    ::testing::Values(
        std::vector<std::string>{"--port", "abc"}, std::vector<std::string>{"--port", "70000"},
        std::vector<std::string>{"--port", "6000"}, std::vector<std::string>{"--port"},
        std::vector<std::string>{"--missing", "5-3"}, std::vector<std::string>{"--missing", "0"},
        std::vector<std::string>{"--missing", "1,,2"},
        std::vector<std::string>{"--latency-ms", "-1"}, std::vector<std::string>{"--max-age", "x"},
        std::vector<std::string>{"--rate-limit", "-2"}, std::vector<std::string>{"--busy", "9-3"},
        std::vector<std::string>{"--busy-status", "200"},
        std::vector<std::string>{"--missing-style", "silent"},
        std::vector<std::string>{"--busy-style", "squid"},
        std::vector<std::string>{"--host", "127.0.0.2"},
        std::vector<std::string>{"--log", "/nonexistent-folder/log"},
        std::vector<std::string>{"--unknown"}));

INSTANTIATE_TEST_SUITE_P(BadPhotoStreamOptions, OptionErrorTest,
                         ::testing::Values(std::vector<std::string>{"--large", "3-1"},
                                           std::vector<std::string>{"--large-mb", "0"},
                                           std::vector<std::string>{"--large-unsized=1"},
                                           std::vector<std::string>{"--stall", "x"},
                                           std::vector<std::string>{"--stall-after", "-1"},
                                           std::vector<std::string>{"--bomb", "4-"}));

}  // namespace
}  // namespace kpw
