// The overview sheet's thumbnail fetcher against the demo site and against
// sites that misbehave.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QTest>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ClosingServer.h"
#include "DemoSite.h"
#include "FixtureSite.h"
#include "webengine/ThumbnailFetcher.h"

namespace kpw {
namespace {

using namespace std::chrono_literals;

constexpr int Deadline = 30000;

bool Contains(const std::optional<std::string>& text, const std::string& part) {
    return text && text->find(part) != std::string::npos;
}

// A loopback port bound but not listening: every connection is refused.
class RefusingPort {
public:
    RefusingPort() {
        fd_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
            throw std::runtime_error("no loopback port");
        port_ = ntohs(address.sin_port);
    }
    ~RefusingPort() { close(fd_); }
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    std::string Url(const std::string& path) const {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    int fd_ = -1;
    int port_ = 0;
};

struct Got {
    ThumbnailAnswer Answer;
    QImage Picture;
};

class ThumbnailFetcherTest : public ::testing::Test {
protected:
    ThumbnailFetcherTest() {
        QObject::connect(&fetcher, &ThumbnailFetcher::Answered,
                         [this](quint64 id, const ThumbnailAnswer& answer, const QImage& picture) {
                             answers[id].push_back({answer, picture});
                         });
    }

    // Fetches one address per id; no answer may come inside the calls.
    void FetchAll(const std::map<quint64, std::string>& urls) {
        const std::size_t before = answers.size();
        for (const auto& [id, url] : urls) fetcher.Fetch(id, url);
        EXPECT_EQ(answers.size(), before);
    }
    // The one answer of the fetch, once it has come.
    Got Await(quint64 id) {
        if (!QTest::qWaitFor([&] { return answers.count(id) > 0; }, Deadline)) {
            ADD_FAILURE() << "no answer for fetch " << id;
            return {};
        }
        EXPECT_EQ(answers[id].size(), 1u) << "fetch " << id;
        return answers[id].front();
    }

