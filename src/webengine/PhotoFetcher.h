#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <cstdint>
#include <functional>
#include <optional>

#include "browsing/PhotoFiles.h"
#include "texts/Texts.h"

class QVariant;
class QWebEngineDownloadRequest;
class QWebEnginePage;

namespace kpw {

class BrowserProfile;

// Fetches the photo on view for the photo actions through the page on view:
// the page's own fetch first, so the browser cache serves what it holds, and
// where the page may not read the address, a download through the profile.
class PhotoFetcher : public QObject {
    Q_OBJECT
public:
    // What a fetch brought: the file and the answer's content type, or why
    // there is none (no file is left then).
    struct Fetched {
        std::optional<PhotoFailure> Failure;
        QString Detail;
        QString FilePath;
        QString ContentType;
    };

    // Without an engine page every fetch fails.
    explicit PhotoFetcher(QObject* parent = nullptr);
    PhotoFetcher(BrowserProfile& profile, QWebEnginePage* page, QObject* parent = nullptr);
    ~PhotoFetcher() override;

    // The language (texts::English or texts::German) of the failure details.
    void SetLanguage(int language) { language_ = texts::LanguageIndex(language); }

    // Fetches an address into a file in folder; done runs once, later.
    // One fetch at a time: a second one while the first runs fails at once.
    void Fetch(const QUrl& url, const QString& folder, std::function<void(const Fetched&)> done);

private:
    const texts::BrowserViewTexts& Texts() const;
    void PollFetch();
    void OnFetchPolled(const QVariant& result);
    // The page could not read the address itself: the engine downloads it.
    void DownloadFetch();
    bool TakeDownload(QWebEngineDownloadRequest* download);
    void OnDownloadFinished(QWebEngineDownloadRequest* download);
    void FinishFetch(const Fetched& result);

    // The fetch under way: the download the page was asked for.
    struct PendingFetch {
        QUrl Url;
        QString Folder;
        std::function<void(const Fetched&)> Done;
        QPointer<QWebEngineDownloadRequest> Download;
        QString Key;
        bool Downloading = false;
    };
    QPointer<QWebEnginePage> page_;
    std::uint64_t fetchCount_ = 0;
    std::optional<PendingFetch> fetch_;
    QTimer fetchTimer_;
    int language_ = texts::English;
};

}  // namespace kpw
