// What the preload queue saves, in the real window against the demo site with
// a latency on every answer: (a) one step onto a gap of ten missing photos
// once the queue has settled, against one plain preloaded step and against
// the same step without the queue; (b) runs of 40 Up steps at no more than
// ten a second with depth 1 and depth 4: the share of steps the site saw no
// request for, and the median step. Last, the memory of the engine's
// processes after a run with depth 1, 4 and 16.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSpinBox>
#include <QStringList>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"

namespace kpw {
namespace {

using Clock = std::chrono::steady_clock;

struct BenchOptions {
    int Samples = 5;
    int LatencyMs = 150;
};

BenchOptions ParseOptions() {
    BenchOptions options;
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        const QString value = argument.section(QLatin1Char('='), 1);
        if (argument.startsWith(QLatin1String("--samples="))) {
            options.Samples = std::max(1, value.toInt());
        } else if (argument.startsWith(QLatin1String("--latency-ms="))) {
            options.LatencyMs = std::clamp(value.toInt(), 0, 10000);
        }
    }
    return options;
}

std::string Medium(int index) {
    return "/photos/medium/" + std::to_string(index) + ".jpg";
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

// The gaps of the site: ten missing photos after each base + 1.
int GapBase(int sample) {
    return 10000 * (sample + 1);
}

std::string GapList(int samples) {
    std::string list;
    for (int i = 0; i < samples; ++i) {
        if (!list.empty()) list += ',';
        list += std::to_string(GapBase(i) + 2) + "-" + std::to_string(GapBase(i) + 11);
    }
    return list;
}

// The proportional memory of this process's descendants (the engine's), in MiB.
double EngineMemoryMiB() {
    const auto parentOf = [](const QString& pid) {
        QFile stat("/proc/" + pid + "/stat");
        if (!stat.open(QIODevice::ReadOnly)) return QString();
        const QString text = QString::fromLatin1(stat.readAll());
        const QStringList fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
        return fields.size() > 1 ? fields[1] : QString();
    };
    const QStringList all = QDir("/proc").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::vector<QString> family = {QString::number(getpid())};
    for (bool grew = true; grew;) {
        grew = false;
        for (const QString& pid : all) {
            if (pid.toInt() == 0 || std::count(family.begin(), family.end(), pid)) continue;
            if (std::count(family.begin(), family.end(), parentOf(pid))) {
                family.push_back(pid);
                grew = true;
            }
        }
    }
    double kib = 0;
    for (size_t i = 1; i < family.size(); ++i) {
        QFile rollup("/proc/" + family[i] + "/smaps_rollup");
        if (!rollup.open(QIODevice::ReadOnly)) continue;
        for (const QByteArray& line : rollup.readAll().split('\n'))
            if (line.startsWith("Pss:")) kib += line.mid(4).trimmed().split(' ')[0].toDouble();
    }
    return kib / 1024.0;
}

class Window {
public:
    Window(const DemoSite& site, int start, int depth, int pages) : site_(site) {
        program_.Start({.BaseURL = site.BaseURL(),
                        .StaticBaseURL = site.StaticBaseURL(),
                        .PhotoIndex = start,
                        .NavigateDelayTime = 5000,
                        .PreloadPages = pages,
                        .PreloadDepth = depth});
        EXPECT_TRUE(program_.WaitForSettledLoad(0));
    }

    ProgramDriver& Program() { return program_; }

    int Requests(int index) const {
        int count = 0;
        for (const std::string& line : site_.LogLines())
            count += line.find(" " + Medium(index) + " ") != std::string::npos;
        return count;
    }

    // Everything fetched ahead has ended and the visible view is idle.
    bool AtRest() const {
        const Navigator& logic = program_.Logic();
        return program_.IsIdle() && logic.Preloads().Queue().InFlightCount() == 0 &&
               !logic.Scheduler().Awake(RequestKind::Neighbour) &&
               !logic.Scheduler().Awake(RequestKind::Ahead);
    }
    void Settle(int hiddenIndex) {
        ASSERT_TRUE(program_.WaitForHiddenDocument(site_.BaseURL() + Medium(hiddenIndex)));
        ASSERT_TRUE(ProgramDriver::WaitFor([&] { return AtRest(); }));
    }

    void Jump(int index) {
        const std::size_t before = program_.VisibleDocuments().size();
        ASSERT_TRUE(program_.TypeIntoIndexField(QString::number(index)));
        ASSERT_TRUE(program_.PressKeyInIndexField(Qt::Key_Return));
        ASSERT_TRUE(program_.WaitForSettledLoad(before));
    }

    // One Up step, timed to the document complete of the page it ends on.
    double StepUp(int expected) {
        const std::size_t before = program_.VisibleDocuments().size();
        const Clock::time_point started = Clock::now();
        EXPECT_TRUE(program_.PressKeyInIndexField(Qt::Key_Up));
        EXPECT_TRUE(program_.WaitForSettledLoad(before));
        const ProgramDriver::Document& shown = program_.VisibleDocuments().back();
        EXPECT_EQ(shown.Location, site_.BaseURL() + Medium(expected));
        return Ms(shown.Arrived - started);
    }

private:
    const DemoSite& site_;
    ProgramDriver program_;
};

void GapStep(const BenchOptions& options) {
    DemoSite site({.missing = GapList(options.Samples), .latencyMs = options.LatencyMs});
    std::vector<double> gap, plain, withoutQueue;
    {
        Window window(site, GapBase(0) + 1, 4, 2);
        for (int i = 0; i < options.Samples; ++i) {
            const int base = GapBase(i);
            if (i > 0) {
                ASSERT_NO_FATAL_FAILURE(window.Jump(base + 1));
            }
            ASSERT_NO_FATAL_FAILURE(window.Settle(base + 2));
            gap.push_back(window.StepUp(base + 12));
            ASSERT_NO_FATAL_FAILURE(window.Settle(base + 13));
            plain.push_back(window.StepUp(base + 13));
        }
    }
    {
        // The hidden view alone, as without the queue: the chain loads the
        // ten error pages one after the other.
        Window window(site, GapBase(0) + 1, 1, 0);
        for (int i = 0; i < options.Samples; ++i) {
            const int base = GapBase(i);
            if (i > 0) {
                ASSERT_NO_FATAL_FAILURE(window.Jump(base + 1));
            }
            ASSERT_NO_FATAL_FAILURE(window.Settle(base + 2));
            withoutQueue.push_back(window.StepUp(base + 12));
        }
    }
    std::printf("\n(a) one step across a gap of 10, latency %d ms, %d samples (medians)\n",
                options.LatencyMs, options.Samples);
    std::printf("  plain preloaded step           %8.1f ms\n", Median(plain));
    std::printf("  gap step, depth 4, settled     %8.1f ms   ratio to plain %.2f\n", Median(gap),
                Median(gap) / Median(plain));
    std::printf("  gap step, hidden view alone    %8.1f ms   ratio to plain %.1f\n",
                Median(withoutQueue), Median(withoutQueue) / Median(plain));
}

void FastRun(const BenchOptions& options, int depth, int pages, int steps, double plainMs) {
    DemoSite site({.latencyMs = options.LatencyMs});
    constexpr int start = 3000;
    Window window(site, start, depth, pages);
    ASSERT_NO_FATAL_FAILURE(window.Settle(start + 1));
    std::vector<double> times;
    int fromCache = 0;
    Clock::time_point lastPress = Clock::now();
    for (int i = 1; i <= steps; ++i) {
        // Ten a second at most: the next press waits out the 100 ms, and for
        // the window to take keys again.
        ASSERT_TRUE(ProgramDriver::WaitFor([&] {
            return window.Program().IsIdle() &&
                   Clock::now() - lastPress >= std::chrono::milliseconds(100);
        }));
        const int requestsBefore = window.Requests(start + i);
        lastPress = Clock::now();
        times.push_back(window.StepUp(start + i));
        fromCache += window.Requests(start + i) == requestsBefore;
    }
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return window.AtRest(); }));
    std::printf(
        "  depth %2d: %2d of %d steps from the cache (%3.0f %%), median step %7.1f ms"
        " (%.2f x a plain step), engine memory %.0f MiB\n",
        depth, fromCache, steps, 100.0 * fromCache / steps, Median(times),
        plainMs > 0 ? Median(times) / plainMs : 0.0, EngineMemoryMiB());
}

TEST(PreloadBench, GapStepAndFastRuns) {
    const BenchOptions options = ParseOptions();
    ASSERT_NO_FATAL_FAILURE(GapStep(options));

    // The plain preloaded step of this run, as the yardstick of (b).
    std::vector<double> plain;
    {
        DemoSite site({.latencyMs = options.LatencyMs});
        Window window(site, 5000, 1, 0);
        for (int i = 1; i <= options.Samples; ++i) {
            ASSERT_NO_FATAL_FAILURE(window.Settle(5000 + i));
            plain.push_back(window.StepUp(5000 + i));
        }
    }
    std::printf("\n(b) 40 Up steps at up to 10 a second, latency %d ms; plain step %.1f ms\n",
                options.LatencyMs, Median(plain));
    for (int depth : {1, 4, 16})
        ASSERT_NO_FATAL_FAILURE(FastRun(options, depth, 2, 40, Median(plain)));
}

}  // namespace
}  // namespace kpw
