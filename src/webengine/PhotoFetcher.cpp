#include "webengine/PhotoFetcher.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QVariant>
#include <QWebEngineDownloadRequest>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <algorithm>
#include <chrono>
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

// The name of the photo's file in its fetch's own folder.
const char* const FetchFileName = "photo.part";
// The hidden folder of a fetch beside the file it is to become.
const char* const FetchFolderPattern = ".kpw-XXXXXX";
// The most the page hands over per poll; what it holds never exceeds this
// by more than one read of the stream.
constexpr int CachePieceBytes = 256 * 1024;
constexpr int CacheWaitingPollMs = 25;
// Enough of a file's start to tell every picture type PhotoFiles knows.
constexpr qint64 PictureHeadBytes = 32;

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

QString JsonString(const QString& text) {
    const QByteArray json = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(json.mid(1, json.size() - 2));
}

// The fetch script called with its arguments.
QString FetchCall(const char* command, const QString& url, const QString& key) {
    return FetchScript() + QLatin1Char('(') + JsonString(QString::fromLatin1(command)) +
           QLatin1Char(',') + JsonString(url) + QLatin1Char(',') + JsonString(key) +
           QLatin1Char(',') + QString::number(CachePieceBytes) + QStringLiteral(");");
}

PhotoFailure WriteFailureOf(const QFileDevice& file) {
    // Qt reports a full disk (ENOSPC) as a resource error.
    return file.error() == QFileDevice::ResourceError ? PhotoFailure::DiskFull
                                                      : PhotoFailure::WriteFailed;
}

PhotoFailure FailureOfInterrupt(QWebEngineDownloadRequest::DownloadInterruptReason reason) {
    using R = QWebEngineDownloadRequest::DownloadInterruptReason;
    switch (reason) {
        case R::FileNoSpace:
            return PhotoFailure::DiskFull;
        case R::FileFailed:
        case R::FileAccessDenied:
        case R::FileNameTooLong:
        case R::FileTooLarge:
        case R::FileTransientError:
            return PhotoFailure::WriteFailed;
        case R::ServerFailed:
        case R::ServerBadContent:
        case R::ServerUnauthorized:
        case R::ServerCertProblem:
        case R::ServerForbidden:
        case R::ServerUnreachable:
            return PhotoFailure::SiteError;
        default:
            break;
    }
    return PhotoFailure::FetchFailed;
}

}  // namespace

PhotoFetch::PhotoFetch(PhotoFetcher& fetcher, PhotoFetchRequest request, QString key)
    : QObject(&fetcher),
      fetcher_(fetcher),
      request_(std::move(request)),
      key_(std::move(key)),
      watch_(request_.Limits, fetcher.NowMs()) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this,
            [this] { fetcher_.Follow(*this, watch_.Check(fetcher_.NowMs())); });
}

void PhotoFetch::Cancel() {
    if (state_ == State::Finished) return;
    fetcher_.Follow(*this, watch_.End(FetchStop::Cancelled));
}

void PhotoFetch::Leave() {
    if (state_ == State::Finished) return;
    const FetchOrder order = watch_.Left(fetcher_.NowMs());
    // A queued fetch takes it along when it starts.
    if (state_ == State::Running) fetcher_.Follow(*this, order);
}

PhotoFetcher::PhotoFetcher(QObject* parent) : QObject(parent) {
    qRegisterMetaType<PhotoFetchResult>();
}

PhotoFetcher::PhotoFetcher(BrowserProfile& profile, QWebEnginePage* page, QObject* parent,
                           int maxRunning)
    : QObject(parent), page_(page), maxRunning_(std::max(1, maxRunning)) {
    qRegisterMetaType<PhotoFetchResult>();
    if (page_) {
        profile.ClaimDownloads(page_, this, [this](QWebEngineDownloadRequest* download) {
            return TakeDownload(download);
        });
        connect(page_, &QObject::destroyed, this, [this] { OnPageGone(); });
    }
}

PhotoFetcher::~PhotoFetcher() {
    // Downloads are the profile's and would go on writing.
    for (const QPointer<PhotoFetch>& fetch : running_)
        if (fetch && fetch->download_) fetch->download_->cancel();
}

