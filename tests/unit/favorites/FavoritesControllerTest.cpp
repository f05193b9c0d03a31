#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "FakeBrowserView.h"
#include "FakeClock.h"
#include "FakeMainWindow.h"
#include "browsing/ControlGroups.h"
#include "browsing/Navigator.h"
#include "favorites/FavoritesController.h"

namespace kpw {
namespace {

const std::string Host = std::string("http://") + PhotoSiteHost;

// The fake window, also recording what the input dialog was pre-filled with
// and able to run an event right when a list is shown.
class Window : public FakeMainWindow {
public:
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override {
        inputValues.push_back(value);
        return FakeMainWindow::InputQuery(caption, prompt, value);
    }
    void SetVisible(Control control, bool visible) override {
        FakeMainWindow::SetVisible(control, visible);
        if (visible && whenListShown && control >= Control::FavoritePhotos) Post(whenListShown);
    }
    std::vector<std::string> inputValues;
    std::function<void()> whenListShown;
};

class FavoritesTest : public ::testing::Test {
protected:
    void SetUp() override {
        settings.PhotoIndex = 500;
        settings.UserIndex = 70;
        window.Connect(&navigator);
        navigator.StartUp();
        navigator.StartFirstLoad();
        Arrive();
    }
    void Arrive() { navigator.VisibleWebBrowserOnDocumentComplete({"<DIV>x</DIV>", "A page"}); }
    void Mode(int mode) {
        window.SetDown(URLButton(mode), true);
        navigator.SpeedButtonURLOnClick(mode);
        Arrive();
    }
    // Shows text in the index field as the user leaves it there.
    void Field(const std::string& text) {
        window.ChangePageIndexText(text);
        window.StopNavigateTimer();
    }
    void Add(const std::string& fieldText, std::optional<std::string> answer) {
        Field(fieldText);
        window.QueueInputAnswer(std::move(answer));
        favorites.SpeedButtonAddFavoriteOnClick();
    }
    bool ControlsShown() const {
        return window.IsVisible(Control::PageIndex) && window.IsVisible(Control::GoBack) &&
               window.IsVisible(Control::Settings);
    }

