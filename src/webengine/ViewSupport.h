#pragma once

#include <QString>
#include <QUrl>
#include <chrono>

// Small helpers that the files of the engine adapter share.
namespace kpw::view {

inline bool HasWebScheme(const QUrl& url) {
    const QString scheme = url.scheme();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https");
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
