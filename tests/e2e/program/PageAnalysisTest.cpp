// The analysis of pages as the real engine renders the demo site: missing
// photos skipped, the author found, a followed photo link taken over.
#include <gtest/gtest.h>

#include <QSpinBox>
#include <QTest>
#include <QToolButton>
#include <QWebEnginePage>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {
namespace {

std::string Medium(int photo) {
    return "/photos/medium/" + std::to_string(photo) + ".jpg";
}
std::string PhotoPage(int photo) {
    return "/photo/" + std::to_string(photo);
}
std::string UserPage(int user) {
    return "/user/" + std::to_string(user);
}

struct SkipRun {
    const char* Name;
    int Start;
    const char* Typed;         // or, when empty, one wheel notch down
    std::vector<int> Missing;  // in the order tried
    int Shown;
    int Neighbour;
};

class MissingPhotos : public ::testing::TestWithParam<SkipRun> {};

TEST_P(MissingPhotos, AreSkippedToTheFirstExistingOneWhoseNeighbourIsPreloaded) {
    const SkipRun& run = GetParam();
    DemoSite::Options options;
    options.missing = "11-13";
    DemoSite site(options);
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = run.Start});
    ASSERT_TRUE(program.WaitForSettledLoad(0));

    const std::size_t before = program.VisibleDocuments().size();
    if (*run.Typed != '\0') {
        ASSERT_TRUE(program.TypeIntoIndexField(QString::fromLatin1(run.Typed)));
    } else {
        program.TurnWheelOverVisibleView(120);
    }
    ASSERT_TRUE(program.WaitForSettledLoad(before));

    // Each missing photo came to view as the engine renders the site's 404
    // page, and that is what the analysis read.
    const auto& documents = program.VisibleDocuments();
    ASSERT_EQ(documents.size(), before + run.Missing.size() + 1);
    for (std::size_t i = 0; i < run.Missing.size(); ++i) {
        const ProgramDriver::Document& missing = documents[before + i];
        EXPECT_EQ(missing.Location, site.BaseURL() + Medium(run.Missing[i]));
        ASSERT_TRUE(missing.Content.BodyText.has_value());
        EXPECT_NE(missing.Content.BodyText->find("Error 404: photo not found"), std::string::npos)
            << *missing.Content.BodyText;
        EXPECT_TRUE(SiteHasRequest(site, MainHostRequest(Medium(run.Missing[i]), 404)));
    }
    const std::string shown = site.BaseURL() + Medium(run.Shown);
    EXPECT_EQ(documents.back().Location, shown);
    EXPECT_EQ(program.Visible().LocationURL(), shown);
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), run.Shown);
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, run.Shown);
    EXPECT_EQ(program.Logic().State().SkippedURLCount, static_cast<int>(run.Missing.size()));
    EXPECT_TRUE(program.IsIdle());

    const std::string neighbour = Medium(run.Neighbour);
    EXPECT_TRUE(WaitForSiteRequest(site, MainHostRequest(neighbour, 200)));
    EXPECT_TRUE(program.WaitForHiddenDocument(site.BaseURL() + neighbour));
    // Every page the skip asked for was logged as a navigation of the view.
    const QString memo = Probe(program.Form()).MemoLines();
    for (int photo : run.Missing)
        EXPECT_TRUE(memo.contains(QString::fromStdString("URL=" + site.BaseURL() + Medium(photo))));
}

INSTANTIATE_TEST_SUITE_P(UpAndDown, MissingPhotos,
                         ::testing::Values(SkipRun{"Up", 10, "11", {11, 12, 13}, 14, 15},
                                           SkipRun{"DownByWheel", 14, "", {13, 12, 11}, 10, 9}),
                         [](const ::testing::TestParamInfo<SkipRun>& testCase) {
                             return std::string(testCase.param.Name);
                         });

