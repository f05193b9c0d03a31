// main() of the Qt tests and benchmarks: an offscreen application with the browser engine
// initialised, so the tests run headless, as root and without a display.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

int main(int argc, char** argv) {
    // --x11 (the benchmarks take it) runs on the X server in DISPLAY instead.
    bool x11 = false;
    for (int i = 1; i < argc; ++i) x11 = x11 || std::strcmp(argv[i], "--x11") == 0;
#ifdef KPW_TEST_SCREEN_CONFIG
    // The tests of small screens: the offscreen screen as the file describes
    // it, at a scale factor.
    qputenv("QT_QPA_PLATFORM", x11 ? "xcb" : "offscreen:configfile=" KPW_TEST_SCREEN_CONFIG);
    qputenv("QT_SCALE_FACTOR", KPW_TEST_SCALE_FACTOR);
#else
    qputenv("QT_QPA_PLATFORM", x11 ? "xcb" : "offscreen");
#endif
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // A test of the engine's own pages names their locale, as the program
    // hands the engine its language.
    QByteArray flags =
        "--disable-gpu --disable-background-networking --disable-component-update "
        "--disable-sync --no-first-run --disable-quic";
    if (const QByteArray locale = qgetenv("KPW_TEST_ENGINE_LOCALE"); !locale.isEmpty())
        flags += " --lang=" + locale;
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    // The help window and other things must not depend on the tester's
    // own settings or caches.
    qputenv("XDG_CONFIG_HOME", "/tmp/kpw-test-config");
    qputenv("XDG_CACHE_HOME", "/tmp/kpw-test-cache");
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
