#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "browsing/PhotoVerdicts.h"
#include "browsing/RequestScheduler.h"
#include "browsing/SeenPhotos.h"

namespace kpw {

// What a cell of the overview sheet knows of its photo.
enum class CellState {
    Loading,
    Picture,
    Missing,
    // The site asked to wait; the cell is asked for again after the wait.
    Waiting,
    // Nothing to show: the site could not be reached, the answer was no
    // picture, or the picture could not be decoded. Reason says which.
    Failed,
};

// Why a thumbnail could not be shown.
enum class ThumbnailFailure {
    None,
    // No answer: refused, reset, the name not found; Detail says which.
    NoConnection,
    // The answer did not end within the time of a cell.
    TimedOut,
    // More bytes or pixels than a thumbnail may take.
    TooLarge,
    // A picture type that could not be decoded, or broken bytes.
    Undecodable,
    // The photo's address answered, but with no picture (Detail: its type).
    NotAPicture,
    // The site stayed busy until the program gave up (Detail: the status).
    Busy,
};

struct SheetCell {
    int32_t Index = 0;
    CellState State = CellState::Loading;
    // For a failed cell: why, and the words of the system or the site.
    ThumbnailFailure Failure = ThumbnailFailure::None;
    std::string Detail = {};
    bool Favourite = false;
    // What the archive knew when the cell was made: the user saw the photo
    // before, or kept it.
    bool SeenBefore = false;
    bool Kept = false;
    // Its picture was shown and the photo noted seen.
    bool NotedSeen = false;
};

// The answer to one thumbnail's fetch, bounded and decoded by the fetcher.
struct ThumbnailAnswer {
    int HttpStatus = 0;
    // Where the fetch ended, redirects followed; empty when unknown.
    std::string FinalURL = {};
    std::string ContentType = {};
    // The text of an answer that is no picture (an error page), cut short.
    std::optional<std::string> Text = std::nullopt;
    // A picture came and was decoded within the limits.
    bool Decoded = false;
    // Why nothing came or could be shown; None when a picture or a page came.
    ThumbnailFailure Failure = ThumbnailFailure::None;
    // The system's words for the failure, or what the answer was.
    std::string Detail = {};
    std::optional<std::string> RetryAfter = std::nullopt;
    bool ClosedWithoutAnswer = false;
};

// What the sheet needs of the program to fetch thumbnails. The answer comes
// later, through OverviewSheet::Answered, unless the fetch was cancelled.
class ThumbnailPort {
public:
    virtual ~ThumbnailPort() = default;
    virtual void Fetch(uint64_t id, const std::string& url) = 0;
    virtual void Cancel(uint64_t id) = 0;
};

// A grid of consecutive photo indexes from First() on, each cell judged by
// the same verdicts as the pages stepped through. The sheet owns the
// scheduler's Sheet requests: at most MaxInFlight at a time, in the order of
// the cells; cells no longer shown have their fetches cancelled.
class OverviewSheet {
public:
    // As many as a browser opens to one host.
    static constexpr int MaxInFlight = 6;

    OverviewSheet(RequestScheduler& scheduler, PhotoVerdicts& verdicts, ThumbnailPort& fetcher,
                  std::function<bool(int32_t)> isFavourite);
    // Cancels what is under way and leaves the scheduler.
    ~OverviewSheet();
    OverviewSheet(const OverviewSheet&) = delete;
    OverviewSheet& operator=(const OverviewSheet&) = delete;
    // Missing photos give their cells to the next present ones.
    void SetHidesMissing(bool hides) { hidesMissing_ = hides; }
    // Where the cells learn what was seen and kept; a picture shown notes
    // its photo seen.
    void SetSeenPhotos(SeenPhotos* seen) { seen_ = seen; }

    // The sheet shows columns x rows cells from first on, the photos taken
    // from photoTemplate. Opening it starts the fetches.
    void Open(int32_t first, int columns, int rows, const std::string& photoTemplate);
    // Leaving the sheet cancels every fetch.
    void Close();
    bool IsOpen() const { return open_; }
    // A new size of the view: the cells that still fit keep what they know.
    void SetLayout(int columns, int rows);

    int32_t First() const { return first_; }
    int Columns() const { return columns_; }
    int Rows() const { return rows_; }
    const std::vector<SheetCell>& Cells() const { return cells_; }
    // The next sheet's cells, fetched once the cells shown are.
    const std::vector<SheetCell>& Ahead() const { return ahead_; }
    int SelectedCell() const { return selected_; }
    int32_t SelectedIndex() const;

    // The sheet moves to start at first (kept within the index range); the
    // selection keeps its place in the grid.
    void MoveTo(int32_t first);
    // The selection moves by cells; beyond the sheet's edge the sheet moves
    // on by a row.
    void MoveSelection(int delta);
    void SelectCell(int cell);
    // A whole sheet on or back, and the sheet's first cell.
    void PageDown();
    void PageUp();
    void Home();
    // The index typed into the index field: its cell is selected where it is
    // shown, else the sheet starts there.
    void ShowIndex(int32_t index);
    // The photo a fetch under way is for; nothing once it was answered or
    // cancelled.
    std::optional<int32_t> IndexOfFetch(uint64_t id) const;

    // A fetch's answer; stale answers (of a cell no longer shown) are dropped.
    void Answered(uint64_t id, const ThumbnailAnswer& answer);
    // What the single view or the favourites learnt since: known-missing
    // photos and favourite marks are taken over by the cells.
    void Refresh();

    // Runs whenever a cell or the selection changed.
    std::function<void()> Changed;

private:
    bool SendNext();
    void Rebuild(int32_t first);
    void CancelAll();
    void Judge(SheetCell& cell, const ThumbnailAnswer& answer);
    static void Fail(SheetCell& cell, ThumbnailFailure why, std::string detail);
    std::vector<SheetCell> Fill(int64_t first, std::unordered_map<int32_t, SheetCell>& known) const;
    SheetCell NewCell(int32_t index) const;
    void NoteShownSeen();
    // The cell of an index, shown or next; nullptr for none.
    const SheetCell* CellOf(int32_t index) const;
    SheetCell* CellOf(int32_t index);
    void MarkKnownMissing();
    std::string URLOf(int32_t index) const;
    int CellCount() const { return columns_ * rows_; }
    void Notify();

    RequestScheduler& scheduler_;
    PhotoVerdicts& verdicts_;
    ThumbnailPort& fetcher_;
    std::function<bool(int32_t)> isFavourite_;
    SeenPhotos* seen_ = nullptr;
    bool open_ = false;
    bool hidesMissing_ = false;
    std::string template_;
    int32_t first_ = 1;
    int columns_ = 1;
    int rows_ = 1;
    int selected_ = 0;
    std::vector<SheetCell> cells_;
    std::vector<SheetCell> ahead_;
    // The fetches under way: id -> the index fetched.
    std::unordered_map<uint64_t, int32_t> inFlight_;
    uint64_t nextId_ = 1;
};

}  // namespace kpw
