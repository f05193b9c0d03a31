// The favourites buttons and lists of the real window: the input dialog, the
// drop-down lists, and the entries kept from one run to the next.
#include <QAbstractItemView>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <optional>

#include "MainWindowHarness.h"

namespace kpw {
namespace {

// What the remark dialog showed.
struct Query {
    bool shown = false;
    QString caption;
    QString prompt;
    QString proposed;
    QString okText;
    QString cancelText;
};

class Favorites : public MainWindowHarness {
protected:
    // Idle on photo 500 in mode urlIndex; user 900 is stored for mode 3.
    std::unique_ptr<TFormMain> StartIdle(int urlIndex = 1, const QStringList& favorites = {},
                                         int language = 0) {
        QStringList ini = {"[General]",     QStringLiteral("Language=%1").arg(language),
                           "[URL]",         QStringLiteral("URLIndex=%1").arg(urlIndex),
                           "[Page]",        "PhotoIndex=500",
                           "UserIndex=900", "[Favorites]"};
        WriteIni(ini + favorites);
        auto form = Start();
        FinishLoad();
        return form;
    }

    static QComboBox* List(const TFormMain& form, Control list) {
        return qobject_cast<QComboBox*>(Probe(form).ControlWidget(list));
    }

    static QStringList Entries(const TFormMain& form, Control list) {
        QStringList entries;
        QComboBox* box = List(form, list);
        for (int i = 0; i < box->count(); ++i) entries << box->itemText(i);
        return entries;
    }

