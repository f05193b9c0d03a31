// The program entry: the start-up actions of the toolkit and the browser
// engine, the program body, then the shutdown actions in reverse order.
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <memory>
#include <string>
#include <vector>

#include "app/Program.h"
#include "app/UnitRunUtils.h"
#include "platform/EngineSwitches.h"
#include "platform/Platform.h"
#include "settings/SettingsStore.h"
#include "texts/Texts.h"
#include "ui/AppIcon.h"
#include "webengine/BrowserProfile.h"
#include "webengine/PhotoFetcher.h"
#include "webengine/WebEngineBrowserView.h"

namespace {

// The engine would end the program with a line on standard error and no
// window; the box says why and what to do, in the program's language.
void ShowSandboxRefusal(int language) {
    QApplication::setWindowIcon(kpw::ApplicationIcon());
    QString message = QString::fromUtf8(kpw::texts::Start.SandboxRefused.In(language));
    message.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox box(QMessageBox::Critical, QString::fromUtf8(kpw::texts::MainCaption).trimmed(),
                    message, QMessageBox::Ok);
    box.exec();
}

}  // namespace

int main(int argc, char** argv) {
    // Of the command line only the engine's --no-sandbox is read: the
    // toolkit sees only the program's name.
    const std::vector<std::string> arguments(argv, argv + argc);
    const kpw::platform::SandboxSwitches sandbox = kpw::platform::SandboxSwitchesOf(arguments);
    int toolkitArgc = argc > 0 ? 1 : 0;
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(toolkitArgc, argv);
    // Ties the windows to the desktop entry (its icon and name in task bars).
    QGuiApplication::setDesktopFileName(QStringLiteral("de.zentrafold.KelvaroPhotoWizard"));

    kpw::ProgramBody body;
    body.LanguageIdText = kpw::platform::UserDefaultLanguageIdText();
    body.Paths = {kpw::platform::ExecutablePath(), kpw::platform::AppDataFolder()};
    const int language =
        kpw::texts::LanguageIndex(kpw::StoredLanguage(body.Paths.ExeName, body.Paths.AppData));
    if (kpw::platform::EngineRefusesToStart(geteuid(), sandbox)) {
        ShowSandboxRefusal(language);
        return 1;
    }
    // The engine reads its switches from the environment when it starts.
    if (sandbox.NoSandboxArgument) qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    // Its own pages (its error pages) speak the program's language.
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS",
            QByteArray::fromStdString(kpw::platform::EngineFlagsWithLocale(
                sandbox.EngineFlags, kpw::texts::EngineLocales[language])));

    // The browser engine comes up before any window and goes after all.
    auto engine = std::make_unique<kpw::BrowserProfile>();

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
