#pragma once

#include <QByteArray>
#include <QNetworkReply>

// How the fetchers apart from the views read an answer's kind.

namespace kpw {

// Errors of the way, not of the site: no status line came, or none that
// counts. Content and server errors (404, 503, ...) are answers.
inline bool IsConnectionFailure(QNetworkReply::NetworkError error) {
    const int code = static_cast<int>(error);
    return (code >= 1 && code <= 199) || (code >= 300 && code <= 399);
}

// "image/png" of "Image/PNG; charset=binary".
inline QByteArray MimeTypeOf(const QByteArray& contentType) {
    const qsizetype end = contentType.indexOf(';');
    return (end < 0 ? contentType : contentType.left(end)).trimmed().toLower();
}

// Types whose bytes are read as words, never as a picture.
inline bool IsTextType(const QByteArray& contentType) {
    const QByteArray type = MimeTypeOf(contentType);
    return type.startsWith("text/") || type == "application/xhtml+xml" ||
           type == "application/xml" || type == "application/json";
}

}  // namespace kpw
