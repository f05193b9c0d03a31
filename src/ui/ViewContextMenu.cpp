#include "ui/ViewContextMenu.h"

#include <QMenu>
#include <QUrl>
#include <string>

#include "app/PhotoActions.h"
#include "browsing/Navigator.h"
#include "favorites/FavoritesController.h"
#include "texts/Texts.h"
#include "ui/Guarded.h"
#include "webengine/QtBrowserView.h"

namespace kpw {

ViewContextMenu::ViewContextMenu(QWidget& window, MainWindowPort& port, Navigator& logic,
                                 PhotoActions& photos, FavoritesController& favorites,
                                 QtBrowserView& view)
    : window_(window),
      port_(port),
      logic_(logic),
      photos_(photos),
      favorites_(favorites),
      view_(view) {}

// Adds an entry in the language column whose action runs guarded.
template <typename Action>
QAction* ViewContextMenu::AddEntry(QMenu& menu, const texts::Text& text, int column,
                                   Action action) {
    QAction* entry = menu.addAction(QString::fromUtf8(text.In(column)));
    QObject::connect(entry, &QAction::triggered, &window_,
                     [this, action] { Guarded(port_, action); });
    return entry;
}

void ViewContextMenu::ShowForSheet(const QPoint& globalPos, int language) {
    const int column = texts::LanguageIndex(language);
    QMenu menu(&window_);
    menu.setObjectName(QStringLiteral("SheetMenu"));
    AddEntry(menu, texts::Photo.SavePhoto, column, [this] { photos_.SavePhoto(); });
    AddEntry(menu, texts::Photo.CopyAddress, column, [this] { photos_.CopyAddress(); });
    AddEntry(menu, texts::Sheet.AddFavourite, column,
             [this] { favorites_.SpeedButtonAddFavoriteOnClick(); });
    if (KeepRange) AddEntry(menu, texts::Range.Command, column, [this] { KeepRange(); });
    menu.exec(globalPos);
}

void ViewContextMenu::Show(const QPoint& globalPos, int language) {
    const texts::PhotoTexts& t = texts::Photo;
    const int column = texts::LanguageIndex(language);
    QMenu menu(&window_);
    menu.setObjectName(QStringLiteral("ViewContextMenu"));
    const auto add = [&](const texts::Text& text, auto action) {
        return AddEntry(menu, text, column, action);
    };
    // The groups, each set off from the one before: the photo, its address,
    // the slideshow, the engine's entries. The keys of an entry stand in
    // its text after a tab, which the menu shows right-aligned; the window
    // handles the keys, so the entries carry no shortcut of their own.
    const auto group = [&menu] {
        if (!menu.actions().isEmpty() && !menu.actions().constLast()->isSeparator())
            menu.addSeparator();
    };
    if (logic_.ShownPhoto()) {
        add(t.SavePhoto, [this] { photos_.SavePhoto(); });
        add(t.SavePhotoAs, [this] { photos_.SavePhotoAs(); });
        add(t.CopyPhoto, [this] { photos_.CopyPhoto(); });
    }
    std::string address;
    Guarded(port_, [&] { address = logic_.ShownAddress(); });
    const QUrl url(QString::fromStdString(address));
    group();
    if (!address.empty()) add(t.CopyAddress, [this] { photos_.CopyAddress(); });
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        add(t.OpenInBrowser, [this] { photos_.OpenInBrowser(); });
    group();
    add(t.Slideshow, [this] { logic_.Slides().Start(); });
    if (KeepRange) add(texts::Range.Command, [this] { KeepRange(); });
    QMenu engine;
    view_.AddEngineMenuEntries(engine);
    if (!engine.actions().isEmpty()) {
        group();
        menu.addActions(engine.actions());
    }
    menu.exec(globalPos);
}

}  // namespace kpw
