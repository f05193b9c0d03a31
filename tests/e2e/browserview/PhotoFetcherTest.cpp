// The photo fetcher: the page's own fetch through the cache, the download
// when the cache does not hold the photo, the size cap, the picture told by
// its bytes, the ends of fetches that cannot finish and the queue.
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "BrowserViewHarness.h"
#include "DemoSite.h"
#include "webengine/PhotoFetcher.h"

namespace kpw::test {
namespace {

const std::string PngBytes = std::string("\x89PNG\r\n\x1a\n", 8) + "fixture photo, long enough";
const std::string JpegBytes = std::string("\xFF\xD8\xFF\xE0", 4) + "a fixture photo, long enough";

// Every file below a folder, hidden ones too.
QStringList FilesBelow(const QString& folder) {
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) files << it.next();
    return files;
}

QByteArray Contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A fetch and what it reported.
struct Watched {
    QPointer<PhotoFetch> Fetch;
    std::optional<PhotoFetchResult> Result;
    std::vector<quint64> Progress;
};

class PhotoFetcherTest : public BrowserViewTest {
protected:
    PhotoFetcherTest() : fetcher(profile->CreatePhotoFetcher(*view)) {
        site.Add("/photo.png", FixtureSite::Page{PngBytes, 200, 3600, false, "image/png"});
        site.Add("/page", "<html><body><img src=\"/photo.png\"></body></html>");
    }

    std::unique_ptr<Watched> Start(const std::string& url, FetchLimits limits = {},
                                   PhotoFetcher* by = nullptr) {
        auto watched = std::make_unique<Watched>();
        Watched* w = watched.get();
        w->Fetch = (by ? by : fetcher.get())
                       ->Start({QUrl(QString::fromStdString(url)), folder.path(), limits});
        QObject::connect(w->Fetch, &PhotoFetch::Finished,
                         [w](const PhotoFetchResult& result) { w->Result = result; });
        QObject::connect(w->Fetch, &PhotoFetch::Progress,
                         [w](quint64 received, qint64) { w->Progress.push_back(received); });
        return watched;
    }
    static bool WaitFor(const Watched& watched) {
        return QTest::qWaitFor([&] { return watched.Result.has_value(); }, Deadline);
    }
    // Fetches and waits for the one result.
    PhotoFetchResult Fetch(const std::string& url, FetchLimits limits = {}) {
        const std::unique_ptr<Watched> watched = Start(url, limits);
        EXPECT_TRUE(WaitFor(*watched)) << url;
        return watched->Result.value_or(PhotoFetchResult{});
    }
    // The same address on another origin, which the page may not read.
    std::string OtherOrigin(const std::string& path) const {
        std::string url = site.Url(path);
        url.replace(url.find("127.0.0.1"), 9, "localhost");
        return url;
    }

