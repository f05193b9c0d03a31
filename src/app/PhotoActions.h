#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "browsing/Navigator.h"
#include "browsing/PhotoFiles.h"
#include "texts/Texts.h"

class QTemporaryDir;
class QWidget;

namespace kpw {

class MainWindowPort;
class PhotoFetcher;

// The photo actions of the main window: save the photo on view (at once into
// the save folder, or through a file dialog), copy it or the page's address
// to the clipboard, open the page in the desktop's browser. The photo is
// fetched through the page on view, so the browser cache serves it.
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

    // The folder Save photo writes to under the settings in force.
    QString SaveFolder() const;
    // A photo is being fetched, or actions wait for their turn.
    bool Busy() const { return busy_ || !queued_.empty(); }

signals:
    // A photo action that fetched has ended, well or not.
    void Finished();

private:
    using Then = std::function<void(const ShownPhotoInfo&, const QByteArray& bytes,
                                    const std::string& extension)>;
    // Runs an action that fetches now, or after the one under way.
    void RunInTurn(std::function<void()> action);
    void FetchShownPhoto(Then then);
    // Beeps when no photo is on view; otherwise fetches it in turn and hands
    // it on.
    void WithShownPhoto(Then then);
    void EndAction();
    void WriteIntoSaveFolder(const ShownPhotoInfo& photo, const QByteArray& bytes,
                             const std::string& extension);
    void WriteChosenFile(const ShownPhotoInfo& photo, const QByteArray& bytes,
                         const std::string& extension);
    void Fail(PhotoFailure failure, const QString& where, const QString& detail);
    void Report(const std::string& text);
    const char* TextOf(const texts::Text& text) const;

    Settings& settings_;
    Navigator& logic_;
    MainWindowPort& window_;
    PhotoFetcher& fetcher_;
    QWidget* dialogParent_;
    std::unique_ptr<QTemporaryDir> fetchFolder_;
    bool busy_ = false;
    std::deque<std::function<void()>> queued_;
    // Where Save photo as last saved; empty until then.
    QString lastChosenFolder_;
};

}  // namespace kpw
