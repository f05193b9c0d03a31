#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <sstream>
#include <string>

#include "texts/FlagBitmaps.h"
#include "texts/SettingsFormTexts.h"
#include "texts/Texts.h"

namespace kpw::texts {
namespace {

size_t LineCount(const std::string& text) {
    return static_cast<size_t>(std::count(text.begin(), text.end(), '\r')) + 1;
}

TEST(SettingsFormTexts, TitleIsTheMainCaptionWithTheLanguagesSuffix) {
    EXPECT_EQ(SettingsFormTitle(MainCaption, English), " Kelvaro Photo Wizard - Settings");
    EXPECT_EQ(SettingsFormTitle(MainCaption, German), " Kelvaro Photo Wizard - Einstellungen");
    // The caption as it is at the moment, whatever it holds.
    EXPECT_EQ(SettingsFormTitle("X", German), "X - Einstellungen");
    EXPECT_EQ(SettingsFormTitle("X", 2), "X");
    EXPECT_EQ(SettingsFormTitle("X", -1), "X");
}

TEST(SettingsFormTexts, CaptionsInBothLanguages) {
    const SettingsFormTexts& t = SettingsForm;
    EXPECT_STREQ(t.LabelLanguage.En, "Language");
    EXPECT_STREQ(t.LabelLanguage.De, "Sprache");
    EXPECT_STREQ(t.LabelTemplateURL14.En, "URL for photos only, original size");
    EXPECT_STREQ(t.LabelTemplateURL14.De,
                 "URL f\xC3\xBCr Photos alleine, Originalgr\xC3\xB6\xC3\x9F"
                 "e");
    EXPECT_STREQ(t.LabelMaxSkippedURLCount.De,
                 "Max. Zahl zu \xC3\xBC"
                 "berspringender Photos");
    EXPECT_STREQ(t.LabelNavigateDelayTime.De, "Navigations-Verz\xC3\xB6gerungszeit");
    EXPECT_STREQ(t.CheckBoxInvertMouseWheel.En, "Reverse mouse wheel direction");
    EXPECT_STREQ(t.CheckBoxSaveSettings.De, "Einstellungen speichern");
    EXPECT_STREQ(t.ButtonOk.En, "OK");
    EXPECT_STREQ(t.ButtonOk.De, "OK");
    EXPECT_STREQ(t.ButtonCancel.De, "Abbrechen");
    EXPECT_STREQ(t.RestoreDefaultHint.De, "Default-Wert wiederherstellen");
}

struct HintCase {
    const char* Name;
    Text SettingsFormTexts::*Field;
    size_t EnglishLines;
    size_t GermanLines;
};

class SettingsFormHints : public ::testing::TestWithParam<HintCase> {};

TEST_P(SettingsFormHints, BreakIntoTheirLinesBySingleCRs) {
    for (int language : {English, German}) {
        const std::string hint = (SettingsForm.*(GetParam().Field)).In(language);
        const size_t expected =
            language == English ? GetParam().EnglishLines : GetParam().GermanLines;
        EXPECT_EQ(LineCount(hint), expected) << GetParam().Name << " language " << language;
        EXPECT_EQ(hint.find('\n'), std::string::npos);
        EXPECT_EQ(hint.find("\r\r"), std::string::npos);
        EXPECT_EQ(hint.find(" \r"), std::string::npos);
        EXPECT_EQ(hint.find("\r "), std::string::npos);
        EXPECT_NE(hint.back(), '\r');
    }
}

INSTANTIATE_TEST_SUITE_P(
    AllHints, SettingsFormHints,
    ::testing::Values(HintCase{"Template11", &SettingsFormTexts::EditTemplateURL11Hint, 3, 3},
                      HintCase{"Template12", &SettingsFormTexts::EditTemplateURL12Hint, 3, 3},
                      HintCase{"Template13", &SettingsFormTexts::EditTemplateURL13Hint, 3, 3},
                      HintCase{"Template14", &SettingsFormTexts::EditTemplateURL14Hint, 3, 3},
                      HintCase{"Template20", &SettingsFormTexts::EditTemplateURL20Hint, 2, 2},
                      HintCase{"Template30", &SettingsFormTexts::EditTemplateURL30Hint, 2, 2},
                      HintCase{"Restore", &SettingsFormTexts::RestoreDefaultHint, 1, 1},
                      HintCase{"Skipped", &SettingsFormTexts::SpinEditMaxSkippedURLCountHint, 2, 2},
                      HintCase{"Delay", &SettingsFormTexts::SpinEditNavigateDelayTimeHint, 2, 3},
                      HintCase{"Favorites", &SettingsFormTexts::SpinEditMaxFavoriteCountHint, 1, 2},
                      HintCase{"Verbose", &SettingsFormTexts::CheckBoxWebBrowserVerboseHint, 2, 2}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(SettingsFormHints, BreakWhereTheWordsSplit) {
    const SettingsFormTexts& t = SettingsForm;
    EXPECT_STREQ(t.SpinEditMaxSkippedURLCountHint.En,
                 "Maximum number of non-existent\rphotos to be skipped automatically");
    EXPECT_STREQ(t.SpinEditMaxSkippedURLCountHint.De,
                 "Maximalzahl der automatisch zu \xC3\xBC"
                 "ber-\r"
                 "springenden nicht existenten Photos");
    EXPECT_STREQ(t.SpinEditMaxFavoriteCountHint.De,
                 "Maximale Anzahl von Ein-\rtr\xC3\xA4gen in der Favoriten-Liste");
    EXPECT_STREQ(t.CheckBoxWebBrowserVerboseHint.De,
                 "Web-Browser-Dialoge beim Auf-\rtreten von Script-Fehlern anzeigen");
}

TEST(MainFormTexts, CaptionsKeepTheirLeadingSpaceInBothLanguages) {
    EXPECT_STREQ(MainCaption, " Kelvaro Photo Wizard");
    EXPECT_STREQ(ApplicationTitle, " Kelvaro Wizard");
}

TEST(MainFormTexts, SpotChecksInBothLanguages) {
    EXPECT_STREQ(MainForm.AutoSkip.En, "Auto skip non-existent photos");
    EXPECT_STREQ(MainForm.AutoSkip.De,
                 "Nicht existierende Photos\rautomatisch \xC3\xBC"
                 "berspringen");
    EXPECT_STREQ(MainForm.PhotoSize4.De,
                 "Originalgr\xC3\xB6\xC3\x9F"
                 "e");
    EXPECT_STREQ(IndexLabels[2].En, "Photo index");
    EXPECT_STREQ(LanguageNames.En, "English");
    EXPECT_STREQ(LanguageNames.De, "Deutsch");
}

TEST(HelpFileName, IsTheProgramFolderAndTheLanguagesStem) {
    EXPECT_EQ(HelpFileName("/opt/kpw/", English), "/opt/kpw/English.HLP");
    EXPECT_EQ(HelpFileName("/opt/kpw/", German), "/opt/kpw/German.HLP");
    EXPECT_EQ(HelpFileName("C:\\Tools\\", English), "C:\\Tools\\English.HLP");
}

// The flags are read by an image loader that gives up silently on malformed
// data, so their form is checked here.
TEST(FlagBitmaps, AreWellFormedSixteenBySixteenPicturesWithASilverCorner) {
    for (int language : {English, German}) {
        const char* const* xpm = FlagBitmap(language);
        ASSERT_NE(xpm, nullptr);
        std::istringstream header(xpm[0]);
        int width = 0, height = 0, colours = 0, charsPerPixel = 0;
        header >> width >> height >> colours >> charsPerPixel;
        ASSERT_EQ(width, FlagBitmapWidth);
        ASSERT_EQ(height, FlagBitmapHeight);
        ASSERT_EQ(charsPerPixel, 1);
        ASSERT_LE(colours, 16);

        std::set<char> defined;
        char silver = 0;
        for (int i = 1; i <= colours; ++i) {
            const std::string line = xpm[i];
            defined.insert(line[0]);
            if (line.find("#C0C0C0") != std::string::npos) silver = line[0];
        }
        for (int row = 0; row < height; ++row) {
            const std::string pixels = xpm[1 + colours + row];
            ASSERT_EQ(pixels.size(), static_cast<size_t>(width)) << "row " << row;
            for (char c : pixels) EXPECT_TRUE(defined.count(c)) << "row " << row;
        }
        EXPECT_EQ(xpm[colours + height][0], silver) << "bottom-left pixel";
    }
    EXPECT_EQ(FlagBitmap(2), nullptr);
}

}  // namespace
}  // namespace kpw::texts
