// How much the hidden view's preload saves: the time from a step to the
// visible view's document complete when the page had been fetched ahead,
// against a jump to a page nobody fetched, in the real window against the
// demo site with a latency on every answer. A third kind steps on at once
// after a jump, before the hidden view is done with the neighbour. The kinds
// alternate, so all see the same machine load.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QStringList>
#include <algorithm>
#include <cstdio>
#include <numeric>
#include <string>
#include <vector>

#include "ProgramDriver.h"

namespace kpw {
namespace {

struct BenchOptions {
    int Steps = 15;
    int LatencyMs = 150;
    std::vector<int> Modes = {1, 2};
};

BenchOptions ParseOptions() {
    BenchOptions options;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        const QString value = argument.section(QLatin1Char('='), 1);
        if (argument.startsWith(QLatin1String("--steps="))) {
            options.Steps = std::max(1, value.toInt());
        } else if (argument.startsWith(QLatin1String("--latency-ms="))) {
            options.LatencyMs = std::clamp(value.toInt(), 0, 10000);
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

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

void PrintRow(const char* name, const std::vector<double>& ms) {
    const auto [low, high] = std::minmax_element(ms.begin(), ms.end());
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
    std::printf("  %-14s median %8.1f ms   mean %8.1f   min %8.1f   max %8.1f\n", name, Median(ms),
                mean, *low, *high);
}

class SteppingRun {
public:
    SteppingRun(int mode, const BenchOptions& options) : mode_(mode), site_(SiteOptions(options)) {}

    void Run(int steps) {
        constexpr int start = 1000;
        program_.Start({.BaseURL = site_.BaseURL(),
                        .StaticBaseURL = site_.StaticBaseURL(),
                        .URLIndex = mode_,
                        .PhotoIndex = start,
                        // Digits never commit by themselves; Enter does, at once.
                        .NavigateDelayTime = 5000});
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
        ASSERT_TRUE(program_.WaitForHiddenDocument(Url(index), stepStarted_));
        preloadRequests_ += Requests(index);
        ++preloads_;
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

TEST(SteppingBench, PreloadedAgainstNotPreloadedSteps) {
    const BenchOptions options = ParseOptions();
    for (int mode : options.Modes) {
        SteppingRun run(mode, options);
        ASSERT_NO_FATAL_FAILURE(run.Run(options.Steps));
        run.Report(options.LatencyMs);
    }
}

}  // namespace
}  // namespace kpw
