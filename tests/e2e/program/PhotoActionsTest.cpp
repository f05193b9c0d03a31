// Saving and copying the photo on view, and the slideshow, in the real
// window against the demo site.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QSpinBox>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <algorithm>

#include "ProgramDriver.h"
#include "app/PhotoActions.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {
namespace {

std::string Medium(int photo) {
    return "/photos/medium/" + std::to_string(photo) + ".jpg";
}

// The body of a GET on one of the demo site's hosts, fetched past the program.
QByteArray SiteBody(const DemoSite& site, const std::string& path,
                    const QString& host = QStringLiteral("127.0.0.1")) {
    QTcpSocket socket;
    socket.connectToHost(host, static_cast<quint16>(site.Port()));
    if (!socket.waitForConnected(E2EDeadlineMs)) return {};
    socket.write(QByteArray::fromStdString("GET " + path +
                                           " HTTP/1.0\r\nHost: 127.0.0.1\r\n"
                                           "Connection: close\r\n\r\n"));
    QByteArray answer;
    while (socket.state() == QAbstractSocket::ConnectedState && socket.waitForReadyRead(5000))
        answer += socket.readAll();
    answer += socket.readAll();
    const qsizetype body = answer.indexOf("\r\n\r\n");
    return body < 0 ? QByteArray() : answer.mid(body + 4);
}

int SiteRequests(const DemoSite& site, const std::string& logText) {
    const std::vector<std::string> lines = site.LogLines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return line.find(logText) != std::string::npos;
    }));
}

// Every entry of a folder, hidden ones too.
QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Closes the error box when it comes and keeps its text.
class ErrorBoxCatcher {
public:
    ErrorBoxCatcher() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                text_ = box->text();
                box->done(QMessageBox::Ok);
            }
        });
        timer_.start(20);
    }
    const QString& Text() const { return text_; }

private:
    QTimer timer_;
    QString text_;
};

// The size of the largest file anywhere below the folder, hidden ones too.
qint64 LargestFileBelow(const QString& folder) {
    qint64 largest = -1;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) largest = std::max(largest, QFileInfo(it.next()).size());
    return largest;
}

class PhotoActionsTest : public ::testing::Test {
protected:
    // Saves with Ctrl+S and waits until the action has ended.
    bool SaveWithCtrlS() {
        program.PressKey(Qt::Key_S, Qt::ControlModifier);
        return ProgramDriver::WaitFor([&] { return !Probe(program.Form()).Photos().Busy(); });
    }
    QString Status() const { return Probe(program.Form()).StatusText(); }

    DemoSite site{DemoSite::Options{.missing = "40"}};
    ProgramDriver program;
    QTemporaryDir folder;
};

TEST_F(PhotoActionsTest, CtrlSSavesThePhotoOfModeOneAndTwoFromTheCacheNeverOverwriting) {
    const QString saveFolder = QDir(folder.path()).filePath(QStringLiteral("new/photos"));
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 1234,
                   .SaveFolder = saveFolder.toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    const std::string photoRequest = MainHostRequest(Medium(1234), 200);
    const int fetched = SiteRequests(site, photoRequest);

    ASSERT_TRUE(SaveWithCtrlS());
    const QString first = QDir(saveFolder).filePath(QStringLiteral("1234.jpg"));
    EXPECT_EQ(Status(), QStringLiteral("Saved as ") + first);
    // The mode any new file gets, not the temporary file's owner-only one.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    struct stat saved {};
    ASSERT_EQ(::stat(first.toLocal8Bit().constData(), &saved), 0);
    EXPECT_EQ(saved.st_mode & 0777, 0666 & ~mask);
    ASSERT_TRUE(SaveWithCtrlS());
    const QString second = QDir(saveFolder).filePath(QStringLiteral("1234 (2).jpg"));
    EXPECT_EQ(Status(), QStringLiteral("Saved as ") + second);

    // Mode 2: the photo of the information page on view, in the size in force.
    const std::size_t before = program.VisibleDocuments().size();
    program.Button(Control::URL2)->click();
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    ASSERT_TRUE(SaveWithCtrlS());
    const QString third = QDir(saveFolder).filePath(QStringLiteral("1234 (3).jpg"));
    EXPECT_EQ(Status(), QStringLiteral("Saved as ") + third);

    // The browser cache served the photo: the site was not asked again.
    EXPECT_EQ(SiteRequests(site, photoRequest), fetched);
    const QByteArray photo = SiteBody(site, Medium(1234));
    ASSERT_GT(photo.size(), 1000);
    EXPECT_EQ(photo.left(2), QByteArray("\xFF\xD8"));
    for (const QString& path : {first, second, third})
        EXPECT_EQ(FileBytes(path), photo) << path.toStdString();
    // Nothing else is left in the folder.
    EXPECT_EQ(Entries(saveFolder),
              QStringList({QStringLiteral("1234 (2).jpg"), QStringLiteral("1234 (3).jpg"),
                           QStringLiteral("1234.jpg")}));
}

