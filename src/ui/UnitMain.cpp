#include "ui/UnitMain.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QFontDatabase>
#include <QLabel>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineView>
#include <QWindow>
#include <utility>

#include "app/PhotoActions.h"
#include "browsing/Navigator.h"
#include "browsing/OverviewSheet.h"
#include "favorites/FavoritesController.h"
#include "ui/FavoriteComboBox.h"
#include "ui/Guarded.h"
#include "ui/KeyPreview.h"
#include "ui/OverviewSheetView.h"
#include "ui/PageIndexSpinBox.h"
#include "ui/RangeKeepingUi.h"
#include "ui/RepaintPacer.h"
#include "ui/UnitSettings.h"
#include "ui/ViewContextMenu.h"
#include "webengine/PhotoFetcher.h"
#include "webengine/QtBrowserView.h"
#include "webengine/RangeFetcher.h"
#include "webengine/ThumbnailFetcher.h"

namespace kpw {

Q_LOGGING_CATEGORY(SettingsLog, "kpw.settings")

namespace {

// The layout's design values at 96 dpi.
constexpr int ClientWidth = 566;
constexpr int ClientHeight = 573;
constexpr int MinimumOuterWidth = 574;
constexpr int MinimumOuterHeight = 160;
constexpr int ToolRowHeight = 26;
constexpr int StatusBarHeight = 19;
constexpr int MemoHeight = 137;
// The favourites lists lie over the tool row from Go back to the design's
// right edge.
constexpr int FavoriteListHeight = 22;

}  // namespace

TFormMain::TFormMain(MainSession& session, std::unique_ptr<QtBrowserView> visibleView,
                     std::unique_ptr<QtBrowserView> hiddenView,
                     std::vector<std::unique_ptr<QtBrowserView>> preloadPages,
                     std::unique_ptr<PhotoFetcher> fetcher)
    : session_(session),
      visibleView_(std::move(visibleView)),
      hiddenView_(std::move(hiddenView)),
      preloadPages_(std::move(preloadPages)),
      fetcher_(fetcher ? std::move(fetcher) : std::make_unique<PhotoFetcher>()),
      thumbnails_(std::make_unique<ThumbnailFetcher>()),
      ranges_(std::make_unique<RangeKeepingUi>(*this)),
      placement_(*this, {MinimumOuterWidth, MinimumOuterHeight}) {
    setObjectName(QStringLiteral("FormMain"));
    // The sheet's pictures are asked for as the views ask for pages.
    if (auto* engineView = qobject_cast<QWebEngineView*>(visibleView_->Widget())) {
        thumbnails_->UseIdentityOf(*engineView->page()->profile());
        ranges_->Fetcher().UseIdentityOf(*engineView->page()->profile());
    }
    RepaintPacer::Pace(*this);
    CreateControls();
    FormMainOnCreate();
}

TFormMain::~TFormMain() {
    keyPreview_.reset();
    contextMenu_.reset();
    if (busyCursors_) QApplication::restoreOverrideCursor();
    // The views go before the logic that refers to them; their pages go
    // before the profile, which the program releases after this window.
    visibleView_.reset();
    hiddenView_.reset();
    preloadPages_.clear();
    fetcher_.reset();
    ranges_->Detach();
    session_.Release();
    // The sheet and the ranges cancelled their fetches as they went.
    thumbnails_.reset();
    ranges_.reset();
}

void TFormMain::CreateControls() {
    resize(ClientWidth, ClientHeight);
    // Never more than the screen has room for.
    const PixelSize minimum = placement_.MinimumOnScreen();
    setMinimumSize(minimum.Width, minimum.Height);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    QFont formFont = font();
    formFont.setPixelSize(11);
    setFont(formFont);

    toolRow_ = std::make_unique<ToolButtonRow>(*this);
    toolRow_->SetLanguage([this] { return LanguageInForce(); });

    labelPageIndex_ = new QLabel(this);
    labelPageIndex_->setGeometry(368, 5, 57, 13);
    labelPageIndex_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    spinEditPageIndex_ = new PageIndexSpinBox(this);
    spinEditPageIndex_->setGeometry(432, 2, 84, 22);
    spinEditPageIndex_->setRange(1, 1);
    spinEditPageIndex_->setAccelerated(false);

    panelVisibleWebBrowser_ = new QWidget(this);
    visibleView_->Widget()->setParent(panelVisibleWebBrowser_);
    visibleView_->Widget()->setFocusPolicy(Qt::ClickFocus);  // not a tab stop

    memoText_ = new QPlainTextEdit(panelVisibleWebBrowser_);
    QFont memoFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    memoFont.setPointSize(12);
    memoText_->setFont(memoFont);
    memoText_->setReadOnly(true);
    memoText_->setMaximumBlockCount(MaxLogLines);
    memoText_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoText_->setPlainText(QStringLiteral("MemoText"));
    memoText_->hide();

    hiddenView_->Widget()->setParent(this);
    hiddenView_->Widget()->setGeometry(480, 104, 28, 28);
    hiddenView_->Widget()->setFocusPolicy(Qt::NoFocus);
    hiddenView_->Widget()->hide();
    // Nobody sees the hidden view, so it never raises a dialog of its own.
    hiddenView_->SetSilent(true);

    statusBar_ = new QStatusBar(this);
    statusBar_->setSizeGripEnabled(false);
    // The sheet's button stands at the status bar's right, where the tool
    // row's design has no room.
    QToolButton* sheetButton = Button(ToolButton::OverviewSheet);
    sheetButton->setFixedSize(22, StatusBarHeight - 2);
    statusBar_->addPermanentWidget(sheetButton);

    comboBoxFavoritePhotos_ = new FavoriteComboBox(session_.FavoritePhotos().Entries(), this);
    comboBoxFavoriteUsers_ = new FavoriteComboBox(session_.FavoriteUsers().Entries(), this);
    comboBoxFavoritePhotos_->hide();
    comboBoxFavoriteUsers_->hide();

    timerNavigate_ = new QTimer(this);
    timerNavigate_->setSingleShot(true);

    LayOutClientArea();
}

void TFormMain::LayOutToolRow() {
    auto& field = *static_cast<PageIndexSpinBox*>(spinEditPageIndex_);
    LayOutIndexRow(*labelPageIndex_, field);
    toolRow_->LayOut(width(), *labelPageIndex_, field);

    // The favourites lists lie over the row from the first place after
    // Select favorite on, as wide as the design has them or as the window
    // leaves; where that button is in the menu, from the last one shown.
    int listLeft = 0;
    for (ToolButton button :
         {ToolButton::PhotoSize1, ToolButton::PhotoSize2, ToolButton::PhotoSize3,
          ToolButton::PhotoSize4, ToolButton::URL1, ToolButton::URL2, ToolButton::URL3,
          ToolButton::ShowStatistics, ToolButton::AddFavorite, ToolButton::DeleteFavorite,
          ToolButton::SelectFavorite}) {
        if (!toolRow_->InOverflow(button)) listLeft = Button(button)->geometry().right() + 1 + 1;
    }
    const int designListLeft = Button(ToolButton::SelectFavorite)->geometry().right() + 1 + 1;
    const int listWidth = std::max(
        1,
        std::min(ClientWidth -
                     (toolRow_->InOverflow(ToolButton::SelectFavorite) ? listLeft : designListLeft),
                 width() - listLeft));
    for (FavoriteComboBox* list : {comboBoxFavoritePhotos_, comboBoxFavoriteUsers_}) {
        if (list) list->setGeometry(listLeft, field.y(), listWidth, FavoriteListHeight);
    }
}

void TFormMain::LayOutClientArea() {
    LayOutToolRow();
    const int w = width();
    const int panelHeight = std::max(0, height() - ToolRowHeight - StatusBarHeight - 1);
    panelVisibleWebBrowser_->setGeometry(0, ToolRowHeight, w, panelHeight);
    visibleView_->Widget()->setGeometry(0, 0, w, panelHeight);
    if (sheetView_) sheetView_->setGeometry(0, 0, w, panelHeight);
    // Nobody sees the hidden view, but its page is laid out at its size: at
    // its design size of 28 x 28 a long page wraps at every word and its
    // renderer takes gigabytes. It lays out the next page as it will be shown.
    hiddenView_->Widget()->resize(w, panelHeight);
    memoText_->setGeometry(0, std::max(0, panelHeight - MemoHeight - 2), std::max(0, w - 1),
                           MemoHeight);
    statusBar_->setGeometry(0, height() - StatusBarHeight, w, StatusBarHeight);
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutClientArea();
    placement_.Apply();
}

template <typename Handler>
void TFormMain::Guarded(Handler&& handler) {
    kpw::Guarded(*this, std::forward<Handler>(handler));
}

void TFormMain::ConnectEvents() {
    Navigator& logic = session_.Logic();
    FavoritesController& favorites = session_.Favorites();
    std::vector<BrowserView*> pages;
    for (size_t i = 0; i < preloadPages_.size(); ++i) {
        pages.push_back(preloadPages_[i].get());
        connect(preloadPages_[i].get(), &QtBrowserView::DocumentComplete, this,
                [this, &logic, i](const DocumentContent& content) {
                    Guarded([&] { logic.PreloadPageOnDocumentComplete(i, content); });
                });
    }
    logic.AttachPreloadPages(std::move(pages));
    connect(toolRow_->PhotoSizeGroup(), &QButtonGroup::idClicked, this,
            [this, &logic](int tag) { Guarded([&] { logic.SpeedButtonPhotoSizeOnClick(tag); }); });
    connect(toolRow_->URLGroup(), &QButtonGroup::idClicked, this,
            [this, &logic](int tag) { Guarded([&] { logic.SpeedButtonURLOnClick(tag); }); });

    auto onClick = [this](ToolButton control, auto action) {
        connect(Button(control), &QToolButton::clicked, this, [this, action] { Guarded(action); });
    };
    onClick(ToolButton::ShowStatistics, [&logic] { logic.SpeedButtonShowStatisticsOnClick(); });
    onClick(ToolButton::GoBack, [&logic] { logic.SpeedButtonGoBackOnClick(); });
    onClick(ToolButton::Refresh, [&logic] { logic.SpeedButtonRefreshOnClick(); });
    onClick(ToolButton::Stop, [&logic] { logic.SpeedButtonStopOnClick(); });
    onClick(ToolButton::AutoSkip, [&logic] { logic.SpeedButtonAutoSkipOnClick(); });
    onClick(ToolButton::Help, [&logic] { logic.SpeedButtonHelpOnClick(); });
    onClick(ToolButton::Settings, [this] { SpeedButtonSettingsOnClick(); });
    onClick(ToolButton::OverviewSheet, [this] { SpeedButtonOverviewSheetOnClick(); });
    onClick(ToolButton::AddFavorite, [&favorites] { favorites.SpeedButtonAddFavoriteOnClick(); });
    onClick(ToolButton::SelectFavorite,
            [&favorites] { favorites.SpeedButtonSelectFavoriteOnClick(); });
    onClick(ToolButton::DeleteFavorite,
            [&favorites] { favorites.SpeedButtonDeleteFavoriteOnClick(); });
    for (Control list : {Control::FavoritePhotos, Control::FavoriteUsers}) {
        FavoriteComboBox* box = FavoriteListBox(list);
        connect(box, &QComboBox::activated, this, [this, &favorites, list](int position) {
            Guarded([&] { favorites.ComboBoxFavoritePhotosOrUsersOnSelect(list, position); });
        });
        connect(box, &FavoriteComboBox::KeyPress, this, [this, &favorites, list](char key) {
            Guarded([&] { favorites.ComboBoxFavoritePhotosOrUsersOnKeyPress(list, key); });
        });
        connect(box, &FavoriteComboBox::CloseUp, this, [this, &favorites] {
            Guarded([&] { favorites.ComboBoxFavoritePhotosOrUsersOnCloseUp(); });
        });
        connect(box, &FavoriteComboBox::Exit, this, [this, &favorites] {
            Guarded([&] { favorites.ComboBoxFavoritePhotosOrUsersOnExit(); });
        });
    }
    Button(ToolButton::GoBack)->installEventFilter(this);  // double click

    connect(spinEditPageIndex_, &QSpinBox::textChanged, this,
            [this, &logic] { Guarded([&] { logic.SpinEditPageIndexOnChange(); }); });
    connect(static_cast<PageIndexSpinBox*>(spinEditPageIndex_), &PageIndexSpinBox::Entered, this,
            [this, &logic] { Guarded([&] { logic.SpinEditPageIndexOnEnter(); }); });
    connect(timerNavigate_, &QTimer::timeout, this,
            [this, &logic] { Guarded([&] { logic.TimerNavigateOnTimer(); }); });

    QtBrowserView* view = visibleView_.get();
    connect(view, &QtBrowserView::BeforeNavigate2, this, [this, &logic](const QString& url) {
        Guarded([&] { logic.VisibleWebBrowserOnBeforeNavigate2(url.toStdString()); });
    });
    // After the logic: the photo the view goes to is known then.
    connect(view, &QtBrowserView::BeforeNavigate2, this,
            [this](const QString& url) { session_.Photos().ViewNavigates(url.toStdString()); });
    connect(view, &QtBrowserView::DownloadComplete, this,
            [this, &logic] { Guarded([&] { logic.VisibleWebBrowserOnDownloadComplete(); }); });
    connect(view, &QtBrowserView::DocumentComplete, this,
            [this, &logic](const DocumentContent& content) {
                Guarded([&] { logic.VisibleWebBrowserOnDocumentComplete(content); });
            });
    connect(view, &QtBrowserView::StatusTextChange, this, [this, &logic](const QString& text) {
        Guarded([&] { logic.VisibleWebBrowserOnStatusTextChange(text.toStdString()); });
    });
    connect(view, &QtBrowserView::BodyTextRead, this,
            [this, &logic](bool readable, const QString& text) {
                Guarded([&] {
                    logic.LateCheck().TextRead(readable ? std::optional(text.toStdString())
                                                        : std::nullopt);
                });
            });
    contextMenu_ =
        std::make_unique<ViewContextMenu>(*this, *this, logic, session_.Photos(), favorites, *view);
    contextMenu_->KeepRange = [this] { ranges_->OpenDialog(LanguageInForce()); };
    connect(view, &QtBrowserView::ContextMenuRequested, this, [this](const QPoint& globalPos) {
        Guarded([&] { contextMenu_->Show(globalPos, LanguageInForce()); });
    });
    connect(hiddenView_.get(), &QtBrowserView::DocumentComplete, this,
            [this, &logic](const DocumentContent& content) {
                Guarded([&] { logic.HiddenWebBrowserOnDocumentComplete(content); });
            });

    connect(sheetView_, &OverviewSheetView::Chosen, this,
            [this, &logic] { Guarded([&] { logic.ShowSheetSelection(); }); });
    connect(sheetView_, &OverviewSheetView::GridChanged, this, [this](QSize grid) {
        Guarded([&] {
            if (session_.Sheet().IsOpen()) session_.Sheet().SetLayout(grid.width(), grid.height());
        });
    });
    connect(sheetView_, &OverviewSheetView::MenuRequested, this, [this](const QPoint& globalPos) {
        Guarded([&] { contextMenu_->ShowForSheet(globalPos, LanguageInForce()); });
    });
    connect(thumbnails_.get(), &ThumbnailFetcher::Answered, this,
            [this](quint64 id, const ThumbnailAnswer& answer, const QImage& picture) {
                Guarded([&] {
                    OverviewSheet& sheet = session_.Sheet();
                    if (const std::optional<int32_t> index = sheet.IndexOfFetch(id))
                        sheetView_->TakePicture(*index, picture);
                    sheet.Answered(id, answer);
                });
            });

    // Ctrl+Q and Ctrl+W close the window as its close box does.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::CTRL | Qt::Key_Q), QKeySequence(Qt::CTRL | Qt::Key_W)}) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, &QWidget::close);
    }
    keyPreview_ =
        std::make_unique<KeyPreview>(*this, *this, logic, session_.Photos(), favorites, *toolRow_,
                                     panelVisibleWebBrowser_, spinEditPageIndex_);
    keyPreview_->KeepRange = [this] { Guarded([&] { ranges_->OpenDialog(LanguageInForce()); }); };
}

