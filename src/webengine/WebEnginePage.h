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
// Where the page may navigate is its view's to decide (PageLoads): a page
// nobody sees follows only the program's loads, the page on view stays on
// http and https. A page nobody sees runs no scripts of its own.
class WebEnginePage : public QWebEnginePage {
public:
    WebEnginePage(QWebEngineProfile* profile, bool unseen, QObject* parent);

    // The texts of the engine's own actions (texts::English or texts::German),
    // which its context menu shows.
    void PutActionTexts(int language);
    // A new document is loading: its dialogs are counted afresh.
    void NewDocument() { dialogs_.PageStarted(); }

    bool silent = false;
    // Whether a navigation may go on (and is reported); without an answer
    // only sub-frames go on.
    std::function<bool(const QUrl&, NavigationCause, bool mainFrame)> onNavigationRequest;
    // Whether the program's own load waits for the page to let go: its
    // "leave this page?" question is then answered yes.
    std::function<bool()> ownLoadWaits;
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

    DialogGate dialogs_;
};

}  // namespace kpw