// Save as: a name typed without an extension gets the picture's, and the
// dialog asks about replacing the file of that name, not of the name typed.
TEST_F(PhotoActionsTest, SaveAsAddsThePicturesExtensionBeforeAskingAboutReplacing) {
    const QString existing = QDir(folder.path()).filePath(QStringLiteral("saved7.jpg"));
    {
        QFile old(existing);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 1234,
                   .SaveFolder = folder.path().toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0));

    QString question;
    bool typed = false;
    int ticksOpen = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            question = box->text();
            // Clicked, as the static question reads the button, not the result.
            if (QAbstractButton* yes = box->button(QMessageBox::Yes)) yes->click();
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog && typed) {
            // A dialog that stays open fails the test rather than hang it.
            if (++ticksOpen > 250) dialog->reject();
        } else if (dialog) {
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            if (!name) return;
            typed = true;
            name->setText(QDir(folder.path()).filePath(QStringLiteral("saved7")));
            // Queued: the question about replacing then runs outside this timer.
            QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        }
    });
    answer.start(20);
    program.PressKey(Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier);
    ASSERT_TRUE(
        ProgramDriver::WaitFor([&] { return typed && !Probe(program.Form()).Photos().Busy(); }));

    EXPECT_TRUE(question.contains(QStringLiteral("saved7.jpg"))) << question.toStdString();
    EXPECT_EQ(Status(), QStringLiteral("Saved as ") + existing);
    EXPECT_EQ(FileBytes(existing), SiteBody(site, Medium(1234)));
    EXPECT_EQ(Entries(folder.path()), QStringList{QStringLiteral("saved7.jpg")});
}

// The information page may not read a picture of another host; the engine's
// download fetches it then.
TEST_F(PhotoActionsTest, APhotoOfAnotherHostIsDownloadedAndAnErrorThereWritesNothing) {
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .URLIndex = 2,
                   .PhotoSize = 4,
                   .PhotoIndex = 321,
                   .SaveFolder = folder.path().toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    ASSERT_TRUE(SaveWithCtrlS());
    const QString saved = QDir(folder.path()).filePath(QStringLiteral("321.jpg"));
    EXPECT_EQ(Status(), QStringLiteral("Saved as ") + saved);
    const QByteArray original =
        SiteBody(site, "/photos/original/321.jpg", QStringLiteral("127.0.0.2"));
    ASSERT_GT(original.size(), 1000);
    EXPECT_EQ(FileBytes(saved), original);

    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.TypeIntoIndexField(QStringLiteral("40")));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    ErrorBoxCatcher box;
    ASSERT_TRUE(SaveWithCtrlS());
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !box.Text().isEmpty(); }));
    EXPECT_TRUE(box.Text().startsWith(QStringLiteral("The photo was not saved: the site")))
        << box.Text().toStdString();
    EXPECT_EQ(Entries(folder.path()), QStringList{QStringLiteral("321.jpg")});
}

