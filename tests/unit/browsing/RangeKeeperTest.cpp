#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "FakeClock.h"
#include "NavigatorFixture.h"
#include "archive/MemoryArchive.h"
#include "browsing/RangeKeeper.h"
#include "browsing/URLTemplateTable.h"
#include "texts/Texts.h"

namespace kpw {
namespace {

class FakeFetches : public KeepFetchPort {
public:
    void Fetch(uint64_t id, const std::string& url, const std::string& folder) override {
        fetches[id] = url;
        EXPECT_EQ(folder, "/keep");
    }
    void Cancel(uint64_t id) override {
        fetches.erase(id);
        cancelled.push_back(id);
    }
    std::map<uint64_t, std::string> fetches;
    std::vector<uint64_t> cancelled;
};

// A folder of files in memory: path -> bytes.
class FakeFiles : public KeepFilesPort {
public:
    FolderState StateOf(const std::string&) override { return folder; }
    bool Exists(const std::string& path) override { return files.count(path) > 0; }
    std::optional<int64_t> SizeOf(const std::string& path) override {
        if (!Exists(path)) return std::nullopt;
        return static_cast<int64_t>(files[path].size());
    }
    // The bytes stand for their own digest.
    std::optional<std::string> Sha256Of(const std::string& path) override {
        if (!Exists(path)) return std::nullopt;
        return "sha:" + files[path];
    }
    PlaceResult MoveNoReplace(const std::string& from, const std::string& to,
                              std::string& detail) override {
        if (placeFails) {
            detail = "No space left on device";
            return *placeFails;
        }
        if (Exists(to)) return PlaceResult::NameTaken;
        files[to] = files[from];
        files.erase(from);
        return PlaceResult::Placed;
    }
    void Remove(const std::string& path) override {
        files.erase(path);
        removed.push_back(path);
    }
    void RemoveLeftovers(const std::string& f) override { leftoversCleared.push_back(f); }

    FolderState folder = FolderState::Writable;
    std::map<std::string, std::string> files;
    std::vector<std::string> removed;
    std::vector<std::string> leftoversCleared;
    std::optional<PlaceResult> placeFails;
};

class Range : public ::testing::Test {
protected:
    void SetUp() override {
        clock.OnTimeout = [this] { scheduler.OnWaitTimer(); };
        keeper.SetArchive(&archive);
        keeper.Ended = [this](const RangeReport& report) { reports.push_back(report); };
    }
    RangeOrder Order(int32_t from, int32_t to, bool skipKept = true) const {
        return {.From = from,
                .To = to,
                .Size = 1,
                .PhotoTemplate = photos,
                .PhotoKey = settings.TemplateURL20,
                .Folder = "/keep",
                .SkipKept = skipKept};
    }
    static int32_t IndexOf(const std::string& url) {
        return DigitRunValue(url.substr(url.rfind('/') + 1));
    }
    std::set<int32_t> Fetching() const {
        std::set<int32_t> indexes;
        for (const auto& [id, url] : fetches.fetches) indexes.insert(IndexOf(url));
        return indexes;
    }
    void Answer(int32_t index, KeepAnswer answer) {
        for (const auto& [id, url] : fetches.fetches) {
            if (IndexOf(url) != index) continue;
            const uint64_t fetch = id;
            if (answer.FinalURL.empty()) answer.FinalURL = url;
            fetches.fetches.erase(id);
            keeper.Answered(fetch, answer);
            return;
        }
        ADD_FAILURE() << "no fetch of " << index;
    }
    // A whole picture in a temporary file of the folder.
    KeepAnswer Picture(int32_t index, std::string bytes = "") {
        if (bytes.empty()) bytes = "jpeg of " + std::to_string(index);
        const std::string temp = "/keep/.part-" + std::to_string(++temps);
        files.files[temp] = bytes;
        return {.HttpStatus = 200,
                .ContentType = "image/jpeg",
                .TempFile = temp,
                .Bytes = static_cast<int64_t>(bytes.size()),
                .Sha256Hex = "sha:" + bytes,
                .Extension = "jpg"};
    }
    static KeepAnswer Page(int status, std::string text) {
        return {.HttpStatus = status, .ContentType = "text/html", .Text = std::move(text)};
    }
    // Answers every fetch with its picture until the run ends.
    void AnswerAllWithPictures() {
        for (int guard = 0; guard < 1000 && !fetches.fetches.empty(); ++guard) {
            const int32_t index = IndexOf(fetches.fetches.begin()->second);
            Answer(index, Picture(index));
        }
    }
    std::set<std::string> PhotoFiles() const {
        std::set<std::string> names;
        for (const auto& [path, bytes] : files.files)
            if (path.find("/.part-") == std::string::npos) names.insert(path);
        return names;
    }

