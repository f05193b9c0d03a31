#include "ui/WebEngineBrowserView.h"

#include <QAction>
#include <QAuthenticator>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QMenu>
#include <QVariant>
#include <QWebEngineCertificateError>
#include <QWebEngineClientCertificateSelection>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineDownloadRequest>
#include <QWebEngineFileSystemAccessRequest>
#include <QWebEngineFullScreenRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineRegisterProtocolHandlerRequest>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <exception>
#include <functional>
#include <optional>
#include <utility>

#include "ui/BrowserProfile.h"
#include "ui/Logging.h"

// The resources live in a static library; without this call the linker drops them.
static void InitBrowserViewResources() {
    Q_INIT_RESOURCE(browserview);
}

namespace kpw {

namespace {

constexpr std::chrono::milliseconds DefaultContentTimeout{5000};
// A fetch that neither starts nor moves on for this long has failed.
constexpr std::chrono::milliseconds FetchTimeout{60000};
// The name a fetch's download gets in its folder.
const char* const FetchFileName = "fetched.part";

QString LoadMarkupScript() {
    InitBrowserViewResources();
    QFile file(QStringLiteral(":/kpw/LegacyMarkup.js"));
    if (!file.open(QIODevice::ReadOnly)) {
        throw BrowserError("The page reader script is missing from the program");
    }
    return QString::fromUtf8(file.readAll());
}

const QString& MarkupScript() {
    static const QString script = LoadMarkupScript();
    return script;
}

const QString& FetchScript() {
    static const QString script = [] {
        InitBrowserViewResources();
        QFile file(QStringLiteral(":/kpw/FetchFromCache.js"));
        if (!file.open(QIODevice::ReadOnly)) {
            throw BrowserError("The photo fetch script is missing from the program");
        }
        return QString::fromUtf8(file.readAll());
    }();
    return script;
}

// The fetch script called with its arguments, each a JSON string.
QString FetchCall(const QString& command, const QString& url, const QString& key) {
    const auto quoted = [](const QString& text) {
        const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
        return QString::fromUtf8(json.mid(1, json.size() - 2));
    };
    return FetchScript() + QLatin1Char('(') + quoted(command) + QLatin1Char(',') + quoted(url) +
           QLatin1Char(',') + quoted(key) + QStringLiteral(");");
}

constexpr std::chrono::milliseconds FetchPollInterval{25};

std::optional<std::string> StringResult(const QVariant& value) {
    if (value.metaType().id() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

bool HasWebScheme(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

QString FinishedText(const QWebEngineLoadingInfo& info, const texts::BrowserViewTexts& t,
                     int language) {
    switch (info.status()) {
        case QWebEngineLoadingInfo::LoadSucceededStatus:
            return Text(t.Done.In(language));
        case QWebEngineLoadingInfo::LoadStoppedStatus:
            return Text(t.Stopped.In(language));
        default:
            if (info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain) {
                return Text(t.DoneWithHttpStatus.In(language)).arg(info.errorCode());
            }
            return Text(t.Failed.In(language)).arg(info.errorString());
    }
}

// Handlers of the window run inside the engine's callbacks; nothing they throw
// may unwind through the engine.
template <typename Emit>
void EmitContained(Emit&& emitSignal) {
    try {
        emitSignal();
    } catch (const std::exception& error) {
        qCWarning(lcProgram, "a browser event handler failed: %s", error.what());
    } catch (...) {
        qCWarning(lcProgram, "a browser event handler failed");
    }
}

}  // namespace

// The engine page with the program's answers to what a page may ask of the user.
class WebEnginePage : public QWebEnginePage {
public:
    WebEnginePage(QWebEngineProfile* profile, QObject* parent) : QWebEnginePage(profile, parent) {}

    bool silent = false;
    std::function<void(const QUrl&)> onMainFrameNavigation;

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (isMainFrame && onMainFrameNavigation) {
            onMainFrameNavigation(url);
        }
        return true;
    }

    // No pop-up windows: links that ask for one and scripts get nothing.
    QWebEnginePage* createWindow(WebWindowType) override { return nullptr; }

    QStringList chooseFiles(FileSelectionMode, const QStringList&, const QStringList&) override {
        return {};
    }

    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        if (!silent) {
            QWebEnginePage::javaScriptAlert(origin, message);
        }
    }

    // Silent, a confirmation (the "leave page?" question among them) is
    // answered yes, so the navigation the user asked for goes on.
    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        return silent || QWebEnginePage::javaScriptConfirm(origin, message);
    }

