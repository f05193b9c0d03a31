// How much the hidden view's preload saves: the time from a step to the
// visible view's document complete when the page had been fetched ahead,
// against a jump to a page nobody fetched, in the real window against the
// demo site with a latency on every answer. A third kind steps on at once
// after a jump, before the hidden view is done with the neighbour. The kinds
// alternate, so all see the same machine load.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {
namespace {

using bench::Median;

struct BenchOptions {
    int Steps = 15;
    int LatencyMs = 150;
    std::vector<int> Modes = {1, 2};
    int Rounds = 3;
    int StartUps = 3;
};

BenchOptions ParseOptions() {
    BenchOptions options;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        const QString value = argument.section(QLatin1Char('='), 1);
        if (argument.startsWith(QLatin1String("--steps="))) {
            options.Steps = std::max(1, value.toInt());
        } else if (argument.startsWith(QLatin1String("--latency-ms="))) {
            options.LatencyMs = std::clamp(value.toInt(), 0, 10000);
        } else if (argument.startsWith(QLatin1String("--rounds="))) {
            options.Rounds = std::max(1, value.toInt());
        } else if (argument.startsWith(QLatin1String("--start-ups="))) {
            options.StartUps = std::max(1, value.toInt());
        } else if (argument.startsWith(QLatin1String("--modes="))) {
            options.Modes.clear();
            for (const QString& mode : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
                if (mode.toInt() == 1 || mode.toInt() == 2) options.Modes.push_back(mode.toInt());
        }
    }
    return options;
}

std::string PagePath(int mode, int index) {
    return mode == 1 ? "/photos/medium/" + std::to_string(index) + ".jpg"
                     : "/photo/" + std::to_string(index);
}

int RequestCount(const DemoSite& site, const std::string& line) {
    const std::vector<std::string> lines = site.LogLines();
    return static_cast<int>(std::count(lines.begin(), lines.end(), line));
}

void PrintRow(const char* name, const std::vector<double>& ms) {
    const auto [low, high] = std::minmax_element(ms.begin(), ms.end());
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
    std::printf("  %-14s median %8.1f ms   mean %8.1f   min %8.1f   max %8.1f\n", name, Median(ms),
                mean, *low, *high);
}

class SteppingRun {
public:
    SteppingRun(int mode, const BenchOptions& options, bool withArchive = true)
        : mode_(mode), withArchive_(withArchive), site_(SiteOptions(options)) {}

    void Run(int steps) {
        constexpr int start = 1000;
        program_.Start({.BaseURL = site_.BaseURL(),
                        .StaticBaseURL = site_.StaticBaseURL(),
                        .URLIndex = mode_,
                        .PhotoIndex = start,
                        // Digits never commit by themselves; Enter does, at once.
                        .NavigateDelayTime = 5000,
                        .WithoutArchive = !withArchive_});
        ASSERT_TRUE(program_.WaitForSettledLoad(0));
        ASSERT_NO_FATAL_FAILURE(AwaitPreload(start + 1));
        int current = start;
        for (int i = 0; i < steps; ++i) {
            // The next index, which the hidden view has fetched.
            ++current;
            const int requestsBefore = Requests(current);
            ASSERT_NO_FATAL_FAILURE(Step(current, preloaded_));
            if (Requests(current) == requestsBefore) ++servedFromCache_;
            ASSERT_NO_FATAL_FAILURE(AwaitPreload(current + 1));
            // An index far from everything fetched so far.
            current = 100000 + 9973 * (i + 1);
            ASSERT_NO_FATAL_FAILURE(Step(current, cold_));
            // The next one at once, as a quick user would, while the hidden
            // view is still busy with it.
            ++current;
            ASSERT_NO_FATAL_FAILURE(Step(current, quick_));
            ASSERT_NO_FATAL_FAILURE(AwaitPreload(current + 1));
        }
    }

    const std::vector<double>& Preloaded() const { return preloaded_; }
    const std::vector<double>& NotPreloaded() const { return cold_; }

