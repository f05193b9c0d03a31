// The overview sheet in the whole window against the demo site, each figure
// set against a floor measured in the same run:
// - filling a sheet of 40 cells, against a bare engine page holding the same
//   40 pictures (kpw-bench-floor), in turn round by round;
// - the gaps between the sheet's requests with a least interval set;
// - moving one sheet on when the next one has been fetched behind it;
// - the memory after many sheets, against the memory before the first;
// - how late the event loop gets while a sheet loads with a decompression
//   bomb and a never-ending picture among its cells.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"

namespace kpw {
namespace {

constexpr int CellSize = 100;
constexpr auto ProcessDeadline = std::chrono::seconds(120);

using bench::Require;

int OptionValue(const char* name, int fallback) {
    std::vector<std::string> arguments;
    for (const QString& argument : QCoreApplication::arguments())
        arguments.push_back(argument.toStdString());
    return bench::OptionValue(arguments, name, fallback);
}

long ResidentKiB() {
    std::ifstream in("/proc/self/status");
    for (std::string line; std::getline(in, line);)
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    return 0;
}

bool Settled(const std::vector<SheetCell>& cells) {
    return std::none_of(cells.begin(), cells.end(), [](const SheetCell& cell) {
        return cell.State == CellState::Loading || cell.State == CellState::Waiting;
    });
}

// The window at a size that holds 8 x 5 cells of 100 pixels, the sheet's
// pictures from the 100 pixel template.
class SheetWindow {
public:
    SheetWindow(const DemoSite& site, int minRequestInterval = 0) {
        program_.Start({.BaseURL = site.BaseURL(),
                        .StaticBaseURL = site.StaticBaseURL(),
                        .PhotoIndex = 1,
                        .PreloadPages = 2,
                        .MinRequestInterval = minRequestInterval});
        Require(program_.WaitForSettledLoad(0), "the first page did not load");
        Probe(program_.Form()).CurrentSettings().SheetCellSize = CellSize;
        program_.Form().resize(8 * (CellSize + 8) + 8, 5 * (CellSize + 30) + 60);
        QCoreApplication::processEvents();
    }
    OverviewSheet& Sheet() const { return Probe(program_.Form()).Sheet(); }
    OverviewSheetView& View() const { return *Probe(program_.Form()).SheetView(); }
    ProgramDriver& Program() { return program_; }