    // Silent, a prompt is cancelled: the page gets no text nobody typed.
    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& defaultValue,
                          QString* result) override {
        return !silent && QWebEnginePage::javaScriptPrompt(origin, message, defaultValue, result);
    }

    // Pages are not allowed to fill the program's own output.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}
};

WebEngineBrowserView::WebEngineBrowserView(BrowserProfile& profile, QObject* parent)
    : WebEngineBrowserView(profile, true, parent) {}

WebEngineBrowserView::WebEngineBrowserView(BrowserProfile& profile, OffScreen, QObject* parent)
    : WebEngineBrowserView(profile, false, parent) {
    // Nobody sees or hears it.
    page_->setAudioMuted(true);
}

WebEngineBrowserView::WebEngineBrowserView(BrowserProfile& profile, bool withView, QObject* parent)
    : QtBrowserView(parent), markupScript_(MarkupScript()), contentTimeout_(DefaultContentTimeout) {
    qRegisterMetaType<kpw::DocumentContent>();
    if (withView) view_ = new QWebEngineView();
    page_ = new WebEnginePage(profile.Profile(), view_);
    profile.AdoptPage(page_);
    if (view_) view_->setPage(page_);
    contentTimer_.setSingleShot(true);
    connect(&contentTimer_, &QTimer::timeout, this, [this] {
        if (contentPending_) {
            DeliverContent({});
        }
    });
    ConnectPage();
    PutContextMenuTexts();
    profile.ClaimDownloads(
        page_, [this](QWebEngineDownloadRequest* download) { return TakeDownload(download); });
    fetchTimer_.setSingleShot(true);
    connect(&fetchTimer_, &QTimer::timeout, this, [this] {
        if (fetch_ && fetch_->Download) fetch_->Download->cancel();
        FinishFetch({PhotoFailure::FetchFailed, Text(Texts().FetchTimedOut.In(language_)), {}, {}});
    });
    // The window shows a menu of its own, with the engine's entries that
    // apply; an off-screen page has no view and no menu.
    if (view_) {
        view_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
            if (view_) EmitContained([&] { emit ContextMenuRequested(view_->mapToGlobal(pos)); });
        });
    }
}

WebEngineBrowserView::~WebEngineBrowserView() {
    contentTimer_.stop();
    fetchTimer_.stop();
    if (fetch_ && fetch_->Download) fetch_->Download->cancel();
    fetch_.reset();
    contentPending_ = false;
    ++generation_;
    if (page_) {
        page_->onMainFrameNavigation = nullptr;
        page_->disconnect(this);
        delete page_.data();
    }
    delete view_.data();
}

void WebEngineBrowserView::ConnectPage() {
    WebEnginePage* page = page_;
    page->onMainFrameNavigation = [this](const QUrl& url) { OnMainFrameNavigation(url); };
    connect(page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowserView::OnLoadingChanged);
    connect(page, &QWebEnginePage::loadProgress, this, &WebEngineBrowserView::OnLoadProgress);
    connect(page, &QWebEnginePage::linkHovered, this, &WebEngineBrowserView::OnLinkHovered);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int) {
                OnRenderProcessTerminated(status);
            });
    connect(page, &QObject::destroyed, this, [this] {
        contentTimer_.stop();
        contentPending_ = false;
        loading_ = false;
    });

    // Whatever a page asks beyond showing itself is refused.
    connect(page, &QWebEnginePage::featurePermissionRequested, page,
            [page](const QUrl& origin, QWebEnginePage::Feature feature) {
                page->setFeaturePermission(origin, feature, QWebEnginePage::PermissionDeniedByUser);
            });
    connect(page, &QWebEnginePage::authenticationRequired, page,
            [](const QUrl&, QAuthenticator* authenticator) { *authenticator = QAuthenticator(); });
    connect(page, &QWebEnginePage::proxyAuthenticationRequired, page,
            [](const QUrl&, QAuthenticator* authenticator, const QString&) {
                *authenticator = QAuthenticator();
            });
    connect(page, &QWebEnginePage::certificateError, page,
            [](const QWebEngineCertificateError& error) {
                QWebEngineCertificateError answer = error;
                answer.rejectCertificate();
            });
    connect(page, &QWebEnginePage::selectClientCertificate, page,
            [](QWebEngineClientCertificateSelection selection) { selection.selectNone(); });
    connect(page, &QWebEnginePage::fullScreenRequested, page,
            [](QWebEngineFullScreenRequest request) { request.reject(); });
    connect(page, &QWebEnginePage::registerProtocolHandlerRequested, page,
            [](QWebEngineRegisterProtocolHandlerRequest request) { request.reject(); });
    connect(page, &QWebEnginePage::fileSystemAccessRequested, page,
            [](QWebEngineFileSystemAccessRequest request) { request.reject(); });
}

