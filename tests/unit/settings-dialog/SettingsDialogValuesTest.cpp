#include <gtest/gtest.h>

#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>

#include "settings/SettingsDialogValues.h"
#include "texts/Text.h"

namespace kpw {
namespace {

Settings SomeSettings() {
    Settings s;
    s.Language = 1;
    s.TemplateURL11 = "a*";
    s.TemplateURL12 = "b*";
    s.TemplateURL13 = "c*";
    s.TemplateURL14 = "d*";
    s.TemplateURL20 = "e*";
    s.TemplateURL30 = "f*";
    s.MaxSkippedURLCount = 250;
    s.NavigateDelayTime = 1500;
    s.MaxFavoriteCount = 20;
    s.WebBrowserVerbose = true;
    s.InvertMouseWheel = true;
    s.SaveSettings = false;
    return s;
}

TEST(SettingsDialogOpen, ShowsTheThirteenSettings) {
    SettingsDialogValues values;
    const SettingsDialogFields fields = values.Open(SomeSettings());
    EXPECT_EQ(fields.Language, 1);
    EXPECT_EQ(fields.Template(11), "a*");
    EXPECT_EQ(fields.Template(14), "d*");
    EXPECT_EQ(fields.Template(30), "f*");
    EXPECT_EQ(fields.MaxSkippedURLCount, "250");
    EXPECT_EQ(fields.NavigateDelayTime, "1500");
    EXPECT_EQ(fields.MaxFavoriteCount, "20");
    EXPECT_TRUE(fields.WebBrowserVerbose);
    EXPECT_TRUE(fields.InvertMouseWheel);
    EXPECT_FALSE(fields.SaveSettings);
}

TEST(SettingsDialogOpen, ShowsNumbersWithinBoundsButRemembersThemAsHandedIn) {
    Settings s;
    s.MaxSkippedURLCount = -5;
    s.NavigateDelayTime = 9000;
    s.MaxFavoriteCount = 3;
    SettingsDialogValues values;
    const SettingsDialogFields fields = values.Open(s);
    EXPECT_EQ(fields.MaxSkippedURLCount, "0");
    EXPECT_EQ(fields.NavigateDelayTime, "5000");
    EXPECT_EQ(fields.MaxFavoriteCount, "8");
    EXPECT_EQ(values.ValueAtOpen(MaxSkippedURLCountTag), -5);
    EXPECT_EQ(values.ValueAtOpen(NavigateDelayTimeTag), 9000);
    EXPECT_EQ(values.ValueAtOpen(MaxFavoriteCountTag), 3);
}

struct ExitCase {
    int Tag;
    std::string Typed;
    bool Beep;
    std::string Shown;
};

class SpinFieldLeft : public ::testing::TestWithParam<ExitCase> {};

TEST_P(SpinFieldLeft, BeepsOnlyForNonIntegersAndShowsABoundedNumber) {
    SettingsDialogValues values;
    values.Open(SomeSettings());  // at open: 250, 1500, 20
    const SpinFieldExit exit = values.SpinEditExit(GetParam().Tag, GetParam().Typed);
    EXPECT_EQ(exit.Beep, GetParam().Beep);
    EXPECT_EQ(exit.Text, GetParam().Shown);
}

INSTANTIATE_TEST_SUITE_P(RestoreAndBounds, SpinFieldLeft,
                         ::testing::Values(
                             // Not an integer: the value at open comes back.
                             ExitCase{MaxSkippedURLCountTag, "", true, "250"},
                             ExitCase{NavigateDelayTimeTag, "abc", true, "1500"},
                             ExitCase{MaxFavoriteCountTag, "12 ", true, "20"},
                             ExitCase{NavigateDelayTimeTag, "99999999999", true, "1500"},
                             // Integers are brought into bounds without a beep.
                             ExitCase{NavigateDelayTimeTag, "7000", false, "5000"},
                             ExitCase{NavigateDelayTimeTag, "50", false, "100"},
                             ExitCase{MaxFavoriteCountTag, "3", false, "8"},
                             ExitCase{MaxFavoriteCountTag, "65", false, "64"},
                             ExitCase{MaxSkippedURLCountTag, "-1", false, "0"},
                             ExitCase{MaxSkippedURLCountTag, "1001", false, "1000"},
                             // Within bounds the field shows the number in plain decimal.
                             ExitCase{NavigateDelayTimeTag, "$100", false, "256"},
                             ExitCase{MaxSkippedURLCountTag, "  +42", false, "42"},
                             ExitCase{MaxSkippedURLCountTag, "0", false, "0"}));

TEST(SpinFieldLeft, RestoredValueAtOpenIsBroughtIntoBounds) {
    Settings s;
    s.NavigateDelayTime = 20;
    SettingsDialogValues values;
    values.Open(s);
    const SpinFieldExit exit = values.SpinEditExit(NavigateDelayTimeTag, "x");
    EXPECT_TRUE(exit.Beep);
    EXPECT_EQ(exit.Text, "100");
}

TEST(SpinFieldLeft, ValuesAtOpenFollowTheLatestOpening) {
    SettingsDialogValues values;
    values.Open(SomeSettings());
    Settings later;
    later.NavigateDelayTime = 3000;
    values.Open(later);
    EXPECT_EQ(values.SpinEditExit(NavigateDelayTimeTag, "").Text, "3000");
}

TEST(SettingsDialogReadBack, WritesTheFieldsAsTypedAndBoundsTheNumbers) {
    Settings s;
    SettingsDialogValues values;
    SettingsDialogFields fields = values.Open(s);
    fields.Language = 1;
    fields.Template(11) = " spaced *  ";
    fields.Template(12) = "";
    fields.Template(13) = "no star";
    fields.Template(14) = "http://über.example/*";
    fields.Template(20) = "x*";
    fields.Template(30) = "y*";
    fields.MaxSkippedURLCount = "";     // not an integer: the lower bound
    fields.NavigateDelayTime = "7000";  // above: the upper bound
    fields.MaxFavoriteCount = "0x20";
    fields.WebBrowserVerbose = true;
    fields.InvertMouseWheel = true;
    fields.SaveSettings = false;

    SettingsDialogValues::ReadBack(fields, s);

    EXPECT_EQ(s.Language, 1);
    EXPECT_EQ(s.TemplateURL11, " spaced *  ");
    EXPECT_EQ(s.TemplateURL12, "");
    EXPECT_EQ(s.TemplateURL13, "no star");
    EXPECT_EQ(s.TemplateURL14, "http://über.example/*");
    EXPECT_EQ(s.TemplateURL20, "x*");
    EXPECT_EQ(s.TemplateURL30, "y*");
    EXPECT_EQ(s.MaxSkippedURLCount, 0);
    EXPECT_EQ(s.NavigateDelayTime, 5000);
    EXPECT_EQ(s.MaxFavoriteCount, 32);
    EXPECT_TRUE(s.WebBrowserVerbose);
    EXPECT_TRUE(s.InvertMouseWheel);
    EXPECT_FALSE(s.SaveSettings);
}

TEST(SettingsDialogReadBack, NonIntegerTextGivesEachFieldsLowerBound) {
    Settings s;
    SettingsDialogValues values;
    SettingsDialogFields fields = values.Open(SomeSettings());
    fields.MaxSkippedURLCount = "abc";
    fields.NavigateDelayTime = "";
    fields.MaxFavoriteCount = "$";
    SettingsDialogValues::ReadBack(fields, s);
    EXPECT_EQ(s.MaxSkippedURLCount, 0);
    EXPECT_EQ(s.NavigateDelayTime, 100);
    EXPECT_EQ(s.MaxFavoriteCount, 8);
}

TEST(SettingsDialogReadBack, LeavesEveryOtherSettingAlone) {
    Settings s;
    s.WindowState = 2;
    s.Left = -3;
    s.Width = 800;
    s.AutoSkipURL = false;
    s.URLIndex = 3;
    s.PhotoSize = 1;
    s.PhotoIndex = 123;
    s.UserIndex = 456;
    const Settings before = s;
    SettingsDialogValues values;
    SettingsDialogValues::ReadBack(values.Open(SomeSettings()), s);

    auto others = [](const Settings& x) {
        return std::make_tuple(x.WindowState, x.Left, x.Top, x.Width, x.Height, x.AutoSkipURL,
                               x.URLIndex, x.PhotoSize, x.PhotoIndex, x.UserIndex);
    };
    EXPECT_EQ(others(s), others(before));
    EXPECT_EQ(s.TemplateURL30, "f*");
}

TEST(SettingsDialogMoreOptions, NumbersComeFromTheTableAndGoBackBounded) {
    const int tag = SettingNamed("MinRequestInterval").Dialog.Tag;
    Settings s;
    s.MinRequestInterval = 20000;  // beyond the bounds, as a hand-edited file may hold
    SettingsDialogValues values;
    SettingsDialogFields fields = values.Open(s);
    EXPECT_EQ(fields.MoreNumber(tag), "10000");
    EXPECT_EQ(values.ValueAtOpen(tag), 20000);
    EXPECT_EQ(values.SpinEditExit(tag, "junk").Text, "10000");
    EXPECT_THROW(fields.MoreNumber(MaxFavoriteCountTag), std::out_of_range);

    fields.MoreNumber(tag) = "-4";
    SettingsDialogValues::ReadBack(fields, s);
    EXPECT_EQ(s.MinRequestInterval, 0);
    fields.MoreNumber(tag) = "750";
    SettingsDialogValues::ReadBack(fields, s);
    EXPECT_EQ(s.MinRequestInterval, 750);

    const int slideshow = SettingNamed("SlideshowInterval").Dialog.Tag;
    EXPECT_EQ(fields.MoreNumber(slideshow), "5");
    fields.MoreNumber(slideshow) = "4000";
    fields.SaveFolder = "/srv/Schöne Photos";
    SettingsDialogValues::ReadBack(fields, s);
    EXPECT_EQ(s.SlideshowInterval, 3600);
    EXPECT_EQ(s.SaveFolder, "/srv/Schöne Photos");
    EXPECT_EQ(values.Open(s).SaveFolder, "/srv/Schöne Photos");
}

// The group builds its rows from the table alone: a row given twice would put
// two fields on one spot, a row left without texts would show a blank field.
TEST(SettingsDialogMoreOptions, EachSettingHasACellOfItsOwnAndTextsInBothLanguages) {
    std::set<int> tags;
    std::set<std::pair<int, int>> cells;  // row, column (0 numbers, 1 switches)
    std::set<int> fullRows;               // texts span the group
    size_t more = 0;
    for (const SettingRow& row : SettingsTable) {
        if (row.Dialog.Tag != 0) {
            EXPECT_TRUE(tags.insert(row.Dialog.Tag).second) << row.Key;
        }
        const int place = row.Dialog.MoreOptionsRow;
        if (place < 0) continue;
        ++more;
        if (std::holds_alternative<std::string Settings::*>(row.Member)) {
            EXPECT_TRUE(fullRows.insert(place).second) << row.Key;
        } else {
            const int column = std::holds_alternative<bool Settings::*>(row.Member) ? 1 : 0;
            EXPECT_TRUE(cells.insert({place, column}).second) << row.Key;
        }
        for (int language : {texts::English, texts::German}) {
            EXPECT_FALSE(MoreOptionsLabel(row.Dialog.Tag, language).empty()) << row.Key;
            EXPECT_FALSE(MoreOptionsHint(row.Dialog.Tag, language).empty()) << row.Key;
        }
    }
    for (const auto& [place, column] : cells) EXPECT_FALSE(fullRows.contains(place)) << place;
    EXPECT_EQ(more, MoreNumberTags.size() + MoreSwitchTags.size() + 1);
    EXPECT_EQ(MoreOptionsLabel(MaxFavoriteCountTag, texts::English), "");
    EXPECT_EQ(MoreOptionsHint(999, texts::German), "");
}

TEST(SettingsDialogMoreOptions, HintsShowTheBoundsOfTheirSetting) {
    for (int tag : MoreNumberTags) {
        const IntegerBounds bounds = *SpinFieldBounds(tag);
        const std::string raw = SettingWithTag(tag)->Dialog.Hint.En;
        for (int language : {texts::English, texts::German}) {
            const std::string hint = MoreOptionsHint(tag, language);
            EXPECT_EQ(hint.find("%1"), std::string::npos) << hint;
            EXPECT_EQ(hint.find("%2"), std::string::npos) << hint;
            if (raw.find("%2") == std::string::npos) continue;
            EXPECT_NE(hint.find("(" + std::to_string(bounds.Low) + " "), std::string::npos) << hint;
            EXPECT_NE(hint.find(" " + std::to_string(bounds.High) + ")"), std::string::npos)
                << hint;
        }
    }
    EXPECT_EQ(MoreOptionsHint(SettingNamed("MinRequestInterval").Dialog.Tag, texts::English),
              "Least time in ms between two requests that\r"
              "the program starts by itself (skipping missing\r"
              "photos, preloading); 0 sends them at once");
}

TEST(SpinFieldStepping, StaysWithinBoundsAndStartsFromTheLowerBoundForJunk) {
    EXPECT_EQ(SpinFieldStep("1000", 1, NavigateDelayTimeBounds), 1001);
    EXPECT_EQ(SpinFieldStep("5000", 1, NavigateDelayTimeBounds), 5000);
    EXPECT_EQ(SpinFieldStep("100", -1, NavigateDelayTimeBounds), 100);
    EXPECT_EQ(SpinFieldStep("abc", 1, MaxFavoriteCountBounds), 9);
    EXPECT_EQ(SpinFieldStep("7000", -1, NavigateDelayTimeBounds), 4999);
    EXPECT_EQ(SpinFieldStep("0", INT32_MIN, MaxSkippedURLCountBounds), 0);
}

TEST(SettingsDialogMoreOptions, PreloadDepthAndTheSwitchOpenAndGoBack) {
    const int depth = SettingNamed("PreloadDepth").Dialog.Tag;
    const int skip = SettingNamed("SkipKnownMissing").Dialog.Tag;
    const IntegerBounds bounds = BoundsOf("PreloadDepth");
    Settings s;
    s.PreloadDepth = bounds.High + 24;
    s.SkipKnownMissing = false;
    SettingsDialogValues values;
    SettingsDialogFields fields = values.Open(s);
    EXPECT_EQ(fields.MoreNumber(depth), std::to_string(bounds.High));
    EXPECT_FALSE(fields.MoreSwitch(skip));
    EXPECT_EQ(values.SpinEditExit(depth, "0").Text, std::to_string(bounds.Low));
    EXPECT_THROW(fields.MoreSwitch(depth), std::out_of_range);

    fields.MoreNumber(depth) = "2147483647";
    fields.MoreSwitch(skip) = true;
    SettingsDialogValues::ReadBack(fields, s);
    EXPECT_EQ(s.PreloadDepth, bounds.High);
    EXPECT_TRUE(s.SkipKnownMissing);
}

TEST(SettingsDialogRestoreMoreDefaults, PutsEveryMoreOptionsDefaultAndLeavesTheRestAlone) {
    // Every field of the group away from its default first.
    Settings changed = SomeSettings();
    changed.MinRequestInterval = 700;
    changed.PreloadDepth = 9;
    changed.MissingTextWaitMs = 2000;
    changed.SlideshowInterval = 60;
    changed.SkipKnownMissing = false;
    changed.MissingByStatus = false;
    changed.MissingByPlaceholder = false;
    changed.SaveFolder = "/somewhere/else";
    SettingsDialogValues values;
    SettingsDialogFields fields = values.Open(changed);
    const SettingsDialogFields before = fields;

    SettingsDialogValues::RestoreMoreOptionsDefaults(fields);
    const SettingsDialogFields defaults = SettingsDialogValues().Open(Settings{});
    EXPECT_EQ(fields.MoreNumbers, defaults.MoreNumbers);
    EXPECT_EQ(fields.MoreSwitches, defaults.MoreSwitches);
    EXPECT_EQ(fields.SaveFolder, "");
    EXPECT_EQ(fields.MoreNumber(SettingNamed("PreloadDepth").Dialog.Tag), "4");
    // What OK reads back from them is the default record's.
    Settings readBack = changed;
    SettingsDialogValues::ReadBack(fields, readBack);
    EXPECT_EQ(readBack.MinRequestInterval, Settings{}.MinRequestInterval);
    EXPECT_EQ(readBack.SlideshowInterval, Settings{}.SlideshowInterval);
    EXPECT_TRUE(readBack.MissingByPlaceholder);
    // The fields above the group keep what they showed.
    EXPECT_EQ(fields.Language, before.Language);
    EXPECT_EQ(fields.Templates, before.Templates);
    EXPECT_EQ(fields.MaxSkippedURLCount, before.MaxSkippedURLCount);
    EXPECT_EQ(fields.NavigateDelayTime, before.NavigateDelayTime);
    EXPECT_EQ(fields.MaxFavoriteCount, before.MaxFavoriteCount);
    EXPECT_EQ(fields.SaveSettings, before.SaveSettings);
}

TEST(SettingsDialogUnits, TimeFieldsNameTheirUnitAndCountsNone) {
    EXPECT_EQ(SettingNamed("NavigateDelayTime").Dialog.Unit, "ms");
    EXPECT_EQ(SettingNamed("MinRequestInterval").Dialog.Unit, "ms");
    EXPECT_EQ(SettingNamed("MissingTextWaitMs").Dialog.Unit, "ms");
    EXPECT_EQ(SettingNamed("SlideshowInterval").Dialog.Unit, "s");
    for (const char* count : {"MaxSkippedURLCount", "MaxFavoriteCount", "PreloadDepth"})
        EXPECT_TRUE(SettingNamed(count).Dialog.Unit.empty()) << count;
    // A unit only beside a number field.
    for (const SettingRow& row : SettingsTable) {
        if (!row.Dialog.Unit.empty()) {
            EXPECT_TRUE(SpinFieldBounds(row.Dialog.Tag) != nullptr) << row.Key;
        }
    }
}

struct HiddenCase {
    const char* Name;
    const char* Typed;
    FavoriteListLengths Lengths;
    FavoriteListLengths Hidden;
};

class FavoritesHidden : public ::testing::TestWithParam<HiddenCase> {};

TEST_P(FavoritesHidden, AreTheEntriesPastTheBoundAsOkReadsIt) {
    EXPECT_EQ(FavoritesHiddenBy(GetParam().Typed, GetParam().Lengths), GetParam().Hidden);
}

INSTANTIATE_TEST_SUITE_P(
    Bounds, FavoritesHidden,
    ::testing::Values(HiddenCase{"BothListsLonger", "16", {20, 18}, {4, 2}},
                      HiddenCase{"OneListLonger", "16", {20, 16}, {4, 0}},
                      HiddenCase{"NoneLonger", "16", {16, 3}, {0, 0}},
                      HiddenCase{"RaisedBound", "64", {20, 20}, {0, 0}},
                      // Read as OK reads it: into the bounds 8..64, hexadecimal too.
                      HiddenCase{"BelowTheLowerBound", "2", {12, 0}, {4, 0}},
                      HiddenCase{"NoInteger", "many", {12, 9}, {4, 1}},
                      HiddenCase{"Hexadecimal", "$A", {12, 0}, {2, 0}},
                      HiddenCase{"EmptyLists", "8", {0, 0}, {0, 0}}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(FavoritesHiddenQuestion, NamesHowManyOfWhichListAndThatARaiseBringsThemBack) {
    EXPECT_EQ(FavoritesHiddenQuestion({0, 0}, "16", texts::English), "");
    const std::string both = FavoritesHiddenQuestion({4, 1}, "16", texts::English);
    EXPECT_EQ(both,
              "With a max favorite count of 16, the lists no longer show the last 4 favorite "
              "photos and the last favorite user from the next start on. These entries stay in "
              "the settings file and come back once the count is raised.\r\rKeep the new count "
              "anyway?");
    EXPECT_NE(FavoritesHiddenQuestion({0, 3}, "8", texts::English)
                  .find("count of 8, the lists no longer show the last 3 favorite users from"),
              std::string::npos);
    const std::string german = FavoritesHiddenQuestion({1, 2}, "$10", texts::German);
    EXPECT_NE(german.find("Favoriten-Anzahl von 16 zeigen die Listen ab dem nächsten Start das "
                          "letzte Favoriten-Photo und die letzten 2 Favoriten-User nicht mehr an"),
              std::string::npos)
        << german;
    EXPECT_NE(
        FavoritesHiddenQuestion({0, 1}, "8", texts::German).find("den letzten Favoriten-User"),
        std::string::npos);
}

}  // namespace
}  // namespace kpw
