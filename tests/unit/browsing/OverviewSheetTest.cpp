#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "NavigatorFixture.h"
#include "archive/MemoryArchive.h"
#include "browsing/ControlGroups.h"
#include "browsing/OverviewSheet.h"

namespace kpw {
namespace {

// Records the fetches asked for and cancelled; the test answers them.
class FakeThumbnails : public ThumbnailPort {
public:
    void Fetch(uint64_t id, const std::string& url) override { fetches[id] = url; }
    void Cancel(uint64_t id) override {
        fetches.erase(id);
        cancelled.push_back(id);
    }
    std::map<uint64_t, std::string> fetches;
    std::vector<uint64_t> cancelled;
};

std::string Thumb(int32_t i) {
    return Host() + "/photos/thumbnail/" + std::to_string(i) + ".jpg";
}

ThumbnailAnswer PictureAnswer(int32_t i) {
    return {.HttpStatus = 200, .FinalURL = Thumb(i), .ContentType = "image/jpeg", .Decoded = true};
}

ThumbnailAnswer PageAnswer(int status, std::string text) {
    return {.HttpStatus = status, .ContentType = "text/html", .Text = std::move(text)};
}

class Sheet : public ::testing::Test {
protected:
    void SetUp() override {
        clock.OnTimeout = [this] { scheduler.OnWaitTimer(); };
        sheet.Changed = [this] { ++changes; };
    }
    // The index a fetch asks for.
    static int32_t IndexOf(const std::string& url) {
        return DigitRunValue(url.substr(url.rfind('/') + 1));
    }
    std::set<int32_t> Fetching() const {
        std::set<int32_t> indexes;
        for (const auto& [id, url] : thumbnails.fetches) indexes.insert(IndexOf(url));
        return indexes;
    }
    // Answers the fetch of index.
    void Answer(int32_t index, const ThumbnailAnswer& answer) {
        for (const auto& [id, url] : thumbnails.fetches) {
            if (IndexOf(url) != index) continue;
            const uint64_t fetch = id;
            thumbnails.fetches.erase(id);
            sheet.Answered(fetch, answer);
            return;
        }
        ADD_FAILURE() << "no fetch of " << index;
    }
    const SheetCell& Cell(int32_t index) const {
        for (const SheetCell& cell : sheet.Cells())
            if (cell.Index == index) return cell;
        static const SheetCell none;
        ADD_FAILURE() << "no cell of " << index;
        return none;
    }
    std::vector<int32_t> Indexes() const {
        std::vector<int32_t> indexes;
        for (const SheetCell& cell : sheet.Cells()) indexes.push_back(cell.Index);
        return indexes;
    }

    Settings settings;
    FakeClock clock;
    RequestScheduler scheduler{settings, clock};
    PhotoVerdicts verdicts{settings, clock};
    FakeThumbnails thumbnails;
    std::set<int32_t> favourites{1003};
    OverviewSheet sheet{scheduler, verdicts, thumbnails,
                        [this](int32_t i) { return favourites.count(i) > 0; }};
    const std::string photos = settings.TemplateURL11;
    int changes = 0;
};

TEST_F(Sheet, FetchesSixCellsAtATimeInTheirOrder) {
    sheet.Open(1001, 4, 3, photos);
    EXPECT_EQ(sheet.Cells().size(), 12u);
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1001, 1002, 1003, 1004, 1005, 1006}));
    EXPECT_EQ(thumbnails.fetches.begin()->second, Thumb(1001));
    EXPECT_TRUE(Cell(1003).Favourite);
    EXPECT_FALSE(Cell(1004).Favourite);
    Answer(1002, PictureAnswer(1002));
    EXPECT_EQ(Cell(1002).State, CellState::Picture);
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1001, 1003, 1004, 1005, 1006, 1007}));
    EXPECT_GT(changes, 0);
}