QWidget* WebEngineBrowserView::Widget() {
    return view_;
}

QWebEnginePage* WebEngineBrowserView::Page() const {
    return page_;
}

WebEnginePage& WebEngineBrowserView::RequirePage() const {
    if (!page_) {
        throw BrowserError(Texts().ViewClosed.In(language_));
    }
    return *page_;
}

void WebEngineBrowserView::Navigate2(const std::string& url, int /*flags*/) {
    WebEnginePage& page = RequirePage();
    const QUrl target(QString::fromStdString(url), QUrl::StrictMode);
    if (!target.isValid() || !HasWebScheme(target) || target.host().isEmpty()) {
        throw BrowserError(Text(Texts().CannotOpenAddress.In(language_))
                               .arg(QString::fromStdString(url))
                               .toStdString());
    }
    page.load(target);
}

void WebEngineBrowserView::GoBack() {
    WebEnginePage& page = RequirePage();
    if (!page.history()->canGoBack()) {
        throw BrowserError(Texts().NoPreviousPage.In(language_));
    }
    page.triggerAction(QWebEnginePage::Back);
}

void WebEngineBrowserView::Refresh() {
    RequirePage().triggerAction(QWebEnginePage::Reload);
}

void WebEngineBrowserView::Stop() {
    RequirePage().triggerAction(QWebEnginePage::Stop);
}

std::string WebEngineBrowserView::LocationURL() const {
    return RequirePage().url().toString().toStdString();
}

void WebEngineBrowserView::SetSilent(bool silent) {
    RequirePage().silent = silent;
}

void WebEngineBrowserView::SetLanguage(int language) {
    language_ = texts::LanguageIndex(language);
    PutContextMenuTexts();
}

const texts::BrowserViewTexts& WebEngineBrowserView::Texts() const {
    return texts::BrowserView;
}

// The engine builds the context menu from the page's actions, so their texts
// are the menu's entries.
void WebEngineBrowserView::PutContextMenuTexts() {
    if (!page_) {
        return;
    }
    const texts::ContextMenuTexts& t = texts::ContextMenu;
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
    for (const auto& [action, text] : entries) {
        page_->action(action)->setText(Text(text.In(language_)));
    }
}

void WebEngineBrowserView::AddEngineMenuEntries(QMenu& menu) {
    if (!view_ || !page_) return;
    const QWebEngineContextMenuRequest* request = view_->lastContextMenuRequest();
    if (!request) return;
    if (!request->selectedText().isEmpty()) menu.addAction(page_->action(QWebEnginePage::Copy));
    if (request->linkUrl().isValid())
        menu.addAction(page_->action(QWebEnginePage::CopyLinkToClipboard));
}

// The engine's download machinery fetches through the profile's network
// stack and HTTP cache, as the page's own loads do.
void WebEngineBrowserView::Fetch(const QUrl& url, const QString& folder,
                                 std::function<void(const Fetched&)> done) {
    if (fetch_ || !page_ || !HasWebScheme(url)) {
        const QString why = fetch_ ? Text(Texts().FetchBusy.In(language_)) : url.toString();
        QTimer::singleShot(0, this, [done = std::move(done), why] {
            done({PhotoFailure::FetchFailed, why, {}, {}});
        });
        return;
    }
    const QString key = QString::number(++fetchCount_);
    fetch_ = PendingFetch{url, folder, std::move(done), {}, key};
    fetchTimer_.start(FetchTimeout);
    // The page asks first: its fetch may be answered from the cache.
    const QPointer<WebEngineBrowserView> self(this);
    page_->runJavaScript(FetchCall(QStringLiteral("start"), url.toString(), key),
                         QWebEngineScript::ApplicationWorld, [self, key](const QVariant& started) {
                             if (!self || !self->fetch_ || self->fetch_->Key != key) return;
                             if (started.toBool())
                                 self->PollFetch();
                             else
                                 self->DownloadFetch();
                         });
}

void WebEngineBrowserView::PollFetch() {
    const QString key = fetch_->Key;
    QTimer::singleShot(FetchPollInterval, this, [this, key] {
        if (!fetch_ || fetch_->Key != key || fetch_->Downloading) return;
        if (!page_) {
            FinishFetch(
                {PhotoFailure::FetchFailed, Text(Texts().ViewClosed.In(language_)), {}, {}});
            return;
        }
        const QPointer<WebEngineBrowserView> self(this);
        page_->runJavaScript(FetchCall(QStringLiteral("poll"), {}, key),
                             QWebEngineScript::ApplicationWorld,
                             [self, key](const QVariant& result) {
                                 if (self && self->fetch_ && self->fetch_->Key == key)
                                     self->OnFetchPolled(result);
                             });
    });
}