TEST_F(PhotoActionsTest, AReadOnlyFolderGivesTheErrorAndWritesNothing) {
    QString readOnly = QDir(folder.path()).filePath(QStringLiteral("read-only"));
    ASSERT_TRUE(QDir().mkpath(readOnly));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    {
        // Someone who may write anywhere needs a folder of a file system that
        // nobody can write to.
        QFile probe(QDir(readOnly).filePath(QStringLiteral("probe")));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.close();
            probe.remove();
            readOnly = QStringLiteral("/sys");
        }
    }
    const QStringList before = Entries(readOnly);
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 77,
                   .SaveFolder = readOnly.toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    ErrorBoxCatcher box;
    ASSERT_TRUE(SaveWithCtrlS());
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !box.Text().isEmpty(); }));
    EXPECT_TRUE(box.Text().startsWith(QStringLiteral("The photo was not saved: the folder ") +
                                      readOnly + QStringLiteral(" cannot be written to")))
        << box.Text().toStdString();
    EXPECT_EQ(Status(), box.Text());
    EXPECT_EQ(Entries(readOnly), before);
    QFile::setPermissions(readOnly,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

TEST_F(PhotoActionsTest, AnErrorAnswerOfTheSiteWritesNothing) {
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 40,
                   .AutoSkipURL = false,
                   .SaveFolder = folder.path().toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    ErrorBoxCatcher box;
    ASSERT_TRUE(SaveWithCtrlS());
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !box.Text().isEmpty(); }));
    EXPECT_TRUE(box.Text().startsWith(QStringLiteral("The photo was not saved: the site")))
        << box.Text().toStdString();
    EXPECT_TRUE(Entries(folder.path()).isEmpty()) << Entries(folder.path()).join(' ').toStdString();
}

TEST_F(PhotoActionsTest, OnAUserPageCtrlSBeepsAndWritesNothing) {
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .URLIndex = 3,
                   .UserIndex = 12,
                   .SaveFolder = folder.path().toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    const int beeps = Probe(program.Form()).BeepCount();
    const std::size_t requests = site.LogLines().size();
    ASSERT_TRUE(SaveWithCtrlS());
    EXPECT_EQ(Probe(program.Form()).BeepCount(), beeps + 1);
    EXPECT_TRUE(Entries(folder.path()).isEmpty());
    EXPECT_EQ(site.LogLines().size(), requests);
}

TEST_F(PhotoActionsTest, CtrlShiftCCopiesTheAddressAndCtrlSLeavesATypedNumberAlone) {
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 500,
                   .NavigateDelayTime = 1500,
                   .SaveFolder = folder.path().toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    QGuiApplication::clipboard()->clear();
    program.PressKey(Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), site.BaseURL() + Medium(500));

    // A number being typed: Ctrl+S saves the photo on view and the number
    // still goes in after its delay.
    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.TypeIntoIndexField(QStringLiteral("61")));
    program.PressKey(Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->text(), QStringLiteral("61"));
    EXPECT_TRUE(Probe(program.Form()).NavigateTimer()->isActive());
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !Probe(program.Form()).Photos().Busy(); }));
    EXPECT_EQ(Entries(folder.path()), QStringList{QStringLiteral("500.jpg")});
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    EXPECT_EQ(program.Visible().LocationURL(), site.BaseURL() + Medium(61));
}

TEST_F(PhotoActionsTest, CopyPhotoPutsThePictureOnTheClipboard) {
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 99,
                   .SaveFolder = folder.path().toStdString()});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    QGuiApplication::clipboard()->clear();
    Probe(program.Form()).Photos().CopyPhoto();
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !Probe(program.Form()).Photos().Busy(); }));
    EXPECT_EQ(Status(), QStringLiteral("Photo copied to the clipboard"));
    const QImage copied = QGuiApplication::clipboard()->image();
    const QImage photo = QImage::fromData(SiteBody(site, Medium(99)));
    ASSERT_FALSE(photo.isNull());
    EXPECT_EQ(copied.size(), photo.size());
    // Nothing of it is left in the save folder.
    EXPECT_TRUE(Entries(folder.path()).isEmpty());
}

// A photo that never finishes: its save ends with a message once the user
// has gone on, and the save of the next photo does not wait for it.
TEST(PhotoActionsSlowSiteTest, ASaveThatCannotFinishEndsWithAMessageAndBlocksNoOther) {
    DemoSite site({.stall = "50", .stallAfter = 4096});
    ProgramDriver program;
    QTemporaryDir folder;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 50,
                   .SaveFolder = folder.path().toStdString()});
    const std::string stalled = site.BaseURL() + Medium(50);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return program.Visible().LocationURL() == stalled; }));
    ErrorBoxCatcher box;
    program.PressKey(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(Probe(program.Form()).Photos().Busy());

    // One step on with the wheel, the photo still loading.
    const std::size_t before = program.VisibleDocuments().size();
    program.TurnWheelOverVisibleView(-120);
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    ASSERT_EQ(program.Visible().LocationURL(), site.BaseURL() + Medium(51));
    program.PressKey(Qt::Key_S, Qt::ControlModifier);
    const QString next = QDir(folder.path()).filePath(QStringLiteral("51.jpg"));
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return QFileInfo::exists(next); }));
    EXPECT_EQ(FileBytes(next), SiteBody(site, Medium(51)));

    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !box.Text().isEmpty(); }));
    EXPECT_TRUE(box.Text().startsWith(QStringLiteral("The photo could not be fetched from ") +
                                      QString::fromStdString(stalled)))
        << box.Text().toStdString();
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !Probe(program.Form()).Photos().Busy(); }));
    // The stopped fetch's hidden folder goes with the last copy of its
    // result, which the fetch object, deleted from the event loop, may hold
    // a moment longer.
    ProgramDriver::WaitFor([&] { return Entries(folder.path()).size() == 1; });
    EXPECT_EQ(Entries(folder.path()), QStringList{QStringLiteral("51.jpg")});
}

