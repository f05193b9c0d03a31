#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>

#include "settings/IniDocument.h"

namespace kpw {
namespace {

TEST(IniDocument, ReadingTrimsLinesAndDropsCommentsBlankLinesAndLinesBeforeAnySection) {
    const IniDocument ini = IniDocument::Parse(
        "Stray=1\r\n"
        "  [ General ]  \r\n"
        "; a comment\r\n"
        "\r\n"
        "\t Key1 =  value one \t\r\n"
        "Key2=a=b\r\n"
        "  loose line  \r\n");

    EXPECT_EQ(ini.ReadValue("General", "Key1"), "value one");
    EXPECT_EQ(ini.ReadValue("General", "Key2"), "a=b");
    EXPECT_EQ(ini.ReadValue("General", "Stray"), std::nullopt);
    EXPECT_EQ(ini.Serialize(),
              "[General]\r\n"
              "Key1=value one\r\n"
              "Key2=a=b\r\n"
              "loose line\r\n"
              "\r\n");
}

TEST(IniDocument, RepeatedSectionHeaderContinuesTheFirstSection) {
    const IniDocument ini = IniDocument::Parse("[A]\nk=1\n[B]\nx=0\n[a]\nk=2\nj=3\n");
    EXPECT_EQ(ini.ReadValue("A", "k"), "1");
    EXPECT_EQ(ini.ReadValue("A", "j"), "3");
    EXPECT_EQ(ini.Sections().size(), 2u);
}

TEST(IniDocument, LineBreaksInsideAValueCannotStartNewLines) {
    IniDocument ini;
    ini.WriteString("URL", "TemplateURL11", "a\r\n[General]\r\nSaveSettings=0\nb\rc");
    ini.WriteString("URL", "After", "kept");

    const IniDocument reread = IniDocument::Parse(ini.Serialize());
    ASSERT_EQ(reread.Sections().size(), 1u);
    EXPECT_EQ(reread.Sections()[0].Entries.size(), 2u);
    EXPECT_EQ(reread.ReadValue("URL", "TemplateURL11"), "a  [General]  SaveSettings=0 b c");
    EXPECT_EQ(reread.ReadValue("URL", "After"), "kept");
}

// A file this size took minutes while every header and key was looked up by
// scanning all before it; with the index, parse and write take a moment.
TEST(IniDocument, HundredThousandSectionsParseLookUpAndWriteBack) {
    constexpr int Count = 100000;
    std::string text;
    for (int n = 0; n < Count; ++n)
        text += "[Section" + std::to_string(n) + "]\r\nKey=" + std::to_string(n) + "\r\n";
    text += "[SECTION5]\r\nkey=repeated\r\nOther=5\r\n";

    IniDocument ini = IniDocument::Parse(text);
    ASSERT_EQ(ini.Sections().size(), static_cast<size_t>(Count));
    EXPECT_EQ(ini.ReadValue("section99999", "KEY"), "99999");
    EXPECT_EQ(ini.ReadValue("Section5", "Key"), "5");
    EXPECT_EQ(ini.ReadValue("Section5", "other"), "5");
    for (int n = 0; n < Count; ++n) ini.WriteInteger("SECTION" + std::to_string(n), "kEy", -n);
    ini.WriteString("General", "SaveSettings", "1");

    const IniDocument reread = IniDocument::Parse(ini.Serialize());
    ASSERT_EQ(reread.Sections().size(), static_cast<size_t>(Count) + 1);
    EXPECT_EQ(reread.Sections()[7].Name, "Section7");
    EXPECT_EQ(reread.ReadInteger("Section77777", "Key", 0), -77777);
    EXPECT_EQ(reread.ReadValue("Section5", "Key"), "-5");
    // The repeated key stays as it was, after the first, which was written.
    EXPECT_EQ(reread.Sections()[5].Entries.size(), 3u);
    EXPECT_EQ(reread.Sections()[5].Entries[1].Value, "repeated");
    EXPECT_EQ(reread.ReadValue("general", "savesettings"), "1");
}

class IniLineEnds : public ::testing::TestWithParam<const char*> {};

TEST_P(IniLineEnds, EveryCommonLineEndSeparatesLines) {
    const std::string end = GetParam();
    const IniDocument ini = IniDocument::Parse("[S]" + end + "A=1" + end + end + "B=2");
    EXPECT_EQ(ini.ReadValue("S", "A"), "1");
    EXPECT_EQ(ini.ReadValue("S", "B"), "2");
}

INSTANTIATE_TEST_SUITE_P(CrLfLfCr, IniLineEnds, ::testing::Values("\r\n", "\n", "\r"));

struct IntegerCase {
    const char* Text;
    std::optional<int32_t> Value;
};

class IniIntegers : public ::testing::TestWithParam<IntegerCase> {};

TEST_P(IniIntegers, ValueIsReadOrTheDefaultApplies) {
    const IntegerCase& c = GetParam();
    const IniDocument ini = IniDocument::Parse(std::string("[S]\nK=") + c.Text + "\n");
    EXPECT_EQ(ini.ReadInteger("S", "K", 1000), c.Value.value_or(1000)) << c.Text;
}

constexpr int32_t Max = std::numeric_limits<int32_t>::max();
constexpr int32_t Min = std::numeric_limits<int32_t>::min();

INSTANTIATE_TEST_SUITE_P(
    Syntax, IniIntegers,
    ::testing::Values(IntegerCase{"16", 16}, IntegerCase{"0x10", 16}, IntegerCase{"0X1f", 31},
                      IntegerCase{"$10", 16}, IntegerCase{"$7FFFFFFF", Max}, IntegerCase{"-5", -5},
                      IntegerCase{"+7", 7}, IntegerCase{"2147483647", Max},
                      IntegerCase{"-2147483648", Min}, IntegerCase{"abc", std::nullopt},
                      IntegerCase{"0x", std::nullopt}, IntegerCase{"$", std::nullopt},
                      IntegerCase{"", std::nullopt}, IntegerCase{"12abc", std::nullopt},
                      IntegerCase{"1 2", std::nullopt}, IntegerCase{"2147483648", std::nullopt},
                      IntegerCase{"$80000000", std::nullopt}, IntegerCase{"-", std::nullopt}));

TEST(IniDocument, BooleansAreIntegersWhereAnythingButZeroIsTrue) {
    const IniDocument ini = IniDocument::Parse("[S]\nZero=0\nTwo=2\nHex=$1\nText=yes\n");
    EXPECT_FALSE(ini.ReadBool("S", "Zero", true));
    EXPECT_TRUE(ini.ReadBool("S", "Two", false));
    EXPECT_TRUE(ini.ReadBool("S", "Hex", false));
    EXPECT_FALSE(ini.ReadBool("S", "Text", false));
    EXPECT_TRUE(ini.ReadBool("S", "Text", true));
    EXPECT_TRUE(ini.ReadBool("S", "Absent", true));
}

}  // namespace
}  // namespace kpw