    void Report(int latencyMs) const {
        std::printf("\nmode %d (%s), latency %d ms, %zu steps of each kind\n", mode_,
                    mode_ == 1 ? "photo only" : "information page", latencyMs, cold_.size());
        PrintRow("preloaded", preloaded_);
        PrintRow("not preloaded", cold_);
        PrintRow("at once after", quick_);
        std::printf("  preloaded steps the visible view took from the cache: %d of %zu\n",
                    servedFromCache_, preloaded_.size());
        std::printf("  requests the site answered per preloaded page: %.2f\n",
                    static_cast<double>(preloadRequests_) / preloads_);
        std::printf("  ratio of medians, not preloaded / preloaded: %.1f\n",
                    Median(cold_) / Median(preloaded_));
        std::printf("  ratio of medians, at once after a jump / preloaded: %.1f\n",
                    Median(quick_) / Median(preloaded_));
    }

private:
    static DemoSite::Options SiteOptions(const BenchOptions& options) {
        DemoSite::Options site;
        site.latencyMs = options.LatencyMs;
        return site;
    }

    std::string Url(int index) const { return site_.BaseURL() + PagePath(mode_, index); }

    int Requests(int index) const {
        return RequestCount(site_, MainHostRequest(PagePath(mode_, index), 200));
    }

    // The step sends the hidden view to the neighbour; the next step is
    // timed only once that load has ended, so it never waits for a fetch
    // still under way.
    void AwaitPreload(int index) {
        ASSERT_TRUE(program_.WaitForHiddenDocument(Url(index), stepStarted_))
            << "the hidden view reported " << HiddenReport() << "; the site answered "
            << site_.LogLines().size() << " requests, the last "
            << (site_.LogLines().empty() ? "" : site_.LogLines().back());
        preloadRequests_ += Requests(index);
        ++preloads_;
    }

    // The hidden view's documents since the step began, with their addresses.
    std::string HiddenReport() const {
        std::string report;
        for (const ProgramDriver::Document& document : program_.HiddenDocuments())
            if (document.Arrived > stepStarted_) report += " " + document.Location;
        return report.empty() ? " nothing since the step" : report;
    }

    // Types the index, then times from Enter to the document complete.
    void Step(int index, std::vector<double>& samples) {
        ASSERT_TRUE(program_.TypeIntoIndexField(QString::number(index)));
        const std::size_t before = program_.VisibleDocuments().size();
        const auto started = std::chrono::steady_clock::now();
        stepStarted_ = started;
        ASSERT_TRUE(program_.PressKeyInIndexField(Qt::Key_Return));
        ASSERT_TRUE(program_.WaitForSettledLoad(before));
        ASSERT_EQ(program_.VisibleDocuments().size(), before + 1);
        const ProgramDriver::Document& shown = program_.VisibleDocuments().back();
        ASSERT_EQ(shown.Location, Url(index));
        samples.push_back(
            std::chrono::duration<double, std::milli>(shown.Arrived - started).count());
    }

