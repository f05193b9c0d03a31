// Pages that try to hold on to the program: hung renderers are ended, unseen
// pages run nothing of their own, dialog loops end, and no page goes
// anywhere but the web or installs a worker.
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineScript>
#include <csignal>
#include <memory>

#include "BrowserViewHarness.h"
#include "browsing/PageAnalysis.h"

namespace kpw::test {
namespace {

// Closes every message box that comes up and counts them.
class DialogCloser {
public:
    DialogCloser() {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible() && !box->property("kpwClosed").toBool()) {
                    box->setProperty("kpwClosed", true);
                    ++shown_;
                    box->done(QMessageBox::Ok);
                }
            }
        });
        timer_.start(20);
    }
    int Shown() const { return shown_; }

private:
    QTimer timer_;
    int shown_ = 0;
};

class HostilePages : public BrowserViewTest {
protected:
    HostilePages() {
        QObject::connect(view.get(), &QtBrowserView::PageNotice,
                         [this](const QString& line) { notices.push_back(line); });
    }
    QString Title() const { return view->Page()->title(); }
    bool WaitForTitle(const QString& title) {
        return QTest::qWaitFor([&] { return Title() == title; }, Deadline);
    }
    std::vector<QString> notices;
};

TEST_F(HostilePages, AScriptLoopAfterTheLoadEndsItsRendererAndTheNextPageShows) {
    view->SetContentTimeout(std::chrono::milliseconds(1000));
    site.Add("/spin", R"(<html><body>spin<script>
        document.title = 'spinning';
        setTimeout(() => { for (;;) {} }, 0);
        </script></body></html>)");
    site.Add("/after", "<html><body>after</body></html>");
    view->Navigate2(site.Url("/spin"), NavHyperlink);
    ASSERT_TRUE(WaitForDocuments(1));
    EXPECT_FALSE(events.Documents[0].BodyText.has_value());
    // The step finds the renderer still silent, ends it, and goes on.
    EXPECT_EQ(Text(Load("/after")), "after");
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], "The page did not respond and was ended.");
    EXPECT_EQ(Count("navigate"), 2);
}

// A renderer ended from outside while its page rests: the status bar and the
// log say why, no load is reported, and the next step gets a fresh renderer.
struct OutsideEnd {
    const char* Name;
    int Signal;
    const char* Said;  // how the line begins
};

class RendererEndedFromOutside : public HostilePages,
                                 public ::testing::WithParamInterface<OutsideEnd> {};

TEST_P(RendererEndedFromOutside, IsToldInTheStatusBarAndTheLog) {
    const OutsideEnd& c = GetParam();
    site.Add("/page", "<html><body>page</body></html>");
    EXPECT_EQ(Text(Load("/page")), "page");
    const qint64 pid = view->Page()->renderProcessPid();
    ASSERT_GT(pid, 0);
    ASSERT_EQ(::kill(static_cast<pid_t>(pid), c.Signal), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !notices.empty(); }, Deadline));
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_TRUE(notices[0].startsWith(QString::fromUtf8(c.Said))) << notices[0].toStdString();
    EXPECT_EQ(events.StatusTexts.back(), notices[0]);
    ExpectOnlyDocumentsBeforeNextLoad(1);
}

INSTANTIATE_TEST_SUITE_P(
    Signals, RendererEndedFromOutside,
    ::testing::Values(
        OutsideEnd{"OutOfMemory", SIGKILL, "The page ran out of memory and was ended."},
        OutsideEnd{"Crash", SIGSEGV, "The page crashed (code "},
        OutsideEnd{"Terminated", SIGTERM, "The page was ended from outside the program (code "}),
    [](const ::testing::TestParamInfo<OutsideEnd>& testCase) {
        return std::string(testCase.param.Name);
    });

TEST_F(HostilePages, StopEndsARendererCaughtInALoopAndTheSameSiteShowsAgain) {
    site.Add("/busy", "<html><body>busy<script>for (;;) {}</script></body></html>");
    site.Add("/after", "<html><body>after</body></html>");
    view->Navigate2(site.Url("/busy"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.Hits("/busy") == 1; }, Deadline));
    QTest::qWait(300);
    view->Stop();
    ASSERT_TRUE(WaitForDocuments(1));
    // The site's next page goes to a renderer that answers.
    EXPECT_EQ(Text(Load("/after")), "after");
}

