#include "webengine/RangeFetcher.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>
#include <QWebEngineProfile>
#include <utility>

#include "archive/Sha256.h"
#include "browsing/PhotoFiles.h"
#include "webengine/HttpAnswers.h"

namespace kpw {

namespace {

// Qt's socket reads are not waited for beyond this; more waits in the kernel.
constexpr qint64 ReadBufferBytes = 1024 * 1024;
// The longest signature PictureExtensionOfBytes looks at.
constexpr qsizetype JudgedBytes = 32;

QElapsedTimer& MonotonicClock() {
    static QElapsedTimer clock = [] {
        QElapsedTimer started;
        started.start();
        return started;
    }();
    return clock;
}

}  // namespace

struct RangeFetcher::Transfer {
    Transfer(const FetchLimits& limits, std::int64_t nowMs) : Watch(limits, nowMs) {}
    uint64_t Id = 0;
    quint64 Serial = 0;
    QNetworkReply* Reply = nullptr;
    QString Folder;
    QFile File;
    Sha256 Hash;
    PhotoFetchWatch Watch;
    QTimer Check;
    // The first bytes: judged as a picture, or read as the answer's words.
    QByteArray Head;
    quint64 Received = 0;
    bool TextOnly = false;
    bool Judged = false;
    std::string Extension;
    KeepAnswer Answer;
    bool Ended = false;
};

RangeFetcher::RangeFetcher(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {
    qRegisterMetaType<kpw::KeepAnswer>();
    network_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    MonotonicClock();
}

RangeFetcher::~RangeFetcher() {
    std::vector<uint64_t> ids;
    for (const auto& [id, transfer] : transfers_) ids.push_back(id);
    for (uint64_t id : ids) Cancel(id);
}

QString RangeFetcher::TempFilePrefix() {
    return QStringLiteral(".kelvaro-keeping-");
}

std::int64_t RangeFetcher::NowMs() const {
    return MonotonicClock().elapsed();
}

void RangeFetcher::UseIdentityOf(const QWebEngineProfile& profile) {
    identity_ = IdentityOf(profile);
}

void RangeFetcher::Fetch(uint64_t id, const std::string& url, const std::string& folder) {
    Cancel(id);
    auto owned = std::make_unique<Transfer>(limits_, NowMs());
    Transfer& transfer = *owned;
    transfer.Id = id;
    transfer.Serial = nextSerial_++;
    transfer.Folder = QString::fromStdString(folder);
    transfers_.emplace(id, std::move(owned));
    const quint64 serial = transfer.Serial;
    // Straight to the site: nothing else holds these photos.
    transfer.Watch.CacheMissed(NowMs());

    const QUrl address = QUrl::fromEncoded(QByteArray::fromStdString(url));
    transfer.Answer.FinalURL = url;
    if (std::optional<std::string> refused = RefusedAddress(address)) {
        EndFailed(transfer, KeepFailure::NoConnection, std::move(*refused));
        return;
    }
    // The file is there before the first byte: a folder that cannot take it
    // ends the range before the site is asked.
    transfer.File.setFileName(
        QDir(transfer.Folder)
            .filePath(TempFilePrefix() + QStringLiteral("%1-%2.part")
                                             .arg(QCoreApplication::applicationPid())
                                             .arg(transfer.Serial)));
    if (!transfer.File.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        EndWriteFailed(transfer);
        return;
    }

    const QNetworkRequest request = FetchRequest(address, identity_, MaxRedirects);

    transfer.Check.setSingleShot(true);
    connect(&transfer.Check, &QTimer::timeout, this, [this, id, serial] { OnCheck(id, serial); });
    if (const std::optional<std::int64_t> due = transfer.Watch.NextCheckMs())
        transfer.Check.start(static_cast<int>(std::max<std::int64_t>(*due - NowMs(), 0)));

    QNetworkReply* reply = network_->get(request);
    transfer.Reply = reply;
    reply->setReadBufferSize(ReadBufferBytes);
    connect(reply, &QNetworkReply::metaDataChanged, this,
            [this, id, serial] { OnMetaData(id, serial); });
    connect(reply, &QNetworkReply::readyRead, this,
            [this, id, serial] { OnReadyRead(id, serial); });
    connect(reply, &QNetworkReply::finished, this, [this, id, serial] { OnFinished(id, serial); });
}

void RangeFetcher::Cancel(uint64_t id) {
    const auto found = transfers_.find(id);
    if (found == transfers_.end()) return;
    Transfer& transfer = *found->second;
    StopReply(transfer);
    // Its file is this fetch's alone until the answer hands it on.
    if (transfer.File.isOpen()) transfer.File.close();
    if (!transfer.File.fileName().isEmpty()) QFile::remove(transfer.File.fileName());
    transfers_.erase(found);
}

RangeFetcher::Transfer* RangeFetcher::Find(uint64_t id, quint64 serial) {
    const auto found = transfers_.find(id);
    if (found == transfers_.end() || found->second->Serial != serial) return nullptr;
    return found->second.get();
}

void RangeFetcher::TakeHeaders(Transfer& transfer) {
    transfer.TextOnly = TakeReplyHeaders(*transfer.Reply, transfer.Answer);
}

void RangeFetcher::OnMetaData(uint64_t id, quint64 serial) {
    Transfer* transfer = Find(id, serial);
    if (!transfer || transfer->Ended) return;
    TakeHeaders(*transfer);
    const int status = transfer->Answer.HttpStatus;
    // A redirect's own answer is not the photo's.
    if (status >= 300 && status < 400) return;
    const QVariant length = transfer->Reply->header(QNetworkRequest::ContentLengthHeader);
    const std::optional<std::uint64_t> total =
        !transfer->TextOnly && length.isValid() ? std::optional<std::uint64_t>(length.toULongLong())
                                                : std::nullopt;
    Follow(*transfer, transfer->Watch.Answered(NowMs(), total));
}

void RangeFetcher::OnReadyRead(uint64_t id, quint64 serial) {
    Transfer* transfer = Find(id, serial);
    if (!transfer || transfer->Ended) return;
    if (!ReadBytes(*transfer)) return;
    // An error page's first words are all that is read of it.
    if (transfer->TextOnly && transfer->Head.size() >= TextBytes) {
        StopReply(*transfer);
        Complete(*transfer);
    }
}

bool RangeFetcher::ReadBytes(Transfer& transfer) {
    if (transfer.TextOnly) {
        transfer.Head += transfer.Reply->read(TextBytes - transfer.Head.size());
        return true;
    }
    while (transfer.Reply->bytesAvailable() > 0) {
        const QByteArray piece = transfer.Reply->read(ReadBufferBytes);
        if (piece.isEmpty()) break;
        if (transfer.Head.size() < TextBytes)
            transfer.Head += piece.left(TextBytes - transfer.Head.size());
        if (transfer.File.write(piece) != piece.size()) {
            EndWriteFailed(transfer);
            return false;
        }
        transfer.Hash.Add(std::string_view(piece.constData(), static_cast<size_t>(piece.size())));
        transfer.Received += static_cast<quint64>(piece.size());
        if (!Follow(transfer, transfer.Watch.Received(NowMs(), transfer.Received))) return false;
        if (!transfer.Judged && transfer.Head.size() >= JudgedBytes) {
            transfer.Judged = true;
            const std::optional<std::string> extension = PictureExtensionOfBytes(std::string_view(
                transfer.Head.constData(), static_cast<size_t>(transfer.Head.size())));
            transfer.Extension = extension.value_or("");
            if (!Follow(transfer, transfer.Watch.Judged(extension.has_value()))) return false;
        }
    }
    return true;
}

// Carries out the watch's order; false when the fetch ended over it.
bool RangeFetcher::Follow(Transfer& transfer, FetchOrder order) {
    if (order != FetchOrder::Stop) {
        if (const std::optional<std::int64_t> due = transfer.Watch.NextCheckMs())
            transfer.Check.start(static_cast<int>(std::max<std::int64_t>(*due - NowMs(), 0)));
        return true;
    }
    switch (transfer.Watch.StoppedFor().value_or(FetchStop::Cancelled)) {
        case FetchStop::TooLarge:
            EndFailed(transfer, KeepFailure::TooLarge,
                      "more than " + MegabytesText(transfer.Watch.Limits().MaxBytes));
            break;
        case FetchStop::NotAPicture:
            // Its first bytes are the words of the answer.
            transfer.Answer.Text = QString::fromUtf8(transfer.Head).toStdString();
            EndFailed(transfer, KeepFailure::NotAPicture, transfer.Answer.ContentType);
            break;
        default:
            EndFailed(transfer, KeepFailure::TimedOut, "no answer in time");
            break;
    }
    return false;
}

void RangeFetcher::OnCheck(uint64_t id, quint64 serial) {
    Transfer* transfer = Find(id, serial);
    if (!transfer || transfer->Ended) return;
    Follow(*transfer, transfer->Watch.Check(NowMs()));
}

void RangeFetcher::OnFinished(uint64_t id, quint64 serial) {
    Transfer* transfer = Find(id, serial);
    if (!transfer || transfer->Ended) return;
    TakeHeaders(*transfer);
    if (!ReadBytes(*transfer)) return;
    QNetworkReply& reply = *transfer->Reply;
    const QNetworkReply::NetworkError error = reply.error();
    if (IsConnectionFailure(error)) {
        KeepAnswer& answer = transfer->Answer;
        answer.ClosedWithoutAnswer =
            answer.HttpStatus == 0 && error == QNetworkReply::RemoteHostClosedError;
        if (answer.HttpStatus != 0 && transfer->TextOnly)
            answer.Text = QString::fromUtf8(transfer->Head).toStdString();
        EndFailed(*transfer, KeepFailure::NoConnection, reply.errorString().toStdString());
        return;
    }
    StopReply(*transfer);
    Complete(*transfer);
}

// The whole answer is there: a picture stays in its file for the keeper,
// anything else gives its words.
void RangeFetcher::Complete(Transfer& transfer) {
    KeepAnswer& answer = transfer.Answer;
    if (transfer.TextOnly) {
        answer.Text = QString::fromUtf8(transfer.Head).toStdString();
        End(transfer);
        return;
    }
    if (!transfer.Judged) {
        transfer.Judged = true;
        const std::optional<std::string> extension = PictureExtensionOfBytes(
            std::string_view(transfer.Head.constData(), static_cast<size_t>(transfer.Head.size())));
        transfer.Extension = extension.value_or("");
        if (!Follow(transfer, transfer.Watch.Judged(extension.has_value()))) return;
    }
    if (!transfer.File.flush()) {
        EndWriteFailed(transfer);
        return;
    }
    transfer.File.close();
    answer.TempFile = transfer.File.fileName().toStdString();
    answer.Bytes = static_cast<int64_t>(transfer.Received);
    answer.Sha256Hex = transfer.Hash.HexDigest();
    answer.Extension = transfer.Extension;
    End(transfer);
}

void RangeFetcher::EndWriteFailed(Transfer& transfer) {
    const std::string detail = transfer.File.errorString().toStdString();
    if (!QFileInfo(transfer.Folder).isDir())
        EndFailed(transfer, KeepFailure::FolderGone, detail);
    else if (transfer.File.error() == QFileDevice::ResourceError)
        EndFailed(transfer, KeepFailure::DiskFull, detail);
    else
        EndFailed(transfer, KeepFailure::WriteFailed, detail);
}

void RangeFetcher::EndFailed(Transfer& transfer, KeepFailure failure, std::string detail) {
    transfer.Answer.Failure = failure;
    transfer.Answer.Detail = std::move(detail);
    transfer.Answer.TempFile.clear();
    End(transfer);
}

void RangeFetcher::End(Transfer& transfer) {
    transfer.Ended = true;
    transfer.Check.stop();
    StopReply(transfer);
    // Only a whole picture keeps its file.
    if (transfer.Answer.TempFile.empty()) {
        if (transfer.File.isOpen()) transfer.File.close();
        if (!transfer.File.fileName().isEmpty()) QFile::remove(transfer.File.fileName());
    }
    const uint64_t id = transfer.Id;
    const quint64 serial = transfer.Serial;
    // From the event loop: the caller may be inside Fetch, or inside the
    // reply's own signal.
    QMetaObject::invokeMethod(
        this, [this, id, serial] { Deliver(id, serial); }, Qt::QueuedConnection);
}

void RangeFetcher::StopReply(Transfer& transfer) {
    QNetworkReply* reply = std::exchange(transfer.Reply, nullptr);
    if (!reply) return;
    reply->disconnect(this);
    reply->deleteLater();
}

void RangeFetcher::Deliver(uint64_t id, quint64 serial) {
    const auto found = transfers_.find(id);
    if (found == transfers_.end() || found->second->Serial != serial) return;
    const std::unique_ptr<Transfer> transfer = std::move(found->second);
    transfers_.erase(found);
    emit Answered(id, transfer->Answer);
}

}  // namespace kpw
