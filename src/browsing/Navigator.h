#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "browsing/BrowserView.h"
#include "browsing/BusySite.h"
#include "browsing/ClockPort.h"
#include "browsing/DisplayMode.h"
#include "browsing/KeyCodes.h"
#include "browsing/MainWindowPort.h"
#include "browsing/NavigationState.h"
#include "browsing/PreloadQueue.h"
#include "browsing/URLTemplateTable.h"
#include "settings/Settings.h"

namespace kpw {

// The main window's browsing logic: display modes, index navigation, the
// browser commands and the analysis of every loaded page. Each public handler
// is one window event; the window forwards it with one call.
class Navigator {
public:
    Navigator(Settings& settings, MainWindowPort& window, BrowserView& visibleView,
              BrowserView& hiddenView, ClockPort& clock, std::string exeDir);

    NavigationState& State() { return state_; }
    const NavigationState& State() const { return state_; }
    URLTemplateTable& Table() { return table_; }
    const URLTemplateTable& Table() const { return table_; }
    // The address for the hidden view (slot NextURL of the table).
    const std::string& NextURL() const { return table_[URLTemplateTable::NextURL]; }
    const std::string& HelpFileName() const { return helpFileName_; }

    // Start-up, after the settings are loaded and the window placed: silent
    // mode, timer interval, size and mode buttons, template table, indexes,
    // addresses, index field, auto-skip button and the language texts.
    void StartUp();
    // The end of start-up: FormReady, then the first NavigateBrowsers.
    void StartFirstLoad();

    // Control states.
    void EnableControls(bool enabled);
    void EnablePhotoSizeButtons(bool enabled);
    void ShowControls(bool visible);
    void HideFavoriteLists();

    // Addresses and loading.
    void BuildPageURLs();
    void NavigateBrowsers();
    int GetURLIndexFromURL(const std::string& url, bool keepCurrentIfNone) const;
    int32_t GetPageIndexFromURL(const std::string& url) const;

    // Tool buttons.
    void SpeedButtonPhotoSizeOnClick(int tag);
    void SpeedButtonURLOnClick(int tag);
    void SpeedButtonShowStatisticsOnClick();
    void SpeedButtonGoBackOnClick();
    void SpeedButtonGoBackOnDblClick();
    void SpeedButtonRefreshOnClick();
    void SpeedButtonStopOnClick();
    void SpeedButtonAutoSkipOnClick();
    void SpeedButtonHelpOnClick();

    // Index field, timer, keys and wheel.
    void SpinEditPageIndexOnChange();
    void SpinEditPageIndexOnEnter();
    void TimerNavigateOnTimer();
    // Returns true when the key is swallowed.
    bool FormMainOnKeyPress(char key);
    void FormMainOnKeyDown(int keyCode, bool shift, bool ctrl, bool alt);
    // Returns whether the event was handled (false leaves the wheel its
    // ordinary effect).
    bool FormMainOnMouseWheel(int wheelDelta);

    // Events of the visible browser view.
    void VisibleWebBrowserOnBeforeNavigate2(const std::string& url);
    void VisibleWebBrowserOnDownloadComplete();
    void VisibleWebBrowserOnDocumentComplete(const DocumentContent& content);
    void VisibleWebBrowserOnStatusTextChange(const std::string& text);
    // The hidden view's finished load; only a busy answer matters.
    void HiddenWebBrowserOnDocumentComplete(const DocumentContent& content);
    // The clock's wait timer ran out: a countdown step, a retry of a busy
    // page, or a request the pacing held back.
    void WaitTimerOnTimer();
    const RequestPacing& Pacing() const { return pacing_; }

    // The off-screen pages that fetch beyond the hidden view's neighbour
    // (NavigatorPreload.cpp). Without them the program preloads the one
    // neighbour and learns nothing of missing photos.
    void AttachPreloadPages(std::vector<BrowserView*> pages);
    // A finished load of the preload page at this position.
    void PreloadPageOnDocumentComplete(size_t page, const DocumentContent& content);
    const KnownMissing& KnownMissingPhotos() const { return knownMissing_; }
    const PreloadQueue& Queue() const { return queue_; }
    // What the photo actions work on (NavigatorPhoto.cpp). The photo of the
    // page on view: the display mode 1 address, in the photo size in force,
    // of the photo index shown; nothing when a user page is on view.
    struct ShownPhotoInfo {
        std::string URL;
        int32_t Index = 0;
    };
    std::optional<ShownPhotoInfo> ShownPhoto() const;
    // The address of the page on view.
    std::string ShownAddress() const;

