#pragma once

#include <array>
#include <cstddef>

#include "browsing/MainWindowPort.h"

class QButtonGroup;
class QString;
class QToolButton;
class QWidget;

namespace kpw {

// The tool row's buttons on the main window, where the design has them: the
// photo sizes and the display modes each an exclusive group (their ids the
// size and mode), the others plain buttons or toggles.
class ToolButtonRow {
public:
    explicit ToolButtonRow(QWidget& window);

    QToolButton* Button(ToolButton button) const { return buttons_[static_cast<size_t>(button)]; }
    const std::array<QToolButton*, ToolButtonCount>& Buttons() const { return buttons_; }
    QButtonGroup* PhotoSizeGroup() const { return photoSizeGroup_; }
    QButtonGroup* URLGroup() const { return urlGroup_; }

private:
    QToolButton* Add(ToolButton button, int left, const QString& caption);

    QWidget& window_;
    std::array<QToolButton*, ToolButtonCount> buttons_{};
    QButtonGroup* photoSizeGroup_ = nullptr;
    QButtonGroup* urlGroup_ = nullptr;
};

}  // namespace kpw
