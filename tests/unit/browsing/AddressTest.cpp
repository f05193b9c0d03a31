#include "NavigatorFixture.h"

namespace kpw {
namespace {

struct EntryCase {
    const char *Text, *Digits, *Remark;
};
class FavoriteEntryText : public ::testing::TestWithParam<EntryCase> {};

TEST_P(FavoriteEntryText, SplitsIntoIndexAndRemark) {
    EXPECT_EQ(LeadingDigits(GetParam().Text), GetParam().Digits);
    EXPECT_EQ(TextAfterLeadingDigits(GetParam().Text), GetParam().Remark);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, FavoriteEntryText,
    ::testing::Values(EntryCase{"12345   Tower at dusk", "12345", "Tower at dusk"},
                      EntryCase{"  123abc ", "123", "abc"}, EntryCase{"abc def", "", "abc def"},
                      EntryCase{"123", "123", ""}, EntryCase{"", "", ""},
                      EntryCase{"12\tx", "12", "x"}, EntryCase{"\t 7 \r\n", "7", ""}));

TEST(URLTemplateTable, TemplatesAreTheSettingsAndPrefixesDeriveFromThem) {
    Settings settings;
    URLTemplateTable table(settings);
    table[URLTemplateTable::TemplateURL30] = "http://edited/*";
    EXPECT_EQ(settings.TemplateURL30, "http://edited/*");
    settings.PhotoSize = 2;
    settings.TemplateURL20 = "no placeholder";
    table.RefreshURLTemplateTable();
    EXPECT_EQ(table[URLTemplateTable::PhotoTemplate], settings.TemplateURL12);
    EXPECT_EQ(table.ModePrefix(1), Host() + "/photos/small/");
    EXPECT_EQ(table.ModePrefix(2), "");
    EXPECT_EQ(table.ModePrefix(3), "http://edited/");
    // A size switch takes the prefix as it was last derived.
    settings.TemplateURL13 = "http://new/*";
    settings.PhotoSize = 3;
    table.SelectPhotoTemplate();
    EXPECT_EQ(table[URLTemplateTable::PhotoTemplate], "http://new/*");
    EXPECT_EQ(table.ModePrefix(1), Host() + "/photos/medium/");
    EXPECT_EQ(PutIndexIntoTemplate("http://h/*/x*", 42), "http://h/42/x*");
    EXPECT_EQ(PutIndexIntoTemplate("http://h/fixed", 42), "http://h/fixed");
}

struct AddressCase {
    int URLIndex, PhotoSize;
    bool Statistics;
    std::string Current, Next;
};
class AddressForms : public NavigatorTest, public ::testing::WithParamInterface<AddressCase> {};

TEST_P(AddressForms, FollowModeSizeAndView) {
    settings.URLIndex = GetParam().URLIndex;
    settings.PhotoSize = GetParam().PhotoSize;
    settings.PhotoIndex = settings.UserIndex = 42;
    navigator.StartUp();
    if (GetParam().Statistics) navigator.SpeedButtonShowStatisticsOnClick();
    navigator.BuildPageURLs();
    EXPECT_EQ(state().CurrentURL, GetParam().Current);
    EXPECT_EQ(navigator.Table()[URLTemplateTable::NextURL], GetParam().Next);
}

const std::string Static = std::string("http://") + PhotoSiteStaticHost;
INSTANTIATE_TEST_SUITE_P(
    EveryModeSizeAndView, AddressForms,
    ::testing::Values(AddressCase{1, 1, false, Host() + "/photos/thumbnail/42.jpg",
                                  Host() + "/photos/thumbnail/43.jpg"},
                      AddressCase{1, 2, false, Host() + "/photos/small/42.jpg",
                                  Host() + "/photos/small/43.jpg"},
                      AddressCase{1, 3, false, Photo(42), Photo(43)},
                      AddressCase{1, 4, false, Static + "/photos/original/42.jpg",
                                  Static + "/photos/original/43.jpg"},
                      AddressCase{2, 3, false, InfoPage(42), InfoPage(43)},
                      AddressCase{3, 3, false, UserPage(42), UserPage(43)},
                      AddressCase{1, 4, true, InfoPage(42) + "/stats", InfoPage(43) + "/stats"},
                      AddressCase{2, 1, true, InfoPage(42) + "/stats", InfoPage(43) + "/stats"},
                      AddressCase{3, 3, true, UserPage(42) + "/stats", UserPage(43) + "/stats"}));

struct PageIndexCase {
    std::string URL;
    int32_t Index;
};
class PageIndexFromURL : public NavigatorTest,
                         public ::testing::WithParamInterface<PageIndexCase> {};

// The index field shows 55.
TEST_P(PageIndexFromURL, ReadsTheDigitsAfterTheModePrefixOrFallsBackToTheField) {
    settings.PhotoIndex = 55;
    navigator.StartUp();
    EXPECT_EQ(navigator.GetPageIndexFromURL(GetParam().URL), GetParam().Index);
}

INSTANTIATE_TEST_SUITE_P(Addresses, PageIndexFromURL,
                         ::testing::Values(PageIndexCase{UserPage(12345) + "?show=all", 12345},
                                           PageIndexCase{"HTTP://WWW.KELVARO.EXAMPLE/PHOTO/9/stats",
                                                         9},
                                           PageIndexCase{Host() + "/photo/007", 7},
                                           PageIndexCase{Host() + "/photo/2147483647", 2147483647},
                                           PageIndexCase{Host() + "/photo/0", 55},
                                           PageIndexCase{Host() + "/photo/2147483648", 55},
                                           PageIndexCase{Host() + "/photo/x12", 55},
                                           PageIndexCase{"http://elsewhere.example/photo/5", 55},
                                           PageIndexCase{"", 55}));

TEST_F(NavigatorTest, URLIndexOfAnAddressIsTheFirstMatchingMode) {
    settings.URLIndex = 3;
    navigator.StartUp();
    EXPECT_EQ(navigator.GetURLIndexFromURL("hTTp://www.KELVARO.example/photo/1", false), 2);
    EXPECT_EQ(navigator.GetURLIndexFromURL("http://elsewhere/", false), 0);
    EXPECT_EQ(navigator.GetURLIndexFromURL("http://elsewhere/", true), 3);
    // An empty prefix matches every address that an earlier mode does not.
    settings.TemplateURL20 = "no placeholder";
    navigator.ApplyConfirmedSettings();
    EXPECT_EQ(navigator.GetURLIndexFromURL(UserPage(4), false), 2);
    EXPECT_EQ(navigator.GetURLIndexFromURL(Photo(4), false), 1);
}

}  // namespace
}  // namespace kpw
