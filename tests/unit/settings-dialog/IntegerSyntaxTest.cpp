#include <gtest/gtest.h>

#include <string>

#include "settings/IntegerSyntax.h"

namespace kpw {
namespace {

struct AcceptedCase {
    std::string Text;
    int32_t Value;
};

class IntegerSyntaxAccepts : public ::testing::TestWithParam<AcceptedCase> {};

TEST_P(IntegerSyntaxAccepts, ReadsTheValue) {
    const std::optional<int32_t> value = ParseInteger(GetParam().Text);
    ASSERT_TRUE(value.has_value()) << '"' << GetParam().Text << '"';
    EXPECT_EQ(*value, GetParam().Value);
}

INSTANTIATE_TEST_SUITE_P(
    DecimalHexSignAndBlanks, IntegerSyntaxAccepts,
    ::testing::Values(AcceptedCase{"0", 0}, AcceptedCase{"5000", 5000}, AcceptedCase{"   42", 42},
                      AcceptedCase{"+7", 7}, AcceptedCase{"-7", -7}, AcceptedCase{"  -0012", -12},
                      AcceptedCase{"$10", 16}, AcceptedCase{"x1f", 31}, AcceptedCase{"X1F", 31},
                      AcceptedCase{"0x10", 16}, AcceptedCase{"0XfF", 255},
                      AcceptedCase{"-$10", -16}, AcceptedCase{"+0x10", 16},
                      AcceptedCase{"2147483647", 2147483647},
                      AcceptedCase{"-2147483648", INT32_MIN}, AcceptedCase{"$7FFFFFFF", 2147483647},
                      AcceptedCase{"-$80000000", INT32_MIN},
                      AcceptedCase{"000000000000000000001", 1}));

class IntegerSyntaxRefuses : public ::testing::TestWithParam<std::string> {};

TEST_P(IntegerSyntaxRefuses, IsNotAnInteger) {
    EXPECT_FALSE(ParseInteger(GetParam()).has_value()) << '"' << GetParam() << '"';
}

INSTANTIATE_TEST_SUITE_P(EmptyJunkAndOverflow, IntegerSyntaxRefuses,
                         ::testing::Values("", "   ", "-", "+", "$", "0x", "x", "12 ", "1 2", "- 5",
                                           "--5", "+-5", "12a", "abc", "$-10", "0x-1", "$G", "\t5",
                                           "1.5", "2147483648", "-2147483649", "$80000000",
                                           "$FFFFFFFF", "99999999999999999999", "0$10"));

}  // namespace
}  // namespace kpw
