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
                     const NavigationState& state, RequestPacer& pacer, PhotoVerdicts& verdicts,
                     BrowserView& hiddenView)
    : settings_(settings),
      table_(table),
      state_(state),
      pacer_(pacer),
      verdicts_(verdicts),
      hiddenView_(hiddenView) {}

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
    if (pacer_.AutomaticRequestWaits()) {
        // Sent by the wait timer, to the neighbour of the time.
        pacer_.HoldPreload();
        return;
    }
    pacer_.ReleasePreload();
    pacer_.Navigate(hiddenView_, nextURL);
    preloadedURL_ = nextURL;
    preloadedIndex_ = state_.NextIndex;
    neighbourAwaited_ =
        DetectsMissing() &&
        EqualsIgnoringCase(nextURL, PutIndexIntoTemplate(PhotoTemplate(), preloadedIndex_));
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

void Preloader::SendProbe() {
    if (!DetectsMissing() || !verdicts_.Rules().ByPlaceholder || probePage_ ||
        verdicts_.Probed(PhotoTemplate()))
        return;
    const std::optional<size_t> page = queue_.FreePage();
    if (!page) return;
    if (pacer_.AutomaticRequestWaits()) {
        pacer_.HoldQueue();
        return;
    }
    queue_.Started({*page, AbsentPhotoIndex});
    probePage_ = page;
    probeTemplate_ = PhotoTemplate();
    verdicts_.SetProbed(probeTemplate_, true);
    try {
        pacer_.Navigate(*pages_[*page], PutIndexIntoTemplate(probeTemplate_, AbsentPhotoIndex));
    } catch (const std::exception& error) {
        ReportSwallowed("asking for an absent photo", error);
        queue_.Finished(*page);
        probePage_.reset();
    }
}

void Preloader::ProbeComplete(size_t page, const DocumentContent& content) {
    queue_.Finished(page);
    probePage_.reset();
    if (IsBusyAnswer(content)) {
        // Asked again once the site lets the program's requests go.
        verdicts_.SetProbed(probeTemplate_, false);
        pacer_.TakePreloadBusy(content.RetryAfter);
        return;
    }
    const std::string url = AddressOrNothing(*pages_[page]);
    if (!url.empty() &&
        !EqualsIgnoringCase(url, PutIndexIntoTemplate(probeTemplate_, AbsentPhotoIndex)))
        verdicts_.NoteAbsentAnswer(probeTemplate_, url);
}

void Preloader::PumpQueue() {
    pacer_.ReleaseQueue();
    if (!Active()) return;
    SendProbe();
    const auto known = [this](int32_t index) { return IsKnownMissing(index); };
    while (std::optional<PreloadQueue::Fetch> fetch = queue_.Next(known)) {
        if (pacer_.AutomaticRequestWaits()) {
            pacer_.HoldQueue();
            return;
        }
        queue_.Started(*fetch);
        try {
            pacer_.Navigate(*pages_[fetch->Page], PageURL(fetch->Index));
        } catch (const std::exception& error) {
            // The queue is only a head start; it tries again at the next step.
            ReportSwallowed("fetching a page ahead", error);
            queue_.Finished(fetch->Page);
            return;
        }
    }
}

void Preloader::HiddenPageComplete(const DocumentContent& content) {
    const bool awaited = std::exchange(neighbourAwaited_, false);
    if (!IsBusyAnswer(content)) {
        pacer_.TakePreloadAnswer();
        // The neighbour is a page fetched ahead too: a missing one is learnt.
        if (awaited && DetectsMissing() &&
            Judge(preloadedIndex_, AddressOrNothing(hiddenView_), content, Active()) ==
                PhotoVerdict::Missing &&
            Active())
            PumpQueue();
        return;
    }
    // Dropped silently; the same preload goes out again after the wait.
    preloadedURL_.clear();
    if (pacer_.TakePreloadBusy(content.RetryAfter)) pacer_.HoldPreload();
}

void Preloader::QueuePageComplete(size_t page, const DocumentContent& content) {
    if (probePage_ == page) {
        ProbeComplete(page, content);
        PumpQueue();
        pacer_.ScheduleWaitTimer();
        return;
    }
    const std::optional<int32_t> index = queue_.Finished(page);
    const bool busy = IsBusyAnswer(content);
    // A busy page goes out again after the wait, as the hidden view's does.
    if (index && !(busy && pacer_.TakePreloadBusy(content.RetryAfter))) {
        if (!busy) pacer_.TakePreloadAnswer();
        if (!queue_.Aim().SkipsMissing ||
            Judge(*index, AddressOrNothing(*pages_[page]), content, true) != PhotoVerdict::Missing)
            queue_.Fetched(*index);
    }
    PumpQueue();
    pacer_.ScheduleWaitTimer();
}

KnownGapJump Preloader::GapAhead(int32_t first, bool down, int32_t allowed) const {
    if (!Active() || !settings_.SkipKnownMissing || !DetectsMissing()) return {first, 0};
    return JumpOverKnownMissing([this](int32_t index) { return IsKnownMissing(index); }, first,
                                down, allowed);
}

}  // namespace kpw