    // The slideshow: a step in the direction of travel every
    // SlideshowInterval seconds after the page on view has completed.
    void StartSlideshow();
    // Ends it (a key, click or wheel of the user); false when none ran.
    bool StopSlideshow();
    bool SlideshowRunning() const { return slideshow_.Running; }
    void SlideshowTimerOnTimer();

    // Language texts of the main window; also chooses the help file.
    void SetFormMainTexts(int language);
    // After the settings dialog was confirmed: templates, texts and hints,
    // silent mode and timer interval.
    void ApplyConfirmedSettings();

private:
    // The language and display mode as valid table indexes.
    int LanguageIndex() const;
    int ModeIndex() const;
    DisplayMode Mode() const;
    // NextIndex, the neighbour the hidden view preloads, in the direction of
    // travel: the one below, or the one above (below at the top of the range).
    void AimNextIndex(bool down);
    // CurrentIndex from the display mode's own index, with its neighbours.
    void TakeIndexOfMode();
    // CurrentIndex into PhotoIndex (modes 1 and 2) or UserIndex (mode 3).
    void StoreCurrentIndex();
    void Preload();
    void RunBrowserCommand(const std::function<void()>& command);
    // The index field's value: its text in the field's bounds, 1 if no number.
    int32_t PageIndexFieldValue() const;
    bool ShowsLastNavigatedURL() const;
    void FocusPageIndex();
    void SetURLButtonHints(bool withModeNames, int language);
    void SetIndexLabel();

    // Steps of the document-complete analysis.
    void CompleteVisibleDocument(const DocumentContent& content);
    void AnalysePage(const DocumentContent& content);
    void TakeFollowedPhotoIndex();
    void SkipMissingPhoto();
    void SynchroniseAndPreload();

    // The queue of pages fetched ahead and the known-missing photos
    // (NavigatorPreload.cpp).
    bool PreloadActive() const { return !preloadPages_.empty(); }
    // Mode 1 with auto-skip: the pages tell missing photos apart.
    bool DetectsMissing() const;
    bool SkipsKnownMissing() const;
    bool IsKnownMissing(int32_t index) const;
    // A step onto known-missing photos goes on to the first one beyond not
    // known missing; returns how many it jumped over, of what the skip count
    // leaves after countSoFar. Moves CurrentIndex and its neighbour.
    int32_t JumpOverKnownGap(int32_t countSoFar);
    // The index field shows where a jump landed, and the count holds it.
    void ShowJumpedIndex(int32_t skipped);
    void LearnFromVisiblePage(const DocumentContent& content);
    void AimPreloadQueue();
    void PumpPreloadQueue();
    std::string PreloadURL(int32_t index) const;

    // Busy sites and pacing (NavigatorRequests.cpp).
    void SendVisible(const std::string& url);
    void NoteRequest();
    // The earliest time for a request the program starts by itself.
    int64_t AutomaticRequestDueMs() const;
    bool AutomaticRequestWaits() const;
    std::optional<int64_t> RetryAfterOf(const DocumentContent& content) const;
    void WaitForBusySite(const DocumentContent& content);
    void ShowBusyCountdown();
    void RetryBusyPage();
    // One step of the skip chain; the chain simply ends when it fails.
    void SendSkip(const std::string& url);
    void ScheduleWaitTimer();
    // The user navigates: a retry or a held skip no longer applies; what the
    // site asked for (the time to wait) still does.
    void DropAutomaticRequests();

    // Slideshow (NavigatorPhoto.cpp).
    struct SlideshowState {
        bool Running = false;
    };
    // The page on view has ended its load; settled is false when a skip or a
    // retry goes on from it.
    void SlideshowPageEnded(bool settled);
    void SlideshowStep();
    void ShowSlideshowStatus();

    Settings& settings_;
    MainWindowPort& window_;
    BrowserView& visibleView_;
    BrowserView& hiddenView_;
    ClockPort& clock_;
    std::string exeDir_;
    std::string helpFileName_;
    // The address last sent to the hidden view.
    std::string preloadedURL_;
    int32_t preloadedIndex_ = 0;
    std::vector<BrowserView*> preloadPages_;
    PreloadQueue queue_;
    KnownMissing knownMissing_;
    NavigationState state_;
    RequestPacing pacing_;
    SlideshowState slideshow_;
    URLTemplateTable table_{settings_};
};

}  // namespace kpw
