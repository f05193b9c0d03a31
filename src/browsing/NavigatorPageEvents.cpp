// The visible view's events: page analysis, auto-skip, log and status.
#include <exception>

#include "browsing/ControlGroups.h"
#include "browsing/Diagnostics.h"
#include "browsing/FlagScope.h"
#include "browsing/IndexText.h"
#include "browsing/Navigator.h"
#include "browsing/PageAnalysis.h"

namespace kpw {

void Navigator::VisibleWebBrowserOnDocumentComplete(const DocumentContent& content) {
    const std::string navigatedBefore = state_.LastNavigatedURL;
    CompleteVisibleDocument(content);
    // A skip changes the address last sent; a busy page waits for its retry.
    SlideshowPageEnded(!pacing_.RetryPending && pacing_.HeldSkipURL.empty() &&
                       state_.LastNavigatedURL == navigatedBefore);
}

void Navigator::CompleteVisibleDocument(const DocumentContent& content) {
    EnableControls(true);
    // A busy site has not lost the photo: no analysis, no skip, no preload.
    if (IsBusyStatus(content.HttpStatus)) {
        WaitForBusySite(content);
        return;
    }
    pacing_.RetryURL.clear();
    pacing_.RetriesDone = 0;
    // The first and the last index are shown as they come.
    if (state_.CurrentIndex <= 1 || state_.CurrentIndex >= MaxIndex) return;
    try {
        AnalysePage(content);
    } catch (const std::exception& error) {
        // A page that cannot be read is left as it is; nothing reaches the view.
        ReportSwallowed("analysing the page", error);
    }
}

void Navigator::AnalysePage(const DocumentContent& content) {
    if (Mode() == DisplayMode::PhotoInformation ||
        (Mode() == DisplayMode::Photo && state_.StatisticsView)) {
        if (!content.BodyMarkup) return;
        std::optional<int32_t> author = FindAuthorIndex(*content.BodyMarkup, state_.StatisticsView);
        if (author && *author >= 1) settings_.UserIndex = *author;
    }
    if (Mode() != DisplayMode::Photo) TakeFollowedPhotoIndex();
    LearnFromVisiblePage(content);

    bool maySkip = settings_.AutoSkipURL && Mode() == DisplayMode::Photo &&
                   state_.SkippedURLCount < settings_.MaxSkippedURLCount;
    // A text that cannot be read ends the analysis as unreadable markup does.
    if (maySkip && !content.BodyText) return;
    if (maySkip && PhotoIsMissing(*content.BodyText))
        SkipMissingPhoto();
    else
        SynchroniseAndPreload();

    window_.SetPageIndexCaretPos(state_.SpinCaretPos);
    state_.ShownURLIndex = settings_.URLIndex;
}

void Navigator::TakeFollowedPhotoIndex() {
    std::string url = visibleView_.LocationURL();
    const std::string& prefix = table_[URLTemplateTable::ModePrefix2];
    if (!StartsWithIgnoringCase(url, prefix)) return;
    std::optional<int32_t> photo = LeadingIndex(std::string_view(url).substr(prefix.size()));
    if (photo && *photo >= 1) settings_.PhotoIndex = *photo;
}

void Navigator::SkipMissingPhoto() {
    // A typed index still waiting for its delay is dropped.
    window_.StopNavigateTimer();
    const bool down = state_.NextIndex < state_.CurrentIndex;
    state_.CurrentIndex += down ? -1 : 1;
    AimNextIndex(down);
    // This step counts one; photos known missing beyond it count on.
    const int32_t jumped = JumpOverKnownGap(state_.SkippedURLCount + 1);
    // Only mode 1 skips, and always to the plain photo address.
    state_.CurrentURL =
        PutIndexIntoTemplate(table_[URLTemplateTable::PhotoTemplate], state_.CurrentIndex);
    if (AutomaticRequestWaits()) {
        // The pacing holds the step back; the wait timer sends it.
        pacing_.HeldSkipURL = state_.CurrentURL;
        window_.SetEnabled(Control::Stop, true);
        ScheduleWaitTimer();
    } else {
        SendSkip(state_.CurrentURL);
    }
    state_.LastNavigatedURL = state_.CurrentURL;

    FlagScope skipping(state_.Skipping, true);
    state_.SpinCaretPos = window_.PageIndexCaretPos();
    window_.SetPageIndexValue(state_.CurrentIndex);
    // Counted before other events run, so a page completing meanwhile sees
    // the bound as it is.
    state_.SkippedURLCount += 1 + jumped;
    AimPreloadQueue();
    window_.ProcessPendingMessages();
}

void Navigator::SynchroniseAndPreload() {
    std::string url = visibleView_.LocationURL();
    bool ofCurrentMode = StartsWithIgnoringCase(url, table_.ModePrefix(settings_.URLIndex));
    if (!ofCurrentMode) {
        if (!state_.StatisticsView) settings_.URLIndex = GetURLIndexFromURL(url, true);
        if (settings_.URLIndex != state_.ShownURLIndex) {
            window_.SetDown(URLButton(settings_.URLIndex), true);
            SetIndexLabel();
        }
    }
    if (!ofCurrentMode || state_.CurrentIndex != settings_.PhotoIndex) {
        // A chain of skips downwards travels down as a wheel step does; the
        // preload must not turn back to the missing photos just skipped.
        const bool travellingDown = state_.SteppingDown || state_.NextIndex < state_.CurrentIndex;
        state_.CurrentIndex = GetPageIndexFromURL(visibleView_.LocationURL());
        // At index 1 there is nothing below: the travel turns upwards.
        const bool down = travellingDown && state_.CurrentIndex > 1;
        if (travellingDown && !down) state_.SteppingDown = false;
        AimNextIndex(down);
        state_.SpinCaretPos = window_.PageIndexCaretPos();
        window_.SetPageIndexValue(state_.CurrentIndex);
        window_.ProcessPendingMessages();
    }
    BuildPageURLs();
    try {
        Preload();
        AimPreloadQueue();
    } catch (const std::exception& error) {
        // The preload is only a head start.
        ReportSwallowed("preloading the next page", error);
    }
    StoreCurrentIndex();
}

void Navigator::VisibleWebBrowserOnBeforeNavigate2(const std::string& url) {
    // A navigation of the view has no target frame, post data or headers.
    window_.AppendLogLine(NavigationLogLine(url, "", 0, ""));
}

void Navigator::VisibleWebBrowserOnDownloadComplete() {
    if (!state_.BrowserCommandPending) return;
    state_.BrowserCommandPending = false;
    EnableControls(true);
}

void Navigator::VisibleWebBrowserOnStatusTextChange(const std::string& text) {
    // The running slideshow keeps its line; the loads are its own.
    if (slideshow_.Running) return;
    window_.SetStatusText(text);
}

}  // namespace kpw