TEST_F(HostilePages, AnUnseenPageRunsNoScriptFollowsNoRefreshButIsStillRead) {
    const std::unique_ptr<WebEngineBrowserView> unseen = profile->CreateOffScreenPage();
    EventLog unseenEvents;
    Record(*unseen, unseenEvents);
    site.Add("/elsewhere", "<html><body>elsewhere</body></html>");
    site.Add("/greedy", R"(<html><head><meta http-equiv="refresh" content="0; url=/elsewhere">
        </head><body><p id=author>by <a href="/user/4711">me</a></p><script>
        document.title = 'ran'; location.href = '/elsewhere';
        </script></body></html>)");
    unseen->Navigate2(site.Url("/greedy"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !unseenEvents.Documents.empty(); }, Deadline));
    EXPECT_EQ(FindAuthorIndex(Markup(unseenEvents.Documents[0]), false), 4711);
    QTest::qWait(1500);
    EXPECT_NE(unseen->Page()->title(), "ran");
    EXPECT_EQ(site.Hits("/elsewhere"), 0);
    EXPECT_EQ(unseenEvents.Documents.size(), 1u);
    // Its own next load goes as usual.
    unseen->Navigate2(site.Url("/next"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return unseenEvents.Documents.size() == 2; }, Deadline));
    EXPECT_EQ(Text(unseenEvents.Documents[1]), "next page");
}

// A page without a view would lay out at 0 x 0, where a long page wraps at
// every word and costs its renderer gigabytes.
TEST_F(HostilePages, AnOffScreenPageLaysOutAtTheSizeOfAView) {
    const std::unique_ptr<WebEngineBrowserView> unseen = profile->CreateOffScreenPage();
    EventLog unseenEvents;
    Record(*unseen, unseenEvents);
    EXPECT_EQ(unseen->Widget(), nullptr);
    unseen->Navigate2(site.Url("/next"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !unseenEvents.Documents.empty(); }, Deadline));
    QString size;
    unseen->Page()->runJavaScript(QStringLiteral("window.innerWidth + 'x' + window.innerHeight"),
                                  QWebEngineScript::ApplicationWorld,
                                  [&](const QVariant& value) { size = value.toString(); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return !size.isEmpty(); }, Deadline));
    EXPECT_EQ(size, QStringLiteral("566x527"));
}

// An unseen page empties itself once read; the program's next load, asked
// for at once or a moment later, is never lost to that.
TEST_F(HostilePages, AnUnseenPageAlwaysLoadsWhatTheProgramAsksNextWhileItEmptiesItself) {
    const std::unique_ptr<WebEngineBrowserView> unseen = profile->CreateHiddenView();
    EventLog unseenEvents;
    Record(*unseen, unseenEvents);
    for (int i = 0; i < 8; ++i)
        site.Add("/page/" + std::to_string(i),
                 "<html><body>page " + std::to_string(i) + "</body></html>");
    int next = 1;
    // Each document asks for the next page: in the handler, at the next turn
    // of the event loop, or a little later.
    QObject::connect(unseen.get(), &QtBrowserView::DocumentComplete, [&](const DocumentContent&) {
        if (next >= 8) return;
        const std::string url = site.Url("/page/" + std::to_string(next));
        const int delay[] = {-1, 0, 5, 20};
        const int wait = delay[next % 4];
        ++next;
        if (wait < 0)
            unseen->Navigate2(url, NavHyperlink);
        else
            QTimer::singleShot(wait, [&unseen, url] { unseen->Navigate2(url, NavHyperlink); });
    });
    unseen->Navigate2(site.Url("/page/0"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return unseenEvents.Documents.size() == 8; }, Deadline))
        << unseenEvents.Documents.size() << " documents";
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(Text(unseenEvents.Documents[i]), "page " + std::to_string(i));
}

