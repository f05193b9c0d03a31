#include "BrowserViewHarness.h"

#include <QTest>
#include <QWebEnginePage>
#include <algorithm>

namespace kpw::test {

void Record(WebEngineBrowserView& view, EventLog& log) {
    QObject::connect(&view, &QtBrowserView::BeforeNavigate2, [&log](const QString& url) {
        log.Order.push_back("navigate");
        log.Navigations.push_back(url);
    });
    QObject::connect(&view, &QtBrowserView::DownloadComplete,
                     [&log] { log.Order.push_back("download"); });
    QObject::connect(&view, &QtBrowserView::DocumentComplete,
                     [&log](const DocumentContent& content) {
                         log.Order.push_back("document");
                         log.Documents.push_back(content);
                     });
    QObject::connect(&view, &QtBrowserView::StatusTextChange,
                     [&log](const QString& text) { log.StatusTexts.push_back(text); });
}

std::string Markup(const DocumentContent& content) {
    return content.BodyMarkup.value_or("<absent>");
}

std::string Text(const DocumentContent& content) {
    return content.BodyText.value_or("<absent>");
}

BrowserViewTest::BrowserViewTest()
    : profile(std::make_unique<BrowserProfile>()), view(profile->CreateView()) {
    Record(*view, events);
    site.Add("/next", "<html><body>next page</body></html>");
}

DocumentContent BrowserViewTest::LoadUrl(const std::string& url) {
    const std::size_t before = events.Documents.size();
    view->Navigate2(url, NavHyperlink);
    return WaitForDocuments(before + 1) ? events.Documents.back() : DocumentContent{};
}

bool BrowserViewTest::WaitForDocuments(std::size_t count) {
    if (QTest::qWaitFor([&] { return events.Documents.size() >= count; }, Deadline)) {
        return true;
    }
    ADD_FAILURE() << "no document complete " << count << " within the deadline";
    return false;
}

void BrowserViewTest::ExpectOnlyDocumentsBeforeNextLoad(std::size_t count) {
    EXPECT_EQ(events.Documents.size(), count);
    EXPECT_EQ(Text(Load("/next")), "next page");
    EXPECT_EQ(events.Documents.size(), count + 1);
}

void BrowserViewTest::RunPageScript(const QString& script) {
    const auto done = std::make_shared<bool>(false);
    view->Page()->runJavaScript(script, [done](const QVariant&) { *done = true; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return *done; }, Deadline));
}

int BrowserViewTest::Count(const std::string& event) const {
    return static_cast<int>(std::count(events.Order.begin(), events.Order.end(), event));
}

}  // namespace kpw::test
