#include "browsing/ToolRowFit.h"

#include <algorithm>
#include <cstddef>
#include <optional>

#include "browsing/KeyCodes.h"
#include "browsing/WindowKeys.h"
#include "texts/Texts.h"

namespace kpw {

namespace {

// The right edge of the items shown, closed up from the left.
int32_t PackedRight(const std::vector<RowItem>& items, const std::vector<bool>& shown,
                    std::vector<int32_t>& lefts) {
    // The first one shown stands where the row begins; each later one keeps
    // the gap the layout has between it and the one before it.
    int32_t right = items.empty() ? 0 : items.front().Left;
    int32_t designRight = right;
    bool anyShown = false;
    for (size_t i = 0; i < items.size(); ++i) {
        const RowItem& item = items[i];
        const int32_t gap = std::max(0, item.Left - designRight);
        designRight = item.Left + item.Width;
        if (!shown[i]) continue;
        lefts[i] = anyShown ? right + gap : right;
        right = lefts[i] + item.Width;
        anyShown = true;
    }
    return right;
}

}  // namespace

RowFit FitRow(const std::vector<RowItem>& items, int32_t width, int32_t overflowWidth,
              int32_t overflowGap) {
    RowFit fit;
    fit.Shown.assign(items.size(), true);
    fit.Lefts.resize(items.size());
    int32_t designRight = 0;
    for (size_t i = 0; i < items.size(); ++i) {
        fit.Lefts[i] = items[i].Left;
        designRight = std::max(designRight, items[i].Left + items[i].Width);
    }
    if (designRight <= width) return fit;

    fit.Overflows = true;
    int32_t right = PackedRight(items, fit.Shown, fit.Lefts);
    for (size_t i = items.size(); i-- > 0;) {
        if (right + overflowGap + overflowWidth <= width) break;
        if (!items[i].MayOverflow) continue;
        fit.Shown[i] = false;
        right = PackedRight(items, fit.Shown, fit.Lefts);
    }
    fit.OverflowLeft = right + overflowGap;
    return fit;
}

ToolEntry ToolEntryOf(ToolButton button, int language) {
    const texts::MainFormTexts& hints = texts::MainForm;
    const texts::ToolMenuTexts& menu = texts::ToolMenu;
    const auto entry = [&](const texts::Text& name, std::optional<KeyStroke> key) {
        return ToolEntry{name.In(language), key ? KeyName(*key, language) : std::string()};
    };
    switch (button) {
        case ToolButton::PhotoSize1:
            return entry(hints.PhotoSize1, KeyOfButton(button));
        case ToolButton::PhotoSize2:
            return entry(hints.PhotoSize2, KeyOfButton(button));
        case ToolButton::PhotoSize3:
            return entry(hints.PhotoSize3, KeyOfButton(button));
        case ToolButton::PhotoSize4:
            return entry(hints.PhotoSize4, KeyOfButton(button));
        case ToolButton::URL1:
        case ToolButton::URL2:
        case ToolButton::URL3:
            return entry(texts::URLModeNames[static_cast<int>(button) -
                                             static_cast<int>(ToolButton::URL1) + 1],
                         KeyOfButton(button));
        case ToolButton::ShowStatistics:
            return entry(hints.ShowStatistics, KeyOfButton(button));
        case ToolButton::AddFavorite:
            return entry(hints.AddFavorite, KeyOfButton(button));
        case ToolButton::DeleteFavorite:
            return entry(hints.DeleteFavorite, KeyOfButton(button));
        case ToolButton::SelectFavorite:
            return entry(hints.SelectFavorite, KeyOfButton(button));
        case ToolButton::GoBack:
            return entry(hints.GoBack, KeyOfButton(button));
        case ToolButton::Refresh:
            return entry(menu.Refresh, KeyStroke{.KeyCode = KeyF5});
        case ToolButton::Stop:
            return entry(menu.Stop, KeyStroke{.KeyCode = CharEscape});
        case ToolButton::AutoSkip:
            return entry(menu.AutoSkip, KeyOfButton(button));
        case ToolButton::Help:
            return entry(menu.Help, KeyStroke{.KeyCode = KeyF1});
        case ToolButton::Settings:
            return entry(hints.Settings, KeyOfButton(button));
        case ToolButton::OverviewSheet:
            return entry(hints.OverviewSheet, KeyOfButton(button));
    }
    return {};
}

}  // namespace kpw
