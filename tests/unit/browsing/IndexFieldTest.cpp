#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "browsing/IndexField.h"

namespace kpw {
namespace {

struct ExitCase {
    const char* Name;
    std::string Text;
    std::optional<int32_t> Value;
};

class IndexFieldExit : public ::testing::TestWithParam<ExitCase> {};

TEST_P(IndexFieldExit, NumberBeyondTheBoundsBecomesTheNearestBound) {
    EXPECT_EQ(IndexFieldValueOnExit(GetParam().Text, 1, 2147483647), GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, IndexFieldExit,
    ::testing::Values(
        ExitCase{"WithinBounds", "1234", std::nullopt}, ExitCase{"Zero", "0", 1},
        ExitCase{"Negative", "-5", 1}, ExitCase{"JustAbove", "2147483648", 2147483647},
        ExitCase{"FarBeyondSixtyFourBits", "123456789012345678901234567890", 2147483647},
        ExitCase{"FarBelowWithBlanks", "  -99999999999999999999 ", 1},
        ExitCase{"LeadingZerosAreOneNumber", "000000000000000000042", std::nullopt},
        ExitCase{"PlusSign", "+0", 1}, ExitCase{"Empty", "", std::nullopt},
        ExitCase{"SignAlone", "-", std::nullopt}, ExitCase{"NotANumber", "12a", std::nullopt}),
    [](const auto& testCase) { return std::string(testCase.param.Name); });

TEST(IndexField, AdmitsEditingKeysDigitsSignsAndTheDecimalPointOnly) {
    for (char c : std::string("0123456789+-,\b\r\x1b\x01")) EXPECT_TRUE(IndexFieldAdmits(c, ','));
    for (char c : std::string("a. *\x7f\xe4")) EXPECT_FALSE(IndexFieldAdmits(c, ',')) << int(c);
}

}  // namespace
}  // namespace kpw
