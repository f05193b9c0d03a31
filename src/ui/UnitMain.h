#pragma once

#include <QPointer>
#include <QRect>
#include <QWidget>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "browsing/KeyCodes.h"
#include "browsing/MainWindowPort.h"
#include "favorites/FavoriteList.h"
#include "settings/Settings.h"
#include "settings/SettingsStore.h"
#include "settings/WindowPlacement.h"

class QButtonGroup;
class QLabel;
class QPlainTextEdit;
class QSpinBox;
class QStatusBar;
class QTimer;
class QToolButton;

namespace kpw {

class FavoriteComboBox;
class FavoritesController;
class Navigator;
class PhotoActions;
class QtBrowserView;
class QtClock;
class TFormSettings;

// Where the window finds its settings file; the program takes both from the
// platform layer, tests hand in their own.
struct FormMainPaths {
    std::string ExeName;
    std::string AppData;
};

// The main window: the tool row with the index field, the visible browser
// view above the status bar and the hidden one that preloads. Its handlers
// forward to the browsing logic; it carries out what the logic asks through
// MainWindowPort.
class TFormMain : public QWidget, public MainWindowPort {
    Q_OBJECT
public:
    // Runs the creation handler: reads the settings, places the window,
    // starts the first load and shows the window.
    // The preload pages, views without widgets, fetch beyond the hidden
    // view's neighbour; without them only the neighbour is preloaded.
    TFormMain(FormMainPaths paths, std::unique_ptr<QtBrowserView> visibleView,
              std::unique_ptr<QtBrowserView> hiddenView,
              std::vector<std::unique_ptr<QtBrowserView>> preloadPages = {});
    ~TFormMain() override;

    void SetSettingsForm(TFormSettings* formSettings) { formSettings_ = formSettings; }

    // The close at the end of the session: as the close box, but nobody may
    // be there to answer a box, so open dialogs are closed and a failed write
    // goes to the log (stderr) instead of an error box.
    void CloseOnSignal();

    // For the tests: the logic, the record and the controls by role.
    Navigator& Logic() { return *navigator_; }
    PhotoActions& Photos() { return *photoActions_; }
    Settings& CurrentSettings() { return settings_; }
    QWidget* ControlWidget(Control control) const;
    QSpinBox* PageIndexField() const { return spinEditPageIndex_; }
    QTimer* NavigateTimer() const { return timerNavigate_; }
    QString MemoLines() const;
    QString StatusText() const;
    const QString& ApplicationTitle() const { return applicationTitle_; }
    int BeepCount() const { return beeps_; }

    // MainWindowPort
    std::string PageIndexText() const override;
    void SetPageIndexValue(int32_t value) override;
    void SetPageIndexMaximum(int32_t maximum) override;
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

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Language of the texts in force: German, or English for any other value.
    int LanguageInForce() const;
    void CreateControls();
    void ConnectEvents();
    void FormMainOnCreate();
    void ApplyOuterBounds();
    void ShowNativeTitle();
    void FormMainOnCloseQuery();
    void FormMainOnClose();
    void SpeedButtonSettingsOnClick();
    void LayOutClientArea();
    // Runs a handler; a failure it raises is shown in the standard error box.
    template <typename Handler>
    void Guarded(Handler&& handler);
    QToolButton* Button(ToolButton button) const { return buttons_[static_cast<size_t>(button)]; }
    QToolButton* AddToolButton(ToolButton button, int left, const QString& caption);
    bool OwnsWidget(QObject* object) const;
    bool IsTravelling(QWidget* receiver, const QEvent* event) const;
    bool PreviewKey(QKeyEvent* event);
    // A key, click or wheel of the user ends the slideshow; true when the
    // event did and is used up by it.
    bool EndsSlideshow();
    void RunPhotoCommand(PhotoCommand command);
    void ShowViewContextMenu(const QPoint& globalPos);
    void ToggleSlideshow();
    FavoriteComboBox* FavoriteListBox(Control list) const;

    Settings settings_;
    SettingsLocation location_;
    FormMainPaths paths_;
    kpw::FavoriteList favoritePhotos_;
    kpw::FavoriteList favoriteUsers_;
    std::unique_ptr<QtBrowserView> visibleView_;
    std::unique_ptr<QtBrowserView> hiddenView_;
    std::vector<std::unique_ptr<QtBrowserView>> preloadPages_;
    // Before the logic that uses it, so it goes after it.
    std::unique_ptr<QtClock> clock_;
    std::unique_ptr<Navigator> navigator_;
    std::unique_ptr<FavoritesController> favorites_;
    std::unique_ptr<PhotoActions> photoActions_;
    TFormSettings* formSettings_ = nullptr;

    std::array<QToolButton*, ToolButtonCount> buttons_{};
    QButtonGroup* photoSizeGroup_ = nullptr;
    QButtonGroup* urlGroup_ = nullptr;
    QLabel* labelPageIndex_ = nullptr;
    QSpinBox* spinEditPageIndex_ = nullptr;
    QWidget* panelVisibleWebBrowser_ = nullptr;
    QPlainTextEdit* memoText_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    FavoriteComboBox* comboBoxFavoritePhotos_ = nullptr;
    FavoriteComboBox* comboBoxFavoriteUsers_ = nullptr;
    QTimer* timerNavigate_ = nullptr;
    bool busyCursors_ = false;
    bool closed_ = false;
    bool closingOnSignal_ = false;
    // The stored outer bounds wait for the window manager's frame, which is
    // known only some time after the window is shown.
    bool outerBoundsPending_ = false;
    WindowBounds startOuterBounds_{};
    bool maximisePending_ = false;
    // The frame of the normal window, once seen; the frame of a maximised
    // one differs.
    FrameMargins normalMargins_;
    // Change notifications of the index field so far.
    int pageIndexChanges_ = 0;
    int beeps_ = 0;
    QString applicationTitle_;
    QRect closingBounds_;
    // The last key or wheel event previewed and its first receiver, so one
    // that propagates from a child to its parents is handled once.
    struct PreviewedEvent {
        const QEvent* Event = nullptr;
        QPointer<QObject> Receiver;
        ulong Timestamp = 0;
        int Type = 0;
    };
    PreviewedEvent lastPreviewed_;
};

}  // namespace kpw
