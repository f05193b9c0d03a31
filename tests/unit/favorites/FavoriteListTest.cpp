#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "favorites/FavoriteEntry.h"
#include "favorites/FavoriteList.h"

namespace kpw {
namespace {

struct BoundCase {
    const char* Name;
    int Count;        // entries "1".."Count", top first
    int MaxCount;     //
    const char* Key;  // "1" exists, "99" is new
    int ExpectedCount;
    const char* ExpectedBottom;
};

class FavoriteListBound : public ::testing::TestWithParam<BoundCase> {};

TEST_P(FavoriteListBound, PutsEntryOnTopWithinBound) {
    const BoundCase& c = GetParam();
    FavoriteList list;
    for (int i = 1; i <= c.Count; ++i) list.Entries().push_back(std::to_string(i));
    list.AddOrUpdate(c.Key, MakeFavoriteEntry(c.Key, "new"), c.MaxCount);
    ASSERT_EQ(list.Count(), c.ExpectedCount);
    EXPECT_EQ(list.At(0), MakeFavoriteEntry(c.Key, "new"));
    EXPECT_EQ(list.Entries().back(), c.ExpectedBottom);
    EXPECT_EQ(list.Find(c.Key), 0);  // an update leaves no second entry
    EXPECT_EQ(list.Selected(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, FavoriteListBound,
    ::testing::Values(BoundCase{"UpdateOnFullListKeepsLength", 16, 16, "1", 16, "16"},
                      BoundCase{"NewOnFullListDropsBottom", 16, 16, "99", 16, "15"},
                      BoundCase{"NewBelowBoundGrows", 3, 16, "99", 4, "3"},
                      BoundCase{"LoweredBoundShrinksOnNewIndex", 20, 8, "99", 8, "7"},
                      BoundCase{"LoweredBoundKeptOnUpdate", 20, 8, "1", 20, "20"},
                      BoundCase{"BoundBelowOneKeepsNewEntry", 5, 0, "99", 1, "99   new"}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(FavoriteList, FindComparesIndexTextsExactlyAndTakesTheFirst) {
    FavoriteList list;
    list.Entries() = {"0123   zero", "  123   trimmed", "123\tsecond", "note 123", "12345"};
    EXPECT_EQ(list.Find("123"), 1);
    EXPECT_EQ(list.Find("0123"), 0);
    EXPECT_EQ(list.Find("12"), std::nullopt);
}

TEST(FavoriteList, InsertPutsTheEntryAtItsPlaceAndTheSelectionStaysOnItsEntry) {
    FavoriteList list;
    list.Entries() = {"1", "2", "3"};
    list.Select(1);
    list.Insert(1, "9");
    EXPECT_EQ(list.Entries(), (std::vector<FavoriteEntry>{"1", "9", "2", "3"}));
    EXPECT_EQ(list.At(list.Selected()), "2");
    list.Insert(4, "last");
    list.Insert(99, "beyond");
    list.Insert(-1, "first");
    EXPECT_EQ(list.Entries(),
              (std::vector<FavoriteEntry>{"first", "1", "9", "2", "3", "last", "beyond"}));
    EXPECT_EQ(list.At(list.Selected()), "2");
    FavoriteList empty;
    empty.Insert(0, "only");
    EXPECT_EQ(empty.Selected(), FavoriteList::NoSelection);
    EXPECT_EQ(empty.Count(), 1);
}

TEST(FavoriteList, SelectionOutsideReplacedEntriesIsNone) {
    FavoriteList list;
    list.Entries() = {"1", "2", "3"};
    list.Select(2);
    list.Entries() = {"7   loaded"};  // as the settings store fills it
    EXPECT_EQ(list.Selected(), FavoriteList::NoSelection);
}

TEST(FavoriteEntry, RemarkIsTrimmedOnOneLineAndLimitedInCharacters) {
    EXPECT_EQ(CleanRemark(" \t Tower\r\nat dusk \x01\r\n"), "Tower  at dusk");
    std::string euros;
    for (int i = 0; i < 300; ++i) euros += "\xE2\x82\xAC";
    EXPECT_EQ(CleanRemark(euros), euros.substr(0, 255 * 3));
    EXPECT_EQ(CleanRemark(std::string(255, 'a') + "\xC3\xBC"), std::string(255, 'a'));
    // A character cut short by a byte limit upstream is dropped whole.
    EXPECT_EQ(CleanRemark("Gr\xC3\xBC\xE2\x82"), "Gr\xC3\xBC");
}

}  // namespace
}  // namespace kpw