    Settings settings;
    FakeClock clock;
    RequestScheduler scheduler{settings, clock};
    PhotoVerdicts verdicts{settings, clock};
    FakeFetches fetches;
    FakeFiles files;
    MemoryArchive archive;
    RangeKeeper keeper{scheduler, verdicts, clock, fetches, files};
    std::vector<RangeReport> reports;
    const std::string photos = settings.TemplateURL11;
    int temps = 0;
};

TEST(RangeCheck, BadOrdersAreToldNotClamped) {
    RangeOrder order{.From = 20, .To = 10, .Folder = "/keep"};
    EXPECT_EQ(CheckRange(order, FolderState::Writable), RangeProblem::FromAfterTo);
    EXPECT_EQ(RangeProblemMessage(RangeProblem::FromAfterTo, order, texts::English),
              "The first index (20) lies after the last (10).");
    order = {.From = 1, .To = 100'000, .Folder = "/keep"};
    EXPECT_EQ(CheckRange(order, FolderState::Writable), RangeProblem::None);
    order.To = 100'001;
    EXPECT_EQ(CheckRange(order, FolderState::Writable), RangeProblem::TooLong);
    EXPECT_NE(RangeProblemMessage(RangeProblem::TooLong, order, texts::German).find("100001"),
              std::string::npos);
    order = {.From = 1, .To = 2, .Folder = ""};
    EXPECT_EQ(CheckRange(order, FolderState::Writable), RangeProblem::NoFolder);
    order.Folder = "/gone";
    EXPECT_EQ(CheckRange(order, FolderState::Missing), RangeProblem::FolderMissing);
    EXPECT_EQ(CheckRange(order, FolderState::NotAFolder), RangeProblem::FolderMissing);
    EXPECT_EQ(CheckRange(order, FolderState::NotWritable), RangeProblem::FolderNotWritable);
    EXPECT_EQ(RangeProblemMessage(RangeProblem::FolderNotWritable, order, texts::English),
              "The folder /gone cannot be written to.");
}

TEST(RangeCheck, TheFieldsAreReadAsTheyWereTyped) {
    RangeOrder order;
    RangeInput input{.From = " 12 ", .To = "2147483647", .Size = 3, .Folder = "/keep"};
    EXPECT_EQ(ReadRangeInput(input, FolderState::Writable, order), RangeProblem::TooLong);
    input.To = "111";
    EXPECT_EQ(ReadRangeInput(input, FolderState::Writable, order), RangeProblem::None);
    EXPECT_EQ(order.From, 12);
    EXPECT_EQ(order.To, 111);
    EXPECT_EQ(order.Size, 3);
    for (const char* bad : {"", "0", "-5", "1e3", "2147483648", "99999999999", "12a"}) {
        input.From = bad;
        EXPECT_EQ(ReadRangeInput(input, FolderState::Writable, order), RangeProblem::BadFrom)
            << bad;
    }
    input.From = "1";
    input.To = "x";
    EXPECT_EQ(ReadRangeInput(input, FolderState::Writable, order), RangeProblem::BadTo);
    EXPECT_EQ(RangeProblemMessage(RangeProblem::BadTo, order, texts::English, input),
              "\"x\" is no photo index: type a whole number from 1 to 2147483647.");
}

TEST_F(Range, KeepsEveryPhotoUnderItsIndexSixAtATime) {
    keeper.Start(Order(101, 110));
    EXPECT_EQ(files.leftoversCleared, std::vector<std::string>{"/keep"});
    EXPECT_EQ(Fetching(), (std::set<int32_t>{101, 102, 103, 104, 105, 106}));
    EXPECT_EQ(fetches.fetches.begin()->second, PutIndexIntoTemplate(photos, 101));
    Answer(103, Picture(103));
    EXPECT_EQ(Fetching(), (std::set<int32_t>{101, 102, 104, 105, 106, 107}));
    AnswerAllWithPictures();

    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].End, RangeEnd::Finished);
    EXPECT_EQ(reports[0].Progress.Kept, 10);
    EXPECT_EQ(reports[0].Progress.Done, 10);
    EXPECT_EQ(files.files.at("/keep/103.jpg"), "jpeg of 103");
    EXPECT_EQ(PhotoFiles().size(), 10u);
    EXPECT_FALSE(keeper.Running());
    // The archive knows the size kept and the photo as a whole.
    const ArchiveEntry entry = archive.Lookup(photos, 103);
    ASSERT_TRUE(entry.Kept);
    EXPECT_EQ(entry.Kept->Path, "/keep/103.jpg");
    EXPECT_EQ(entry.Kept->Bytes, 11);
    EXPECT_EQ(entry.Kept->Sha256Hex, "sha:jpeg of 103");
    EXPECT_TRUE(archive.Lookup(settings.TemplateURL20, 103).Kept);
    EXPECT_EQ(RangeReportText(reports[0], texts::English), "Photos 101 to 110 done: 10 kept.");
}

TEST_F(Range, MissingAndBusyPhotosAreJudgedAsWhenSteppingThrough) {
    keeper.Start(Order(1, 6));
    Answer(1, Page(404, "404 Not Found"));
    Answer(2, Page(403, "Error 403: Forbidden"));
    KeepAnswer busy = Page(503, "Service Unavailable");
    busy.RetryAfter = "7";
    Answer(3, busy);
    Answer(4, {.Failure = KeepFailure::NoConnection, .Detail = "Connection refused"});
    Answer(5, Picture(5));
    Answer(6, {.HttpStatus = 200,
               .ContentType = "text/plain",
               .Text = "hello",
               .Failure = KeepFailure::NotAPicture});

    std::optional<RangeProgress> progress = keeper.Progress();
    ASSERT_TRUE(progress);
    EXPECT_EQ(progress->Missing, 2);
    EXPECT_EQ(progress->Waiting, 1);
    EXPECT_EQ(progress->Failed, 2);
    EXPECT_EQ(progress->Kept, 1);
    EXPECT_EQ(progress->Done, 5);
    EXPECT_TRUE(verdicts.IsKnownMissing(photos, 1));
    EXPECT_TRUE(verdicts.IsKnownMissing(photos, 2));
    EXPECT_FALSE(verdicts.IsKnownMissing(photos, 3));
    ASSERT_TRUE(archive.Lookup(settings.TemplateURL20, 1).Missing);
    EXPECT_EQ(archive.Lookup(settings.TemplateURL20, 1).Missing->How, MissingHow::Status);
    EXPECT_EQ(archive.Lookup(settings.TemplateURL20, 2).Missing->How, MissingHow::Words);
    EXPECT_FALSE(archive.Lookup(settings.TemplateURL20, 3).Missing);

    // The busy photo is asked again after the site's wait, not before.
    EXPECT_TRUE(fetches.fetches.empty());
    clock.Advance(6900);
    EXPECT_TRUE(fetches.fetches.empty());
    clock.Advance(200);
    EXPECT_EQ(Fetching(), std::set<int32_t>{3});
    Answer(3, Picture(3));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Progress.Kept, 2);
    EXPECT_EQ(reports[0].Progress.Waiting, 0);
    EXPECT_EQ(RangeReportText(reports[0], texts::English),
              "Photos 1 to 6 done: 2 kept, 2 missing, 2 failed.");
}

