#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEngineLoadingInfo>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "browsing/PageLeash.h"
#include "browsing/PageLoads.h"
#include "texts/Texts.h"
#include "webengine/QtBrowserView.h"

class QVariant;
class QWebEnginePage;
class QWebEngineView;

namespace kpw {

class BrowserProfile;
class WebEnginePage;

// A browser view on Qt WebEngine. Its events, as the QtBrowserView signals:
//
//   BeforeNavigate2(url)                 each main-frame navigation request,
//                                        whoever started it (redirects too);
//                                        navigation is never refused
//   DownloadComplete()                   each finished top-level load
//   DocumentComplete(content)            each finished top-level load, after
//                                        DownloadComplete, error pages included;
//                                        never for sub-frames
//   StatusTextChange(text)               load progress, hovered links, and
//                                        why the page's renderer ended
//   BodyTextRead(readable, text)         the answer to ReadBodyText
//   PageNotice(line)                     dialogs refused; the page's renderer
//                                        ended, and why
//
// A finished load means the engine's own end of it: loaded, failed (the error
// page is then on view), or stopped. A load replaced by another before it
// finishes reports nothing; the replacement reports once.
class WebEngineBrowserView : public QtBrowserView {
    Q_OBJECT
public:
    // The view's widget is created without a parent; the window places it.
    explicit WebEngineBrowserView(BrowserProfile& profile, QObject* parent = nullptr);
    // A view nobody sees (the neighbour's): its page runs no scripts of its
    // own and follows only the program's loads.
    struct Hidden {};
    WebEngineBrowserView(BrowserProfile& profile, Hidden, QObject* parent = nullptr);
    // An off-screen page: no widget (Widget() is null), no windows, muted,
    // and unseen as the hidden view. It loads and reports as a view does; the
    // preload queue fetches with it.
    struct OffScreen {};
    WebEngineBrowserView(BrowserProfile& profile, OffScreen, QObject* parent = nullptr);
    ~WebEngineBrowserView() override;

    QWidget* Widget() override;

    // BrowserView. Each throws BrowserError once the page is gone (the widget
    // was deleted, or the profile closed it).
    void Navigate2(const std::string& url, int flags) override;
    void GoBack() override;
    void Refresh() override;
    void Stop() override;
    std::string LocationURL() const override;
    void SetSilent(bool silent) override;
    void ReadBodyText() override;
    void SetLanguage(int language) override;
    void AddEngineMenuEntries(QMenu& menu) override;

    // The engine page, null once it is gone.
    QWebEnginePage* Page() const;
    // How long a finished load waits for its content before it is reported
    // without (a hung or crashed renderer never answers).
    void SetContentTimeout(std::chrono::milliseconds timeout) { loads_.SetContentLimit(timeout); }

private:
    // What the engine told with the report at hand, for the actions of its
    // answer.
    struct Facts {
        const QWebEngineLoadingInfo* Info = nullptr;
        const DocumentContent* Answer = nullptr;
    };

    WebEngineBrowserView(BrowserProfile& profile, bool withView, bool unseen, QObject* parent);
    WebEnginePage& RequirePage() const;
    void ConnectPage();
    // Carries out what the page's loads answer, in order, while the view and
    // its page live.
    void Carry(const PageActions& actions, const Facts& facts);
    void Carry(const PageActions& actions);
    bool OnNavigationRequest(const QUrl& url, NavigationCause cause, bool mainFrame);
    void OnLoadingChanged(const QWebEngineLoadingInfo& info);
    void OnLoadProgress(int percent);
    void OnLinkHovered(const QString& url);
    void OnRenderProcessTerminated(int terminationStatus, int exitCode);
    void ReportStart(const std::string& url);
    void ReportEnd(std::uint64_t ticket, const QWebEngineLoadingInfo* info);
    void ReportRendererEnd(const RendererEnd& end);
    void RequestContent(std::uint64_t ticket);
    void OnContent(std::uint64_t ticket, const QVariant& result);
    void ReportDocument(std::uint64_t ticket, DocumentContent content);
    void TakeAnswer(const QWebEngineLoadingInfo& info);
    void SetLoadStateText(const QString& text);
    void ShowStatusText(const QString& text);
    const texts::BrowserViewTexts& Texts() const;
    // The hung-renderer watch: carries out its answer and arms its timer.
    void CheckRenderer();
    void ArmRendererCheck();

    QPointer<QWebEngineView> view_;
    // An off-screen page's view, never shown: it only gives the page a size.
    QPointer<QWebEngineView> layoutView_;
    QPointer<WebEnginePage> page_;
    const QString markupScript_;
    PageLoads loads_;
    // What the answer to the load last finished said of itself: its HTTP
    // status and Retry-After, or that none came. The texts come later.
    DocumentContent answer_;
    QTimer contentTimer_;
    QTimer emptyingTimer_;
    RendererWatch rendererWatch_;
    QTimer rendererTimer_;
    QString loadStateText_;
    QString shownStatusText_;
    // The end of the load last finished, while no other load runs: its text
    // is said anew in a language chosen meanwhile.
    std::optional<QWebEngineLoadingInfo> lastEnd_;
    int language_ = texts::English;
};

}  // namespace kpw
