#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <deque>
#include <string>
#include <vector>

#include "browsing/Navigator.h"
#include "browsing/PhotoFiles.h"
#include "texts/Texts.h"
#include "webengine/PhotoFetcher.h"

class QWidget;

namespace kpw {

class MainWindowPort;

// The photo actions of the main window: save the photo on view (at once into
// the save folder, or through a file dialog), copy it or the page's address
// to the clipboard, open the page in the desktop's browser. The photo is
// fetched through the page on view, so the browser cache serves what it
// holds, and streamed to a file beside the one it becomes. Each action
// fetches on its own: one that cannot finish holds up no other.
class PhotoActions : public QObject {
    Q_OBJECT
public:
    PhotoActions(Settings& settings, Navigator& logic, MainWindowPort& window,
                 PhotoFetcher& fetcher, QWidget* dialogParent);
    ~PhotoActions() override;

    void SavePhoto();
    void SavePhotoAs();
    void CopyPhoto();
    void CopyAddress();
    void OpenInBrowser();
    // The visible view goes to an address: the fetches of a photo it leaves
    // end once their bytes stop coming.
    void ViewNavigates(const std::string& url);

    // The folder Save photo writes to under the settings in force.
    QString SaveFolder() const;
    // Photos are being fetched, or fetched ones wait to be written.
    bool Busy() const { return !fetching_.empty() || !fetched_.empty() || writing_; }

signals:
    // A photo action that fetched has ended, well or not.
    void Finished();

private:
    enum class Kind { Save, SaveAs, Copy };
    struct Fetching {
        QPointer<PhotoFetch> Fetch;
        ShownPhotoInfo Photo;
        Kind What;
        QString Folder;
    };
    struct Fetched {
        ShownPhotoInfo Photo;
        Kind What;
        QString Folder;
        PhotoFetchResult Result;
    };

    // Beeps when no photo is on view; otherwise fetches it for the action.
    void FetchShownPhoto(Kind what);
    // Where the action's temporary file goes; empty after a failure told.
    QString FetchFolder(Kind what);
    void OnFetched(PhotoFetch* fetch, const PhotoFetchResult& result);
    // The fetched photos one at a time: a dialog or an error box runs an
    // event loop of its own, in which others may arrive.
    void WriteFetched();
    void Write(const Fetched& fetched);
    void MoveIntoSaveFolder(const Fetched& fetched);
    void MoveToChosenFile(const Fetched& fetched);
    void PutOnClipboard(const Fetched& fetched);
    void Saved(const Fetched& fetched, const QString& path);
    void Fail(PhotoFailure failure, const QString& where, const QString& detail);
    void Report(const std::string& text);
    const char* TextOf(const texts::Text& text) const;

    Settings& settings_;
    Navigator& logic_;
    MainWindowPort& window_;
    PhotoFetcher& fetcher_;
    QWidget* dialogParent_;
    std::vector<Fetching> fetching_;
    std::deque<Fetched> fetched_;
    bool writing_ = false;
    // Where Save photo as last saved; empty until then.
    QString lastChosenFolder_;
};

}  // namespace kpw
