// Keeping ranges of photos from the demo site: the fetcher, the files and
// the archive as the program uses them.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTemporaryDir>
#include <QTest>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DemoSite.h"
#include "app/KeepFiles.h"
#include "app/QtClock.h"
#include "archive/SqliteArchive.h"
#include "browsing/RangeKeeper.h"
#include "webengine/RangeFetcher.h"

namespace kpw {
namespace {

constexpr int Deadline = 60000;

// The bytes the site serves at an address, fetched on their own.
QByteArray Download(const std::string& url) {
    QNetworkAccessManager network;
    QNetworkReply* reply = network.get(QNetworkRequest(QUrl(QString::fromStdString(url))));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray bytes = reply->readAll();
    delete reply;
    return bytes;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RangeKeeping : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder.isValid());
        archive =
            std::move(SqliteArchive::Open(folder.filePath("kept.archive").toStdString()).Archive);
        ASSERT_TRUE(archive);
        QObject::connect(
            &fetcher, &RangeFetcher::Answered,
            [this](quint64 id, const KeepAnswer& answer) { keeper->Answered(id, answer); });
        keeper->SetArchive(archive.get());
        keeper->Ended = [this](const RangeReport& report) { reports.push_back(report); };
        ASSERT_TRUE(QDir().mkpath(Photos()));
    }
    QString Photos() const { return folder.filePath("photos"); }
    RangeOrder Order(const DemoSite& site, int32_t from, int32_t to) const {
        return {.From = from,
                .To = to,
                .Size = 2,
                .PhotoTemplate = site.BaseURL() + "/photos/small/*.jpg",
                .PhotoKey = site.BaseURL() + "/photo/*",
                .Folder = Photos().toStdString(),
                .SkipKept = true};
    }
    // Runs the order to its end.
    RangeReport Keep(const RangeOrder& order) {
        const size_t before = reports.size();
        keeper->Start(order);
        if (!QTest::qWaitFor([&] { return reports.size() > before; }, Deadline)) {
            ADD_FAILURE() << "the range did not end";
            return {};
        }
        return reports.back();
    }
    QStringList Names() const {
        return QDir(Photos()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
    }

    QTemporaryDir folder;
    std::unique_ptr<SqliteArchive> archive;
    Settings settings;
    QtClock clock{[this] { scheduler.OnWaitTimer(); }};
    RequestScheduler scheduler{settings, clock};
    PhotoVerdicts verdicts{settings, clock};
    RangeFetcher fetcher;
    KeepFiles files;
    std::unique_ptr<RangeKeeper> keeper =
        std::make_unique<RangeKeeper>(scheduler, verdicts, clock, fetcher, files);
    std::vector<RangeReport> reports;
};

TEST_F(RangeKeeping, EveryPresentPhotoIsKeptWholeAndTheRestJudgedAsWhenStepping) {
    DemoSite site({.missing = "5,17-19", .busy = "8,9", .stall = "12"});
    FetchLimits limits;
    limits.StallTimeoutMs = 1500;
    fetcher.SetLimits(limits);
    const RangeReport report = Keep(Order(site, 1, 24));

    EXPECT_EQ(report.End, RangeEnd::Finished);
    EXPECT_EQ(report.Progress.Missing, 4);
    EXPECT_EQ(report.Progress.Failed, 1);  // the photo whose bytes never end
    EXPECT_EQ(report.Progress.Kept, 19);
    EXPECT_EQ(Names().size(), 19);
    // The busy photos were asked twice and kept, never counted missing.
    EXPECT_TRUE(QFile::exists(Photos() + "/8.jpg"));
    EXPECT_TRUE(QFile::exists(Photos() + "/9.jpg"));
    EXPECT_FALSE(QFile::exists(Photos() + "/5.jpg"));
    EXPECT_FALSE(QFile::exists(Photos() + "/12.jpg"));
    EXPECT_TRUE(verdicts.IsKnownMissing(Order(site, 1, 1).PhotoTemplate, 17));
    for (const int32_t index : {1, 8, 24}) {
        const QString path = Photos() + "/" + QString::number(index) + ".jpg";
        const QByteArray bytes = FileBytes(path);
        EXPECT_EQ(bytes,
                  Download(site.BaseURL() + "/photos/small/" + std::to_string(index) + ".jpg"));
        const ArchiveEntry entry = archive->Lookup(Order(site, 1, 1).PhotoTemplate, index);
        ASSERT_TRUE(entry.Kept) << index;
        EXPECT_EQ(entry.Kept->Path, path.toStdString());
        EXPECT_EQ(entry.Kept->Bytes, bytes.size());
        EXPECT_EQ(
            entry.Kept->Sha256Hex,
            QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().toStdString());
    }
    EXPECT_TRUE(archive->Lookup(Order(site, 1, 1).PhotoKey, 18).Missing);

    // A second run asks only for what is not kept yet.
    const size_t requestsBefore = site.LogLines().size();
    const RangeReport again = Keep(Order(site, 1, 26));
    EXPECT_EQ(again.Progress.KeptBefore, 19);
    EXPECT_EQ(again.Progress.Kept, 2);
    // 12 stalls again, 25 and 26 are new; the missing ones are known. (A
    // stalled answer is logged when it ends, if ever.)
    const std::vector<std::string> log = site.LogLines();
    std::vector<std::string> asked(log.begin() + static_cast<std::ptrdiff_t>(requestsBefore),
                                   log.end());
    for (const std::string& line : asked) {
        const bool expected = line.find("/small/12.jpg") != std::string::npos ||
                              line.find("/small/25.jpg") != std::string::npos ||
                              line.find("/small/26.jpg") != std::string::npos;
        EXPECT_TRUE(expected) << line;
    }
    EXPECT_GE(asked.size(), 2u);
}

TEST_F(RangeKeeping, AFolderThatGoesAwayStopsTheRunAndLeavesNothingHalfWritten) {
    DemoSite site({.latencyMs = 200});
    keeper->Start(Order(site, 1, 200));
    ASSERT_TRUE(QTest::qWaitFor([&] { return Names().size() >= 3; }, Deadline));
    ASSERT_TRUE(QDir(Photos()).removeRecursively());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !reports.empty(); }, Deadline));
    EXPECT_EQ(reports[0].End, RangeEnd::FolderGone);
    EXPECT_FALSE(keeper->Running());
    EXPECT_EQ(fetcher.Pending(), 0);
    EXPECT_FALSE(QDir(Photos()).exists());
}

