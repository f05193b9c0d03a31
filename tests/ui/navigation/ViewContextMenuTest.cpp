// The view's context menu is the program's own: the photo actions that apply
// to what is on view, in the language in force.
#include <QClipboard>
#include <QGuiApplication>
#include <QMenu>

#include "MainWindowHarness.h"
#include "browsing/Navigator.h"

namespace kpw {
namespace {

class ViewContextMenu : public MainWindowHarness {
protected:
    // Opens the menu as a right click on the view does, and returns its
    // entries; trigger names the entry to choose, else the menu is closed.
    QStringList Entries(const QString& trigger = {}) {
        QStringList entries;
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (!menu) return;
            poll.stop();
            QAction* chosen = nullptr;
            shape_.clear();
            for (QAction* action : menu->actions()) {
                shape_ << (action->isSeparator() ? QStringLiteral("-") : action->text());
                if (action->isSeparator()) continue;
                entries << action->text();
                if (!trigger.isEmpty() && action->text().startsWith(trigger)) chosen = action;
            }
            menu->close();
            if (chosen) chosen->trigger();
        });
        poll.start(10);
        emit visible_->ContextMenuRequested(visible_->Widget()->mapToGlobal(QPoint(20, 20)));
        return entries;
    }

    // The last menu's entries with its separators as "-".
    QStringList shape_;
};

TEST_F(ViewContextMenu, OffersThePhotoActionsThatApplyToWhatIsOnView) {
    WriteIni({"[Page]", "PhotoIndex=500", "UserIndex=900"});
    auto form = Start();
    FinishLoad();
    EXPECT_EQ(Entries(), QStringList({"Save photo\tCtrl+S", "Save photo as...\tCtrl+Shift+S",
                                      "Copy photo", "Copy address\tCtrl+Shift+C", "Open in browser",
                                      "Slideshow\tF9", "Keep a range of photos...\tCtrl+J"}));

    // A user page has no photo; an address that is no web page does not go
    // to the browser.
    Probe(*form).Logic().SpeedButtonURLOnClick(3);
    FinishLoad();
    visible_->location = "about:blank";
    EXPECT_EQ(Entries(), QStringList({"Copy address\tCtrl+Shift+C", "Slideshow\tF9",
                                      "Keep a range of photos...\tCtrl+J"}));
}

TEST_F(ViewContextMenu, SetsItsGroupsApartAndShowsTheKeysOfItsEntries) {
    WriteIni({"[Page]", "PhotoIndex=500"});
    auto form = Start();
    FinishLoad();
    visible_->engineEntries = {"Copy", "Copy link address"};
    Entries();
    EXPECT_EQ(
        shape_,
        QStringList({"Save photo\tCtrl+S", "Save photo as...\tCtrl+Shift+S", "Copy photo", "-",
                     "Copy address\tCtrl+Shift+C", "Open in browser", "-", "Slideshow\tF9",
                     "Keep a range of photos...\tCtrl+J", "-", "Copy", "Copy link address"}));

    // A group that is not there leaves no separator of its own behind.
    Probe(*form).Logic().SpeedButtonURLOnClick(3);
    FinishLoad();
    visible_->location = "about:blank";
    visible_->engineEntries.clear();
    Entries();
    EXPECT_EQ(shape_, QStringList({"Copy address\tCtrl+Shift+C", "-", "Slideshow\tF9",
                                   "Keep a range of photos...\tCtrl+J"}));
}

TEST_F(ViewContextMenu, SpeaksTheLanguageInForceAndItsEntriesAct) {
    WriteIni({"[General]", "Language=1", "[Page]", "PhotoIndex=42"});
    auto form = Start();
    FinishLoad();
    QGuiApplication::clipboard()->clear();
    const QStringList entries = Entries(QStringLiteral("Adresse kopieren"));
    EXPECT_EQ(entries.value(0), "Photo speichern\tStrg+S");
    EXPECT_EQ(entries.value(5), "Diashow\tF9");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(), visible_->location);
    EXPECT_EQ(Probe(*form).StatusText().toStdString(), "Adresse kopiert: " + visible_->location);

    Entries(QStringLiteral("Diashow"));
    EXPECT_TRUE(Probe(*form).Logic().Slides().Running());
    EXPECT_EQ(Probe(*form).StatusText(), "Diashow: alle 5 s");
    // Any key of the user ends it, and only ends it.
    const std::string shown = visible_->location;
    QTest::keyClick(Probe(*form).PageIndexField(), Qt::Key_5);
    EXPECT_FALSE(Probe(*form).Logic().Slides().Running());
    EXPECT_EQ(Probe(*form).PageIndexField()->text(), "42");
    EXPECT_EQ(visible_->location, shown);
}

}  // namespace
}  // namespace kpw