    // Clicks Add and answers the remark dialog with remark, or cancels it.
    Query Add(TFormMain& form, const std::optional<QString>& remark) {
        Query query;
        WhenModal([&](QWidget* modal) {
            auto* label = modal->findChild<QLabel*>();
            auto* edit = modal->findChild<QLineEdit*>();
            auto* buttons = modal->findChild<QDialogButtonBox*>();
            ASSERT_TRUE(label && edit && buttons);
            query = {modal->objectName() == QStringLiteral("InputQuery"),
                     modal->windowTitle(),
                     label->text(),
                     edit->text(),
                     buttons->button(QDialogButtonBox::Ok)->text(),
                     buttons->button(QDialogButtonBox::Cancel)->text()};
            if (remark) edit->setText(*remark);
            buttons->button(remark ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        });
        QTest::mouseClick(Tool(form, Control::AddFavorite), Qt::LeftButton);
        return query;
    }

    // Clicks Select or Delete; the list in force opens dropped down.
    static QComboBox* Open(TFormMain& form, Control button, Control list) {
        QTest::mouseClick(Tool(form, button), Qt::LeftButton);
        QComboBox* box = List(form, list);
        EXPECT_TRUE(box->isVisible());
        EXPECT_TRUE(box->view()->isVisible());  // dropped down
        return box;
    }

    // Picks an entry in the open drop-down with the keyboard.
    static void Choose(QComboBox* box, int row) {
        box->view()->setCurrentIndex(box->model()->index(row, 0));
        QTest::keyClick(PopupKeyboard(box), Qt::Key_Return);
    }

    // The index field is the control that gets the keyboard while the window
    // is active. (Offscreen, no window is active again after a drop-down has
    // closed; a desktop keeps the main window active.)
    static bool FieldHoldsTheFocus(const TFormMain& form) {
        QWidget* focus = form.focusWidget();
        return focus && (focus == Probe(form).PageIndexField() ||
                         Probe(form).PageIndexField()->isAncestorOf(focus));
    }

    // Deletes the top entry of the photos list with the keyboard alone: Ctrl+E,
    // then Enter in the list.
    static void DeleteTopByKeyboard(TFormMain& form, QComboBox* photos) {
        QTest::keyClick(Keyboard(form), Qt::Key_E, Qt::ControlModifier);
        ASSERT_TRUE(photos->view()->isVisible());
        // On a desktop the main window is active again as soon as the list
        // closes, so the key press that follows the list's choice finds the
        // index field focused; offscreen, the test activates it.
        const QMetaObject::Connection activate =
            QObject::connect(photos, &QComboBox::activated, &form,
                             [&form] { QApplication::setActiveWindow(&form); });
        QTest::keyClick(PopupKeyboard(photos), Qt::Key_Return);
        QObject::disconnect(activate);
    }

    // The controls an open list covers are all shown (or all hidden).
    static bool CoveredControlsShown(const TFormMain& form, bool shown) {
        for (Control c : {Control::GoBack, Control::Refresh, Control::Stop, Control::AutoSkip,
                          Control::PageIndex, Control::Help, Control::Settings})
            if (Probe(form).ControlWidget(c)->isHidden() == shown) return false;
        return true;
    }
};

TEST_F(Favorites, TheRemarkDialogSpeaksTheLanguageInForce) {
    auto form = StartIdle(1, {}, 1);
    const Query german = Add(*form, std::nullopt);
    EXPECT_EQ(german.prompt,
              QString::fromUtf8("Zu den Favoriten hinzufügen\n\nBemerkung zu Photo #500"));
    EXPECT_EQ(german.okText, QStringLiteral("OK"));
    EXPECT_EQ(german.cancelText, QStringLiteral("Abbrechen"));

    form.reset();
    form = StartIdle(1, {}, 0);
    const Query english = Add(*form, std::nullopt);
    EXPECT_EQ(english.cancelText, QStringLiteral("Cancel"));
}

TEST_F(Favorites, AddAsksForARemarkAndPutsTheEntryOnTop) {
    auto form = StartIdle(1, {"FavoritePhoto1=123   Old tower"});
    const Query query = Add(*form, QStringLiteral("  Tower at dusk "));
    EXPECT_TRUE(query.shown);
    EXPECT_EQ(query.caption, QStringLiteral(" Kelvaro Photo Wizard"));
    EXPECT_EQ(query.prompt, QStringLiteral("Add to favorites\n\nRemark on photo #500"));
    EXPECT_EQ(query.proposed, QString());
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos),
              QStringList({"500   Tower at dusk", "123   Old tower"}));
    EXPECT_TRUE(Entries(*form, Control::FavoriteUsers).isEmpty());
}

TEST_F(Favorites, AddProposesTheStoredRemarkAndCancelChangesNothing) {
    auto form = StartIdle(1, {"FavoritePhoto1=123   Old tower", "FavoritePhoto2=500   Bridge"});
    const Query query = Add(*form, std::nullopt);
    EXPECT_EQ(query.proposed, QStringLiteral("Bridge"));
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos),
              QStringList({"123   Old tower", "500   Bridge"}));

    Add(*form, QStringLiteral("Bridge at night"));
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos),
              QStringList({"500   Bridge at night", "123   Old tower"}));
}

TEST_F(Favorites, InUserModeTheButtonsActOnTheUsersList) {
    auto form = StartIdle(3, {"FavoriteUser1=42   Night shots"});
    const Query query = Add(*form, QStringLiteral("Portraits"));
    EXPECT_EQ(query.prompt, QStringLiteral("Add to favorites\n\nRemark on user #900"));
    EXPECT_EQ(Entries(*form, Control::FavoriteUsers),
              QStringList({"900   Portraits", "42   Night shots"}));

    QComboBox* users = Open(*form, Control::SelectFavorite, Control::FavoriteUsers);
    EXPECT_FALSE(List(*form, Control::FavoritePhotos)->isVisible());
    Choose(users, 1);
    EXPECT_EQ(visible_->navigations.back(), User(42));
    EXPECT_EQ(hidden_->navigations.back(), User(43));
}

class SelectInMode : public Favorites, public ::testing::WithParamInterface<int> {};

