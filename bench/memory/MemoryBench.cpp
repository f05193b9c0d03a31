// How much memory the program and its engine processes hold: while stepping
// through many pages of the demo site, and with a very large page on view and
// as the hidden view's neighbour. Resident memory is counted as PSS (shared
// pages split among the processes that share them), from /proc. With the large
// page it also lists the largest processes, each renderer named by the page it
// serves, and what the floor program (a bare engine view) holds for the same
// page on view.
#include <gtest/gtest.h>
#include <httplib.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QWebEnginePage>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "BenchSupport.h"
#include "ProgramDriver.h"
#include "app/PhotoActions.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {
namespace {

int OptionValue(const char* name, int fallback) {
    const QString prefix = QString::fromLatin1(name) + QLatin1Char('=');
    for (const QString& argument : QCoreApplication::arguments().mid(1))
        if (argument.startsWith(prefix)) return std::max(1, argument.mid(prefix.size()).toInt());
    return fallback;
}

// A field of /proc/PID/<file> in kB ("Pss:", "VmRSS:"), 0 when unreadable.
long ProcKiB(int pid, const char* file, const std::string& field) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/" + file);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(field, 0) == 0) return std::stol(line.substr(field.size()));
    }
    return 0;
}

int ParentOf(int pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
    std::string stat((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return 0;
    std::istringstream rest(stat.substr(close + 2));
    char state = 0;
    int parent = 0;
    rest >> state >> parent;
    return parent;
}

// A process and every process below it (the engine's zygote, renderers, GPU
// and utility processes); this process by default.
std::vector<int> ProcessTree(int root = ::getpid()) {
    std::vector<int> pids;
    for (const auto& entry : std::filesystem::directory_iterator("/proc")) {
        const std::string name = entry.path().filename().string();
        if (name.empty() || !std::all_of(name.begin(), name.end(), ::isdigit)) continue;
        int pid = std::stoi(name);
        for (int up = pid, hops = 0; up > 1 && hops < 16; up = ParentOf(up), ++hops) {
            if (up == root) {
                pids.push_back(pid);
                break;
            }
        }
    }
    return pids;
}

struct Memory {
    long ProgramMiB = 0;  // the process itself
    long EngineMiB = 0;   // the processes below it
};

Memory Measure(int root = ::getpid()) {
    Memory memory;
    for (int pid : ProcessTree(root)) {
        const long pss = ProcKiB(pid, "smaps_rollup", "Pss:") / 1024;
        (pid == root ? memory.ProgramMiB : memory.EngineMiB) += pss;
    }
    return memory;
}

// Waits until the child has printed the text; false when it ended first or
// the deadline passed.
bool WaitForOutput(bench::Child& child, const std::string& text, std::chrono::seconds deadline) {
    const auto end = bench::Clock::now() + deadline;
    while (bench::Clock::now() < end) {
        const bool ended = child.Wait(std::chrono::milliseconds(100)).has_value();
        if (child.Output().find(text) != std::string::npos) return true;
        if (ended) return false;
    }
    return false;
}

// The value of a "--name=" switch on a process's command line, empty when it
// has none.
std::string Switch(int pid, const std::string& name) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/cmdline");
    const std::string prefix = "--" + name + "=";
    for (std::string argument; std::getline(in, argument, '\0');)
        if (argument.rfind(prefix, 0) == 0) return argument.substr(prefix.size());
    return {};
}

// The kind of an engine process: its "--type=". A process the zygote forks (a
// renderer, say) keeps the zygote's command line; it reads "zygote child".
std::string Kind(int pid) {
    const std::string type = Switch(pid, "type");
    if (type == "zygote" && Switch(ParentOf(pid), "type") == "zygote") return "zygote child";
    return type;
}

// The renderer of each of the program's pages, by its process id.
std::map<int, std::string> RendererOwners(const ProgramDriver& program) {
    std::map<int, std::string> owners;
    auto add = [&owners](const WebEngineBrowserView& view, const std::string& name) {
        const QWebEnginePage* page = view.Page();
        if (page == nullptr || page->renderProcessPid() <= 0) return;
        std::string& owner = owners[static_cast<int>(page->renderProcessPid())];
        owner += (owner.empty() ? "" : " + ") + name;
    };
    add(program.Visible(), "visible view");
    add(program.Hidden(), "hidden view");
    for (std::size_t i = 0; i < program.PreloadPages().size(); ++i)
        add(*program.PreloadPages()[i], "off-screen page " + std::to_string(i + 1));
    return owners;
}

// The largest processes of the tree by PSS, with their kind (the "--type="
// switch of their command line) and whose they are.
void PrintLargestProcesses(const ProgramDriver& program, std::size_t count = 6) {
    struct Process {
        long MiB;
        int Pid;
        std::string Kind;
        std::string Tag;
    };
    const std::map<int, std::string> owners = RendererOwners(program);
    std::vector<Process> processes;
    for (int pid : ProcessTree()) {
        Process process{ProcKiB(pid, "smaps_rollup", "Pss:") / 1024, pid, Kind(pid), {}};
        if (pid == ::getpid()) {
            process.Kind = "browser";
            process.Tag = "the program";
        } else if (const auto owner = owners.find(pid); owner != owners.end()) {
            process.Tag = owner->second;
        } else if (process.Kind == "zygote child") {
            process.Tag = "no page of the program";
        }
        processes.push_back(process);
    }
    std::sort(processes.begin(), processes.end(),
              [](const Process& a, const Process& b) { return a.MiB > b.MiB; });
    processes.resize(std::min(count, processes.size()));
    for (const Process& process : processes)
        std::printf("      %5ld MiB  pid %-7d %-13s %s\n", process.MiB, process.Pid,
                    process.Kind.c_str(), process.Tag.c_str());
    std::fflush(stdout);
}

void PrintMemory(const char* what, const Memory& memory) {
    std::printf("  %-28s program %5ld MiB   engine %5ld MiB   together %5ld MiB\n", what,
                memory.ProgramMiB, memory.EngineMiB, memory.ProgramMiB + memory.EngineMiB);
    std::fflush(stdout);
}

TEST(MemoryBench, SteppingThroughManyPages) {
    const int steps = OptionValue("--steps", 2000);
    const int every = std::max(1, steps / 8);
    DemoSite site;
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .URLIndex = OptionValue("--mode", 1),
                   .PhotoIndex = 1000,
                   .NavigateDelayTime = 5000});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    std::printf("\nstepping through %d pages of display mode %d, one after the other\n", steps,
                OptionValue("--mode", 1));
    PrintMemory("after the first page", Measure());
    for (int step = 1; step <= steps; ++step) {
        ASSERT_TRUE(program.TypeIntoIndexField(QString::number(1000 + step)));
        const std::size_t before = program.VisibleDocuments().size();
        ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
        ASSERT_TRUE(program.WaitForSettledLoad(before));
        if (step % every == 0) {
            const std::string what = "after " + std::to_string(step) + " pages";
            PrintMemory(what.c_str(), Measure());
        }
    }
}

