// One document complete per top-level load, whatever the load ends in, and the
// events around it.
#include <QAction>
#include <QMouseEvent>
#include <QTcpServer>
#include <QTest>
#include <QWebEnginePage>
#include <QWidget>
#include <algorithm>
#include <csignal>

#include "BrowserViewHarness.h"
#include "texts/Texts.h"

namespace kpw::test {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

std::string RefusingUrl() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();  // nobody listens there now
    return "http://127.0.0.1:" + std::to_string(port) + "/";
}

struct ErrorCase {
    const char* Name;
    int Status;        // 0: the connection is refused
    const char* Body;  // the server's own error page, or none
    const char* Shown;
    int Reported;  // the HTTP status the document complete carries
};

class ErrorPages : public BrowserViewTest, public ::testing::WithParamInterface<ErrorCase> {};

TEST_P(ErrorPages, ErrorPageGivesOneDocumentCompleteWithWhatIsShown) {
    const ErrorCase& c = GetParam();
    site.Add("/missing", FixtureSite::Page{c.Body, c.Status});
    const DocumentContent content = LoadUrl(c.Status == 0 ? RefusingUrl() : site.Url("/missing"));
    EXPECT_TRUE(Contains(Text(content), c.Shown)) << Text(content);
    EXPECT_TRUE(content.BodyMarkup.has_value());
    EXPECT_EQ(content.HttpStatus, c.Reported);
    EXPECT_EQ(events.Order, (std::vector<std::string>{"navigate", "download", "document"}));
    ExpectOnlyDocumentsBeforeNextLoad(1);
    // A site that cannot be reached is said so in words, the code after it.
    if (c.Status == 0) {
        EXPECT_NE(std::find(events.StatusTexts.begin(), events.StatusTexts.end(),
                            "The site cannot be reached (net::ERR_CONNECTION_REFUSED)"),
                  events.StatusTexts.end());
    }
}

INSTANTIATE_TEST_SUITE_P(
    EngineAndServerPages, ErrorPages,
    ::testing::Values(ErrorCase{"NotFoundWithBody", 404, "<html><body>Error 404: no photo</body>",
                                "Error 404: no photo", 404},
                      ErrorCase{"NotFoundEmpty", 404, "", "HTTP ERROR 404", 404},
                      ErrorCase{"ServerErrorEmpty", 500, "", "HTTP ERROR 500", 500},
                      ErrorCase{"TooManyRequestsWithBody", 429,
                                "<html><body>Error 429: slow down</body>", "Error 429", 429},
                      ErrorCase{"TooManyRequestsEmpty", 429, "", "HTTP ERROR 429", 429},
                      ErrorCase{"UnavailableEmpty", 503, "", "HTTP ERROR 503", 503},
                      ErrorCase{"Served", 200, "<html><body>A photo</body>", "A photo", 200},
                      ErrorCase{"ConnectionRefused", 0, "", "This site can\u2019t be reached", 0}),
    [](const ::testing::TestParamInfo<ErrorCase>& testCase) {
        return std::string(testCase.param.Name);
    });

TEST_F(BrowserViewTest, FramesGiveOneDocumentCompleteForTheTopDocument) {
    site.Add("/a", "<html><body>frame a</body></html>");
    site.Add("/frames", R"(<html><frameset cols="50%,50%"><frame src="/a">)"
                        R"(<frame src="/missing"></frameset></html>)");
    site.Add("/iframes", R"(<html><body>outer<iframe src="/a"></iframe></body></html>)");
    EXPECT_TRUE(Contains(Markup(Load("/frames")), R"(<FRAMESET cols="50%,50%"><FRAME src="/a">)"));
    EXPECT_TRUE(Contains(Markup(Load("/iframes")), R"(outer<IFRAME src="/a"></IFRAME>)"));
    EXPECT_EQ(site.Hits("/a"), 2);
    EXPECT_EQ(Count("navigate"), 2);  // sub-frames are not reported
    ExpectOnlyDocumentsBeforeNextLoad(2);
}

TEST_F(BrowserViewTest, LoadReplacedByAnotherGivesOneDocumentComplete) {
    site.Add("/slow", FixtureSite::Page{"<html><body>slow</body></html>", 200, 0, true});
    site.Add("/quick", "<html><body>quick</body></html>");
    view->Navigate2(site.Url("/slow"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.Hits("/slow") == 1; }, Deadline));
    EXPECT_EQ(Text(Load("/quick")), "quick");
    site.Release();
    ExpectOnlyDocumentsBeforeNextLoad(1);
    EXPECT_EQ(Count("download"), 2);
}

