// Installs the build into a scratch DESTDIR with the install rules, as a user
// or the Debian package would, and checks the tree, its desktop metadata and
// that the installed program starts and finds its help files.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QProcessEnvironment>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

#include "DemoSite.h"

namespace kpw {
namespace {

const QString AppId = QStringLiteral("de.zentrafold.KelvaroPhotoWizard");
constexpr int IconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256};

struct ToolRun {
    int exitCode = -1;
    QString output;  // standard output and error together
};

ToolRun RunProgram(
    const QString& program, const QStringList& arguments,
    const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    ToolRun run;
    if (!process.waitForStarted(30000)) {
        run.output = process.errorString();
        return run;
    }
    if (!process.waitForFinished(300000)) {
        process.kill();
        process.waitForFinished();
        run.output = QStringLiteral("did not finish: ") + process.readAll();
        return run;
    }
    run.output = QString::fromUtf8(process.readAll());
    run.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return run;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class InstalledTree : public ::testing::Test {
protected:
    // One install for all cases: the rules do not change between them.
    static void SetUpTestSuite() {
        destDir_ = new QTemporaryDir();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("DESTDIR"), destDir_->path());
        const ToolRun run = RunProgram(QStringLiteral(KPW_CMAKE_COMMAND),
                                       {QStringLiteral("--install"), QStringLiteral(KPW_BUILD_DIR),
                                        QStringLiteral("--prefix"), QStringLiteral("/usr")},
                                       environment);
        installOutput_ = run.output;
        installed_ = run.exitCode == 0;
    }
    static void TearDownTestSuite() {
        delete destDir_;
        destDir_ = nullptr;
    }

    void SetUp() override { ASSERT_TRUE(installed_) << installOutput_.toStdString(); }

    static QString Usr(const QString& relative) {
        return destDir_->path() + QStringLiteral("/usr/") + relative;
    }

    // Runs an external validator, or skips the case when it is not installed.
    static ToolRun Validate(const QString& tool, const QStringList& arguments) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (path.isEmpty()) return {};
        return RunProgram(path, arguments);
    }

    static QTemporaryDir* destDir_;
    static bool installed_;
    static QString installOutput_;
};

QTemporaryDir* InstalledTree::destDir_ = nullptr;
bool InstalledTree::installed_ = false;
QString InstalledTree::installOutput_;

TEST_F(InstalledTree, HoldsTheProgramItsDataAndNothingElse) {
    QSet<QString> expected{
        QStringLiteral("usr/bin/kelvaro-photo-wizard"),
        QStringLiteral("usr/share/kelvaro-photo-wizard/English.HLP"),
        QStringLiteral("usr/share/kelvaro-photo-wizard/German.HLP"),
        QStringLiteral("usr/share/applications/") + AppId + QStringLiteral(".desktop"),
        QStringLiteral("usr/share/metainfo/") + AppId + QStringLiteral(".metainfo.xml"),
        QStringLiteral("usr/share/icons/hicolor/scalable/apps/") + AppId + QStringLiteral(".svg"),
        QStringLiteral("usr/share/doc/kelvaro-photo-wizard/copyright"),
        QStringLiteral("usr/share/doc/kelvaro-photo-wizard/changelog.gz"),
        QStringLiteral("usr/share/man/man1/kelvaro-photo-wizard.1.gz"),
    };
    for (int size : IconSizes)
        expected.insert(QStringLiteral("usr/share/icons/hicolor/%1x%1/apps/").arg(size) + AppId +
                        QStringLiteral(".png"));

    QSet<QString> found;
    const QDir root(destDir_->path());
    QDirIterator it(destDir_->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) found.insert(root.relativeFilePath(it.next()));

    // Sorted, so a difference reads as a list of paths.
    const auto sorted = [](const QSet<QString>& paths) {
        QStringList list(paths.begin(), paths.end());
        list.sort();
        return list.join(u'\n').toStdString();
    };
    EXPECT_EQ(sorted(found), sorted(expected))
        << "missing: " << sorted(expected - found) << "\nunexpected: " << sorted(found - expected);
    EXPECT_TRUE(QFileInfo(Usr(QStringLiteral("bin/kelvaro-photo-wizard"))).isExecutable());
}

TEST_F(InstalledTree, HelpFilesAreTheOnesOfTheSourceTree) {
    for (const char* name : {"English.HLP", "German.HLP"}) {
        const QByteArray source =
            ReadAll(QStringLiteral(KPW_SOURCE_DIR "/src/ui/help/") + QLatin1String(name));
        ASSERT_FALSE(source.isEmpty()) << name;
        EXPECT_EQ(ReadAll(Usr(QStringLiteral("share/kelvaro-photo-wizard/")) + QLatin1String(name)),
                  source)
            << name;
    }
}

TEST_F(InstalledTree, EachIconPngHasTheSizeOfItsFolder) {
    for (int size : IconSizes) {
        const QString path =
            Usr(QStringLiteral("share/icons/hicolor/%1x%1/apps/").arg(size) + AppId + ".png");
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), QByteArray("png")) << path.toStdString();
        EXPECT_EQ(reader.size(), QSize(size, size)) << path.toStdString();
    }
}

