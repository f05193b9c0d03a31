#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "texts/SettingsFormTexts.h"
#include "texts/Texts.h"

namespace kpw::texts {
namespace {

// One text of a table in both languages, named for the failure message.
struct TextPair {
    std::string Name;
    std::string_view English;
    std::string_view German;
};

// The text tables are structs of nothing but text pointers, so a table is
// walked as an array of them and a field added later is checked without
// being listed here.
template <typename Table>
void AddTable(std::vector<TextPair>& pairs, const std::string& name,
              const Table (&table)[LanguageCount]) {
    static_assert(std::is_standard_layout_v<Table> && std::is_trivially_copyable_v<Table>);
    static_assert(sizeof(Table) % sizeof(const char*) == 0);
    constexpr size_t count = sizeof(Table) / sizeof(const char*);
    const auto* english = reinterpret_cast<const char* const*>(&table[English]);
    const auto* german = reinterpret_cast<const char* const*>(&table[German]);
    for (size_t i = 0; i < count; ++i) {
        pairs.push_back({name + " field " + std::to_string(i), english[i] ? english[i] : "",
                         german[i] ? german[i] : ""});
    }
}

void AddArray(std::vector<TextPair>& pairs, const std::string& name,
              const char* const (&table)[LanguageCount]) {
    pairs.push_back({name, table[English], table[German]});
}

std::vector<TextPair> EveryText() {
    std::vector<TextPair> pairs;
    AddArray(pairs, "LanguageNames", LanguageNames);
    for (int mode = 1; mode <= 3; ++mode) {
        AddArray(pairs, "URLModeNames " + std::to_string(mode), URLModeNames[mode]);
        AddArray(pairs, "IndexLabels " + std::to_string(mode), IndexLabels[mode]);
    }
    AddArray(pairs, "RemarkOnPhotoPrompts", RemarkOnPhotoPrompts);
    AddArray(pairs, "RemarkOnUserPrompts", RemarkOnUserPrompts);
    AddArray(pairs, "HelpFileMissingMessages", HelpFileMissingMessages);
    AddArray(pairs, "HelpWindowTitles", HelpWindowTitles);
    AddTable(pairs, "MainFormTextTable", MainFormTextTable);
    AddTable(pairs, "BrowserViewTextTable", BrowserViewTextTable);
    AddTable(pairs, "ContextMenuTextTable", ContextMenuTextTable);
    AddTable(pairs, "BusySiteTextTable", BusySiteTextTable);
    AddTable(pairs, "SettingsFileTextTable", SettingsFileTextTable);
    AddTable(pairs, "KnownMissingTextTable", KnownMissingTextTable);
    AddTable(pairs, "PhotoTextTable", PhotoTextTable);
    AddTable(pairs, "SettingsFormTextTable", SettingsFormTextTable);
    return pairs;
}

// Words that German writes as English does.
const std::set<std::string_view> SameInBothLanguages = {"OK"};

std::string Placeholders(std::string_view text) {
    std::string found;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') found += text[i + 1];
    }
    return found;
}

class EveryTextTableEntry : public ::testing::TestWithParam<TextPair> {};

TEST_P(EveryTextTableEntry, ExistsInBothLanguagesAndIsTranslated) {
    const TextPair& text = GetParam();
    EXPECT_FALSE(text.English.empty());
    EXPECT_FALSE(text.German.empty());
    if (!SameInBothLanguages.contains(text.English)) {
        EXPECT_NE(text.English, text.German) << "untranslated";
    }
    // What is filled in must have its place in both.
    EXPECT_EQ(Placeholders(text.English), Placeholders(text.German));
    // Lines are broken by a single CR, as the window expects.
    EXPECT_EQ(text.German.find('\n'), std::string_view::npos);
    EXPECT_EQ(text.English.find('\n'), std::string_view::npos);
}

INSTANTIATE_TEST_SUITE_P(AllTables, EveryTextTableEntry, ::testing::ValuesIn(EveryText()),
                         [](const ::testing::TestParamInfo<TextPair>& testCase) {
                             std::string name;
                             for (char c : testCase.param.Name) {
                                 name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
                             }
                             return name;
                         });

}  // namespace
}  // namespace kpw::texts

namespace kpw::texts {
namespace {

TEST(FillIn, PutsTheArgumentsInAndLeavesOtherPercentSignsAlone) {
    EXPECT_EQ(FillIn("%2 of %1", {"a", "b"}), "b of a");
    EXPECT_EQ(FillIn("100% of %1, %3 stays", {"x"}), "100% of x, %3 stays");
    EXPECT_EQ(FillIn("ends in %", {"x"}), "ends in %");
    EXPECT_EQ(FillIn("%1%1", {"ab"}), "abab");
}

}  // namespace
}  // namespace kpw::texts
