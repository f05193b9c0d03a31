#include <gtest/gtest.h>

#include <string>

#include "settings/TextEncoding.h"

namespace kpw {
namespace {

TEST(TextEncoding, EveryWindows1252ByteConvertsAndComesBackUnchanged) {
    for (int value = 0; value < 256; ++value) {
        const std::string byte(1, static_cast<char>(value));
        const std::string utf8 = Windows1252ToUtf8(byte);
        EXPECT_TRUE(IsValidUtf8(utf8)) << value;
        EXPECT_EQ(Utf8ToWindows1252(utf8), byte) << value;
    }
}

TEST(TextEncoding, HighBytesAreTheCodePagesCharactersNotLatin1Controls) {
    EXPECT_EQ(Windows1252ToUtf8("\x80\x8A\x99\x9F"), "€Š™Ÿ");
    EXPECT_EQ(Windows1252ToUtf8("Fu\xDF M\xFCnchen \xE4\xF6\xC4"), "Fuß München äöÄ");
    EXPECT_EQ(Utf8ToWindows1252("„Zitat“ – 5 €"), "\x84Zitat\x93 \x96 5 \x80");
    EXPECT_EQ(Utf8ToWindows1252("Привет"), std::nullopt);
}

TEST(TextEncoding, MalformedUtf8IsRecognised) {
    EXPECT_TRUE(IsValidUtf8("plain äß €🙂"));
    EXPECT_FALSE(IsValidUtf8("\xC3"));              // cut off
    EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong
    EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // surrogate
    EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
    EXPECT_FALSE(IsValidUtf8("M\xFCnchen"));
}

TEST(TextEncoding, FileBytesAreReadAsUtf8OnlyWhenTheyAreValidUtf8WithNonAsciiBytes) {
    EXPECT_EQ(DecodeIniBytes("Fu\xDF M\xFCnchen"), "Fuß München");
    EXPECT_EQ(DecodeIniBytes("Grüße"), "Grüße");
    EXPECT_EQ(DecodeIniBytes("\xEF\xBB\xBF[General]"), "[General]");
    EXPECT_EQ(DecodeIniBytes("caf\xC3"), "cafÃ");
    EXPECT_EQ(DecodeIniBytes("ascii only"), "ascii only");
}

TEST(TextEncoding, WriterUsesWindows1252OnlyWhenTheTextFitsAndCannotBeMistakenForUtf8) {
    EXPECT_EQ(EncodeIniText("Fuß aus Köln – 5 €"), "Fu\xDF aus K\xF6ln \x96 5 \x80");
    EXPECT_EQ(EncodeIniText("Fuß, Привет"), "Fuß, Привет");
    // "Ã¤" in Windows-1252 is C3 A4, which is "ä" in UTF-8.
    EXPECT_EQ(EncodeIniText("Ã¤"), "Ã¤");
}

TEST(TextEncoding, MalformedProgramTextIsWrittenAsWellFormedText) {
    const std::string bytes = EncodeIniText("\xFF und Привет");
    EXPECT_TRUE(IsValidUtf8(bytes));
    EXPECT_EQ(DecodeIniBytes(bytes), "ÿ und Привет");
}

class EncodingRoundTrip : public ::testing::TestWithParam<const char*> {};

TEST_P(EncodingRoundTrip, WrittenTextReadsBackUnchanged) {
    const std::string text = GetParam();
    EXPECT_EQ(DecodeIniBytes(EncodeIniText(text)), text);
}

INSTANTIATE_TEST_SUITE_P(Texts, EncodingRoundTrip,
                         ::testing::Values("plain", "Grüße", "„€‰Ÿ“", "Привет мир", "Ã¤",
                                           "ï»¿[General]", "日本語 🙂", "\xC2\x81\xC2\x9D",
                                           "Köln Москва"));

}  // namespace
}  // namespace kpw
