#include "ui/KeyPreview.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QToolButton>
#include <QWheelEvent>
#include <QWidget>

#include "app/PhotoActions.h"
#include "browsing/IndexField.h"
#include "browsing/KeyCodes.h"
#include "browsing/MainWindowPort.h"
#include "browsing/Navigator.h"
#include "browsing/WindowKeys.h"
#include "favorites/FavoritesController.h"
#include "ui/Guarded.h"
#include "ui/ToolButtonRow.h"

namespace kpw {

namespace {

// The legacy virtual-key code of the keys the window reacts to.
int VirtualKey(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return KeyF1 + (qtKey - Qt::Key_F1);
    // Letters and digits have their upper-case character as their code.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9) return '0' + (qtKey - Qt::Key_0);
    if (qtKey == Qt::Key_Left) return KeyLeft;
    if (qtKey == Qt::Key_Comma) return KeyComma;
    return 0;
}

// The character a key press types, as the window's key preview sees it; 0
// for keys that type nothing.
char TypedCharacter(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return CharEnter;
        case Qt::Key_Escape:
            return CharEscape;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Delete:
            return 0;  // X11 gives it the text DEL; it types nothing
        default:
            break;
    }
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z)
        return static_cast<char>(event->key() - Qt::Key_A + 1);
    const QString text = event->text();
    if (text.size() != 1) return 0;
    const char16_t code = text.at(0).unicode();
    if (code == 127) return 0;
    return code < 256 ? static_cast<char>(code) : '?';
}

}  // namespace

KeyPreview::KeyPreview(QWidget& window, MainWindowPort& port, Navigator& logic,
                       PhotoActions& photos, FavoritesController& favorites,
                       const ToolButtonRow& tools, QWidget* viewPanel, QWidget* indexField)
    : window_(window),
      port_(port),
      logic_(logic),
      photos_(photos),
      favorites_(favorites),
      tools_(tools),
      viewPanel_(viewPanel),
      indexField_(indexField) {
    qApp->installEventFilter(this);
}

KeyPreview::~KeyPreview() {
    qApp->removeEventFilter(this);
}

bool KeyPreview::OwnsWidget(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return false;
    // A drop-down list's popup is a window of its own, but its keys are the
    // main window's to see first.
    QWidget* top = widget->window();
    while (top != &window_ && top->windowType() == Qt::Popup && top->parentWidget())
        top = top->parentWidget()->window();
    return top == &window_;
}

bool KeyPreview::IsTravelling(QWidget* receiver, const QEvent* event) const {
    // An event ignored by a control travels on to its parents and passes here
    // again; the window previews it once, at its first receiver. Keys travel
    // as the same event, wheel turns as copies with the same time stamp.
    // Address and time stamp alone cannot tell a new event: events made by
    // programs all carry time stamp 0 and often reuse one address.
    auto* first = qobject_cast<QWidget*>(lastPreviewed_.Receiver.data());
    if (!first || first == receiver || event->type() != lastPreviewed_.Type ||
        !receiver->isAncestorOf(first))
        return false;
    if (static_cast<const QInputEvent*>(event)->timestamp() != lastPreviewed_.Timestamp)
        return false;
    return event->type() != QEvent::KeyPress || event == lastPreviewed_.Event;
}

bool KeyPreview::PreviewKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    // The photo keys are commands, not characters: the index field and the
    // key preview never see them, so a number being typed stays as it is.
    if (const std::optional<PhotoCommand> command =
            PhotoCommandOfKey(VirtualKey(event->key()), mods & Qt::ShiftModifier,
                              mods & Qt::ControlModifier, mods & Qt::AltModifier)) {
        if (!event->isAutoRepeat()) RunPhotoCommand(*command);
        return true;
    }
    // So are the keys of the tool functions.
    if (const std::optional<WindowCommand> command =
            WindowCommandOfKey({VirtualKey(event->key()), bool(mods & Qt::ShiftModifier),
                                bool(mods & Qt::ControlModifier), bool(mods & Qt::AltModifier)})) {
        // Ctrl+Z is the control's own unless a deleted favourite can be
        // taken back.
        if (*command != WindowCommand::UndoDeleteFavorite || favorites_.CanUndoDelete()) {
            if (!event->isAutoRepeat()) RunWindowCommand(*command);
            return true;
        }
    }
    if (const int key = VirtualKey(event->key())) {
        logic_.FormMainOnKeyDown(key, mods & Qt::ShiftModifier, mods & Qt::ControlModifier,
                                 mods & Qt::AltModifier);
    }
    const char typed = TypedCharacter(event);
    if (typed == 0) return false;
    // A character held with Alt asks for a command, which it is not: it
    // types nothing into the index field.
    if ((mods & Qt::AltModifier) && static_cast<unsigned char>(typed) >= 32 &&
        port_.PageIndexHasFocus())
        return true;
    if (logic_.FormMainOnKeyPress(typed)) return true;
    if (port_.PageIndexHasFocus() &&
        !IndexFieldAdmits(typed, QLocale().decimalPoint().at(0).toLatin1())) {
        port_.Beep();
        return true;
    }
    return false;
}

