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
#include <QTimer>
#include <QUrl>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <optional>
#include <utility>

#include "archive/Sha256.h"
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

// The engine's file is its owner's alone; a photo gets the mode any new file
// gets.
void GiveNewFileMode(const QString& path) {
    ::chmod(QFile::encodeName(path).constData(), static_cast<mode_t>(platform::NewFileMode()));
}

// Copies a file over another atomically, a piece at a time; the failure and
// its reason, if any.
std::optional<std::pair<PhotoFailure, QString>> CopyReplacing(const QString& from,
                                                              const QString& to) {
    constexpr qint64 pieceBytes = 1024 * 1024;
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return std::pair{PhotoFailure::WriteFailed, source.errorString()};
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return std::pair{PhotoFailure::FolderNotWritable, target.errorString()};
    while (!source.atEnd()) {
        const QByteArray piece = source.read(pieceBytes);
        if (piece.isEmpty() && source.error() != QFileDevice::NoError)
            return std::pair{PhotoFailure::WriteFailed, source.errorString()};
        if (target.write(piece) != piece.size())
            return std::pair{WriteFailureOf(target), target.errorString()};
    }
    if (!target.commit()) return std::pair{WriteFailureOf(target), target.errorString()};
    return std::nullopt;
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

void PhotoActions::SavePhoto() {
    FetchShownPhoto(Kind::Save);
}

void PhotoActions::SavePhotoAs() {
    FetchShownPhoto(Kind::SaveAs);
}

void PhotoActions::CopyPhoto() {
    FetchShownPhoto(Kind::Copy);
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

void PhotoActions::ViewNavigates(const std::string& url) {
    const std::optional<ShownPhotoInfo> coming = logic_.PhotoAt(url);
    for (const Fetching& fetching : fetching_)
        if (fetching.Fetch && (!coming || coming->URL != fetching.Photo.URL))
            fetching.Fetch->Leave();
}

QString PhotoActions::FetchFolder(Kind what) {
    if (what == Kind::Copy) return QDir::tempPath();
    if (what == Kind::SaveAs) {
        // Where the dialog opens, so the chosen file is most often a rename away.
        const QString folder = lastChosenFolder_.isEmpty() ? SaveFolder() : lastChosenFolder_;
        const QFileInfo info(folder);
        return info.isDir() && info.isWritable() ? folder : QDir::tempPath();
    }
    QString folder = SaveFolder();
    if (!QDir().mkpath(folder)) {
        Fail(PhotoFailure::FolderNotWritable, QDir::toNativeSeparators(folder), qt_error_string());
        return {};
    }
    return folder;
}

void PhotoActions::FetchShownPhoto(Kind what) {
    const std::optional<ShownPhotoInfo> photo = logic_.ShownPhoto();
    if (!photo) {
        window_.Beep();
        return;
    }
    const QString folder = FetchFolder(what);
    if (folder.isEmpty()) return;
    PhotoFetch* fetch = fetcher_.Start({QUrl(Text(photo->URL)), folder, FetchLimits{}});
    connect(fetch, &PhotoFetch::Finished, this,
            [this, fetch](const PhotoFetchResult& result) { OnFetched(fetch, result); });
    fetching_.push_back({fetch, *photo, what, folder});
}

void PhotoActions::OnFetched(PhotoFetch* fetch, const PhotoFetchResult& result) {
    const auto it = std::find_if(fetching_.begin(), fetching_.end(),
                                 [fetch](const Fetching& f) { return f.Fetch == fetch; });
    if (it == fetching_.end()) return;
    fetched_.push_back({it->Photo, it->What, it->Folder, result});
    fetching_.erase(it);
    // Once the fetcher's signal has returned.
    QTimer::singleShot(0, this, [this] { WriteFetched(); });
}

void PhotoActions::WriteFetched() {
    if (writing_) return;
    writing_ = true;
    while (!fetched_.empty()) {
        {
            // Its temporary file goes as the last copy of the result does.
            const Fetched fetched = std::move(fetched_.front());
            fetched_.pop_front();
            Write(fetched);
        }
        emit Finished();
    }
    writing_ = false;
}

void PhotoActions::Write(const Fetched& fetched) {
    const PhotoFetchResult& result = fetched.Result;
    if (result.Failure) {
        const bool fileFailure = *result.Failure == PhotoFailure::FolderNotWritable ||
                                 *result.Failure == PhotoFailure::DiskFull ||
                                 *result.Failure == PhotoFailure::WriteFailed;
        Fail(*result.Failure,
             fileFailure ? QDir::toNativeSeparators(fetched.Folder) : Text(fetched.Photo.URL),
             result.Detail);
        return;
    }
    switch (fetched.What) {
        case Kind::Save:
            MoveIntoSaveFolder(fetched);
            break;
        case Kind::SaveAs:
            MoveToChosenFile(fetched);
            break;
        case Kind::Copy:
            PutOnClipboard(fetched);
            break;
    }
}

void PhotoActions::PutOnClipboard(const Fetched& fetched) {
    const QImage image(fetched.Result.FilePath);
    if (image.isNull()) {
        Fail(PhotoFailure::ClipboardFailed, Text(fetched.Photo.URL), Text(fetched.Photo.URL));
        return;
    }
    QGuiApplication::clipboard()->setImage(image);
    Report(TextOf(texts::Photo.PhotoCopied));
}

// The photo takes its name in the folder its temporary file already lies
// in: a rename that never replaces a file.
void PhotoActions::MoveIntoSaveFolder(const Fetched& fetched) {
    const PhotoFetchResult& result = fetched.Result;
    const QString& folder = fetched.Folder;
    const QString shownFolder = QDir::toNativeSeparators(folder);
    GiveNewFileMode(result.FilePath);
    for (int attempt = 0; attempt < RenameAttempts; ++attempt) {
        const std::optional<std::string> name =
            PhotoFileName(fetched.Photo.Index, result.Extension, [&](const std::string& candidate) {
                return QFileInfo::exists(QDir(folder).filePath(Text(candidate)));
            });
        if (!name) {
            Fail(PhotoFailure::NoFreeName, shownFolder, {});
            return;
        }
        const QString path = QDir(folder).filePath(Text(*name));
        QFile file(result.FilePath);
        if (file.rename(path)) {
            Saved(fetched, path);
            return;
        }
        if (!QFileInfo::exists(path)) {
            Fail(PhotoFailure::WriteFailed, QDir::toNativeSeparators(path), file.errorString());
            return;
        }
    }
    Fail(PhotoFailure::NoFreeName, shownFolder, {});
}

void PhotoActions::MoveToChosenFile(const Fetched& fetched) {
    const PhotoFetchResult& result = fetched.Result;
    QString folder = lastChosenFolder_.isEmpty() ? SaveFolder() : lastChosenFolder_;
    if (!QFileInfo(folder).isDir()) folder = QDir::homePath();
    const QString suffix = Text(result.Extension);
    const QString proposed =
        QDir(folder).filePath(QString::number(fetched.Photo.Index) + '.' + suffix);
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
    GiveNewFileMode(result.FilePath);
    if (std::rename(QFile::encodeName(result.FilePath).constData(),
                    QFile::encodeName(path).constData()) != 0) {
        const int renameError = errno;
        if (renameError != EXDEV) {
            Fail(renameError == ENOSPC ? PhotoFailure::DiskFull : PhotoFailure::FolderNotWritable,
                 QDir::toNativeSeparators(renameError == ENOSPC ? path : lastChosenFolder_),
                 qt_error_string(renameError));
            return;
        }
        // Another file system: copied in pieces, never read whole.
        if (const std::optional<std::pair<PhotoFailure, QString>> failed =
                CopyReplacing(result.FilePath, path)) {
            Fail(failed->first, QDir::toNativeSeparators(path), failed->second);
            return;
        }
    }
    Saved(fetched, path);
}

// The status bar says where the photo went; the archive learns it was kept.
void PhotoActions::Saved(const Fetched& fetched, const QString& path) {
    Report(texts::FillIn(TextOf(texts::Photo.SavedAs),
                         {QDir::toNativeSeparators(path).toStdString()}));
    const std::string file = path.toStdString();
    if (const std::optional<std::string> digest = Sha256::OfFile(file)) {
        logic_.NotePhotoKept(fetched.Photo.Index, {file, static_cast<int64_t>(fetched.Result.Bytes),
                                                   *digest, ArchiveTimeNow()});
    }
}

}  // namespace kpw