TEST_F(Sheet, CellsAreJudgedByTheSameRulesAsThePagesSteppedThrough) {
    sheet.Open(1001, 6, 1, photos);
    const std::string removed = Host() + "/static/removed.png";
    Answer(1001, PageAnswer(404, "404 Not Found nginx"));
    Answer(1002, PageAnswer(403, "Error 403: Forbidden"));
    // One photo at a picture proves nothing; a second there makes both missing.
    ThumbnailAnswer placeholder = PictureAnswer(1003);
    placeholder.FinalURL = removed;
    Answer(1003, placeholder);
    EXPECT_EQ(Cell(1003).State, CellState::Picture);
    placeholder.FinalURL = removed;
    Answer(1004, placeholder);
    EXPECT_EQ(Cell(1004).State, CellState::Missing);
    EXPECT_EQ(Cell(1003).State, CellState::Missing);
    Answer(1005, {.Failure = ThumbnailFailure::NoConnection, .Detail = "Connection refused"});
    ThumbnailAnswer bomb = {.HttpStatus = 200,
                            .FinalURL = Thumb(1006),
                            .ContentType = "image/png",
                            .Failure = ThumbnailFailure::TooLarge};
    Answer(1006, bomb);

    EXPECT_EQ(Cell(1001).State, CellState::Missing);
    EXPECT_EQ(Cell(1002).State, CellState::Missing);
    EXPECT_EQ(Cell(1005).State, CellState::Failed);
    EXPECT_EQ(Cell(1005).Failure, ThumbnailFailure::NoConnection);
    EXPECT_EQ(Cell(1005).Detail, "Connection refused");
    EXPECT_EQ(Cell(1006).State, CellState::Failed);
    EXPECT_EQ(Cell(1006).Failure, ThumbnailFailure::TooLarge);
    // What the sheet found is known missing for stepping too.
    for (int32_t index : {1001, 1002, 1004}) EXPECT_TRUE(verdicts.IsKnownMissing(photos, index));
    EXPECT_FALSE(verdicts.IsKnownMissing(photos, 1005));
}

TEST_F(Sheet, ABusyCellWaitsAndIsAskedAgainNeverTakenForMissing) {
    sheet.Open(1001, 2, 1, photos);
    ThumbnailAnswer proxy = PageAnswer(502, "502 Proxy Error");
    Answer(1001, proxy);
    EXPECT_EQ(Cell(1001).State, CellState::Waiting);
    // 1003 and 1004 are the next sheet's.
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1002, 1003, 1004}));
    EXPECT_EQ(clock.TimerDueInMs(), 2000);
    clock.Advance(2000);
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1001, 1002, 1003, 1004}));
    Answer(1001, PictureAnswer(1001));
    EXPECT_EQ(Cell(1001).State, CellState::Picture);
    EXPECT_FALSE(verdicts.IsKnownMissing(photos, 1001));
}

TEST_F(Sheet, KnownMissingPhotosAreMarkedWithoutAskingTheSite) {
    verdicts.NoteMissing(photos, 1002);
    sheet.Open(1001, 3, 1, photos);
    EXPECT_EQ(Cell(1002).State, CellState::Missing);
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1001, 1003, 1004, 1005, 1006}));
    // Learnt later by the single view: the cell follows on refresh.
    verdicts.NoteMissing(photos, 1003);
    favourites.insert(1001);
    sheet.Refresh();
    EXPECT_EQ(Cell(1003).State, CellState::Missing);
    EXPECT_TRUE(Cell(1001).Favourite);
}

TEST_F(Sheet, MovingOnCancelsTheFetchesOfCellsNoLongerShownAndKeepsWhatItKnows) {
    sheet.Open(1001, 2, 2, photos);
    Answer(1003, PictureAnswer(1003));
    sheet.MoveTo(1003);
    EXPECT_EQ(Indexes(), (std::vector<int32_t>{1003, 1004, 1005, 1006}));
    EXPECT_EQ(thumbnails.cancelled.size(), 2u);
    EXPECT_EQ(Cell(1003).State, CellState::Picture);
    // The cells shown, then the next sheet's from 1007 on.
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1004, 1005, 1006, 1007, 1008, 1009}));
    sheet.Close();
    EXPECT_TRUE(thumbnails.fetches.empty());
    EXPECT_FALSE(sheet.IsOpen());
}

TEST_F(Sheet, TheNextSheetIsFetchedBehindTheCellsShownAndIsThereAtOnce) {
    sheet.Open(1001, 2, 1, photos);
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1001, 1002, 1003, 1004}));
    for (int32_t index : {1004, 1001, 1003, 1002}) Answer(index, PictureAnswer(index));
    sheet.PageDown();
    EXPECT_EQ(Indexes(), (std::vector<int32_t>{1003, 1004}));
    EXPECT_EQ(Cell(1003).State, CellState::Picture);
    EXPECT_EQ(Cell(1004).State, CellState::Picture);
    EXPECT_TRUE(thumbnails.cancelled.empty());
    // Only the sheet after it is asked for now.
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1005, 1006}));
}

