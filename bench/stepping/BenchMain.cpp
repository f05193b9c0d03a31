// main() of the engine benchmarks: the tests' engine set-up, offscreen by
// default. --x11 runs everything (the window here and every child process)
// on the X server of DISPLAY instead, where cursors and repaints cost what
// they cost on a desktop.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstring>

int main(int argc, char** argv) {
    bool x11 = false;
    for (int i = 1; i < argc; ++i) x11 = x11 || std::strcmp(argv[i], "--x11") == 0;
    if (x11) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            "--disable-gpu --disable-background-networking --disable-component-update "
            "--disable-sync --no-first-run --disable-quic");
    qputenv("XDG_CONFIG_HOME", "/tmp/kpw-test-config");
    qputenv("XDG_CACHE_HOME", "/tmp/kpw-test-cache");
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
