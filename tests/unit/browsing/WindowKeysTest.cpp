// The main window's keys for the tool functions: which key means which
// function, that none of them takes a key the program uses elsewhere, and
// that the hints, the help files and the README name the same keys.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>

#include "NavigatorFixture.h"
#include "browsing/ControlGroups.h"
#include "browsing/KeyCodes.h"
#include "browsing/WindowKeys.h"
#include "texts/Texts.h"

namespace kpw {
namespace {

constexpr int KeyEnter = 13;
constexpr int KeyEscape = 27;
constexpr int KeyPageUp = 33;
constexpr int KeyPageDown = 34;
constexpr int KeyUp = 38;
constexpr int KeyDown = 40;

constexpr KeyStroke Plain(int keyCode) {
    return {.KeyCode = keyCode};
}

constexpr KeyStroke CtrlShift(int keyCode) {
    return {.KeyCode = keyCode, .Shift = true, .Ctrl = true};
}

TEST(WindowKeys, EveryToolFunctionWithoutAKeyOfItsOwnHasOneThatLeadsBackToIt) {
    for (int b = 0; b < ToolButtonCount; ++b) {
        const auto button = static_cast<ToolButton>(b);
        const std::optional<KeyStroke> key = KeyOfButton(button);
        // Refresh, Stop and Help are F5, Esc and F1, handled by the navigation.
        const bool ownKey = button == ToolButton::Refresh || button == ToolButton::Stop ||
                            button == ToolButton::Help;
        ASSERT_EQ(key.has_value(), !ownKey) << b;
        if (!key) continue;
        const std::optional<WindowCommand> command = WindowCommandOfKey(*key);
        ASSERT_TRUE(command) << b;
        EXPECT_EQ(ButtonOfCommand(*command), button) << b;
    }
    EXPECT_EQ(WindowCommandOfKey(CtrlKey('L')), WindowCommand::FocusIndexField);
    EXPECT_EQ(WindowCommandOfKey(Plain(KeyF6)), WindowCommand::FocusIndexField);
}

TEST(WindowKeys, NoneTakesAKeyTheProgramUsesElsewhereOrTwice) {
    const KeyStroke taken[] = {
        Plain(KeyF1),   Plain(KeyF5),   Plain(KeyF9),     Plain(KeyEnter),    Plain(KeyEscape),
        Plain(KeyUp),   Plain(KeyDown), Plain(KeyPageUp), Plain(KeyPageDown), CtrlKey('S'),
        CtrlShift('S'), CtrlShift('C'), CtrlKey('D'),     CtrlKey('Q'),       CtrlKey('W'),
        CtrlKey('C'),   CtrlKey('V'),     CtrlKey('X'),       CtrlKey('A'),
    };
    for (const KeyStroke& key : taken)
        EXPECT_FALSE(WindowCommandOfKey(key)) << key.KeyCode << (key.Ctrl ? " with Ctrl" : "");
    for (const WindowKey& bound : WindowKeys) {
        const KeyStroke& key = bound.Key;
        EXPECT_FALSE(PhotoCommandOfKey(key.KeyCode, key.Shift, key.Ctrl, key.Alt))
            << KeyName(key, texts::English);
        int uses = 0;
        for (const WindowKey& other : WindowKeys) uses += other.Key == key ? 1 : 0;
        EXPECT_EQ(uses, 1) << KeyName(key, texts::English);
    }
}

TEST(WindowKeys, TheModifiersMustBeExactlyTheBoundOnes) {
    EXPECT_EQ(WindowCommandOfKey(CtrlKey('T')), WindowCommand::Statistics);
    EXPECT_EQ(WindowCommandOfKey(AltKey('2')), WindowCommand::PhotoInfo);
    EXPECT_EQ(WindowCommandOfKey(CtrlKey('2')), WindowCommand::PhotoSize2);
    for (const KeyStroke& key :
         {Plain('T'), CtrlShift('T'), KeyStroke{.KeyCode = '2', .Ctrl = true, .Alt = true},
          Plain('2'), KeyStroke{.KeyCode = '2', .Shift = true, .Alt = true}, Plain(KeyLeft),
          CtrlKey(KeyLeft), KeyStroke{.KeyCode = KeyF6, .Shift = true}, AltKey('4'), CtrlKey('5'),
          Plain(KeyComma)})
        EXPECT_FALSE(WindowCommandOfKey(key)) << KeyName(key, texts::English);
}

// The navigation writes each hint with its key, in either language.
class WindowKeyHints : public NavigatorTest {};

TEST_F(WindowKeyHints, NameTheKeyInTheLanguageInForce) {
    settings.Language = texts::German;
    StartIdle();
    EXPECT_EQ(window.Hint(Control::ShowStatistics), "Statistiken (Strg+T)");
    EXPECT_EQ(window.Hint(Control::GoBack), "Zurück (Alt+Pfeil nach links)");
    EXPECT_EQ(window.Hint(Control::Settings), "Einstellungen (Strg+,)");
    EXPECT_EQ(window.Hint(Control::AutoSkip),
              "Nicht existierende Photos\rautomatisch überspringen (Strg+K)");
    EXPECT_EQ(window.Hint(Control::URL3), "User-Seite (Alt+3)\r" + settings.TemplateURL30);
    EXPECT_EQ(window.Hint(Control::Help), "Hilfe (F1)");

    settings.Language = texts::English;
    settings.TemplateURL20 = "http://info.example/*";
    navigator.ApplyConfirmedSettings();
    EXPECT_EQ(window.Hint(Control::PhotoSize4), "Original size (Ctrl+4)");
    EXPECT_EQ(window.Hint(Control::DeleteFavorite), "Delete from favorites (Ctrl+E)");
    // Confirmed settings leave the mode hints their template, and the key.
    EXPECT_EQ(window.Hint(Control::URL2), "Alt+2\rhttp://info.example/*");
    EXPECT_EQ(window.Hint(Control::FavoritePhotos), "Select favorite photo");
}

std::string FileText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    EXPECT_TRUE(file.good()) << path;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The part of a text from the heading that contains start to the next
// heading of its kind.
std::string Section(const std::string& text, const std::string& start, const std::string& next) {
    const size_t from = text.find(start);
    EXPECT_NE(from, std::string::npos) << start;
    if (from == std::string::npos) return {};
    return text.substr(from, text.find(next, from + start.size()) - from);
}

// The first cells of the rows of a key table: each names one or more keys,
// separated by commas ("Ctrl+L, F6").
std::string KeyColumn(const std::string& table, const std::string& rowPattern) {
    std::string keys;
    const std::regex row(rowPattern);
    for (auto it = std::sregex_iterator(table.begin(), table.end(), row);
         it != std::sregex_iterator(); ++it)
        keys += "|" + (*it)[1].str() + "|";
    return keys;
}

bool Names(const std::string& column, const std::string& key) {
    // A key alone in its cell, or first, or after another one.
    return column.find("|" + key + "|") != std::string::npos ||
           column.find("|" + key + ", ") != std::string::npos ||
           column.find(", " + key + "|") != std::string::npos ||
           column.find(", " + key + ", ") != std::string::npos;
}

TEST(WindowKeys, TheHelpFilesAndTheReadmeListEveryKeyInTheirKeyTables) {
    const std::string source = KPW_SOURCE_DIR;
    const struct {
        std::string file;
        int language;
        std::string start;
        std::string next;
        std::string row;
    } tables[] = {
        {source + "/src/ui/help/English.HLP", texts::English, "<h2 id=\"keys\">", "<h2",
         "<tr><td>([^<]*)</td>"},
        {source + "/src/ui/help/German.HLP", texts::German, "<h2 id=\"keys\">", "<h2",
         "<tr><td>([^<]*)</td>"},
        {source + "/README.md", texts::English, "## Keys and mouse", "\n## ",
         "\n\\| ([^|]*[^ |]) +\\|"},
    };
    for (const auto& table : tables) {
        const std::string column =
            KeyColumn(Section(FileText(table.file), table.start, table.next), table.row);
        for (const WindowKey& bound : WindowKeys) {
            const std::string name = KeyName(bound.Key, table.language);
            EXPECT_TRUE(Names(column, name)) << name << " in " << table.file;
        }
    }
}

}  // namespace
}  // namespace kpw
