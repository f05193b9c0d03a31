#include <string>

#include "NavigatorFixture.h"

namespace kpw {
namespace {

DocumentContent HtmlPage(const std::string& text) {
    DocumentContent content = Page(text);
    content.ContentType = "text/html";
    return content;
}

// Photo 1001 on view, a step up to 1002, whose page arrives without an
// error word; the site may write one later.
class LateErrorText : public NavigatorTest {
protected:
    void StepOntoAQuietPage(DocumentContent content) {
        settings.PhotoIndex = 1001;
        StartIdle();
        window.PressUpArrow();
        navigator.VisibleWebBrowserOnDocumentComplete(content);
    }
};

TEST_F(LateErrorText, AnErrorWrittenAfterTheLoadSkipsThePhotoWhileTheWindowStaysUsable) {
    StepOntoAQuietPage(HtmlPage(""));
    EXPECT_FALSE(Loading());
    EXPECT_EQ(clock.LateTextTimerDueInMs(), 500);
    clock.Advance(499);
    EXPECT_EQ(visible.TextReads(), 0);
    clock.Advance(1);
    ASSERT_EQ(visible.TextReads(), 1);
    navigator.LateCheck().TextRead("Error 404: photo not found");
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1003));
    EXPECT_EQ(state().SkippedURLCount, 1);
    Complete("A photo");
    EXPECT_EQ(settings.PhotoIndex, 1003);
}

TEST_F(LateErrorText, APageStillWithoutAnErrorStays) {
    StepOntoAQuietPage(HtmlPage(""));
    clock.Advance(500);
    navigator.LateCheck().TextRead("A photo after all");
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1002));
    EXPECT_FALSE(navigator.LateCheck().Watching());
}

TEST_F(LateErrorText, PicturesUnknownTypesAndAZeroWaitAreNeverWaitedFor) {
    DocumentContent picture = Page("");
    picture.ContentType = "image/jpeg";
    StepOntoAQuietPage(picture);
    EXPECT_FALSE(clock.LateTextTimerDueInMs());
    window.PressUpArrow();
    Complete("");
    EXPECT_FALSE(clock.LateTextTimerDueInMs());
    settings.MissingTextWaitMs = 0;
    window.PressUpArrow();
    navigator.VisibleWebBrowserOnDocumentComplete(HtmlPage(""));
    EXPECT_FALSE(clock.LateTextTimerDueInMs());
    EXPECT_EQ(visible.TextReads(), 0);
}

TEST_F(LateErrorText, AStepOfTheUserOwnEndsTheWaitAndALateAnswerIsIgnored) {
    StepOntoAQuietPage(HtmlPage(""));
    clock.Advance(500);
    // The answer comes after the user has gone on to 1003.
    window.PressUpArrow();
    navigator.LateCheck().TextRead("Error 404: photo not found");
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1003));
    EXPECT_EQ(state().SkippedURLCount, 0);

    Complete("A photo");
    navigator.VisibleWebBrowserOnDocumentComplete(HtmlPage(""));
    window.PressUpArrow();
    clock.Advance(1000);
    EXPECT_EQ(visible.TextReads(), 1);
}

TEST_F(LateErrorText, AViewThatMovedOnOrCannotBeReadEndsTheCheck) {
    StepOntoAQuietPage(HtmlPage(""));
    clock.Advance(500);
    visible.FollowLink(InfoPage(1002));
    navigator.LateCheck().TextRead("Error 404: photo not found");
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1002));

    visible.ThrowOnReadBodyText = true;
    navigator.VisibleWebBrowserOnDocumentComplete(HtmlPage(""));
    clock.Advance(500);
    EXPECT_FALSE(navigator.LateCheck().Watching());
}

}  // namespace
}  // namespace kpw
