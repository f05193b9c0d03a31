// What both archives promise: notes come back as noted, searches for the
// next index stop where they should. Run against the SQLite file and the
// one in memory, so the fake other modules test with keeps the same rules.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>

#include "TempFolder.h"
#include "archive/MemoryArchive.h"
#include "archive/SqliteArchive.h"

namespace kpw {
namespace {

using testing::TempFolder;

const std::string Photos = "https://static.kelvaro.example/photos/*.jpg";
const std::string Users = "https://www.kelvaro.example/user/*";
constexpr int32_t Max = std::numeric_limits<int32_t>::max();

struct Maker {
    const char* Name;
    std::function<std::unique_ptr<PhotoArchive>(const TempFolder&)> Make;
};

class PhotoArchiveTest : public ::testing::TestWithParam<Maker> {
protected:
    void SetUp() override {
        archive_ = GetParam().Make(folder_);
        ASSERT_TRUE(archive_);
    }
    TempFolder folder_;
    std::unique_ptr<PhotoArchive> archive_;
};

TEST_P(PhotoArchiveTest, NotesComeBackPerTemplateAndIndexWithTheLatestOfEachKind) {
    PhotoArchive& a = *archive_;
    const KeptFile first{"/photos/00012.jpg", 1000, std::string(64, 'a'), 500};
    const KeptFile again{"/photos/00012 (2).jpg", 2000, std::string(64, 'b'), 600};
    EXPECT_TRUE(a.NoteSeen(Photos, 12, 100));
    EXPECT_TRUE(a.NoteSeen(Photos, 12, 300));
    EXPECT_TRUE(a.NoteKept(Photos, 12, first));
    EXPECT_TRUE(a.NoteKept(Photos, 12, again));
    EXPECT_TRUE(a.NoteMissing(Photos, 12, MissingHow::Placeholder, 700));
    EXPECT_TRUE(a.NoteMissing(Users, 12, MissingHow::Words, 800));
    EXPECT_TRUE(a.NoteSeen(Photos, -5, 900));
    EXPECT_TRUE(a.NoteSeen(Photos, Max, 901));

    EXPECT_EQ(a.Lookup(Photos, 12),
              (ArchiveEntry{12, 300, again, MissingNote{MissingHow::Placeholder, 700}}));
    EXPECT_EQ(a.Lookup(Users, 12), (ArchiveEntry{12, {}, {}, MissingNote{MissingHow::Words, 800}}));
    EXPECT_EQ(a.Lookup(Photos, -5).Seen, 900);
    EXPECT_EQ(a.Lookup(Photos, Max).Seen, 901);
    EXPECT_EQ(a.Lookup(Photos, 13), ArchiveEntry{13});
    EXPECT_EQ(a.Lookup("https://other.example/*", 12), ArchiveEntry{12});
}

TEST_P(PhotoArchiveTest, RangeGivesOneEntryPerIndexAndNothingBeyond) {
    PhotoArchive& a = *archive_;
    // Notes on both sides of the range and in it, some for another template.
    for (int32_t i = 99; i <= 140; i += 3) a.NoteSeen(Photos, i, 1000 + i);
    a.NoteKept(Photos, 100, KeptFile{"/k/100.jpg", 7, "ab", 5});
    a.NoteMissing(Photos, 139, MissingHow::Status, 6);
    a.NoteMissing(Photos, 140, MissingHow::Status, 6);
    a.NoteSeen(Users, 101, 1);

    const std::vector<ArchiveEntry> range = a.LookupRange(Photos, 100, 40);
    ASSERT_EQ(range.size(), 40u);
    for (int32_t k = 0; k < 40; ++k) {
        const int32_t index = 100 + k;
        SCOPED_TRACE(index);
        EXPECT_EQ(range[static_cast<size_t>(k)].Index, index);
        EXPECT_EQ(range[static_cast<size_t>(k)].Seen.has_value(), (index - 99) % 3 == 0);
    }
    EXPECT_EQ(range[0].Kept, (KeptFile{"/k/100.jpg", 7, "ab", 5}));
    EXPECT_EQ(range[39].Missing, (MissingNote{MissingHow::Status, 6}));
    EXPECT_FALSE(range[1].Seen);  // noted for the other template only

    // At the top of the indexes the range ends early; a silly count gives nothing.
    EXPECT_EQ(a.LookupRange(Photos, Max - 1, 40).size(), 2u);
    EXPECT_TRUE(a.LookupRange(Photos, 5, 0).empty());
    EXPECT_EQ(a.LookupRange(Photos, 0, Max).size(), size_t{PhotoArchive::MaxRange});
}

TEST_P(PhotoArchiveTest, NextNotSeenWalksEitherWayWithinItsLimit) {
    PhotoArchive& a = *archive_;
    for (int32_t i = 10; i <= 19; ++i) a.NoteSeen(Photos, i, 1);
    a.NoteSeen(Photos, 21, 1);

    EXPECT_EQ(a.NextNotSeen(Photos, 10, false, 100), 20);
    EXPECT_EQ(a.NextNotSeen(Photos, 19, true, 100), 9);
    EXPECT_EQ(a.NextNotSeen(Photos, 21, true, 100), 20);
    EXPECT_EQ(a.NextNotSeen(Photos, 5, false, 100), 5);
    // The limit counts the indexes looked at, from itself on.
    EXPECT_EQ(a.NextNotSeen(Photos, 10, false, 10), std::nullopt);
    EXPECT_EQ(a.NextNotSeen(Photos, 10, false, 11), 20);
    EXPECT_EQ(a.NextNotSeen(Photos, 19, true, 10), std::nullopt);
    EXPECT_EQ(a.NextNotSeen(Photos, 5, false, 0), std::nullopt);
    // Another template saw nothing yet.
    EXPECT_EQ(a.NextNotSeen(Users, 10, false, 1), 10);
    // No wrap at the ends of the indexes.
    a.NoteSeen(Photos, Max, 1);
    EXPECT_EQ(a.NextNotSeen(Photos, Max, false, 100), std::nullopt);
    EXPECT_EQ(a.NextNotSeen(Photos, Max, true, 100), Max - 1);
}

TEST_P(PhotoArchiveTest, NextNotSettledSkipsKeptAndMissingButNotSeen) {
    PhotoArchive& a = *archive_;
    a.NoteKept(Photos, 5, KeptFile{"/k/5.jpg", 1, "", 1});
    a.NoteMissing(Photos, 6, MissingHow::Status, 1);
    a.NoteKept(Photos, 7, KeptFile{"/k/7.jpg", 1, "", 1});
    a.NoteMissing(Photos, 7, MissingHow::Words, 2);
    a.NoteSeen(Photos, 8, 1);
    EXPECT_EQ(a.NextNotSettled(Photos, 5, false, 100), 8);
    EXPECT_EQ(a.NextNotSettled(Photos, 7, true, 100), 4);
    EXPECT_EQ(a.NextNotSettled(Photos, 5, false, 3), std::nullopt);
}

TEST_P(PhotoArchiveTest, NestedBatchesAreStoredByTheOutermostEnd) {
    PhotoArchive& a = *archive_;
    {
        ArchiveBatch outer(a);
        a.NoteSeen(Photos, 1, 1);
        ArchiveBatch inner(a);
        a.NoteSeen(Photos, 2, 1);
        EXPECT_TRUE(inner.Commit());
        EXPECT_TRUE(outer.Commit());
    }
    {
        ArchiveBatch leftWithoutCommit(a);
        a.NoteSeen(Photos, 3, 1);
    }
    EXPECT_EQ(a.NextNotSeen(Photos, 1, false, 10), 4);
    EXPECT_FALSE(a.EndBatch());  // none open
}

INSTANTIATE_TEST_SUITE_P(
    Archives, PhotoArchiveTest,
    ::testing::Values(Maker{"Sqlite",
                            [](const TempFolder& folder) -> std::unique_ptr<PhotoArchive> {
                                OpenResult opened =
                                    SqliteArchive::Open(folder.File("archive.sqlite"));
                                EXPECT_EQ(opened.Problem, ArchiveProblem::None) << opened.Detail;
                                return std::move(opened.Archive);
                            }},
                      Maker{"Memory",
                            [](const TempFolder&) -> std::unique_ptr<PhotoArchive> {
                                return std::make_unique<MemoryArchive>();
                            }}),
    [](const ::testing::TestParamInfo<Maker>& param) { return std::string(param.param.Name); });

TEST(MemoryArchiveTest, RefusedNoteDropsTheWholeBatch) {
    MemoryArchive a;
    a.NoteSeen(Photos, 1, 1);
    a.BeginBatch();
    EXPECT_TRUE(a.NoteSeen(Photos, 2, 1));
    a.RefuseNotes(true);
    EXPECT_FALSE(a.NoteSeen(Photos, 3, 1));
    a.RefuseNotes(false);
    EXPECT_FALSE(a.NoteSeen(Photos, 4, 1));
    EXPECT_FALSE(a.EndBatch());
    EXPECT_EQ(a.NextNotSeen(Photos, 1, false, 10), 2);
    EXPECT_TRUE(a.NoteSeen(Photos, 2, 1));
}

}  // namespace
}  // namespace kpw
