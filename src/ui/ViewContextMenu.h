#pragma once

class QPoint;
class QWidget;

namespace kpw {

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
                    QtBrowserView& view);

    // Shows the menu at a screen position in the language in force and runs
    // the entry chosen.
    void Show(const QPoint& globalPos, int language);

private:
    QWidget& window_;
    MainWindowPort& port_;
    Navigator& logic_;
    PhotoActions& photos_;
    QtBrowserView& view_;
};

}  // namespace kpw
