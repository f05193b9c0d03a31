// Typing an index into the field of the real window loads that photo in the
// visible view and its neighbour in the direction of travel in the hidden one.
#include <gtest/gtest.h>

#include <QSpinBox>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"
#include "webengine/WebEngineBrowserView.h"

namespace kpw {
namespace {

std::string Medium(int photo) {
    return "/photos/medium/" + std::to_string(photo) + ".jpg";
}

struct TypedStep {
    const char* Name;
    int Start;
    int Neighbour;  // in the direction of travel
    int Opposite;   // the other neighbour, never fetched
};

class TypedIndex : public ::testing::TestWithParam<TypedStep> {};

TEST_P(TypedIndex, IsShownAndItsNeighbourInTheDirectionOfTravelIsPreloaded) {
    const TypedStep& step = GetParam();
    DemoSite site;
    ProgramDriver program;
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = step.Start});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    EXPECT_EQ(program.VisibleDocuments().back().Location, site.BaseURL() + Medium(step.Start));

    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.TypeIntoIndexField(QStringLiteral("1234")));
    ASSERT_TRUE(program.WaitForSettledLoad(before));

    const std::string shown = site.BaseURL() + Medium(1234);
    EXPECT_EQ(program.Visible().LocationURL(), shown);
    EXPECT_EQ(program.VisibleDocuments().back().Location, shown);
    const DocumentContent& content = program.VisibleDocuments().back().Content;
    ASSERT_TRUE(content.BodyMarkup.has_value());
    EXPECT_NE(content.BodyMarkup->find("<IMG"), std::string::npos) << *content.BodyMarkup;
    EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), 1234);
    EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, 1234);

    const std::string neighbour = Medium(step.Neighbour);
    EXPECT_TRUE(WaitForSiteRequest(site, MainHostRequest(neighbour, 200)));
    EXPECT_TRUE(program.WaitForHiddenDocument(site.BaseURL() + neighbour));
    EXPECT_FALSE(SiteHasRequest(site, Medium(step.Opposite)));
    // The digits typed within the delay load only the whole number.
    for (int partial : {1, 12, 123}) EXPECT_FALSE(SiteHasRequest(site, Medium(partial) + " "));
    // One log line for the navigation, with the fixed arguments.
    const QString line = QString::fromStdString(
        "URL=" + shown + "  Flags=00000040  TargetFrameName=  PostData=00000000  Headers=");
    EXPECT_EQ(Probe(program.Form()).MemoLines().count(line), 1)
        << Probe(program.Form()).MemoLines().toStdString();
}

INSTANTIATE_TEST_SUITE_P(UpAndDown, TypedIndex,
                         ::testing::Values(TypedStep{"Up", 20, 1235, 1233},
                                           TypedStep{"Down", 2000, 1233, 1235}),
                         [](const ::testing::TestParamInfo<TypedStep>& testCase) {
                             return std::string(testCase.param.Name);
                         });

}  // namespace
}  // namespace kpw
