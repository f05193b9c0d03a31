#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <optional>

#include "browsing/MainWindowPort.h"
#include "ui/Glyphs.h"

class QButtonGroup;
class QMenu;
class QString;
class QToolButton;
class QWidget;

namespace kpw {

// The tool row's buttons on the main window, where the design has them: the
// photo sizes and the display modes each an exclusive group (their ids the
// size and mode), the others plain buttons or toggles. Where the window is
// too narrow for the row, what does not fit goes to a menu at its end.
class ToolButtonRow {
public:
    explicit ToolButtonRow(QWidget& window);

    QToolButton* Button(ToolButton button) const { return buttons_[static_cast<size_t>(button)]; }
    const std::array<QToolButton*, ToolButtonCount>& Buttons() const { return buttons_; }
    QButtonGroup* PhotoSizeGroup() const { return photoSizeGroup_; }
    QButtonGroup* URLGroup() const { return urlGroup_; }

    // Whether the window shows a button, as the logic switches it; a button
    // in the overflow menu stays shown there.
    void SetShown(ToolButton button, bool shown);
    bool IsShown(ToolButton button) const { return shown_[static_cast<size_t>(button)]; }

    // Lays the row out in the window's width. The index field and its label
    // stay in the row, where LayOutIndexRow put them when all fits.
    void LayOut(int width, QWidget& indexLabel, QWidget& indexField);
    bool InOverflow(ToolButton button) const { return overflowed_[static_cast<size_t>(button)]; }
    QToolButton* OverflowButton() const { return overflowButton_; }
    QMenu* OverflowMenu() const { return overflowMenu_; }
    // The language the menu's entries are written in when it opens.
    void SetLanguage(std::function<int()> language) { language_ = std::move(language); }

    // Draws the glyphs again for the window's palette and style.
    void RenewGlyphs();

private:
    QToolButton* Add(ToolButton button, int left, const QString& caption);
    void FillOverflowMenu();
    void ShowAsWanted(ToolButton button);

    QWidget& window_;
    std::array<QToolButton*, ToolButtonCount> buttons_{};
    std::array<int, ToolButtonCount> designLefts_{};
    std::array<std::optional<Glyph>, ToolButtonCount> glyphs_{};
    std::array<bool, ToolButtonCount> shown_{};
    std::array<bool, ToolButtonCount> overflowed_{};
    QButtonGroup* photoSizeGroup_ = nullptr;
    QButtonGroup* urlGroup_ = nullptr;
    QToolButton* overflowButton_ = nullptr;
    QMenu* overflowMenu_ = nullptr;
    std::function<int()> language_;
};

}  // namespace kpw
