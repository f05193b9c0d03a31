#pragma once

#include <optional>
#include <string>

#include "browsing/KeyCodes.h"
#include "browsing/MainWindowPort.h"

namespace kpw {

// What the main window's own keys do, besides the photo keys: each tool
// function that has no key of its own elsewhere, the way back from the page
// into the index field, and taking back a deleted favourite.
enum class WindowCommand {
    PhotoSize1,
    PhotoSize2,
    PhotoSize3,
    PhotoSize4,
    PhotoOnly,
    PhotoInfo,
    UserPage,
    Statistics,
    AutoSkip,
    AddFavorite,
    SelectFavorite,
    DeleteFavorite,
    GoBack,
    Settings,
    OverviewSheet,
    FocusIndexField,
    UndoDeleteFavorite,
    // The next photo not seen yet, in the direction of travel.
    NextNotSeen,
    // Asks for a range of photos to keep.
    KeepRange,
};

// A key with the modifiers held with it; KeyCode as in KeyCodes.h.
struct KeyStroke {
    int KeyCode = 0;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;

    constexpr bool operator==(const KeyStroke&) const = default;
};

struct WindowKey {
    WindowCommand Command;
    KeyStroke Key;
};

constexpr KeyStroke CtrlKey(int keyCode) {
    return {.KeyCode = keyCode, .Ctrl = true};
}

constexpr KeyStroke AltKey(int keyCode) {
    return {.KeyCode = keyCode, .Alt = true};
}

// Every window key, in the order the help lists them. A command may have
// more than one key; the first is the one its hint names. F1, F5, F9, Ctrl+D, Ctrl+S, Ctrl+Shift+S, Ctrl+Shift+C,
// Ctrl+Q and Ctrl+W are taken too. Alt with a digit chooses a mode, so it
// never types that digit into the index field.
inline constexpr WindowKey WindowKeys[] = {
    {WindowCommand::PhotoSize1, CtrlKey('1')},
    {WindowCommand::PhotoSize2, CtrlKey('2')},
    {WindowCommand::PhotoSize3, CtrlKey('3')},
    {WindowCommand::PhotoSize4, CtrlKey('4')},
    {WindowCommand::PhotoOnly, AltKey('1')},
    {WindowCommand::PhotoInfo, AltKey('2')},
    {WindowCommand::UserPage, AltKey('3')},
    {WindowCommand::Statistics, CtrlKey('T')},
    {WindowCommand::AutoSkip, CtrlKey('K')},
    {WindowCommand::AddFavorite, CtrlKey('B')},
    {WindowCommand::SelectFavorite, CtrlKey('O')},
    {WindowCommand::DeleteFavorite, CtrlKey('E')},
    {WindowCommand::GoBack, AltKey(KeyLeft)},
    {WindowCommand::Settings, CtrlKey(KeyComma)},
    {WindowCommand::OverviewSheet, CtrlKey('G')},
    {WindowCommand::FocusIndexField, CtrlKey('L')},
    {WindowCommand::FocusIndexField, {.KeyCode = KeyF6}},
    // Only while a deleted favourite can be taken back; else Ctrl+Z is the
    // control's own.
    {WindowCommand::UndoDeleteFavorite, CtrlKey('Z')},
    {WindowCommand::NextNotSeen, CtrlKey('N')},
    {WindowCommand::KeepRange, CtrlKey('J')},
};

// The command of a key with exactly these modifiers; nothing for any other.
std::optional<WindowCommand> WindowCommandOfKey(const KeyStroke& key);

// The tool button a command works as; nothing for the commands that are no
// button's.
std::optional<ToolButton> ButtonOfCommand(WindowCommand command);

// The first key of the command that the tool button works as; nothing for
// buttons with no such command (Refresh, Stop and Help have keys of their
// own).
std::optional<KeyStroke> KeyOfButton(ToolButton button);

// The key as the program's texts write it, "Ctrl+T" or "Strg+T".
std::string KeyName(const KeyStroke& key, int language);

// A hint with its key after it: "Statistics (Ctrl+T)"; the hint as it is
// for a button without a key.
std::string HintWithKey(const std::string& hint, ToolButton button, int language);

}  // namespace kpw
