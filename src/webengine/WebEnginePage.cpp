#include "webengine/WebEnginePage.h"

#include <QAction>
#include <QAuthenticator>
#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <utility>

#include "texts/Texts.h"

namespace kpw {

WebEnginePage::WebEnginePage(QWebEngineProfile* profile, QObject* parent)
    : QWebEnginePage(profile, parent) {
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

bool WebEnginePage::acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) {
    if (isMainFrame && onMainFrameNavigation) {
        onMainFrameNavigation(url);
    }
    return true;
}

void WebEnginePage::javaScriptAlert(const QUrl& origin, const QString& message) {
    if (!silent) {
        QWebEnginePage::javaScriptAlert(origin, message);
    }
}

// Silent, a confirmation (the "leave page?" question among them) is
// answered yes, so the navigation the user asked for goes on.
bool WebEnginePage::javaScriptConfirm(const QUrl& origin, const QString& message) {
    return silent || QWebEnginePage::javaScriptConfirm(origin, message);
}

// Silent, a prompt is cancelled: the page gets no text nobody typed.
bool WebEnginePage::javaScriptPrompt(const QUrl& origin, const QString& message,
                                     const QString& defaultValue, QString* result) {
    return !silent && QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
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
