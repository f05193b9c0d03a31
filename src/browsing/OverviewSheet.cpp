#include "browsing/OverviewSheet.h"

#include <algorithm>
#include <utility>

#include "browsing/BusySite.h"
#include "browsing/URLTemplateTable.h"

namespace kpw {

namespace {

int32_t ClampIndex(int64_t index) {
    return static_cast<int32_t>(std::clamp<int64_t>(index, 1, MaxIndex));
}

}  // namespace

OverviewSheet::OverviewSheet(RequestScheduler& scheduler, PhotoVerdicts& verdicts,
                             ThumbnailPort& fetcher, std::function<bool(int32_t)> isFavourite)
    : scheduler_(scheduler),
      verdicts_(verdicts),
      fetcher_(fetcher),
      isFavourite_(std::move(isFavourite)) {
    scheduler_.SetOwner(RequestKind::Sheet, [this] { return SendNext(); });
}

OverviewSheet::~OverviewSheet() {
    CancelAll();
    scheduler_.Withdraw(RequestKind::Sheet);
    scheduler_.SetOwner(RequestKind::Sheet, nullptr);
}

void OverviewSheet::Open(int32_t first, int columns, int rows, const std::string& photoTemplate) {
    open_ = true;
    template_ = photoTemplate;
    columns_ = std::max(columns, 1);
    rows_ = std::max(rows, 1);
    selected_ = 0;
    cells_.clear();
    ahead_.clear();
    Rebuild(first);
}

void OverviewSheet::Close() {
    if (!open_) return;
    open_ = false;
    CancelAll();
    cells_.clear();
    ahead_.clear();
    scheduler_.Withdraw(RequestKind::Sheet);
}

void OverviewSheet::SetLayout(int columns, int rows) {
    columns_ = std::max(columns, 1);
    rows_ = std::max(rows, 1);
    selected_ = std::min(selected_, CellCount() - 1);
    if (open_) Rebuild(first_);
}

int32_t OverviewSheet::SelectedIndex() const {
    if (selected_ < 0 || static_cast<size_t>(selected_) >= cells_.size()) return first_;
    return cells_[static_cast<size_t>(selected_)].Index;
}

std::string OverviewSheet::URLOf(int32_t index) const {
    return PutIndexIntoTemplate(template_, index);
}

// A cell not made before, with what the archive knows of its photo.
SheetCell OverviewSheet::NewCell(int32_t index) const {
    SheetCell cell{.Index = index};
    if (seen_ && seen_->Attached()) {
        const ArchiveEntry entry = seen_->Lookup(index);
        cell.SeenBefore = entry.Seen.has_value();
        cell.Kept = entry.Kept.has_value();
    }
    return cell;
}

// A sheet's worth of cells from first on; the cells made before (known) keep
// what they know.
std::vector<SheetCell> OverviewSheet::Fill(int64_t first,
                                           std::unordered_map<int32_t, SheetCell>& known) const {
    std::vector<SheetCell> cells;
    for (int64_t index = first;
         cells.size() < static_cast<size_t>(CellCount()) && index <= MaxIndex; ++index) {
        const int32_t i = static_cast<int32_t>(index);
        const bool knownMissing = verdicts_.IsKnownMissing(template_, i);
        if (knownMissing && hidesMissing_) continue;
        const auto kept = known.find(i);
        SheetCell cell = kept != known.end() ? std::move(kept->second) : NewCell(i);
        if (knownMissing) cell.State = CellState::Missing;
        cell.Favourite = isFavourite_ && isFavourite_(i);
        cells.push_back(std::move(cell));
    }
    return cells;
}

// The cells from first on and the next sheet's after them; what the cells
// made before know is kept.
void OverviewSheet::Rebuild(int32_t first) {
    first_ = ClampIndex(first);
    std::unordered_map<int32_t, SheetCell> known;
    for (std::vector<SheetCell>* cells : {&cells_, &ahead_}) {
        for (SheetCell& cell : *cells) known.emplace(cell.Index, std::move(cell));
    }
    cells_ = Fill(first_, known);
    ahead_ =
        cells_.empty() ? std::vector<SheetCell>{} : Fill(int64_t{cells_.back().Index} + 1, known);
    // Fetches for cells neither shown nor next end here.
    std::vector<uint64_t> stale;
    for (const auto& [id, i] : inFlight_) {
        if (!CellOf(i)) stale.push_back(id);
    }
    for (uint64_t id : stale) {
        inFlight_.erase(id);
        fetcher_.Cancel(id);
    }
    selected_ = std::clamp(selected_, 0, std::max(0, static_cast<int>(cells_.size()) - 1));
    NoteShownSeen();
    Notify();
    scheduler_.Wake(RequestKind::Sheet);
}

void OverviewSheet::NoteShownSeen() {
    if (!seen_) return;
    // Only the cells shown: the next sheet's pictures are not seen yet.
    for (SheetCell& cell : cells_) {
        if (cell.State != CellState::Picture || cell.NotedSeen) continue;
        seen_->NoteSeen(cell.Index);
        cell.NotedSeen = true;
    }
}

const SheetCell* OverviewSheet::CellOf(int32_t index) const {
    for (const std::vector<SheetCell>* cells : {&cells_, &ahead_}) {
        const auto cell = std::find_if(cells->begin(), cells->end(),
                                       [index](const SheetCell& c) { return c.Index == index; });
        if (cell != cells->end()) return &*cell;
    }
    return nullptr;
}

SheetCell* OverviewSheet::CellOf(int32_t index) {
    return const_cast<SheetCell*>(std::as_const(*this).CellOf(index));
}

bool OverviewSheet::SendNext() {
    if (!open_ || static_cast<int>(inFlight_.size()) >= MaxInFlight) return false;
    // The cells shown first, then the next sheet's, so that it is there
    // when the user moves on.
    for (std::vector<SheetCell>* cells : {&cells_, &ahead_}) {
        for (SheetCell& cell : *cells) {
            if (cell.State != CellState::Loading && cell.State != CellState::Waiting) continue;
            const bool underWay =
                std::any_of(inFlight_.begin(), inFlight_.end(),
                            [&](const auto& fetch) { return fetch.second == cell.Index; });
            if (underWay) continue;
            const uint64_t id = nextId_++;
            inFlight_.emplace(id, cell.Index);
            cell.State = CellState::Loading;
            fetcher_.Fetch(id, URLOf(cell.Index));
            scheduler_.NoteRequest();
            Notify();
            return true;
        }
    }
    return false;
}

void OverviewSheet::Answered(uint64_t id, const ThumbnailAnswer& answer) {
    const auto fetch = inFlight_.find(id);
    if (fetch == inFlight_.end()) return;
    const int32_t index = fetch->second;
    inFlight_.erase(fetch);
    if (SheetCell* cell = CellOf(index)) Judge(*cell, answer);
    // An answer may prove other cells missing (a shared placeholder).
    MarkKnownMissing();
    NoteShownSeen();
    Notify();
    // A place is free for the next cell.
    scheduler_.Wake(RequestKind::Sheet);
}

void OverviewSheet::Judge(SheetCell& cell, const ThumbnailAnswer& answer) {
    DocumentContent content;
    content.HttpStatus = answer.HttpStatus;
    content.ContentType = answer.ContentType;
    content.RetryAfter = answer.RetryAfter;
    content.ClosedWithoutAnswer = answer.ClosedWithoutAnswer;
    // A picture has no words; an error page has its own.
    content.BodyText = answer.Decoded ? std::optional<std::string>("") : answer.Text;
    const bool answered = answer.Failure == ThumbnailFailure::None || answer.HttpStatus != 0;
    if (!answered && !answer.ClosedWithoutAnswer) {
        Fail(cell, answer.Failure, answer.Detail);
        return;
    }
    const PhotoVerdict verdict =
        verdicts_.Judge({template_, cell.Index, answer.FinalURL, content}, true);
    switch (verdict) {
        case PhotoVerdict::Busy:
            // Asked again once the site lets the program's requests go; a busy
            // photo is never taken for a missing one.
            if (scheduler_.TakeAutomaticBusy(answer.RetryAfter)) {
                cell.State = CellState::Waiting;
            } else {
                Fail(cell, ThumbnailFailure::Busy,
                     answer.ClosedWithoutAnswer ? answer.Detail
                                                : "HTTP " + std::to_string(answer.HttpStatus));
            }
            return;
        case PhotoVerdict::Missing:
            scheduler_.TakeAutomaticAnswer();
            cell.State = CellState::Missing;
            return;
        case PhotoVerdict::Present:
            scheduler_.TakeAutomaticAnswer();
            if (answer.Decoded) {
                cell.State = CellState::Picture;
                return;
            }
            if (answer.Failure != ThumbnailFailure::None)
                Fail(cell, answer.Failure, answer.Detail);
            else
                Fail(cell, ThumbnailFailure::NotAPicture, answer.ContentType);
            return;
        case PhotoVerdict::Unreadable:
        case PhotoVerdict::Pending:
            break;
    }
    Fail(cell,
         answer.Failure != ThumbnailFailure::None ? answer.Failure : ThumbnailFailure::Undecodable,
         answer.Detail);
}

void OverviewSheet::Fail(SheetCell& cell, ThumbnailFailure why, std::string detail) {
    cell.State = CellState::Failed;
    cell.Failure = why;
    cell.Detail = std::move(detail);
}

void OverviewSheet::Refresh() {
    if (!open_) return;
    for (SheetCell& cell : cells_) cell.Favourite = isFavourite_ && isFavourite_(cell.Index);
    MarkKnownMissing();
    Notify();
}

void OverviewSheet::MarkKnownMissing() {
    bool missingShown = false;
    for (std::vector<SheetCell>* cells : {&cells_, &ahead_}) {
        for (SheetCell& cell : *cells) {
            if (cell.State != CellState::Missing && verdicts_.IsKnownMissing(template_, cell.Index))
                cell.State = CellState::Missing;
            missingShown = missingShown || cell.State == CellState::Missing;
        }
    }
    // Missing photos give their cells to the next present ones.
    if (missingShown && hidesMissing_) Rebuild(first_);
}

void OverviewSheet::MoveTo(int32_t first) {
    if (ClampIndex(first) == first_ && !cells_.empty()) return;
    Rebuild(first);
}

void OverviewSheet::MoveSelection(int delta) {
    const int target = selected_ + delta;
    const int count = static_cast<int>(cells_.size());
    if (target >= 0 && target < count) {
        SelectCell(target);
        return;
    }
    if (count == 0) return;
    // Beyond the edge the sheet moves on by a row, the selection with it.
    const int rowsMoved = target < 0 ? -1 : 1;
    const int64_t first =
        rowsMoved < 0 ? int64_t{first_} - columns_
        : hidesMissing_
            ? int64_t{cells_[static_cast<size_t>(std::min(columns_, count) - 1)].Index} + 1
            : int64_t{first_} + columns_;
    const int32_t before = first_;
    Rebuild(ClampIndex(first));
    // At the ends of the range the sheet stays and so does the selection.
    const int moved = first_ == before ? 0 : rowsMoved * columns_;
    selected_ = std::clamp(target - moved, 0, std::max(0, static_cast<int>(cells_.size()) - 1));
    Notify();
}

void OverviewSheet::SelectCell(int cell) {
    if (cell < 0 || cell >= static_cast<int>(cells_.size()) || cell == selected_) return;
    selected_ = cell;
    Notify();
}

void OverviewSheet::PageDown() {
    if (cells_.empty()) return;
    Rebuild(ClampIndex(int64_t{cells_.back().Index} + 1));
}

void OverviewSheet::PageUp() {
    Rebuild(ClampIndex(int64_t{first_} - CellCount()));
}

void OverviewSheet::Home() {
    SelectCell(0);
}

void OverviewSheet::ShowIndex(int32_t index) {
    const auto shown = std::find_if(cells_.begin(), cells_.end(),
                                    [index](const SheetCell& cell) { return cell.Index == index; });
    if (shown != cells_.end()) {
        SelectCell(static_cast<int>(shown - cells_.begin()));
        return;
    }
    selected_ = 0;
    Rebuild(index);
}

std::optional<int32_t> OverviewSheet::IndexOfFetch(uint64_t id) const {
    const auto fetch = inFlight_.find(id);
    if (fetch == inFlight_.end()) return std::nullopt;
    return fetch->second;
}

void OverviewSheet::CancelAll() {
    for (const auto& [id, index] : inFlight_) fetcher_.Cancel(id);
    inFlight_.clear();
}

void OverviewSheet::Notify() {
    if (Changed) Changed();
}

}  // namespace kpw
