#pragma once

#include <functional>

#include "texts/Text.h"

class QAction;
class QMenu;
class QPoint;
class QWidget;

namespace kpw {

class FavoritesController;
class MainWindowPort;
class Navigator;
class PhotoActions;
class QtBrowserView;

// The visible view's context menu is the program's: the photo actions that
// apply to what is on view, then the engine's Copy and Copy link address
// where they do.
class ViewContextMenu {
public:
    ViewContextMenu(QWidget& window, MainWindowPort& port, Navigator& logic, PhotoActions& photos,
                    FavoritesController& favorites, QtBrowserView& view);

    // Shows the menu at a screen position in the language in force and runs
    // the entry chosen.
    void Show(const QPoint& globalPos, int language);
    // The overview sheet's menu for its selected cell.
    void ShowForSheet(const QPoint& globalPos, int language);

    // Asks for a range of photos to keep, from the photo on view on.
    std::function<void()> KeepRange;

private:
    template <typename Action>
    QAction* AddEntry(QMenu& menu, const texts::Text& text, int column, Action action);

    QWidget& window_;
    MainWindowPort& port_;
    Navigator& logic_;
    PhotoActions& photos_;
    FavoritesController& favorites_;
    QtBrowserView& view_;
};

}  // namespace kpw
