#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "settings/AsciiText.h"

namespace kpw {
namespace {

struct DigitsCase {
    const char* Name;
    std::string Digits;
    int Base;
    bool Negative;
    std::optional<int32_t> Expected;
};

class DigitsValueTest : public ::testing::TestWithParam<DigitsCase> {};

TEST_P(DigitsValueTest, WholeRunWithinSigned32Bits) {
    const DigitsCase& c = GetParam();
    EXPECT_EQ(DigitsValue(c.Digits, c.Base, c.Negative), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, DigitsValueTest,
    ::testing::Values(DigitsCase{"Decimal", "1234", 10, false, 1234},
                      DigitsCase{"HighestPositive", "2147483647", 10, false, 2147483647},
                      DigitsCase{"OnePastHighest", "2147483648", 10, false, std::nullopt},
                      DigitsCase{"LowestNegative", "2147483648", 10, true, INT32_MIN},
                      DigitsCase{"PastLowest", "2147483649", 10, true, std::nullopt},
                      DigitsCase{"LongRunDoesNotWrap", "99999999999999999999999", 10, false,
                                 std::nullopt},
                      DigitsCase{"HexEitherCase", "7fFfFfFf", 16, false, 2147483647},
                      DigitsCase{"HexLetterInDecimal", "12a", 10, false, std::nullopt},
                      DigitsCase{"Empty", "", 10, false, std::nullopt},
                      DigitsCase{"Blank", "1 2", 10, false, std::nullopt}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(DigitsMagnitude, UnsignedLimitHoldsTheWholeRange) {
    EXPECT_EQ(DigitsMagnitude("FFFFFFFF", 16, 0xFFFFFFFFull), 0xFFFFFFFFull);
    EXPECT_EQ(DigitsMagnitude("100000000", 16, 0xFFFFFFFFull), std::nullopt);
}

TEST(AsciiText, TrimAndCaseFoldTouchOnlyAscii) {
    EXPECT_EQ(TrimAscii("\t \r 12 x\x01 \n"), "12 x");
    EXPECT_EQ(TrimAscii(" \x7F "), "\x7F");
    EXPECT_TRUE(EqualsIgnoringCase("TemplateURL11", "templateurl11"));
    EXPECT_FALSE(EqualsIgnoringCase("\xC4", "\xE4"));  // Windows-1252 umlauts are not folded
    EXPECT_TRUE(StartsWithIgnoringCase("HTTP://Host/x", "http://host/"));
    EXPECT_FALSE(StartsWithIgnoringCase("http", "http://"));
    EXPECT_TRUE(ContainsIgnoringCase("Photo not found: ERROR 404", "error"));
    EXPECT_FALSE(ContainsIgnoringCase("Err or", "error"));
    EXPECT_EQ(CountLeadingDigits("0042abc"), 4u);
}

}  // namespace
}  // namespace kpw