    Settings settings;
    Window window;
    FakeBrowserView visible;
    FakeBrowserView hidden;
    FakeClock clock;
    Navigator navigator{settings, window, visible, hidden, clock, "/opt/kpw/"};
    FavoriteList photos;
    FavoriteList users;
    FavoritesController favorites{settings, window, navigator, photos, users};
};

TEST_F(FavoritesTest, AddUpdatesRemarkOfFoundEntryAndKeepsFullLength) {
    for (int i = 1; i <= 16; ++i) photos.Entries().push_back(std::to_string(i) + "   x");
    photos.Entries()[5] = "123456   Tower at dusk";
    Add("123456", "  Tower at night ");

    EXPECT_EQ(window.InputCaptions(), std::vector<std::string>{window.WindowCaption()});
    EXPECT_EQ(window.InputPrompts(),
              std::vector<std::string>{"Add to favorites\r\rRemark on photo #123456"});
    EXPECT_EQ(window.inputValues, std::vector<std::string>{"Tower at dusk"});
    ASSERT_EQ(photos.Count(), 16);
    EXPECT_EQ(photos.At(0), "123456   Tower at night");
    EXPECT_EQ(photos.Find("123456"), 0);
    EXPECT_EQ(photos.At(15), "16   x");
    EXPECT_EQ(window.StatusText(), "Added 123456 to the favorite photos");
    Add("99", "new");  // the bound of the settings
    ASSERT_EQ(photos.Count(), 16);
    EXPECT_EQ(photos.At(1), "123456   Tower at night");
    EXPECT_EQ(photos.At(15), "15   x");
    // The oldest entry went: the status bar says so.
    EXPECT_EQ(window.StatusText(),
              "Added 99 to the favorite photos and dropped 16 (the list holds 16)");
}

TEST_F(FavoritesTest, UserModeAddsToUsersListWithGermanPrompt) {
    settings.Language = 1;
    Mode(3);
    Add("70", "");
    EXPECT_EQ(window.InputPrompts().back(),
              "Zu den Favoriten hinzuf\xC3\xBCgen\r\rBemerkung zu User #70");
    EXPECT_EQ(users.Entries(), std::vector<FavoriteEntry>{"70   "});
    EXPECT_TRUE(photos.Empty());
    EXPECT_EQ(window.StatusText(), "70 zu den Favoriten-Usern hinzugef\xC3\xBCgt");
}

TEST_F(FavoritesTest, CancelChangesNothing) {
    photos.Entries() = {"1   a", "42   b"};
    photos.Select(1);
    Add("42", std::nullopt);
    EXPECT_EQ(photos.Entries(), (std::vector<FavoriteEntry>{"1   a", "42   b"}));
    EXPECT_EQ(photos.Selected(), 1);
    EXPECT_TRUE(window.ListChanges().empty());
}

struct FieldCase {
    const char* FieldText;
    const char* IndexText;
};
void PrintTo(const FieldCase& c, std::ostream* os) {
    *os << '"' << c.FieldText << '"';
}

class FavoritesFieldTest : public FavoritesTest, public ::testing::WithParamInterface<FieldCase> {};

// The entry never carries an index other than the one it is found by.
TEST_P(FavoritesFieldTest, EntryCarriesFieldDigitsOnlyWhenTheyAreItsValue) {
    photos.Entries() = {"7   seven"};
    Add(GetParam().FieldText, "r");
    EXPECT_EQ(photos.At(0), std::string(GetParam().IndexText) + "   r");
    EXPECT_EQ(window.InputPrompts().back(),
              std::string("Add to favorites\r\rRemark on photo #") + GetParam().IndexText);
}

INSTANTIATE_TEST_SUITE_P(FieldTexts, FavoritesFieldTest,
                         ::testing::Values(FieldCase{"0042", "0042"},
                                           FieldCase{"2147483647", "2147483647"},
                                           FieldCase{"", "1"}, FieldCase{"0", "1"},
                                           FieldCase{"-5", "1"}, FieldCase{"+7", "7"},
                                           FieldCase{"99999999999", "1"}));

struct SelectCase {
    int Mode;
    std::string ExpectedURL;
};
void PrintTo(const SelectCase& c, std::ostream* os) {
    *os << "mode " << c.Mode;
}

class FavoritesSelectTest : public FavoritesTest,
                            public ::testing::WithParamInterface<SelectCase> {};

TEST_P(FavoritesSelectTest, ChosenEntryShowsItsPageInTheModeInForce) {
    Mode(GetParam().Mode);
    FavoriteList& list = GetParam().Mode == 3 ? users : photos;
    const Control listControl =
        GetParam().Mode == 3 ? Control::FavoriteUsers : Control::FavoritePhotos;
    list.Entries() = {"1   a", "2   b", " 00042   kept  "};
    favorites.SpeedButtonSelectFavoriteOnClick();
    EXPECT_TRUE(window.IsVisible(listControl));
    EXPECT_FALSE(ControlsShown());
    EXPECT_EQ(window.Focus(), listControl);

    favorites.ComboBoxFavoritePhotosOrUsersOnSelect(listControl, 2);
    EXPECT_EQ(visible.LastNavigatedURL(), GetParam().ExpectedURL);
    EXPECT_EQ(settings.URLIndex, GetParam().Mode);
    EXPECT_EQ(GetParam().Mode == 3 ? settings.UserIndex : settings.PhotoIndex, 42);
    EXPECT_EQ(list.Entries(), (std::vector<FavoriteEntry>{"00042   kept", "1   a", "2   b"}));
    EXPECT_EQ(list.Selected(), 0);
    EXPECT_FALSE(window.IsVisible(listControl));
    EXPECT_TRUE(ControlsShown());
}

INSTANTIATE_TEST_SUITE_P(Modes, FavoritesSelectTest,
                         ::testing::Values(SelectCase{1, Host + "/photos/medium/42.jpg"},
                                           SelectCase{2, Host + "/photo/42"},
                                           SelectCase{3, Host + "/user/42"}));

struct RefusedCase {
    const char* Entry;
    const char* Error;  // nullptr: refused with the beep
};
void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << '"' << c.Entry << '"';
}

class FavoritesRefusedTest : public FavoritesTest,
                             public ::testing::WithParamInterface<RefusedCase> {};

TEST_P(FavoritesRefusedTest, EntryWithoutValidIndexChangesNothing) {
    photos.Entries() = {"1   a", GetParam().Entry};
    favorites.SpeedButtonSelectFavoriteOnClick();
    const size_t calls = visible.Calls().size();
    favorites.ComboBoxFavoritePhotosOrUsersOnSelect(Control::FavoritePhotos, 1);

    const char* error = GetParam().Error;
    EXPECT_EQ(window.Errors(),
              error ? std::vector<std::string>{error} : std::vector<std::string>{});
    EXPECT_EQ(window.Beeps(), error ? 0 : 1);
    EXPECT_EQ(photos.Entries(), (std::vector<FavoriteEntry>{"1   a", GetParam().Entry}));
    EXPECT_EQ(settings.PhotoIndex, 500);
    EXPECT_EQ(visible.Calls().size(), calls);
    EXPECT_FALSE(window.IsVisible(Control::FavoritePhotos));
    EXPECT_TRUE(ControlsShown());
}

INSTANTIATE_TEST_SUITE_P(
    Entries, FavoritesRefusedTest,
    ::testing::Values(RefusedCase{"Tower 123", nullptr}, RefusedCase{"0   zero", nullptr},
                      RefusedCase{"2147483648   big",
                                  "'2147483648' ist kein g\xC3\xBCltiger Integerwert"},
                      RefusedCase{"123456789012345678901",
                                  "'123456789012345678901' ist kein g\xC3\xBCltiger Integerwert"}));

TEST_F(FavoritesTest, DeleteLeavesTopSelectedAndEmptyListStillOpens) {
    photos.Entries() = {"1   a", "2   b", "3   c"};
    favorites.SpeedButtonDeleteFavoriteOnClick();
    EXPECT_TRUE(ControlsShown());
    favorites.ComboBoxFavoritePhotosOrUsersOnSelect(Control::FavoritePhotos, 1);
    EXPECT_EQ(photos.Entries(), (std::vector<FavoriteEntry>{"1   a", "3   c"}));
    EXPECT_EQ(window.StatusText(), "Removed 2 from the favorite photos. Ctrl+Z brings it back.");
    EXPECT_EQ(photos.Selected(), 0);
    favorites.ComboBoxFavoritePhotosOrUsersOnCloseUp();
    EXPECT_FALSE(window.IsVisible(Control::FavoritePhotos));

    photos.Entries() = {"9"};
    favorites.SpeedButtonDeleteFavoriteOnClick();
    favorites.ComboBoxFavoritePhotosOrUsersOnSelect(Control::FavoritePhotos, 0);
    EXPECT_EQ(photos.Selected(), FavoriteList::NoSelection);
    favorites.ComboBoxFavoritePhotosOrUsersOnExit();
    favorites.SpeedButtonDeleteFavoriteOnClick();
    EXPECT_TRUE(window.IsVisible(Control::FavoritePhotos));
    EXPECT_EQ(window.DropDowns().size(), 3u);
}

TEST_F(FavoritesTest, UndoPutsTheDeletedEntryBackWhereItWasOnce) {
    photos.Entries() = {"1   a", "2   b", "3   c"};
    photos.Select(2);
    favorites.SpeedButtonDeleteFavoriteOnClick();
    favorites.ComboBoxFavoritePhotosOrUsersOnSelect(Control::FavoritePhotos, 1);
    favorites.ComboBoxFavoritePhotosOrUsersOnCloseUp();
    ASSERT_TRUE(favorites.CanUndoDelete());
    const size_t changes = window.ListChanges().size();

    EXPECT_TRUE(favorites.UndoDelete());
    EXPECT_EQ(photos.Entries(), (std::vector<FavoriteEntry>{"1   a", "2   b", "3   c"}));
    EXPECT_EQ(photos.Selected(), 2);  // as before the deletion
    EXPECT_EQ(window.ListChanges().size(), changes + 1);
    EXPECT_EQ(window.StatusText(), "2 is back among the favorite photos");
    EXPECT_FALSE(favorites.CanUndoDelete());
    EXPECT_FALSE(favorites.UndoDelete());
    EXPECT_EQ(photos.Count(), 3);
}

TEST_F(FavoritesTest, TheRemovedMessageOutlivesTheViewsTextsUntilTheUsersNextAction) {
    settings.Language = 1;
    Mode(3);
    users.Entries() = {"70   x", "71   y"};
    favorites.SpeedButtonDeleteFavoriteOnClick();
    favorites.ComboBoxFavoritePhotosOrUsersOnSelect(Control::FavoriteUsers, 0);
    const std::string removed =
        "70 aus den Favoriten-Usern gel\xC3\xB6scht. Strg+Z holt ihn zur\xC3\xBC"
        "ck.";
    EXPECT_EQ(window.StatusText(), removed);
    // The view's own texts: a hovered link, the end of a load.
    navigator.VisibleWebBrowserOnStatusTextChange(Host + "/user/71");
    navigator.VisibleWebBrowserOnStatusTextChange("Fertig");
    EXPECT_EQ(window.StatusText(), removed);

    favorites.UserActed();
    EXPECT_EQ(window.StatusText(), "");
    EXPECT_FALSE(favorites.UndoDelete());
    EXPECT_EQ(users.Entries(), std::vector<FavoriteEntry>{"71   y"});
    navigator.VisibleWebBrowserOnStatusTextChange("Fertig");
    EXPECT_EQ(window.StatusText(), "Fertig");
}

TEST_F(FavoritesTest, AStepOfTheUserEndsTheRemovedMessageAndAnotherMessageIsNotErased) {
    photos.Entries() = {"1   a", "2   b"};
    favorites.SpeedButtonDeleteFavoriteOnClick();
    favorites.ComboBoxFavoritePhotosOrUsersOnSelect(Control::FavoritePhotos, 0);
    Mode(2);  // navigates: the message held for the deletion ends
    navigator.VisibleWebBrowserOnStatusTextChange("Done");
    EXPECT_EQ(window.StatusText(), "Done");
    // The offer ends with the next action; a text said since then stays.
    favorites.UserActed();
    EXPECT_EQ(window.StatusText(), "Done");
    EXPECT_FALSE(favorites.CanUndoDelete());
}

TEST_F(FavoritesTest, EscapeHidesListAndFocusesFieldWhenItCanTakeIt) {
    favorites.SpeedButtonSelectFavoriteOnClick();
    favorites.ComboBoxFavoritePhotosOrUsersOnKeyPress(Control::FavoritePhotos, CharEscape);
    EXPECT_FALSE(window.IsVisible(Control::FavoritePhotos));
    EXPECT_TRUE(ControlsShown());
    EXPECT_EQ(window.Focus(), Control::PageIndex);

    navigator.SpeedButtonRefreshOnClick();  // loading: the field is disabled
    favorites.SpeedButtonSelectFavoriteOnClick();
    favorites.ComboBoxFavoritePhotosOrUsersOnKeyPress(Control::FavoritePhotos, CharEscape);
    EXPECT_FALSE(window.IsVisible(Control::FavoritePhotos));
    EXPECT_NE(window.Focus(), Control::PageIndex);
}

TEST_F(FavoritesTest, ListClosedWhileOpeningIsNotDroppedDown) {
    window.whenListShown = [this] { navigator.SpeedButtonStopOnClick(); };
    favorites.SpeedButtonSelectFavoriteOnClick();
    EXPECT_FALSE(window.IsVisible(Control::FavoritePhotos));
    EXPECT_TRUE(window.DropDowns().empty());
    EXPECT_TRUE(ControlsShown());
}

TEST_F(FavoritesTest, ChosenEntryMovesToTopAfterListChangedDuringModeClick) {
    photos.Entries() = {"1   a", "2   b", "3   c"};
    favorites.SpeedButtonSelectFavoriteOnClick();
    window.Post([this] { photos.Remove(0); });
    favorites.ComboBoxFavoritePhotosOrUsersOnSelect(Control::FavoritePhotos, 2);
    EXPECT_EQ(settings.PhotoIndex, 3);
    EXPECT_EQ(photos.Entries(), (std::vector<FavoriteEntry>{"3   c", "2   b"}));
}

}  // namespace
}  // namespace kpw