void TFormMain::FormMainOnCreate() {
    LayOutToolRow();

    const QRect screenArea = QGuiApplication::primaryScreen()
                                 ? QGuiApplication::primaryScreen()->availableGeometry()
                                 : QRect(0, 0, 1024, 768);
    const WorkArea workArea{screenArea.width(), screenArea.height()};
    session_.LoadSettings(workArea);
    session_.Compose(*this, *visibleView_, *hiddenView_, *fetcher_, *thumbnails_, this);
    session_.ComposeRanges(ranges_->Fetcher());
    ranges_->Attach(session_, *this, *statusBar_);
    if (!session_.ArchiveMessage().empty()) {
        AppendLogLine(session_.ArchiveMessage());
        qCWarning(SettingsLog).noquote() << QString::fromStdString(session_.ArchiveMessage());
    }
    CreateOverviewSheet();
    ConnectEvents();
    placement_.Place(session_.CurrentSettings(), workArea);

    session_.Logic().StartUp();
    session_.Favorites().SelectFirstEntries();
    session_.Logic().StartFirstLoad();

    show();
    ProcessPendingMessages();
    placement_.Apply();
    if (spinEditPageIndex_->isEnabled()) spinEditPageIndex_->setFocus();
}

void TFormMain::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    placement_.Apply();
}

void TFormMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) placement_.Apply();
    if (event->type() == QEvent::WindowTitleChange) ShowNativeTitle();
    // The glyphs are drawn in the palette's colours; a new palette or style
    // draws them anew.
    if ((event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange) &&
        toolRow_)
        toolRow_->RenewGlyphs();
}

void TFormMain::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    ShowNativeTitle();
}

void TFormMain::ShowNativeTitle() {
    // The caption begins with a blank, which the program's own texts build
    // on; the task bar and window lists show it without.
    if (QWindow* handle = windowHandle()) {
        QString title = windowTitle();
        while (title.startsWith(QLatin1Char(' '))) title.remove(0, 1);
        handle->setTitle(title);
    }
}

void TFormMain::FormMainOnCloseQuery() {
    const WindowPlacementKeeper::Closing closing = placement_.AtClosing();
    session_.CurrentSettings().WindowState = closing.WindowState;
    closingBounds_ = closing.OuterBounds;
    if (closing.WindowState == 2) showNormal();
}

void TFormMain::FormMainOnClose() {
    const std::optional<std::string> failure = session_.StoreSettings(closingBounds_);
    if (!failure) return;
    if (closingOnSignal_)
        qCCritical(SettingsLog).noquote() << QString::fromStdString(*failure);
    else
        QMessageBox::critical(this, applicationTitle_, QString::fromStdString(*failure));
}