    ThumbnailFetcher fetcher;
    std::map<quint64, std::vector<Got>> answers;
};

// The picture fits the box, touches it, and keeps the aspect of the full one.
void ExpectFitted(const QImage& boxed, const QImage& full, QSize box) {
    ASSERT_FALSE(boxed.isNull());
    EXPECT_LE(boxed.width(), box.width());
    EXPECT_LE(boxed.height(), box.height());
    EXPECT_TRUE(boxed.width() == box.width() || boxed.height() == box.height())
        << boxed.width() << " x " << boxed.height();
    const qint64 skew =
        qint64{boxed.width()} * full.height() - qint64{boxed.height()} * full.width();
    EXPECT_LE(std::abs(skew), std::max(full.width(), full.height()));
}

TEST_F(ThumbnailFetcherTest, PicturesComeDecodedAndScaledIntoTheBox) {
    DemoSite site;
    const std::string wide = site.BaseURL() + "/photos/medium/1.jpg";
    const std::string upright = site.BaseURL() + "/photos/medium/3.jpg";
    FetchAll({{1, wide}, {2, upright}});
    const Got fullWide = Await(1);
    const Got fullUpright = Await(2);
    const QSize box(160, 120);
    fetcher.SetPictureSize(box);
    FetchAll({{3, wide}, {4, upright}});
    for (const quint64 id : {1, 2, 3, 4}) {
        const ThumbnailAnswer answer = Await(id).Answer;
        EXPECT_TRUE(answer.Decoded) << id << ": " << answer.Detail;
        EXPECT_EQ(answer.HttpStatus, 200);
        EXPECT_EQ(answer.Failure, ThumbnailFailure::None);
        EXPECT_EQ(answer.ContentType, "image/jpeg");
        EXPECT_EQ(answer.FinalURL, id % 2 ? wide : upright);
        EXPECT_FALSE(answer.Text);
    }
    // The full pictures are larger than the box, one wide, one upright.
    EXPECT_GT(fullWide.Picture.width(), fullWide.Picture.height());
    EXPECT_LT(fullUpright.Picture.width(), fullUpright.Picture.height());
    EXPECT_GT(fullWide.Picture.width(), box.width());
    ExpectFitted(Await(3).Picture, fullWide.Picture, box);
    ExpectFitted(Await(4).Picture, fullUpright.Picture, box);
}

TEST_F(ThumbnailFetcherTest, SixFetchesAtOnceAreEachAnsweredOnce) {
    DemoSite site({.latencyMs = 100});
    std::map<quint64, std::string> urls;
    for (quint64 id = 11; id <= 16; ++id)
        urls[id] = site.BaseURL() + "/photos/thumbnail/" + std::to_string(id) + ".jpg";
    FetchAll(urls);
    EXPECT_EQ(fetcher.Pending(), 6);
    for (const auto& [id, url] : urls) {
        const Got got = Await(id);
        EXPECT_TRUE(got.Answer.Decoded) << url << ": " << got.Answer.Detail;
        EXPECT_FALSE(got.Picture.isNull());
    }
    EXPECT_EQ(fetcher.Pending(), 0);
}

// What the site says instead of a picture is an answer, not a failure: its
// status, its words, where it led and when to ask again.
TEST_F(ThumbnailFetcherTest, PagesInsteadOfPicturesAreAnswersWithStatusWordsAndAddress) {
    // Mixed: photo 5 answers with words, photo 6 with the placeholder.
    DemoSite site({.missing = "5,6", .busy = "7", .missingStyle = "mixed"});
    FetchAll({{5, site.BaseURL() + "/photos/small/5.jpg"},
              {6, site.BaseURL() + "/photos/small/6.jpg"},
              {7, site.BaseURL() + "/photos/small/7.jpg"}});
    const ThumbnailAnswer missing = Await(5).Answer;
    EXPECT_EQ(missing.HttpStatus, 404);
    EXPECT_EQ(missing.Failure, ThumbnailFailure::None);
    EXPECT_FALSE(missing.Decoded);
    EXPECT_TRUE(Contains(missing.Text, "Error 404: photo not found"));
    EXPECT_EQ(missing.ContentType.rfind("text/html", 0), 0u) << missing.ContentType;

    const Got placeholder = Await(6);
    EXPECT_TRUE(placeholder.Answer.Decoded) << placeholder.Answer.Detail;
    EXPECT_EQ(placeholder.Answer.HttpStatus, 200);
    EXPECT_EQ(placeholder.Answer.FinalURL, site.BaseURL() + "/static/removed.png");
    EXPECT_EQ(placeholder.Answer.ContentType, "image/png");

    const ThumbnailAnswer busy = Await(7).Answer;
    EXPECT_EQ(busy.HttpStatus, 503);
    EXPECT_EQ(busy.Failure, ThumbnailFailure::None);
    EXPECT_TRUE(Contains(busy.Text, "Error 503"));
    EXPECT_FALSE(busy.RetryAfter);
}

TEST_F(ThumbnailFetcherTest, ASiteOverItsRateSaysWhenToAskAgain) {
    // One request a second: of two at once, one is refused.
    DemoSite site({.rateLimit = 1});
    FetchAll({{1, site.BaseURL() + "/photos/thumbnail/1.jpg"},
              {2, site.BaseURL() + "/photos/thumbnail/2.jpg"}});
    const ThumbnailAnswer one = Await(1).Answer;
    const ThumbnailAnswer two = Await(2).Answer;
    EXPECT_EQ(one.HttpStatus + two.HttpStatus, 200 + 429);
    const ThumbnailAnswer& refused = one.HttpStatus == 429 ? one : two;
    EXPECT_EQ(refused.RetryAfter, std::optional<std::string>("1"));
    EXPECT_TRUE(Contains(refused.Text, "Error 429"));
}

// Time, bytes and pixels are bounded whatever the site announces or sends.
TEST_F(ThumbnailFetcherTest, LimitsEndFetchesThatWouldCostTooMuch) {
    DemoSite site({.large = "10", .largeMb = 2, .largeUnsized = true, .stall = "8", .bomb = "9"});
    fetcher.SetLimits({.MaxTime = 1500ms});
    FetchAll({{8, site.BaseURL() + "/photos/medium/8.jpg"}});
    fetcher.SetLimits({.MaxBytes = 1024 * 1024});
    FetchAll({{9, site.BaseURL() + "/photos/medium/9.jpg"},
              {10, site.StaticBaseURL() + "/photos/original/10.jpg"}});
    fetcher.SetLimits({.MaxBytes = 1000});
    FetchAll({{11, site.BaseURL() + "/photos/medium/11.jpg"}});

    const ThumbnailAnswer stalled = Await(8).Answer;
    EXPECT_EQ(stalled.Failure, ThumbnailFailure::TimedOut);
    EXPECT_EQ(stalled.HttpStatus, 200);
    // Its header declares 30000 x 30000; the pixels are never asked for.
    const Got bomb = Await(9);
    EXPECT_EQ(bomb.Answer.Failure, ThumbnailFailure::TooLarge);
    EXPECT_NE(bomb.Answer.Detail.find("30000"), std::string::npos) << bomb.Answer.Detail;
    EXPECT_TRUE(bomb.Picture.isNull());
    // Counted as it comes, without a length, and refused by its length.
    for (const quint64 id : {10, 11}) {
        const ThumbnailAnswer large = Await(id).Answer;
        EXPECT_EQ(large.Failure, ThumbnailFailure::TooLarge) << id;
        EXPECT_FALSE(large.Decoded) << id;
    }
}

// Bytes are judged by what they are: a picture type that is none cannot be
// decoded; words sent under any type are read as words, in their charset.
TEST_F(ThumbnailFetcherTest, BytesAreJudgedByWhatTheyAreAndWordsByTheirCharset) {
    test::FixtureSite site;
    site.Add("/broken.jpg", {"no picture in here", 200, 0, false, "image/jpeg"});
    site.Add("/page.bin",
             {"<html><body>Error 500</body></html>", 500, 0, false, "application/octet-stream"});
    site.Add("/latin1",
             {"Fehler: Bild nicht gefunden \xE4", 404, 0, false, "text/html; charset=ISO-8859-1"});
    site.Add("/long", test::FixtureSite::Page{std::string(200 * 1024, 'w'), 404});
    FetchAll({{1, site.Url("/broken.jpg")},
              {2, site.Url("/page.bin")},
              {3, site.Url("/latin1")},
              {4, site.Url("/long")}});
    const ThumbnailAnswer broken = Await(1).Answer;
    EXPECT_EQ(broken.Failure, ThumbnailFailure::Undecodable);
    EXPECT_FALSE(broken.Detail.empty());
    EXPECT_EQ(broken.HttpStatus, 200);
    const ThumbnailAnswer page = Await(2).Answer;
    EXPECT_EQ(page.Failure, ThumbnailFailure::None);
    EXPECT_EQ(page.HttpStatus, 500);
    EXPECT_TRUE(Contains(page.Text, "Error 500"));
    EXPECT_EQ(Await(3).Answer.Text,
              std::optional<std::string>("Fehler: Bild nicht gefunden \u00E4"));
    const std::optional<std::string> cut = Await(4).Answer.Text;
    ASSERT_TRUE(cut);
    EXPECT_EQ(cut->size(), static_cast<std::size_t>(ThumbnailFetcher::TextBytes));
}

// Without an answer of the site there is only the system's word for why.
TEST_F(ThumbnailFetcherTest, NoAnswerIsAFailureOfTheConnection) {
    RefusingPort refusing;
    ClosingServer closing;
    FetchAll({{1, refusing.Url("/photos/small/1.jpg")},
              {2, closing.Url("/photos/small/2.jpg")},
              {3, "file:///etc/hostname"}});
    for (const quint64 id : {1, 2, 3}) {
        const ThumbnailAnswer answer = Await(id).Answer;
        EXPECT_EQ(answer.Failure, ThumbnailFailure::NoConnection) << id;
        EXPECT_EQ(answer.HttpStatus, 0) << id;
        EXPECT_FALSE(answer.Detail.empty()) << id;
        EXPECT_FALSE(answer.Text) << id;
        // Only the server that took the connection closed it unanswered.
        EXPECT_EQ(answer.ClosedWithoutAnswer, id == 2) << id << ": " << answer.Detail;
    }
}

TEST_F(ThumbnailFetcherTest, ACancelledFetchNeverAnswersAndItsIdCanBeUsedAgain) {
    DemoSite site({.stall = "8"});
    const std::string stalled = site.BaseURL() + "/photos/medium/8.jpg";
    const std::string present = site.BaseURL() + "/photos/medium/1.jpg";
    // Left alone, the stalled picture would answer as timed out.
    fetcher.SetLimits({.MaxTime = 2s});
    FetchAll({{1, stalled}, {2, present}});
    fetcher.Cancel(2);
    fetcher.SetLimits({});
    FetchAll({{3, site.BaseURL() + "/photos/medium/3.jpg"}});
    EXPECT_TRUE(Await(3).Answer.Decoded);
    // Under way by now: its first bytes have come, the rest never will.
    fetcher.Cancel(1);
    EXPECT_EQ(fetcher.Pending(), 0);
    // One started later with the same time would answer after it.
    fetcher.SetLimits({.MaxTime = 2s});
    FetchAll({{5, stalled}});
    EXPECT_EQ(Await(5).Answer.Failure, ThumbnailFailure::TimedOut);
    fetcher.SetLimits({});
    FetchAll({{4, present}});
    fetcher.Cancel(4);
    fetcher.Fetch(4, present);
    EXPECT_TRUE(Await(4).Answer.Decoded);
    EXPECT_TRUE(QTest::qWaitFor([&] { return fetcher.Pending() == 0; }, Deadline));
    EXPECT_EQ(answers.count(1), 0u);
    EXPECT_EQ(answers.count(2), 0u);
}

}  // namespace
}  // namespace kpw
