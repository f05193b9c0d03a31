#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "browsing/BrowserView.h"
#include "browsing/ClockPort.h"
#include "browsing/FavoritesNavigation.h"
#include "browsing/KeyCodes.h"
#include "browsing/LateErrorCheck.h"
#include "browsing/MainWindowPort.h"
#include "browsing/NavigationState.h"
#include "browsing/OverviewSheet.h"
#include "browsing/PhotoVerdicts.h"
#include "browsing/Preloader.h"
#include "browsing/RequestScheduler.h"
#include "browsing/SeenPhotos.h"
#include "browsing/ShownPhoto.h"
#include "browsing/Slideshow.h"
#include "browsing/URLTemplateTable.h"
#include "settings/Settings.h"

namespace kpw {

// The main window's browsing logic: display modes, index navigation, the
// browser commands and the analysis of every loaded page. Each public handler
// is one window event; the window forwards it with one call. The pacing of
// requests, the pages loaded ahead and the slideshow are parts of their own
// that this class coordinates.
class Navigator : public FavoritesNavigation {
public:
    Navigator(Settings& settings, MainWindowPort& window, BrowserView& visibleView,
              BrowserView& hiddenView, ClockPort& clock, std::string exeDir);

    const NavigationState& State() const { return state_; }
    const URLTemplateTable& Table() const { return table_; }
    const RequestScheduler& Scheduler() const { return scheduler_; }
    const Preloader& Preloads() const { return preloader_; }
    const PhotoVerdicts& Verdicts() const { return verdicts_; }
    // What the overview sheet shares with the pages stepped through: the
    // pacing of requests and what is known of each photo.
    RequestScheduler& Scheduler() { return scheduler_; }
    PhotoVerdicts& Verdicts() { return verdicts_; }

    // Start-up, after the settings are loaded and the window placed: silent
    // mode, timer interval, size and mode buttons, template table, indexes,
    // addresses, index field, auto-skip button and the language texts.
    void StartUp();
    // The end of start-up: FormReady, then the first NavigateBrowsers.
    void StartFirstLoad();

    // Control states.
    void EnableControls(bool enabled);
    void ShowControls(bool visible) override;
    void HideFavoriteLists() override;

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
    // The clock's wait timer ran out: the scheduler sends what may go now.
    void WaitTimerOnTimer();
    // The page on view waited for evidence of its verdict as long as it may.
    void VerdictTimerOnTimer();

    // The off-screen pages that fetch beyond the hidden view's neighbour.
    void AttachPreloadPages(std::vector<BrowserView*> pages);
    // A finished load of the preload page at this position.
    void PreloadPageOnDocumentComplete(size_t page, const DocumentContent& content);

    // What the photo actions work on: the photo of the page on view.
    std::optional<ShownPhotoInfo> ShownPhoto() const;
    // The photo a page at this address shows in the mode and size in force,
    // for the view's next address before it is there.
    std::optional<ShownPhotoInfo> PhotoAt(const std::string& address) const;

    // What the photo actions work on: the address of the page on view, or
    // of the photo selected in the overview sheet.
    std::string ShownAddress() const;

    // The overview sheet, handed in once the window made it. It shows in
    // place of the view; the index field then shows its selected photo, and
    // an index typed there moves the sheet.
    void AttachSheet(OverviewSheet* sheet);
    bool SheetShown() const { return sheet_ && sheet_->IsOpen(); }
    // The sheet's button or key: opens the sheet at the photo index with as
    // many cells as fit, or shows its selected photo.
    void SpeedButtonOverviewSheetOnClick(int columns, int rows);
    // Enter or a double click in the sheet: the selected photo in the single
    // view, display mode 1 at the photo size chosen.
    void ShowSheetSelection();

    // The archive of the photos seen; none when the program goes on without
    // one. A photo shown in the single view or the sheet is noted seen.
    void AttachArchive(PhotoArchive* archive);
    const SeenPhotos& Seen() const { return seen_; }
    // A photo saved by the user is noted kept in the photo size in force.
    void NotePhotoKept(int32_t index, const KeptFile& file);
    // Its key: the next photo not seen yet in the direction of travel, in
    // the single view or the sheet; a beep when there is none or no archive.
    void GoToNextNotSeen();

    // The slideshow; its clock calls Slides().OnTimer().
    Slideshow& Slides() { return slideshow_; }
    // The second reading of a page that may write its error late; its clock
    // and the view's text-read event go to it.
    LateErrorCheck& LateCheck() { return lateCheck_; }

    // FavoritesNavigation: a chosen entry is shown.
    void OpenFavoritePhoto(int32_t index) override;
    void OpenFavoriteUser(int32_t index) override;
    void HoldStatus(const std::string& text) override;
    void ReleaseStatus(const std::string& text) override;

    // Language texts of the main window; also chooses the help file.
    void SetFormMainTexts(int language);
    // After the settings dialog was confirmed: templates, texts and hints,
    // silent mode and timer interval.
    void ApplyConfirmedSettings();

private:
    // Steps of the document-complete analysis.
    void AnalysePage(const DocumentContent& content);
    PhotoVerdict JudgeVisiblePage(const DocumentContent& content, bool maySkip);
    // Skips, or shows the page and preloads; readAgain: a page judged present
    // is read once more for a late error text.
    void CarryOutVerdict(PhotoVerdict verdict, bool readAgain);
    // A pending verdict on the page on view, decided by new evidence or by
    // the end of its wait, is carried out.
    void SettlePendingPage(bool timedOut);
    void SkipMissingPhoto();
    // The page on view's own requests that the scheduler sends when they
    // may go: the retry of a busy page and the held step of a skip chain.
    bool SendRetry();
    bool SendHeldSkip();
    // The user navigates: the retry and a held skip no longer apply.
    void DropAutomaticRequests();
    // The photos not shown since the user's last step, in the status bar;
    // the chain's end writes them to the log once.
    void ShowSkipChain();
    void EndSkipChain();
    // Every new load of the page on view ends what waited for the last one.
    void LeavePageOnView();
    // The page on view's verdict decides a skip.
    bool MaySkip() const;
    void SynchroniseAndPreload();
    // A step onto known-missing photos goes on to the first one beyond not
    // known missing; returns how many it jumped over, of what the skip count
    // leaves after countSoFar. Moves CurrentIndex and its neighbour.
    int32_t JumpOverKnownGap(int32_t countSoFar);
    // One step of the slideshow in the direction of travel.
    void SlideshowStep();
    // The address table and what depends on the templates.
    void RefreshTemplates();
    // The step size in force for the wheel, the field's steps and the neighbour.
    void ApplyStepSize();
    // The sheet gives the view back; the photo index stays as it was.
    void LeaveSheet();
    // The index field follows the sheet's selection; the window draws it.
    void SheetChanged();
    // An index written into the index field while the sheet shows.
    void SheetIndexTyped(int32_t index);
    // The photo selected in the sheet, in the photo size in force.
    ShownPhotoInfo SheetPhoto() const;

    Settings& settings_;
    MainWindowPort& window_;
    BrowserView& visibleView_;
    std::string exeDir_;
    NavigationState state_;
    URLTemplateTable table_{settings_};
    RequestScheduler scheduler_;
    PhotoVerdicts verdicts_;
    Preloader preloader_;
    Slideshow slideshow_;
    LateErrorCheck lateCheck_;
    // The pending page's late-text reading, should it prove present.
    bool pendingReadAgain_ = false;
    // A step of the skip chain the pacing holds back.
    std::string heldSkipURL_;
    OverviewSheet* sheet_ = nullptr;
    SeenPhotos seen_;
};

}  // namespace kpw