TEST_F(Sheet, KeysMoveTheSelectionAndTheSheet) {
    sheet.Open(1001, 4, 2, photos);
    EXPECT_EQ(sheet.SelectedIndex(), 1001);
    sheet.MoveSelection(1);
    sheet.MoveSelection(4);
    EXPECT_EQ(sheet.SelectedIndex(), 1006);
    // Down beyond the last row: the sheet moves on a row.
    sheet.MoveSelection(4);
    EXPECT_EQ(sheet.First(), 1005);
    EXPECT_EQ(sheet.SelectedIndex(), 1010);
    sheet.PageDown();
    EXPECT_EQ(sheet.First(), 1013);
    sheet.PageUp();
    EXPECT_EQ(sheet.First(), 1005);
    sheet.Home();
    EXPECT_EQ(sheet.SelectedIndex(), 1005);
    // At index 1 the sheet stops, and so does the selection.
    sheet.ShowIndex(2);
    sheet.MoveSelection(-4);
    EXPECT_EQ(sheet.First(), 1);
    EXPECT_EQ(sheet.SelectedIndex(), 1);
    sheet.MoveSelection(-1);
    EXPECT_EQ(sheet.SelectedIndex(), 1);
    sheet.PageUp();
    EXPECT_EQ(sheet.First(), 1);
}

TEST_F(Sheet, HidingMissingPhotosFillsTheSheetWithTheNextPresentOnes) {
    sheet.SetHidesMissing(true);
    verdicts.NoteMissing(photos, 1002);
    sheet.Open(1001, 3, 1, photos);
    EXPECT_EQ(Indexes(), (std::vector<int32_t>{1001, 1003, 1004}));
    Answer(1003, PageAnswer(404, "HTTP 404"));
    EXPECT_EQ(Indexes(), (std::vector<int32_t>{1001, 1004, 1005}));
    EXPECT_TRUE(Fetching().count(1005));
}

TEST_F(Sheet, ItsRequestsWaitBehindThePagesOnViewAndKeepTheLeastInterval) {
    settings.MinRequestInterval = 1000;
    std::vector<std::string> order;
    scheduler.SetOwner(RequestKind::Neighbour, [&] {
        if (!order.empty() && order.back() == "neighbour") return false;
        order.push_back("neighbour");
        scheduler.NoteRequest();
        return true;
    });
    scheduler.NoteRequest();
    sheet.Open(1001, 2, 1, photos);
    scheduler.Wake(RequestKind::Neighbour);
    EXPECT_TRUE(thumbnails.fetches.empty());
    clock.Advance(1000);
    EXPECT_EQ(order, std::vector<std::string>{"neighbour"});
    EXPECT_TRUE(thumbnails.fetches.empty());
    clock.Advance(1000);
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1001}));
    clock.Advance(1000);
    EXPECT_EQ(Fetching(), (std::set<int32_t>{1001, 1002}));
}

// The sheet in the window: opened by its button, followed by the index
// field, left for the single view.
class SheetInTheWindow : public NavigatorTest {
protected:
    void SetUp() override {
        NavigatorTest::SetUp();
        navigator.AttachSheet(&sheet);
        settings.PhotoIndex = 500;
    }
    void TearDown() override { navigator.AttachSheet(nullptr); }
    std::string Small(int32_t i) const {
        return Host() + "/photos/small/" + std::to_string(i) + ".jpg";
    }

    FakeThumbnails thumbnails;
    OverviewSheet sheet{navigator.Scheduler(), navigator.Verdicts(), thumbnails, nullptr};
};

