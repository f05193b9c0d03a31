#include <gtest/gtest.h>

#include <string>

#include "FakeClock.h"
#include "NavigatorFixture.h"
#include "browsing/BusySite.h"
#include "browsing/PhotoVerdicts.h"

namespace kpw {
namespace {

DocumentContent Answer(int status, std::string text) {
    DocumentContent content = Page(std::move(text));
    content.HttpStatus = status;
    return content;
}

TEST(PhotoVerdictRules, StatusPlaceholderAndWordsEachDecideWhereAllowed) {
    const MissingRules all{true, true};
    const MissingRules none{false, false};
    EXPECT_EQ(JudgePhotoPage(Answer(404, "404 Not Found nginx"), false, all),
              PhotoVerdict::Missing);
    EXPECT_EQ(
        JudgePhotoPage(Answer(410, "The requested resource is no longer available"), false, all),
        PhotoVerdict::Missing);
    EXPECT_EQ(JudgePhotoPage(Answer(404, "404 Not Found nginx"), false, none),
              PhotoVerdict::Present);
    EXPECT_EQ(JudgePhotoPage(Answer(503, "Error"), true, all), PhotoVerdict::Busy);
    EXPECT_EQ(JudgePhotoPage(Page(""), true, all), PhotoVerdict::Missing);
    EXPECT_EQ(JudgePhotoPage(Page(""), true, none), PhotoVerdict::Present);
    // A 500 keeps the words' rule.
    EXPECT_EQ(JudgePhotoPage(Answer(500, "HTTP 500"), false, none), PhotoVerdict::Missing);
    DocumentContent unreadable;
    EXPECT_EQ(JudgePhotoPage(unreadable, false, all), PhotoVerdict::Unreadable);
    unreadable.HttpStatus = 410;
    EXPECT_EQ(JudgePhotoPage(unreadable, false, all), PhotoVerdict::Missing);
}

// What proxies and CDNs answer when the way to the site fails: their pages
// hold the error words, and say nothing about the photo.
TEST(PhotoVerdictRules, GatewayFailuresAndAnswerlessConnectionsAreBusyWhateverTheirWords) {
    const MissingRules all{true, true};
    for (int status : {502, 504, 520, 521, 522, 523, 524}) {
        const DocumentContent page = Answer(status, std::to_string(status) + " Proxy Error");
        EXPECT_EQ(JudgePhotoPage(page, false, all), PhotoVerdict::Busy) << status;
        EXPECT_EQ(JudgePhotoPage(page, true, all), PhotoVerdict::Busy) << status;
        EXPECT_EQ(BusyKindOf(page), BusyKind::Gateway) << status;
    }
    for (int status : {500, 501, 505, 519, 525}) {
        EXPECT_EQ(JudgePhotoPage(Answer(status, "Error"), false, all), PhotoVerdict::Missing)
            << status;
    }
    DocumentContent closed = Page("This page isn't working. ERR_EMPTY_RESPONSE Error");
    closed.ClosedWithoutAnswer = true;
    EXPECT_EQ(JudgePhotoPage(closed, false, all), PhotoVerdict::Busy);
    EXPECT_EQ(BusyKindOf(closed), BusyKind::NoAnswer);
    // A status that came with the page is the answer, not the closing.
    closed.HttpStatus = 404;
    EXPECT_EQ(BusyKindOf(closed), BusyKind::None);
}

TEST(PlaceholderMemoryAlone, ASecondPhotoAtTheSameAddressMakesItAPlaceholder) {
    PlaceholderMemory memory;
    memory.NoteRedirect("t", 5, "http://h/removed.png");
    EXPECT_FALSE(memory.IsPlaceholder("t", 5, "http://h/removed.png"));
    EXPECT_TRUE(memory.IsPlaceholder("t", 6, "http://h/removed.png"));
    memory.NoteRedirect("t", 6, "http://h/removed.png");
    EXPECT_TRUE(memory.IsPlaceholder("t", 5, "http://h/removed.png"));
    // Per template, and forgotten on request.
    EXPECT_FALSE(memory.IsPlaceholder("u", 6, "http://h/removed.png"));
    memory.ForgetRedirects();
    EXPECT_FALSE(memory.IsPlaceholder("t", 6, "http://h/removed.png"));
}

class Verdicts : public ::testing::Test {
protected:
    PhotoVerdict OnView(int32_t index, const std::string& finalURL, const DocumentContent& content,
                        bool mayWait = false) {
        return verdicts.JudgeOnView({photos, index, finalURL, content}, true, mayWait);
    }
    PhotoVerdict Ahead(int32_t index, const std::string& finalURL, const DocumentContent& content) {
        return verdicts.Judge({photos, index, finalURL, content}, true);
    }
    bool Known(int32_t index) const { return verdicts.IsKnownMissing(photos, index); }

