#pragma once

#include <QByteArray>
#include <QImage>
#include <QMetaType>
#include <QObject>
#include <QSize>
#include <QThreadPool>
#include <QtGlobal>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

#include "browsing/OverviewSheet.h"
#include "webengine/HttpAnswers.h"

class QNetworkAccessManager;
class QNetworkReply;
class QWebEngineProfile;

namespace kpw {

// What one thumbnail may cost. A site decides what it sends; these decide
// how much of it the program takes.
struct ThumbnailLimits {
    // Bytes of one answer; an announced length above it ends the fetch before
    // the first byte is read.
    qint64 MaxBytes = 16 * 1024 * 1024;
    // From sending the request to the answer's last byte.
    std::chrono::milliseconds MaxTime{15000};
    // Pixels of a picture as its header declares them, and its longer side.
    qint64 MaxPixels = 40'000'000;
    int MaxSide = 20000;
};

// Fetches the overview sheet's thumbnails over HTTP, apart from the browser
// views, and decodes them off the UI thread into pictures that fit the cell.
// Each fetch answers once by Answered, never inside Fetch or Cancel; a
// cancelled fetch never answers. Nothing is cached here: the sheet keeps
// what it shows.
class ThumbnailFetcher : public QObject, public ThumbnailPort {
    Q_OBJECT
public:
    // As a browser follows them.
    static constexpr int MaxRedirects = 10;
    // How much of an answer that is no picture is read as its text.
    static constexpr qint64 TextBytes = 64 * 1024;

    explicit ThumbnailFetcher(QObject* parent = nullptr);
    ~ThumbnailFetcher() override;
    ThumbnailFetcher(const ThumbnailFetcher&) = delete;
    ThumbnailFetcher& operator=(const ThumbnailFetcher&) = delete;

    // A fetch of an id already under way replaces it.
    void Fetch(uint64_t id, const std::string& url) override;
    void Cancel(uint64_t id) override;

    // Pictures are scaled down to fit this box, their aspect kept; smaller
    // ones stay as they are. An empty box: no scaling. Fetches already
    // under way use the box their decoding starts with.
    void SetPictureSize(QSize box) { box_ = box; }
    QSize PictureSize() const { return box_; }

    // For the fetches started from now on.
    void SetLimits(const ThumbnailLimits& limits) { limits_ = limits; }
    const ThumbnailLimits& Limits() const { return limits_; }

    // Asks with the user agent and languages of the browser views.
    void UseIdentityOf(const QWebEngineProfile& profile);

    // Fetches not yet answered, their decoding included.
    int Pending() const { return static_cast<int>(transfers_.size()); }

signals:
    // A picture came and fits the box when answer.Decoded; else picture is
    // null and the answer says what came instead.
    void Answered(quint64 id, const kpw::ThumbnailAnswer& answer, const QImage& picture);

private:
    struct Transfer;
    struct Decoded;

    // Runs on a decoder thread.
    static Decoded DecodePicture(QByteArray bytes, bool claimsPicture, QSize box,
                                 const ThumbnailLimits& limits);
    Transfer* Find(uint64_t id, quint64 serial);
    void OnMetaData(uint64_t id, quint64 serial);
    void OnReadyRead(uint64_t id, quint64 serial);
    void OnFinished(uint64_t id, quint64 serial);
    void OnDecoded(uint64_t id, quint64 serial, const Decoded& decoded);
    void TakeHeaders(Transfer& transfer);
    // Takes what has arrived; false when the fetch ended over it.
    bool ReadBytes(Transfer& transfer);
    // Hands the bytes to the decoder, or keeps them as the answer's text.
    void Judge(Transfer& transfer);
    // Stops the network side and answers from the event loop.
    void End(Transfer& transfer);
    void EndFailed(Transfer& transfer, ThumbnailFailure failure, std::string detail);
    void StopReply(Transfer& transfer);
    void Deliver(uint64_t id, quint64 serial);

    QNetworkAccessManager* network_;
    QSize box_;
    ThumbnailLimits limits_;
    FetchIdentity identity_;
    QByteArray accept_;
    quint64 nextSerial_ = 1;
    std::unordered_map<uint64_t, std::unique_ptr<Transfer>> transfers_;
    // Decoding only; waited for before anything else of the fetcher goes.
    QThreadPool decoders_;
};

}  // namespace kpw

Q_DECLARE_METATYPE(kpw::ThumbnailAnswer)
