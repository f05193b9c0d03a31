// Keeping a range of photos from the demo site, each figure set against a
// floor measured in the same run:
// - 500 photos of 200 KB, no least interval: the program's range keeping
//   against `curl --parallel --parallel-max 6` fetching the same addresses
//   into files, in turn round by round;
// - with a least interval set, the gaps between the requests as sent;
// - a run of 200 photos killed 20 times at random moments, then run again
//   with "skip photos already kept": every present photo kept exactly once,
//   byte for byte, and the archive readable after every kill.
// Run by hand: kpw-bench-range [--photos=500] [--rounds=3] [--kills=20]
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "DemoSite.h"
#include "app/KeepFiles.h"
#include "app/QtClock.h"
#include "archive/SqliteArchive.h"
#include "browsing/RangeKeeper.h"
#include "webengine/RangeFetcher.h"

namespace kpw {
namespace {

constexpr int PhotoKilobytes = 200;

using bench::Median;
using bench::Require;

int OptionValue(const char* name, int fallback) {
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments())
        arguments.push_back(argument.toStdString());
    return bench::OptionValue(arguments, name, fallback);
}

// Records when each photo was asked for, then fetches it.
class TimedFetches : public KeepFetchPort {
public:
    TimedFetches(RangeFetcher& fetcher, const ClockPort& clock)
        : fetcher_(fetcher), clock_(clock) {}
    void Fetch(uint64_t id, const std::string& url, const std::string& folder) override {
        sentAtMs.push_back(clock_.NowMs());
        fetcher_.Fetch(id, url, folder);
    }
    void Cancel(uint64_t id) override { fetcher_.Cancel(id); }
    std::vector<int64_t> sentAtMs;

private:
    RangeFetcher& fetcher_;
    const ClockPort& clock_;
};

// One range kept as the program keeps it, to its end.
struct KeepRun {
    RangeReport Report;
    std::vector<int64_t> SentAtMs;
};

KeepRun Keep(const std::string& photoTemplate, int32_t from, int32_t to, const QString& folder,
             const QString& archivePath, int minIntervalMs = 0) {
    OpenResult opened = SqliteArchive::Open(archivePath.toStdString());
    Require(opened.Archive != nullptr, "the archive did not open: " + opened.Detail);
    Settings settings;
    settings.MinRequestInterval = minIntervalMs;
    std::unique_ptr<RequestScheduler> scheduler;
    QtClock clock([&] { scheduler->OnWaitTimer(); });
    scheduler = std::make_unique<RequestScheduler>(settings, clock);
    PhotoVerdicts verdicts(settings, clock);
    RangeFetcher fetcher;
    TimedFetches fetches(fetcher, clock);
    KeepFiles files;
    RangeKeeper keeper(*scheduler, verdicts, clock, fetches, files);
    keeper.SetArchive(opened.Archive.get());
    std::optional<RangeReport> report;
    keeper.Ended = [&](const RangeReport& ended) { report = ended; };
    QObject::connect(&fetcher, &RangeFetcher::Answered,
                     [&](quint64 id, const KeepAnswer& answer) { keeper.Answered(id, answer); });
    keeper.Start({.From = from,
                  .To = to,
                  .PhotoTemplate = photoTemplate,
                  .Folder = folder.toStdString(),
                  .SkipKept = true});
    Require(QTest::qWaitFor([&] { return report.has_value(); }, 600000), "the range never ended");
    return {*report, fetches.sentAtMs};
}

std::string PhotoURL(const std::string& photoTemplate, int32_t index) {
    std::string url = photoTemplate;
    url.replace(url.find('*'), 1, std::to_string(index));
    return url;
}

// curl fetching the same addresses, six at a time, into files.
double CurlMs(const std::string& photoTemplate, int32_t count, const QString& folder) {
    QFile config(folder + "/curl.config");
    Require(config.open(QIODevice::WriteOnly), "no curl config");
    for (int32_t i = 1; i <= count; ++i)
        config.write(QStringLiteral("url = \"%1\"\noutput = \"%2/%3.jpg\"\n")
                         .arg(QString::fromStdString(PhotoURL(photoTemplate, i)), folder)
                         .arg(i)
                         .toUtf8());
    config.close();
    QElapsedTimer timer;
    timer.start();
    const int status = QProcess::execute(
        QStringLiteral("curl"),
        {QStringLiteral("--parallel"), QStringLiteral("--parallel-max"), QStringLiteral("6"),
         QStringLiteral("-s"), QStringLiteral("-K"), config.fileName()});
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6;
    Require(status == 0, "curl failed with " + std::to_string(status));
    QFile::remove(config.fileName());
    return ms;
}

QByteArray Bytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void PaceAgainstCurl(const std::string& photoTemplate, int32_t photos, int rounds) {
    std::vector<double> curl;
    std::vector<double> keep;
    for (int round = 0; round < rounds; ++round) {
        // In turn, so neither always runs on a warm machine.
        for (int which = 0; which < 2; ++which) {
            QTemporaryDir dir;
            const bool curlFirst = round % 2 == 0;
            if ((which == 0) == curlFirst) {
                curl.push_back(CurlMs(photoTemplate, photos, dir.path()));
            } else {
                QElapsedTimer timer;
                timer.start();
                const KeepRun run =
                    Keep(photoTemplate, 1, photos, dir.path(), dir.filePath(".archive"));
                keep.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
                Require(run.Report.Progress.Kept == photos,
                        "kept " + std::to_string(run.Report.Progress.Kept));
            }
        }
    }
    std::printf(
        "keep %d photos of %d KB: %.0f ms, curl --parallel-max 6: %.0f ms, ratio %.2f "
        "(medians of %d rounds)\n",
        photos, PhotoKilobytes, Median(keep), Median(curl), Median(keep) / Median(curl), rounds);
}

void PaceWithInterval(const std::string& photoTemplate) {
    constexpr int IntervalMs = 100;
    QTemporaryDir dir;
    const KeepRun run =
        Keep(photoTemplate, 1, 30, dir.path(), dir.filePath(".archive"), IntervalMs);
    std::vector<double> gaps;
    for (size_t i = 1; i < run.SentAtMs.size(); ++i)
        gaps.push_back(static_cast<double>(run.SentAtMs[i] - run.SentAtMs[i - 1]));
    std::printf("least interval %d ms: %zu requests, gaps as sent min %.0f ms, median %.0f ms\n",
                IntervalMs, run.SentAtMs.size(), *std::min_element(gaps.begin(), gaps.end()),
                Median(gaps));
}

// Child mode: keeps the range and ends; the parent kills it on the way.
int KeepAsChild(const QStringList& args) {
    const KeepRun run =
        Keep(args[0].toStdString(), args[1].toInt(), args[2].toInt(), args[3], args[4]);
    return run.Report.End == RangeEnd::Finished ? 0 : 1;
}

void KilledAndResumed(const std::string& photoTemplate, const QString& reference, int kills) {
    constexpr int32_t Photos = 200;
    QTemporaryDir dir;
    const QString folder = dir.filePath("photos");
    const QString archive = dir.filePath("kept.archive");
    QDir().mkpath(folder);
    std::mt19937 random(20261210);
    std::uniform_int_distribution<int> delayMs(50, 500);
    const QStringList args = {QStringLiteral("--child"),
                              QString::fromStdString(photoTemplate),
                              QStringLiteral("1"),
                              QString::number(Photos),
                              folder,
                              archive};
    int killedWhileRunning = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), args);
        Require(child.waitForStarted(), "the child did not start");
        QTest::qWait(delayMs(random));
        if (child.state() == QProcess::Running) {
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
            ++killedWhileRunning;
        }
        child.waitForFinished();
        // The archive opens as it should after every kill.
        const OpenResult opened = SqliteArchive::Open(archive.toStdString());
        Require(opened.Archive && opened.Problem == ArchiveProblem::None,
                "the archive did not open after kill " + std::to_string(kill + 1));
        // Every file with a photo's name is whole.
        for (const QString& name : QDir(folder).entryList(QDir::Files)) {
            Require(Bytes(folder + "/" + name) == Bytes(reference + "/" + name),
                    "a partial or wrong file after a kill: " + name.toStdString());
        }
    }
    QProcess last;
    last.start(QCoreApplication::applicationFilePath(), args);
    Require(last.waitForFinished(600000) && last.exitCode() == 0, "the last run did not finish");
    const QStringList names = QDir(folder).entryList(QDir::Files | QDir::Hidden);
    Require(names.size() == Photos,
            "expected " + std::to_string(Photos) + " files, found " + std::to_string(names.size()));
    for (int32_t i = 1; i <= Photos; ++i) {
        const QString name = QString::number(i) + QStringLiteral(".jpg");
        Require(Bytes(folder + "/" + name) == Bytes(reference + "/" + name),
                "photo " + std::to_string(i) + " is not kept byte for byte");
    }
    const OpenResult opened = SqliteArchive::Open(archive.toStdString());
    Require(opened.Archive != nullptr, "the archive did not open at the end");
    for (int32_t i = 1; i <= Photos; ++i)
        Require(opened.Archive->Lookup(photoTemplate, i).Kept.has_value(),
                "the archive does not know photo " + std::to_string(i));
    std::printf(
        "killed %d times (%d while running), then resumed: %d photos, each once and "
        "byte for byte, the archive readable every time\n",
        kills, killedWhileRunning, Photos);
}

