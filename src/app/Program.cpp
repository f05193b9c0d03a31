#include "app/Program.h"

#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <cstdio>

#include "app/UnitRunUtils.h"
#include "browsing/PreloadQueue.h"
#include "platform/Platform.h"
#include "ui/AppIcon.h"
#include "ui/UnitSettings.h"
#include "webengine/Logging.h"
#include "webengine/PhotoFetcher.h"
#include "webengine/QtBrowserView.h"

namespace kpw {

int RunProgramBody(const ProgramBody& body) {
    RouteLogicDiagnostics();
    const bool terminationRequested = RunLocaleGate(body.LanguageIdText);
    if (terminationRequested)
        body.ShowBlockedBox(QString::fromLatin1(BlockedCaption),
                            QString::fromLatin1(BlockedMessage));

    // Both windows, and the boxes they open, take the program's icon.
    QApplication::setWindowIcon(ApplicationIcon());
    // A fixed pool, as many pages as the queue has loads in flight: what they
    // fetched stays in the shared cache, so the pages are reused at once.
    std::vector<std::unique_ptr<QtBrowserView>> preloadPages;
    for (int i = 0; body.CreatePreloadPage && i < PreloadQueue::MaxInFlight; ++i)
        preloadPages.push_back(body.CreatePreloadPage());
    std::unique_ptr<QtBrowserView> visibleView = body.CreateView();
    QtBrowserView* const pageOnView = visibleView.get();
    std::unique_ptr<PhotoFetcher> fetcher =
        body.CreatePhotoFetcher ? body.CreatePhotoFetcher(*visibleView) : nullptr;
    // The session outlives the window, which ends the logic it composed.
    MainSession session(body.Paths);
    TFormMain formMain(session, std::move(visibleView),
                       body.CreateHiddenView ? body.CreateHiddenView() : body.CreateView(),
                       std::move(preloadPages), std::move(fetcher));
    // What the view refused or ended of the page on view goes to the log.
    QObject::connect(
        pageOnView, &QtBrowserView::PageNotice, &formMain,
        [&formMain](const QString& line) { formMain.AppendLogLine(line.toStdString()); });
    TFormSettings formSettings(&formMain);
    formMain.SetSettingsForm(&formSettings);
    // Pages of any site run in the engine: say so when they run unconfined.
    if (platform::EngineSandboxOff()) {
        const char* line = "The browser engine's sandbox is off: pages run without it.";
        formMain.AppendLogLine(line);
        std::fprintf(stderr, "kelvaro-photo-wizard: %s\n", line);
    }

    // Ending the session closes the window as its close box does, so the
    // settings are written.
    std::unique_ptr<QSocketNotifier> signalNotifier;
    const int signalFd =
        body.CloseOnTerminationSignals ? platform::InstallTerminationSignalPipe() : -1;
    if (signalFd >= 0) {
        signalNotifier = std::make_unique<QSocketNotifier>(signalFd, QSocketNotifier::Read);
        QObject::connect(signalNotifier.get(), &QSocketNotifier::activated, &formMain,
                         [&formMain, signalFd] {
                             char drained[16];
                             while (read(signalFd, drained, sizeof drained) > 0) {
                             }
                             formMain.CloseOnSignal();
                         });
    }

    // exit() ends the loop without closing the windows, so after a fired gate
    // no close handler runs and the settings file is not written.
    if (terminationRequested) QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    return QApplication::exec();
}

}  // namespace kpw