    QTemporaryDir folder;
    std::unique_ptr<PhotoFetcher> fetcher;
};

TEST_F(PhotoFetcherTest, ThePhotoOnViewComesFromTheCacheIntoAFileBesideItsTarget) {
    // One larger than a piece the page hands over, so it comes in several.
    std::string large = PngBytes;
    for (int i = 0; large.size() < 1536 * 1024; ++i) large += std::to_string(i) + ' ';
    site.Add("/large.png", FixtureSite::Page{large, 200, 3600, false, "image/png"});
    site.Add("/both", "<html><body><img src=\"/photo.png\"><img src=\"/large.png\"></body></html>");
    Load("/both");
    ASSERT_EQ(site.Hits("/photo.png"), 1);
    ASSERT_EQ(site.Hits("/large.png"), 1);
    const PhotoFetchResult fetched = Fetch(site.Url("/photo.png"));
    ASSERT_FALSE(fetched.Failure) << fetched.Detail.toStdString();
    EXPECT_EQ(fetched.ContentType, QStringLiteral("image/png"));
    EXPECT_EQ(fetched.Extension, "png");
    EXPECT_EQ(fetched.Bytes, PngBytes.size());
    EXPECT_EQ(Contents(fetched.FilePath).toStdString(), PngBytes);
    // In a hidden folder of its own inside the folder asked for.
    EXPECT_EQ(QFileInfo(QFileInfo(fetched.FilePath).path()).path(), folder.path());

    const std::unique_ptr<Watched> pieces = Start(site.Url("/large.png"));
    ASSERT_TRUE(WaitFor(*pieces));
    ASSERT_FALSE(pieces->Result->Failure) << pieces->Result->Detail.toStdString();
    EXPECT_EQ(Contents(pieces->Result->FilePath).toStdString(), large);
    EXPECT_GT(pieces->Progress.size(), 2u);
    // Neither was asked of the site again.
    EXPECT_EQ(site.Hits("/photo.png"), 1);
    EXPECT_EQ(site.Hits("/large.png"), 1);
}

TEST_F(PhotoFetcherTest, WhatTheCacheDoesNotHoldIsDownloadedAndTheBytesTellThePicture) {
    // JPEG bytes that the site calls PNG: the file is what its bytes are.
    site.Add("/named-png.png", FixtureSite::Page{JpegBytes, 200, 0, false, "image/png"});
    Load("/page");
    const PhotoFetchResult fetched = Fetch(OtherOrigin("/named-png.png"));
    ASSERT_FALSE(fetched.Failure) << fetched.Detail.toStdString();
    EXPECT_EQ(fetched.Extension, "jpg");
    EXPECT_EQ(Contents(fetched.FilePath).toStdString(), JpegBytes);
    // Not held by the cache: fetched from the site, once.
    const PhotoFetchResult again = Fetch(site.Url("/named-png.png"));
    ASSERT_FALSE(again.Failure) << again.Detail.toStdString();
    EXPECT_EQ(site.Hits("/named-png.png"), 2);
}

TEST_F(PhotoFetcherTest, FailuresLeaveNoFileBehind) {
    site.Add("/missing.png", FixtureSite::Page{"gone", 404});
    site.Add("/text", FixtureSite::Page{"plain words", 200, 0, false, "text/plain"});
    // Markup the site calls a picture.
    site.Add("/fake.png", FixtureSite::Page{"<html><body>no picture at all here</body></html>", 200,
                                            0, false, "image/png"});
    Load("/page");
    EXPECT_EQ(Fetch(site.Url("/missing.png")).Failure, PhotoFailure::SiteError);
    const PhotoFetchResult text = Fetch(site.Url("/text"));
    EXPECT_EQ(text.Failure, PhotoFailure::NotAnImage);
    EXPECT_EQ(text.Detail, QStringLiteral("text/plain"));
    const PhotoFetchResult fake = Fetch(site.Url("/fake.png"));
    EXPECT_EQ(fake.Failure, PhotoFailure::NotAnImage);
    EXPECT_EQ(fake.Detail, QStringLiteral("image/png"));
    EXPECT_EQ(Fetch("file:///etc/hostname").Failure, PhotoFailure::FetchFailed);
    EXPECT_TRUE(QDir(folder.path()).isEmpty()) << FilesBelow(folder.path()).join(' ').toStdString();
}

// The cap is kept whether the site announces the length or not.
class PhotoFetcherCapTest : public PhotoFetcherTest, public ::testing::WithParamInterface<bool> {};

TEST_P(PhotoFetcherCapTest, APhotoPastTheCapIsRefusedWhenItsSizeIsKnown) {
    const bool unsized = GetParam();
    // It stops at 4 MB: only the cap can end the fetch in time.
    DemoSite demo({.large = "7",
                   .largeMb = 16,
                   .largeUnsized = unsized,
                   .stall = "7",
                   .stallAfter = 4 * 1024 * 1024});
    Load("/page");
    FetchLimits limits;
    limits.MaxBytes = 2 * 1024 * 1024;
    limits.StallTimeoutMs = 600000;
    const PhotoFetchResult fetched = Fetch(demo.StaticBaseURL() + "/photos/original/7.jpg", limits);
    EXPECT_EQ(fetched.Failure, PhotoFailure::TooLarge);
    EXPECT_EQ(fetched.Detail, QStringLiteral("2 MB"));
    // Announced: refused before any byte; unannounced: once past the cap.
    if (unsized)
        EXPECT_GT(fetched.Bytes, limits.MaxBytes);
    else
        EXPECT_EQ(fetched.Bytes, 0u);
    EXPECT_TRUE(FilesBelow(folder.path()).isEmpty());
}

TEST_F(PhotoFetcherTest, ALargePhotoWithinTheCapArrivesWholeWithItsProgress) {
    DemoSite demo({.large = "7", .largeMb = 16});
    Load("/page");
    const std::unique_ptr<Watched> whole = Start(demo.StaticBaseURL() + "/photos/original/7.jpg");
    ASSERT_TRUE(WaitFor(*whole));
    ASSERT_FALSE(whole->Result->Failure) << whole->Result->Detail.toStdString();
    EXPECT_EQ(QFileInfo(whole->Result->FilePath).size(), 16 * 1024 * 1024);
    EXPECT_EQ(whole->Result->Bytes, 16u * 1024 * 1024);
    EXPECT_EQ(whole->Result->Extension, "jpg");
    ASSERT_FALSE(whole->Progress.empty());
    EXPECT_TRUE(std::is_sorted(whole->Progress.begin(), whole->Progress.end()));
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutLength, PhotoFetcherCapTest, ::testing::Bool());

TEST_F(PhotoFetcherTest, AStalledFetchEndsAtItsDeadlineAndSoonerOnceLeft) {
    DemoSite demo({.stall = "9", .stallAfter = 1000});
    Load("/page");
    const std::string stalled = demo.StaticBaseURL() + "/photos/original/9.jpg";
    FetchLimits limits;
    limits.StallTimeoutMs = 1500;
    const PhotoFetchResult ended = Fetch(stalled, limits);
    EXPECT_EQ(ended.Failure, PhotoFailure::FetchFailed);
    EXPECT_EQ(ended.Detail, QStringLiteral("the site stopped sending it"));

    // Left, it ends without waiting for the long deadline.
    limits.StallTimeoutMs = 600000;
    limits.LeftStallMs = 500;
    const std::unique_ptr<Watched> left = Start(stalled, limits);
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return left->Fetch && left->Fetch->ReceivedBytes() > 0; }, Deadline));
    left->Fetch->Leave();
    ASSERT_TRUE(WaitFor(*left));
    EXPECT_EQ(left->Result->Detail,
              QStringLiteral("it had stopped arriving when another photo was shown"));
    EXPECT_TRUE(FilesBelow(folder.path()).isEmpty());
}