TEST(MemoryBench, AVeryLargePageOnViewAndAsTheNeighbour) {
    const int megabytes = OptionValue("--page-mb", 20);
    const int waitSeconds = OptionValue("--wait-s", 3);
    const std::string later = std::to_string(waitSeconds) + " s later";
    std::string body = "<html><body><div>";
    while (body.size() < static_cast<size_t>(megabytes) * 1024 * 1024)
        body += "<p>A line of text on a very large page, with <b>some</b> markup.</p>\n";
    body += "</div></body></html>";

    httplib::Server server;
    server.Get(R"(/photo/(\d+))", [&](const httplib::Request&, httplib::Response& response) {
        response.set_content(body, "text/html; charset=utf-8");
    });
    const int port = server.bind_to_any_port("127.0.0.1");
    std::thread serving([&] { server.listen_after_bind(); });
    const std::string base = "http://127.0.0.1:" + std::to_string(port);

    {
        ProgramDriver program;
        const int preloadPages = OptionValue("--preload-pages", 0);
        program.Start({.BaseURL = base,
                       .StaticBaseURL = base,
                       .URLIndex = 2,
                       .PhotoIndex = 5,
                       .PreloadPages = preloadPages});
        ASSERT_TRUE(program.WaitForSettledLoad(0, 120000));
        ASSERT_TRUE(program.WaitForHiddenDocument(base + "/photo/6", {}, 120000));
        std::printf(
            "\na %d MB page on view (information page mode) and as the neighbour, "
            "%d off-screen pages\n",
            megabytes, preloadPages);
        PrintMemory("both views loaded", Measure());
        PrintLargestProcesses(program);
        QTest::qWait(waitSeconds * 1000);
        PrintMemory(later.c_str(), Measure());
        PrintLargestProcesses(program);
        ASSERT_TRUE(program.TypeIntoIndexField("6"));
        const std::size_t before = program.VisibleDocuments().size();
        ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
        ASSERT_TRUE(program.WaitForSettledLoad(before, 120000));
        ASSERT_TRUE(program.WaitForHiddenDocument(base + "/photo/7", {}, 120000));
        PrintMemory("one step on", Measure());
        PrintLargestProcesses(program);
        QTest::qWait(waitSeconds * 1000);
        PrintMemory(later.c_str(), Measure());
        PrintLargestProcesses(program);
    }

    // The floor: a bare engine view, nothing of the program around it, shows
    // the same two pages one after the other and keeps each while it is
    // measured. "program" is then the floor program's own process.
    const int holdMs = (waitSeconds + 5) * 1000;
    bench::Child floor({KPW_FLOOR_EXE, "--hold-ms=" + std::to_string(holdMs), base + "/photo/5",
                        base + "/photo/6"},
                       {});
    std::printf("\nthe floor: a bare engine view with the same page on view, then the next\n");
    for (const int page : {5, 6}) {
        const std::string url = base + "/photo/" + std::to_string(page);
        ASSERT_TRUE(WaitForOutput(floor, " " + url + "\n", std::chrono::seconds(120)))
            << "the floor program did not load " << url;
        PrintMemory(page == 5 ? "page on view" : "one step on", Measure(floor.Pid()));
        QTest::qWait(waitSeconds * 1000);
        PrintMemory(later.c_str(), Measure(floor.Pid()));
    }
    server.stop();
    serving.join();
}

