// Missing photos as real sites signal them: a status without error words, a
// redirect to one placeholder picture. Each is skipped; a present photo never.
#include <gtest/gtest.h>

#include <QSpinBox>

#include "ProgramDriver.h"
#include "browsing/Navigator.h"
#include "ui/UnitMain.h"

namespace kpw {
namespace {

std::string Medium(int photo) {
    return "/photos/medium/" + std::to_string(photo) + ".jpg";
}

class MissingStylesProgram : public ::testing::Test {
protected:
    // On photo 1001 with the pages ahead at rest, then one step up.
    void StepUpFrom1001(DemoSite& site, const std::string& moreURLLines = "") {
        program.Start({.BaseURL = site.BaseURL(),
                       .StaticBaseURL = site.StaticBaseURL(),
                       .PhotoIndex = 1001,
                       .PreloadPages = 2,
                       .MoreURLLines = moreURLLines});
        ASSERT_TRUE(program.WaitForSettledLoad(0));
        ASSERT_TRUE(program.WaitFor(
            [&] { return program.Logic().Preloads().Queue().InFlightCount() == 0; }));
        const std::size_t before = program.VisibleDocuments().size();
        ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Up));
        ASSERT_TRUE(program.WaitForSettledLoad(before));
    }
    void ExpectShown(const DemoSite& site, int photo) {
        EXPECT_EQ(program.VisibleDocuments().back().Location, site.BaseURL() + Medium(photo));
        EXPECT_EQ(Probe(program.Form()).PageIndexField()->value(), photo);
        EXPECT_EQ(Probe(program.Form()).CurrentSettings().PhotoIndex, photo);
    }

    ProgramDriver program;
};

class MissingStyles : public MissingStylesProgram,
                      public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingStyles, AStepOverMissingPhotosShowsTheNextPresentOne) {
    DemoSite site({.missing = "1002-1004", .missingStyle = GetParam()});
    StepUpFrom1001(site);
    ExpectShown(site, 1005);
}

INSTANTIATE_TEST_SUITE_P(RealSites, MissingStyles,
                         ::testing::Values("words", "nginx", "gone", "placeholder"));

// The error text comes 250 ms after the load; the page is read again after
// the default 500 ms, and the photo behind the gap is a picture, not waited for.
TEST_F(MissingStyles, AnErrorWrittenAfterTheLoadIsFoundAndSkipped) {
    DemoSite site({.missing = "1002-1004", .missingStyle = "late"});
    StepUpFrom1001(site);
    ASSERT_TRUE(program.WaitFor([&] {
        return program.IsIdle() && !program.Logic().LateCheck().Watching() &&
               program.Logic().State().LastNavigatedURL == site.BaseURL() + Medium(1005) &&
               program.VisibleDocuments().back().Location == site.BaseURL() + Medium(1005);
    }));
    ExpectShown(site, 1005);
    EXPECT_EQ(program.VisibleDocuments().back().Content.ContentType, "image/jpeg");
}

// Typed into a block of missing photos: the placeholder is not known yet
// when the photo on view reaches it, the pages ahead prove it. The message
// names every photo not shown, however the site said it was missing.
struct TypedBlock {
    const char* Style;
    const char* Missing;
    int Typed;
    int Shown;
    const char* Message;
};

class TypedIntoABlock : public MissingStylesProgram,
                        public ::testing::WithParamInterface<TypedBlock> {};

TEST_P(TypedIntoABlock, IsSkippedAndTheMessageNamesEveryPhotoNotShown) {
    const TypedBlock& block = GetParam();
    DemoSite site({.missing = block.Missing, .missingStyle = block.Style});
    program.Start({.BaseURL = site.BaseURL(),
                   .StaticBaseURL = site.StaticBaseURL(),
                   .PhotoIndex = 1001,
                   .PreloadPages = 2});
    ASSERT_TRUE(program.WaitForSettledLoad(0));
    const std::size_t before = program.VisibleDocuments().size();
    ASSERT_TRUE(program.TypeIntoIndexField(QString::number(block.Typed)));
    ASSERT_TRUE(program.PressKeyInIndexField(Qt::Key_Return));
    ASSERT_TRUE(program.WaitFor([&] {
        return program.VisibleDocuments().size() > before && program.IsIdle() &&
               !program.Logic().Verdicts().Pending() &&
               program.VisibleDocuments().back().Location == site.BaseURL() + Medium(block.Shown);
    })) << program.VisibleDocuments().back().Location;
    ExpectShown(site, block.Shown);
    EXPECT_EQ(Probe(program.Form()).StatusText().toStdString(), block.Message);
}

INSTANTIATE_TEST_SUITE_P(
    RealSites, TypedIntoABlock,
    ::testing::Values(
        TypedBlock{"placeholder", "1801-1803", 1801, 1804, "Skipped 3 missing photos (1801–1803)"},
        // 1101 a placeholder, 1102 a 403 text, 1103 a 404 and so on.
        TypedBlock{"mixed", "1101-1106", 1101, 1107, "Skipped 6 missing photos (1101–1106)"}),
    [](const ::testing::TestParamInfo<TypedBlock>& block) { return block.param.Style; });

TEST_F(MissingStyles, WithTheNewRulesOffA404WithoutErrorWordsIsShown) {
    DemoSite site({.missing = "1002-1004", .missingStyle = "nginx"});
    StepUpFrom1001(site, "MissingByStatus=0\r\nMissingByPlaceholder=0\r\nMissingTextWaitMs=0\r\n");
    ExpectShown(site, 1002);
}

}  // namespace
}  // namespace kpw
