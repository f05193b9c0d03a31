#include "webengine/WebEngineBrowserView.h"

#include <QFile>
#include <QMenu>
#include <QSize>
#include <QVariant>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>
#include <algorithm>
#include <functional>
#include <optional>
#include <utility>

#include "browsing/BusySite.h"
#include "browsing/UnreachableSite.h"
#include "platform/Platform.h"
#include "webengine/BrowserProfile.h"
#include "webengine/Logging.h"
#include "webengine/ViewSupport.h"
#include "webengine/WebEnginePage.h"

// The resources live in a static library; without this call the linker drops them.
static void InitBrowserViewResources() {
    Q_INIT_RESOURCE(browserview);
}

namespace kpw {

namespace {

// The view on view at the main window's design size: its 566 x 573 client
// area less the tool row (26), the status bar (19) and the line between (1).
constexpr QSize OffScreenLayoutSize{566, 527};

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

std::optional<std::string> StringResult(const QVariant& value) {
    if (value.metaType().id() != QMetaType::QString) {
        return std::nullopt;
    }
    return value.toString().toStdString();
}

using view::Encoded;
using view::FromEncoded;
using view::HasWebScheme;
using view::Now;
using view::Text;

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
            // Said in words; the engine's code follows for a bug report.
            if (info.errorDomain() == QWebEngineLoadingInfo::ConnectionErrorDomain ||
                info.errorDomain() == QWebEngineLoadingInfo::DnsErrorDomain)
                return Text(t.CannotReach.In(language)).arg(info.errorString());
            return Text(t.Failed.In(language)).arg(info.errorString());
    }
}

}  // namespace

WebEngineBrowserView::WebEngineBrowserView(BrowserProfile& profile, QObject* parent)
    : WebEngineBrowserView(profile, true, false, parent) {}

WebEngineBrowserView::WebEngineBrowserView(BrowserProfile& profile, Hidden, QObject* parent)
    : WebEngineBrowserView(profile, true, true, parent) {}

WebEngineBrowserView::WebEngineBrowserView(BrowserProfile& profile, OffScreen, QObject* parent)
    : WebEngineBrowserView(profile, false, true, parent) {
    // Nobody sees or hears it.
    page_->setAudioMuted(true);
}

WebEngineBrowserView::WebEngineBrowserView(BrowserProfile& profile, bool withView, bool unseen,
                                           QObject* parent)
    : QtBrowserView(parent), markupScript_(MarkupScript()), loads_(unseen) {
    qRegisterMetaType<kpw::DocumentContent>();
    if (withView) view_ = new QWebEngineView();
    page_ = new WebEnginePage(profile.Profile(), unseen, view_);
    profile.AdoptPage(page_);
    if (view_) view_->setPage(page_);
    contentTimer_.setSingleShot(true);
    connect(&contentTimer_, &QTimer::timeout, this, [this] { Carry(loads_.ContentTimedOut()); });
    emptyingTimer_.setSingleShot(true);
    connect(&emptyingTimer_, &QTimer::timeout, this, [this] { Carry(loads_.EmptyingTimedOut()); });
    rendererTimer_.setSingleShot(true);
    connect(&rendererTimer_, &QTimer::timeout, this, &WebEngineBrowserView::CheckRenderer);
    ConnectPage();
    page_->PutActionTexts(language_);
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
    emptyingTimer_.stop();
    rendererTimer_.stop();
    loads_.PageGone();
    if (page_) {
        page_->onNavigationRequest = nullptr;
        page_->ownLoadWaits = nullptr;
        page_->onDialogsRefused = nullptr;
        page_->disconnect(this);
        delete page_.data();
    }
    delete view_.data();
    delete layoutView_.data();
}

