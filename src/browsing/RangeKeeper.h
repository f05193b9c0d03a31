#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>

#include "archive/PhotoArchive.h"
#include "browsing/ClockPort.h"
#include "browsing/PhotoVerdicts.h"
#include "browsing/RequestScheduler.h"

namespace kpw {

// A range of photos the user asked to keep, from From to To, both included.
struct RangeOrder {
    int32_t From = 1;
    int32_t To = 100;
    // The photo size, 1 to 4, and its template, filled in by who starts it.
    int Size = 1;
    std::string PhotoTemplate = {};
    // The photo as a whole (its information page template): what the
    // archive and the overview sheet know it by, whatever size was kept.
    std::string PhotoKey = {};
    std::string Folder = {};
    // Photos the archive says were kept, in this size, whose file is still
    // there, are not fetched again.
    bool SkipKept = true;
};

// The longest range one order may ask for.
inline constexpr int32_t MaxRangeLength = 100'000;

// A folder as the files see it.
enum class FolderState { Writable, Missing, NotAFolder, NotWritable };

// What is wrong with a range asked for.
enum class RangeProblem {
    None,
    BadFrom,
    BadTo,
    FromAfterTo,
    TooLong,
    NoFolder,
    FolderMissing,
    FolderNotWritable,
};

RangeProblem CheckRange(const RangeOrder& order, FolderState folder);

// The dialog's fields as typed.
struct RangeInput {
    std::string From = {};
    std::string To = {};
    int Size = 1;
    std::string Folder = {};
    bool SkipKept = true;
};

// The order the fields ask for (templates not yet filled in), or the first
// problem with them; folder is the state of the folder typed.
RangeProblem ReadRangeInput(const RangeInput& input, FolderState folder, RangeOrder& order);
// The dialog's message for a problem, in the language given.
std::string RangeProblemMessage(RangeProblem problem, const RangeOrder& order, int language,
                                const RangeInput& input = {});

// Why a photo of a range was not kept, beyond the site's own answer.
enum class KeepFailure {
    None,
    NoConnection,  // no answer: refused, reset, the name not found
    TimedOut,      // no answer in time, or the bytes stopped coming
    TooLarge,      // more than a photo may have
    NotAPicture,   // the answer was something else
    DiskFull,
    FolderGone,
    WriteFailed,
};

// The answer to one photo's fetch, streamed into a temporary file in the
// order's folder.
struct KeepAnswer {
    int HttpStatus = 0;
    // Where the fetch ended, redirects followed.
    std::string FinalURL = {};
    std::string ContentType = {};
    // The words of an answer that is no picture (an error page), cut short.
    std::optional<std::string> Text = std::nullopt;
    std::optional<std::string> RetryAfter = std::nullopt;
    bool ClosedWithoutAnswer = false;
    // A whole picture: its temporary file, length, SHA-256 and the extension
    // its first bytes tell. Empty when no picture came.
    std::string TempFile = {};
    int64_t Bytes = 0;
    std::string Sha256Hex = {};
    std::string Extension = {};
    KeepFailure Failure = KeepFailure::None;
    // The system's words for the failure.
    std::string Detail = {};
};

// What keeping a range needs of the program to fetch. The answer comes
// later, through RangeKeeper::Answered, unless the fetch was cancelled.
class KeepFetchPort {
public:
    virtual ~KeepFetchPort() = default;
    virtual void Fetch(uint64_t id, const std::string& url, const std::string& folder) = 0;
    // Ends the fetch and removes what it wrote; no answer follows.
    virtual void Cancel(uint64_t id) = 0;
};

enum class PlaceResult { Placed, NameTaken, DiskFull, FolderGone, Failed };

// What keeping a range needs of the file system.
class KeepFilesPort {
public:
    virtual ~KeepFilesPort() = default;
    virtual FolderState StateOf(const std::string& folder) = 0;
    virtual bool Exists(const std::string& path) = 0;
    // Nothing when the file cannot be read.
    virtual std::optional<int64_t> SizeOf(const std::string& path) = 0;
    virtual std::optional<std::string> Sha256Of(const std::string& path) = 0;
    // Renames from to to, never replacing a file at to.
    virtual PlaceResult MoveNoReplace(const std::string& from, const std::string& to,
                                      std::string& detail) = 0;
    virtual void Remove(const std::string& path) = 0;
    // The temporary files a run cut short left in the folder go.
    virtual void RemoveLeftovers(const std::string& folder) = 0;
};

// How far the range under way has come.
struct RangeProgress {
    RangeOrder Order = {};
    int32_t Total = 0;
    // Settled: kept, kept before, missing or failed.
    int32_t Done = 0;
    int32_t Kept = 0;
    int32_t KeptBefore = 0;
    int32_t Missing = 0;
    int32_t Failed = 0;
    // Asked again once the site lets the program's requests go.
    int32_t Waiting = 0;
    bool Paused = false;
    // The time left at the pace so far; none until a photo settled.
    std::optional<int64_t> LeftMs = std::nullopt;
    // Ranges asked for while this one runs, waiting their turn.
    size_t Queued = 0;
};

enum class RangeEnd { Finished, Cancelled, DiskFull, FolderGone, WriteFailed, SiteUnreachable };

struct RangeReport {
    RangeProgress Progress = {};
    RangeEnd End = RangeEnd::Finished;
    // The system's words for a failure that ended the run.
    std::string Detail = {};
};

// The status area's line for a run, and the message at its end.
std::string RangeProgressText(const RangeProgress& progress, int language);
std::string RangeReportText(const RangeReport& report, int language);

// Keeps ranges of photos in the background: the scheduler's Range requests,
// at most MaxInFlight at a time and paced as every request of the program.
// Each answer is judged by the same verdicts as the pages stepped through:
// a busy answer is asked again after the wait and never counted missing, a
// missing photo becomes known missing for stepping. A photo is written to a
// temporary file beside its target and renamed when whole, never over a
// file; a file of the same name with the same bytes is that photo, kept
// before. The archive learns what was kept and what was missing. Ranges
// asked for while one runs wait their turn.
class RangeKeeper {
public:
    static constexpr int MaxInFlight = 6;
    // Photos in a row that found no site end the run.
    static constexpr int UnreachableLimit = 10;