    // Opens the sheet at first; the milliseconds until every cell is settled.
    double Fill(int32_t first) {
        Probe(program_.Form()).CurrentSettings().PhotoIndex = first;
        QElapsedTimer clock;
        clock.start();
        program_.PressKey(Qt::Key_G, Qt::ControlModifier);
        Require(Sheet().IsOpen(), "the sheet did not open");
        Require(ProgramDriver::WaitFor([&] { return Settled(Sheet().Cells()); }),
                "the sheet was not filled");
        return static_cast<double>(clock.nsecsElapsed()) / 1e6;
    }
    void Close() {
        if (Sheet().IsOpen()) program_.PressKey(Qt::Key_G, Qt::ControlModifier);
    }

private:
    ProgramDriver program_;
};

// The floor: a bare engine page with the same pictures, from the load call
// to the engine's load-finished.
double FloorFill(const DemoSite& site, int32_t first, int count) {
    std::string html = "<html><body>";
    for (int i = 0; i < count; ++i)
        html += "<img src=\"" + site.BaseURL() + "/photos/thumbnail/" + std::to_string(first + i) +
                ".jpg\">";
    html += "</body></html>";
    const std::string url =
        "data:text/html," + QUrl::toPercentEncoding(QString::fromStdString(html)).toStdString();
    bench::Child floor({KPW_FLOOR_EXE, url}, {{"LC_ALL", "C"}});
    const std::optional<int> status = floor.Wait(ProcessDeadline);
    Require(status && WIFEXITED(*status) && WEXITSTATUS(*status) == 0, "the floor failed");
    const std::vector<double> times = bench::FloorLoadTimes(floor.Output());
    Require(times.size() == 1, "the floor did not load its page");
    return times.front();
}

TEST(SheetBench, FillingASheetAgainstABareEnginePage) {
    const int rounds = OptionValue("--rounds", 5);
    DemoSite site({.latencyMs = OptionValue("--latency-ms", 150)});
    SheetWindow window(site);
    std::vector<double> program, floor;
    for (int round = 0; round < rounds; ++round) {
        // New indexes each time, so that no cache helps either side; who
        // goes first changes from round to round.
        const int32_t sheetFirst = 10000 + round * 1000;
        const int32_t floorFirst = 50000 + round * 1000;
        const auto runProgram = [&] {
            program.push_back(window.Fill(sheetFirst));
            Require(window.Sheet().Cells().size() == 40, "the sheet does not hold 40 cells");
            window.Close();
        };
        const auto runFloor = [&] { floor.push_back(FloorFill(site, floorFirst, 40)); };
        if (round % 2 == 0) {
            runProgram();
            runFloor();
        } else {
            runFloor();
            runProgram();
        }
    }
    const double ratio = bench::Median(program) / bench::Median(floor);
    std::printf("\n40 cells, latency %d ms, %d rounds\n", OptionValue("--latency-ms", 150), rounds);
    std::printf("  sheet full   median %7.1f ms  min %7.1f  max %7.1f\n", bench::Median(program),
                *std::min_element(program.begin(), program.end()),
                *std::max_element(program.begin(), program.end()));
    std::printf("  floor page   median %7.1f ms  min %7.1f  max %7.1f\n", bench::Median(floor),
                *std::min_element(floor.begin(), floor.end()),
                *std::max_element(floor.begin(), floor.end()));
    std::printf("  ratio sheet / floor %.2f (goal at most 1.2)\n", ratio);
    std::fflush(stdout);
}

TEST(SheetBench, TheLeastIntervalBetweenTheSheetsRequests) {
    const int interval = OptionValue("--interval-ms", 100);
    DemoSite site;
    SheetWindow window(site, interval);
    bench::SiteLogClock log(site.LogPath());
    window.Fill(20000);
    std::vector<double> gaps;
    const std::vector<bench::SiteLogClock::Line> lines = log.AllSeen("/photos/thumbnail/");
    for (size_t i = 1; i < lines.size(); ++i)
        gaps.push_back(bench::Milliseconds(lines[i].Seen - lines[i - 1].Seen));
    std::sort(gaps.begin(), gaps.end());
    std::printf("\nleast interval %d ms: %zu requests of the sheet\n", interval, lines.size());
    if (!gaps.empty())
        std::printf("  gap between requests: min %.1f ms  median %.1f ms  max %.1f ms\n",
                    gaps.front(), bench::Median(gaps), gaps.back());
    std::fflush(stdout);
}

TEST(SheetBench, MovingOnToASheetFetchedBehindTheOneShown) {
    DemoSite site({.latencyMs = OptionValue("--latency-ms", 150)});
    SheetWindow window(site);
    window.Fill(30000);
    std::vector<double> times;
    const int sheets = OptionValue("--sheets", 25);
    const long residentBefore = ResidentKiB();
    for (int sheet = 0; sheet < sheets; ++sheet) {
        // The next sheet has been fetched behind this one.
        Require(ProgramDriver::WaitFor([&] { return Settled(window.Sheet().Ahead()); }),
                "the next sheet was not fetched");
        QElapsedTimer clock;
        clock.start();
        window.Program().PressKey(Qt::Key_PageDown);
        window.View().repaint();
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        const bool whole = std::all_of(
            window.Sheet().Cells().begin(), window.Sheet().Cells().end(),
            [&](const SheetCell& cell) { return window.View().HasPicture(cell.Index); });
        Require(whole, "a cell of the next sheet had no picture");
        times.push_back(ms);
    }
    const long residentAfter = ResidentKiB();
    std::printf("\nmoving on %d sheets of %zu cells, each fetched behind the one shown\n", sheets,
                window.Sheet().Cells().size());
    std::printf("  until every cell shows its picture: median %.2f ms  max %.2f ms (goal 50)\n",
                bench::Median(times), *std::max_element(times.begin(), times.end()));
    std::printf("  resident memory of the program: %ld MiB before, %ld MiB after, %+ld MiB\n",
                residentBefore / 1024, residentAfter / 1024,
                (residentAfter - residentBefore) / 1024);
    std::fflush(stdout);
}

TEST(SheetBench, FortyLargePictures) {
    const int megabytes = OptionValue("--large-mb", 5);
    DemoSite site({.large = "60000-60100", .largeMb = megabytes});
    SheetWindow window(site);
    Probe(window.Program().Form()).CurrentSettings().SheetPhotoSize = 4;
    const long residentBefore = ResidentKiB();
    const double fill = window.Fill(60000);
    const long residentAfter = ResidentKiB();
    std::printf("\n%zu cells of %d MB pictures: full in %.0f ms\n", window.Sheet().Cells().size(),
                megabytes, fill);
    std::printf("  decoded pictures kept: %.1f MiB (goal under 100 MB)\n",
                static_cast<double>(window.View().PictureBytes()) / (1024.0 * 1024.0));
    std::printf("  resident memory of the program: %+ld MiB\n",
                (residentAfter - residentBefore) / 1024);
    std::fflush(stdout);
}

TEST(SheetBench, TheWindowAnswersWhileABombAndANeverEndingPictureLoad) {
    DemoSite site({.latencyMs = 150, .stall = "40005", .bomb = "40009"});
    SheetWindow window(site);
    // The event loop's lateness: a timer every 10 ms, how late it came.
    QElapsedTimer clock;
    clock.start();
    double last = 0;
    double worst = 0;
    QTimer beat;
    beat.setInterval(10);
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const double now = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        worst = std::max(worst, now - last - 10);
        last = now;
    });
    last = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    beat.start();
    const double fill = window.Fill(40000);
    beat.stop();
    std::printf("\na sheet with a decompression bomb and a never-ending picture: full in %.0f ms\n",
                fill);
    std::printf("  the event loop was at most %.1f ms late (goal: events within 100 ms)\n", worst);
    std::fflush(stdout);
}

}  // namespace
}  // namespace kpw