TEST_F(BrowserViewTest, UnfinishedLoadGivesNoDocumentCompleteUntilStop) {
    site.Add("/start", "<html><body>start</body></html>");
    site.Add("/slow", FixtureSite::Page{"<html><body>slow</body></html>", 200, 0, true});
    Load("/start");
    view->Navigate2(site.Url("/slow"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.Hits("/slow") == 1; }, Deadline));
    EXPECT_EQ(events.Documents.size(), 1u);
    view->Stop();
    ASSERT_TRUE(WaitForDocuments(2));
    EXPECT_EQ(Text(events.Documents[1]), "start");  // the page on view stays
    EXPECT_EQ(events.StatusTexts.back(), "Stopped");
}

TEST_F(BrowserViewTest, InGermanTheStatusTextsMessagesAndContextMenuAreGerman) {
    view->SetLanguage(texts::German);
    site.Add("/page", "<html><body>Seite</body></html>");
    site.Add("/slow", FixtureSite::Page{"<html><body>slow</body></html>", 200, 0, true});
    Load("/page");
    ASSERT_FALSE(events.StatusTexts.empty());
    EXPECT_EQ(events.StatusTexts.front().toStdString(), "Lade " + site.Url("/page"));
    EXPECT_EQ(events.StatusTexts.back(), "Fertig");
    // The site is asked for the page in German first.
    EXPECT_EQ(site.LastHeader("/page", "Accept-Language").substr(0, 5), "de-DE");
    for (const QString& text : events.StatusTexts) {
        EXPECT_FALSE(text.startsWith("Loading") || text == "Done") << text.toStdString();
    }

    view->Navigate2(site.Url("/slow"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.Hits("/slow") == 1; }, Deadline));
    view->Stop();
    ASSERT_TRUE(WaitForDocuments(2));
    EXPECT_EQ(events.StatusTexts.back(), "Angehalten");
    site.Release();

    try {
        view->Navigate2("no address", NavHyperlink);
        ADD_FAILURE() << "an address that is none was opened";
    } catch (const BrowserError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Die Adresse \"no address\" kann nicht geöffnet werden");
    }
    QWebEnginePage* page = view->Page();
    EXPECT_EQ(page->action(QWebEnginePage::Back)->text(), QString::fromUtf8("Zurück"));
    EXPECT_EQ(page->action(QWebEnginePage::Copy)->text(), QStringLiteral("Kopieren"));
    EXPECT_EQ(page->action(QWebEnginePage::CopyLinkToClipboard)->text(),
              QStringLiteral("Link-Adresse kopieren"));

    // Back to English, as a language switch in the settings does: the
    // status bar says the last load's end anew at once, and the next page
    // is asked for in English.
    view->SetLanguage(texts::English);
    EXPECT_EQ(page->action(QWebEnginePage::Copy)->text(), QStringLiteral("Copy"));
    EXPECT_EQ(events.StatusTexts.back(), "Stopped");
    Load("/page");
    EXPECT_EQ(site.LastHeader("/page", "Accept-Language").substr(0, 5), "en-US");
}

TEST_F(BrowserViewTest, EveryMainFrameNavigationIsReported) {
    site.Add("/links", R"(<html><body><a id="l" href="/next">next</a></body></html>)");
    Load("/links");
    RunPageScript("document.getElementById('l').click()");
    ASSERT_TRUE(WaitForDocuments(2));
    const QString url = QString::fromStdString(site.Url("/links"));
    const QString followed = QString::fromStdString(site.Url("/next"));
    EXPECT_EQ(events.Navigations, (std::vector<QString>{url, followed}));
}

TEST_F(BrowserViewTest, GoBackReturnsToThePreviousPageAndLocationFollows) {
    site.Add("/one", "<html><body>one</body></html>");
    EXPECT_EQ(view->LocationURL(), "");
    EXPECT_THROW(view->GoBack(), BrowserError);  // nothing to go back to
    Load("/one");
    Load("/next");
    EXPECT_EQ(view->LocationURL(), site.Url("/next"));
    view->GoBack();
    ASSERT_TRUE(WaitForDocuments(3));
    EXPECT_EQ(Text(events.Documents[2]), "one");
    EXPECT_EQ(view->LocationURL(), site.Url("/one"));
    EXPECT_EQ(Count("download"), 3);
}