    RangeKeeper(RequestScheduler& scheduler, PhotoVerdicts& verdicts, ClockPort& clock,
                KeepFetchPort& fetcher, KeepFilesPort& files);
    // Cancels what is under way and leaves the scheduler.
    ~RangeKeeper();
    RangeKeeper(const RangeKeeper&) = delete;
    RangeKeeper& operator=(const RangeKeeper&) = delete;

    // Where kept and missing photos are noted; none: nothing is.
    void SetArchive(PhotoArchive* archive) { archive_ = archive; }

    // Starts the range, or queues it behind the one under way.
    void Start(RangeOrder order);
    // No new photo is asked for; those under way end.
    void Pause();
    void Resume();
    // Ends the range under way; the next one queued starts.
    void Cancel();
    // Ends everything, the queue too, without a report.
    void CancelAll();

    bool Running() const { return run_.has_value(); }
    std::optional<RangeProgress> Progress() const;

    // A fetch's answer; answers of cancelled fetches are dropped.
    void Answered(uint64_t id, const KeepAnswer& answer);

    // Runs whenever the progress changed.
    std::function<void()> Changed;
    // Runs once at the end of each range.
    std::function<void(const RangeReport&)> Ended;

private:
    struct Run {
        RangeOrder Order;
        RangeProgress Counts;
        // The next index not yet asked for.
        int64_t Next = 0;
        // Answered busy, asked again first.
        std::deque<int32_t> Retry;
        int ConnectionFailuresInARow = 0;
        int64_t StartMs = 0;
        // Time spent paused, and since when it is.
        int64_t PausedMs = 0;
        std::optional<int64_t> PausedSinceMs;
    };

    bool SendNext();
    // The next index to fetch; photos known already are settled on the way.
    std::optional<int32_t> NextIndex();
    bool KeptBefore(int32_t index);
    void Judge(int32_t index, const KeepAnswer& answer);
    void Keep(int32_t index, const KeepAnswer& answer);
    void NoteKept(int32_t index, const std::string& path, const KeepAnswer& answer);
    void NoteMissing(int32_t index, const KeepAnswer& answer);
    void Settle(int32_t& count);
    void Finish(RangeEnd end, std::string detail = {});
    void StartNextQueued();
    void CancelFetches();
    bool IsDone() const;
    void Notify();

    RequestScheduler& scheduler_;
    PhotoVerdicts& verdicts_;
    ClockPort& clock_;
    KeepFetchPort& fetcher_;
    KeepFilesPort& files_;
    PhotoArchive* archive_ = nullptr;
    std::optional<Run> run_;
    std::deque<RangeOrder> queue_;
    // The fetches under way: id -> the index fetched.
    std::unordered_map<uint64_t, int32_t> inFlight_;
    uint64_t nextId_ = 1;
};

}  // namespace kpw