TEST(InformationPage, YieldsItsAuthorWhosePageTheUserButtonThenShows) {
    constexpr int photo = 1234;
    constexpr int author = DemoSiteAuthorOf(photo);
    DemoSite site;
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .URLIndex = 2,
                   .PhotoIndex = photo,
                   .UserIndex = 1});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    EXPECT_EQ(program.VisibleDocuments().back().Location, site.BaseURL() + PhotoPage(photo));
    // Another user's link comes first on the page; the author block decides.
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().UserIndex, author);
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, photo);
    EXPECT_TRUE(WaitForSiteRequest(site, MainHostRequest(PhotoPage(photo + 1), 200)));

    const std::size_t before = program.VisibleDocuments().size();
    QTest::mouseClick(program.Button(Control::URL3), Qt::LeftButton);
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    EXPECT_EQ(program.Visible().LocationURL(), site.BaseURL() + UserPage(author));
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), author);
    EXPECT_EQ(program.IndexLabel(), QStringLiteral("User index"));
    EXPECT_TRUE(WaitForSiteRequest(site, MainHostRequest(UserPage(author + 1), 200)));
}

TEST(StatisticsPage, YieldsItsAuthorInThePhotoOnlyMode) {
    constexpr int photo = 4321;
    DemoSite site;
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = photo,
                   .UserIndex = 1});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().UserIndex, 1);  // a bare picture names nobody

    const std::size_t before = program.VisibleDocuments().size();
    QTest::mouseClick(program.Button(Control::ShowStatistics), Qt::LeftButton);
    ASSERT_TRUE(program.WaitForSettledLoad(before));
    EXPECT_EQ(program.Visible().LocationURL(), site.BaseURL() + PhotoPage(photo) + "/stats");
    // A viewer's link comes first; only the author's carries the class.
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().UserIndex, DemoSiteAuthorOf(photo));
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().URLIndex, 1);
    EXPECT_TRUE(WaitForSiteRequest(site, MainHostRequest(PhotoPage(photo + 1) + "/stats", 200)));
}

TEST(UserPage, FollowedPhotoLinkSwitchesToThePhotoModeWithThatPhotosIndex) {
    constexpr int user = 234;
    const int photo = DemoSitePhotoOfUser(user, 2);
    DemoSite site;
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .URLIndex = 3,
                   .PhotoIndex = 7,
                   .UserIndex = user});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    ASSERT_EQ(program.Visible().LocationURL(), site.BaseURL() + UserPage(user));
    EXPECT_EQ(program.IndexLabel(), QStringLiteral("User index"));

    // The user clicks the photo's link inside the page.
    const std::size_t before = program.HandledDocuments();
    const std::string link = PhotoPage(photo);
    program.Visible().Page()->runJavaScript(
        QString::fromStdString("document.querySelector('a[href=\"" + link + "\"]').click()"));
    const std::string followed = site.BaseURL() + link;
    ASSERT_TRUE(ProgramDriver::WaitFor([&] {
        return program.HandledDocuments() > before &&
               program.VisibleDocuments().back().Location == followed;
    }));

    EXPECT_EQ(Probe(program.Form()).CurrentSettings().URLIndex, 2);
    EXPECT_TRUE(program.Button(Control::URL2)->isChecked());
    EXPECT_FALSE(program.Button(Control::URL3)->isChecked());
    EXPECT_EQ(program.IndexLabel(), QStringLiteral("Photo index"));
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, photo);
    EXPECT_EQ(program.Logic().State().CurrentIndex, photo);
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), photo);
    EXPECT_TRUE(program.IsIdle());
    // The view left the program's page, so there is a way back.
    EXPECT_TRUE(program.Button(Control::GoBack)->isEnabled());
    EXPECT_TRUE(
        Probe(program.Form()).MemoLines().contains(QString::fromStdString("URL=" + followed)));
    EXPECT_TRUE(WaitForSiteRequest(site, MainHostRequest(PhotoPage(photo + 1), 200)));
    EXPECT_TRUE(program.WaitForHiddenDocument(site.BaseURL() + PhotoPage(photo + 1)));
}

}  // namespace
}  // namespace kpw