TEST_F(Range, PhotosKeptBeforeAreNotFetchedAgainWhileTheirFilesAreThere) {
    keeper.Start(Order(1, 4));
    AnswerAllWithPictures();
    // One of the files was deleted since.
    files.files.erase("/keep/2.jpg");
    keeper.Start(Order(1, 5));
    EXPECT_EQ(Fetching(), (std::set<int32_t>{2, 5}));
    AnswerAllWithPictures();
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].Progress.KeptBefore, 3);
    EXPECT_EQ(reports[1].Progress.Kept, 2);
    // Without the tick every photo is asked for; same bytes give no second file.
    keeper.Start(Order(1, 5, false));
    EXPECT_EQ(Fetching().size(), 5u);
    AnswerAllWithPictures();
    EXPECT_EQ(reports[2].Progress.KeptBefore, 5);
    EXPECT_EQ(PhotoFiles().size(), 5u);
}

TEST_F(Range, AFileOfTheSameNameIsNeverOverwritten) {
    files.files["/keep/7.jpg"] = "the user's own picture";
    files.files["/keep/8.jpg"] = "jpeg of 8";  // kept by a run the archive never heard of
    keeper.Start(Order(7, 8));
    AnswerAllWithPictures();
    EXPECT_EQ(files.files.at("/keep/7.jpg"), "the user's own picture");
    EXPECT_EQ(files.files.at("/keep/7 (2).jpg"), "jpeg of 7");
    EXPECT_FALSE(files.Exists("/keep/8 (2).jpg"));
    EXPECT_EQ(archive.Lookup(photos, 8).Kept->Path, "/keep/8.jpg");
    EXPECT_EQ(reports[0].Progress.Kept, 1);
    EXPECT_EQ(reports[0].Progress.KeptBefore, 1);
    EXPECT_EQ(PhotoFiles().size(), 3u);
}

