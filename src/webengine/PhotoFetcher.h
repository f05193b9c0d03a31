#pragma once

#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "browsing/PhotoFetchWatch.h"
#include "browsing/PhotoFiles.h"
#include "texts/Texts.h"

class QTemporaryDir;
class QVariant;
class QWebEngineDownloadRequest;
class QWebEnginePage;

namespace kpw {

class BrowserProfile;
class PhotoFetcher;

// What to fetch and where its temporary file goes: beside the file it is to
// become, so that it takes its name there by a rename.
struct PhotoFetchRequest {
    QUrl Url;
    QString Folder;
    FetchLimits Limits{};
};

// What a fetch brought: the file with the picture's extension, told by its
// own bytes, or why there is none (nothing is left then). The file lies in
// a hidden folder of its own inside the request's folder; both go when the
// last copy of the result does, unless the file was moved out before.
struct PhotoFetchResult {
    std::optional<PhotoFailure> Failure;
    QString Detail;
    QString FilePath;
    std::uint64_t Bytes = 0;
    std::string Extension;
    QString ContentType;
    std::shared_ptr<QTemporaryDir> Folder;
};

// One fetch of the fetcher: queued, running, then finished once with its
// result. The fetcher owns it and deletes it after Finished.
class PhotoFetch : public QObject {
    Q_OBJECT
public:
    enum class State { Queued, Running, Finished };

    const QUrl& Url() const { return request_.Url; }
    State CurrentState() const { return state_; }
    std::uint64_t ReceivedBytes() const { return watch_.ReceivedBytes(); }
    std::optional<std::uint64_t> TotalBytes() const { return watch_.TotalBytes(); }

    // Ends it without the photo (FetchStop::Cancelled); Finished follows.
    void Cancel();
    // The user has gone on from its photo: once its bytes stop, it ends soon.
    void Leave();

signals:
    // Bytes in all and the announced length, -1 when none was.
    void Progress(quint64 received, qint64 total);
    // Once, never inside the call that started or cancelled it.
    void Finished(const kpw::PhotoFetchResult& result);

private:
    friend class PhotoFetcher;
    PhotoFetch(PhotoFetcher& fetcher, PhotoFetchRequest request, QString key);

    PhotoFetcher& fetcher_;
    PhotoFetchRequest request_;
    QString key_;
    State state_ = State::Queued;
    PhotoFetchWatch watch_;
    std::shared_ptr<QTemporaryDir> folder_;
    QString filePath_;
    // The cache's pieces are written here; the download writes its own.
    QFile file_;
    QPointer<QWebEngineDownloadRequest> download_;
    bool awaitingDownload_ = false;
    bool judged_ = false;
    std::string extension_;
    QString contentType_;
    QTimer deadline_;
    std::optional<PhotoFetchResult> result_;
};

// Fetches photos for the photo actions through the page on view, streaming
// each to a temporary file: from the browser cache by the page's own fetch
// when it holds the photo, else by the profile's download. The rules of
// each fetch (size cap, waits, going on) are its PhotoFetchWatch's. Several
// run at once; more wait in a queue, in order.
class PhotoFetcher : public QObject {
    Q_OBJECT
public:
    static constexpr int DefaultRunning = 3;

    // Without an engine page every fetch fails.
    explicit PhotoFetcher(QObject* parent = nullptr);
    PhotoFetcher(BrowserProfile& profile, QWebEnginePage* page, QObject* parent = nullptr,
                 int maxRunning = DefaultRunning);
    ~PhotoFetcher() override;

    // The language (texts::English or texts::German) of the failure details.
    void SetLanguage(int language) { language_ = texts::LanguageIndex(language); }

    // Starts a fetch, or queues it while maxRunning run. Its Finished comes
    // later, never inside this call; the fetch is the fetcher's.
    PhotoFetch* Start(PhotoFetchRequest request);

    int Running() const;
    int Queued() const;

private:
    friend class PhotoFetch;

    std::int64_t NowMs() const;
    void StartNextQueued();
    void Run(PhotoFetch& fetch);
    void AskCache(PhotoFetch& fetch);
    void PollCache(PhotoFetch& fetch, int delayMs);
    void OnCachePolled(PhotoFetch& fetch, const QVariant& result);
    void AskSite(PhotoFetch& fetch);
    bool TakeDownload(QWebEngineDownloadRequest* download);
    void OnDownloadProgress(PhotoFetch& fetch);
    void OnDownloadFinished(PhotoFetch& fetch);
    // Reads the file's first bytes once enough have arrived (or at the end)
    // and judges them.
    void JudgeBytes(PhotoFetch& fetch, bool atEnd);
    // Carries out the watch's order after an event.
    void Follow(PhotoFetch& fetch, FetchOrder order);
    void DropCacheRoute(PhotoFetch& fetch);
    void Finish(PhotoFetch& fetch, PhotoFetchResult result);
    void FinishStopped(PhotoFetch& fetch);
    void ArmDeadline(PhotoFetch& fetch);
    void OnPageGone();
    void FailLater(PhotoFetch& fetch, PhotoFailure failure, const QString& detail);

    QPointer<QWebEnginePage> page_;
    int maxRunning_ = DefaultRunning;
    std::uint64_t fetchCount_ = 0;
    std::vector<QPointer<PhotoFetch>> running_;
    std::deque<QPointer<PhotoFetch>> queued_;
    int language_ = texts::English;
};

}  // namespace kpw

Q_DECLARE_METATYPE(kpw::PhotoFetchResult)
