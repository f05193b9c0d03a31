#include "webengine/BrowserProfile.h"

#include <QApplication>
#include <QQuickWindow>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineUrlRequestInterceptor>
#include <QtGlobal>
#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>

#include "browsing/BrowserView.h"
#include "webengine/PhotoFetcher.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {

namespace {

// Debian's engine gets no security updates, so everything a photo site does
// not need stays off.
void Harden(QWebEngineSettings& settings) {
    using S = QWebEngineSettings;
    for (S::WebAttribute attribute :
         {S::LocalContentCanAccessFileUrls, S::LocalContentCanAccessRemoteUrls,
          S::JavascriptCanOpenWindows, S::JavascriptCanAccessClipboard, S::NavigateOnDropEnabled,
          S::PdfViewerEnabled, S::WebGLEnabled, S::PluginsEnabled, S::AllowRunningInsecureContent,
          S::AllowGeolocationOnInsecureOrigins, S::AllowWindowActivationFromJavaScript,
          S::FullScreenSupportEnabled, S::ScreenCaptureEnabled, S::HyperlinkAuditingEnabled}) {
        settings.setAttribute(attribute, false);
    }
    // The window shows no page icons; fetching them costs every first page
    // of a site a request and the view a decode.
    settings.setAttribute(S::AutoLoadIconsForPage, false);
    // Error pages stay on: the page analysis must see what the user sees.
    settings.setAttribute(S::ErrorPageEnabled, true);
    settings.setUnknownUrlSchemePolicy(S::DisallowUnknownUrlSchemes);
}

// No page may install a worker that outlives it and answers other pages'
// loads: the script of a service worker is never fetched, so registering one
// fails.
class WorkerRefusal : public QWebEngineUrlRequestInterceptor {
public:
    void interceptRequest(QWebEngineUrlRequestInfo& info) override {
        if (info.resourceType() == QWebEngineUrlRequestInfo::ResourceTypeServiceWorker)
            info.block(true);
    }
};

// Whether OpenGL here can only be drawn on the processor: Mesa is told so,
// or there is no GPU a driver could open (no DRM node, no NVIDIA or WSL
// device), as on Xvfb and in many virtual machines. Asked without loading
// OpenGL, which would cost the start as much as it saves.
bool OpenGLIsSoftware() {
    if (qEnvironmentVariableIntValue("LIBGL_ALWAYS_SOFTWARE") != 0) return true;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("card") || name.starts_with("renderD")) return false;
    }
    for (const char* device : {"/dev/nvidiactl", "/dev/dxg"})
        if (std::filesystem::exists(device, error)) return false;
    return true;
}

// The views are drawn by Qt Quick. On OpenGL in software every repaint of
// the main window composes the whole window through it (some 8 ms each on
// two cores), and the page has been drawn on the processor already; Qt
// Quick's own software renderer shows the same pixels and repaints only what
// changed. Chosen once, before the first view exists.
void ChooseViewRenderer() {
    static const bool chosen = [] {
        if (QQuickWindow::graphicsApi() == QSGRendererInterface::OpenGL && OpenGLIsSoftware())
            QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
        return true;
    }();
    (void)chosen;
}

}  // namespace

BrowserProfile::BrowserProfile() {
    if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr) {
        throw BrowserError("The browser engine needs the application object first");
    }
    ChooseViewRenderer();
    // No storage name: off the record, nothing written to disk, the HTTP cache
    // in memory.
    profile_ = std::make_unique<QWebEngineProfile>();
    profile_->setHttpCacheType(QWebEngineProfile::MemoryHttpCache);
    profile_->setPersistentCookiesPolicy(QWebEngineProfile::NoPersistentCookies);
    Harden(*profile_->settings());
    interceptor_ = std::make_unique<WorkerRefusal>();
    profile_->setUrlRequestInterceptor(interceptor_.get());
    // A link to a file would otherwise wait for someone to accept the download.
    QObject::connect(
        profile_.get(), &QWebEngineProfile::downloadRequested,
        [this](QWebEngineDownloadRequest* download) { OnDownloadRequested(download); });
}

BrowserProfile::~BrowserProfile() {
    if (QCoreApplication::instance() == nullptr) {
        qWarning("kpw: the browser profile outlived the application");
    }
    for (const QPointer<QWebEnginePage>& page : pages_) {
        delete page.data();
    }
    profile_.reset();
}

std::unique_ptr<WebEngineBrowserView> BrowserProfile::CreateView() {
    return std::make_unique<WebEngineBrowserView>(*this);
}

std::unique_ptr<WebEngineBrowserView> BrowserProfile::CreateHiddenView() {
    return std::make_unique<WebEngineBrowserView>(*this, WebEngineBrowserView::Hidden{});
}

std::unique_ptr<WebEngineBrowserView> BrowserProfile::CreateOffScreenPage() {
    return std::make_unique<WebEngineBrowserView>(*this, WebEngineBrowserView::OffScreen{});
}

std::unique_ptr<PhotoFetcher> BrowserProfile::CreatePhotoFetcher(QtBrowserView& view) {
    auto* engineView = qobject_cast<WebEngineBrowserView*>(&view);
    if (!engineView) return std::make_unique<PhotoFetcher>();
    return std::make_unique<PhotoFetcher>(*this, engineView->Page());
}

void BrowserProfile::ClaimDownloads(QWebEnginePage* page, QObject* claimant,
                                    std::function<bool(QWebEngineDownloadRequest*)> take) {
    claims_.push_back({page, claimant, std::move(take)});
}

void BrowserProfile::OnDownloadRequested(QWebEngineDownloadRequest* download) {
    std::erase_if(
        claims_, [](const Claim& claim) { return claim.Page.isNull() || claim.Claimant.isNull(); });
    // A claim may add another while it runs, so the list is walked by index.
    for (std::size_t i = 0; i < claims_.size(); ++i) {
        if (!claims_[i].Page.isNull() && !claims_[i].Claimant.isNull() && claims_[i].Take(download))
            return;
    }
    download->cancel();
}

void BrowserProfile::AdoptPage(QWebEnginePage* page) {
    std::erase_if(pages_, [](const QPointer<QWebEnginePage>& known) { return known.isNull(); });
    pages_.emplace_back(page);
}

}  // namespace kpw
