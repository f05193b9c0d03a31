#include "webengine/ThumbnailFetcher.h"

#include <QBuffer>
#include <QImageReader>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <QWebEngineProfile>
#include <algorithm>
#include <utility>

#include "webengine/HttpAnswers.h"

namespace kpw {

namespace {

constexpr qint64 Mebibyte = 1024 * 1024;
// Qt's socket reads are not waited for beyond this; more waits in the kernel.
constexpr qint64 ReadBufferBytes = Mebibyte;

QByteArray CharsetOf(const QByteArray& contentType) {
    for (const QByteArray& parameter : contentType.split(';')) {
        const QByteArray part = parameter.trimmed();
        if (part.toLower().startsWith("charset=")) {
            QByteArray name = part.mid(8).trimmed();
            if (name.size() >= 2 && name.startsWith('"') && name.endsWith('"'))
                name = name.mid(1, name.size() - 2);
            return name;
        }
    }
    return {};
}

// UTF-8 unless the answer names a charset Qt knows; one it does not know is
// taken byte by byte, which keeps the ASCII of error words.
std::string TextOf(const QByteArray& bytes, const QByteArray& contentType) {
    const QByteArray charset = CharsetOf(contentType);
    QStringDecoder decoder(charset.isEmpty() ? "UTF-8" : charset.constData());
    const QString text = decoder.isValid() ? decoder.decode(bytes) : QString::fromLatin1(bytes);
    return text.toStdString();
}

// What the reader can decode, for the Accept header: a site that chooses the
// type by it sends none the program cannot show.
QByteArray AcceptedTypes() {
    QByteArray accept;
    for (const QByteArray& type : QImageReader::supportedMimeTypes()) accept += type + ',';
    return accept + "*/*;q=0.8";
}

}  // namespace

struct ThumbnailFetcher::Transfer {
    uint64_t Id = 0;
    quint64 Serial = 0;
    QNetworkReply* Reply = nullptr;
    // Those of the moment the fetch began.
    ThumbnailLimits Limits;
    QTimer Deadline;
    QByteArray Bytes;
    // The answer is an error page or the like: only its first words count.
    bool TextOnly = false;
    ThumbnailAnswer Answer;
    QImage Picture;
    // The network side is done; the decoder or the answer's delivery waits.
    bool Ended = false;
};

struct ThumbnailFetcher::Decoded {
    enum class Outcome { Picture, NotAPicture, Refused };
    Outcome Result = Outcome::Refused;
    ThumbnailFailure Failure = ThumbnailFailure::None;
    QString Detail;
    QImage Picture;
};

ThumbnailFetcher::ThumbnailFetcher(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)), accept_(AcceptedTypes()) {
    qRegisterMetaType<kpw::ThumbnailAnswer>();
    network_->setRedirectPolicy(QNetworkRequest::NoLessSafeRedirectPolicy);
    // The machine has other work; two pictures at a time keep the cells coming.
    decoders_.setMaxThreadCount(std::clamp(QThread::idealThreadCount() - 1, 1, 2));
}

ThumbnailFetcher::~ThumbnailFetcher() {
    decoders_.clear();
    decoders_.waitForDone();
    for (auto& [id, transfer] : transfers_) {
        if (transfer->Reply) {
            transfer->Reply->disconnect(this);
            transfer->Reply->abort();
            delete transfer->Reply;
        }
    }
}

void ThumbnailFetcher::UseIdentityOf(const QWebEngineProfile& profile) {
    identity_ = IdentityOf(profile);
}

void ThumbnailFetcher::Fetch(uint64_t id, const std::string& url) {
    Cancel(id);
    auto owned = std::make_unique<Transfer>();
    Transfer& transfer = *owned;
    transfer.Id = id;
    transfer.Serial = nextSerial_++;
    transfer.Limits = limits_;
    transfers_.emplace(id, std::move(owned));
    const quint64 serial = transfer.Serial;

    const QUrl address = QUrl::fromEncoded(QByteArray::fromStdString(url));
    transfer.Answer.FinalURL = url;
    if (std::optional<std::string> refused = RefusedAddress(address)) {
        EndFailed(transfer, ThumbnailFailure::NoConnection, std::move(*refused));
        return;
    }
    QNetworkRequest request = FetchRequest(address, identity_, MaxRedirects);
    request.setRawHeader("Accept", accept_);

    transfer.Deadline.setSingleShot(true);
    connect(&transfer.Deadline, &QTimer::timeout, this, [this, id, serial] {
        if (Transfer* t = Find(id, serial); t && !t->Ended)
            EndFailed(*t, ThumbnailFailure::TimedOut,
                      std::to_string(t->Limits.MaxTime.count()) + " ms");
    });
    transfer.Deadline.start(transfer.Limits.MaxTime);

    QNetworkReply* reply = network_->get(request);
    transfer.Reply = reply;
    reply->setReadBufferSize(ReadBufferBytes);
    connect(reply, &QNetworkReply::metaDataChanged, this,
            [this, id, serial] { OnMetaData(id, serial); });
    connect(reply, &QNetworkReply::readyRead, this,
            [this, id, serial] { OnReadyRead(id, serial); });
    connect(reply, &QNetworkReply::finished, this, [this, id, serial] { OnFinished(id, serial); });
}

