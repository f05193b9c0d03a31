// The program entry: the start-up actions of the toolkit and the browser
// engine, the program body, then the shutdown actions in reverse order.
#include <QApplication>
#include <QMessageBox>
#include <memory>

#include "app/Program.h"
#include "app/UnitRunUtils.h"
#include "platform/Platform.h"
#include "webengine/BrowserProfile.h"
#include "webengine/PhotoFetcher.h"
#include "webengine/WebEngineBrowserView.h"

int main(int argc, char** argv) {
    // The program reads no command line: the toolkit sees only its name.
    int toolkitArgc = argc > 0 ? 1 : 0;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(toolkitArgc, argv);
    // Ties the windows to the desktop entry (its icon and name in task bars).
    QGuiApplication::setDesktopFileName(QStringLiteral("de.zentrafold.KelvaroPhotoWizard"));

    // The browser engine comes up before any window and goes after all.
    auto engine = std::make_unique<kpw::BrowserProfile>();

    kpw::ProgramBody body;
    body.LanguageIdText = kpw::platform::UserDefaultLanguageIdText();
    body.Paths = {kpw::platform::ExecutablePath(), kpw::platform::AppDataFolder()};
    body.CreateView = [&engine] { return engine->CreateView(); };
    body.CreateHiddenView = [&engine] { return engine->CreateHiddenView(); };
    body.CreatePreloadPage = [&engine] { return engine->CreateOffScreenPage(); };
    body.CreatePhotoFetcher = [&engine](kpw::QtBrowserView& view) {
        return engine->CreatePhotoFetcher(view);
    };
    body.ShowBlockedBox = [](const QString& caption, const QString& message) {
        QMessageBox box(QMessageBox::Critical, caption, message, QMessageBox::Ok);
        box.exec();
    };
    const int result = kpw::RunProgramBody(body);

    kpw::ReleaseBlockedTexts();
    engine.reset();
    return result;
}