TEST_F(RangeKeeping, ASiteThatIsDownEndsTheRunWithItsReason) {
    std::string base;
    {
        DemoSite site;
        base = site.BaseURL();
    }
    RangeOrder order{.From = 1,
                     .To = 50,
                     .PhotoTemplate = base + "/photos/small/*.jpg",
                     .Folder = Photos().toStdString()};
    const RangeReport report = Keep(order);
    EXPECT_EQ(report.End, RangeEnd::SiteUnreachable);
    EXPECT_NE(report.Detail.find("refused"), std::string::npos) << report.Detail;
    EXPECT_TRUE(Names().isEmpty());
}

TEST_F(RangeKeeping, TemporaryFilesOfARunCutShortAreRemovedAndCancelLeavesNone) {
    DemoSite site({.latencyMs = 300});
    // Left by a program that was killed: a process id that runs no more.
    const QString stale = Photos() + "/" + RangeFetcher::TempFilePrefix() + "999999999-3.part";
    QFile leftover(stale);
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.write("half a photo");
    leftover.close();
    keeper->Start(Order(site, 1, 30));
    EXPECT_FALSE(QFile::exists(stale));
    ASSERT_TRUE(QTest::qWaitFor([&] { return fetcher.Pending() == 6; }, Deadline));
    keeper->Cancel();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].End, RangeEnd::Cancelled);
    EXPECT_EQ(fetcher.Pending(), 0);
    for (const QString& name : Names()) EXPECT_FALSE(name.startsWith('.')) << name.toStdString();
}

}  // namespace
}  // namespace kpw