void WebEngineBrowserView::OnFetchPolled(const QVariant& result) {
    if (result.metaType().id() == QMetaType::QString &&
        result.toString() == QLatin1String("running")) {
        PollFetch();
        return;
    }
    const QVariantMap answer = result.toMap();
    // The page was replaced, or may not read the address (another host
    // without permission, the page's own rules): the engine downloads it.
    if (answer.isEmpty() || answer.contains(QStringLiteral("error"))) {
        DownloadFetch();
        return;
    }
    if (!answer.value(QStringLiteral("ok")).toBool()) {
        FinishFetch({PhotoFailure::SiteError,
                     QStringLiteral("HTTP %1").arg(answer.value(QStringLiteral("status")).toInt()),
                     {},
                     {}});
        return;
    }
    const QString type = answer.value(QStringLiteral("type")).toString();
    const QByteArray bytes =
        QByteArray::fromBase64(answer.value(QStringLiteral("data")).toString().toLatin1());
    const QString path = QDir(fetch_->Folder).filePath(QString::fromLatin1(FetchFileName));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = file.errorString();
        file.close();
        QFile::remove(path);
        FinishFetch({PhotoFailure::WriteFailed, why, {}, {}});
        return;
    }
    file.close();
    FinishFetch({std::nullopt, {}, path, type});
}

void WebEngineBrowserView::DownloadFetch() {
    if (!fetch_ || fetch_->Downloading) return;
    if (!page_) {
        FinishFetch({PhotoFailure::FetchFailed, Text(Texts().ViewClosed.In(language_)), {}, {}});
        return;
    }
    fetch_->Downloading = true;
    fetchTimer_.start(FetchTimeout);
    page_->download(fetch_->Url, QString::fromLatin1(FetchFileName));
}

bool WebEngineBrowserView::TakeDownload(QWebEngineDownloadRequest* download) {
    if (!fetch_ || !fetch_->Downloading || fetch_->Download || !page_) return false;
    if (download->page() != page_ && download->url() != fetch_->Url) return false;
    fetch_->Download = download;
    const QString type = download->mimeType();
    if (!ExtensionForContentType(type.toStdString())) {
        download->cancel();
        // Finished after the engine's signal has returned.
        QTimer::singleShot(0, this, [this, type] {
            FinishFetch(
                {PhotoFailure::NotAnImage, type.isEmpty() ? QStringLiteral("?") : type, {}, {}});
        });
        return true;
    }
    download->setDownloadDirectory(fetch_->Folder);
    download->setDownloadFileName(QString::fromLatin1(FetchFileName));
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, this,
            [this] { fetchTimer_.start(FetchTimeout); });
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, this, [this, download] {
        if (download->isFinished()) OnDownloadFinished(download);
    });
    download->accept();
    return true;
}

void WebEngineBrowserView::OnDownloadFinished(QWebEngineDownloadRequest* download) {
    if (!fetch_ || fetch_->Download != download) return;
    const QString path = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    if (download->state() == QWebEngineDownloadRequest::DownloadCompleted) {
        FinishFetch({std::nullopt, {}, path, download->mimeType()});
        return;
    }
    // Nothing half-fetched stays behind.
    QFile::remove(path);
    using R = QWebEngineDownloadRequest::DownloadInterruptReason;
    PhotoFailure failure = PhotoFailure::FetchFailed;
    switch (download->interruptReason()) {
        case R::FileNoSpace:
            failure = PhotoFailure::DiskFull;
            break;
        case R::FileFailed:
        case R::FileAccessDenied:
        case R::FileNameTooLong:
        case R::FileTooLarge:
        case R::FileTransientError:
            failure = PhotoFailure::WriteFailed;
            break;
        case R::ServerFailed:
        case R::ServerBadContent:
        case R::ServerUnauthorized:
        case R::ServerCertProblem:
        case R::ServerForbidden:
        case R::ServerUnreachable:
            failure = PhotoFailure::SiteError;
            break;
        default:
            break;
    }
    FinishFetch({failure, download->interruptReasonString(), {}, {}});
}

void WebEngineBrowserView::FinishFetch(const Fetched& result) {
    if (!fetch_) return;
    fetchTimer_.stop();
    std::function<void(const Fetched&)> done = std::move(fetch_->Done);
    fetch_.reset();
    EmitContained([&] { done(result); });
}

void WebEngineBrowserView::OnMainFrameNavigation(const QUrl& url) {
    EmitContained([&] { emit BeforeNavigate2(url.toString()); });
}

