// The views' events: page analysis, auto-skip, busy sites, the pages loaded
// ahead, log and status; and what other parts ask of the navigation.
#include <exception>
#include <utility>

#include "browsing/BusySite.h"
#include "browsing/ControlGroups.h"
#include "browsing/Diagnostics.h"
#include "browsing/FlagScope.h"
#include "browsing/IndexText.h"
#include "browsing/Navigator.h"
#include "browsing/PageAnalysis.h"
#include "browsing/UnreachableSite.h"
#include "settings/AsciiText.h"
#include "texts/Texts.h"

namespace kpw {

namespace {

// A photo followed from an information page becomes the photo index.
void TakeFollowedPhotoIndex(const std::string& url, const URLTemplateTable& table,
                            Settings& settings) {
    const std::string& prefix = table[URLTemplateTable::ModePrefix2];
    if (!StartsWithIgnoringCase(url, prefix)) return;
    std::optional<int32_t> photo = LeadingIndex(std::string_view(url).substr(prefix.size()));
    if (photo && *photo >= 1) settings.PhotoIndex = *photo;
}

// The index field's value: its text in the field's bounds, 1 if no number.
int32_t PageIndexFieldValue(const MainWindowPort& window) {
    std::optional<int32_t> value = ReadInteger(window.PageIndexText());
    return value ? Clamp(*value, 1, MaxIndex) : 1;
}

}  // namespace

void Navigator::VisibleWebBrowserOnDocumentComplete(const DocumentContent& content) {
    const std::string navigatedBefore = state_.LastNavigatedURL;
    // A new page ends the waits for the last one's evidence.
    LeavePageOnView();
    EnableControls(true);
    if (IsBusyAnswer(content)) {
        // A busy site has not lost the photo: no analysis, no skip, no preload.
        std::string url = AddressOrNothing(visibleView_);
        if (url.empty()) url = state_.LastNavigatedURL;
        if (scheduler_.TakeVisibleBusy(url, content.HttpStatus, content.RetryAfter)) {
            state_.Loading = true;
            window_.SetEnabled(Control::Stop, true);
        }
        if (!HoldsUserMessage(state_))
            window_.SetStatusText(scheduler_.WaitText(settings_.Language));
    } else {
        scheduler_.TakeVisibleAnswer();
        // The first and the last index are shown as they come.
        if (state_.CurrentIndex > 1 && state_.CurrentIndex < MaxIndex) {
            try {
                AnalysePage(content);
            } catch (const std::exception& error) {
                // A page that cannot be read is left as it is.
                ReportSwallowed("analysing the page", error);
            }
        }
    }
    // The program's own addresses reach nobody (as at the first start): the
    // status bar says where they are set, until the next navigation.
    if (const std::string hint = SiteAddressesHint(settings_, content);
        !hint.empty() && state_.HeldStatus.empty()) {
        state_.HeldStatus = hint;
        state_.HeldStatusFresh = false;
        window_.SetStatusText(hint);
    }
    // A skip changes the address last sent; a busy page waits for its retry.
    // A verdict still pending ends the page when it is decided.
    if (!verdicts_.Pending())
        slideshow_.PageEnded(!scheduler_.Pacing().RetryPending && heldSkipURL_.empty() &&
                             state_.LastNavigatedURL == navigatedBefore);
}

void Navigator::LeavePageOnView() {
    lateCheck_.Cancel();
    verdicts_.CancelPending();
}

bool Navigator::MaySkip() const {
    return settings_.AutoSkipURL && ModeOf(settings_.URLIndex) == DisplayMode::Photo &&
           state_.SkippedURLCount < settings_.MaxSkippedURLCount;
}

void Navigator::AnalysePage(const DocumentContent& content) {
    const DisplayMode mode = ModeOf(settings_.URLIndex);
    if (mode == DisplayMode::PhotoInformation ||
        (mode == DisplayMode::Photo && state_.StatisticsView)) {
        if (!content.BodyMarkup) return;
        std::optional<int32_t> author = FindAuthorIndex(*content.BodyMarkup, state_.StatisticsView);
        if (author && *author >= 1) settings_.UserIndex = *author;
    }
    if (mode != DisplayMode::Photo)
        TakeFollowedPhotoIndex(visibleView_.LocationURL(), table_, settings_);
    const PhotoVerdict verdict = JudgeVisiblePage(content, MaySkip());
    // Decided when the evidence is in; the window stays usable meanwhile.
    if (verdict == PhotoVerdict::Pending) {
        pendingReadAgain_ = lateCheck_.Applies(content);
        return;
    }
    CarryOutVerdict(verdict, lateCheck_.Applies(content));
}

PhotoVerdict Navigator::JudgeVisiblePage(const DocumentContent& content, bool maySkip) {
    // Outside mode 1 with auto-skip (a statistics page) the words decide.
    if (!preloader_.DetectsMissing()) return JudgePhotoPage(content, false, verdicts_.Rules());
    const PhotoLoad load{preloader_.PhotoTemplate(), state_.CurrentIndex,
                         AddressOrNothing(visibleView_), content};
    return verdicts_.JudgeOnView(load, preloader_.Active(),
                                 maySkip && preloader_.EvidenceInFlight());
}

void Navigator::CarryOutVerdict(PhotoVerdict verdict, bool readAgain) {
    const bool maySkip = MaySkip();
    // A text that cannot be read ends the analysis as unreadable markup does.
    if (maySkip && verdict == PhotoVerdict::Unreadable) return;
    if (maySkip && verdict == PhotoVerdict::Missing) {
        SkipMissingPhoto();
    } else {
        // The page shown ends the chain of skips that led to it.
        EndSkipChain();
        SynchroniseAndPreload();
        if (verdict == PhotoVerdict::Present && !SheetShown()) {
            if (const std::optional<ShownPhotoInfo> photo = ShownPhoto())
                seen_.NoteSeen(photo->Index);
        }
        // A page that may still write its error is read once more later.
        if (maySkip && verdict == PhotoVerdict::Present && readAgain)
            lateCheck_.Watch(AddressOrNothing(visibleView_));
    }

    window_.SetPageIndexCaretPos(state_.SpinCaretPos);
    state_.ShownURLIndex = settings_.URLIndex;
}

void Navigator::SettlePendingPage(bool timedOut) {
    if (!verdicts_.Pending()) return;
    const std::optional<PhotoVerdict> verdict =
        timedOut ? verdicts_.PendingTimedOut()
                 : verdicts_.SettlePending(preloader_.EvidenceInFlight());
    if (!verdict) return;
    const std::string navigatedBefore = state_.LastNavigatedURL;
    try {
        CarryOutVerdict(*verdict, pendingReadAgain_);
    } catch (const std::exception& error) {
        ReportSwallowed("deciding the page on view", error);
    }
    slideshow_.PageEnded(state_.LastNavigatedURL == navigatedBefore);
}

void Navigator::VerdictTimerOnTimer() {
    SettlePendingPage(true);
}

void Navigator::ShowSkipChain() {
    const std::string text = verdicts_.SkipMessage(settings_.Language);
    // A skip of the program's own leaves a message the user acts on; the
    // chain's end still goes to the log.
    if (text.empty() || HoldsUserMessage(state_)) return;
    window_.SetStatusText(text);
    // The engine's texts of the loads that follow do not replace it.
    state_.HeldStatus = text;
}

void Navigator::EndSkipChain() {
    const std::string text = verdicts_.EndChain(settings_.Language);
    if (!text.empty()) window_.AppendLogLine(text);
}

void Navigator::SkipMissingPhoto() {
    // A typed index still waiting for its delay is dropped.
    window_.StopNavigateTimer();
    const bool down = state_.NextIndex < state_.CurrentIndex;
    verdicts_.Skipped(state_.CurrentIndex, state_.CurrentIndex, 1);
    state_.CurrentIndex += down ? -1 : 1;
    AimNextIndex(state_, down);
    // This step counts one; photos known missing beyond it count on.
    const int32_t jumped = JumpOverKnownGap(state_.SkippedURLCount + 1);
    // Only mode 1 skips, and always to the plain photo address.
    state_.CurrentURL =
        PutIndexIntoTemplate(table_[URLTemplateTable::PhotoTemplate], state_.CurrentIndex);
    // Sent at once, or by the scheduler when the pacing lets it go.
    heldSkipURL_ = state_.CurrentURL;
    scheduler_.Wake(RequestKind::Skip);
    if (!heldSkipURL_.empty()) {
        state_.Loading = true;
        window_.SetEnabled(Control::Stop, true);
    }
    state_.LastNavigatedURL = state_.CurrentURL;
    ShowSkipChain();
    // A skip is the program's own: the held message stays.
    state_.HeldStatusFresh = false;

    FlagScope skipping(state_.Skipping, true);
    state_.SpinCaretPos = window_.PageIndexCaretPos();
    window_.SetPageIndexValue(state_.CurrentIndex);
    // Counted before other events run, so a page completing meanwhile sees
    // the bound as it is.
    state_.SkippedURLCount += 1 + jumped;
    preloader_.AimQueue();
    // The field shows the new index before the next page's events run; the
    // skip's own write is guarded by Skipping.
    window_.ProcessPendingMessages();
}

void Navigator::SynchroniseAndPreload() {
    std::string url = visibleView_.LocationURL();
    bool ofCurrentMode = StartsWithIgnoringCase(url, table_.ModePrefix(settings_.URLIndex));
    if (!ofCurrentMode) {
        if (!state_.StatisticsView) settings_.URLIndex = GetURLIndexFromURL(url, true);
        if (settings_.URLIndex != state_.ShownURLIndex) {
            window_.SetDown(URLButton(settings_.URLIndex), true);
            window_.SetLabelPageIndexCaption(
                texts::IndexLabels[ModeNumber(ModeOf(settings_.URLIndex))].In(
                    texts::LanguageIndex(settings_.Language)));
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
        AimNextIndex(state_, down);
        state_.SpinCaretPos = window_.PageIndexCaretPos();
        window_.SetPageIndexValue(state_.CurrentIndex);
        // The field's change runs as a commit of the user's (Skipping is
        // clear) before the preload goes out; it finds the index unchanged.
        window_.ProcessPendingMessages();
    }
    BuildPageURLs();
    try {
        preloader_.PreloadNeighbour();
        preloader_.AimQueue();
    } catch (const std::exception& error) {
        // The preload is only a head start.
        ReportSwallowed("preloading the next page", error);
    }
    StoreCurrentIndex(state_, settings_);
}

int Navigator::GetURLIndexFromURL(const std::string& url, bool keepCurrentIfNone) const {
    for (int mode = 1; mode <= 3; ++mode)
        if (StartsWithIgnoringCase(url, table_.ModePrefix(mode))) return mode;
    return keepCurrentIfNone ? settings_.URLIndex : 0;
}

int32_t Navigator::GetPageIndexFromURL(const std::string& url) const {
    int mode = GetURLIndexFromURL(url, false);
    if (mode != 0 && !url.empty()) {
        std::string_view rest = std::string_view(url).substr(table_.ModePrefix(mode).size());
        std::string_view digits = rest.substr(0, CountLeadingDigits(rest));
        // A run too large for an index counts as none.
        std::optional<int32_t> value = digits.empty() ? std::nullopt : ReadInteger(digits);
        if (value && *value != 0) return *value;
    }
    return PageIndexFieldValue(window_);
}

int32_t Navigator::JumpOverKnownGap(int32_t countSoFar) {
    // A step of the user's own starts a new chain of skips.
    if (countSoFar == 0) EndSkipChain();
    const bool down = state_.NextIndex < state_.CurrentIndex;
    const int32_t first = state_.CurrentIndex;
    const KnownGapJump jump =
        preloader_.GapAhead(first, down, settings_.MaxSkippedURLCount - countSoFar);
    if (jump.Skipped == 0) return 0;
    state_.CurrentIndex = jump.Target;
    AimNextIndex(state_, down);

    verdicts_.Skipped(first, jump.Target + (down ? 1 : -1), jump.Skipped);
    ShowSkipChain();
    state_.HeldStatusFresh = true;
    return jump.Skipped;
}

void Navigator::VisibleWebBrowserOnBeforeNavigate2(const std::string& url) {
    // A navigation of the view has no target frame, post data or headers.
    window_.AppendLogLine(NavigationLogLine(CutForDisplay(url), "", 0, ""));
}

void Navigator::VisibleWebBrowserOnDownloadComplete() {
    if (!state_.BrowserCommandPending) return;
    state_.BrowserCommandPending = false;
    EnableControls(true);
}

void Navigator::VisibleWebBrowserOnStatusTextChange(const std::string& text) {
    // The running slideshow keeps its line; the loads are its own. So does
    // a message about photos jumped over.
    if (slideshow_.Running() || !state_.HeldStatus.empty()) return;
    window_.SetStatusText(CutForDisplay(text));
}

// ---- The hidden view, the pages loaded ahead and the pacing

void Navigator::HiddenWebBrowserOnDocumentComplete(const DocumentContent& content) {
    preloader_.HiddenPageComplete(content);
    SettlePendingPage(false);
}

void Navigator::AttachPreloadPages(std::vector<BrowserView*> pages) {
    preloader_.AttachPages(std::move(pages));
}

void Navigator::PreloadPageOnDocumentComplete(size_t page, const DocumentContent& content) {
    preloader_.QueuePageComplete(page, content);
    SettlePendingPage(false);
}

void Navigator::WaitTimerOnTimer() {
    scheduler_.OnWaitTimer();
}

bool Navigator::SendRetry() {
    const std::string url = scheduler_.Pacing().RetryURL;
    EnableControls(false);
    try {
        scheduler_.Send(visibleView_, url);
    } catch (const std::exception& error) {
        // As every refused navigation: the window stays loading until Stop.
        ReportSwallowed("asking the busy site again", error);
    }
    state_.LastNavigatedURL = url;
    return true;
}

bool Navigator::SendHeldSkip() {
    if (heldSkipURL_.empty()) return false;
    const std::string url = std::exchange(heldSkipURL_, {});
    state_.Loading = false;
    window_.SetEnabled(Control::Stop, false);
    try {
        scheduler_.Send(visibleView_, url);
    } catch (const std::exception& error) {
        // The chain simply ends.
        ReportSwallowed("skipping a missing photo", error);
    }
    // The chain's end sends the preload of its own neighbour.
    return true;
}

void Navigator::DropAutomaticRequests() {
    heldSkipURL_.clear();
    scheduler_.DropAutomaticRequests();
}

// ---- What the photo actions, the slideshow and the favourites ask

std::optional<ShownPhotoInfo> Navigator::ShownPhoto() const {
    if (SheetShown()) return SheetPhoto();
    return kpw::ShownPhoto(ModeOf(settings_.URLIndex), state_.StatisticsView, state_.CurrentIndex,
                           AddressOrNothing(visibleView_), table_, settings_.PhotoSize);
}

std::optional<ShownPhotoInfo> Navigator::PhotoAt(const std::string& address) const {
    return kpw::ShownPhoto(ModeOf(settings_.URLIndex), state_.StatisticsView, state_.CurrentIndex,
                           address, table_, settings_.PhotoSize);
}

void Navigator::SlideshowStep() {
    const bool down = state_.NextIndex < state_.CurrentIndex;
    if (down ? state_.CurrentIndex <= 1 : state_.CurrentIndex >= MaxIndex) {
        slideshow_.Stop();
        return;
    }
    state_.SteppingDown = down;
    state_.CurrentIndex += down ? -1 : 1;
    state_.SkippedURLCount = 0;
    AimNextIndex(state_, down);
    StoreCurrentIndex(state_, settings_);
    BuildPageURLs();
    NavigateBrowsers();
    window_.SetPageIndexValue(state_.CurrentIndex);
    // As after a wheel step: the field's own handling runs at once.
    window_.ProcessPendingMessages();
}

void Navigator::OpenFavoritePhoto(int32_t index) {
    LeaveSheet();
    settings_.PhotoIndex = index;
    // The photo mode in force is applied again with the new index.
    const DisplayMode mode = ModeOf(settings_.URLIndex);
    if (mode != DisplayMode::UserPage) SpeedButtonURLOnClick(ModeNumber(mode));
}

void Navigator::OpenFavoriteUser(int32_t index) {
    LeaveSheet();
    settings_.UserIndex = index;
    window_.SetDown(URLButton(3), true);
    SpeedButtonURLOnClick(3);
}

void Navigator::HoldStatus(const std::string& text) {
    state_.HeldStatus = text;
    state_.UserHeldStatus = text;
    state_.HeldStatusFresh = false;
    window_.SetStatusText(text);
}

void Navigator::ReleaseStatus(const std::string& text) {
    if (state_.HeldStatus != text) return;
    state_.HeldStatus.clear();
    state_.UserHeldStatus.clear();
    window_.SetStatusText("");
}

}  // namespace kpw
