#pragma once

#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "app/MainSession.h"
#include "browsing/MainWindowPort.h"
#include "ui/ToolButtonRow.h"
#include "ui/WindowPlacementKeeper.h"
#include "webengine/PhotoFetcher.h"

class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QStatusBar;
class QTimer;
class QToolButton;

namespace kpw {

class FavoriteComboBox;
class FormMainProbe;
class KeyPreview;
class OverviewSheetView;
class QtBrowserView;
class RangeKeepingUi;
class ThumbnailFetcher;
class TFormSettings;
class ViewContextMenu;

// The main window: the tool row with the index field, the visible browser
// view above the status bar and the hidden one that preloads. Its handlers
// forward to the session's logic; it carries out what the logic asks
// through MainWindowPort.
class TFormMain : public QWidget, public MainWindowPort {
    Q_OBJECT
public:
    // Runs the creation handler: has the session read the settings and
    // compose the logic, places the window, starts the first load and shows
    // the window. The preload pages, views without widgets, fetch beyond the
    // hidden view's neighbour; without them only the neighbour is preloaded.
    // The fetcher fetches the photo on view; without one saving fails.
    TFormMain(MainSession& session, std::unique_ptr<QtBrowserView> visibleView,
              std::unique_ptr<QtBrowserView> hiddenView,
              std::vector<std::unique_ptr<QtBrowserView>> preloadPages = {},
              std::unique_ptr<PhotoFetcher> fetcher = nullptr);
    ~TFormMain() override;

    // The settings dialog the settings button opens; it learns how long the
    // favourites lists are.
    void SetSettingsForm(TFormSettings* formSettings);

    // The close at the end of the session: as the close box, but nobody may
    // be there to answer a box, so open dialogs are closed and a failed write
    // goes to the log (stderr) instead of an error box.
    void CloseOnSignal();

    // MainWindowPort
    std::string PageIndexText() const override;
    void SetPageIndexValue(int32_t value) override;
    void SetPageIndexMaximum(int32_t maximum) override;
    void SetPageIndexStep(int32_t step) override;
    int PageIndexCaretPos() const override;
    void SetPageIndexCaretPos(int pos) override;
    void ClearPageIndexSelection() override;
    bool PageIndexHasFocus() const override;
    bool CanFocus(Control control) const override;
    void SetFocus(Control control) override;
    void StartNavigateTimer() override;
    void StopNavigateTimer() override;
    bool NavigateTimerRunning() const override;
    void SetNavigateTimerInterval(int milliseconds) override;
    void SetEnabled(Control control, bool enabled) override;
    bool IsEnabled(Control control) const override;
    void SetVisible(Control control, bool visible) override;
    bool IsVisible(Control control) const override;
    void SetDown(ToolButton button, bool down) override;
    bool IsDown(ToolButton button) const override;
    void SetHint(Control control, const std::string& hint) override;
    std::string Hint(Control control) const override;
    void SetLabelPageIndexCaption(const std::string& caption) override;
    void SetStatusText(const std::string& text) override;
    void AppendLogLine(const std::string& line) override;
    void SetBusyCursors(bool busy) override;
    std::string WindowCaption() const override;
    void SetWindowCaption(const std::string& caption) override;
    void SetApplicationTitle(const std::string& title) override;
    void FavoriteListChanged(Control list) override;
    void DropDownFavoriteList(Control list) override;
    bool InputQuery(const std::string& caption, const std::string& prompt,
                    std::string& value) override;
    void ShowErrorMessage(const std::string& message) override;
    void ProcessPendingMessages() override;
    void Beep() override;
    void ShowHelp(const std::string& helpFileName) override;
    void ShowOverviewSheet(bool shown) override;
    void OverviewSheetChanged() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The tests read the window's state through it.
    friend class FormMainProbe;

    // Language of the texts in force: German, or English for any other value.
    int LanguageInForce() const;
    void CreateControls();
    void ConnectEvents();
    void FormMainOnCreate();
    void ShowNativeTitle();
    void FormMainOnCloseQuery();
    void FormMainOnClose();
    void SpeedButtonSettingsOnClick();
    // The sheet's button and key: the sheet with as many cells as fit the
    // view's place, or back to the single view.
    void SpeedButtonOverviewSheetOnClick();
    void CreateOverviewSheet();
    void LayOutClientArea();
    // The tool row in the window's width, the index field in it and the
    // favourites lists over it.
    void LayOutToolRow();
    // Runs a handler; a failure it raises is shown in the standard error box.
    template <typename Handler>
    void Guarded(Handler&& handler);
    QToolButton* Button(ToolButton button) const { return toolRow_->Button(button); }
    QWidget* ControlWidget(Control control) const;
    FavoriteComboBox* FavoriteListBox(Control list) const;

    MainSession& session_;
    std::unique_ptr<QtBrowserView> visibleView_;
    std::unique_ptr<QtBrowserView> hiddenView_;
    std::vector<std::unique_ptr<QtBrowserView>> preloadPages_;
    std::unique_ptr<PhotoFetcher> fetcher_;
    std::unique_ptr<ThumbnailFetcher> thumbnails_;
    std::unique_ptr<RangeKeepingUi> ranges_;
    WindowPlacementKeeper placement_;
    std::unique_ptr<KeyPreview> keyPreview_;
    std::unique_ptr<ViewContextMenu> contextMenu_;
    TFormSettings* formSettings_ = nullptr;

    std::unique_ptr<ToolButtonRow> toolRow_;
    QLabel* labelPageIndex_ = nullptr;
    QSpinBox* spinEditPageIndex_ = nullptr;
    QWidget* panelVisibleWebBrowser_ = nullptr;
    OverviewSheetView* sheetView_ = nullptr;
    QPlainTextEdit* memoText_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    FavoriteComboBox* comboBoxFavoritePhotos_ = nullptr;
    FavoriteComboBox* comboBoxFavoriteUsers_ = nullptr;
    QTimer* timerNavigate_ = nullptr;
    bool busyCursors_ = false;
    bool closed_ = false;
    bool closingOnSignal_ = false;
    int beeps_ = 0;
    QString applicationTitle_;
    WindowBounds closingBounds_{};
};

}  // namespace kpw