void WebEngineBrowserView::ConnectPage() {
    WebEnginePage* page = page_;
    page->onNavigationRequest = [this](const QUrl& url, NavigationCause cause, bool mainFrame) {
        return OnNavigationRequest(url, cause, mainFrame);
    };
    page->ownLoadWaits = [this] { return loads_.Own() == OwnLoad::Asked; };
    page->onDialogsRefused = [this] {
        EmitContained([&] { emit PageNotice(Text(Texts().DialogsRefused.In(language_))); });
    };
    connect(page, &QWebEnginePage::loadingChanged, this, &WebEngineBrowserView::OnLoadingChanged);
    connect(page, &QWebEnginePage::loadProgress, this, &WebEngineBrowserView::OnLoadProgress);
    connect(page, &QWebEnginePage::linkHovered, this, &WebEngineBrowserView::OnLinkHovered);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus status, int exitCode) {
                OnRenderProcessTerminated(status, exitCode);
            });
    connect(page, &QObject::destroyed, this, [this] {
        contentTimer_.stop();
        emptyingTimer_.stop();
        rendererTimer_.stop();
        loads_.PageGone();
    });
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
    // A page without a view lays out at 0 x 0, where a long page wraps at
    // every word and its renderer takes gigabytes: a view never shown gives
    // it the size of the window's view on view. Made at the first load, so
    // the start does not wait for it.
    if (!view_ && !layoutView_) {
        layoutView_ = new QWebEngineView();
        layoutView_->setPage(&page);
        layoutView_->resize(OffScreenLayoutSize);
    }
    // A hung renderer would hold the step up: it is asked first.
    rendererWatch_.LoadAsked(Now());
    ArmRendererCheck();
    Carry(loads_.Navigate(Encoded(target)));
}

void WebEngineBrowserView::GoBack() {
    WebEnginePage& page = RequirePage();
    if (!page.history()->canGoBack()) {
        throw BrowserError(Texts().NoPreviousPage.In(language_));
    }
    rendererWatch_.LoadAsked(Now());
    ArmRendererCheck();
    Carry(loads_.GoBack());
}

void WebEngineBrowserView::Refresh() {
    RequirePage();
    rendererWatch_.LoadAsked(Now());
    ArmRendererCheck();
    Carry(loads_.Reload());
}

// A renderer that does not answer ends with Stop, and the view is usable
// again.
void WebEngineBrowserView::Stop() {
    RequirePage();
    Carry(loads_.Stop());
    rendererWatch_.Suspect();
    ArmRendererCheck();
}

std::string WebEngineBrowserView::LocationURL() const {
    return RequirePage().url().toString().toStdString();
}

void WebEngineBrowserView::SetSilent(bool silent) {
    RequirePage().silent = silent;
}

void WebEngineBrowserView::ReadBodyText() {
    // As the content of a load: in the isolated world, out of the page's reach,
    // and cut to the same 4 MiB characters.
    static const QString script = QStringLiteral(
        "(() => { const b = document.body; const t = b ? b.innerText : null;"
        " return typeof t === 'string' ? t.slice(0, 4 * 1024 * 1024) : null; })()");
    const QPointer<WebEngineBrowserView> self(this);
    RequirePage().runJavaScript(
        script, QWebEngineScript::ApplicationWorld, [self](const QVariant& result) {
            if (!self) return;
            const std::optional<std::string> text = StringResult(result);
            EmitContained([&] {
                emit self->BodyTextRead(text.has_value(),
                                        QString::fromStdString(text.value_or("")));
            });
        });
}

void WebEngineBrowserView::SetLanguage(int language) {
    const int before = language_;
    language_ = texts::LanguageIndex(language);
    if (!page_) return;
    page_->PutActionTexts(language_);
    // Sites are asked for pages in the program's language; the profile is
    // shared, so each view sets the same.
    page_->profile()->setHttpAcceptLanguage(QString::fromLatin1(texts::AcceptLanguages[language_]));
    // The status bar says the last load's end at once in the new language,
    // unless a hovered link shows.
    if (language_ != before && lastEnd_) {
        const bool shown = shownStatusText_ == loadStateText_;
        loadStateText_ = FinishedText(*lastEnd_, Texts(), language_);
        if (shown) ShowStatusText(loadStateText_);
    }
}