std::int64_t PhotoFetcher::NowMs() const {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int PhotoFetcher::Running() const {
    return static_cast<int>(
        std::count_if(running_.begin(), running_.end(),
                      [](const QPointer<PhotoFetch>& f) { return !f.isNull(); }));
}

int PhotoFetcher::Queued() const {
    return static_cast<int>(queued_.size());
}

PhotoFetch* PhotoFetcher::Start(PhotoFetchRequest request) {
    auto* fetch = new PhotoFetch(*this, std::move(request), QString::number(++fetchCount_));
    if (!page_) {
        FailLater(*fetch, PhotoFailure::FetchFailed,
                  QString::fromStdString(DetailOfStop(FetchStop::ViewGone, language_, 0)));
    } else if (!HasWebScheme(fetch->Url())) {
        FailLater(*fetch, PhotoFailure::FetchFailed, fetch->Url().toString());
    } else if (Running() >= maxRunning_) {
        queued_.emplace_back(fetch);
    } else {
        Run(*fetch);
    }
    return fetch;
}

void PhotoFetcher::FailLater(PhotoFetch& fetch, PhotoFailure failure, const QString& detail) {
    fetch.state_ = PhotoFetch::State::Running;
    running_.emplace_back(&fetch);
    Finish(fetch, {failure, detail, {}, 0, {}, {}, {}});
}

void PhotoFetcher::StartNextQueued() {
    std::erase_if(running_, [](const QPointer<PhotoFetch>& f) {
        return f.isNull() || f->state_ == PhotoFetch::State::Finished;
    });
    while (Running() < maxRunning_ && !queued_.empty()) {
        QPointer<PhotoFetch> next = queued_.front();
        queued_.pop_front();
        if (next && next->state_ == PhotoFetch::State::Queued) Run(*next);
    }
}

void PhotoFetcher::Run(PhotoFetch& fetch) {
    fetch.state_ = PhotoFetch::State::Running;
    running_.emplace_back(&fetch);
    // The waits count from now, not from the queue.
    const bool left = fetch.watch_.IsLeft();
    fetch.watch_ = PhotoFetchWatch(fetch.request_.Limits, NowMs());
    if (left) fetch.watch_.Left(NowMs());
    fetch.folder_ = std::make_shared<QTemporaryDir>(
        QDir(fetch.request_.Folder).filePath(QString::fromLatin1(FetchFolderPattern)));
    if (!fetch.folder_->isValid()) {
        const QString why = fetch.folder_->errorString();
        fetch.folder_.reset();
        Finish(fetch, {PhotoFailure::FolderNotWritable, why, {}, 0, {}, {}, {}});
        return;
    }
    fetch.filePath_ = fetch.folder_->filePath(QString::fromLatin1(FetchFileName));
    if (!page_) {
        Follow(fetch, fetch.watch_.End(FetchStop::ViewGone));
        return;
    }
    AskCache(fetch);
}

void PhotoFetcher::AskCache(PhotoFetch& fetch) {
    ArmDeadline(fetch);
    const QPointer<PhotoFetch> guard(&fetch);
    page_->runJavaScript(FetchCall("start", fetch.Url().toString(), fetch.key_),
                         QWebEngineScript::ApplicationWorld,
                         [this, guard](const QVariant& started) {
                             if (!guard || guard->state_ != PhotoFetch::State::Running ||
                                 guard->watch_.Route() != FetchRoute::Cache)
                                 return;
                             if (started.toBool())
                                 PollCache(*guard, 0);
                             else
                                 Follow(*guard, guard->watch_.CacheMissed(NowMs()));
                         });
}

void PhotoFetcher::PollCache(PhotoFetch& fetch, int delayMs) {
    const QPointer<PhotoFetch> guard(&fetch);
    QTimer::singleShot(delayMs, &fetch, [this, guard] {
        if (!guard || guard->state_ != PhotoFetch::State::Running ||
            guard->watch_.Route() != FetchRoute::Cache)
            return;
        if (!page_) {
            Follow(*guard, guard->watch_.End(FetchStop::ViewGone));
            return;
        }
        page_->runJavaScript(FetchCall("poll", {}, guard->key_), QWebEngineScript::ApplicationWorld,
                             [this, guard](const QVariant& result) {
                                 if (guard && guard->state_ == PhotoFetch::State::Running &&
                                     guard->watch_.Route() == FetchRoute::Cache)
                                     OnCachePolled(*guard, result);
                             });
    });
}

void PhotoFetcher::OnCachePolled(PhotoFetch& fetch, const QVariant& result) {
    if (result.metaType().id() == QMetaType::QString &&
        result.toString() == QLatin1String("waiting")) {
        PollCache(fetch, CacheWaitingPollMs);
        return;
    }
    const QVariantMap answer = result.toMap();
    // The page was replaced, or the cache does not hold the photo, or the
    // page may not read it: the site is asked.
    if (answer.isEmpty() || answer.contains(QStringLiteral("error"))) {
        Follow(fetch, fetch.watch_.CacheMissed(NowMs()));
        return;
    }
    if (!fetch.file_.isOpen()) {
        fetch.contentType_ = answer.value(QStringLiteral("type")).toString();
        bool known = false;
        const qulonglong total =
            answer.value(QStringLiteral("total")).toString().toULongLong(&known);
        const FetchOrder order = fetch.watch_.Answered(
            NowMs(), known ? std::optional<std::uint64_t>(total) : std::nullopt);
        if (order != FetchOrder::GoOn) {
            Follow(fetch, order);
            return;
        }
        fetch.file_.setFileName(fetch.filePath_);
        if (!fetch.file_.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            Finish(fetch,
                   {WriteFailureOf(fetch.file_), fetch.file_.errorString(), {}, 0, {}, {}, {}});
            return;
        }
    }
    const QByteArray bytes =
        QByteArray::fromBase64(answer.value(QStringLiteral("data")).toString().toLatin1());
    if (!bytes.isEmpty() && (fetch.file_.write(bytes) != bytes.size() || !fetch.file_.flush())) {
        Finish(fetch, {WriteFailureOf(fetch.file_), fetch.file_.errorString(), {}, 0, {}, {}, {}});
        return;
    }
    const bool done = answer.value(QStringLiteral("done")).toBool();
    FetchOrder order =
        fetch.watch_.Received(NowMs(), static_cast<std::uint64_t>(fetch.file_.size()));
    if (order == FetchOrder::GoOn) {
        emit fetch.Progress(fetch.watch_.ReceivedBytes(),
                            fetch.watch_.TotalBytes() ? qint64(*fetch.watch_.TotalBytes()) : -1);
        if (done) fetch.file_.close();
        JudgeBytes(fetch, done);
        if (fetch.state_ != PhotoFetch::State::Running) return;
    }
    if (order != FetchOrder::GoOn) {
        Follow(fetch, order);
    } else if (done) {
        Finish(fetch, {std::nullopt, {}, {}, fetch.watch_.ReceivedBytes(), {}, {}, {}});
    } else {
        ArmDeadline(fetch);
        PollCache(fetch, bytes.isEmpty() ? CacheWaitingPollMs : 0);
    }
}

void PhotoFetcher::DropCacheRoute(PhotoFetch& fetch) {
    if (page_)
        page_->runJavaScript(FetchCall("cancel", {}, fetch.key_),
                             QWebEngineScript::ApplicationWorld, [](const QVariant&) {});
    if (fetch.file_.isOpen()) fetch.file_.close();
    if (!fetch.filePath_.isEmpty()) QFile::remove(fetch.filePath_);
    fetch.judged_ = false;
    fetch.contentType_.clear();
}

void PhotoFetcher::AskSite(PhotoFetch& fetch) {
    DropCacheRoute(fetch);
    if (!page_) {
        Follow(fetch, fetch.watch_.End(FetchStop::ViewGone));
        return;
    }
    fetch.awaitingDownload_ = true;
    ArmDeadline(fetch);
    // Through the profile's network stack, as the page's own loads; the
    // engine writes the bytes to disk as they arrive.
    page_->download(fetch.Url(), QString::fromLatin1(FetchFileName));
}

bool PhotoFetcher::TakeDownload(QWebEngineDownloadRequest* download) {
    if (!page_ || download->page() != page_) return false;
    // Only the photo address's own answer, asked for by a fetch, is the
    // photo; a download the page itself started is not.
    const auto waiting =
        std::find_if(running_.begin(), running_.end(), [&](const QPointer<PhotoFetch>& fetch) {
            return fetch && fetch->awaitingDownload_ &&
                   fetch->state_ == PhotoFetch::State::Running && fetch->Url() == download->url();
        });
    if (waiting == running_.end()) return false;
    PhotoFetch& fetch = **waiting;
    fetch.awaitingDownload_ = false;
    fetch.download_ = download;
    fetch.contentType_ = download->mimeType();
    const std::optional<std::uint64_t> total =
        download->totalBytes() > 0 ? std::optional<std::uint64_t>(download->totalBytes())
                                   : std::nullopt;
    // Whatever the site calls it: an error status ends the download as the
    // site's error, and the first bytes tell a picture.
    const FetchOrder order = fetch.watch_.Answered(NowMs(), total);
    if (order != FetchOrder::GoOn) {
        download->cancel();
        // Carried out once the engine's signal has returned.
        const QPointer<PhotoFetch> guard(&fetch);
        QTimer::singleShot(0, this, [this, guard, order] {
            if (guard) Follow(*guard, order);
        });
        return true;
    }
    download->setDownloadDirectory(fetch.folder_->path());
    download->setDownloadFileName(QString::fromLatin1(FetchFileName));
    PhotoFetch* target = &fetch;
    connect(download, &QWebEngineDownloadRequest::receivedBytesChanged, target,
            [this, target] { OnDownloadProgress(*target); });
    connect(download, &QWebEngineDownloadRequest::totalBytesChanged, target, [this, target] {
        if (target->download_ && target->download_->totalBytes() > 0)
            Follow(*target, target->watch_.Answered(
                                NowMs(), std::uint64_t(target->download_->totalBytes())));
    });
    connect(download, &QWebEngineDownloadRequest::isFinishedChanged, target, [this, target] {
        if (target->download_ && target->download_->isFinished()) OnDownloadFinished(*target);
    });
    download->accept();
    ArmDeadline(fetch);
    return true;
}

void PhotoFetcher::OnDownloadProgress(PhotoFetch& fetch) {
    if (fetch.state_ != PhotoFetch::State::Running || !fetch.download_) return;
    const FetchOrder order = fetch.watch_.Received(
        NowMs(), static_cast<std::uint64_t>(fetch.download_->receivedBytes()));
    if (order == FetchOrder::GoOn) {
        emit fetch.Progress(fetch.watch_.ReceivedBytes(), fetch.download_->totalBytes());
        JudgeBytes(fetch, false);
        if (fetch.state_ != PhotoFetch::State::Running) return;
    }
    Follow(fetch, order);
}

void PhotoFetcher::OnDownloadFinished(PhotoFetch& fetch) {
    if (fetch.state_ != PhotoFetch::State::Running || !fetch.download_) return;
    QWebEngineDownloadRequest* download = fetch.download_;
    if (download->state() != QWebEngineDownloadRequest::DownloadCompleted) {
        if (fetch.watch_.StoppedFor()) {
            FinishStopped(fetch);
            return;
        }
        Finish(fetch, {FailureOfInterrupt(download->interruptReason()),
                       download->interruptReasonString(),
                       {},
                       0,
                       {},
                       {},
                       {}});
        return;
    }
    fetch.filePath_ = QDir(download->downloadDirectory()).filePath(download->downloadFileName());
    const FetchOrder order =
        fetch.watch_.Received(NowMs(), static_cast<std::uint64_t>(download->receivedBytes()));
    if (order != FetchOrder::GoOn) {
        Follow(fetch, order);
        return;
    }
    JudgeBytes(fetch, true);
    if (fetch.state_ != PhotoFetch::State::Running) return;
    Finish(fetch, {std::nullopt, {}, {}, fetch.watch_.ReceivedBytes(), {}, {}, {}});
}

void PhotoFetcher::JudgeBytes(PhotoFetch& fetch, bool atEnd) {
    if (fetch.judged_) return;
    if (!atEnd && fetch.watch_.ReceivedBytes() < static_cast<std::uint64_t>(PictureHeadBytes))
        return;
    QFile file(fetch.filePath_);
    // The engine may not have written the first bytes yet; they are judged
    // later, at the end at the latest.
    if (!file.open(QIODevice::ReadOnly)) {
        if (atEnd)
            Finish(fetch, {PhotoFailure::WriteFailed, file.errorString(), {}, 0, {}, {}, {}});
        return;
    }
    const QByteArray head = file.read(PictureHeadBytes);
    if (!atEnd && head.size() < PictureHeadBytes) return;
    fetch.judged_ = true;
    const std::optional<std::string> extension = PictureExtensionOfBytes(
        std::string_view(head.constData(), static_cast<std::size_t>(head.size())));
    fetch.extension_ = extension.value_or(std::string());
    const FetchOrder order = fetch.watch_.Judged(extension.has_value());
    if (order != FetchOrder::GoOn) Follow(fetch, order);
}

void PhotoFetcher::Follow(PhotoFetch& fetch, FetchOrder order) {
    if (fetch.state_ == PhotoFetch::State::Finished) return;
    if (fetch.state_ == PhotoFetch::State::Queued) {
        // Only an end reaches a fetch that has not started.
        if (order == FetchOrder::Stop) {
            std::erase(queued_, QPointer<PhotoFetch>(&fetch));
            fetch.state_ = PhotoFetch::State::Running;
            running_.emplace_back(&fetch);
            FinishStopped(fetch);
        }
        return;
    }
    switch (order) {
        case FetchOrder::GoOn:
            ArmDeadline(fetch);
            break;
        case FetchOrder::AskSite:
            AskSite(fetch);
            break;
        case FetchOrder::Stop:
            FinishStopped(fetch);
            break;
    }
}

void PhotoFetcher::FinishStopped(PhotoFetch& fetch) {
    const FetchStop stop = fetch.watch_.StoppedFor().value_or(FetchStop::Cancelled);
    Finish(fetch,
           {FailureOfStop(stop),
            QString::fromStdString(DetailOfStop(stop, language_, fetch.request_.Limits.MaxBytes,
                                                fetch.contentType_.toStdString())),
            {},
            fetch.watch_.ReceivedBytes(),
            {},
            fetch.contentType_,
            {}});
}

void PhotoFetcher::Finish(PhotoFetch& fetch, PhotoFetchResult result) {
    if (fetch.state_ == PhotoFetch::State::Finished) return;
    fetch.state_ = PhotoFetch::State::Finished;
    fetch.deadline_.stop();
    if (fetch.watch_.Route() == FetchRoute::Cache && page_)
        page_->runJavaScript(FetchCall("cancel", {}, fetch.key_),
                             QWebEngineScript::ApplicationWorld, [](const QVariant&) {});
    if (fetch.file_.isOpen()) fetch.file_.close();
    if (fetch.download_) {
        disconnect(fetch.download_, nullptr, &fetch, nullptr);
        if (!fetch.download_->isFinished()) fetch.download_->cancel();
    }
    if (result.Failure) {
        // Nothing half-fetched stays behind.
        if (!fetch.filePath_.isEmpty()) QFile::remove(fetch.filePath_);
        fetch.folder_.reset();
    } else {
        result.FilePath = fetch.filePath_;
        result.Extension = fetch.extension_;
        result.ContentType = fetch.contentType_;
        result.Folder = std::move(fetch.folder_);
    }
    fetch.result_ = std::move(result);
    // Handed on from the event loop: the owner may be inside the call that
    // ended it, and the next queued fetch starts first.
    const QPointer<PhotoFetch> guard(&fetch);
    QTimer::singleShot(0, this, [guard] {
        if (!guard) return;
        emit guard->Finished(*guard->result_);
        guard->result_.reset();
        guard->deleteLater();
    });
    StartNextQueued();
}

void PhotoFetcher::ArmDeadline(PhotoFetch& fetch) {
    const std::optional<std::int64_t> next = fetch.watch_.NextCheckMs();
    if (!next || fetch.state_ != PhotoFetch::State::Running) {
        fetch.deadline_.stop();
        return;
    }
    fetch.deadline_.start(static_cast<int>(std::clamp<std::int64_t>(*next - NowMs(), 0, 3600000)));
}

void PhotoFetcher::OnPageGone() {
    // Copies: each end changes the lists.
    std::vector<QPointer<PhotoFetch>> all(running_.begin(), running_.end());
    all.insert(all.end(), queued_.begin(), queued_.end());
    for (const QPointer<PhotoFetch>& fetch : all)
        if (fetch) Follow(*fetch, fetch->watch_.End(FetchStop::ViewGone));
}

}  // namespace kpw