TEST_F(BrowserViewTest, RefreshLoadsThePageAgain) {
    Load("/next");
    view->Refresh();
    ASSERT_TRUE(WaitForDocuments(2));
    EXPECT_EQ(site.Hits("/next"), 2);
    EXPECT_EQ(Count("download"), 2);
}

class RefusedAddresses : public BrowserViewTest,
                         public ::testing::WithParamInterface<const char*> {};

TEST_P(RefusedAddresses, NavigateThrowsAndLoadsNothing) {
    EXPECT_THROW(view->Navigate2(GetParam(), NavHyperlink), BrowserError);
    ExpectOnlyDocumentsBeforeNextLoad(0);
    EXPECT_EQ(Count("navigate"), 1);  // only the next load's
}

INSTANTIATE_TEST_SUITE_P(InvalidOrUnsupported, RefusedAddresses,
                         ::testing::Values("", "no address", "http://", "http://exa mple.org/",
                                           "javascript:alert(1)", "file:///etc/passwd",
                                           "data:text/html,x", "foo:bar"));

TEST_F(BrowserViewTest, StatusTextsFollowTheLoadAndHoveredLinks) {
    site.Add("/links", R"(<html><body style="margin:0"><a href="/next" )"
                       R"(style="display:block;height:400px">next</a></body></html>)");
    view->Widget()->resize(600, 500);
    view->Widget()->show();
    Load("/links");
    ASSERT_FALSE(events.StatusTexts.empty());
    EXPECT_EQ(events.StatusTexts.front().toStdString(), "Loading " + site.Url("/links"));
    EXPECT_EQ(events.StatusTexts.back(), "Done");
    QWidget* surface = view->Widget()->focusProxy();
    ASSERT_NE(surface, nullptr);
    const QString link = QString::fromStdString(site.Url("/next"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {  // sent again until the page has laid out its link
            QMouseEvent move(QEvent::MouseMove, QPointF(50, 50), QPointF(50, 50), Qt::NoButton,
                             Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(surface, &move);
            return events.StatusTexts.back() == link;
        },
        Deadline));
}

TEST_F(BrowserViewTest, ContentThatNeverComesIsReportedAbsentAndTheLateAnswerDropped) {
    site.Add("/block", FixtureSite::Page{"ok", 200, 0, true});
    view->SetContentTimeout(std::chrono::milliseconds(500));
    // As the load ends, the page's thread is held in a request the site keeps
    // waiting, so the adapter's read queues behind it.
    QObject::connect(view.get(), &QtBrowserView::DownloadComplete, view.get(), [this] {
        view->Page()->runJavaScript(
            "var r = new XMLHttpRequest(); r.open('GET', '/block', false); r.send();");
    });
    view->Navigate2(site.Url("/next"), NavHyperlink);
    ASSERT_TRUE(WaitForDocuments(1));
    EXPECT_FALSE(events.Documents[0].BodyMarkup.has_value());
    EXPECT_FALSE(events.Documents[0].BodyText.has_value());
    site.Release();
    RunPageScript("1");  // queued after the adapter's read, so its answer is in
    EXPECT_EQ(events.Documents.size(), 1u);
}

TEST_F(BrowserViewTest, CrashedRendererStillCompletesTheDocumentAndTheViewRecovers) {
    QObject::connect(view.get(), &QtBrowserView::DownloadComplete, view.get(), [this] {
        if (Count("download") == 1) {
            ::kill(static_cast<pid_t>(view->Page()->renderProcessPid()), SIGKILL);
        }
    });
    view->Navigate2(site.Url("/next"), NavHyperlink);
    ASSERT_TRUE(WaitForDocuments(1));
    EXPECT_FALSE(events.Documents[0].BodyMarkup.has_value());
    ExpectOnlyDocumentsBeforeNextLoad(1);
}

TEST_F(BrowserViewTest, ViewsOfOneProfileShareTheHttpCache) {
    site.Add("/cached", FixtureSite::Page{"<html><body>cached</body></html>", 200, 600});
    EventLog hiddenEvents;
    const std::unique_ptr<WebEngineBrowserView> hidden = profile->CreateHiddenView();
    Record(*hidden, hiddenEvents);
    hidden->Navigate2(site.Url("/cached"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !hiddenEvents.Documents.empty(); }, Deadline));
    EXPECT_EQ(Text(Load("/cached")), "cached");
    EXPECT_EQ(site.Hits("/cached"), 1);
}

}  // namespace
}  // namespace kpw::test