    Settings settings;
    FakeClock clock;
    PhotoVerdicts verdicts{settings, clock};
    const std::string photos = settings.TemplateURL13;
    const std::string removed = Host() + "/static/removed.png";
};

TEST_F(Verdicts, ThePageOnViewTeachesWhatItsVerdictSays) {
    EXPECT_EQ(OnView(1000, Photo(1000), Page("HTTP 404")), PhotoVerdict::Missing);
    EXPECT_TRUE(Known(1000));
    EXPECT_EQ(OnView(1000, Photo(1000), Page("A photo")), PhotoVerdict::Present);
    EXPECT_FALSE(Known(1000));
    // An address that cannot be read teaches nothing; the words still decide.
    EXPECT_EQ(OnView(1000, "", Page("HTTP 404")), PhotoVerdict::Missing);
    EXPECT_FALSE(Known(1000));
    // Busy answers are never missing, even with the words of one.
    EXPECT_EQ(OnView(1000, Photo(1000), Answer(502, "502 Proxy Error")), PhotoVerdict::Busy);
    EXPECT_FALSE(Known(1000));
}

TEST_F(Verdicts, AnAddressFirstSeenWaitsForEvidenceAndASecondPhotoThereMakesItMissing) {
    EXPECT_EQ(OnView(1801, removed, Page(""), true), PhotoVerdict::Pending);
    EXPECT_TRUE(verdicts.Pending());
    EXPECT_EQ(clock.VerdictTimerDueInMs(), PhotoVerdicts::PendingLimitMs);
    // More evidence to come: still pending.
    EXPECT_FALSE(verdicts.SettlePending(true));
    // A page ahead ends at the same address: both photos are missing.
    EXPECT_EQ(Ahead(1802, removed, Page("")), PhotoVerdict::Missing);
    EXPECT_EQ(verdicts.SettlePending(true), PhotoVerdict::Missing);
    EXPECT_FALSE(verdicts.Pending());
    EXPECT_FALSE(clock.VerdictTimerDueInMs());
    EXPECT_TRUE(Known(1801));
    EXPECT_TRUE(Known(1802));
    // Now known, the next photo sent there is decided at once.
    EXPECT_EQ(OnView(1803, removed, Page(""), true), PhotoVerdict::Missing);
}

TEST_F(Verdicts, WithoutEvidenceTheRedirectedPageIsWhatItSays) {
    // No evidence in flight: decided at once, as before.
    EXPECT_EQ(OnView(1801, removed, Page(""), false), PhotoVerdict::Present);
    EXPECT_FALSE(verdicts.Pending());

    // The evidence runs out without a second photo there.
    EXPECT_EQ(OnView(1901, Host() + "/cdn/1901.jpg", Page(""), true), PhotoVerdict::Pending);
    EXPECT_EQ(Ahead(1902, Host() + "/cdn/1902.jpg", Page("")), PhotoVerdict::Present);
    EXPECT_EQ(verdicts.SettlePending(false), PhotoVerdict::Present);
    EXPECT_FALSE(Known(1901));

    // Or the wait does.
    EXPECT_EQ(OnView(2001, Host() + "/cdn/2001.jpg", Page(""), true), PhotoVerdict::Pending);
    EXPECT_EQ(verdicts.PendingTimedOut(), PhotoVerdict::Present);
    EXPECT_FALSE(verdicts.PendingTimedOut());

    // A page left is no longer decided, and a text that cannot be read stays so.
    EXPECT_EQ(OnView(2101, Host() + "/cdn/2101.jpg", DocumentContent{}, true),
              PhotoVerdict::Pending);
    verdicts.CancelPending();
    EXPECT_FALSE(clock.VerdictTimerDueInMs());
    EXPECT_FALSE(verdicts.SettlePending(false));
    EXPECT_EQ(OnView(2101, Host() + "/cdn/2101.jpg", DocumentContent{}, true),
              PhotoVerdict::Pending);
    EXPECT_EQ(verdicts.PendingTimedOut(), PhotoVerdict::Unreadable);

    // Without the placeholder rule nothing waits.
    settings.MissingByPlaceholder = false;
    EXPECT_EQ(OnView(2201, removed, Page(""), true), PhotoVerdict::Present);
}

TEST_F(Verdicts, TheSkipMessageNamesTheWholeChainFromFirstToLast) {
    EXPECT_EQ(verdicts.SkipMessage(0), "");
    verdicts.Skipped(1801, 1801, 1);
    EXPECT_EQ(verdicts.SkipMessage(0), "Skipped 1 missing photo (1801)");
    verdicts.Skipped(1802, 1803, 2);
    verdicts.Skipped(1804, 1804, 1);
    EXPECT_EQ(verdicts.SkipMessage(0), "Skipped 4 missing photos (1801–1804)");
    EXPECT_EQ(verdicts.SkipMessage(1), "4 fehlende Photos übersprungen (1801–1804)");
    // Its end gives the message once; a new chain starts afresh, downwards too.
    EXPECT_EQ(verdicts.EndChain(0), "Skipped 4 missing photos (1801–1804)");
    EXPECT_EQ(verdicts.EndChain(0), "");
    verdicts.Skipped(50, 48, 3);
    EXPECT_EQ(verdicts.SkipMessage(0), "Skipped 3 missing photos (50–48)");
}

}  // namespace
}  // namespace kpw