bool KeyPreview::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::Wheel && type != QEvent::MouseButtonPress)
        return false;
    if (!OwnsWidget(watched) || !window_.isEnabled()) return false;
    // A drop-down list takes its choosing Enter before the key press itself
    // arrives, which then finds the list gone: the key was spent there and
    // must not reach the index field as well.
    if (type == QEvent::KeyPress && !static_cast<QWidget*>(watched)->isVisible()) return true;
    if (EndsUndoOffer(event)) Guarded(port_, [&] { favorites_.UserActed(); });
    if (EndsSlideshow()) return type != QEvent::MouseButtonPress;
    if (type == QEvent::MouseButtonPress) return false;
    // The browser engine hands keys the page did not use to the view's parent
    // as a copy; the window previewed the original already.
    if (type == QEvent::KeyPress && watched == viewPanel_ && !event->spontaneous()) return false;
    if (IsTravelling(static_cast<QWidget*>(watched), event)) return false;
    lastPreviewed_ = {event, watched, static_cast<QInputEvent*>(event)->timestamp(), type};

    bool swallowed = false;
    Guarded(port_, [&] {
        if (type == QEvent::KeyPress) {
            swallowed = PreviewKey(static_cast<QKeyEvent*>(event));
        } else {
            const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
            swallowed = delta != 0 && logic_.FormMainOnMouseWheel(delta);
            // The wheel belongs to the focused control: over an unfocused
            // index field it must not step the field by itself.
            if (!swallowed && !port_.PageIndexHasFocus() &&
                (watched == indexField_ ||
                 indexField_->isAncestorOf(static_cast<QWidget*>(watched))))
                swallowed = true;
        }
    });
    return swallowed;
}

bool KeyPreview::EndsSlideshow() {
    if (!logic_.Slides().Running()) return false;
    bool ended = false;
    Guarded(port_, [&] { ended = logic_.Slides().Stop(); });
    return ended;
}

bool KeyPreview::EndsUndoOffer(const QEvent* event) const {
    if (event->type() != QEvent::KeyPress) return true;
    const auto* key = static_cast<const QKeyEvent*>(event);
    switch (key->key()) {
        case Qt::Key_Shift:
        case Qt::Key_Control:
        case Qt::Key_Alt:
        case Qt::Key_AltGr:
        case Qt::Key_Meta:
        case Qt::Key_Super_L:
        case Qt::Key_Super_R:
        case Qt::Key_CapsLock:
        case Qt::Key_NumLock:
            return false;
        default:
            break;
    }
    const Qt::KeyboardModifiers mods = key->modifiers();
    return WindowCommandOfKey({VirtualKey(key->key()), bool(mods & Qt::ShiftModifier),
                               bool(mods & Qt::ControlModifier), bool(mods & Qt::AltModifier)}) !=
           WindowCommand::UndoDeleteFavorite;
}

void KeyPreview::RunWindowCommand(WindowCommand command) {
    if (command == WindowCommand::UndoDeleteFavorite) {
        favorites_.UndoDelete();
        return;
    }
    if (command == WindowCommand::NextNotSeen) {
        logic_.GoToNextNotSeen();
        return;
    }
    if (command == WindowCommand::KeepRange) {
        if (KeepRange) KeepRange();
        return;
    }
    if (command == WindowCommand::FocusIndexField) {
        if (!port_.CanFocus(Control::PageIndex)) return;
        // As Tab would: the number is selected, so the next one typed replaces it.
        indexField_->setFocus(Qt::ShortcutFocusReason);
        if (auto* field = qobject_cast<QAbstractSpinBox*>(indexField_)) field->selectAll();
        return;
    }
    // The key clicks the button: a button that cannot be used now ignores
    // it, as it ignores the mouse.
    if (const std::optional<ToolButton> button = ButtonOfCommand(command))
        tools_.Button(*button)->click();
    // A favourites list that opened keeps the keys, and so does the overview
    // sheet; else they go back to the index field, as after a click on a tool
    // button. While a page loads the field cannot take them; it does when the
    // page is complete.
    if (port_.IsVisible(Control::FavoritePhotos) || port_.IsVisible(Control::FavoriteUsers) ||
        port_.IsDown(ToolButton::OverviewSheet))
        return;
    if (port_.CanFocus(Control::PageIndex)) port_.SetFocus(Control::PageIndex);
}

void KeyPreview::RunPhotoCommand(PhotoCommand command) {
    switch (command) {
        case PhotoCommand::SavePhoto:
            photos_.SavePhoto();
            break;
        case PhotoCommand::SavePhotoAs:
            photos_.SavePhotoAs();
            break;
        case PhotoCommand::CopyAddress:
            photos_.CopyAddress();
            break;
        case PhotoCommand::Slideshow:
            if (!logic_.Slides().Stop()) logic_.Slides().Start();
            break;
    }
}

}  // namespace kpw
