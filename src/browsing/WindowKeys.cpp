#include "browsing/WindowKeys.h"

#include <algorithm>
#include <iterator>

#include "browsing/KeyCodes.h"
#include "texts/Texts.h"

namespace kpw {

std::optional<WindowCommand> WindowCommandOfKey(const KeyStroke& key) {
    const auto found = std::find_if(std::begin(WindowKeys), std::end(WindowKeys),
                                    [&](const WindowKey& bound) { return bound.Key == key; });
    if (found == std::end(WindowKeys)) return std::nullopt;
    return found->Command;
}

std::optional<ToolButton> ButtonOfCommand(WindowCommand command) {
    switch (command) {
        case WindowCommand::PhotoSize1:
            return ToolButton::PhotoSize1;
        case WindowCommand::PhotoSize2:
            return ToolButton::PhotoSize2;
        case WindowCommand::PhotoSize3:
            return ToolButton::PhotoSize3;
        case WindowCommand::PhotoSize4:
            return ToolButton::PhotoSize4;
        case WindowCommand::PhotoOnly:
            return ToolButton::URL1;
        case WindowCommand::PhotoInfo:
            return ToolButton::URL2;
        case WindowCommand::UserPage:
            return ToolButton::URL3;
        case WindowCommand::Statistics:
            return ToolButton::ShowStatistics;
        case WindowCommand::AutoSkip:
            return ToolButton::AutoSkip;
        case WindowCommand::AddFavorite:
            return ToolButton::AddFavorite;
        case WindowCommand::SelectFavorite:
            return ToolButton::SelectFavorite;
        case WindowCommand::DeleteFavorite:
            return ToolButton::DeleteFavorite;
        case WindowCommand::GoBack:
            return ToolButton::GoBack;
        case WindowCommand::Settings:
            return ToolButton::Settings;
        case WindowCommand::OverviewSheet:
            return ToolButton::OverviewSheet;
        case WindowCommand::FocusIndexField:
        case WindowCommand::UndoDeleteFavorite:
        case WindowCommand::NextNotSeen:
        case WindowCommand::KeepRange:
            break;
    }
    return std::nullopt;
}

std::optional<KeyStroke> KeyOfButton(ToolButton button) {
    for (const WindowKey& bound : WindowKeys) {
        if (ButtonOfCommand(bound.Command) == button) return bound.Key;
    }
    return std::nullopt;
}

std::string KeyName(const KeyStroke& key, int language) {
    const texts::KeyNameTexts& t = texts::KeyNames;
    std::string name;
    if (key.Ctrl) name += std::string(t.Ctrl.In(language)) + '+';
    if (key.Alt) name += "Alt+";
    if (key.Shift) name += std::string(t.Shift.In(language)) + '+';
    if (key.KeyCode >= KeyF1 && key.KeyCode < KeyF1 + 12)
        name += 'F' + std::to_string(key.KeyCode - KeyF1 + 1);
    else if (key.KeyCode == KeyLeft)
        name += t.Left.In(language);
    else if (key.KeyCode == KeyComma)
        name += ',';
    else if (key.KeyCode == CharEscape)
        name += "Esc";
    else
        name += static_cast<char>(key.KeyCode);
    return name;
}

std::string HintWithKey(const std::string& hint, ToolButton button, int language) {
    const std::optional<KeyStroke> key = KeyOfButton(button);
    return key ? hint + " (" + KeyName(*key, language) + ")" : hint;
}

}  // namespace kpw