int Run() {
    const int photos = OptionValue("--photos", 500);
    const int rounds = OptionValue("--rounds", 3);
    const int kills = OptionValue("--kills", 20);
    DemoSite site(
        {.large = "1-" + std::to_string(std::max(photos, 200)), .largeKb = PhotoKilobytes});
    const std::string photoTemplate = site.StaticBaseURL() + "/photos/original/*.jpg";
    PaceAgainstCurl(photoTemplate, photos, rounds);
    PaceWithInterval(photoTemplate);
    // Slower answers, so that every kill falls in the middle of a run.
    DemoSite slow({.latencyMs = 100, .large = "1-200", .largeKb = PhotoKilobytes});
    const std::string slowTemplate = slow.StaticBaseURL() + "/photos/original/*.jpg";
    QTemporaryDir reference;
    CurlMs(slowTemplate, 200, reference.path());
    KilledAndResumed(slowTemplate, reference.path(), kills);
    return 0;
}

}  // namespace
}  // namespace kpw

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    try {
        const QStringList args = QCoreApplication::arguments();
        if (args.size() == 7 && args[1] == QLatin1String("--child"))
            return kpw::KeepAsChild(args.mid(2));
        return kpw::Run();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kpw-bench-range: %s\n", error.what());
        return 1;
    }
}
