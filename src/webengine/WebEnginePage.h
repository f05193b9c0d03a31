#pragma once

#include <QWebEnginePage>
#include <functional>

class QWebEngineProfile;

namespace kpw {

// The engine page with the program's answers to what a page may ask beyond
// showing itself: permissions, certificates, credentials, pop-up windows,
// files, full screen and protocol handlers are all refused. Script dialogs
// are suppressed while the page is silent.
class WebEnginePage : public QWebEnginePage {
public:
    WebEnginePage(QWebEngineProfile* profile, QObject* parent);

    // The texts of the engine's own actions (texts::English or texts::German),
    // which its context menu shows.
    void PutActionTexts(int language);

    bool silent = false;
    std::function<void(const QUrl&)> onMainFrameNavigation;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
    // No pop-up windows: links that ask for one and scripts get nothing.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }
    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
        return {};
    }
    void javaScriptAlert(const QUrl& origin, const QString& message) override;
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override;
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override;
    // Pages are not allowed to fill the program's own output.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};

}  // namespace kpw