TEST_F(Range, AFullDiskStopsTheRunWithNothingHalfWrittenLeft) {
    keeper.Start(Order(1, 20));
    Answer(1, Picture(1));
    files.placeFails = PlaceResult::DiskFull;
    const KeepAnswer second = Picture(2);
    Answer(2, second);
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].End, RangeEnd::DiskFull);
    EXPECT_EQ(reports[0].Progress.Kept, 1);
    EXPECT_FALSE(files.Exists(second.TempFile));
    // The fetches under way were called off; their files go with them.
    EXPECT_EQ(fetches.cancelled.size(), 5u);
    EXPECT_TRUE(fetches.fetches.empty());
    EXPECT_TRUE(archive.Lookup(photos, 1).Kept);
    const std::string text = RangeReportText(reports[0], texts::English);
    EXPECT_NE(text.find("The disk is full (No space left on device)"), std::string::npos);
    EXPECT_NE(text.find("1 kept"), std::string::npos);
    EXPECT_NE(text.find("recorded"), std::string::npos);

    // A failure while writing the temporary file ends it the same way.
    reports.clear();
    files.placeFails.reset();
    keeper.Start(Order(1, 3, false));
    Answer(1, {.HttpStatus = 200, .Failure = KeepFailure::FolderGone, .Detail = "gone"});
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].End, RangeEnd::FolderGone);
}

TEST_F(Range, ASiteThatCannotBeReachedEndsTheRun) {
    keeper.Start(Order(1, 100));
    for (int i = 1; i <= RangeKeeper::UnreachableLimit; ++i) {
        ASSERT_TRUE(reports.empty());
        Answer(i, {.Failure = KeepFailure::NoConnection, .Detail = "Connection refused"});
    }
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].End, RangeEnd::SiteUnreachable);
    EXPECT_EQ(reports[0].Progress.Failed, RangeKeeper::UnreachableLimit);
}

TEST_F(Range, PauseResumeCancelAndTheQueue) {
    keeper.Start(Order(1, 20));
    keeper.Start(Order(50, 51));
    EXPECT_EQ(keeper.Progress()->Queued, 1u);
    keeper.Pause();
    Answer(1, Picture(1));
    // Those under way end; nothing new is asked while paused.
    EXPECT_EQ(Fetching(), (std::set<int32_t>{2, 3, 4, 5, 6}));
    clock.Advance(60'000);
    EXPECT_EQ(keeper.Progress()->Paused, true);
    EXPECT_EQ(RangeProgressText(*keeper.Progress(), texts::English),
              "Keeping 1-20: 1 of 20 (1 kept), paused, 1 more queued");
    keeper.Resume();
    EXPECT_EQ(Fetching().size(), 6u);
    keeper.Cancel();
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].End, RangeEnd::Cancelled);
    EXPECT_EQ(fetches.cancelled.size(), 6u);
    // The queued range follows, not mixed with the first.
    EXPECT_EQ(Fetching(), (std::set<int32_t>{50, 51}));
    EXPECT_EQ(keeper.Progress()->Order.From, 50);
}

TEST_F(Range, TheTimeLeftFollowsThePaceWithoutThePauses) {
    keeper.Start(Order(1, 12));
    EXPECT_FALSE(keeper.Progress()->LeftMs);
    clock.Advance(1000);
    Answer(1, Picture(1));
    Answer(2, Picture(2));
    keeper.Pause();
    clock.Advance(100'000);
    keeper.Resume();
    // Two photos a second: ten more take five seconds.
    EXPECT_EQ(keeper.Progress()->LeftMs, 5000);
    EXPECT_NE(RangeProgressText(*keeper.Progress(), texts::German).find("noch 0:05"),
              std::string::npos);
}

TEST_F(Range, TheLeastIntervalPacesTheRange) {
    settings.MinRequestInterval = 500;
    keeper.Start(Order(1, 3));
    EXPECT_EQ(Fetching(), std::set<int32_t>{1});
    clock.Advance(499);
    EXPECT_EQ(Fetching().size(), 1u);
    clock.Advance(1);
    EXPECT_EQ(Fetching().size(), 2u);
}

TEST_F(Range, KnownMissingPhotosAndAWholeKnownRangeEndAtOnce) {
    verdicts.NoteMissing(photos, 2);
    keeper.Start(Order(1, 2));
    EXPECT_EQ(Fetching(), std::set<int32_t>{1});
    Answer(1, Picture(1));
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0].Progress.Missing, 1);
    // Everything known already: the run ends without a request.
    keeper.Start(Order(1, 1));
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1].Progress.KeptBefore, 1);
    EXPECT_FALSE(keeper.Running());
}

}  // namespace
}  // namespace kpw
