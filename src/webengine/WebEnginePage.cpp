#include "webengine/WebEnginePage.h"

#include <QAction>
#include <QAuthenticator>
#include <QCoreApplication>
#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineSettings>
#include <chrono>
#include <utility>

#include "texts/Texts.h"
#include "webengine/ViewSupport.h"

namespace kpw {

namespace {

NavigationCause CauseOf(QWebEnginePage::NavigationType type) {
    switch (type) {
        case QWebEnginePage::NavigationTypeTyped:
            return NavigationCause::Typed;
        case QWebEnginePage::NavigationTypeReload:
            return NavigationCause::Reload;
        case QWebEnginePage::NavigationTypeBackForward:
            return NavigationCause::BackForward;
        case QWebEnginePage::NavigationTypeRedirect:
            return NavigationCause::Redirect;
        case QWebEnginePage::NavigationTypeLinkClicked:
            return NavigationCause::Link;
        case QWebEnginePage::NavigationTypeFormSubmitted:
            return NavigationCause::Form;
        default:
            return NavigationCause::Other;
    }
}

using view::Now;

}  // namespace

WebEnginePage::WebEnginePage(QWebEngineProfile* profile, bool unseen, QObject* parent)
    : QWebEnginePage(profile, parent) {
    // Its scripts would run where nobody sees them; the program's own
    // reading runs in its isolated world all the same.
    if (unseen) settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    connect(this, &QWebEnginePage::featurePermissionRequested, this,
            [this](const QUrl& origin, QWebEnginePage::Feature feature) {
                setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
    connect(this, &QWebEnginePage::authenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
    connect(this, &QWebEnginePage::proxyAuthenticationRequired, this,
            [](const QUrl&, QAuthenticator* authenticator, const QString&) {
                *authenticator = QAuthenticator();
            });
    connect(this, &QWebEnginePage::certificateError, this,
            [](const QWebEngineCertificateError& error) {
                QWebEngineCertificateError answer = error;
                answer.rejectCertificate();
            });
    connect(this, &QWebEnginePage::selectClientCertificate, this,
            [](QWebEngineClientCertificateSelection selection) { selection.selectNone(); });
    connect(this, &QWebEnginePage::fullScreenRequested, this,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::registerProtocolHandlerRequested, this,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    connect(this, &QWebEnginePage::fileSystemAccessRequested, this,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
}

bool WebEnginePage::acceptNavigationRequest(const QUrl& url, NavigationType type,
                                            bool isMainFrame) {
    if (!onNavigationRequest) return !isMainFrame;
    return onNavigationRequest(url, CauseOf(type), isMainFrame);
}

bool WebEnginePage::MayShowDialog() {
    if (silent) return false;
    const DialogGate::Answer answer = dialogs_.Ask(Now());
    if (answer == DialogGate::Answer::RefuseFirst && onDialogsRefused) onDialogsRefused();
    return answer == DialogGate::Answer::Show;
}

void WebEnginePage::DialogClosed() {
    dialogs_.Closed(Now());
}

// The engine asks "leave this page?" as a confirmation with its own text.
bool WebEnginePage::IsLeaveQuestion(const QString& message) const {
    return message ==
           QCoreApplication::translate("QWebEnginePage",
                                       "Are you sure you want to leave this page? Changes that "
                                       "you made may not be saved.");
}

void WebEnginePage::javaScriptAlert(const QUrl& origin, const QString& message) {
    if (MayShowDialog()) {
        QWebEnginePage::javaScriptAlert(origin, message);
        DialogClosed();
    }
}

// Not shown, a confirmation is answered no, except "leave this page?" while
// the program's own load waits for it: that one always goes on, so the view
// never stays on a page the step has left.
bool WebEnginePage::javaScriptConfirm(const QUrl& origin, const QString& message) {
    if (ownLoadWaits && ownLoadWaits() && IsLeaveQuestion(message)) return true;
    // Silent, every confirmation (the user's own "leave page?" among them) is
    // answered yes, so the navigation the user asked for goes on.
    if (silent) return true;
    if (!MayShowDialog()) return false;
    const bool confirmed = QWebEnginePage::javaScriptConfirm(origin, message);
    DialogClosed();
    return confirmed;
}

// Not shown, a prompt is cancelled: the page gets no text nobody typed.
bool WebEnginePage::javaScriptPrompt(const QUrl& origin, const QString& message,
                                     const QString& defaultValue, QString* result) {
    if (!MayShowDialog()) return false;
    const bool answered = QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    DialogClosed();
    return answered;
}

// The engine builds the context menu from the page's actions, so their texts
// are the menu's entries.
void WebEnginePage::PutActionTexts(int language) {
    const texts::ContextMenuTexts& t = texts::ContextMenu;
    const int column = texts::LanguageIndex(language);
    const std::pair<QWebEnginePage::WebAction, texts::Text> entries[] = {
        {QWebEnginePage::Back, t.Back},
        {QWebEnginePage::Forward, t.Forward},
        {QWebEnginePage::Stop, t.Stop},
        {QWebEnginePage::Reload, t.Reload},
        {QWebEnginePage::Cut, t.Cut},
        {QWebEnginePage::Copy, t.Copy},
        {QWebEnginePage::Paste, t.Paste},
        {QWebEnginePage::Undo, t.Undo},
        {QWebEnginePage::Redo, t.Redo},
        {QWebEnginePage::SelectAll, t.SelectAll},
        {QWebEnginePage::PasteAndMatchStyle, t.PasteAndMatchStyle},
        {QWebEnginePage::OpenLinkInThisWindow, t.OpenLinkInThisWindow},
        {QWebEnginePage::OpenLinkInNewWindow, t.OpenLinkInNewWindow},
        {QWebEnginePage::OpenLinkInNewTab, t.OpenLinkInNewTab},
        {QWebEnginePage::OpenLinkInNewBackgroundTab, t.OpenLinkInNewBackgroundTab},
        {QWebEnginePage::CopyLinkToClipboard, t.CopyLinkToClipboard},
        {QWebEnginePage::DownloadLinkToDisk, t.DownloadLinkToDisk},
        {QWebEnginePage::CopyImageToClipboard, t.CopyImageToClipboard},
        {QWebEnginePage::CopyImageUrlToClipboard, t.CopyImageUrlToClipboard},
        {QWebEnginePage::DownloadImageToDisk, t.DownloadImageToDisk},
        {QWebEnginePage::CopyMediaUrlToClipboard, t.CopyMediaUrlToClipboard},
        {QWebEnginePage::ToggleMediaControls, t.ToggleMediaControls},
        {QWebEnginePage::ToggleMediaLoop, t.ToggleMediaLoop},
        {QWebEnginePage::ToggleMediaPlayPause, t.ToggleMediaPlayPause},
        {QWebEnginePage::ToggleMediaMute, t.ToggleMediaMute},
        {QWebEnginePage::DownloadMediaToDisk, t.DownloadMediaToDisk},
        {QWebEnginePage::InspectElement, t.InspectElement},
        {QWebEnginePage::ExitFullScreen, t.ExitFullScreen},
        {QWebEnginePage::SavePage, t.SavePage},
        {QWebEnginePage::ViewSource, t.ViewSource},
        {QWebEnginePage::Unselect, t.Unselect},
    };
    for (const auto& [webAction, text] : entries) {
        action(webAction)->setText(QString::fromUtf8(text.In(column)));
    }
}

}  // namespace kpw
