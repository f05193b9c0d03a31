#pragma once

#include <QByteArray>
#include <QMetaType>
#include <QObject>
#include <QString>
#include <cstdint>
#include <memory>
#include <unordered_map>

#include "browsing/PhotoFetchWatch.h"
#include "browsing/RangeKeeper.h"
#include "webengine/HttpAnswers.h"

class QNetworkAccessManager;
class QWebEngineProfile;

namespace kpw {

// Fetches the photos of a range over HTTP, apart from the browser views,
// each streamed into a hidden temporary file in the folder it is kept in,
// with its SHA-256 taken on the way. The rules of the wait and the size cap
// are a PhotoFetchWatch's, as for Save photo. Each fetch answers once by
// Answered, never inside Fetch or Cancel; a cancelled one never answers and
// leaves no file.
class RangeFetcher : public QObject, public KeepFetchPort {
    Q_OBJECT
public:
    // As a browser follows them.
    static constexpr int MaxRedirects = 10;
    // How much of an answer that is no picture is read as its text.
    static constexpr qint64 TextBytes = 64 * 1024;

    explicit RangeFetcher(QObject* parent = nullptr);
    ~RangeFetcher() override;
    RangeFetcher(const RangeFetcher&) = delete;
    RangeFetcher& operator=(const RangeFetcher&) = delete;

    void Fetch(uint64_t id, const std::string& url, const std::string& folder) override;
    void Cancel(uint64_t id) override;

    // For the fetches started from now on.
    void SetLimits(const FetchLimits& limits) { limits_ = limits; }
    // Asks with the user agent and languages of the browser views.
    void UseIdentityOf(const QWebEngineProfile& profile);

    int Pending() const { return static_cast<int>(transfers_.size()); }

    // The hidden temporary files of this program's fetches start so.
    static QString TempFilePrefix();

signals:
    void Answered(quint64 id, const kpw::KeepAnswer& answer);

private:
    struct Transfer;

    Transfer* Find(uint64_t id, quint64 serial);
    void OnMetaData(uint64_t id, quint64 serial);
    void OnReadyRead(uint64_t id, quint64 serial);
    void OnFinished(uint64_t id, quint64 serial);
    void OnCheck(uint64_t id, quint64 serial);
    void TakeHeaders(Transfer& transfer);
    // Writes what has arrived; false when the fetch ended over it.
    bool ReadBytes(Transfer& transfer);
    bool Follow(Transfer& transfer, FetchOrder order);
    void Complete(Transfer& transfer);
    void EndFailed(Transfer& transfer, KeepFailure failure, std::string detail);
    // A write failed: the disk is full, the folder went, or else.
    void EndWriteFailed(Transfer& transfer);
    void End(Transfer& transfer);
    void StopReply(Transfer& transfer);
    void Deliver(uint64_t id, quint64 serial);
    std::int64_t NowMs() const;

    QNetworkAccessManager* network_;
    FetchLimits limits_;
    FetchIdentity identity_;
    quint64 nextSerial_ = 1;
    std::unordered_map<uint64_t, std::unique_ptr<Transfer>> transfers_;
};

}  // namespace kpw

Q_DECLARE_METATYPE(kpw::KeepAnswer)
