#include "app/PhotoActions.h"

#include <sys/stat.h>


#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QTimer>
#include <QUrl>
#include <utility>

#include "browsing/MainWindowPort.h"
#include "platform/Platform.h"
#include "webengine/PhotoFetcher.h"

namespace kpw {

namespace {

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// A rename that found its name taken meanwhile tries the next free one.
constexpr int RenameAttempts = 5;

bool IsWebAddress(const QUrl& url) {
    return url.isValid() && !url.host().isEmpty() &&
           (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"));
}

PhotoFailure WriteFailureOf(const QFileDevice& file) {
    // Qt reports a full disk (ENOSPC) as a resource error.
    return file.error() == QFileDevice::ResourceError ? PhotoFailure::DiskFull
                                                      : PhotoFailure::WriteFailed;
}

}  // namespace

PhotoActions::PhotoActions(Settings& settings, Navigator& logic, MainWindowPort& window,
                           PhotoFetcher& fetcher, QWidget* dialogParent)
    : settings_(settings),
      logic_(logic),
      window_(window),
      fetcher_(fetcher),
      dialogParent_(dialogParent) {}

PhotoActions::~PhotoActions() = default;

const char* PhotoActions::TextOf(const texts::Text& text) const {
    return text.In(texts::LanguageIndex(settings_.Language));
}

QString PhotoActions::SaveFolder() const {
    return Text(SaveFolderInForce(
        settings_.SaveFolder,
        QStandardPaths::writableLocation(QStandardPaths::PicturesLocation).toStdString()));
}

void PhotoActions::Report(const std::string& text) {
    window_.SetStatusText(text);
}

void PhotoActions::Fail(PhotoFailure failure, const QString& where, const QString& detail) {
    const std::string message =
        PhotoFailureMessage(failure, settings_.Language, where.toStdString(), detail.toStdString());
    window_.SetStatusText(message);
    window_.ShowErrorMessage(message);
}

void PhotoActions::WithShownPhoto(Then then) {
    if (!logic_.ShownPhoto()) {
        window_.Beep();
        return;
    }
    RunInTurn([this, then = std::move(then)] { FetchShownPhoto(then); });
}

void PhotoActions::SavePhoto() {
    WithShownPhoto(
        [this](const ShownPhotoInfo& photo, const QByteArray& bytes,
               const std::string& extension) { WriteIntoSaveFolder(photo, bytes, extension); });
}

void PhotoActions::SavePhotoAs() {
    WithShownPhoto(
        [this](const ShownPhotoInfo& photo, const QByteArray& bytes,
               const std::string& extension) { WriteChosenFile(photo, bytes, extension); });
}

void PhotoActions::CopyPhoto() {
    WithShownPhoto([this](const ShownPhotoInfo& photo, const QByteArray& bytes,
                          const std::string&) {
        const QImage image = QImage::fromData(bytes);
        if (image.isNull()) {
            Fail(PhotoFailure::ClipboardFailed, Text(photo.URL), Text(photo.URL));
            return;
        }
        QGuiApplication::clipboard()->setImage(image);
        Report(TextOf(texts::Photo.PhotoCopied));
    });
}

void PhotoActions::CopyAddress() {
    const std::string address = logic_.ShownAddress();
    if (address.empty()) {
        window_.Beep();
        return;
    }
    QGuiApplication::clipboard()->setText(Text(address));
    Report(texts::FillIn(TextOf(texts::Photo.AddressCopied), {address}));
}

void PhotoActions::OpenInBrowser() {
    const QString address = Text(logic_.ShownAddress());
    const QUrl url(address, QUrl::StrictMode);
    // Only web pages leave the program; anything else is not the browser's.
    if (!IsWebAddress(url) || !QDesktopServices::openUrl(url)) {
        window_.Beep();
        Report(texts::FillIn(TextOf(texts::Photo.CannotOpenInBrowser), {address.toStdString()}));
    }
}

void PhotoActions::RunInTurn(std::function<void()> action) {
    if (busy_) {
        queued_.push_back(std::move(action));
        return;
    }
    busy_ = true;
    action();
}

void PhotoActions::EndAction() {
    busy_ = false;
    fetchFolder_.reset();
    emit Finished();
    if (queued_.empty()) return;
    std::function<void()> next = std::move(queued_.front());
    queued_.pop_front();
    RunInTurn(std::move(next));
}

// The download goes into a private folder first, so the save folder never
// holds a partial file; the photo then takes its name there at once.
void PhotoActions::FetchShownPhoto(Then then) {
    const std::optional<ShownPhotoInfo> photo = logic_.ShownPhoto();
    if (!photo) {
        window_.Beep();
        EndAction();
        return;
    }
    fetchFolder_ = std::make_unique<QTemporaryDir>();
    if (!fetchFolder_->isValid()) {
        Fail(PhotoFailure::WriteFailed, QDir::tempPath(), fetchFolder_->errorString());
        EndAction();
        return;
    }
    const QString url = Text(photo->URL);
    fetcher_.Fetch(
        QUrl(url), fetchFolder_->path(),
        [this, photo = *photo, then = std::move(then), url](const PhotoFetcher::Fetched& fetched) {
            // Carried out once the engine's signal has returned, as the
            // error box runs an event loop of its own.
            QTimer::singleShot(0, this, [this, photo, then, url, fetched] {
                if (fetched.Failure) {
                    Fail(*fetched.Failure, url, fetched.Detail);
                    EndAction();
                    return;
                }
                QFile file(fetched.FilePath);
                const bool read = file.open(QIODevice::ReadOnly);
                // Nothing past the limit is read into memory.
                const bool tooLarge = read && static_cast<size_t>(file.size()) > MaxPhotoBytes;
                const QByteArray bytes = read && !tooLarge ? file.readAll() : QByteArray();
                // The picture's own bytes say what it is; the site's word
                // (its content type) does not choose the file's kind.
                const std::optional<std::string> extension = PictureExtensionOfBytes(
                    std::string_view(bytes.constData(), static_cast<size_t>(bytes.size())));
                file.close();
                file.remove();
                if (!read)
                    Fail(PhotoFailure::WriteFailed, fetched.FilePath, file.errorString());
                else if (tooLarge)
                    Fail(PhotoFailure::TooLarge, url, QStringLiteral("200 MB"));
                else if (!extension)
                    Fail(PhotoFailure::NotAnImage, url, fetched.ContentType);
                else
                    then(photo, bytes, *extension);
                EndAction();
            });
        });
}

void PhotoActions::WriteIntoSaveFolder(const ShownPhotoInfo& photo,
                                       const QByteArray& bytes, const std::string& extension) {
    const QString folder = SaveFolder();
    const QString shownFolder = QDir::toNativeSeparators(folder);
    if (!QDir().mkpath(folder)) {
        Fail(PhotoFailure::FolderNotWritable, shownFolder, qt_error_string());
        return;
    }
    // A hidden temporary name in the folder itself, so the final rename is
    // atomic and never replaces a file.
    QTemporaryFile temporary(QDir(folder).filePath(QStringLiteral(".kpw-XXXXXX.part")));
    if (!temporary.open()) {
        Fail(PhotoFailure::FolderNotWritable, shownFolder, temporary.errorString());
        return;
    }
    // A temporary file is its owner's alone; the photo gets the mode any
    // new file gets.
    ::fchmod(temporary.handle(), static_cast<mode_t>(platform::NewFileMode()));
    if (temporary.write(bytes) != bytes.size() || !temporary.flush()) {
        Fail(WriteFailureOf(temporary), shownFolder, temporary.errorString());
        return;
    }
    for (int attempt = 0; attempt < RenameAttempts; ++attempt) {
        const std::optional<std::string> name =
            PhotoFileName(photo.Index, extension, [&](const std::string& candidate) {
                return QFileInfo::exists(QDir(folder).filePath(Text(candidate)));
            });
        if (!name) {
            Fail(PhotoFailure::NoFreeName, shownFolder, {});
            return;
        }
        const QString path = QDir(folder).filePath(Text(*name));
        if (temporary.rename(path)) {
            temporary.setAutoRemove(false);
            Report(texts::FillIn(TextOf(texts::Photo.SavedAs),
                                 {QDir::toNativeSeparators(path).toStdString()}));
            return;
        }
        if (!QFileInfo::exists(path)) {
            Fail(PhotoFailure::WriteFailed, QDir::toNativeSeparators(path),
                 temporary.errorString());
            return;
        }
    }
    Fail(PhotoFailure::NoFreeName, shownFolder, {});
}

void PhotoActions::WriteChosenFile(const ShownPhotoInfo& photo, const QByteArray& bytes,
                                   const std::string& extension) {
    QString folder = lastChosenFolder_.isEmpty() ? SaveFolder() : lastChosenFolder_;
    if (!QFileInfo(folder).isDir()) folder = QDir::homePath();
    const QString suffix = Text(extension);
    const QString proposed = QDir(folder).filePath(QString::number(photo.Index) + '.' + suffix);
    const QString filter =
        Text(TextOf(texts::Photo.ImageFiles)) + QStringLiteral(" (*.") + suffix + ')';
    QFileDialog dialog(dialogParent_, Text(TextOf(texts::Photo.SaveDialogTitle)), folder, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.selectFile(proposed);
    // A name typed without an extension gets the picture's, before the
    // dialog asks about replacing a file of that name.
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    const QString path = dialog.selectedFiles().constFirst();
    if (path.isEmpty()) return;
    lastChosenFolder_ = QFileInfo(path).absolutePath();
    // The dialog has asked before a file is replaced; the replacement is atomic.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        Fail(PhotoFailure::FolderNotWritable, QDir::toNativeSeparators(lastChosenFolder_),
             file.errorString());
        return;
    }
    if (file.write(bytes) != bytes.size() || !file.commit()) {
        Fail(WriteFailureOf(file), QDir::toNativeSeparators(path), file.errorString());
        return;
    }
    Report(texts::FillIn(TextOf(texts::Photo.SavedAs),
                         {QDir::toNativeSeparators(path).toStdString()}));
}

}  // namespace kpw