// The photo goes to disk as it arrives, beside its file to be, not into
// memory first: a large photo that stops half way already shows there.
TEST(PhotoActionsSlowSiteTest, ALargePhotoIsWrittenAsItArrivesAndNothingIsLeftWhenItStops) {
    constexpr int arrives = 8 * 1024 * 1024;
    DemoSite site({.large = "60", .largeMb = 64, .stall = "60", .stallAfter = arrives});
    ProgramDriver program;
    QTemporaryDir folder;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoSize = 4,
                   .PhotoIndex = 60,
                   .SaveFolder = folder.path().toStdString()});
    const std::string large = site.StaticBaseURL() + "/photos/original/60.jpg";
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return program.Visible().LocationURL() == large; }));
    ErrorBoxCatcher box;
    program.PressKey(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return LargestFileBelow(folder.path()) >= arrives; }))
        << LargestFileBelow(folder.path());
    EXPECT_TRUE(Probe(program.Form()).Photos().Busy());

    program.TurnWheelOverVisibleView(-120);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !box.Text().isEmpty(); }));
    EXPECT_TRUE(box.Text().startsWith(QStringLiteral("The photo could not be fetched from ") +
                                      QString::fromStdString(large)))
        << box.Text().toStdString();
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !Probe(program.Form()).Photos().Busy(); }));
    EXPECT_TRUE(Entries(folder.path()).isEmpty()) << Entries(folder.path()).join(' ').toStdString();
}

// A photo announced larger than the cap is refused as it starts, for its
// size, while the view still loads it.
TEST(PhotoActionsSlowSiteTest, APhotoOverTheCapIsRefusedForItsSize) {
    DemoSite site({.large = "30", .largeMb = 500});
    ProgramDriver program;
    QTemporaryDir folder;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoSize = 4,
                   .PhotoIndex = 30,
                   .SaveFolder = folder.path().toStdString()});
    const std::string large = site.StaticBaseURL() + "/photos/original/30.jpg";
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return program.Visible().LocationURL() == large; }));
    ErrorBoxCatcher box;
    program.PressKey(Qt::Key_S, Qt::ControlModifier);
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !box.Text().isEmpty(); }));
    EXPECT_EQ(box.Text(), QStringLiteral("The photo was not saved: it is larger than 200 MB."));
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return !Probe(program.Form()).Photos().Busy(); }));
    EXPECT_TRUE(Entries(folder.path()).isEmpty()) << Entries(folder.path()).join(' ').toStdString();
}

TEST_F(PhotoActionsTest, TheSlideshowMakesItsStepsAndEndsOnAKey) {
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 20,
                   .SlideshowInterval = 1});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    program.PressKey(Qt::Key_F9);
    ASSERT_TRUE(program.Logic().Slides().Running());
    EXPECT_EQ(Status(), QStringLiteral("Slideshow: every 1 s"));
    for (int photo : {21, 22, 23}) {
        const std::string shown = site.BaseURL() + Medium(photo);
        ASSERT_TRUE(ProgramDriver::WaitFor([&] {
            return !program.VisibleDocuments().empty() &&
                   program.VisibleDocuments().back().Location == shown && program.IsIdle();
        })) << photo;
        EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), photo);
    }
    EXPECT_TRUE(program.Logic().Slides().Running());
    program.PressKey(Qt::Key_X);
    EXPECT_FALSE(program.Logic().Slides().Running());
    EXPECT_EQ(Status(), QStringLiteral("Slideshow ended"));
    // The key ended the slideshow and did nothing else.
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(),
              Probe(program.Form()).CurrentSettings().PhotoIndex);
}

}  // namespace
}  // namespace kpw
