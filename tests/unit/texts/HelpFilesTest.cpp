// The help files of both languages: the same sections in the same order,
// a contents list that reaches every section, and every option of the
// settings dialog's "More options" group explained under its own caption.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "settings/SettingsDialogValues.h"
#include "texts/SettingsFormTexts.h"
#include "texts/Text.h"

namespace kpw {
namespace {

std::string HelpText(int language) {
    const std::string name = language == texts::German ? "German.HLP" : "English.HLP";
    std::ifstream file(std::string(KPW_HELP_DIR) + "/" + name, std::ios::binary);
    EXPECT_TRUE(file.good()) << name;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::vector<std::string> Matches(const std::string& text, const std::string& pattern) {
    std::vector<std::string> found;
    const std::regex expression(pattern);
    for (auto it = std::sregex_iterator(text.begin(), text.end(), expression);
         it != std::sregex_iterator(); ++it)
        found.push_back((*it)[1].str());
    return found;
}

// The ids of the sections, in their order.
std::vector<std::string> Sections(const std::string& help) {
    return Matches(help, R"(<h2 id="([^"]+)\")");
}

// The targets of the contents list: the first list after the first h2.
std::vector<std::string> Contents(const std::string& help) {
    const size_t start = help.find("<ul>", help.find("<h2>"));
    const size_t end = help.find("</ul>", start);
    return Matches(help.substr(start, end - start), R"(<a href="#([^"]+)\")");
}

// Text as the help shows it: lines joined into one.
std::string Flowing(std::string help) {
    for (char& c : help) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return std::regex_replace(help, std::regex("  +"), " ");
}

TEST(HelpFiles, BothLanguagesHaveTheSameSectionsInTheSameOrder) {
    const std::vector<std::string> english = Sections(HelpText(texts::English));
    EXPECT_EQ(Sections(HelpText(texts::German)), english);
    for (const char* needed : {"photos", "preload", "autoskip", "busy", "favorites", "settings"})
        EXPECT_NE(std::find(english.begin(), english.end(), needed), english.end()) << needed;
}

TEST(HelpFiles, TheContentsListEverySectionInItsOrder) {
    for (int language : {texts::English, texts::German}) {
        const std::string help = HelpText(language);
        EXPECT_EQ(Contents(help), Sections(help)) << language;
        // Every link inside the text leads to a section.
        const std::vector<std::string> sections = Sections(help);
        for (const std::string& target : Matches(help, R"(<a href="#([^"]+)\")"))
            EXPECT_NE(std::find(sections.begin(), sections.end(), target), sections.end())
                << target << " in " << language;
    }
}

TEST(HelpFiles, EveryMoreOptionIsExplainedUnderItsDialogCaption) {
    std::vector<int> tags(MoreNumberTags.begin(), MoreNumberTags.end());
    tags.insert(tags.end(), MoreSwitchTags.begin(), MoreSwitchTags.end());
    tags.push_back(SettingNamed("SaveFolder").Dialog.Tag);
    for (int language : {texts::English, texts::German}) {
        const std::string help = Flowing(HelpText(language));
        for (int tag : tags) {
            const std::string caption = MoreOptionsLabel(tag, language);
            ASSERT_FALSE(caption.empty()) << tag;
            EXPECT_NE(help.find(caption), std::string::npos) << caption;
        }
        const texts::SettingsFormTexts& t = texts::SettingsForm;
        for (const texts::Text* text :
             {&t.GroupMoreOptions, &t.ButtonRestoreMoreDefaults, &t.LabelMaxFavoriteCount})
            EXPECT_NE(help.find(text->In(language)), std::string::npos) << text->In(language);
    }
}

TEST(HelpFiles, KeepingPhotosNamesThePictureKindsAndTheLimit) {
    for (int language : {texts::English, texts::German}) {
        std::string help = Flowing(HelpText(language));
        const size_t start = help.find("<h2 id=\"photos\">");
        ASSERT_NE(start, std::string::npos);
        help = help.substr(start, help.find("<h2", start + 1) - start);
        for (const char* named :
             {"JPEG", "PNG", "GIF", "WebP", "BMP", "AVIF", "TIFF", "ICO", "200 MB", "Ctrl+S"}) {
            const std::string shown =
                language == texts::German && std::string(named) == "Ctrl+S" ? "Strg+S" : named;
            EXPECT_NE(help.find(shown), std::string::npos) << shown << " in " << language;
        }
    }
}

}  // namespace
}  // namespace kpw
