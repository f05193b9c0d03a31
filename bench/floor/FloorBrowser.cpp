// The floor the program's load timings are measured against: one bare
// QWebEngineView that loads the addresses of its command line back to back,
// each as soon as the one before has finished. Nothing else runs around it:
// no page script, no analysis, no second window. With --warm a hidden page of
// the same profile fetches each address first, and the view loads it once
// that fetch has finished, as the program's preload does. With --hold-ms=N it
// keeps each page N ms after its load before it goes on (or ends), so that a
// benchmark can measure what the bare engine holds for it.
//
// Prints one line per load of the view, "load MS OK URL": the time from the
// load call to the engine's load-finished, and 1 or 0 for its outcome. The
// environment decides the platform (the benchmark passes its own on).
#include <QApplication>
#include <QElapsedTimer>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <algorithm>
#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    bool warm = false;
    int holdMs = 0;
    QList<QUrl> urls;
    const QString hold = QStringLiteral("--hold-ms=");
    for (const QString& argument : QCoreApplication::arguments().mid(1)) {
        if (argument == QLatin1String("--warm"))
            warm = true;
        else if (argument.startsWith(hold))
            holdMs = std::max(0, argument.mid(hold.size()).toInt());
        else
            urls.append(QUrl(argument));
    }
    if (urls.isEmpty()) {
        std::fprintf(stderr, "usage: kpw-bench-floor [--warm] [--hold-ms=N] URL...\n");
        return 2;
    }

    // As the program's: off the record, the cache in memory and shared by
    // both pages. Declared first, so that it outlives the pages.
    QWebEngineProfile profile;
    profile.setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    QWebEngineView view;
    view.setPage(new QWebEnginePage(&profile, &view));
    view.resize(574, 540);
    QWebEnginePage hidden(&profile);

    qsizetype next = 0;
    QElapsedTimer clock;
    const auto loadInView = [&] {
        clock.start();
        view.load(urls[next]);
    };
    const auto fetchNext = [&] {
        if (next == urls.size()) {
            QCoreApplication::quit();
        } else if (warm) {
            hidden.load(urls[next]);
        } else {
            loadInView();
        }
    };
    QObject::connect(&hidden, &QWebEnginePage::loadFinished, [&] { loadInView(); });
    QObject::connect(&view, &QWebEngineView::loadFinished, [&](bool ok) {
        const double ms = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        std::printf("load %.3f %d %s\n", ms, ok ? 1 : 0, urls[next].toEncoded().constData());
        std::fflush(stdout);
        ++next;
        if (holdMs > 0)
            QTimer::singleShot(holdMs, fetchNext);
        else
            fetchNext();
    });

    // Like the program: the first load starts before the window is shown.
    fetchNext();
    view.show();
    return app.exec();
}