const texts::BrowserViewTexts& WebEngineBrowserView::Texts() const {
    return texts::BrowserView;
}

void WebEngineBrowserView::AddEngineMenuEntries(QMenu& menu) {
    if (!view_ || !page_) return;
    const QWebEngineContextMenuRequest* request = view_->lastContextMenuRequest();
    if (!request) return;
    if (!request->selectedText().isEmpty()) menu.addAction(page_->action(QWebEnginePage::Copy));
    if (request->linkUrl().isValid())
        menu.addAction(page_->action(QWebEnginePage::CopyLinkToClipboard));
}

void WebEngineBrowserView::Carry(const PageActions& actions) {
    Carry(actions, Facts{});
}

void WebEngineBrowserView::Carry(const PageActions& actions, const Facts& facts) {
    using Kind = PageAction::Kind;
    const QPointer<WebEngineBrowserView> self(this);
    for (const PageAction& action : actions) {
        // A report's handler may have closed the view.
        if (!self || !page_) return;
        switch (action.What) {
            case Kind::LoadUrl:
                page_->load(FromEncoded(action.Url));
                break;
            case Kind::GoBack:
                page_->triggerAction(QWebEnginePage::Back);
                break;
            case Kind::Reload:
                page_->triggerAction(QWebEnginePage::Reload);
                break;
            case Kind::StopLoading:
                page_->triggerAction(QWebEnginePage::Stop);
                break;
            case Kind::LoadEmptyDocument:
                page_->load(QUrl(QStringLiteral("about:blank")));
                break;
            case Kind::StartContentTimer:
                contentTimer_.start(action.Wait);
                break;
            case Kind::StopContentTimer:
                contentTimer_.stop();
                break;
            case Kind::StartEmptyingTimer:
                emptyingTimer_.start(action.Wait);
                break;
            case Kind::StopEmptyingTimer:
                emptyingTimer_.stop();
                break;
            case Kind::ReportStart:
                ReportStart(action.Url);
                break;
            case Kind::ReportEnd:
                ReportEnd(action.Ticket, action.EngineEnd ? facts.Info : nullptr);
                break;
            case Kind::ReportRendererEnd:
                if (action.End) ReportRendererEnd(*action.End);
                break;
            case Kind::RequestContent:
                RequestContent(action.Ticket);
                break;
            case Kind::ReportDocument:
                ReportDocument(action.Ticket, action.WithContent && facts.Answer
                                                  ? *facts.Answer
                                                  : DocumentContent{});
                break;
        }
    }
}

bool WebEngineBrowserView::OnNavigationRequest(const QUrl& url, NavigationCause cause,
                                               bool mainFrame) {
    const PageLoads::NavigationAnswer answer = loads_.Navigation(Encoded(url), cause, mainFrame);
    if (answer.Report) EmitContained([&] { emit BeforeNavigate2(url.toString()); });
    return answer.Go;
}

void WebEngineBrowserView::OnLoadingChanged(const QWebEngineLoadingInfo& info) {
    if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
        Carry(loads_.Started(Encoded(info.url())));
        return;
    }
    Carry(loads_.Ended(Encoded(info.url())), {.Info = &info});
}

void WebEngineBrowserView::ReportStart(const std::string& url) {
    page_->NewDocument();
    rendererWatch_.LoadStarted(Now());
    answer_ = {};
    lastEnd_.reset();
    SetLoadStateText(Text(Texts().Loading.In(language_)).arg(FromEncoded(url).toDisplayString()));
}