TEST_F(InstalledTree, DesktopEntryPassesItsValidator) {
    const QString entry = Usr(QStringLiteral("share/applications/") + AppId + ".desktop");
    if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed (package desktop-file-utils); "
                        "./test installs it from scripts/debian-packages.txt";
    const ToolRun run = Validate(QStringLiteral("desktop-file-validate"), {entry});
    EXPECT_EQ(run.exitCode, 0) << run.output.toStdString();
    // The validator passes hints silently; anything it prints is worth a look.
    EXPECT_TRUE(run.output.trimmed().isEmpty()) << run.output.toStdString();

    const QString text = QString::fromUtf8(ReadAll(entry));
    EXPECT_TRUE(text.contains(QStringLiteral("\nExec=kelvaro-photo-wizard\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nIcon=") + AppId + u'\n'));
    EXPECT_TRUE(text.contains(QStringLiteral("\nCategories=Graphics;Viewer;\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nName[de]=")));
    EXPECT_TRUE(text.contains(QStringLiteral("\nComment[de]=")));
}

TEST_F(InstalledTree, MetainfoPassesThePedanticValidatorWithTheDesktopEntry) {
    if (QStandardPaths::findExecutable(QStringLiteral("appstreamcli")).isEmpty())
        GTEST_SKIP() << "appstreamcli is not installed (package appstream); "
                        "./test installs it from scripts/debian-packages.txt";
    const QString metainfo = Usr(QStringLiteral("share/metainfo/") + AppId + ".metainfo.xml");
    const ToolRun file = Validate(QStringLiteral("appstreamcli"),
                                  {QStringLiteral("validate"), QStringLiteral("--no-net"),
                                   QStringLiteral("--pedantic"), metainfo});
    EXPECT_EQ(file.exitCode, 0) << file.output.toStdString();
    // The tree check also matches the metainfo with its desktop entry and icon.
    const ToolRun tree = Validate(QStringLiteral("appstreamcli"),
                                  {QStringLiteral("validate-tree"), QStringLiteral("--no-net"),
                                   QStringLiteral("--pedantic"), destDir_->path()});
    EXPECT_EQ(tree.exitCode, 0) << tree.output.toStdString();
    EXPECT_FALSE(tree.output.contains(QStringLiteral("W:")) || tree.output.contains("E:"))
        << tree.output.toStdString();

    const QString text = QString::fromUtf8(ReadAll(metainfo));
    EXPECT_TRUE(text.contains(QStringLiteral("<summary xml:lang=\"de\">")));
    EXPECT_TRUE(text.contains(QStringLiteral("<release version=\"")));
    EXPECT_FALSE(text.contains(u'@')) << "a placeholder was left unfilled";
}

TEST_F(InstalledTree, HelpLookupBesideTheInstalledProgramFindsTheDataFolder) {
    // The probe runs the program's lookup from the installed program's folder.
    const QString probe = Usr(QStringLiteral("bin/kpw_help_lookup_probe"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(KPW_PROBE_EXE), probe));
    const ToolRun run = RunProgram(probe, {});
    QFile::remove(probe);
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();
    const QString data = QDir::cleanPath(Usr(QStringLiteral("share/kelvaro-photo-wizard")));
    EXPECT_EQ(run.output,
              data + QStringLiteral("/English.HLP\n") + data + QStringLiteral("/German.HLP\n"));
}

TEST_F(InstalledTree, InstalledProgramStartsLoadsTheFirstPageAndClosesOnSigterm) {
    DemoSite site;
    QTemporaryDir appData;
    const QString iniDir = appData.filePath(QStringLiteral("Zentrafold/kelvaro-photo-wizard"));
    ASSERT_TRUE(QDir().mkpath(iniDir));
    const QString ini = iniDir + QStringLiteral("/kelvaro-photo-wizard.ini");
    {
        QFile file(ini);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        const QString base = QString::fromStdString(site.BaseURL());
        file.write(QStringLiteral("[URL]\r\nTemplateURL11=%1/photos/thumbnail/*.jpg\r\n"
                                  "TemplateURL12=%1/photos/small/*.jpg\r\n"
                                  "TemplateURL13=%1/photos/medium/*.jpg\r\n"
                                  "TemplateURL14=%1/photos/original/*.jpg\r\n"
                                  "TemplateURL20=%1/photo/*\r\nTemplateURL30=%1/user/*\r\n")
                       .arg(base)
                       .toUtf8());
    }

    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("APPDATA"), appData.path());
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::ForwardedChannels);
    program.start(Usr(QStringLiteral("bin/kelvaro-photo-wizard")), {});
    ASSERT_TRUE(program.waitForStarted(30000)) << program.errorString().toStdString();

    // The first page request means both windows were built and the event loop
    // runs (the engine sends requests from it), so SIGTERM is already routed
    // to closing the window.
    const bool loaded = site.WaitForLogLine("GET 127.0.0.1 /photos/", std::chrono::seconds(120));
    program.terminate();
    const bool finished = program.waitForFinished(60000);
    if (!finished) program.kill();
    ASSERT_TRUE(loaded) << "the installed program asked the demo site for no page";
    ASSERT_TRUE(finished);
    EXPECT_EQ(program.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(program.exitCode(), 0);
    // SIGTERM closes the window as its close box does: the settings are written.
    EXPECT_TRUE(ReadAll(ini).contains("[Page]")) << ReadAll(ini).toStdString();
}

}  // namespace
}  // namespace kpw