TEST_F(SheetInTheWindow, OpensAtThePhotoIndexWhateverTheModeAndTheFieldFollowsItsSelection) {
    settings.URLIndex = 3;
    settings.UserIndex = 7;
    StartIdle();
    const size_t loads = visible.Calls().size();
    navigator.SpeedButtonOverviewSheetOnClick(4, 2);

    EXPECT_TRUE(window.SheetShown());
    EXPECT_TRUE(window.IsDown(ToolButton::OverviewSheet));
    EXPECT_EQ(sheet.First(), 500);
    EXPECT_EQ(thumbnails.fetches.size(), 6u);
    EXPECT_EQ(window.PageIndexText(), "500");
    EXPECT_EQ(window.LabelPageIndexCaption(), "Photo index");
    EXPECT_TRUE(window.IsEnabled(Control::PhotoSize2));
    // Favourites added in the sheet are photos.
    EXPECT_TRUE(window.IsDown(ToolButton::URL3));

    sheet.MoveSelection(1);
    EXPECT_EQ(window.PageIndexText(), "501");
    EXPECT_GT(window.SheetChanges(), 0);
    // A size chosen in the sheet waits for the photo chosen there; the photo
    // actions work on the selection in that size.
    navigator.SpeedButtonPhotoSizeOnClick(2);
    EXPECT_EQ(navigator.ShownAddress(), Small(501));
    ASSERT_TRUE(navigator.ShownPhoto());
    EXPECT_EQ(navigator.ShownPhoto()->Index, 501);
    // The wheel is the sheet's own.
    EXPECT_FALSE(navigator.FormMainOnMouseWheel(-120));
    EXPECT_EQ(visible.Calls().size(), loads);

    // An index typed in the field: selected where shown, else the sheet moves.
    window.ChangePageIndexText("503");
    EXPECT_EQ(sheet.SelectedIndex(), 503);
    EXPECT_EQ(sheet.First(), 500);
    window.ChangePageIndexText("900");
    EXPECT_EQ(sheet.First(), 900);
    EXPECT_EQ(sheet.SelectedIndex(), 900);
    EXPECT_EQ(visible.Calls().size(), loads);

    // Its button again: the selected photo in display mode 1 at that size.
    navigator.SpeedButtonOverviewSheetOnClick(4, 2);
    EXPECT_FALSE(window.SheetShown());
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_TRUE(thumbnails.fetches.empty());
    EXPECT_EQ(settings.URLIndex, 1);
    EXPECT_EQ(settings.PhotoIndex, 900);
    EXPECT_EQ(settings.UserIndex, 7);
    EXPECT_EQ(visible.LocationURL(), Small(900));
    EXPECT_EQ(window.PageIndexText(), "900");
}

TEST_F(SheetInTheWindow, AModeOrAFavouriteChosenInTheSheetLeavesIt) {
    StartIdle();
    navigator.SpeedButtonOverviewSheetOnClick(3, 3);
    sheet.MoveSelection(4);
    window.SetDown(URLButton(2), true);
    navigator.SpeedButtonURLOnClick(2);
    EXPECT_FALSE(window.SheetShown());
    EXPECT_EQ(settings.PhotoIndex, 504);
    EXPECT_EQ(visible.LocationURL(), InfoPage(504));

    navigator.SpeedButtonOverviewSheetOnClick(3, 3);
    navigator.OpenFavoritePhoto(42);
    EXPECT_FALSE(sheet.IsOpen());
    EXPECT_EQ(visible.LocationURL(), InfoPage(42));
}

TEST_F(SheetInTheWindow, WhatTheSheetFoundMissingIsSkippedWhenSteppingOn) {
    // Known gaps are jumped where pages are fetched ahead.
    FakeBrowserView ahead;
    navigator.AttachPreloadPages({&ahead});
    StartIdle();
    navigator.SpeedButtonOverviewSheetOnClick(4, 1);
    thumbnails.fetches.clear();
    for (int32_t index : {501, 502}) {
        const uint64_t id = [&] {
            for (uint64_t fetch = 1; fetch < 100; ++fetch)
                if (sheet.IndexOfFetch(fetch) == index) return fetch;
            return uint64_t{0};
        }();
        sheet.Answered(id, PageAnswer(404, "Error 404: photo not found"));
    }
    EXPECT_EQ(sheet.Cells()[1].State, CellState::Missing);
    // Enter on the first cell, then one step up: 501 and 502 are known gaps.
    navigator.ShowSheetSelection();
    Complete("A photo");
    window.PressUpArrow();
    EXPECT_EQ(state().CurrentIndex, 503);
    EXPECT_EQ(visible.LocationURL(), Photo(503));
}

