#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <map>

#include "RecordingBrowserView.h"
#include "app/Program.h"
#include "app/UnitRunUtils.h"

namespace kpw {
namespace {

// A recording view that hands what it was asked to load to the test when the
// window releases it.
class WitnessView : public RecordingBrowserView {
public:
    explicit WitnessView(std::vector<std::string>& sink) : sink_(sink) {}
    ~WitnessView() override { sink_.insert(sink_.end(), navigations.begin(), navigations.end()); }

private:
    std::vector<std::string>& sink_;
};

class ProgramBodyTest : public ::testing::Test {
protected:
    ProgramBody Body(const char* languageIdText) {
        ProgramBody body;
        body.LanguageIdText = languageIdText;
        body.Paths = {dir_.filePath(QStringLiteral("kelvaro-photo-wizard")).toStdString(),
                      dir_.filePath(QStringLiteral("appdata")).toStdString()};
        body.CreateView = [this] {
            ++viewsCreated_;
            return std::make_unique<WitnessView>(loaded_);
        };
        body.ShowBlockedBox = [this](const QString& caption, const QString& message) {
            boxCaption_ = caption;
            boxMessage_ = message;
            viewsBeforeBox_ = viewsCreated_;
        };
        body.CloseOnTerminationSignals = false;
        return body;
    }

    QString IniPath() const {
        return dir_.filePath(
            QStringLiteral("appdata/Zentrafold/kelvaro-photo-wizard/kelvaro-photo-wizard.ini"));
    }

    QTemporaryDir dir_;
    int viewsCreated_ = 0;
    int viewsBeforeBox_ = -1;
    std::vector<std::string> loaded_;
    QString boxCaption_;
    QString boxMessage_;
};

TEST_F(ProgramBodyTest, PassedGateRunsUntilTheWindowClosesAndWritesTheSettings) {
    // The user closes the window once the event loop runs.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String("FormMain") && window->isVisible() &&
                QThread::currentThread()->loopLevel() > 0)
                window->close();
    });
    closer.start(20);
    EXPECT_EQ(RunProgramBody(Body("0409")), 0);
    EXPECT_TRUE(boxCaption_.isEmpty());
    EXPECT_EQ(viewsCreated_, 2);
    EXPECT_TRUE(QFile::exists(IniPath()));
}

TEST_F(ProgramBodyTest, TheHiddenViewIsMadeAsSuchAndNoticesOfThePageOnViewReachTheLog) {
    ProgramBody body = Body("0409");
    QtBrowserView* pageOnView = nullptr;
    const auto createView = body.CreateView;
    body.CreateView = [&] {
        auto view = createView();
        if (!pageOnView) pageOnView = view.get();
        return view;
    };
    int hiddenViews = 0;
    body.CreateHiddenView = [&] {
        ++hiddenViews;
        return std::make_unique<WitnessView>(loaded_);
    };
    QString log;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window->objectName() != QLatin1String("FormMain") || !window->isVisible() ||
                QThread::currentThread()->loopLevel() == 0)
                continue;
            emit pageOnView->PageNotice(QStringLiteral("The page kept opening dialogs."));
            if (auto* memo = window->findChild<QPlainTextEdit*>()) log = memo->toPlainText();
            window->close();
        }
    });
    closer.start(20);
    EXPECT_EQ(RunProgramBody(body), 0);
    EXPECT_EQ(viewsCreated_, 1);
    EXPECT_EQ(hiddenViews, 1);
    EXPECT_TRUE(log.endsWith(QStringLiteral("The page kept opening dialogs.")))
        << log.toStdString();
}

TEST_F(ProgramBodyTest, BothWindowsShowTheProgramsIconInEveryThemeSize) {
    std::map<QString, QList<QSize>> sizes;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&sizes] {
        QWidget* formMain = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String("FormMain") && window->isVisible())
                formMain = window;
        if (!formMain || QThread::currentThread()->loopLevel() == 0) return;
        sizes[formMain->objectName()] = formMain->windowIcon().availableSizes();
        if (auto* settings = formMain->findChild<QWidget*>(QStringLiteral("FormSettings")))
            sizes[settings->objectName()] = settings->windowIcon().availableSizes();
        formMain->close();
    });
    closer.start(20);
    EXPECT_EQ(RunProgramBody(Body("0409")), 0);

    const QList<QSize> expected{{16, 16}, {22, 22}, {24, 24},   {32, 32},
                                {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    ASSERT_EQ(sizes.size(), 2u);
    for (const auto& [window, available] : sizes)
        EXPECT_EQ(available, expected) << window.toStdString();
}

// Runs last among these tests: the gate leaves its texts unscrambled.
TEST_F(ProgramBodyTest, FiredGateShowsItsBoxFirstThenEndsWithoutWritingTheSettings) {
    EXPECT_EQ(RunProgramBody(Body("0419")), 0);  // returns by itself
    EXPECT_EQ(viewsBeforeBox_, 0);               // the box comes before any window
    EXPECT_EQ(boxCaption_, QStringLiteral("Kelvaro Photo Wizard"));
    EXPECT_TRUE(boxMessage_.contains(QStringLiteral("cannot be used")));
    // The windows were created and the first load started anyway.
    EXPECT_EQ(viewsCreated_, 2);
    EXPECT_EQ(loaded_.size(), 2u);
    // No close handler ran: nothing was written.
    EXPECT_FALSE(QFile::exists(IniPath()));
    ReleaseBlockedTexts();
}

}  // namespace
}  // namespace kpw
