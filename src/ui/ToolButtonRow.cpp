#include "ui/ToolButtonRow.h"

#include <QAction>
#include <QButtonGroup>
#include <QMenu>
#include <QString>
#include <QToolButton>
#include <algorithm>
#include <vector>

#include "browsing/ControlGroups.h"
#include "browsing/ToolRowFit.h"
#include "texts/Texts.h"
#include "ui/Glyphs.h"

namespace kpw {

namespace {

constexpr int ButtonWidth = 23;
constexpr int ButtonHeight = 22;
constexpr int OverflowWidth = 16;

// The buttons of the row in the order they stand; the index field and its
// label stand after Auto skip. The sheet's button stands in the status bar.
constexpr ToolButton RowBeforeIndex[] = {
    ToolButton::PhotoSize1,     ToolButton::PhotoSize2,     ToolButton::PhotoSize3,
    ToolButton::PhotoSize4,     ToolButton::URL1,           ToolButton::URL2,
    ToolButton::URL3,           ToolButton::ShowStatistics, ToolButton::AddFavorite,
    ToolButton::DeleteFavorite, ToolButton::SelectFavorite, ToolButton::GoBack,
    ToolButton::Refresh,        ToolButton::Stop,           ToolButton::AutoSkip,
};
constexpr ToolButton RowAfterIndex[] = {ToolButton::Help, ToolButton::Settings};

}  // namespace

ToolButtonRow::ToolButtonRow(QWidget& window) : window_(window) {
    shown_.fill(true);
    overflowed_.fill(false);
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
        glyphs_[static_cast<size_t>(control)] = modeGlyphs[mode - 1];
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
        glyphs_[static_cast<size_t>(p.control)] = p.glyph;
        button->setCheckable(p.toggle);
    }
    Button(ToolButton::GoBack)->setEnabled(false);
    Button(ToolButton::Stop)->setEnabled(false);

    // The row's end, shown only when something does not fit.
    overflowButton_ = new QToolButton(&window_);
    overflowButton_->setObjectName(QStringLiteral("ToolRowOverflow"));
    overflowButton_->setAutoRaise(true);
    overflowButton_->setFocusPolicy(Qt::NoFocus);
    overflowButton_->setText(QStringLiteral("\u00bb"));
    overflowButton_->setToolButtonStyle(Qt::ToolButtonTextOnly);
    overflowMenu_ = new QMenu(overflowButton_);
    overflowMenu_->setObjectName(QStringLiteral("ToolRowOverflowMenu"));
    QObject::connect(overflowMenu_, &QMenu::aboutToShow, overflowMenu_,
                     [this] { FillOverflowMenu(); });
    // Below the button, as a tool bar's menu opens.
    QObject::connect(overflowButton_, &QToolButton::clicked, overflowMenu_, [this] {
        overflowMenu_->popup(overflowButton_->mapToGlobal(QPoint(0, overflowButton_->height())));
    });
    overflowButton_->hide();

    RenewGlyphs();
}

QToolButton* ToolButtonRow::Add(ToolButton control, int left, const QString& caption) {
    auto* button = new QToolButton(&window_);
    button->setGeometry(left, 2, ButtonWidth, ButtonHeight);
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
    designLefts_[static_cast<size_t>(control)] = left;
    return button;
}

void ToolButtonRow::RenewGlyphs() {
    // The window's palette: at a change it is the window's before its
    // buttons'.
    const GlyphPalette palette = GlyphPaletteFor(window_, true);
    for (size_t i = 0; i < buttons_.size(); ++i) {
        if (glyphs_[i]) buttons_[i]->setIcon(GlyphIcon(*glyphs_[i], palette));
    }
}

void ToolButtonRow::SetShown(ToolButton button, bool shown) {
    shown_[static_cast<size_t>(button)] = shown;
    ShowAsWanted(button);
}

void ToolButtonRow::ShowAsWanted(ToolButton button) {
    const size_t i = static_cast<size_t>(button);
    buttons_[i]->setVisible(shown_[i] && !overflowed_[i]);
}

void ToolButtonRow::LayOut(int width, QWidget& indexLabel, QWidget& indexField) {
    // The index field and its label are one item that never leaves the row.
    std::vector<ToolButton> order;
    std::vector<RowItem> items;
    for (ToolButton button : RowBeforeIndex) {
        order.push_back(button);
        items.push_back({designLefts_[static_cast<size_t>(button)], ButtonWidth, true});
    }
    const int indexLeft = std::min(indexLabel.x(), indexField.x());
    const int indexRight =
        std::max(indexLabel.geometry().right(), indexField.geometry().right()) + 1;
    const size_t indexItem = items.size();
    items.push_back({indexLeft, indexRight - indexLeft, false});
    for (ToolButton button : RowAfterIndex) {
        order.push_back(button);
        items.push_back({designLefts_[static_cast<size_t>(button)], ButtonWidth, true});
    }

    const RowFit fit = FitRow(items, width, OverflowWidth);
    for (size_t i = 0, b = 0; i < items.size(); ++i) {
        if (i == indexItem) {
            const int shift = fit.Lefts[i] - indexLeft;
            indexLabel.move(indexLabel.x() + shift, indexLabel.y());
            indexField.move(indexField.x() + shift, indexField.y());
            continue;
        }
        const ToolButton button = order[b++];
        QToolButton* widget = Button(button);
        widget->move(fit.Lefts[i], widget->y());
        overflowed_[static_cast<size_t>(button)] = !fit.Shown[i];
        ShowAsWanted(button);
    }
    overflowButton_->setGeometry(fit.OverflowLeft, 2, OverflowWidth, ButtonHeight);
    overflowButton_->setVisible(fit.Overflows);
    const int language = language_ ? language_() : texts::English;
    overflowButton_->setToolTip(QString::fromUtf8(texts::ToolMenu.More.In(language)));
}

void ToolButtonRow::FillOverflowMenu() {
    overflowMenu_->clear();
    const int language = language_ ? language_() : texts::English;
    const auto add = [&](ToolButton button) {
        const size_t i = static_cast<size_t>(button);
        if (!overflowed_[i] || !shown_[i]) return;
        QToolButton* widget = buttons_[i];
        const ToolEntry entry = ToolEntryOf(button, language);
        // The key after a tab: the menu shows it in its key column, and it
        // stays the window's key, not the menu's.
        QString text = QString::fromStdString(entry.Name);
        if (!entry.Key.empty()) text += QLatin1Char('\t') + QString::fromStdString(entry.Key);
        QAction* action = overflowMenu_->addAction(widget->icon(), text);
        action->setCheckable(widget->isCheckable());
        action->setChecked(widget->isChecked());
        action->setEnabled(widget->isEnabled());
        action->setData(static_cast<int>(button));
        // The button's own click: its group, its toggle and its handler run
        // as for a click on it.
        QObject::connect(action, &QAction::triggered, widget, [widget] { widget->click(); });
    };
    for (ToolButton button : RowBeforeIndex) add(button);
    for (ToolButton button : RowAfterIndex) add(button);
}

}  // namespace kpw
