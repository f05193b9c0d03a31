// kelvaro-demo-site: a small photo site on loopback addresses for demos, tests
// and benchmarks of the program. See README.md for the options.
#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <QGuiApplication>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

#include "PhotoRenderer.h"
#include "SiteOptions.h"
#include "SiteServer.h"

namespace {

constexpr int OptionErrorExit = 2;
constexpr int RuntimeErrorExit = 1;

// Blocks until SIGTERM or SIGINT, or the end of standard input when asked to
// watch it (a launcher that dies then takes the site with it).
void WaitForEnd(int signalFd, bool watchStdin) {
    for (;;) {
        pollfd fds[2] = {{signalFd, POLLIN, 0}, {STDIN_FILENO, POLLIN, 0}};
        const int count = poll(fds, watchStdin ? 2 : 1, -1);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (fds[0].revents != 0) {
            return;
        }
        if (watchStdin && fds[1].revents != 0) {
            char buffer[256];
            const ssize_t got = read(STDIN_FILENO, buffer, sizeof buffer);
            if (got <= 0 && !(got < 0 && errno == EINTR)) {
                return;
            }
        }
    }
}

// Qt's chatter about the desktop it does not use would only clutter test logs.
void QtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg) {
        std::fprintf(stderr, "kelvaro-demo-site: %s\n", qPrintable(message));
    }
}

}  // namespace

int main(int argc, char** argv) {
    kpw::SiteOptions options;
    try {
        options = kpw::ParseSiteOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const kpw::SiteOptionError& error) {
        std::fprintf(stderr, "kelvaro-demo-site: %s\n%s", error.what(), kpw::SiteUsage().c_str());
        return OptionErrorExit;
    }
    if (options.Help) {
        std::fputs(kpw::SiteUsage().c_str(), stdout);
        return 0;
    }

    std::FILE* log = nullptr;
    if (!options.LogFile.empty()) {
        log = std::fopen(options.LogFile.c_str(), "a");
        if (!log) {
            std::fprintf(stderr, "kelvaro-demo-site: cannot open the log file %s\n",
                         options.LogFile.c_str());
            return OptionErrorExit;
        }
    }

    // Blocked before any thread starts, so that every thread leaves the signals
    // to the wait below. A browser closing a connection early must not end us.
    sigset_t endSignals;
    sigemptyset(&endSignals);
    sigaddset(&endSignals, SIGTERM);
    sigaddset(&endSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &endSignals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    const int signalFd = signalfd(-1, &endSignals, SFD_CLOEXEC);
    if (signalFd < 0) {
        std::fputs("kelvaro-demo-site: cannot wait for signals\n", stderr);
        return RuntimeErrorExit;
    }

    // Qt only draws the pictures here; it must not look for a display, nor read
    // our options.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QtMessages);
    int qtArgc = 1;
    QGuiApplication app(qtArgc, argv);
    kpw::PhotoRenderer renderer;
    if (renderer.Jpeg(kpw::PhotoSize::Thumbnail, 1).empty()) {
        std::fputs("kelvaro-demo-site: cannot make JPEG pictures (Qt image plugin missing?)\n",
                   stderr);
        return RuntimeErrorExit;
    }

    kpw::SiteServer server(
        options, [&renderer](kpw::PhotoSize size, int photo) { return renderer.Jpeg(size, photo); },
        log);
    try {
        const int port = server.Bind();
        server.Start();
        std::printf("listening on %d\n", port);
        std::fflush(stdout);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "kelvaro-demo-site: %s\n", error.what());
        return RuntimeErrorExit;
    }

    WaitForEnd(signalFd, options.WatchStdin);
    if (!server.Stop(std::chrono::seconds(3))) {
        // An answer is still being delayed or written; it is not worth waiting for.
        if (log) {
            std::fflush(log);
        }
        std::_Exit(0);
    }
    if (log) {
        std::fclose(log);
    }
    return 0;
}