// Saving a photo of --photo-mb MB (199 by default, inside the size cap) shown
// in display mode --mode (1: the photo itself, which the page's cache read
// took whole before; 2: its information page, the photo not on view).
TEST(MemoryBench, SavingALargePhoto) {
    const int megabytes = OptionValue("--photo-mb", 199);
    const int mode = OptionValue("--mode", 1);
    DemoSite site({.large = "60", .largeMb = megabytes});
    QTemporaryDir folder;
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .URLIndex = mode,
                   .PhotoSize = 4,
                   .PhotoIndex = 60,
                   .SaveFolder = folder.path().toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0, 300000));
    QTest::qWait(OptionValue("--wait-s", 3) * 1000);
    std::printf("\nsaving a %d MB photo in display mode %d\n", megabytes, mode);
    const Memory before = Measure();
    const long rssBefore = ProcKiB(::getpid(), "status", "VmRSS:") / 1024;
    PrintMemory("before the save", before);
    // The peak from here on (Linux 4.0 and later).
    std::ofstream("/proc/self/clear_refs") << "5";
    Memory peak = before;
    const auto start = bench::Clock::now();
    program.PressKey(Qt::Key_S, Qt::ControlModifier);
    while (!ProgramDriver::WaitFor([&] { return !Probe(program.Form()).Photos().Busy(); }, 100)) {
        const Memory now = Measure();
        peak.ProgramMiB = std::max(peak.ProgramMiB, now.ProgramMiB);
        peak.EngineMiB = std::max(peak.EngineMiB, now.EngineMiB);
        ASSERT_LT(bench::Clock::now() - start, std::chrono::minutes(5));
    }
    const double seconds = std::chrono::duration<double>(bench::Clock::now() - start).count();
    PrintMemory("highest sampled in the save", peak);
    PrintMemory("after the save", Measure());
    const long rssPeak = ProcKiB(::getpid(), "status", "VmHWM:") / 1024;
    std::printf(
        "  the program's resident memory: %ld MiB before, at most %ld MiB in the save "
        "(VmHWM), %+ld MiB\n",
        rssBefore, rssPeak, rssPeak - rssBefore);
    // Once for the view; a second time unless the cache served the save.
    const std::vector<std::string> lines = site.LogLines();
    std::printf("  the site was asked for the photo %ld times\n",
                static_cast<long>(std::count_if(lines.begin(), lines.end(), [](const auto& line) {
                    return line.find("/photos/original/60.jpg") != std::string::npos;
                })));
    const QStringList saved = QDir(folder.path()).entryList(QDir::Files);
    std::printf(
        "  %.1f s, saved: %s (%lld bytes); status: %s\n", seconds, qPrintable(saved.join(' ')),
        saved.isEmpty() ? 0LL : QFileInfo(QDir(folder.path()).filePath(saved.first())).size(),
        qPrintable(Probe(program.Form()).StatusText()));
    std::fflush(stdout);
}

}  // namespace
}  // namespace kpw
