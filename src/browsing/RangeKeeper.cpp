#include "browsing/RangeKeeper.h"

#include <algorithm>
#include <utility>

#include "browsing/PhotoFiles.h"
#include "browsing/SeenPhotos.h"
#include "browsing/URLTemplateTable.h"
#include "texts/Texts.h"

namespace kpw {

namespace {

std::string Number(int64_t value) {
    return std::to_string(value);
}

// "0:42", "12:05", "3:02:07".
std::string DurationText(int64_t ms) {
    const int64_t seconds = (std::max<int64_t>(ms, 0) + 999) / 1000;
    const auto two = [](int64_t value) { return (value < 10 ? "0" : "") + Number(value); };
    if (seconds >= 3600)
        return Number(seconds / 3600) + ":" + two(seconds / 60 % 60) + ":" + two(seconds % 60);
    return Number(seconds / 60) + ":" + two(seconds % 60);
}

// "5 kept, 1 missing": the counts that are not zero, kept always.
std::string CountsText(const RangeProgress& p, int language) {
    const texts::RangeTexts& t = texts::Range;
    std::string text = texts::FillIn(t.KeptCount.In(language), {Number(p.Kept)});
    const auto add = [&](int32_t count, const texts::Text& words) {
        if (count > 0) text += ", " + texts::FillIn(words.In(language), {Number(count)});
    };
    add(p.KeptBefore, t.KeptBeforeCount);
    add(p.Missing, t.MissingCount);
    add(p.Waiting, t.WaitingCount);
    add(p.Failed, t.FailedCount);
    return text;
}

MissingHow HowMissing(const KeepAnswer& answer, const std::string& url) {
    if (answer.HttpStatus == 404 || answer.HttpStatus == 410) return MissingHow::Status;
    if (!answer.FinalURL.empty() && answer.FinalURL != url) return MissingHow::Placeholder;
    return MissingHow::Words;
}

bool EndsTheRun(KeepFailure failure) {
    return failure == KeepFailure::DiskFull || failure == KeepFailure::FolderGone ||
           failure == KeepFailure::WriteFailed;
}

RangeEnd EndOf(KeepFailure failure) {
    switch (failure) {
        case KeepFailure::DiskFull:
            return RangeEnd::DiskFull;
        case KeepFailure::FolderGone:
            return RangeEnd::FolderGone;
        default:
            return RangeEnd::WriteFailed;
    }
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

}  // namespace

RangeProblem CheckRange(const RangeOrder& order, FolderState folder) {
    if (order.From > order.To) return RangeProblem::FromAfterTo;
    if (int64_t{order.To} - order.From + 1 > MaxRangeLength) return RangeProblem::TooLong;
    if (order.Folder.empty()) return RangeProblem::NoFolder;
    switch (folder) {
        case FolderState::Writable:
            return RangeProblem::None;
        case FolderState::Missing:
        case FolderState::NotAFolder:
            return RangeProblem::FolderMissing;
        case FolderState::NotWritable:
            break;
    }
    return RangeProblem::FolderNotWritable;
}

RangeProblem ReadRangeInput(const RangeInput& input, FolderState folder, RangeOrder& order) {
    const auto index = [](const std::string& text) -> std::optional<int32_t> {
        const size_t first = text.find_first_not_of(' ');
        const size_t last = text.find_last_not_of(' ');
        if (first == std::string::npos) return std::nullopt;
        const std::string digits = text.substr(first, last - first + 1);
        if (digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos)
            return std::nullopt;
        const int64_t value = std::stoll(digits);
        if (value < 1 || value > MaxIndex) return std::nullopt;
        return static_cast<int32_t>(value);
    };
    const std::optional<int32_t> from = index(input.From);
    if (!from) return RangeProblem::BadFrom;
    const std::optional<int32_t> to = index(input.To);
    if (!to) return RangeProblem::BadTo;
    order.From = *from;
    order.To = *to;
    order.Size = std::clamp(input.Size, 1, 4);
    order.Folder = input.Folder;
    order.SkipKept = input.SkipKept;
    return CheckRange(order, folder);
}

std::string RangeProblemMessage(RangeProblem problem, const RangeOrder& order, int language,
                                const RangeInput& input) {
    const texts::RangeTexts& t = texts::Range;
    switch (problem) {
        case RangeProblem::None:
            return {};
        case RangeProblem::BadFrom:
        case RangeProblem::BadTo:
            return texts::FillIn(
                t.BadIndex.In(language),
                {problem == RangeProblem::BadFrom ? input.From : input.To, Number(MaxIndex)});
        case RangeProblem::FromAfterTo:
            return texts::FillIn(t.FromAfterTo.In(language),
                                 {Number(order.From), Number(order.To)});
        case RangeProblem::TooLong:
            return texts::FillIn(
                t.TooLong.In(language),
                {Number(MaxRangeLength), Number(int64_t{order.To} - order.From + 1)});
        case RangeProblem::NoFolder:
            return t.NoFolder.In(language);
        case RangeProblem::FolderMissing:
            return texts::FillIn(t.FolderMissing.In(language), {order.Folder});
        case RangeProblem::FolderNotWritable:
            break;
    }
    return texts::FillIn(t.FolderNotWritable.In(language), {order.Folder});
}

std::string RangeProgressText(const RangeProgress& p, int language) {
    const texts::RangeTexts& t = texts::Range;
    std::string text =
        texts::FillIn(t.Progress.In(language),
                      {Number(p.Order.From), Number(p.Order.To), Number(p.Done), Number(p.Total)});
    text += " (" + CountsText(p, language) + ")";
    if (p.Paused)
        text += ", " + std::string(t.Paused.In(language));
    else if (p.LeftMs)
        text += ", " + texts::FillIn(t.TimeLeft.In(language), {DurationText(*p.LeftMs)});
    if (p.Queued > 0) text += ", " + texts::FillIn(t.QueuedCount.In(language), {Number(p.Queued)});
    return text;
}

std::string RangeReportText(const RangeReport& report, int language) {
    const texts::RangeTexts& t = texts::Range;
    const RangeProgress& p = report.Progress;
    const std::string from = Number(p.Order.From);
    const std::string to = Number(p.Order.To);
    const std::string counts = CountsText(p, language) + ".";
    switch (report.End) {
        case RangeEnd::Finished:
            return texts::FillIn(t.Finished.In(language), {from, to}) + " " + counts;
        case RangeEnd::Cancelled:
            return texts::FillIn(t.Cancelled.In(language), {from, to}) + " " + counts;
        case RangeEnd::DiskFull:
        case RangeEnd::FolderGone:
        case RangeEnd::WriteFailed:
        case RangeEnd::SiteUnreachable:
            break;
    }
    std::string reason;
    if (report.End == RangeEnd::DiskFull)
        reason = texts::FillIn(t.DiskFull.In(language), {report.Detail});
    else if (report.End == RangeEnd::FolderGone)
        reason = texts::FillIn(t.FolderGone.In(language), {p.Order.Folder});
    else if (report.End == RangeEnd::WriteFailed)
        reason = texts::FillIn(t.WriteFailed.In(language), {p.Order.Folder, report.Detail});
    else
        reason = texts::FillIn(t.SiteUnreachable.In(language), {report.Detail});
    return reason + " " + texts::FillIn(t.Cancelled.In(language), {from, to}) + " " + counts + " " +
           t.KeptSoFar.In(language);
}

RangeKeeper::RangeKeeper(RequestScheduler& scheduler, PhotoVerdicts& verdicts, ClockPort& clock,
                         KeepFetchPort& fetcher, KeepFilesPort& files)
    : scheduler_(scheduler), verdicts_(verdicts), clock_(clock), fetcher_(fetcher), files_(files) {
    scheduler_.SetOwner(RequestKind::Range, [this] { return SendNext(); });
}

RangeKeeper::~RangeKeeper() {
    CancelFetches();
    scheduler_.Withdraw(RequestKind::Range);
    scheduler_.SetOwner(RequestKind::Range, nullptr);
}

void RangeKeeper::Start(RangeOrder order) {
    if (run_) {
        queue_.push_back(std::move(order));
        Notify();
        return;
    }
    Run run;
    run.Order = std::move(order);
    run.Counts.Order = run.Order;
    run.Counts.Total = std::max(0, run.Order.To - run.Order.From + 1);
    run.Next = run.Order.From;
    run.StartMs = clock_.NowMs();
    run_ = std::move(run);
    // What a run cut short left behind is no photo.
    files_.RemoveLeftovers(run_->Order.Folder);
    Notify();
    scheduler_.Wake(RequestKind::Range);
}

void RangeKeeper::Pause() {
    if (!run_ || run_->PausedSinceMs) return;
    run_->PausedSinceMs = clock_.NowMs();
    scheduler_.Withdraw(RequestKind::Range);
    Notify();
}

void RangeKeeper::Resume() {
    if (!run_ || !run_->PausedSinceMs) return;
    run_->PausedMs += clock_.NowMs() - *run_->PausedSinceMs;
    run_->PausedSinceMs.reset();
    Notify();
    scheduler_.Wake(RequestKind::Range);
}

void RangeKeeper::Cancel() {
    if (run_) Finish(RangeEnd::Cancelled);
}

void RangeKeeper::CancelAll() {
    queue_.clear();
    CancelFetches();
    run_.reset();
    scheduler_.Withdraw(RequestKind::Range);
}

std::optional<RangeProgress> RangeKeeper::Progress() const {
    if (!run_) return std::nullopt;
    RangeProgress progress = run_->Counts;
    progress.Waiting = static_cast<int32_t>(run_->Retry.size());
    progress.Paused = run_->PausedSinceMs.has_value();
    progress.Queued = queue_.size();
    // The photos fetched so far tell the pace; those known already took no time.
    const int32_t fetched = progress.Done - progress.KeptBefore;
    const int64_t now = run_->PausedSinceMs.value_or(clock_.NowMs());
    const int64_t active = now - run_->StartMs - run_->PausedMs;
    if (fetched > 0 && active > 0)
        progress.LeftMs = active * (progress.Total - progress.Done) / fetched;
    return progress;
}

bool RangeKeeper::KeptBefore(int32_t index) {
    if (!archive_ || !run_->Order.SkipKept) return false;
    const ArchiveEntry entry = archive_->Lookup(run_->Order.PhotoTemplate, index);
    return entry.Kept && files_.Exists(entry.Kept->Path);
}

std::optional<int32_t> RangeKeeper::NextIndex() {
    Run& run = *run_;
    // What the site asked to wait for comes first, once the wait is over.
    if (!run.Retry.empty()) {
        const int32_t index = run.Retry.front();
        run.Retry.pop_front();
        return index;
    }
    while (run.Next <= run.Order.To) {
        const int32_t index = static_cast<int32_t>(run.Next++);
        if (KeptBefore(index)) {
            Settle(run.Counts.KeptBefore);
            continue;
        }
        // Found missing in this session by the same rules: asked no more.
        if (verdicts_.IsKnownMissing(run.Order.PhotoTemplate, index)) {
            Settle(run.Counts.Missing);
            continue;
        }
        return index;
    }
    return std::nullopt;
}

bool RangeKeeper::SendNext() {
    if (!run_ || run_->PausedSinceMs || static_cast<int>(inFlight_.size()) >= MaxInFlight)
        return false;
    const std::optional<int32_t> index = NextIndex();
    if (!index) {
        // Photos known already may have settled the rest of the range; the
        // next range queued then asks at once.
        if (!IsDone()) return false;
        Finish(RangeEnd::Finished);
        return run_.has_value();
    }
    const uint64_t id = nextId_++;
    inFlight_.emplace(id, *index);
    fetcher_.Fetch(id, PutIndexIntoTemplate(run_->Order.PhotoTemplate, *index), run_->Order.Folder);
    scheduler_.NoteRequest();
    Notify();
    return true;
}

void RangeKeeper::Answered(uint64_t id, const KeepAnswer& answer) {
    const auto fetch = inFlight_.find(id);
    if (fetch == inFlight_.end()) {
        if (!answer.TempFile.empty()) files_.Remove(answer.TempFile);
        return;
    }
    const int32_t index = fetch->second;
    inFlight_.erase(fetch);
    Judge(index, answer);
    if (!run_) return;
    if (IsDone()) {
        Finish(RangeEnd::Finished);
        return;
    }
    Notify();
    // A place is free for the next photo.
    scheduler_.Wake(RequestKind::Range);
}

void RangeKeeper::Judge(int32_t index, const KeepAnswer& answer) {
    Run& run = *run_;
    const auto discard = [&] {
        if (!answer.TempFile.empty()) files_.Remove(answer.TempFile);
    };
    if (EndsTheRun(answer.Failure)) {
        discard();
        Finish(EndOf(answer.Failure), answer.Detail);
        return;
    }
    const bool answered = answer.Failure == KeepFailure::None || answer.HttpStatus != 0;
    if (!answered && !answer.ClosedWithoutAnswer) {
        Settle(run.Counts.Failed);
        if (answer.Failure == KeepFailure::NoConnection &&
            ++run.ConnectionFailuresInARow >= UnreachableLimit)
            Finish(RangeEnd::SiteUnreachable, answer.Detail);
        return;
    }
    run.ConnectionFailuresInARow = 0;
    DocumentContent content;
    content.HttpStatus = answer.HttpStatus;
    content.ContentType = answer.ContentType;
    content.RetryAfter = answer.RetryAfter;
    content.ClosedWithoutAnswer = answer.ClosedWithoutAnswer;
    // A picture has no words; an error page has its own.
    content.BodyText = answer.TempFile.empty() ? answer.Text : std::optional<std::string>("");
    const std::string url = PutIndexIntoTemplate(run.Order.PhotoTemplate, index);
    switch (verdicts_.Judge({run.Order.PhotoTemplate, index, answer.FinalURL, content}, true)) {
        case PhotoVerdict::Busy:
            discard();
            // Asked again after the wait; a busy photo is never a missing one.
            if (scheduler_.TakeAutomaticBusy(answer.RetryAfter))
                run.Retry.push_back(index);
            else
                Settle(run.Counts.Failed);
            return;
        case PhotoVerdict::Missing:
            discard();
            scheduler_.TakeAutomaticAnswer();
            NoteMissing(index, answer);
            Settle(run.Counts.Missing);
            return;
        case PhotoVerdict::Present:
            scheduler_.TakeAutomaticAnswer();
            if (!answer.TempFile.empty()) {
                Keep(index, answer);
                return;
            }
            break;
        case PhotoVerdict::Unreadable:
        case PhotoVerdict::Pending:
            discard();
            break;
    }
    Settle(run.Counts.Failed);
}

// The temporary file takes the photo's name: the index and the extension
// its bytes tell, numbered when the name is taken. A file of that name with
// the same bytes is this photo, kept by a run that ended before the archive
// heard of it.
void RangeKeeper::Keep(int32_t index, const KeepAnswer& answer) {
    Run& run = *run_;
    const std::string& folder = run.Order.Folder;
    std::string same;
    const auto taken = [&](const std::string& name) {
        const std::string path = JoinPath(folder, name);
        if (!files_.Exists(path)) return false;
        if (same.empty() && files_.SizeOf(path) == answer.Bytes &&
            files_.Sha256Of(path) == answer.Sha256Hex)
            same = path;
        return true;
    };
    // A name taken between the look and the rename is looked for again.
    for (int attempt = 0; attempt < 3; ++attempt) {
        const std::optional<std::string> name = PhotoFileName(index, answer.Extension, taken);
        if (!same.empty()) {
            files_.Remove(answer.TempFile);
            NoteKept(index, same, answer);
            Settle(run.Counts.KeptBefore);
            return;
        }
        if (!name) break;
        std::string detail;
        const std::string target = JoinPath(folder, *name);
        switch (files_.MoveNoReplace(answer.TempFile, target, detail)) {
            case PlaceResult::Placed:
                NoteKept(index, target, answer);
                Settle(run.Counts.Kept);
                return;
            case PlaceResult::NameTaken:
                continue;
            case PlaceResult::DiskFull:
                files_.Remove(answer.TempFile);
                Finish(RangeEnd::DiskFull, detail);
                return;
            case PlaceResult::FolderGone:
                files_.Remove(answer.TempFile);
                Finish(RangeEnd::FolderGone, detail);
                return;
            case PlaceResult::Failed:
                files_.Remove(answer.TempFile);
                Finish(RangeEnd::WriteFailed, detail);
                return;
        }
    }
    files_.Remove(answer.TempFile);
    Settle(run.Counts.Failed);
}

void RangeKeeper::NoteKept(int32_t index, const std::string& path, const KeepAnswer& answer) {
    if (!archive_) return;
    NoteKeptPhoto(*archive_, run_->Order.PhotoTemplate, run_->Order.PhotoKey, index,
                  {path, answer.Bytes, answer.Sha256Hex, clock_.UnixSeconds()});
}

void RangeKeeper::NoteMissing(int32_t index, const KeepAnswer& answer) {
    if (!archive_) return;
    const std::string& key =
        run_->Order.PhotoKey.empty() ? run_->Order.PhotoTemplate : run_->Order.PhotoKey;
    archive_->NoteMissing(
        key, index, HowMissing(answer, PutIndexIntoTemplate(run_->Order.PhotoTemplate, index)),
        clock_.UnixSeconds());
}

void RangeKeeper::Settle(int32_t& count) {
    ++count;
    ++run_->Counts.Done;
}

bool RangeKeeper::IsDone() const {
    return run_ && inFlight_.empty() && run_->Retry.empty() && run_->Next > run_->Order.To;
}

void RangeKeeper::Finish(RangeEnd end, std::string detail) {
    CancelFetches();
    RangeReport report{.End = end, .Detail = std::move(detail)};
    report.Progress = *Progress();
    report.Progress.LeftMs.reset();
    run_.reset();
    scheduler_.Withdraw(RequestKind::Range);
    if (Ended) Ended(report);
    StartNextQueued();
    Notify();
}

void RangeKeeper::StartNextQueued() {
    if (run_ || queue_.empty()) return;
    RangeOrder next = std::move(queue_.front());
    queue_.pop_front();
    Start(std::move(next));
}

void RangeKeeper::CancelFetches() {
    for (const auto& [id, index] : inFlight_) fetcher_.Cancel(id);
    inFlight_.clear();
}

void RangeKeeper::Notify() {
    if (Changed) Changed();
}

}  // namespace kpw
