// A run in German against the demo site: every text the status bar shows on
// the way (loading, done, a missing photo, a busy site, a stopped load) is
// German; none is a text of the English tables.
#include <gtest/gtest.h>

#include <QStatusBar>
#include <QTest>
#include <QToolButton>
#include <set>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "texts/Texts.h"
#include "ui/UnitMain.h"

namespace kpw {
namespace {

std::string Medium(int photo) {
    return "/photos/medium/" + std::to_string(photo) + ".jpg";
}

// The fixed part of an English text before its first placeholder.
std::string Stem(const texts::Text& text) {
    const std::string whole(text.En);
    return whole.substr(0, whole.find('%'));
}

TEST(GermanRun, TheStatusBarShowsNoEnglishText) {
    DemoSite::Options options;
    options.missing = "22";
    options.busy = "30";
    options.latencyMs = 600000;
    options.latencyPath = Medium(77);
    DemoSite site(options);
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 20,
                   .Language = 1});
    std::vector<QString> shown;
    auto* bar = program.Form().findChild<QStatusBar*>();
    ASSERT_NE(bar, nullptr);
    QObject::connect(bar, &QStatusBar::messageChanged,
                     [&](const QString& text) { shown.push_back(text); });
    ASSERT_TRUE(program.WaitForSettledLoad(0));

    // A present photo, a missing one skipped, a busy one waited for.
    for (const char* index : {"21", "22", "30"}) {
        const std::size_t before = program.VisibleDocuments().size();
        ASSERT_TRUE(program.TypeIntoIndexField(QString::fromLatin1(index)));
        ASSERT_TRUE(ProgramDriver::WaitFor([&] {
            return program.WaitForSettledLoad(before, 100) &&
                   !program.Logic().Scheduler().Pacing().RetryPending;
        }));
    }
    // A load that never ends, stopped.
    ASSERT_TRUE(program.TypeIntoIndexField(QStringLiteral("77")));
    ASSERT_TRUE(ProgramDriver::WaitFor([&] { return program.IsLoading(); }));
    QTest::mouseClick(program.Button(Control::Stop), Qt::LeftButton);
    ASSERT_TRUE(
        ProgramDriver::WaitFor([&] { return Probe(program.Form()).StatusText() == "Angehalten"; }));

    const texts::BrowserViewTexts& english = texts::BrowserView;
    const texts::BusySiteTexts& busy = texts::BusySite;
    const std::vector<std::string> stems = {Stem(english.Loading),
                                            Stem(english.Done),
                                            Stem(english.Failed),
                                            Stem(english.Stopped),
                                            Stem(english.RendererEnded),
                                            Stem(english.RendererOutOfMemory),
                                            Stem(english.RendererCrashed),
                                            Stem(busy.Waiting),
                                            Stem(busy.GaveUp)};
    std::set<std::string> german;
    for (const QString& text : shown) {
        const std::string line = text.toStdString();
        // Hovered links and blank texts are no words of the program.
        if (line.empty() || line.rfind("http", 0) == 0) continue;
        german.insert(line.substr(0, line.find(' ')));
        for (const std::string& stem : stems)
            EXPECT_NE(line.rfind(stem, 0), 0u) << "English: " << line;
    }
    // The run saw the German texts of each kind.
    for (const char* word : {"Lade", "Fertig", "Die", "Angehalten"})
        EXPECT_TRUE(german.count(word)) << word;
}

}  // namespace
}  // namespace kpw
