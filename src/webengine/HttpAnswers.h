#pragma once

#include <QByteArray>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>
#include <QWebEngineProfile>
#include <optional>
#include <string>

// How the fetchers apart from the views ask the site and read its answers.

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

// Who asks: the user agent and languages of the browser views.
struct FetchIdentity {
    QByteArray UserAgent;
    QByteArray AcceptLanguage;
};

inline FetchIdentity IdentityOf(const QWebEngineProfile& profile) {
    return {profile.httpUserAgent().toUtf8(), profile.httpAcceptLanguage().toUtf8()};
}

// Why an address is not asked for: not one, or not of the web (a template
// must not read local files this way); nothing for a web address.
inline std::optional<std::string> RefusedAddress(const QUrl& address) {
    if (!address.isValid()) return address.errorString().toStdString();
    const QString scheme = address.scheme().toLower();
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return "Protocol \"" + scheme.toStdString() + "\" is unknown";
    return std::nullopt;
}

// A request that follows redirects as a browser does, asks the site anew
// (the fetcher keeps what it needs) and says who asks.
inline QNetworkRequest FetchRequest(const QUrl& address, const FetchIdentity& identity,
                                    int maxRedirects) {
    QNetworkRequest request(address);
    request.setMaximumRedirectsAllowed(maxRedirects);
    if (!identity.UserAgent.isEmpty())
        request.setHeader(QNetworkRequest::UserAgentHeader, identity.UserAgent);
    if (!identity.AcceptLanguage.isEmpty())
        request.setRawHeader("Accept-Language", identity.AcceptLanguage);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);
    return request;
}

// The status, the address the reply ended at, its type and its Retry-After
// into a fetcher's answer; whether its bytes are words.
template <typename Answer>
bool TakeReplyHeaders(const QNetworkReply& reply, Answer& answer) {
    const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    answer.HttpStatus = status.isValid() ? status.toInt() : 0;
    answer.FinalURL = reply.url().toString(QUrl::FullyEncoded).toStdString();
    const QByteArray type = reply.rawHeader("Content-Type");
    answer.ContentType = type.toStdString();
    if (reply.hasRawHeader("Retry-After"))
        answer.RetryAfter = reply.rawHeader("Retry-After").toStdString();
    else
        answer.RetryAfter.reset();
    return IsTextType(type);
}

}  // namespace kpw