TEST_P(SelectInMode, ChoosingAnEntryShowsItsPageInTheModeInForceAndMovesItUp) {
    const int mode = GetParam();
    auto form = StartIdle(mode, {"FavoritePhoto1=123   Old tower", "FavoritePhoto2=77   Lake"});
    QComboBox* photos = Open(*form, Control::SelectFavorite, Control::FavoritePhotos);
    EXPECT_TRUE(CoveredControlsShown(*form, false));
    EXPECT_EQ(photos->x(), Tool(*form, Control::GoBack)->x());

    Choose(photos, 1);
    EXPECT_EQ(visible_->navigations.back(), mode == 1 ? Medium(77) : Info(77));
    EXPECT_EQ(hidden_->navigations.back(), mode == 1 ? Medium(78) : Info(78));
    EXPECT_FALSE(photos->isVisible());
    EXPECT_TRUE(CoveredControlsShown(*form, true));
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos),
              QStringList({"77   Lake", "123   Old tower"}));
    EXPECT_EQ(photos->currentIndex(), 0);
    EXPECT_EQ(Probe(*form).PageIndexField()->value(), 77);
    FinishLoad();
    EXPECT_TRUE(FieldHoldsTheFocus(*form));
}

INSTANTIATE_TEST_SUITE_P(PhotoOnlyAndInfo, SelectInMode, ::testing::Values(1, 2));

TEST_F(Favorites, DeleteRemovesTheChosenEntryAndLeavesTheRestInPlace) {
    auto form =
        StartIdle(1, {"FavoritePhoto1=1   A", "FavoritePhoto2=2   B", "FavoritePhoto3=3   C"});
    const size_t loads = visible_->navigations.size();
    QComboBox* photos = Open(*form, Control::DeleteFavorite, Control::FavoritePhotos);
    EXPECT_TRUE(CoveredControlsShown(*form, true));  // deleting hides nothing
    Choose(photos, 1);
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos), QStringList({"1   A", "3   C"}));
    EXPECT_EQ(photos->currentIndex(), 0);
    EXPECT_FALSE(photos->isVisible());
    EXPECT_EQ(visible_->navigations.size(), loads);
}

const QString RemovedOne =
    QStringLiteral("Removed 1 from the favorite photos. Ctrl+Z brings it back.");

TEST_F(Favorites, EnterThatDeletesDoesNotReloadAndCtrlZBringsTheEntryBack) {
    auto form = StartIdle(1, {"FavoritePhoto1=1   A", "FavoritePhoto2=2   B"});
    const size_t loads = visible_->navigations.size();
    QComboBox* photos = List(*form, Control::FavoritePhotos);
    DeleteTopByKeyboard(*form, photos);
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos), QStringList({"2   B"}));
    EXPECT_EQ(visible_->navigations.size(), loads);
    EXPECT_EQ(visible_->refreshCount, 0);
    EXPECT_FALSE(Tool(*form, Control::Stop)->isEnabled());  // nothing loads
    EXPECT_TRUE(FieldHoldsTheFocus(*form));
    EXPECT_EQ(Probe(*form).StatusText(), RemovedOne);
    emit visible_->StatusTextChange(QStringLiteral("Done"));
    EXPECT_EQ(Probe(*form).StatusText(), RemovedOne);

    QTest::keyClick(Keyboard(*form), Qt::Key_Control);  // Ctrl alone is no action yet
    QTest::keyClick(Keyboard(*form), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos), QStringList({"1   A", "2   B"}));
    EXPECT_EQ(photos->currentIndex(), 0);
    EXPECT_EQ(Probe(*form).StatusText(), QStringLiteral("1 is back among the favorite photos"));
    EXPECT_EQ(Probe(*form).PageIndexField()->text(), QStringLiteral("500"));
}

TEST_F(Favorites, AnyOtherKeyOrClickEndsTheRemovedMessageAndCtrlZNoLongerRestores) {
    auto form = StartIdle(1, {"FavoritePhoto1=1   A", "FavoritePhoto2=2   B"});
    QComboBox* photos = List(*form, Control::FavoritePhotos);
    DeleteTopByKeyboard(*form, photos);
    ASSERT_EQ(Probe(*form).StatusText(), RemovedOne);
    QTest::keyClick(Keyboard(*form), Qt::Key_End);
    EXPECT_EQ(Probe(*form).StatusText(), QString());
    QTest::keyClick(Keyboard(*form), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos), QStringList({"2   B"}));

    DeleteTopByKeyboard(*form, photos);
    ASSERT_EQ(Probe(*form).StatusText(),
              QStringLiteral("Removed 2 from the favorite photos. Ctrl+Z brings it back."));
    QTest::mouseClick(visible_->Widget(), Qt::LeftButton);
    EXPECT_EQ(Probe(*form).StatusText(), QString());
    QTest::keyClick(Keyboard(*form), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos), QStringList());
}