// Loads are told apart by the engine's own start and end of each, not by
// pairing calls with signals: a load started while another is in flight
// replaces it, and the engine then reports one end for both.
void WebEngineBrowserView::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        ++generation_;
        contentTimer_.stop();
        contentPending_ = false;
        loading_ = true;
        loadingUrl_ = info.url();
        httpStatus_ = 0;
        retryAfter_.reset();
        SetLoadStateText(Text(Texts().Loading.In(language_)).arg(loadingUrl_.toDisplayString()));
        return;
    }
    if (loading_) {
        TakeAnswer(info);
        FinishLoad(FinishedText(info, Texts(), language_), true);
    }
}

// The engine names the HTTP status of the answer. Its headers come
// with the load's end from Qt 6.5 on; before, Retry-After cannot be read
// without asking the site again, which a busy site must not be.
void WebEngineBrowserView::TakeAnswer(const QWebEngineLoadingInfo& info) {
    httpStatus_ =
        info.errorDomain() == QWebEngineLoadingInfo::HttpStatusCodeDomain ? info.errorCode() : 0;
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    const QMultiMap<QByteArray, QByteArray> headers = info.responseHeaders();
    for (auto header = headers.cbegin(); header != headers.cend(); ++header) {
        if (header.key().compare("retry-after", Qt::CaseInsensitive) == 0) {
            retryAfter_ = header.value().toStdString();
        }
    }
#endif
}

void WebEngineBrowserView::OnLoadProgress(int percent) {
    if (loading_) {
        SetLoadStateText(Text(Texts().LoadingProgress.In(language_))
                             .arg(loadingUrl_.toDisplayString())
                             .arg(percent));
    }
}

void WebEngineBrowserView::OnLinkHovered(const QString& url) {
    ShowStatusText(url.isEmpty() ? loadStateText_ : url);
}

void WebEngineBrowserView::OnRenderProcessTerminated(int terminationStatus) {
    if (terminationStatus == QWebEnginePage::NormalTerminationStatus) {
        return;
    }
    // A dead renderer answers no content request and may never end its load.
    if (loading_) {
        FinishLoad(Text(Texts().PageStoppedWorking.In(language_)), false);
    } else if (contentPending_) {
        DeliverContent({});
    }
}

void WebEngineBrowserView::FinishLoad(const QString& stateText, bool readContent) {
    loading_ = false;
    const std::uint64_t load = ++generation_;
    contentTimer_.stop();
    contentPending_ = false;
    SetLoadStateText(stateText);
    const QPointer<WebEngineBrowserView> self(this);
    EmitContained([&] { emit DownloadComplete(); });
    // A handler may have started the next load or closed the view meanwhile.
    if (!self || load != generation_ || !page_) {
        return;
    }
    if (readContent) {
        RequestContent(load);
    } else {
        DeliverContent({});
    }
}

// One script reads markup and text together, so both come from the same
// document. It runs in an isolated world: page scripts cannot tamper with it.
void WebEngineBrowserView::RequestContent(std::uint64_t load) {
    contentPending_ = true;
    contentTimer_.start(contentTimeout_);
    const QPointer<WebEngineBrowserView> self(this);
    page_->runJavaScript(markupScript_, QWebEngineScript::ApplicationWorld,
                         [self, load](const QVariant& result) {
                             if (self) {
                                 self->OnContent(load, result);
                             }
                         });
}

void WebEngineBrowserView::OnContent(std::uint64_t load, const QVariant& result) {
    // Late answers (a newer load began, or the timeout already reported this
    // one) and answers from a deleted page are dropped.
    if (!contentPending_ || load != generation_ || !page_) {
        return;
    }
    const QVariantMap values = result.toMap();
    DocumentContent content;
    content.BodyMarkup = StringResult(values.value(QStringLiteral("markup")));
    content.BodyText = StringResult(values.value(QStringLiteral("text")));
    DeliverContent(content);
}

void WebEngineBrowserView::DeliverContent(DocumentContent content) {
    contentPending_ = false;
    contentTimer_.stop();
    content.HttpStatus = httpStatus_;
    content.RetryAfter = retryAfter_;
    EmitContained([&] { emit DocumentComplete(content); });
}

void WebEngineBrowserView::SetLoadStateText(const QString& text) {
    loadStateText_ = text;
    ShowStatusText(text);
}

void WebEngineBrowserView::ShowStatusText(const QString& text) {
    if (text == shownStatusText_) {
        return;
    }
    shownStatusText_ = text;
    EmitContained([&] { emit StatusTextChange(text); });
}

}  // namespace kpw