TEST_F(HostilePages, ThePageOnViewRunsScriptsButGoesNowhereButTheWeb) {
    site.Add("/leave", "<html><body>leave<script>document.title = 'ran';</script></body></html>");
    Load("/leave");
    EXPECT_TRUE(WaitForTitle("ran"));
    const int navigations = Count("navigate");
    const int documents = Count("document");
    for (const char* target :
         {"URL.createObjectURL(new Blob(['<p>blob</p>'], {type: 'text/html'}))",
          "'data:text/html,<p>x</p>'", "'file:///etc/hostname'"}) {
        RunPageScript(QStringLiteral("location.href = %1;").arg(QString::fromLatin1(target)));
        QTest::qWait(500);
        EXPECT_EQ(view->LocationURL(), site.Url("/leave")) << target;
    }
    // An empty page of its own is no address elsewhere; the view reports it
    // not as a document.
    RunPageScript(QStringLiteral("location.href = 'about:blank';"));
    QTest::qWait(500);
    EXPECT_EQ(Count("navigate"), navigations);
    EXPECT_EQ(Count("document"), documents);
    // A link of the page to the web still goes.
    RunPageScript(
        QStringLiteral("location.href = '%1';").arg(QString::fromStdString(site.Url("/next"))));
    ASSERT_TRUE(WaitForDocuments(documents + 1));
    EXPECT_EQ(Text(events.Documents.back()), "next page");
}

TEST_F(HostilePages, NoServiceWorkerRegisters) {
    site.Add("/sw.js", FixtureSite::Page{"self.addEventListener('fetch', () => {});", 200, 0, false,
                                         "text/javascript"});
    site.Add("/worker", R"(<html><body><script>
        navigator.serviceWorker.register('/sw.js')
            .then(() => { document.title = 'registered'; },
                  () => { document.title = 'refused'; });
        </script></body></html>)");
    Load("/worker");
    EXPECT_TRUE(WaitForTitle("refused")) << Title().toStdString();
    EXPECT_EQ(site.Hits("/sw.js"), 0);
}

TEST_F(HostilePages, ADialogLoopEndsAfterThreeAndTheLogSaysSo) {
    site.Add("/nag", R"(<html><body><script>
        for (let i = 0; i < 20; ++i) alert('again ' + i);
        confirm('still?');
        document.title = 'done';
        </script></body></html>)");
    DialogCloser dialogs;
    view->SetSilent(false);
    Load("/nag");
    EXPECT_TRUE(WaitForTitle("done"));
    EXPECT_EQ(dialogs.Shown(), DialogGate::MaxInRun);
    ASSERT_EQ(notices.size(), 1u);
    EXPECT_EQ(notices[0], "The page kept opening dialogs; its further dialogs are not shown.");
    // The next page may ask again.
    site.Add("/once", "<html><body><script>alert('once')</script>once</body></html>");
    Load("/once");
    EXPECT_EQ(dialogs.Shown(), DialogGate::MaxInRun + 1);
}

// "Leave this page?" needs a page the user has touched: a click into it.
TEST_F(HostilePages, TheLeaveQuestionNeverHoldsUpTheProgramsOwnLoad) {
    site.Add("/stay", R"(<html><body style="margin:0"><div style="height:400px">stay</div><script>
        addEventListener('beforeunload', e => { e.preventDefault(); e.returnValue = ''; });
        addEventListener('mousedown', () => { document.title = 'touched'; });
        </script></body></html>)");
    DialogCloser dialogs;
    view->SetSilent(false);
    QWidget* widget = view->Widget();
    widget->resize(400, 300);
    widget->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(widget));
    const auto touch = [&] {
        Load("/stay");
        QWidget* target = widget->focusProxy() ? widget->focusProxy() : widget;
        QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(50, 50));
        return WaitForTitle("touched");
    };
    // The page's own navigation asks, as it should.
    ASSERT_TRUE(touch());
    RunPageScript(
        QStringLiteral("location.href = '%1';").arg(QString::fromStdString(site.Url("/next"))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.Shown() == 1; }, Deadline));
    // The program's does not.
    ASSERT_TRUE(touch());
    EXPECT_EQ(Text(Load("/next")), "next page");
    EXPECT_EQ(dialogs.Shown(), 1);
}

}  // namespace
}  // namespace kpw::test