TEST_F(Favorites, EscapeInAnOpenListHidesItAndFocusesTheField) {
    auto form = StartIdle(1, {"FavoritePhoto1=123   Old tower"});
    QComboBox* photos = Open(*form, Control::SelectFavorite, Control::FavoritePhotos);
    QTest::keyClick(PopupKeyboard(photos), Qt::Key_Escape);
    EXPECT_FALSE(photos->isVisible());
    EXPECT_TRUE(CoveredControlsShown(*form, true));
    EXPECT_TRUE(FieldHoldsTheFocus(*form));
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos), QStringList({"123   Old tower"}));
}

TEST_F(Favorites, AnotherToolBarActionClosesTheOpenList) {
    auto form = StartIdle(1, {"FavoritePhoto1=123   Old tower"});
    QComboBox* photos = Open(*form, Control::DeleteFavorite, Control::FavoritePhotos);
    Tool(*form, Control::Refresh)->click();
    EXPECT_EQ(visible_->refreshCount, 1);
    EXPECT_FALSE(photos->isVisible());
    EXPECT_FALSE(photos->view()->isVisible());
    emit visible_->DownloadComplete();

    Open(*form, Control::SelectFavorite, Control::FavoritePhotos);
    Tool(*form, Control::URL2)->click();
    EXPECT_EQ(visible_->navigations.back(), Info(500));
    EXPECT_FALSE(photos->isVisible());
    EXPECT_TRUE(CoveredControlsShown(*form, true));
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos), QStringList({"123   Old tower"}));
}

struct Remarks {
    const char* name;
    QStringList photos;  // added in this order
    QString user;
    bool utf8File;  // a text Windows-1252 cannot hold makes the whole file UTF-8
};

void PrintTo(const Remarks& remarks, std::ostream* out) {
    *out << remarks.name;
}

class FavoritesAcrossRuns : public Favorites, public ::testing::WithParamInterface<Remarks> {};

TEST_P(FavoritesAcrossRuns, ComeBackInTheSameOrderWithTheSameRemarks) {
    const Remarks& remarks = GetParam();
    QStringList expectedPhotos;
    {
        auto form = StartIdle();
        int index = 10;
        for (const QString& remark : remarks.photos) {
            Probe(*form).PageIndexField()->setValue(++index);
            FinishLoad();
            Add(*form, remark);
            expectedPhotos.prepend(QStringLiteral("%1   %2").arg(index).arg(remark));
        }
        QTest::mouseClick(Tool(*form, Control::URL3), Qt::LeftButton);
        FinishLoad();
        Add(*form, remarks.user);
        ASSERT_EQ(Entries(*form, Control::FavoritePhotos), expectedPhotos);
        form->close();
    }
    const QByteArray ini = ReadIni();
    const QString first = remarks.photos.first();
    EXPECT_TRUE(ini.contains(remarks.utf8File ? first.toUtf8() : first.toLatin1()))
        << ini.toStdString();

    auto form = Start();
    EXPECT_EQ(Entries(*form, Control::FavoritePhotos), expectedPhotos);
    EXPECT_EQ(Entries(*form, Control::FavoriteUsers),
              QStringList({QStringLiteral("900   ") + remarks.user}));
    EXPECT_EQ(List(*form, Control::FavoritePhotos)->currentIndex(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    NonAscii, FavoritesAcrossRuns,
    ::testing::Values(
        Remarks{"German", {"Grüße aus Köln", "Straße", "Ärger über Öl"}, "Jürgen", false},
        Remarks{"GermanAndCyrillic", {"Москва зимой", "Brücke", "Дом"}, "Юрий Müller", true}),
    [](const ::testing::TestParamInfo<Remarks>& testCase) {
        return std::string(testCase.param.name);
    });

}  // namespace
}  // namespace kpw