void TFormMain::CloseOnSignal() {
    closingOnSignal_ = true;
    // A dialog left open would keep its own event loop, and with it the
    // program, running.
    while (QWidget* modal = QApplication::activeModalWidget()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        if (modal == QApplication::activeModalWidget()) break;
    }
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    close();
}

void TFormMain::closeEvent(QCloseEvent* event) {
    // A close box click and an end-of-session signal may both arrive; the
    // file is written once.
    if (!closed_) {
        closed_ = true;
        FormMainOnCloseQuery();
        FormMainOnClose();
    }
    event->accept();
}

void TFormMain::SetSettingsForm(TFormSettings* formSettings) {
    formSettings_ = formSettings;
    if (formSettings_) {
        formSettings_->SetFavoriteListLengths([this] {
            return FavoriteListLengths{session_.FavoritePhotos().Entries().size(),
                                       session_.FavoriteUsers().Entries().size()};
        });
    }
}

void TFormMain::SpeedButtonSettingsOnClick() {
    Guarded([&] {
        session_.Logic().HideFavoriteLists();
        const bool accepted =
            formSettings_ && formSettings_->ExecuteFormSettings(session_.CurrentSettings());
        Button(ToolButton::Settings)->setChecked(false);
        if (accepted) session_.Logic().ApplyConfirmedSettings();
        // The keys go to the index field again, as after the other dialogs.
        if (CanFocus(Control::PageIndex)) SetFocus(Control::PageIndex);
    });
}