// The engine names the HTTP status of the answer. Its headers come
// with the load's end from Qt 6.5 on; before, Retry-After cannot be read
// without asking the site again, which a busy site must not be.
void WebEngineBrowserView::TakeAnswer(const QWebEngineLoadingInfo& info) {
    const QWebEngineLoadingInfo::ErrorDomain domain = info.errorDomain();
    answer_.HttpStatus =
        domain == QWebEngineLoadingInfo::HttpStatusCodeDomain ? info.errorCode() : 0;
    // The engine files a missing answer among internal, connection or HTTP
    // errors, by the moment the connection closed; the code tells.
    answer_.ClosedWithoutAnswer = domain != QWebEngineLoadingInfo::HttpStatusCodeDomain &&
                                  domain != QWebEngineLoadingInfo::NoErrorDomain &&
                                  IsClosedWithoutAnswer(info.errorCode());
    answer_.SiteUnreachable = domain == QWebEngineLoadingInfo::DnsErrorDomain ||
                              (domain == QWebEngineLoadingInfo::ConnectionErrorDomain &&
                               IsSiteUnreachable(info.errorCode()));
#if QT_VERSION >= QT_VERSION_CHECK(6, 5, 0)
    const QMultiMap<QByteArray, QByteArray> headers = info.responseHeaders();
    for (auto header = headers.cbegin(); header != headers.cend(); ++header) {
        if (header.key().compare("retry-after", Qt::CaseInsensitive) == 0) {
            answer_.RetryAfter = header.value().toStdString();
        }
    }
#endif
}

void WebEngineBrowserView::OnLoadProgress(int percent) {
    rendererWatch_.SignOfLife(Now());
    if (const std::optional<std::string> url = loads_.LoadingUrl()) {
        SetLoadStateText(Text(Texts().LoadingProgress.In(language_))
                             .arg(FromEncoded(*url).toDisplayString())
                             .arg(percent));
    }
}

void WebEngineBrowserView::OnLinkHovered(const QString& url) {
    ShowStatusText(url.isEmpty() ? loadStateText_ : url);
}

// Without the engine's report (its renderer is gone) the status text stays
// the renderer's end.
void WebEngineBrowserView::ReportEnd(std::uint64_t ticket, const QWebEngineLoadingInfo* info) {
    rendererWatch_.LoadEnded();
    if (info) {
        TakeAnswer(*info);
        lastEnd_ = *info;
        SetLoadStateText(FinishedText(*info, Texts(), language_));
    }
    const QPointer<WebEngineBrowserView> self(this);
    EmitContained([&] { emit DownloadComplete(); });
    if (self && page_) Carry(loads_.EndReported(ticket));
}

// One script reads markup and text together, so both come from the same
// document. It runs in an isolated world: page scripts cannot tamper with it.
void WebEngineBrowserView::RequestContent(std::uint64_t ticket) {
    const QPointer<WebEngineBrowserView> self(this);
    page_->runJavaScript(markupScript_, QWebEngineScript::ApplicationWorld,
                         [self, ticket](const QVariant& result) {
                             if (self) {
                                 self->OnContent(ticket, result);
                             }
                         });
}

void WebEngineBrowserView::OnContent(std::uint64_t ticket, const QVariant& result) {
    if (!page_) return;
    const QVariantMap values = result.toMap();
    DocumentContent content;
    content.BodyMarkup = StringResult(values.value(QStringLiteral("markup")));
    content.BodyText = StringResult(values.value(QStringLiteral("text")));
    if (const auto type = StringResult(values.value(QStringLiteral("type"))))
        content.ContentType = *type;
    Carry(loads_.ContentAnswered(ticket), {.Answer = &content});
}

void WebEngineBrowserView::ReportDocument(std::uint64_t ticket, DocumentContent content) {
    content.HttpStatus = answer_.HttpStatus;
    content.RetryAfter = answer_.RetryAfter;
    content.ClosedWithoutAnswer = answer_.ClosedWithoutAnswer;
    content.SiteUnreachable = answer_.SiteUnreachable;
    const QPointer<WebEngineBrowserView> self(this);
    EmitContained([&] { emit DocumentComplete(content); });
    if (self && page_) Carry(loads_.DocumentReported(ticket));
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
