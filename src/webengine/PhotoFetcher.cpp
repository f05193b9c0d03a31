#include "webengine/PhotoFetcher.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QVariant>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <chrono>
#include <exception>
#include <utility>

#include "browsing/BrowserView.h"
#include "webengine/BrowserProfile.h"
#include "webengine/Logging.h"

// The resources live in a static library; without this call the linker drops them.
static void InitPhotoFetcherResources() {
    Q_INIT_RESOURCE(photofetcher);
}

namespace kpw {

namespace {

// A fetch that neither starts nor moves on for this long has failed.
constexpr std::chrono::milliseconds FetchTimeout{60000};
constexpr std::chrono::milliseconds FetchPollInterval{25};
// The name a fetch's download gets in its folder.
const char* const FetchFileName = "fetched.part";

QString Text(const char* text) {
    return QString::fromUtf8(text);
}

bool HasWebScheme(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

const QString& FetchScript() {
    static const QString script = [] {
        InitPhotoFetcherResources();
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

}  // namespace

PhotoFetcher::PhotoFetcher(QObject* parent) : QObject(parent) {}

PhotoFetcher::PhotoFetcher(BrowserProfile& profile, QWebEnginePage* page, QObject* parent)
    : QObject(parent), page_(page) {
    if (page_) {
        profile.ClaimDownloads(page_, this, [this](QWebEngineDownloadRequest* download) {
            return TakeDownload(download);
        });
    }
    fetchTimer_.setSingleShot(true);
    connect(&fetchTimer_, &QTimer::timeout, this, [this] {
        if (fetch_ && fetch_->Download) fetch_->Download->cancel();
        FinishFetch({PhotoFailure::FetchFailed, Text(Texts().FetchTimedOut.In(language_)), {}, {}});
    });
}

PhotoFetcher::~PhotoFetcher() {
    fetchTimer_.stop();
    if (fetch_ && fetch_->Download) fetch_->Download->cancel();
}

const texts::BrowserViewTexts& PhotoFetcher::Texts() const {
    return texts::BrowserView;
}

// The engine's download machinery fetches through the profile's network
// stack and HTTP cache, as the page's own loads do.
void PhotoFetcher::Fetch(const QUrl& url, const QString& folder,
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
    const QPointer<PhotoFetcher> self(this);
    page_->runJavaScript(FetchCall(QStringLiteral("start"), url.toString(), key),
                         QWebEngineScript::ApplicationWorld, [self, key](const QVariant& started) {
                             if (!self || !self->fetch_ || self->fetch_->Key != key) return;
                             if (started.toBool())
                                 self->PollFetch();
                             else
                                 self->DownloadFetch();
                         });
}

void PhotoFetcher::PollFetch() {
    const QString key = fetch_->Key;
    QTimer::singleShot(FetchPollInterval, this, [this, key] {
        if (!fetch_ || fetch_->Key != key || fetch_->Downloading) return;
        if (!page_) {
            FinishFetch({PhotoFailure::FetchFailed, Text(Texts().ViewClosed.In(language_)), {}, {}});
            return;
        }
        const QPointer<PhotoFetcher> self(this);
        page_->runJavaScript(FetchCall(QStringLiteral("poll"), {}, key),
                             QWebEngineScript::ApplicationWorld,
                             [self, key](const QVariant& result) {
                                 if (self && self->fetch_ && self->fetch_->Key == key)
                                     self->OnFetchPolled(result);
                             });
    });
}

void PhotoFetcher::OnFetchPolled(const QVariant& result) {
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

void PhotoFetcher::DownloadFetch() {
    if (!fetch_ || fetch_->Downloading) return;
    if (!page_) {
        FinishFetch({PhotoFailure::FetchFailed, Text(Texts().ViewClosed.In(language_)), {}, {}});
        return;
    }
    fetch_->Downloading = true;
    fetchTimer_.start(FetchTimeout);
    page_->download(fetch_->Url, QString::fromLatin1(FetchFileName));
}

bool PhotoFetcher::TakeDownload(QWebEngineDownloadRequest* download) {
    if (!fetch_ || !fetch_->Downloading || fetch_->Download || !page_) return false;
    // Only the photo address's own answer, on this fetcher's page, is the
    // photo; a download the page itself started is not.
    if (download->page() != page_ || download->url() != fetch_->Url) return false;
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

void PhotoFetcher::OnDownloadFinished(QWebEngineDownloadRequest* download) {
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

void PhotoFetcher::FinishFetch(const Fetched& result) {
    if (!fetch_) return;
    fetchTimer_.stop();
    std::function<void(const Fetched&)> done = std::move(fetch_->Done);
    fetch_.reset();
    EmitContained([&] { done(result); });
}

}  // namespace kpw
