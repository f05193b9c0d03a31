#pragma once

#include <QPointer>
#include <functional>
#include <memory>
#include <vector>

class QWebEngineDownloadRequest;
class QWebEnginePage;
class QWebEngineProfile;
class QWebEngineUrlRequestInterceptor;

namespace kpw {

class PhotoFetcher;
class QtBrowserView;
class WebEngineBrowserView;

// Owns the one browser profile that both views share, so what the hidden view
// preloads is in the HTTP cache when the visible view asks for it.
//
// The engine must see its pages go before their profile and the profile before
// the application. The owner of the windows therefore creates this after the
// QApplication and before the main window, in the same scope:
//
//     QApplication app(argc, argv);
//     BrowserProfile profile;
//     TFormMain form(paths, profile.CreateView(), profile.CreateView());
//     return app.exec();
//
// so the window (and with it the views) is destroyed first, then the profile,
// then the application. Should a view still be alive when the profile goes,
// its page is deleted first and the view's calls throw BrowserError from then
// on; the profile is never deleted under a live page.
class BrowserProfile {
public:
    // Throws BrowserError when there is no QApplication yet.
    BrowserProfile();
    ~BrowserProfile();
    BrowserProfile(const BrowserProfile&) = delete;
    BrowserProfile& operator=(const BrowserProfile&) = delete;

    std::unique_ptr<WebEngineBrowserView> CreateView();
    // The view that loads the neighbour unseen.
    std::unique_ptr<WebEngineBrowserView> CreateHiddenView();
    // A page without a view, for fetching ahead.
    std::unique_ptr<WebEngineBrowserView> CreateOffScreenPage();
    // The photo fetcher of a view's page; for a view of no engine one whose
    // fetches fail.
    std::unique_ptr<PhotoFetcher> CreatePhotoFetcher(QtBrowserView& view);

    QWebEngineProfile* Profile() const { return profile_.get(); }

    // Called by each view for its page, so the page is gone before the profile.
    void AdoptPage(QWebEnginePage* page);

    // Downloads are refused, except those a page's owner asked for itself:
    // take is offered every download while both the page and the claimant
    // live and returns true for those it has taken.
    void ClaimDownloads(QWebEnginePage* page, QObject* claimant,
                        std::function<bool(QWebEngineDownloadRequest*)> take);

private:
    struct Claim {
        QPointer<QWebEnginePage> Page;
        QPointer<QObject> Claimant;
        std::function<bool(QWebEngineDownloadRequest*)> Take;
    };
    void OnDownloadRequested(QWebEngineDownloadRequest* download);

    std::vector<Claim> claims_;
    // Goes after the profile that asks it.
    std::unique_ptr<QWebEngineUrlRequestInterceptor> interceptor_;
    std::unique_ptr<QWebEngineProfile> profile_;
    std::vector<QPointer<QWebEnginePage>> pages_;
};

}  // namespace kpw
