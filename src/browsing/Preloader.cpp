#include "browsing/Preloader.h"

#include <algorithm>
#include <exception>
#include <utility>

#include "browsing/BusySite.h"
#include "browsing/Diagnostics.h"
#include "browsing/DisplayMode.h"
#include "browsing/IndexText.h"
#include "browsing/PageAnalysis.h"
#include "settings/AsciiText.h"
#include "settings/SettingsTable.h"

namespace kpw {

Preloader::Preloader(const Settings& settings, const URLTemplateTable& table,
                     const NavigationState& state, RequestScheduler& scheduler,
                     PhotoVerdicts& verdicts, BrowserView& hiddenView)
    : settings_(settings),
      table_(table),
      state_(state),
      scheduler_(scheduler),
      verdicts_(verdicts),
      hiddenView_(hiddenView) {
    scheduler_.SetOwner(RequestKind::Neighbour, [this] { return SendNeighbour(); });
    scheduler_.SetOwner(RequestKind::Ahead, [this] { return SendAhead(); });
}

void Preloader::AttachPages(std::vector<BrowserView*> pages) {
    pages_ = std::move(pages);
    queue_.SetPageCount(pages_.size());
    // Nobody sees these pages, so they never raise a dialog of their own.
    for (BrowserView* page : pages_) page->SetSilent(true);
}

bool Preloader::DetectsMissing() const {
    return ModeOf(settings_.URLIndex) == DisplayMode::Photo && settings_.AutoSkipURL &&
           !state_.StatisticsView;
}

const std::string& Preloader::PhotoTemplate() const {
    return table_[URLTemplateTable::PhotoTemplate];
}

bool Preloader::IsKnownMissing(int32_t index) const {
    return verdicts_.IsKnownMissing(PhotoTemplate(), index);
}

PhotoVerdict Preloader::Judge(int32_t index, const std::string& finalURL,
                              const DocumentContent& content, bool learn) {
    return verdicts_.Judge({PhotoTemplate(), index, finalURL, content}, learn);
}

bool Preloader::EvidenceInFlight() const {
    return neighbourAwaited_ || probePage_.has_value() || queue_.Awaiting();
}

std::string Preloader::PageURL(int32_t index) const {
    const int mode = ModeNumber(ModeOf(settings_.URLIndex));
    const int shown = state_.StatisticsView ? std::max(mode, 2) : mode;
    return PutIndexIntoTemplate(table_.ModeTemplate(shown), index) +
           (state_.StatisticsView ? StatisticsSuffix : "");
}

void Preloader::PreloadNeighbour() {
    const std::string& nextURL = table_[URLTemplateTable::NextURL];
    // Sending the hidden view again to the address it already loads would
    // restart that load and fetch the page twice.
    if (nextURL == preloadedURL_) return;
    preloadedURL_.clear();
    neighbourWanted_ = true;
    scheduler_.Wake(RequestKind::Neighbour);
}

bool Preloader::SendNeighbour() {
    if (!std::exchange(neighbourWanted_, false)) return false;
    // The neighbour of the time it goes out, which a wait may have moved on.
    const std::string nextURL = table_[URLTemplateTable::NextURL];
    if (nextURL == preloadedURL_) return false;
    try {
        scheduler_.Send(hiddenView_, nextURL);
    } catch (const std::exception& error) {
        // The preload is only a head start.
        ReportSwallowed("preloading the next page", error);
        return false;
    }
    preloadedURL_ = nextURL;
    preloadedIndex_ = state_.NextIndex;
    neighbourAwaited_ =
        DetectsMissing() &&
        EqualsIgnoringCase(nextURL, PutIndexIntoTemplate(PhotoTemplate(), preloadedIndex_));
    return true;
}

void Preloader::AimQueue() {
    if (!Active()) return;
    PreloadAim aim;
    aim.Key = PageURL(0);
    aim.Current = state_.CurrentIndex;
    aim.Down = state_.NextIndex < state_.CurrentIndex;
    aim.Depth = Clamp(settings_.PreloadDepth, BoundsOf("PreloadDepth"));
    aim.SkipsMissing = DetectsMissing();
    // Nothing beyond what a step and its skip chain could show.
    aim.Reach = aim.SkipsMissing ? std::max(settings_.MaxSkippedURLCount, 0) + 1 : aim.Depth;
    queue_.Aim(aim);
    PumpQueue();
}

void Preloader::CancelQueue() {
    queue_.CancelAll();
    scheduler_.Withdraw(RequestKind::Ahead);
}

void Preloader::PumpQueue() {
    if (Active()) scheduler_.Wake(RequestKind::Ahead);
}

bool Preloader::SendProbe() {
    if (!DetectsMissing() || !verdicts_.Rules().ByPlaceholder || probePage_ ||
        verdicts_.Probed(PhotoTemplate()))
        return false;
    const std::optional<size_t> page = queue_.FreePage();
    if (!page) return false;
    queue_.Started({*page, AbsentPhotoIndex});
    probePage_ = page;
    probeTemplate_ = PhotoTemplate();
    verdicts_.SetProbed(probeTemplate_, true);
    try {
        scheduler_.Send(*pages_[*page], PutIndexIntoTemplate(probeTemplate_, AbsentPhotoIndex));
    } catch (const std::exception& error) {
        ReportSwallowed("asking for an absent photo", error);
        queue_.Finished(*page);
        probePage_.reset();
        return false;
    }
    return true;
}

bool Preloader::SendAhead() {
    if (!Active()) return false;
    if (SendProbe()) return true;
    const std::optional<PreloadQueue::Fetch> fetch =
        queue_.Next([this](int32_t index) { return IsKnownMissing(index); });
    if (!fetch) return false;
    queue_.Started(*fetch);
    try {
        scheduler_.Send(*pages_[fetch->Page], PageURL(fetch->Index));
    } catch (const std::exception& error) {
        // The queue is only a head start; it tries again at the next step.
        ReportSwallowed("fetching a page ahead", error);
        queue_.Finished(fetch->Page);
        return false;
    }
    return true;
}

void Preloader::ProbeComplete(size_t page, const DocumentContent& content) {
    queue_.Finished(page);
    probePage_.reset();
    if (IsBusyAnswer(content)) {
        // Asked again once the site lets the program's requests go.
        verdicts_.SetProbed(probeTemplate_, false);
        scheduler_.TakeAutomaticBusy(content.RetryAfter);
        return;
    }
    const std::string url = AddressOrNothing(*pages_[page]);
    if (!url.empty() &&
        !EqualsIgnoringCase(url, PutIndexIntoTemplate(probeTemplate_, AbsentPhotoIndex)))
        verdicts_.NoteAbsentAnswer(probeTemplate_, url);
}

void Preloader::HiddenPageComplete(const DocumentContent& content) {
    const bool awaited = std::exchange(neighbourAwaited_, false);
    if (!IsBusyAnswer(content)) {
        scheduler_.TakeAutomaticAnswer();
        // The neighbour is a page fetched ahead too: a missing one is learnt.
        if (awaited && DetectsMissing() &&
            Judge(preloadedIndex_, AddressOrNothing(hiddenView_), content, Active()) ==
                PhotoVerdict::Missing)
            PumpQueue();
        return;
    }
    // Dropped silently; the neighbour of the time goes out after the wait.
    preloadedURL_.clear();
    if (scheduler_.TakeAutomaticBusy(content.RetryAfter)) PreloadNeighbour();
}

void Preloader::QueuePageComplete(size_t page, const DocumentContent& content) {
    if (probePage_ == page) {
        ProbeComplete(page, content);
        PumpQueue();
        return;
    }
    const std::optional<int32_t> index = queue_.Finished(page);
    const bool busy = IsBusyAnswer(content);
    // A busy page goes out again after the wait, as the hidden view's does.
    if (index && !(busy && scheduler_.TakeAutomaticBusy(content.RetryAfter))) {
        if (!busy) scheduler_.TakeAutomaticAnswer();
        if (!queue_.Aim().SkipsMissing ||
            Judge(*index, AddressOrNothing(*pages_[page]), content, true) != PhotoVerdict::Missing)
            queue_.Fetched(*index);
    }
    PumpQueue();
}

KnownGapJump Preloader::GapAhead(int32_t first, bool down, int32_t allowed) const {
    if (!Active() || !settings_.SkipKnownMissing || !DetectsMissing()) return {first, 0};
    return JumpOverKnownMissing([this](int32_t index) { return IsKnownMissing(index); }, first,
                                down, allowed);
}

}  // namespace kpw
