#pragma once

#include <gtest/gtest.h>

#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "FixtureSite.h"
#include "webengine/BrowserProfile.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw::test {

// Generous: the engine shares two cores with parallel builds.
inline constexpr int Deadline = 30000;

// Everything a view reports, in arrival order.
struct EventLog {
    std::vector<std::string> Order;  // "navigate", "download", "document"
    std::vector<QString> Navigations;
    std::vector<DocumentContent> Documents;
    std::vector<QString> StatusTexts;
};
void Record(WebEngineBrowserView& view, EventLog& log);

std::string Markup(const DocumentContent& content);
std::string Text(const DocumentContent& content);

class BrowserViewTest : public ::testing::Test {
protected:
    BrowserViewTest();

    // Navigates and waits for the document complete of that load.
    DocumentContent Load(const std::string& path) { return LoadUrl(site.Url(path)); }
    DocumentContent LoadUrl(const std::string& url);
    [[nodiscard]] bool WaitForDocuments(std::size_t count);
    // Another load comes and goes, so an extra report of the earlier ones
    // would have shown by then: exactly `count` came before it.
    void ExpectOnlyDocumentsBeforeNextLoad(std::size_t count);
    // Runs a script in the page's own world and waits until it has run.
    void RunPageScript(const QString& script);
    int Count(const std::string& event) const;

    FixtureSite site;  // first in, last out: it serves until the views are gone
    EventLog events;
    std::unique_ptr<BrowserProfile> profile;
    std::unique_ptr<WebEngineBrowserView> view;
};

}  // namespace kpw::test
