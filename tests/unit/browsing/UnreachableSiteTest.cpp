#include <string>

#include "NavigatorFixture.h"
#include "browsing/UnreachableSite.h"
#include "settings/SettingsTable.h"

namespace kpw {
namespace {

// The engine's own page for a site it could not reach.
DocumentContent Unreachable() {
    DocumentContent content = Page("This site can't be reached");
    content.SiteUnreachable = true;
    return content;
}

class UnreachableSite : public NavigatorTest {
protected:
    const std::string hint_ =
        "The site cannot be reached. Its addresses are set in the settings (Ctrl+,).";
};

TEST_F(UnreachableSite, TheProgramsOwnAddressesPointToTheSettingsUntilTheNextStep) {
    Start();
    navigator.VisibleWebBrowserOnStatusTextChange(
        "The site cannot be reached (ERR_NAME_NOT_RESOLVED)");
    navigator.VisibleWebBrowserOnDocumentComplete(Unreachable());
    EXPECT_EQ(window.StatusText(), hint_);
    // The view's own texts (a hovered link, its end text again) leave it.
    navigator.VisibleWebBrowserOnStatusTextChange(
        "The site cannot be reached (ERR_NAME_NOT_RESOLVED)");
    EXPECT_EQ(window.StatusText(), hint_);
    // Nothing was skipped over it, and the window is usable.
    EXPECT_EQ(visible.NavigatedURLs().size(), 1u);
    EXPECT_TRUE(window.IsEnabled(Control::PageIndex));

    window.PressUpArrow();
    navigator.VisibleWebBrowserOnStatusTextChange("Loading " + Photo(2));
    EXPECT_EQ(window.StatusText(), "Loading " + Photo(2));
}

TEST_F(UnreachableSite, SaysItInGermanWithTheGermanKey) {
    settings.Language = 1;
    Start();
    navigator.VisibleWebBrowserOnDocumentComplete(Unreachable());
    EXPECT_EQ(window.StatusText(),
              "Die Seite ist nicht erreichbar. Ihre Adressen werden in den Einstellungen "
              "festgelegt (Strg+,).");
}

TEST_F(UnreachableSite, OwnAddressesOfTheUserOrAnAnsweringSiteGetNoHint) {
    // Every template the user's own: the site is theirs to check.
    for (int tag : TemplateTags)
        TemplateOf(settings, tag) = "http://photos.test/" + std::to_string(tag) + "/*";
    EXPECT_FALSE(UsesDefaultAddresses(settings));
    EXPECT_EQ(SiteAddressesHint(settings, Unreachable()), "");
    // One left as it came is still the program's own.
    settings.TemplateURL30 = std::string(DefaultTemplate(30));
    EXPECT_TRUE(UsesDefaultAddresses(settings));
    // A site that answered, even with an error, was reached.
    DocumentContent missing = Page("HTTP 404 Not Found");
    missing.HttpStatus = 404;
    EXPECT_EQ(SiteAddressesHint(settings, missing), "");
}

TEST(SiteUnreachableCodes, AreTheEnginesCodesOfNoWayToTheSiteOnly) {
    // Refused, name not resolved, no network, address unreachable.
    for (int code : {-102, -105, -106, -109, -137}) EXPECT_TRUE(IsSiteUnreachable(code)) << code;
    // Closed without an answer or timed out is a failure on the way, asked again.
    for (int code : {-100, -101, -118, -324, 0, 404}) EXPECT_FALSE(IsSiteUnreachable(code)) << code;
}

}  // namespace
}  // namespace kpw
