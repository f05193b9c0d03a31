#include "browsing/ControlGroups.h"
#include "browsing/IndexText.h"
#include "browsing/Navigator.h"
#include "texts/Texts.h"

// The overview sheet's side of the navigator: opening and leaving it, and
// the index field while it shows.

namespace kpw {

void Navigator::AttachSheet(OverviewSheet* sheet) {
    if (sheet_) sheet_->Changed = nullptr;
    sheet_ = sheet;
    if (!sheet_) return;
    sheet_->Changed = [this] { SheetChanged(); };
    sheet_->SetSeenPhotos(&seen_);
}

void Navigator::AttachArchive(PhotoArchive* archive) {
    seen_.Attach(archive);
}

void Navigator::NotePhotoKept(int32_t index, const KeptFile& file) {
    seen_.NoteKept(table_[URLTemplateTable::SizeTemplateSlot(settings_.PhotoSize)], index, file);
}

void Navigator::GoToNextNotSeen() {
    HideFavoriteLists();
    const bool down = state_.NextIndex < state_.CurrentIndex;
    const int32_t from = SheetShown() ? sheet_->SelectedIndex() : state_.CurrentIndex;
    const bool atEnd = down ? from <= 1 : from >= MaxIndex;
    const std::optional<int32_t> next =
        !atEnd && (SheetShown() || ModeOf(settings_.URLIndex) != DisplayMode::UserPage)
            ? seen_.NextNotSeen(down ? from - 1 : from + 1, down)
            : std::nullopt;
    if (!next) {
        window_.Beep();
        return;
    }
    if (SheetShown())
        sheet_->ShowIndex(*next);
    else
        // As if typed: the field's change loads it.
        window_.SetPageIndexValue(*next);
}

void Navigator::SpeedButtonOverviewSheetOnClick(int columns, int rows) {
    if (!sheet_) return;
    HideFavoriteLists();
    if (sheet_->IsOpen()) {
        ShowSheetSelection();
        return;
    }
    window_.StopNavigateTimer();
    slideshow_.Stop();
    // The pages ahead of the single view would only hold up the cells.
    preloader_.CancelQueue();
    sheet_->SetHidesMissing(settings_.SheetHidesMissing);
    sheet_->Open(settings_.PhotoIndex, columns, rows,
                 table_[URLTemplateTable::SizeTemplateSlot(settings_.SheetPhotoSize)]);
    window_.SetDown(ToolButton::OverviewSheet, true);
    window_.ShowOverviewSheet(true);
    // The sheet shows photos whatever the mode; the size buttons choose the
    // size its photo is shown in.
    const int language = texts::LanguageIndex(settings_.Language);
    window_.SetLabelPageIndexCaption(
        texts::IndexLabels[ModeNumber(DisplayMode::Photo)].In(language));
    EnablePhotoSizeButtons(window_, true);
    SheetChanged();
}

void Navigator::ShowSheetSelection() {
    if (!SheetShown()) return;
    settings_.PhotoIndex = sheet_->SelectedIndex();
    LeaveSheet();
    // The Enter that chose the photo is no Enter in the index field.
    state_.LastKeyChar = 0;
    window_.SetDown(URLButton(1), true);
    SpeedButtonURLOnClick(1);
}

void Navigator::LeaveSheet() {
    if (!SheetShown()) return;
    sheet_->Close();
    window_.SetDown(ToolButton::OverviewSheet, false);
    window_.ShowOverviewSheet(false);
}

void Navigator::SheetChanged() {
    if (!SheetShown()) return;
    const int32_t selected = sheet_->SelectedIndex();
    if (ReadInteger(window_.PageIndexText()) != selected && !window_.NavigateTimerRunning())
        window_.SetPageIndexValue(selected);
    window_.OverviewSheetChanged();
}

void Navigator::SheetIndexTyped(int32_t index) {
    if (index != sheet_->SelectedIndex())
        sheet_->ShowIndex(index);
    else if (state_.LastKeyChar == CharEnter)
        ShowSheetSelection();
}

std::string Navigator::ShownAddress() const {
    return SheetShown() ? SheetPhoto().URL : visibleView_.LocationURL();
}

ShownPhotoInfo Navigator::SheetPhoto() const {
    const int32_t index = sheet_->SelectedIndex();
    return {PutIndexIntoTemplate(table_[URLTemplateTable::SizeTemplateSlot(settings_.PhotoSize)],
                                 index),
            index};
}

}  // namespace kpw