void ThumbnailFetcher::Cancel(uint64_t id) {
    const auto found = transfers_.find(id);
    if (found == transfers_.end()) return;
    // Its decoding may still run; the result finds no fetch and is dropped.
    StopReply(*found->second);
    transfers_.erase(found);
}

ThumbnailFetcher::Transfer* ThumbnailFetcher::Find(uint64_t id, quint64 serial) {
    const auto found = transfers_.find(id);
    if (found == transfers_.end() || found->second->Serial != serial) return nullptr;
    return found->second.get();
}

void ThumbnailFetcher::TakeHeaders(Transfer& transfer) {
    transfer.TextOnly = TakeReplyHeaders(*transfer.Reply, transfer.Answer);
}

void ThumbnailFetcher::OnMetaData(uint64_t id, quint64 serial) {
    Transfer* transfer = Find(id, serial);
    if (!transfer || transfer->Ended) return;
    TakeHeaders(*transfer);
    const int status = transfer->Answer.HttpStatus;
    // A redirect's own length is not the picture's.
    if (status >= 300 && status < 400) return;
    const QVariant length = transfer->Reply->header(QNetworkRequest::ContentLengthHeader);
    if (!transfer->TextOnly && length.isValid() && length.toLongLong() > transfer->Limits.MaxBytes)
        EndFailed(*transfer, ThumbnailFailure::TooLarge,
                  std::to_string(length.toLongLong()) + " bytes");
}

void ThumbnailFetcher::OnReadyRead(uint64_t id, quint64 serial) {
    Transfer* transfer = Find(id, serial);
    if (!transfer || transfer->Ended) return;
    if (!ReadBytes(*transfer)) return;
    // An error page's first words are all the sheet reads of it.
    if (transfer->TextOnly && transfer->Bytes.size() >= TextBytes) {
        StopReply(*transfer);
        Judge(*transfer);
    }
}

bool ThumbnailFetcher::ReadBytes(Transfer& transfer) {
    const qint64 room = transfer.TextOnly ? TextBytes - transfer.Bytes.size()
                                          : transfer.Limits.MaxBytes + 1 - transfer.Bytes.size();
    if (room > 0) transfer.Bytes += transfer.Reply->read(room);
    if (!transfer.TextOnly && transfer.Bytes.size() > transfer.Limits.MaxBytes) {
        EndFailed(transfer, ThumbnailFailure::TooLarge,
                  "more than " + std::to_string(transfer.Limits.MaxBytes) + " bytes");
        return false;
    }
    return true;
}

void ThumbnailFetcher::OnFinished(uint64_t id, quint64 serial) {
    Transfer* transfer = Find(id, serial);
    if (!transfer || transfer->Ended) return;
    TakeHeaders(*transfer);
    if (!ReadBytes(*transfer)) return;
    QNetworkReply& reply = *transfer->Reply;
    const QNetworkReply::NetworkError error = reply.error();
    if (IsConnectionFailure(error)) {
        ThumbnailAnswer& answer = transfer->Answer;
        // Closed, or reset, before a status line: no answer about the photo.
        answer.ClosedWithoutAnswer =
            answer.HttpStatus == 0 && error == QNetworkReply::RemoteHostClosedError;
        // An error page broken off still has its words.
        if (answer.HttpStatus != 0 && transfer->TextOnly)
            answer.Text = TextOf(transfer->Bytes, reply.rawHeader("Content-Type"));
        EndFailed(*transfer, ThumbnailFailure::NoConnection, reply.errorString().toStdString());
        return;
    }
    StopReply(*transfer);
    Judge(*transfer);
}

void ThumbnailFetcher::Judge(Transfer& transfer) {
    transfer.Ended = true;
    transfer.Deadline.stop();
    const QByteArray type = QByteArray::fromStdString(transfer.Answer.ContentType);
    if (transfer.TextOnly) {
        transfer.Answer.Text = TextOf(transfer.Bytes.left(TextBytes), type);
        End(transfer);
        return;
    }
    const uint64_t id = transfer.Id;
    const quint64 serial = transfer.Serial;
    const bool claimsPicture = MimeTypeOf(type).startsWith("image/");
    // The bytes are shared, not copied; this side no longer writes to them.
    decoders_.start([this, id, serial, bytes = transfer.Bytes, claimsPicture, box = box_,
                     limits = transfer.Limits] {
        Decoded decoded = DecodePicture(bytes, claimsPicture, box, limits);
        QMetaObject::invokeMethod(
            this,
            [this, id, serial, decoded = std::move(decoded)] { OnDecoded(id, serial, decoded); },
            Qt::QueuedConnection);
    });
}

