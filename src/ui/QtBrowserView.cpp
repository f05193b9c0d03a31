#include "ui/QtBrowserView.h"

#include <QTimer>
#include <utility>

namespace kpw {

void QtBrowserView::Fetch(const QUrl& url, const QString& /*folder*/,
                          std::function<void(const Fetched&)> done) {
    // A view without an engine has nothing to fetch with.
    QTimer::singleShot(0, this, [done = std::move(done), url] {
        done({PhotoFailure::FetchFailed, url.toString(), {}, {}});
    });
}

}  // namespace kpw
