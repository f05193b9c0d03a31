#include "ui/ToolButtonRow.h"

#include <QButtonGroup>
#include <QString>
#include <QToolButton>

#include "browsing/ControlGroups.h"
#include "ui/Glyphs.h"

namespace kpw {

ToolButtonRow::ToolButtonRow(QWidget& window) : window_(window) {
    photoSizeGroup_ = new QButtonGroup(&window_);
    for (int size = 1; size <= 4; ++size) {
        const ToolButton control = PhotoSizeButton(size);
        QToolButton* button = Add(control, (size - 1) * 24, QString::number(size));
        button->setCheckable(true);
        photoSizeGroup_->addButton(button, size);
    }
    Button(ToolButton::PhotoSize3)->setChecked(true);

    const Glyph modeGlyphs[] = {Glyph::PhotoOnly, Glyph::PhotoInfo, Glyph::UserPage};
    urlGroup_ = new QButtonGroup(&window_);
    for (int mode = 1; mode <= 3; ++mode) {
        const ToolButton control = URLButton(mode);
        QToolButton* button = Add(control, 96 + (mode - 1) * 24, {});
        button->setIcon(GlyphIcon(modeGlyphs[mode - 1]));
        button->setCheckable(true);
        urlGroup_->addButton(button, mode);
    }
    Button(ToolButton::URL1)->setChecked(true);

    struct Plain {
        ToolButton control;
        int left;
        Glyph glyph;
        bool toggle;
    };
    const Plain plain[] = {
        {ToolButton::ShowStatistics, 168, Glyph::Statistics, true},
        {ToolButton::AddFavorite, 192, Glyph::AddFavorite, false},
        {ToolButton::DeleteFavorite, 216, Glyph::DeleteFavorite, false},
        {ToolButton::SelectFavorite, 240, Glyph::SelectFavorite, false},
        {ToolButton::GoBack, 264, Glyph::GoBack, false},
        {ToolButton::Refresh, 288, Glyph::Refresh, false},
        {ToolButton::Stop, 312, Glyph::Stop, false},
        {ToolButton::AutoSkip, 336, Glyph::AutoSkip, true},
        {ToolButton::Help, 519, Glyph::Help, false},
        {ToolButton::Settings, 543, Glyph::Settings, true},
        // The window moves it into its status bar.
        {ToolButton::OverviewSheet, 0, Glyph::OverviewSheet, true},
    };
    for (const Plain& p : plain) {
        QToolButton* button = Add(p.control, p.left, {});
        button->setIcon(GlyphIcon(p.glyph));
        button->setCheckable(p.toggle);
    }
    Button(ToolButton::GoBack)->setEnabled(false);
    Button(ToolButton::Stop)->setEnabled(false);
}

QToolButton* ToolButtonRow::Add(ToolButton control, int left, const QString& caption) {
    auto* button = new QToolButton(&window_);
    button->setGeometry(left, 2, 23, 22);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (!caption.isEmpty()) {
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        button->setIconSize(QSize(16, 16));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    buttons_[static_cast<size_t>(control)] = button;
    return button;
}

}  // namespace kpw
