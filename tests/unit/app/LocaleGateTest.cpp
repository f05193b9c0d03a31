#include <gtest/gtest.h>

#include "app/UnitRunUtils.h"
#include "platform/Platform.h"

namespace kpw {
namespace {

// The stored form: the inverse of UnscrambleText, computed from the start.
std::string ScrambleText(const std::string& plain) {
    std::string stored = plain;
    for (size_t i = 0; i < plain.size(); ++i) {
        const auto p = static_cast<unsigned char>(plain[i]);
        stored[i] = static_cast<char>(
            i == 0 ? static_cast<unsigned char>(~p)
                   : p ^ static_cast<unsigned char>(~static_cast<unsigned char>(stored[i - 1])));
    }
    return stored;
}

TEST(UnscrambleText, UndoesTheStoredFormOfAnyBytes) {
    std::string allBytes;
    for (int c = 0; c < 256; ++c) allBytes += static_cast<char>(c);
    for (const std::string& plain :
         {std::string(), std::string("A"), std::string("Ab"), allBytes}) {
        std::string text = ScrambleText(plain);
        UnscrambleText(text);
        EXPECT_EQ(text, plain);
    }
}

TEST(UnscrambleText, StoredGateTextsReadAsPlainWords) {
    std::string caption = BlockedCaption;
    std::string message = BlockedMessage;
    UnscrambleText(caption);
    UnscrambleText(message);
    EXPECT_EQ(caption, "Kelvaro Photo Wizard");
    EXPECT_NE(message.find("cannot be used"), std::string::npos);
    // Nothing readable is kept in the program's data.
    EXPECT_EQ(BlockedMessage.find("cannot"), std::string::npos);
}

struct GateCase {
    const char* answer;
    bool blocked;
};

class LocaleGate : public ::testing::TestWithParam<GateCase> {};

TEST_P(LocaleGate, BlocksExactlyTheListedIds) {
    EXPECT_EQ(IsBlockedUserLanguage(GetParam().answer).LanguageBlocked, GetParam().blocked)
        << GetParam().answer;
}

INSTANTIATE_TEST_SUITE_P(
    Answers, LocaleGate,
    ::testing::Values(GateCase{"0409", false}, GateCase{"0407", false}, GateCase{"0419", true},
                      GateCase{"0801", true}, GateCase{"0809", false}, GateCase{"0819", false},
                      GateCase{"0C1A", true}, GateCase{"0c1a", true}, GateCase{"081A", true},
                      GateCase{"101A", false}, GateCase{"0429", true}, GateCase{"4001", true},
                      // Failed or odd answers block nothing.
                      GateCase{"", false}, GateCase{"zz", false}, GateCase{"04 19", false}));

TEST(LocaleGate, ReadsTheAnswerAsHexAndKeepsLow16Bits) {
    EXPECT_EQ(IsBlockedUserLanguage("0419").UserLanguageId, 0x0419);  // not decimal 419
    EXPECT_EQ(IsBlockedUserLanguage("10419").UserLanguageId, 0x0419);
    EXPECT_TRUE(IsBlockedUserLanguage("10419").LanguageBlocked);
    EXPECT_FALSE(IsBlockedUserLanguage("123456789").LanguageBlocked);  // beyond 32 bits
}

TEST(LocaleGate, EveryBlockedIdIsReachableFromSomeLocale) {
    const char* locales[] = {"ar_SA", "ar_IQ",       "ar_EG", "ar_LY", "ar_DZ", "ar_MA", "ar_TN",
                             "ar_OM", "ar_YE",       "ar_SY", "ar_JO", "ar_LB", "ar_KW", "ar_AE",
                             "ar_BH", "ar_QA",       "bg_BG", "cs_CZ", "pl_PL", "ro_RO", "ru_RU",
                             "hr_HR", "sr_RS",       "sk_SK", "sq_AL", "tr_TR", "uk_UA", "be_BY",
                             "sl_SI", "sr_RS@latin", "fa_IR"};
    for (int i = 0; i < BlockedLanguageCount; ++i) {
        const std::string text = platform::LanguageIdTextFromLocale(locales[i]);
        EXPECT_EQ(IsBlockedUserLanguage(text).UserLanguageId, BlockedLanguageIds[i]) << locales[i];
    }
}

struct LocaleCase {
    const char* locale;
    const char* id;
};

class LocaleMapping : public ::testing::TestWithParam<LocaleCase> {};

TEST_P(LocaleMapping, GivesTheWindowsLanguageId) {
    EXPECT_EQ(platform::LanguageIdTextFromLocale(GetParam().locale), GetParam().id)
        << GetParam().locale;
}

INSTANTIATE_TEST_SUITE_P(
    Locales, LocaleMapping,
    ::testing::Values(LocaleCase{"ru_RU.UTF-8", "0419"}, LocaleCase{"sr_RS@latin", "081A"},
                      LocaleCase{"sr_RS.UTF-8@latin", "081A"}, LocaleCase{"sr_RS", "0C1A"},
                      LocaleCase{"en_US", "0409"}, LocaleCase{"de_DE", "0407"},
                      LocaleCase{"de_DE.ISO-8859-1", "0407"}, LocaleCase{"en_GB.UTF-8", "0809"},
                      LocaleCase{"ru_MD", "0819"}, LocaleCase{"hr_BA", "101A"},
                      LocaleCase{"ja_JP.eucJP", "0411"}, LocaleCase{"zh_TW", "0404"},
                      // No or unknown country: the language's main id.
                      LocaleCase{"ru", "0419"}, LocaleCase{"de_BE", "0407"},
                      // Not a language: not blocked.
                      LocaleCase{"C", ""}, LocaleCase{"POSIX", ""}, LocaleCase{"C.UTF-8", ""},
                      LocaleCase{"", ""}, LocaleCase{"xx_YY", ""}));

TEST(LocaleGate, FiresOnlyForBlockedLanguagesAndUnscramblesThen) {
    const std::string stored = BlockedCaption;
    EXPECT_FALSE(RunLocaleGate("0409"));
    EXPECT_EQ(BlockedCaption, stored);
    EXPECT_TRUE(RunLocaleGate("0419"));
    EXPECT_EQ(BlockedCaption, "Kelvaro Photo Wizard");
    ReleaseBlockedTexts();
    EXPECT_TRUE(BlockedCaption.empty());
    EXPECT_TRUE(BlockedMessage.empty());
}

}  // namespace
}  // namespace kpw
