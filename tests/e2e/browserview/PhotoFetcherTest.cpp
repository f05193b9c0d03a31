// The photo fetcher: the page's own fetch through the cache, the download
// when the page may not read the address, and its failures.
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <optional>

#include "BrowserViewHarness.h"
#include "webengine/PhotoFetcher.h"

namespace kpw::test {
namespace {

// Not a valid picture: the fetcher hands on bytes and type, the photo
// actions judge them.
const std::string PhotoBytes = std::string("\x89PNG\r\n\x1a\n", 8) + "fixture photo";

class PhotoFetcherTest : public BrowserViewTest {
protected:
    PhotoFetcherTest() : fetcher(profile->CreatePhotoFetcher(*view)) {
        site.Add("/photo.png", FixtureSite::Page{PhotoBytes, 200, 3600, false, "image/png"});
        site.Add("/page", "<html><body><img src=\"/photo.png\"></body></html>");
    }

    // Fetches and waits for the one answer.
    PhotoFetcher::Fetched Fetch(const std::string& url) {
        std::optional<PhotoFetcher::Fetched> answer;
        fetcher->Fetch(QUrl(QString::fromStdString(url)), folder.path(),
                       [&answer](const PhotoFetcher::Fetched& fetched) { answer = fetched; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, Deadline));
        return answer.value_or(PhotoFetcher::Fetched{});
    }

    static QByteArray Contents(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir folder;
    std::unique_ptr<PhotoFetcher> fetcher;
};

TEST_F(PhotoFetcherTest, ThePhotoOnViewComesFromTheCacheNotFromTheSiteAgain) {
    Load("/page");
    ASSERT_EQ(site.Hits("/photo.png"), 1);
    const PhotoFetcher::Fetched fetched = Fetch(site.Url("/photo.png"));
    ASSERT_FALSE(fetched.Failure) << fetched.Detail.toStdString();
    EXPECT_EQ(fetched.ContentType, QStringLiteral("image/png"));
    EXPECT_EQ(Contents(fetched.FilePath).toStdString(), PhotoBytes);
    EXPECT_TRUE(fetched.FilePath.startsWith(folder.path()));
    EXPECT_EQ(site.Hits("/photo.png"), 1);
}

TEST_F(PhotoFetcherTest, AnAddressThePageMayNotReadIsDownloadedThroughTheProfile) {
    Load("/page");
    // Another origin without permission: the page's own fetch is refused.
    std::string other = site.Url("/photo.png");
    other.replace(other.find("127.0.0.1"), 9, "localhost");
    const PhotoFetcher::Fetched fetched = Fetch(other);
    ASSERT_FALSE(fetched.Failure) << fetched.Detail.toStdString();
    EXPECT_EQ(Contents(fetched.FilePath).toStdString(), PhotoBytes);
}

TEST_F(PhotoFetcherTest, FailuresLeaveNoFileBehind) {
    site.Add("/missing.png", FixtureSite::Page{"gone", 404});
    site.Add("/text", FixtureSite::Page{"plain words", 200, 0, false, "text/plain"});
    Load("/page");
    const PhotoFetcher::Fetched missing = Fetch(site.Url("/missing.png"));
    EXPECT_EQ(missing.Failure, PhotoFailure::SiteError);
    EXPECT_EQ(missing.Detail, QStringLiteral("HTTP 404"));

    const PhotoFetcher::Fetched notWeb = Fetch("file:///etc/hostname");
    EXPECT_EQ(notWeb.Failure, PhotoFailure::FetchFailed);
    EXPECT_TRUE(QDir(folder.path()).isEmpty());
}

TEST_F(PhotoFetcherTest, OneFetchAtATime) {
    site.Add("/held.png", FixtureSite::Page{PhotoBytes, 200, 0, true, "image/png"});
    Load("/page");
    std::optional<PhotoFetcher::Fetched> first;
    fetcher->Fetch(QUrl(QString::fromStdString(site.Url("/held.png"))), folder.path(),
                   [&first](const PhotoFetcher::Fetched& fetched) { first = fetched; });
    const PhotoFetcher::Fetched second = Fetch(site.Url("/photo.png"));
    EXPECT_EQ(second.Failure, PhotoFailure::FetchFailed);
    EXPECT_FALSE(first.has_value());
    site.Release();
    ASSERT_TRUE(QTest::qWaitFor([&] { return first.has_value(); }, Deadline));
    EXPECT_FALSE(first->Failure) << first->Detail.toStdString();
}

TEST_F(PhotoFetcherTest, WithoutAnEnginePageEveryFetchFailsLater) {
    PhotoFetcher none;
    std::optional<PhotoFetcher::Fetched> answer;
    none.Fetch(QUrl(QString::fromStdString(site.Url("/photo.png"))), folder.path(),
               [&answer](const PhotoFetcher::Fetched& fetched) { answer = fetched; });
    // Never inside the call: the caller may not be ready for the answer yet.
    EXPECT_FALSE(answer.has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, Deadline));
    EXPECT_EQ(answer->Failure, PhotoFailure::FetchFailed);
}

}  // namespace
}  // namespace kpw::test