void TFormMain::CreateOverviewSheet() {
    sheetView_ = new OverviewSheetView(session_.Sheet(), panelVisibleWebBrowser_);
    sheetView_->hide();
    LayOutClientArea();
}

void TFormMain::SpeedButtonOverviewSheetOnClick() {
    Guarded([&] {
        const Settings& settings = session_.CurrentSettings();
        sheetView_->SetLanguage(LanguageInForce());
        sheetView_->SetCellSize(settings.SheetCellSize);
        const int side = qRound(settings.SheetCellSize * devicePixelRatioF());
        thumbnails_->SetPictureSize(QSize(side, side));
        const QSize grid = sheetView_->Grid();
        session_.Logic().SpeedButtonOverviewSheetOnClick(grid.width(), grid.height());
        Button(ToolButton::OverviewSheet)->setChecked(session_.Logic().SheetShown());
    });
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Button(ToolButton::GoBack) && event->type() == QEvent::MouseButtonDblClick) {
        Guarded([&] { session_.Logic().SpeedButtonGoBackOnDblClick(); });
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

FavoriteComboBox* TFormMain::FavoriteListBox(Control list) const {
    return list == Control::FavoriteUsers ? comboBoxFavoriteUsers_ : comboBoxFavoritePhotos_;
}

QWidget* TFormMain::ControlWidget(Control control) const {
    switch (control) {
        case Control::LabelPageIndex:
            return labelPageIndex_;
        case Control::PageIndex:
            return spinEditPageIndex_;
        case Control::MemoText:
            return memoText_;
        case Control::FavoritePhotos:
            return comboBoxFavoritePhotos_;
        case Control::FavoriteUsers:
            return comboBoxFavoriteUsers_;
        default:
            return toolRow_->Buttons()[static_cast<size_t>(control)];
    }
}

}  // namespace kpw