// What the user has seen is remembered in the archive, under the photo's
// page template whatever the size it was shown in.
TEST_F(SheetInTheWindow, PhotosShownAreNotedSeenAndTheNextNotSeenIsFound) {
    MemoryArchive archive;
    const std::string photo = settings.TemplateURL20;
    archive.NoteKept(photo, 503, {.Path = "/photos/503.jpg", .Bytes = 1, .Time = 1});
    navigator.AttachArchive(&archive);
    StartIdle();
    EXPECT_TRUE(archive.Lookup(photo, 500).Seen);

    // The sheet marks what was seen and kept before, and notes the cells
    // shown; the next sheet's pictures are not seen yet.
    navigator.SpeedButtonOverviewSheetOnClick(2, 2);
    EXPECT_TRUE(sheet.Cells()[0].SeenBefore);
    EXPECT_TRUE(sheet.Cells()[3].Kept);
    EXPECT_FALSE(sheet.Cells()[1].SeenBefore);
    while (!thumbnails.fetches.empty()) {
        const auto [id, url] = *thumbnails.fetches.begin();
        thumbnails.fetches.erase(id);
        sheet.Answered(id, PictureAnswer(*sheet.IndexOfFetch(id)));
    }
    for (int32_t index : {501, 502, 503}) EXPECT_TRUE(archive.Lookup(photo, index).Seen) << index;
    EXPECT_FALSE(archive.Lookup(photo, 504).Seen);

    // Ctrl+N in the sheet goes to the first not seen after the selection.
    navigator.GoToNextNotSeen();
    EXPECT_EQ(sheet.SelectedIndex(), 504);
    navigator.ShowSheetSelection();
    Complete("A photo");
    EXPECT_TRUE(archive.Lookup(photo, 504).Seen);
    // In the single view, stepping down from 504: 503 to 500 were seen.
    window.PressUpArrow();
    Complete("A photo");
    window.ChangePageIndexText("504");
    Complete("A photo");
    ASSERT_LT(state().NextIndex, state().CurrentIndex);
    navigator.GoToNextNotSeen();
    EXPECT_EQ(state().CurrentIndex, 499);
    EXPECT_EQ(visible.LocationURL(), Photo(499));
}

// A photo saved by the user is kept in the size in force, which a range
// skips, and as the photo the sheet marks.
TEST_F(SheetInTheWindow, ASavedPhotoIsNotedKeptInItsSizeAndAsThePhoto) {
    MemoryArchive archive;
    navigator.AttachArchive(&archive);
    StartIdle();
    const KeptFile file{.Path = "/photos/500.jpg", .Bytes = 10, .Sha256Hex = "ab", .Time = 5};
    navigator.NotePhotoKept(500, file);
    EXPECT_EQ(archive.Lookup(settings.TemplateURL13, 500).Kept, file);
    EXPECT_EQ(archive.Lookup(settings.TemplateURL20, 500).Kept, file);
    EXPECT_FALSE(archive.Lookup(settings.TemplateURL11, 500).Kept);
    navigator.SpeedButtonOverviewSheetOnClick(2, 1);
    EXPECT_TRUE(sheet.Cells()[0].Kept);
}

TEST_F(SheetInTheWindow, WithoutAnArchiveNothingIsNotedAndTheKeyBeeps) {
    StartIdle();
    navigator.GoToNextNotSeen();
    EXPECT_EQ(window.Beeps(), 1);
    EXPECT_EQ(state().CurrentIndex, 500);
}

TEST(ArchiveMessages, SayWhatBecameOfTheFileInTheUsersLanguage) {
    OpenResult corrupt;
    corrupt.Problem = ArchiveProblem::Corrupt;
    corrupt.MovedAside = "/d/a.corrupt-1";
    EXPECT_EQ(ArchiveProblemMessage(corrupt, "/d/a", texts::English),
              "The archive of seen photos /d/a was damaged; it was moved to /d/a.corrupt-1 and a "
              "new one started.");
    OpenResult newer;
    newer.Problem = ArchiveProblem::Newer;
    EXPECT_NE(ArchiveProblemMessage(newer, "/d/a", texts::German).find("neueren Version"),
              std::string::npos);
    OpenResult other;
    other.Problem = ArchiveProblem::Unusable;
    other.Detail = "disk I/O error";
    EXPECT_NE(ArchiveProblemMessage(other, "/d/a", texts::English).find("(disk I/O error)"),
              std::string::npos);
    EXPECT_EQ(ArchiveProblemMessage(OpenResult{}, "/d/a", texts::English), "");
}

}  // namespace
}  // namespace kpw