void ThumbnailFetcher::OnDecoded(uint64_t id, quint64 serial, const Decoded& decoded) {
    Transfer* transfer = Find(id, serial);
    if (!transfer) return;
    ThumbnailAnswer& answer = transfer->Answer;
    switch (decoded.Result) {
        case Decoded::Outcome::Picture:
            answer.Decoded = true;
            transfer->Picture = decoded.Picture;
            break;
        case Decoded::Outcome::NotAPicture:
            answer.Text = TextOf(transfer->Bytes.left(TextBytes),
                                 QByteArray::fromStdString(answer.ContentType));
            break;
        case Decoded::Outcome::Refused:
            answer.Failure = decoded.Failure;
            answer.Detail = decoded.Detail.toStdString();
            break;
    }
    transfer->Bytes.clear();
    End(*transfer);
}

void ThumbnailFetcher::EndFailed(Transfer& transfer, ThumbnailFailure failure, std::string detail) {
    transfer.Answer.Failure = failure;
    transfer.Answer.Detail = std::move(detail);
    End(transfer);
}

void ThumbnailFetcher::End(Transfer& transfer) {
    transfer.Ended = true;
    transfer.Deadline.stop();
    StopReply(transfer);
    const uint64_t id = transfer.Id;
    const quint64 serial = transfer.Serial;
    // From the event loop: the caller may be inside Fetch, or inside the
    // reply's own signal.
    QMetaObject::invokeMethod(
        this, [this, id, serial] { Deliver(id, serial); }, Qt::QueuedConnection);
}

void ThumbnailFetcher::StopReply(Transfer& transfer) {
    QNetworkReply* reply = std::exchange(transfer.Reply, nullptr);
    if (!reply) return;
    reply->disconnect(this);
    // Deleting it ends its request. Aborted at once instead, Qt's HTTP
    // thread may still post the end of a reply stopped inside its readyRead.
    reply->deleteLater();
}

void ThumbnailFetcher::Deliver(uint64_t id, quint64 serial) {
    const auto found = transfers_.find(id);
    if (found == transfers_.end() || found->second->Serial != serial) return;
    const std::unique_ptr<Transfer> transfer = std::move(found->second);
    transfers_.erase(found);
    emit Answered(id, transfer->Answer, transfer->Picture);
}

// The picture's size is read from its header and judged before a pixel is
// allocated; Qt's allocation limit stands behind it for formats whose size
// only decoding tells.
ThumbnailFetcher::Decoded ThumbnailFetcher::DecodePicture(QByteArray bytes, bool claimsPicture,
                                                          QSize box,
                                                          const ThumbnailLimits& limits) {
    using Outcome = Decoded::Outcome;
    Decoded decoded;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    reader.setAutoTransform(true);
    // Four bytes a pixel at most for the pixels allowed, and no more.
    reader.setAllocationLimit(static_cast<int>((limits.MaxPixels * 4 + Mebibyte - 1) / Mebibyte));
    if (!reader.canRead()) {
        if (!claimsPicture) {
            decoded.Result = Outcome::NotAPicture;
            return decoded;
        }
        decoded.Failure = ThumbnailFailure::Undecodable;
        decoded.Detail = reader.errorString();
        return decoded;
    }
    const auto tooLarge = [&](QSize size) {
        return size.width() > limits.MaxSide || size.height() > limits.MaxSide ||
               qint64{size.width()} * size.height() > limits.MaxPixels;
    };
    const QSize size = reader.size();
    if (size.isValid()) {
        if (tooLarge(size)) {
            decoded.Failure = ThumbnailFailure::TooLarge;
            decoded.Detail = QStringLiteral("%1 x %2 pixels").arg(size.width()).arg(size.height());
            return decoded;
        }
        if (!box.isEmpty() && (size.width() > box.width() || size.height() > box.height()))
            reader.setScaledSize(size.scaled(box, Qt::KeepAspectRatio));
    }
    QImage picture = reader.read();
    if (picture.isNull()) {
        // Also what the allocation limit's refusal looks like.
        decoded.Failure = ThumbnailFailure::Undecodable;
        decoded.Detail = reader.errorString();
        return decoded;
    }
    // Turned by its orientation, or of a size only decoding told.
    if (!box.isEmpty() && (picture.width() > box.width() || picture.height() > box.height()))
        picture = picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    decoded.Result = Outcome::Picture;
    decoded.Picture = std::move(picture);
    return decoded;
}

}  // namespace kpw
