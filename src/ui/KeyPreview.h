#pragma once

#include <QObject>
#include <QPointer>
#include <functional>

class QKeyEvent;
class QWidget;

namespace kpw {

class FavoritesController;
class MainWindowPort;
class Navigator;
class PhotoActions;
class ToolButtonRow;
enum class PhotoCommand;
enum class WindowCommand;

// The main window's key preview: every key press, wheel turn and click in
// the window (or a drop-down list of it) reaches the navigation before the
// control it is meant for. Installed on the application.
class KeyPreview : public QObject {
public:
    // viewPanel holds the visible browser view; indexField is the index
    // field; the keys of the tool functions click the buttons of tools.
    KeyPreview(QWidget& window, MainWindowPort& port, Navigator& logic, PhotoActions& photos,
               FavoritesController& favorites, const ToolButtonRow& tools, QWidget* viewPanel,
               QWidget* indexField);
    ~KeyPreview() override;

    // Asks for a range of photos to keep.
    std::function<void()> KeepRange;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OwnsWidget(QObject* object) const;
    bool IsTravelling(QWidget* receiver, const QEvent* event) const;
    bool PreviewKey(QKeyEvent* event);
    // Whether the event is an action of the user that ends the offer to
    // take back a deleted favourite: any key but a modifier and the undo,
    // any click, any wheel turn.
    bool EndsUndoOffer(const QEvent* event) const;
    // A key, click or wheel of the user ends the slideshow; true when the
    // event did and is used up by it.
    bool EndsSlideshow();
    void RunPhotoCommand(PhotoCommand command);
    void RunWindowCommand(WindowCommand command);

    QWidget& window_;
    MainWindowPort& port_;
    Navigator& logic_;
    PhotoActions& photos_;
    FavoritesController& favorites_;
    const ToolButtonRow& tools_;
    QWidget* viewPanel_;
    QWidget* indexField_;
    // The last key or wheel event previewed and its first receiver, so one
    // that propagates from a child to its parents is handled once.
    struct PreviewedEvent {
        const QEvent* Event = nullptr;
        QPointer<QObject> Receiver;
        ulong Timestamp = 0;
        int Type = 0;
    };
    PreviewedEvent lastPreviewed_;
};

}  // namespace kpw
