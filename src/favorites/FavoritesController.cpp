#include "favorites/FavoritesController.h"

#include <optional>

#include "browsing/ControlGroups.h"
#include "browsing/IndexText.h"
#include "browsing/KeyCodes.h"
#include "texts/Texts.h"

namespace kpw {

namespace {

constexpr char CharCR = '\r';

bool IsFavoriteList(Control list) {
    return list == Control::FavoritePhotos || list == Control::FavoriteUsers;
}

std::string InvalidIntegerText(const std::string& text) {
    const std::string_view format = InvalidIntegerMessage;
    const size_t at = format.find("%s");
    return std::string(format.substr(0, at)) + text + std::string(format.substr(at + 2));
}

}  // namespace

FavoritesController::FavoritesController(Settings& settings, MainWindowPort& window,
                                         FavoritesNavigation& navigator, FavoriteList& favoritePhotos,
                                         FavoriteList& favoriteUsers)
    : settings_(settings),
      window_(window),
      navigator_(navigator),
      favoritePhotos_(favoritePhotos),
      favoriteUsers_(favoriteUsers) {}

FavoriteList& FavoritesController::List(Control list) {
    return list == Control::FavoriteUsers ? favoriteUsers_ : favoritePhotos_;
}

const FavoriteList& FavoritesController::List(Control list) const {
    return list == Control::FavoriteUsers ? favoriteUsers_ : favoritePhotos_;
}

Control FavoritesController::ListInForce() const {
    // The overview sheet shows photos, whatever the mode.
    return window_.IsDown(ToolButton::URL3) && !window_.IsDown(ToolButton::OverviewSheet)
               ? Control::FavoriteUsers
               : Control::FavoritePhotos;
}

int FavoritesController::LanguageIndex() const {
    return texts::LanguageIndex(settings_.Language);
}

void FavoritesController::SelectFirstEntries() {
    for (Control list : {Control::FavoritePhotos, Control::FavoriteUsers}) {
        List(list).Select(0);
        window_.FavoriteListChanged(list);
    }
}

// ---- Adding

std::string FavoritesController::IndexTextOfField(std::string& key) const {
    // The field's numeric value: its text in the field's bounds, 1 if no number.
    const std::string fieldText = window_.PageIndexText();
    std::optional<int32_t> read = ReadInteger(fieldText);
    key = std::to_string(read ? Clamp(*read, 1, MaxIndex) : 1);
    // The entry keeps the field's digits, leading zeros included, as long as
    // they are that value; any other text (empty, signed, 0, out of bounds)
    // would store an index that is not the one the entry is found by.
    const bool plainDigits =
        !fieldText.empty() && CountLeadingDigits(fieldText) == fieldText.size();
    return plainDigits && read && std::to_string(*read) == key ? fieldText : key;
}

std::string FavoritesController::AddPrompt(Control list, const std::string& indexText) const {
    const int language = LanguageIndex();
    std::string prompt = texts::MainForm.AddFavorite.In(language);
    prompt += CharCR;
    prompt += CharCR;
    prompt += list == Control::FavoriteUsers ? texts::RemarkOnUserPrompts.In(language)
                                             : texts::RemarkOnPhotoPrompts.In(language);
    prompt += indexText;
    return prompt;
}

void FavoritesController::SpeedButtonAddFavoriteOnClick() {
    navigator_.HideFavoriteLists();
    std::string key;
    const std::string indexText = IndexTextOfField(key);
    const Control listControl = ListInForce();
    FavoriteList& list = List(listControl);

    std::string remark;
    if (std::optional<int> found = list.Find(key))
        remark = LimitCharacters(TextAfterLeadingDigits(list.At(*found)), MaxRemarkLength);
    if (!window_.InputQuery(window_.WindowCaption(), AddPrompt(listControl, indexText), remark))
        return;

    // The entry is looked up again: the modal dialog let other events run.
    const FavoriteEntry entry = MakeFavoriteEntry(indexText, CleanRemark(remark));
    const std::vector<FavoriteEntry> dropped =
        list.AddOrUpdate(key, entry, settings_.MaxFavoriteCount);
    window_.FavoriteListChanged(listControl);

    const int language = LanguageIndex();
    const texts::FavoriteTexts& t = texts::Favorite;
    std::string said = texts::FillIn(
        (listControl == Control::FavoriteUsers ? t.AddedUser : t.AddedPhoto).In(language),
        {indexText});
    if (!dropped.empty()) {
        std::string names;
        for (const FavoriteEntry& gone : dropped)
            names += (names.empty() ? "" : ", ") + LeadingDigits(gone);
        said += texts::FillIn(t.Dropped.In(language),
                              {names, std::to_string(std::max(settings_.MaxFavoriteCount, 1))});
    }
    window_.SetStatusText(said);
}

// ---- Opening

void FavoritesController::OpenList(bool forSelecting) {
    favoriteSelectMode_ = forSelecting;
    navigator_.HideFavoriteLists();
    if (forSelecting) navigator_.ShowControls(false);
    const Control list = ListInForce();
    window_.SetVisible(list, true);
    window_.ProcessPendingMessages();
    // An event run just now may have closed the list again.
    if (!window_.IsVisible(list)) return;
    window_.DropDownFavoriteList(list);
    window_.SetFocus(list);
}

void FavoritesController::SpeedButtonSelectFavoriteOnClick() {
    OpenList(true);
}

void FavoritesController::SpeedButtonDeleteFavoriteOnClick() {
    OpenList(false);
}

// ---- Choosing

void FavoritesController::ComboBoxFavoritePhotosOrUsersOnSelect(Control list, int position) {
    if (!IsFavoriteList(list) || !List(list).IsPosition(position)) return;
    if (favoriteSelectMode_)
        SelectEntry(list, position);
    else
        DeleteEntry(list, position);
}

void FavoritesController::SelectEntry(Control listControl, int position) {
    FavoriteList& list = List(listControl);
    const FavoriteEntry chosen = list.At(position);
    const std::string key = LeadingDigits(chosen);
    std::optional<int32_t> index = key.empty() ? std::nullopt : ReadInteger(key);
    if (!key.empty() && !index) {
        window_.ShowErrorMessage(InvalidIntegerText(key));
        navigator_.HideFavoriteLists();
        return;
    }
    // Index 0 names no page, like an entry without digits.
    if (!index || *index < 1) {
        window_.Beep();
        navigator_.HideFavoriteLists();
        return;
    }

    if (listControl == Control::FavoritePhotos) {
        navigator_.OpenFavoritePhoto(*index);
    } else {
        navigator_.OpenFavoriteUser(*index);
    }
    navigator_.HideFavoriteLists();

    // The mode click processed pending events, which may have changed the
    // list; the chosen entry is moved where it now stands.
    if (!list.IsPosition(position) || list.At(position) != chosen) {
        position = FavoriteList::NoSelection;
        for (int p = 0; p < list.Count(); ++p) {
            if (list.At(p) == chosen) {
                position = p;
                break;
            }
        }
    }
    list.MoveToTop(position);
    window_.FavoriteListChanged(listControl);
}

void FavoritesController::DeleteEntry(Control listControl, int position) {
    FavoriteList& list = List(listControl);
    RemovedEntry removed{listControl, position, list.At(position), list.Selected(), {}};
    list.Remove(position);
    window_.FavoriteListChanged(listControl);
    const texts::FavoriteTexts& t = texts::Favorite;
    removed.Message =
        texts::FillIn((listControl == Control::FavoriteUsers ? t.RemovedUser : t.RemovedPhoto)
                          .In(LanguageIndex()),
                      {LeadingDigits(removed.Entry)});
    // The message stays while the deletion can be taken back.
    navigator_.HoldStatus(removed.Message);
    removed_ = std::move(removed);
}

bool FavoritesController::UndoDelete() {
    if (!removed_) return false;
    RemovedEntry removed = std::move(*removed_);
    removed_.reset();
    FavoriteList& list = List(removed.List);
    list.Insert(removed.Position, removed.Entry);
    list.Select(removed.Selected);
    window_.FavoriteListChanged(removed.List);
    navigator_.ReleaseStatus(removed.Message);
    const texts::FavoriteTexts& t = texts::Favorite;
    window_.SetStatusText(
        texts::FillIn((removed.List == Control::FavoriteUsers ? t.RestoredUser : t.RestoredPhoto)
                          .In(LanguageIndex()),
                      {LeadingDigits(removed.Entry)}));
    return true;
}

void FavoritesController::UserActed() {
    if (!removed_) return;
    const std::string message = std::move(removed_->Message);
    removed_.reset();
    navigator_.ReleaseStatus(message);
}

// ---- Closing

void FavoritesController::ComboBoxFavoritePhotosOrUsersOnKeyPress(Control, char key) {
    if (key != CharEscape) return;
    navigator_.HideFavoriteLists();
    if (window_.CanFocus(Control::PageIndex)) window_.SetFocus(Control::PageIndex);
}

void FavoritesController::ComboBoxFavoritePhotosOrUsersOnCloseUp() {
    navigator_.HideFavoriteLists();
}

void FavoritesController::ComboBoxFavoritePhotosOrUsersOnExit() {
    navigator_.HideFavoriteLists();
}

}  // namespace kpw
