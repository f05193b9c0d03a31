// Sites that misbehave: the view reports one end of each load, refuses what
// a page asks of the machine and keeps the window responsive.
#include <QDir>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <random>

#include "BrowserViewHarness.h"
#include "ClosingServer.h"
#include "browsing/PageAnalysis.h"

namespace kpw::test {
namespace {

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

class BadSites : public BrowserViewTest {
protected:
    // The page's title once a script of the page has put one there.
    QString WaitForTitle(const QString& prefix) {
        QWebEnginePage* page = view->Page();
        EXPECT_TRUE(QTest::qWaitFor([&] { return page->title().startsWith(prefix); }, Deadline))
            << page->title().toStdString();
        return page->title();
    }
};

TEST_F(BadSites, RedirectLoopEndsInOneDocumentComplete) {
    site.Add("/loop", FixtureSite::Page{"", 302, 0, false, "text/html", {{"Location", "/loop"}}});
    site.Add("/after", "<html><body>after</body></html>");
    LoadUrl(site.Url("/loop"));
    EXPECT_EQ(Count("document"), 1);
    EXPECT_TRUE(events.StatusTexts.back().startsWith("Failed"))
        << events.StatusTexts.back().toStdString();
    EXPECT_LE(site.Hits("/loop"), 25);  // the engine gives up
    EXPECT_EQ(Text(Load("/after")), "after");
}

TEST_F(BadSites, AConnectionClosedBeforeAnyAnswerIsToldApartFromAnAnswer) {
    ClosingServer server;
    const DocumentContent closed = LoadUrl(server.Url("/photos/medium/5.jpg"));
    EXPECT_EQ(closed.HttpStatus, 0);
    EXPECT_TRUE(closed.ClosedWithoutAnswer);
    // An answer of the site, even an error, is one.
    site.Add("/gone", FixtureSite::Page{"<html><body>Gone</body></html>", 410});
    EXPECT_FALSE(Load("/gone").ClosedWithoutAnswer);
}

TEST_F(BadSites, AHundredThousandLinksAreReadWholeAndTheAuthorIsFound) {
    std::string body = "<html><body>";
    for (int i = 0; i < 100000; ++i) body += "<a href=\"/user/" + std::to_string(i) + "\">x</a> ";
    body += "<p id=\"author\">by <a href=\"/user/4711\">me</a></p><p>end of page</p></body></html>";
    site.Add("/links", body);
    const DocumentContent content = Load("/links");
    ASSERT_TRUE(content.BodyMarkup.has_value());
    EXPECT_TRUE(Contains(*content.BodyMarkup, "<P>end of page</P>"));
    EXPECT_EQ(FindAuthorIndex(*content.BodyMarkup, false), 4711);
    EXPECT_EQ(FindAuthorIndex(*content.BodyMarkup, true), std::nullopt);
}

// Markup and text leave the page cut to 4 MiB characters. Should reading
// them take longer than the content time-out on a busy machine, the load is
// reported without content, once, and the view goes on with the next page.
TEST_F(BadSites, TwentyMegabytePageEndsInOneDocumentCompleteWithItsContentCut) {
    constexpr std::size_t bound = 4 * 1024 * 1024;
    std::string body = "<html><body><p id=author>by <a href=\"/user/4711\">me</a></p><div>";
    body += std::string(20 * 1024 * 1024, 'w');
    body += "</div><p>end of page</p></body></html>";
    site.Add("/big", body);
    site.Add("/after", "<html><body>after</body></html>");
    const DocumentContent content = Load("/big");
    if (content.BodyMarkup) {
        EXPECT_EQ(content.BodyMarkup->size(), bound);
        EXPECT_EQ(FindAuthorIndex(*content.BodyMarkup, false), 4711);
        EXPECT_FALSE(Contains(*content.BodyMarkup, "end of page"));
    }
    if (content.BodyText) {
        EXPECT_LE(content.BodyText->size(), bound);
    }
    EXPECT_EQ(Count("document"), 1);
    EXPECT_EQ(Text(Load("/after")), "after");
    EXPECT_EQ(Count("document"), 2);
}

TEST_F(BadSites, BinaryDataSentAsHtmlIsShownAsSomeDocument) {
    std::mt19937 random(15);
    std::string bytes(256 * 1024, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    site.Add("/binary", bytes);
    site.Add("/after", "<html><body>after</body></html>");
    const DocumentContent content = Load("/binary");
    EXPECT_TRUE(content.BodyMarkup.has_value());
    EXPECT_EQ(Count("document"), 1);
    EXPECT_EQ(Text(Load("/after")), "after");
}

TEST_F(BadSites, DownloadsAreRefusedAndNothingIsWritten) {
    const QString folder = view->Page()->profile()->downloadPath();
    const QStringList before = QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries);
    site.Add("/page", "<html><body>page</body></html>");
    site.Add("/file.bin",
             FixtureSite::Page{std::string(64 * 1024, 'z'),
                               200,
                               0,
                               false,
                               "application/octet-stream",
                               {{"Content-Disposition", "attachment; filename=file.bin"}}});
    site.Add("/after", "<html><body>after</body></html>");
    Load("/page");
    view->Navigate2(site.Url("/file.bin"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.Hits("/file.bin") == 1; }, Deadline));
    // A later page loads as usual, and the download has been decided by then.
    EXPECT_EQ(Text(Load("/after")), "after");
    EXPECT_EQ(QDir(folder).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), before);
    EXPECT_FALSE(QDir(folder).exists("file.bin"));
}

TEST_F(BadSites, NotificationsAreDeniedAndNoPositionOrCameraReachesThePage) {
    site.Add("/ask", R"(<html><body><script>
        function done(what) { document.title = document.title + what + ";"; }
        document.title = "asked:";
        Notification.requestPermission().then(p => done("notifications=" + p));
        navigator.geolocation.getCurrentPosition(() => done("geolocation=granted"),
                                                 e => done("geolocation=" + e.code),
                                                 {timeout: 3000});
        navigator.mediaDevices.getUserMedia({video: true})
            .then(() => done("camera=granted"), e => done("camera=" + e.name));
        </script></body></html>)");
    Load("/ask");
    QWebEnginePage* page = view->Page();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            return page->title().contains("notifications=") && page->title().contains("camera=");
        },
        Deadline))
        << page->title().toStdString();
    const QString title = page->title();
    EXPECT_TRUE(title.contains("notifications=denied")) << title.toStdString();
    // Without a camera the engine answers before asking anyone (NotFoundError).
    EXPECT_TRUE(title.contains("camera=NotAllowedError") || title.contains("camera=NotFoundError"))
        << title.toStdString();
    // This engine build has no position source: the question stays open (the
    // page's time-out only runs once access is granted), so the page learns
    // nothing; a denial would come as code 1.
    EXPECT_FALSE(title.contains("geolocation=granted")) << title.toStdString();
}

TEST_F(BadSites, EndlessScriptLeavesTheWindowResponsiveAndStopEndsTheLoad) {
    site.Add("/start", "<html><body>start</body></html>");
    site.Add("/busy", "<html><body>busy<script>for (;;) {}</script></body></html>");
    Load("/start");
    view->Navigate2(site.Url("/busy"), NavHyperlink);
    ASSERT_TRUE(QTest::qWaitFor([&] { return site.Hits("/busy") == 1; }, Deadline));
    // The program's own event loop goes on while the page's script spins.
    bool timerRan = false;
    QTimer::singleShot(50, [&] { timerRan = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return timerRan; }, Deadline));
    view->Stop();
    EXPECT_TRUE(WaitForDocuments(2));
}

}  // namespace
}  // namespace kpw::test
