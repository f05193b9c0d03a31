// Pages fetched ahead beyond the hidden view's neighbour, and what they teach
// about missing photos: steps onto a known gap go straight over it.
#include <algorithm>
#include <exception>

#include "browsing/Diagnostics.h"
#include "browsing/FlagScope.h"
#include "browsing/IndexText.h"
#include "browsing/Navigator.h"
#include "browsing/PageAnalysis.h"
#include "settings/SettingsTable.h"
#include "texts/Texts.h"

namespace kpw {

void Navigator::AttachPreloadPages(std::vector<BrowserView*> pages) {
    preloadPages_ = std::move(pages);
    queue_.SetPageCount(preloadPages_.size());
    // Nobody sees these pages, so they never raise a dialog of their own.
    for (BrowserView* page : preloadPages_) page->SetSilent(true);
}

bool Navigator::DetectsMissing() const {
    return Mode() == DisplayMode::Photo && settings_.AutoSkipURL && !state_.StatisticsView;
}

bool Navigator::SkipsKnownMissing() const {
    return PreloadActive() && settings_.SkipKnownMissing && DetectsMissing();
}

bool Navigator::IsKnownMissing(int32_t index) const {
    return knownMissing_.Contains(table_[URLTemplateTable::PhotoTemplate], index);
}

int32_t Navigator::JumpOverKnownGap(int32_t countSoFar) {
    if (!SkipsKnownMissing()) return 0;
    const bool down = state_.NextIndex < state_.CurrentIndex;
    const int32_t first = state_.CurrentIndex;
    const KnownGapJump jump =
        JumpOverKnownMissing([this](int32_t index) { return IsKnownMissing(index); }, first, down,
                             settings_.MaxSkippedURLCount - countSoFar);
    if (jump.Skipped == 0) return 0;
    state_.CurrentIndex = jump.Target;
    AimNextIndex(down);

    const int32_t last = jump.Target + (down ? 1 : -1);
    const texts::KnownMissingTexts& t = texts::KnownMissing;
    const std::string text =
        jump.Skipped == 1 ? texts::FillIn(t.SkippedOne.In(LanguageIndex()), {std::to_string(first)})
                          : texts::FillIn(t.SkippedMany.In(LanguageIndex()),
                                          {std::to_string(jump.Skipped), std::to_string(first),
                                           std::to_string(last)});
    window_.AppendLogLine(text);
    window_.SetStatusText(text);
    return jump.Skipped;
}

void Navigator::ShowJumpedIndex(int32_t skipped) {
    {
        FlagScope skipping(state_.Skipping, true);
        window_.SetPageIndexValue(state_.CurrentIndex);
    }
    state_.SkippedURLCount = skipped;
}

void Navigator::LearnFromVisiblePage(const DocumentContent& content) {
    if (!PreloadActive() || !DetectsMissing() || !content.BodyText) return;
    const std::string& photoTemplate = table_[URLTemplateTable::PhotoTemplate];
    // Only the photo address the program asked for says anything of the index.
    std::string url;
    try {
        url = visibleView_.LocationURL();
    } catch (const std::exception& error) {
        ReportSwallowed("reading the visible view's address", error);
        return;
    }
    if (!EqualsIgnoringCase(url, PutIndexIntoTemplate(photoTemplate, state_.CurrentIndex))) return;
    if (PhotoIsMissing(*content.BodyText))
        knownMissing_.Add(photoTemplate, state_.CurrentIndex);
    else
        knownMissing_.Forget(photoTemplate, state_.CurrentIndex);
}

std::string Navigator::PreloadURL(int32_t index) const {
    const int mode = state_.StatisticsView ? std::max(ModeIndex(), 2) : ModeIndex();
    return PutIndexIntoTemplate(table_.ModeTemplate(mode), index) +
           (state_.StatisticsView ? StatisticsSuffix : "");
}

void Navigator::AimPreloadQueue() {
    if (!PreloadActive()) return;
    PreloadAim aim;
    aim.Key = PreloadURL(0);
    aim.Current = state_.CurrentIndex;
    aim.Down = state_.NextIndex < state_.CurrentIndex;
    aim.Depth = Clamp(settings_.PreloadDepth, BoundsOf("PreloadDepth"));
    aim.SkipsMissing = DetectsMissing();
    // Nothing beyond what a step and its skip chain could show.
    aim.Reach = aim.SkipsMissing ? std::max(settings_.MaxSkippedURLCount, 0) + 1 : aim.Depth;
    queue_.Aim(aim);
    PumpPreloadQueue();
}

void Navigator::PumpPreloadQueue() {
    pacing_.QueueHeld = false;
    if (!PreloadActive()) return;
    const auto known = [this](int32_t index) { return IsKnownMissing(index); };
    while (std::optional<PreloadQueue::Fetch> fetch = queue_.Next(known)) {
        if (AutomaticRequestWaits()) {
            pacing_.QueueHeld = true;
            ScheduleWaitTimer();
            return;
        }
        queue_.Started(*fetch);
        try {
            preloadPages_[fetch->Page]->Navigate2(PreloadURL(fetch->Index), NavHyperlink);
            NoteRequest();
        } catch (const std::exception& error) {
            // The queue is only a head start; it tries again at the next step.
            ReportSwallowed("fetching a page ahead", error);
            queue_.Finished(fetch->Page);
            return;
        }
    }
}

void Navigator::PreloadPageOnDocumentComplete(size_t page, const DocumentContent& content) {
    const std::optional<int32_t> index = queue_.Finished(page);
    if (index && IsBusyStatus(content.HttpStatus) && pacing_.PreloadRetriesDone < MaxBusyRetries) {
        // As the hidden view's: the page goes out again after the wait.
        pacing_.ResumeAtMs = std::max(
            pacing_.ResumeAtMs,
            clock_.NowMs() + BusyWaitMs(pacing_.PreloadRetriesDone, RetryAfterOf(content)));
        ++pacing_.PreloadRetriesDone;
    } else if (index) {
        if (!IsBusyStatus(content.HttpStatus)) pacing_.PreloadRetriesDone = 0;
        if (queue_.Aim().SkipsMissing && content.BodyText && PhotoIsMissing(*content.BodyText))
            knownMissing_.Add(table_[URLTemplateTable::PhotoTemplate], *index);
        else
            queue_.Fetched(*index);
    }
    PumpPreloadQueue();
    ScheduleWaitTimer();
}

}  // namespace kpw
