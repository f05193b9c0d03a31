#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <map>
#include <string>

#include "NavigatorFixture.h"

namespace kpw {
namespace {

// How the site answers for a photo that does not exist.
enum class Sign { Placeholder, ForbiddenText, NotFound };

// The navigator with pages fetching ahead, on a site whose missing photos
// answer each in its own way. The page on view answers first, before the
// pages ahead, as the engine's cache often lets it.
class SkippedPhotos : public NavigatorTest {
protected:
    void SetUp() override {
        NavigatorTest::SetUp();
        navigator.AttachPreloadPages({&pages[0], &pages[1]});
    }
    int32_t IndexOf(const std::string& url) const {
        return DigitRunValue(url.substr(url.rfind('/') + 1));
    }
    // Answers the view's last load as the site does; a placeholder's load
    // ends at the placeholder's address.
    DocumentContent Answer(FakeBrowserView& view) {
        const auto sign = missing.find(IndexOf(view.LastNavigatedURL()));
        if (sign == missing.end()) return Page("A photo");
        switch (sign->second) {
            case Sign::Placeholder:
                view.SetLocationURL(removed);
                return Page("");
            case Sign::ForbiddenText: {
                DocumentContent page = Page("Error 403: Forbidden");
                page.HttpStatus = 403;
                return page;
            }
            case Sign::NotFound:
                break;
        }
        DocumentContent page = Page("404 Not Found");
        page.HttpStatus = 404;
        return page;
    }
    void Settle() {
        for (int round = 0; round < 1000; ++round) {
            bool answered = false;
            if (visible.Calls().size() > visibleAnswered_) {
                visibleAnswered_ = visible.Calls().size();
                navigator.VisibleWebBrowserOnDocumentComplete(Answer(visible));
                answered = true;
            }
            for (size_t i = 0; i < pages.size(); ++i) {
                if (pages[i].Calls().size() <= answered_[i]) continue;
                answered_[i] = pages[i].Calls().size();
                navigator.PreloadPageOnDocumentComplete(i, Answer(pages[i]));
                answered = true;
            }
            if (hidden.Calls().size() > hiddenAnswered_) {
                hiddenAnswered_ = hidden.Calls().size();
                navigator.HiddenWebBrowserOnDocumentComplete(Answer(hidden));
                answered = true;
            }
            if (!answered && !clock.RunTimer()) return;
        }
        FAIL() << "the views never came to rest";
    }
    std::vector<std::string> Skips() const {
        std::vector<std::string> lines;
        for (const std::string& line : window.LogLines())
            if (line.rfind("Skipped", 0) == 0) lines.push_back(line);
        return lines;
    }

    std::array<FakeBrowserView, 2> pages;
    std::map<int32_t, Sign> missing;
    const std::string removed = Host() + "/static/removed.png";
    std::array<size_t, 2> answered_{};
    size_t hiddenAnswered_ = 0;
    size_t visibleAnswered_ = 0;
};

TEST_F(SkippedPhotos, ATypedPhotoSentToAPlaceholderNotYetMetIsSkippedOnceTheEvidenceIsIn) {
    missing = {{1801, Sign::Placeholder}, {1802, Sign::Placeholder}, {1803, Sign::Placeholder}};
    settings.PhotoIndex = 1000;
    Start();
    Settle();
    window.ChangePageIndexText("1801");
    // The page on view comes first and waits for the pages ahead.
    navigator.VisibleWebBrowserOnDocumentComplete(Answer(visible));
    visibleAnswered_ = visible.Calls().size();
    EXPECT_TRUE(navigator.Verdicts().Pending());
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1801));
    Settle();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1804));
    EXPECT_EQ(window.PageIndexText(), "1804");
    EXPECT_EQ(settings.PhotoIndex, 1804);
    EXPECT_EQ(window.StatusText(), "Skipped 3 missing photos (1801–1803)");
    EXPECT_EQ(Skips(), std::vector<std::string>{"Skipped 3 missing photos (1801–1803)"});
}

TEST_F(SkippedPhotos, APlaceholderNeverProvenLeavesThePhotoOnViewAfterTheWait) {
    // Only 1801 goes to the placeholder: one photo there proves nothing.
    missing = {{1801, Sign::Placeholder}};
    settings.PhotoIndex = 1000;
    Start();
    Settle();
    window.ChangePageIndexText("1801");
    Settle();
    EXPECT_EQ(visible.NavigatedURLs().back(), Photo(1801));
    EXPECT_EQ(settings.PhotoIndex, 1801);
    EXPECT_FALSE(navigator.Verdicts().Pending());
    EXPECT_TRUE(Skips().empty());

    // Evidence that never comes: the wait ends it all the same.
    window.ChangePageIndexText("1700");
    navigator.VisibleWebBrowserOnDocumentComplete(Answer(visible));
    window.ChangePageIndexText("1801");
    navigator.VisibleWebBrowserOnDocumentComplete(Answer(visible));
    ASSERT_TRUE(navigator.Verdicts().Pending());
    clock.Advance(PhotoVerdicts::PendingLimitMs);
    EXPECT_FALSE(navigator.Verdicts().Pending());
    EXPECT_EQ(settings.PhotoIndex, 1801);
}

TEST_F(SkippedPhotos, TheMessageNamesEveryPhotoNotSeenHoweverEachWasRecognised) {
    // The placeholder is met early on: 1001 and 1002 are sent to it.
    missing = {{1001, Sign::Placeholder},
               {1002, Sign::Placeholder},
               {1801, Sign::Placeholder},
               {1802, Sign::ForbiddenText},
               {1803, Sign::NotFound}};
    settings.PhotoIndex = 1000;
    Start();
    Settle();
    window.ChangePageIndexText("1801");
    Settle();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1804));
    EXPECT_EQ(window.StatusText(), "Skipped 3 missing photos (1801–1803)");
    EXPECT_EQ(Skips().back(), "Skipped 3 missing photos (1801–1803)");

    // Known now: a step down from 1804 jumps the gap and names the same photos.
    window.ChangePageIndexText("1805");
    Settle();
    const size_t before = Skips().size();
    window.ChangePageIndexText("1803");
    Settle();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1800));
    EXPECT_EQ(window.StatusText(), "Skipped 3 missing photos (1803–1801)");
    EXPECT_EQ(Skips().size(), before + 1);
}

TEST_F(SkippedPhotos, AWheelStepAndAStepUpNameTheirSkipsToo) {
    settings.MissingByPlaceholder = false;
    missing = {{1001, Sign::NotFound}, {1002, Sign::ForbiddenText}};
    settings.PhotoIndex = 1000;
    // Nothing known ahead: every skip is a page of its own.
    navigator.AttachPreloadPages({});
    Start();
    Settle();
    EXPECT_TRUE(navigator.FormMainOnMouseWheel(-120));
    Settle();
    EXPECT_EQ(visible.LastNavigatedURL(), Photo(1003));
    EXPECT_EQ(window.StatusText(), "Skipped 2 missing photos (1001–1002)");
    // The next step of the user's own ends the message.
    window.PressUpArrow();
    navigator.VisibleWebBrowserOnStatusTextChange("Done");
    EXPECT_EQ(window.StatusText(), "Done");
    EXPECT_EQ(Skips(), std::vector<std::string>{"Skipped 2 missing photos (1001–1002)"});
}

}  // namespace
}  // namespace kpw
