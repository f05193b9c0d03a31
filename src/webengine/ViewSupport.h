#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>
#include <chrono>
#include <string>

// Small helpers that the files of the engine adapter share.
namespace kpw::view {

inline bool HasWebScheme(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
}

// An address as the page's loads hold it, and back.
inline std::string Encoded(const QUrl& url) {
    return url.toString(QUrl::FullyEncoded).toStdString();
}
inline QUrl FromEncoded(const std::string& url) {
    return QUrl::fromEncoded(QByteArray::fromStdString(url));
}

// A text of the program's tables (UTF-8).
inline QString Text(const char* text) {
    return QString::fromUtf8(text);
}

// Now on the steady clock, in milliseconds since any epoch.
inline std::chrono::milliseconds Now() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now().time_since_epoch());
}

}  // namespace kpw::view