TEST_F(PhotoFetcherTest, CancelAndTheViewsEndFinishEveryFetchWithAReason) {
    site.Add("/held.png", FixtureSite::Page{PngBytes, 200, 0, true, "image/png"});
    Load("/page");
    const std::unique_ptr<Watched> cancelled = Start(OtherOrigin("/held.png"));
    cancelled->Fetch->Cancel();
    // Never inside the call.
    EXPECT_FALSE(cancelled->Result);
    ASSERT_TRUE(WaitFor(*cancelled));
    EXPECT_EQ(cancelled->Result->Failure, PhotoFailure::FetchFailed);
    EXPECT_EQ(cancelled->Result->Detail, QStringLiteral("cancelled"));

    const std::unique_ptr<Watched> pending = Start(OtherOrigin("/held.png"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.Hits("/held.png") >= 1; }, Deadline));
    view.reset();
    ASSERT_TRUE(WaitFor(*pending));
    EXPECT_EQ(pending->Result->Failure, PhotoFailure::FetchFailed);
    EXPECT_EQ(pending->Result->Detail, QStringLiteral("the browser view was closed"));
    site.Release();
    EXPECT_TRUE(FilesBelow(folder.path()).isEmpty());
    // Later fetches fail at once.
    EXPECT_EQ(Fetch(site.Url("/photo.png")).Failure, PhotoFailure::FetchFailed);
}

TEST_F(PhotoFetcherTest, FetchesBeyondTheLimitWaitTheirTurnAndAQueuedOneCanBeCancelled) {
    site.Add("/held.png", FixtureSite::Page{PngBytes, 200, 0, true, "image/png"});
    Load("/page");
    PhotoFetcher single(*profile, view->Page(), nullptr, 1);
    const std::unique_ptr<Watched> first = Start(OtherOrigin("/held.png"), {}, &single);
    const std::unique_ptr<Watched> second = Start(site.Url("/photo.png"), {}, &single);
    const std::unique_ptr<Watched> third = Start(site.Url("/photo.png"), {}, &single);
    EXPECT_EQ(single.Running(), 1);
    EXPECT_EQ(single.Queued(), 2);
    EXPECT_EQ(second->Fetch->CurrentState(), PhotoFetch::State::Queued);
    third->Fetch->Cancel();
    ASSERT_TRUE(WaitFor(*third));
    EXPECT_EQ(third->Result->Detail, QStringLiteral("cancelled"));
    EXPECT_FALSE(second->Result);
    EXPECT_EQ(single.Queued(), 1);

    site.Release();
    ASSERT_TRUE(WaitFor(*first));
    ASSERT_TRUE(WaitFor(*second));
    EXPECT_FALSE(first->Result->Failure) << first->Result->Detail.toStdString();
    EXPECT_FALSE(second->Result->Failure) << second->Result->Detail.toStdString();
    EXPECT_EQ(Contents(second->Result->FilePath).toStdString(), PngBytes);
}

TEST_F(PhotoFetcherTest, WithoutAnEnginePageEveryFetchFailsLater) {
    PhotoFetcher none;
    std::optional<PhotoFetchResult> answer;
    PhotoFetch* fetch =
        none.Start({QUrl(QString::fromStdString(site.Url("/photo.png"))), folder.path(), {}});
    QObject::connect(fetch, &PhotoFetch::Finished,
                     [&answer](const PhotoFetchResult& result) { answer = result; });
    // Never inside the call: the caller may not be ready for the answer yet.
    EXPECT_FALSE(answer.has_value());
    ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, Deadline));
    EXPECT_EQ(answer->Failure, PhotoFailure::FetchFailed);
}

}  // namespace
}  // namespace kpw::test