    int mode_;
    bool withArchive_;
    DemoSite site_;
    ProgramDriver program_;
    std::vector<double> preloaded_;
    std::vector<double> cold_;
    std::vector<double> quick_;
    std::chrono::steady_clock::time_point stepStarted_ = std::chrono::steady_clock::now();
    int servedFromCache_ = 0;
    int preloadRequests_ = 0;
    int preloads_ = 0;
};

// Every photo shown is noted seen in the archive: the steps with it against
// the same steps with no archive, in turn round by round.
TEST(SteppingBench, StepsWithAndWithoutTheArchive) {
    const BenchOptions options = ParseOptions();
    std::vector<double> with;
    std::vector<double> without;
    for (int round = 0; round < options.Rounds; ++round) {
        for (const bool archive : {round % 2 == 0, round % 2 != 0}) {
            SteppingRun run(1, options, archive);
            ASSERT_NO_FATAL_FAILURE(run.Run(options.Steps));
            std::vector<double>& samples = archive ? with : without;
            for (const std::vector<double>* kind : {&run.Preloaded(), &run.NotPreloaded()})
                samples.insert(samples.end(), kind->begin(), kind->end());
        }
    }
    std::printf("\nsteps with the archive against without, %zu steps each\n", with.size());
    PrintRow("with the archive", with);
    PrintRow("without", without);
    std::printf("  ratio of medians, with / without: %.2f\n", Median(with) / Median(without));
}

TEST(SteppingBench, PreloadedAgainstNotPreloadedSteps) {
    const BenchOptions options = ParseOptions();
    for (int mode : options.Modes) {
        SteppingRun run(mode, options);
        ASSERT_NO_FATAL_FAILURE(run.Run(options.Steps));
        run.Report(options.LatencyMs);
    }
}

// ---- Against the floor: the same loads in a bare engine view

constexpr int ChainStart = 1000;
constexpr int ChainLength = 100;
constexpr auto ProcessDeadline = std::chrono::seconds(60);

std::string Medium(int index) {
    return PagePath(1, index);
}

void Require(bool condition, const std::string& what) {
    if (!condition) throw std::runtime_error(what);
}

// The floor program on a list of addresses; the load times it printed.
std::vector<double> RunFloor(const std::vector<std::string>& urls, bool warm) {
    std::vector<std::string> argv = {KPW_FLOOR_EXE};
    if (warm) argv.push_back("--warm");
    argv.insert(argv.end(), urls.begin(), urls.end());
    bench::Child floor(argv, {{"LC_ALL", "C"}});
    const std::optional<int> status = floor.Wait(ProcessDeadline);
    Require(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0, "the floor program failed");
    std::vector<double> times = bench::FloorLoadTimes(floor.Output());
    Require(times.size() == urls.size(), "the floor program did not load every address");
    return times;
}

struct SkipChain {
    double TotalMs = 0;                 // first request of the chain to the photo after it
    std::vector<double> RequestToNext;  // one skip: a request to the next, at the site
    // The stages of one skip in the program (medians are printed).
    std::vector<double> RequestToFinished, FinishedToContent, ContentToHandled, HandledToRequest;
};

DemoSite::Options ChainSite() {
    DemoSite::Options options;
    options.missing =
        std::to_string(ChainStart + 1) + "-" + std::to_string(ChainStart + ChainLength);
    return options;
}

// The photo requests of a chain at the site, from its first photo on.
std::vector<bench::Clock::time_point> ChainRequests(const bench::SiteLogClock& clock,
                                                    bench::Clock::time_point since) {
    std::vector<bench::Clock::time_point> times;
    for (int index = ChainStart + 1; index <= ChainStart + ChainLength + 1; ++index) {
        const int status = index <= ChainStart + ChainLength ? 404 : 200;
        const std::optional<bench::Clock::time_point> seen =
            clock.FirstSeen(MainHostRequest(Medium(index), status), since);
        Require(seen.has_value(), "no request of photo " + std::to_string(index));
        since = *seen;
        times.push_back(*seen);
    }
    return times;
}

void TakeChainTotals(SkipChain& chain, const std::vector<bench::Clock::time_point>& requests) {
    chain.TotalMs = bench::Milliseconds(requests.back() - requests.front());
    for (size_t i = 1; i < requests.size(); ++i)
        chain.RequestToNext.push_back(bench::Milliseconds(requests[i] - requests[i - 1]));
}

SkipChain FloorSkipChain() {
    DemoSite site(ChainSite());
    bench::SiteLogClock clock(site.LogPath());
    std::vector<std::string> urls;
    for (int index = ChainStart; index <= ChainStart + ChainLength + 1; ++index)
        urls.push_back(site.BaseURL() + Medium(index));
    const bench::Clock::time_point started = bench::Clock::now();
    RunFloor(urls, false);
    SkipChain chain;
    TakeChainTotals(chain, ChainRequests(clock, started));
    return chain;
}

// The user enters the first missing photo after the one before it; the
// program skips all of them by itself.
SkipChain ProgramSkipChain() {
    DemoSite site(ChainSite());
    bench::SiteLogClock clock(site.LogPath());
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .URLIndex = 1,
                   .PhotoIndex = ChainStart,
                   .MaxSkippedURLCount = ChainLength,
                   .NavigateDelayTime = 5000});
    Require(program.WaitForSettledLoad(0), "the first page did not load");
    Require(program.WaitForHiddenDocument(site.BaseURL() + Medium(ChainStart + 1)),
            "the hidden view did not fetch the next photo");

    std::vector<bench::Clock::time_point> finished, handled;
    QObject::connect(&program.Visible(), &QtBrowserView::DownloadComplete,
                     [&] { finished.push_back(bench::Clock::now()); });
    // After the window's own handler: the page has been analysed.
    QObject::connect(&program.Visible(), &QtBrowserView::DocumentComplete, &program.Form(),
                     [&] { handled.push_back(bench::Clock::now()); });
    const std::size_t before = program.VisibleDocuments().size();
    Require(program.TypeIntoIndexField(QString::number(ChainStart + 1)), "no focus in the field");
    const bench::Clock::time_point entered = bench::Clock::now();
    Require(program.PressKeyInIndexField(Qt::Key_Return), "no focus in the field");
    Require(program.WaitForSettledLoad(before), "the skip chain did not end");
    const std::string last = site.BaseURL() + Medium(ChainStart + ChainLength + 1);
    Require(program.VisibleDocuments().back().Location == last, "the chain ended elsewhere");
    Require(program.Logic().State().SkippedURLCount == ChainLength, "not every photo was skipped");

    SkipChain chain;
    const std::vector<bench::Clock::time_point> requests = ChainRequests(clock, entered);
    TakeChainTotals(chain, requests);
    Require(finished.size() >= static_cast<size_t>(ChainLength) + 1 &&
                handled.size() == finished.size() &&
                program.VisibleDocuments().size() - before == finished.size(),
            "a load of the chain was not reported");
    for (int i = 0; i < ChainLength; ++i) {
        const bench::Clock::time_point arrived = program.VisibleDocuments()[before + i].Arrived;
        chain.RequestToFinished.push_back(bench::Milliseconds(finished[i] - requests[i]));
        chain.FinishedToContent.push_back(bench::Milliseconds(arrived - finished[i]));
        chain.ContentToHandled.push_back(bench::Milliseconds(handled[i] - arrived));
        chain.HandledToRequest.push_back(bench::Milliseconds(requests[i + 1] - handled[i]));
    }
    return chain;
}

