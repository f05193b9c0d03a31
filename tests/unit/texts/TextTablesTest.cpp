#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "texts/SettingsFormTexts.h"
#include "texts/Text.h"
#include "texts/Texts.h"

namespace kpw::texts {
namespace {

// Every Text of the tables is made in a constant expression, where a pair
// that TextPairFault rejects stops the build; these cases pin down what it
// rejects.
struct PairCase {
    const char* Name;
    const char* En;
    const char* De;
    bool Sound;
};

class TextPairs : public ::testing::TestWithParam<PairCase> {};

TEST_P(TextPairs, RejectsWhatCannotBeShownAlike) {
    const PairCase& pair = GetParam();
    const char* fault = TextPairFault(pair.En, pair.De);
    EXPECT_EQ(fault == nullptr, pair.Sound) << (fault ? fault : "no fault");
}

INSTANTIATE_TEST_SUITE_P(
    Pairs, TextPairs,
    ::testing::Values(
        PairCase{"SamePlaceholder", "Loading %1", "Lade %1", true},
        PairCase{"PercentSignBesidePlaceholder", "Loading %1 (%2%)", "Lade %1 (%2 %)", true},
        PairCase{"PlaceholdersInAnotherOrder", "%1 of %2", "%2 von %1", true},
        PairCase{"UnusedSlot", "", "", true}, PairCase{"OkIsGermanToo", "OK", "OK", true},
        PairCase{"CarriageReturnBreaksLines", "a\rb", "c\rd", true},
        PairCase{"GermanLacksPlaceholder", "Loading %1", "Lade", false},
        PairCase{"GermanHasAnotherPlaceholder", "Saved as %1", "Gespeichert als %2", false},
        PairCase{"EnglishLacksPlaceholder", "Skipped (%1)", "%1 übersprungen (%2)", false},
        PairCase{"GermanMissing", "Help", "", false},
        PairCase{"EnglishMissing", "", "Hilfe", false},
        PairCase{"NoPointer", "Help", nullptr, false}, PairCase{"LineFeed", "a\nb", "c\rd", false},
        PairCase{"Untranslated", "Stop", "Stop", false}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(TextPairs, AreCheckedWheneverATextIsMade) {
    // Texts made at run time from what is not a constant throw instead.
    const auto make = [](const std::string& english, const std::string& german) {
        return Text{.En = english.c_str(), .De = german.c_str()};
    };
    EXPECT_ANY_THROW(make("Loading %1", "Lade"));
    EXPECT_NO_THROW(make("Loading %1", "Lade %1"));
}

TEST(Texts, AreLookedUpByNameAndThenLanguage) {
    EXPECT_STREQ(BrowserView.Loading.In(English), "Loading %1");
    EXPECT_STREQ(BrowserView.Loading.In(German), "Lade %1");
    EXPECT_STREQ(ContextMenu.Stop.In(German), "Anhalten");
    EXPECT_STREQ(Photo.SaveDialogTitle.In(German), "Photo speichern unter");
    EXPECT_STREQ(URLModeNames[3].In(German), "User-Seite");
    EXPECT_STREQ(SettingsForm.GroupMoreOptions.In(English), "More options");
    // Neighbours that once could be swapped unnoticed.
    EXPECT_STREQ(KnownMissing.SkippedOne.In(German), "1 fehlendes Photo übersprungen (%1)");
    EXPECT_STREQ(KnownMissing.SkippedMany.In(German), "%1 fehlende Photos übersprungen (%2–%3)");
    EXPECT_STREQ(SettingsFile.CannotRead.In(German),
                 "Die Einstellungsdatei \"%1\" kann nicht gelesen werden: %2");
    EXPECT_STREQ(SettingsFile.CannotWrite.In(German),
                 "Die Einstellungsdatei \"%1\" kann nicht geschrieben werden: %2");
}

TEST(Texts, StoredLanguageNumbersOtherThanGermanReadEnglish) {
    EXPECT_EQ(LanguageIndex(German), German);
    EXPECT_EQ(LanguageIndex(7), English);
    EXPECT_EQ(LanguageIndex(-1), English);
    EXPECT_FALSE(IsLanguage(2));
    EXPECT_TRUE(IsLanguage(German));
}

// The box shown to root before the engine starts: it must say why and
// name both ways out literally, as they are typed, in either language.
TEST(StartTexts, SandboxRefusalSaysWhyAndNamesBothWaysOutAsTyped) {
    for (int language : {English, German}) {
        const std::string text = Start.SandboxRefused.In(language);
        EXPECT_NE(text.find("root"), std::string::npos) << language;
        // Each way out is a line of its own, so it is never broken.
        EXPECT_NE(text.find("\rQTWEBENGINE_DISABLE_SANDBOX=1 kelvaro-photo-wizard\r"),
                  std::string::npos)
            << language;
        EXPECT_TRUE(text.ends_with("\rkelvaro-photo-wizard --no-sandbox")) << language;
        // Why, the normal way, the switch: three paragraphs.
        int breaks = 0;
        for (size_t at = text.find("\r\r"); at != std::string::npos; at = text.find("\r\r", at + 2))
            ++breaks;
        EXPECT_EQ(breaks, 2) << language;
    }
}

// The engine's pages and the languages a page is asked for name the same
// language, and English stays acceptable to a site that has no German.
TEST(StartTexts, EngineLocaleAndAcceptedLanguagesAgree) {
    for (int language : {English, German}) {
        const std::string locale = EngineLocales[language];
        const std::string accepted = AcceptLanguages[language];
        EXPECT_EQ(accepted.substr(0, 2), locale.substr(0, 2)) << accepted;
        EXPECT_NE(accepted.find("en"), std::string::npos) << accepted;
    }
    EXPECT_NE(std::string(EngineLocales[English]), EngineLocales[German]);
}

TEST(FillIn, PutsTheArgumentsInAndLeavesOtherPercentSignsAlone) {
    EXPECT_EQ(FillIn("%2 of %1", {"a", "b"}), "b of a");
    EXPECT_EQ(FillIn("100% of %1, %3 stays", {"x"}), "100% of x, %3 stays");
    EXPECT_EQ(FillIn("ends in %", {"x"}), "ends in %");
    EXPECT_EQ(FillIn("%1%1", {"ab"}), "abab");
}

}  // namespace
}  // namespace kpw::texts
