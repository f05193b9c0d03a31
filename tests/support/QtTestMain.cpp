// main() of the Qt tests: an offscreen application with the browser engine
// initialised, so the tests run headless, as root and without a display.
#include <gtest/gtest.h>

#include <QApplication>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            "--disable-gpu --disable-background-networking --disable-component-update "
            "--disable-sync --no-first-run --disable-quic");
    // The help window and other things must not depend on the tester's
    // own settings or caches.
    qputenv("XDG_CONFIG_HOME", "/tmp/kpw-test-config");
    qputenv("XDG_CACHE_HOME", "/tmp/kpw-test-cache");
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