// Process start to the first request the site answers.
double StartUpMs(bool floor) {
    DemoSite site;
    bench::SiteLogClock clock(site.LogPath());
    QTemporaryDir dir;
    Require(dir.isValid(), "no temporary folder");
    std::vector<std::string> argv = {KPW_FLOOR_EXE, site.BaseURL() + Medium(ChainStart)};
    if (!floor) {
        argv = {KPW_EXE};
        const QString folder = dir.filePath(QStringLiteral("Zentrafold/kelvaro-photo-wizard"));
        QDir().mkpath(folder);
        QFile ini(folder + QStringLiteral("/kelvaro-photo-wizard.ini"));
        Require(ini.open(QIODevice::WriteOnly), "cannot write the settings file");
        ini.write(QByteArray::fromStdString(ProgramIniText({.BaseURL = site.BaseURL(),
                                                            .StaticBaseURL = site.StaticBaseURL(),
                                                            .PhotoIndex = ChainStart})));
    }
    bench::Child child(argv, {{"APPDATA", dir.path().toStdString()}, {"LC_ALL", "C"}});
    const bench::Clock::time_point deadline = bench::Clock::now() + ProcessDeadline;
    while (clock.Lines().empty() && bench::Clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const std::vector<bench::SiteLogClock::Line> lines = clock.Lines();
    Require(!lines.empty(), "the site saw no request");
    // Both would go on loading; the program ends as at the end of a session.
    child.Signal(SIGTERM);
    Require(child.Wait(ProcessDeadline).has_value(), "the process did not end");
    return bench::Milliseconds(lines.front().Seen - child.Started());
}

double StartUpMedian(bool floor, int count) {
    std::vector<double> times;
    for (int i = 0; i < count; ++i) times.push_back(StartUpMs(floor));
    return Median(times);
}

// The far jumps and the preloaded steps of the floor: the view loads
// addresses nobody fetched, then addresses the hidden page fetched first.
struct FloorSteps {
    std::vector<double> Cold, Warm;
};

FloorSteps FloorStepping(const BenchOptions& options) {
    DemoSite::Options siteOptions;
    siteOptions.latencyMs = options.LatencyMs;
    DemoSite site(siteOptions);
    FloorSteps steps;
    for (bool warm : {false, true}) {
        // The first load brings up the renderer; it is not counted.
        std::vector<std::string> urls = {site.BaseURL() + Medium(ChainStart)};
        for (int i = 1; i <= options.Steps; ++i)
            urls.push_back(site.BaseURL() + Medium(warm ? 2 * ChainStart + i : 300000 + 7919 * i));
        std::vector<double> times = RunFloor(urls, warm);
        (warm ? steps.Warm : steps.Cold).assign(times.begin() + 1, times.end());
    }
    return steps;
}

struct Measure {
    const char* Name;
    const char* Unit;
    double Goal;
    std::vector<double> Program, Floor;
};

void PrintMedians(const char* name, const std::vector<double>& values) {
    std::printf("    %-34s %8.2f ms\n", name, Median(values));
}

TEST(SteppingBench, AgainstTheBareEngineView) {
    const BenchOptions options = ParseOptions();
    Measure chain{"skip chain of 100 missing photos", "s", 1.2, {}, {}};
    Measure skip{"one skip, request to next request", "ms", 0, {}, {}};
    Measure far{"far jump, latency", "ms", 1.05, {}, {}};
    Measure preloaded{"preloaded step, latency", "ms", 1.1, {}, {}};
    Measure startUp{"process start to first request", "ms", 1.1, {}, {}};
    SkipChain stages;
    for (int round = 1; round <= options.Rounds; ++round) {
        // Who goes first changes from round to round.
        const bool floorFirst = round % 2 == 1;
        for (bool floor : {floorFirst, !floorFirst}) {
            const SkipChain run = floor ? FloorSkipChain() : ProgramSkipChain();
            (floor ? chain.Floor : chain.Program).push_back(run.TotalMs / 1000);
            (floor ? skip.Floor : skip.Program).push_back(Median(run.RequestToNext));
            if (!floor) {
                for (auto [from, to] :
                     {std::pair{&run.RequestToFinished, &stages.RequestToFinished},
                      {&run.FinishedToContent, &stages.FinishedToContent},
                      {&run.ContentToHandled, &stages.ContentToHandled},
                      {&run.HandledToRequest, &stages.HandledToRequest}})
                    to->insert(to->end(), from->begin(), from->end());
            }
        }
        for (bool floor : {floorFirst, !floorFirst}) {
            if (floor) {
                const FloorSteps steps = FloorStepping(options);
                far.Floor.push_back(Median(steps.Cold));
                preloaded.Floor.push_back(Median(steps.Warm));
            } else {
                SteppingRun run(1, options);
                ASSERT_NO_FATAL_FAILURE(run.Run(options.Steps));
                far.Program.push_back(Median(run.NotPreloaded()));
                preloaded.Program.push_back(Median(run.Preloaded()));
            }
        }
        for (bool floor : {floorFirst, !floorFirst})
            (floor ? startUp.Floor : startUp.Program)
                .push_back(StartUpMedian(floor, options.StartUps));
        std::printf(
            "round %d: chain %.2f s / %.2f s, far %.1f / %.1f ms, preloaded %.1f / %.1f "
            "ms, start %.0f / %.0f ms (program / floor)\n",
            round, chain.Program.back(), chain.Floor.back(), far.Program.back(), far.Floor.back(),
            preloaded.Program.back(), preloaded.Floor.back(), startUp.Program.back(),
            startUp.Floor.back());
        std::fflush(stdout);
    }

    std::printf(
        "\nmedians of %d rounds (photo only; latency %d ms for the steps, %d steps of each "
        "kind a round, %d starts a round)\n",
        options.Rounds, options.LatencyMs, options.Steps, options.StartUps);
    std::printf("  %-36s %10s %10s %7s %6s\n", "what", "program", "floor", "ratio", "goal");
    for (const Measure* measure : {&chain, &skip, &far, &preloaded, &startUp}) {
        std::vector<double> ratios;
        for (size_t i = 0; i < measure->Program.size(); ++i)
            ratios.push_back(measure->Program[i] / measure->Floor[i]);
        const double ratio = Median(ratios);
        char goal[32] = "";
        if (measure->Goal > 0)
            std::snprintf(goal, sizeof goal, "%.2f %s", measure->Goal,
                          ratio <= measure->Goal ? "met" : "missed");
        std::printf("  %-36s %7.*f %-2s %7.*f %-2s %7.2f  %s\n", measure->Name,
                    measure->Unit[0] == 's' ? 2 : 1, Median(measure->Program), measure->Unit,
                    measure->Unit[0] == 's' ? 2 : 1, Median(measure->Floor), measure->Unit, ratio,
                    goal);
    }
    std::printf("\n  one skip in the program, medians of every skip of every round:\n");
    PrintMedians("request at the site to load end", stages.RequestToFinished);
    PrintMedians("load end to page content", stages.FinishedToContent);
    PrintMedians("content to the handler's return", stages.ContentToHandled);
    PrintMedians("handler's return to next request", stages.HandledToRequest);
}

// Only the program's skip chain, --rounds times: what to run under a
// profiler, without the floor and the other loads around it.
TEST(SteppingBench, ProgramSkipChainAlone) {
    const BenchOptions options = ParseOptions();
    for (int round = 1; round <= options.Rounds; ++round) {
        const SkipChain run = ProgramSkipChain();
        std::printf(
            "chain %.2f s: one skip %.1f ms; site to load end %.1f, to content %.1f, to "
            "handler's return %.1f, to next request %.1f ms\n",
            run.TotalMs / 1000, Median(run.RequestToNext), Median(run.RequestToFinished),
            Median(run.FinishedToContent), Median(run.ContentToHandled),
            Median(run.HandledToRequest));
    }
}

}  // namespace
}  // namespace kpw
