#pragma once

#include <QWebEnginePage>
#include <functional>

#include "browsing/PageLeash.h"

class QWebEngineProfile;

namespace kpw {

// The engine page with the program's answers to what a page may ask beyond
// showing itself: permissions, certificates, credentials, pop-up windows,
// files, full screen and protocol handlers are all refused. Script dialogs
// are suppressed while the page is silent, and after a run of them.
//
// A page nobody sees runs no scripts of its own and follows only the
// program's loads; the page on view stays on http and https.
class WebEnginePage : public QWebEnginePage {
public:
    WebEnginePage(QWebEngineProfile* profile, bool unseen, QObject* parent);

    // The texts of the engine's own actions (texts::English or texts::German),
    // which its context menu shows.
    void PutActionTexts(int language);

    // Loads the program asks for; the page follows them.
    void LoadOwn(const QUrl& url);
    void TriggerOwn(WebAction action);
    // Whether the load the engine starts at url is one to report: on the page
    // on view any web address; on a page nobody sees only the start of a
    // load the program asked for (the engine starts it at once), not, say, a
    // refresh the page asks for. A new document's dialogs are counted afresh.
    bool TakeLoadStart(const QUrl& url);
    // The load under way ended: a redirect from now on is the page's own.
    void LoadEnded() { own_.LoadEnded(); }
    // A load the program asked for has not started yet.
    bool OwnStartPending() const { return own_.StartPending(); }

    bool Unseen() const { return unseen_; }

    bool silent = false;
    // Each main-frame navigation the page goes on with.
    std::function<void(const QUrl&)> onMainFrameNavigation;
    // The page's dialogs have been refused from now on.
    std::function<void()> onDialogsRefused;

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

private:
    bool MayShowDialog();
    void DialogClosed();
    bool IsLeaveQuestion(const QString& message) const;

    const bool unseen_;
    OwnLoads own_;
    DialogGate dialogs_;
};

}  // namespace kpw
