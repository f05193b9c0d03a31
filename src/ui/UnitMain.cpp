#include "ui/UnitMain.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QDialog>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>
#include <QWindow>

#include "browsing/ControlGroups.h"
#include "browsing/IndexField.h"
#include "browsing/Navigator.h"
#include "favorites/FavoritesController.h"
#include "texts/Texts.h"
#include "ui/FavoriteComboBox.h"
#include "ui/Glyphs.h"
#include "ui/PageIndexSpinBox.h"
#include "ui/PhotoActions.h"
#include "ui/QtBrowserView.h"
#include "ui/QtClock.h"
#include "ui/RepaintPacer.h"
#include "ui/UnitSettings.h"

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

// The legacy virtual-key code of the keys the window reacts to.
int VirtualKey(int qtKey) {
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F12) return KeyF1 + (qtKey - Qt::Key_F1);
    // Letters have their upper-case character as their code.
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z) return 'A' + (qtKey - Qt::Key_A);
    return 0;
}

// The character a key press types, as the window's key preview sees it; 0
// for keys that type nothing.
char TypedCharacter(const QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            return CharEnter;
        case Qt::Key_Escape:
            return CharEscape;
        case Qt::Key_Backspace:
            return 8;
        case Qt::Key_Delete:
            return 0;  // X11 gives it the text DEL; it types nothing
        default:
            break;
    }
    if ((event->modifiers() & Qt::ControlModifier) && event->key() >= Qt::Key_A &&
        event->key() <= Qt::Key_Z)
        return static_cast<char>(event->key() - Qt::Key_A + 1);
    const QString text = event->text();
    if (text.size() != 1) return 0;
    const char16_t code = text.at(0).unicode();
    if (code == 127) return 0;
    return code < 256 ? static_cast<char>(code) : '?';
}

WindowBounds BoundsOf(const QRect& rect) {
    return {rect.left(), rect.top(), rect.width(), rect.height()};
}

// All screens together, as a window may span them.
PixelSize ScreensSize() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {1024, 768};
    const QRect all = screen->virtualGeometry();
    return {all.width(), all.height()};
}

}  // namespace

TFormMain::TFormMain(FormMainPaths paths, std::unique_ptr<QtBrowserView> visibleView,
                     std::unique_ptr<QtBrowserView> hiddenView,
                     std::vector<std::unique_ptr<QtBrowserView>> preloadPages)
    : paths_(std::move(paths)),
      visibleView_(std::move(visibleView)),
      hiddenView_(std::move(hiddenView)),
      preloadPages_(std::move(preloadPages)) {
    setObjectName(QStringLiteral("FormMain"));
    RepaintPacer::Pace(*this);
    CreateControls();
    FormMainOnCreate();
}

TFormMain::~TFormMain() {
    qApp->removeEventFilter(this);
    if (busyCursors_) QApplication::restoreOverrideCursor();
    if (clock_) clock_->StopWaitTimer();
    // The views go before the logic that refers to them; their pages go
    // before the profile, which the program releases after this window.
    visibleView_.reset();
    hiddenView_.reset();
    preloadPages_.clear();
}

QToolButton* TFormMain::AddToolButton(ToolButton control, int left, const QString& caption) {
    auto* button = new QToolButton(this);
    button->setGeometry(left, 2, 23, 22);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    if (!caption.isEmpty()) {
        button->setText(caption);
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    } else {
        button->setIconSize(QSize(16, 16));
        button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
    buttons_[static_cast<size_t>(control)] = button;
    return button;
}

void TFormMain::CreateControls() {
    resize(ClientWidth, ClientHeight);
    setMinimumSize(MinimumOuterWidth, MinimumOuterHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    QFont formFont = font();
    formFont.setPixelSize(11);
    setFont(formFont);

    photoSizeGroup_ = new QButtonGroup(this);
    for (int size = 1; size <= 4; ++size) {
        const ToolButton control = PhotoSizeButton(size);
        QToolButton* button = AddToolButton(control, (size - 1) * 24, QString::number(size));
        button->setCheckable(true);
        photoSizeGroup_->addButton(button, size);
    }
    Button(ToolButton::PhotoSize3)->setChecked(true);

    const Glyph modeGlyphs[] = {Glyph::PhotoOnly, Glyph::PhotoInfo, Glyph::UserPage};
    urlGroup_ = new QButtonGroup(this);
    for (int mode = 1; mode <= 3; ++mode) {
        const ToolButton control = URLButton(mode);
        QToolButton* button = AddToolButton(control, 96 + (mode - 1) * 24, {});
        button->setIcon(GlyphIcon(modeGlyphs[mode - 1]));
        button->setCheckable(true);
        urlGroup_->addButton(button, mode);
    }
    Button(ToolButton::URL1)->setChecked(true);

    struct Plain {
        ToolButton control;
        int left;
        Glyph glyph;
        bool toggle;
    };
    const Plain plain[] = {
        {ToolButton::ShowStatistics, 168, Glyph::Statistics, true},
        {ToolButton::AddFavorite, 192, Glyph::AddFavorite, false},
        {ToolButton::DeleteFavorite, 216, Glyph::DeleteFavorite, false},
        {ToolButton::SelectFavorite, 240, Glyph::SelectFavorite, false},
        {ToolButton::GoBack, 264, Glyph::GoBack, false},
        {ToolButton::Refresh, 288, Glyph::Refresh, false},
        {ToolButton::Stop, 312, Glyph::Stop, false},
        {ToolButton::AutoSkip, 336, Glyph::AutoSkip, true},
        {ToolButton::Help, 519, Glyph::Help, false},
        {ToolButton::Settings, 543, Glyph::Settings, true},
    };
    for (const Plain& p : plain) {
        QToolButton* button = AddToolButton(p.control, p.left, {});
        button->setIcon(GlyphIcon(p.glyph));
        button->setCheckable(p.toggle);
    }
    Button(ToolButton::GoBack)->setEnabled(false);
    Button(ToolButton::Stop)->setEnabled(false);

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

    comboBoxFavoritePhotos_ = new FavoriteComboBox(favoritePhotos_.Entries(), this);
    comboBoxFavoriteUsers_ = new FavoriteComboBox(favoriteUsers_.Entries(), this);
    comboBoxFavoritePhotos_->hide();
    comboBoxFavoriteUsers_->hide();

    timerNavigate_ = new QTimer(this);
    timerNavigate_->setSingleShot(true);

    LayOutClientArea();
}

void TFormMain::LayOutClientArea() {
    const int w = width();
    const int panelHeight = std::max(0, height() - ToolRowHeight - StatusBarHeight - 1);
    panelVisibleWebBrowser_->setGeometry(0, ToolRowHeight, w, panelHeight);
    visibleView_->Widget()->setGeometry(0, 0, w, panelHeight);
    memoText_->setGeometry(0, std::max(0, panelHeight - MemoHeight - 2), std::max(0, w - 1),
                           MemoHeight);
    statusBar_->setGeometry(0, height() - StatusBarHeight, w, StatusBarHeight);
}

void TFormMain::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayOutClientArea();
    ApplyOuterBounds();
}

template <typename Handler>
void TFormMain::Guarded(Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorMessage(error.what());
    }
}

void TFormMain::ConnectEvents() {
    clock_ = std::make_unique<QtClock>(
        [this] { Guarded([&] { navigator_->WaitTimerOnTimer(); }); },
        [this] { Guarded([&] { navigator_->SlideshowTimerOnTimer(); }); });
    navigator_ = std::make_unique<Navigator>(settings_, *this, *visibleView_, *hiddenView_, *clock_,
                                             location_.ExeDir);
    photoActions_ =
        std::make_unique<PhotoActions>(settings_, *navigator_, *this, *visibleView_, this);
    favorites_ = std::make_unique<FavoritesController>(settings_, *this, *navigator_,
                                                       favoritePhotos_, favoriteUsers_);
    Navigator& logic = *navigator_;
    std::vector<BrowserView*> pages;
    for (size_t i = 0; i < preloadPages_.size(); ++i) {
        pages.push_back(preloadPages_[i].get());
        connect(preloadPages_[i].get(), &QtBrowserView::DocumentComplete, this,
                [this, &logic, i](const DocumentContent& content) {
                    Guarded([&] { logic.PreloadPageOnDocumentComplete(i, content); });
                });
    }
    logic.AttachPreloadPages(std::move(pages));
    connect(photoSizeGroup_, &QButtonGroup::idClicked, this,
            [this, &logic](int tag) { Guarded([&] { logic.SpeedButtonPhotoSizeOnClick(tag); }); });
    connect(urlGroup_, &QButtonGroup::idClicked, this,
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
    onClick(ToolButton::AddFavorite, [this] { favorites_->SpeedButtonAddFavoriteOnClick(); });
    onClick(ToolButton::SelectFavorite, [this] { favorites_->SpeedButtonSelectFavoriteOnClick(); });
    onClick(ToolButton::DeleteFavorite, [this] { favorites_->SpeedButtonDeleteFavoriteOnClick(); });
    for (Control list : {Control::FavoritePhotos, Control::FavoriteUsers}) {
        FavoriteComboBox* box = FavoriteListBox(list);
        connect(box, &QComboBox::activated, this, [this, list](int position) {
            Guarded([&] { favorites_->ComboBoxFavoritePhotosOrUsersOnSelect(list, position); });
        });
        connect(box, &FavoriteComboBox::KeyPress, this, [this, list](char key) {
            Guarded([&] { favorites_->ComboBoxFavoritePhotosOrUsersOnKeyPress(list, key); });
        });
        connect(box, &FavoriteComboBox::CloseUp, this,
                [this] { Guarded([&] { favorites_->ComboBoxFavoritePhotosOrUsersOnCloseUp(); }); });
        connect(box, &FavoriteComboBox::Exit, this,
                [this] { Guarded([&] { favorites_->ComboBoxFavoritePhotosOrUsersOnExit(); }); });
    }
    Button(ToolButton::GoBack)->installEventFilter(this);  // double click

    connect(spinEditPageIndex_, &QSpinBox::textChanged, this, [this, &logic] {
        ++pageIndexChanges_;
        Guarded([&] { logic.SpinEditPageIndexOnChange(); });
    });
    connect(static_cast<PageIndexSpinBox*>(spinEditPageIndex_), &PageIndexSpinBox::Entered, this,
            [this, &logic] { Guarded([&] { logic.SpinEditPageIndexOnEnter(); }); });
    connect(timerNavigate_, &QTimer::timeout, this,
            [this, &logic] { Guarded([&] { logic.TimerNavigateOnTimer(); }); });

    QtBrowserView* view = visibleView_.get();
    connect(view, &QtBrowserView::BeforeNavigate2, this, [this, &logic](const QString& url) {
        Guarded([&] { logic.VisibleWebBrowserOnBeforeNavigate2(url.toStdString()); });
    });
    connect(view, &QtBrowserView::DownloadComplete, this,
            [this, &logic] { Guarded([&] { logic.VisibleWebBrowserOnDownloadComplete(); }); });
    connect(view, &QtBrowserView::DocumentComplete, this,
            [this, &logic](const DocumentContent& content) {
                Guarded([&] { logic.VisibleWebBrowserOnDocumentComplete(content); });
            });
    connect(view, &QtBrowserView::StatusTextChange, this, [this, &logic](const QString& text) {
        Guarded([&] { logic.VisibleWebBrowserOnStatusTextChange(text.toStdString()); });
    });
    connect(view, &QtBrowserView::ContextMenuRequested, this,
            [this](const QPoint& globalPos) { Guarded([&] { ShowViewContextMenu(globalPos); }); });
    connect(hiddenView_.get(), &QtBrowserView::DocumentComplete, this,
            [this, &logic](const DocumentContent& content) {
                Guarded([&] { logic.HiddenWebBrowserOnDocumentComplete(content); });
            });

    qApp->installEventFilter(this);
}

void TFormMain::FormMainOnCreate() {
    // The favourites lists lie over the tool row from Go back on.
    const int listLeft = Button(ToolButton::SelectFavorite)->geometry().right() + 1 + 1;
    for (FavoriteComboBox* list : {comboBoxFavoritePhotos_, comboBoxFavoriteUsers_})
        list->setGeometry(listLeft, spinEditPageIndex_->y(), width() - listLeft, 22);

    location_ = LocateSettingsFile(paths_.ExeName, paths_.AppData);
    const QRect workArea = QGuiApplication::primaryScreen()
                               ? QGuiApplication::primaryScreen()->availableGeometry()
                               : QRect(0, 0, 1024, 768);
    LoadSettings(location_.IniFileName, settings_, favoritePhotos_.Entries(),
                 favoriteUsers_.Entries(), WorkArea{workArea.width(), workArea.height()});
    // The logic needs the program's folder, known from here on.
    ConnectEvents();

    // The stored outer bounds; the minimum size still applies, and no
    // more than the screens can show is asked of the window system. Until the
    // frame is known the size goes to the client area.
    startOuterBounds_ =
        PlacedOuterBounds({settings_.Left, settings_.Top, settings_.Width, settings_.Height},
                          {MinimumOuterWidth, MinimumOuterHeight}, ScreensSize(),
                          WorkArea{workArea.width(), workArea.height()});
    move(startOuterBounds_.Left, startOuterBounds_.Top);
    resize(startOuterBounds_.Width, startOuterBounds_.Height);
    outerBoundsPending_ = true;
    if (settings_.WindowState == 1)
        setWindowState(Qt::WindowMinimized);
    else if (settings_.WindowState == 2)
        setWindowState(Qt::WindowMaximized);
    maximisePending_ = settings_.WindowState == 2;

    navigator_->StartUp();
    favorites_->SelectFirstEntries();
    navigator_->StartFirstLoad();

    show();
    ProcessPendingMessages();
    ApplyOuterBounds();
    if (spinEditPageIndex_->isEnabled()) spinEditPageIndex_->setFocus();
}

void TFormMain::ApplyOuterBounds() {
    // The stored size is the window's outer size; the frame is known only
    // some time after the window system shows the window, and only the
    // normal window's frame is the one to take off. Without a window manager
    // there is no frame and the client area is the whole window.
    if (!isVisible()) return;
    const FrameMargins margins = MarginsBetween(BoundsOf(frameGeometry()), BoundsOf(geometry()));
    if (margins.IsEmpty()) return;
    // Framed while maximised: the manager did maximise it.
    if (windowState() & Qt::WindowMaximized) maximisePending_ = false;
    if (windowState() != Qt::WindowNoState) return;
    normalMargins_ = margins;
    setMinimumSize(MinimumOuterWidth - margins.Left - margins.Right,
                   MinimumOuterHeight - margins.Top - margins.Bottom);
    if (outerBoundsPending_) {
        outerBoundsPending_ = false;
        const WindowBounds client = ClientBoundsWithin(startOuterBounds_, margins);
        resize(client.Width, client.Height);
        move(startOuterBounds_.Left, startOuterBounds_.Top);
    }
    // A window manager may map the window normal although it was asked for
    // maximised; once managed, the window asks again, now with its normal
    // bounds right.
    if (maximisePending_) {
        maximisePending_ = false;
        setWindowState(Qt::WindowMaximized);
    }
}

void TFormMain::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    ApplyOuterBounds();
}

void TFormMain::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange) ApplyOuterBounds();
    if (event->type() == QEvent::WindowTitleChange) ShowNativeTitle();
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
    const Qt::WindowStates state = windowState();
    settings_.WindowState = state & Qt::WindowMinimized ? 1 : state & Qt::WindowMaximized ? 2 : 0;
    // The outer bounds of the normal window, also when it is minimised or
    // maximised, taken before the window system restores it.
    ApplyOuterBounds();
    closingBounds_ = frameGeometry();
    if (settings_.WindowState != 0) {
        // A window that was never normal under a frame still has the bounds
        // it was given; Qt's normal geometry would lack the frame.
        const bool framed =
            !MarginsBetween(BoundsOf(frameGeometry()), BoundsOf(geometry())).IsEmpty();
        const WindowBounds normal =
            outerBoundsPending_ && framed
                ? startOuterBounds_
                : OuterBoundsAround(BoundsOf(normalGeometry()), normalMargins_);
        closingBounds_ = QRect(normal.Left, normal.Top, normal.Width, normal.Height);
    }
    if (settings_.WindowState == 2) showNormal();
}

void TFormMain::FormMainOnClose() {
    const QRect& bounds = closingBounds_;
    const std::optional<std::string> failure =
        StoreSettings(location_.IniFileName, settings_,
                      WindowBounds{bounds.left(), bounds.top(), bounds.width(), bounds.height()},
                      favoritePhotos_.Entries(), favoriteUsers_.Entries());
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

void TFormMain::SpeedButtonSettingsOnClick() {
    Guarded([&] {
        navigator_->HideFavoriteLists();
        const bool accepted = formSettings_ && formSettings_->ExecuteFormSettings(settings_);
        Button(ToolButton::Settings)->setChecked(false);
        if (accepted) navigator_->ApplyConfirmedSettings();
    });
}

bool TFormMain::OwnsWidget(QObject* object) const {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) return false;
    // A drop-down list's popup is a window of its own, but its keys are the
    // main window's to see first.
    QWidget* top = widget->window();
    while (top != this && top->windowType() == Qt::Popup && top->parentWidget())
        top = top->parentWidget()->window();
    return top == this;
}

bool TFormMain::IsTravelling(QWidget* receiver, const QEvent* event) const {
    // An event ignored by a control travels on to its parents and passes here
    // again; the window previews it once, at its first receiver. Keys travel
    // as the same event, wheel turns as copies with the same time stamp.
    // Address and time stamp alone cannot tell a new event: events made by
    // programs all carry time stamp 0 and often reuse one address.
    auto* first = qobject_cast<QWidget*>(lastPreviewed_.Receiver.data());
    if (!first || first == receiver || event->type() != lastPreviewed_.Type ||
        !receiver->isAncestorOf(first))
        return false;
    if (static_cast<const QInputEvent*>(event)->timestamp() != lastPreviewed_.Timestamp)
        return false;
    return event->type() != QEvent::KeyPress || event == lastPreviewed_.Event;
}

bool TFormMain::PreviewKey(QKeyEvent* event) {
    const Qt::KeyboardModifiers mods = event->modifiers();
    // The photo keys are commands, not characters: the index field and the
    // key preview never see them, so a number being typed stays as it is.
    if (const std::optional<PhotoCommand> command =
            PhotoCommandOfKey(VirtualKey(event->key()), mods & Qt::ShiftModifier,
                              mods & Qt::ControlModifier, mods & Qt::AltModifier)) {
        if (!event->isAutoRepeat()) RunPhotoCommand(*command);
        return true;
    }
    if (const int key = VirtualKey(event->key())) {
        navigator_->FormMainOnKeyDown(key, mods & Qt::ShiftModifier, mods & Qt::ControlModifier,
                                      mods & Qt::AltModifier);
    }
    const char typed = TypedCharacter(event);
    if (typed == 0) return false;
    if (navigator_->FormMainOnKeyPress(typed)) return true;
    if (PageIndexHasFocus() &&
        !IndexFieldAdmits(typed, QLocale().decimalPoint().at(0).toLatin1())) {
        Beep();
        return true;
    }
    return false;
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Button(ToolButton::GoBack) && event->type() == QEvent::MouseButtonDblClick) {
        Guarded([&] { navigator_->SpeedButtonGoBackOnDblClick(); });
        return true;
    }
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::Wheel && type != QEvent::MouseButtonPress)
        return false;
    if (!OwnsWidget(watched) || !isEnabled()) return false;
    if (EndsSlideshow()) return type != QEvent::MouseButtonPress;
    if (type == QEvent::MouseButtonPress) return false;
    // The browser engine hands keys the page did not use to the view's parent
    // as a copy; the window previewed the original already.
    if (type == QEvent::KeyPress && watched == panelVisibleWebBrowser_ && !event->spontaneous())
        return false;
    if (IsTravelling(static_cast<QWidget*>(watched), event)) return false;
    lastPreviewed_ = {event, watched, static_cast<QInputEvent*>(event)->timestamp(), type};

    bool swallowed = false;
    Guarded([&] {
        if (type == QEvent::KeyPress) {
            swallowed = PreviewKey(static_cast<QKeyEvent*>(event));
        } else {
            const int delta = static_cast<QWheelEvent*>(event)->angleDelta().y();
            swallowed = delta != 0 && navigator_->FormMainOnMouseWheel(delta);
            // The wheel belongs to the focused control: over an unfocused
            // index field it must not step the field by itself.
            if (!swallowed && !PageIndexHasFocus() &&
                (watched == spinEditPageIndex_ ||
                 spinEditPageIndex_->isAncestorOf(static_cast<QWidget*>(watched))))
                swallowed = true;
        }
    });
    return swallowed;
}

bool TFormMain::EndsSlideshow() {
    if (!navigator_->SlideshowRunning()) return false;
    bool ended = false;
    Guarded([&] { ended = navigator_->StopSlideshow(); });
    return ended;
}

void TFormMain::RunPhotoCommand(PhotoCommand command) {
    switch (command) {
        case PhotoCommand::SavePhoto:
            photoActions_->SavePhoto();
            break;
        case PhotoCommand::SavePhotoAs:
            photoActions_->SavePhotoAs();
            break;
        case PhotoCommand::CopyAddress:
            photoActions_->CopyAddress();
            break;
        case PhotoCommand::Slideshow:
            ToggleSlideshow();
            break;
    }
}

void TFormMain::ToggleSlideshow() {
    if (!navigator_->StopSlideshow()) navigator_->StartSlideshow();
}

// The view's context menu is the program's: the photo actions that apply to
// what is on view, then the engine's Copy and Copy link address where they do.
void TFormMain::ShowViewContextMenu(const QPoint& globalPos) {
    const texts::PhotoTexts& t = texts::Photo;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("ViewContextMenu"));
    const auto add = [&](const texts::Text& text, auto action) {
        QAction* entry = menu.addAction(QString::fromUtf8(text.In(LanguageInForce())));
        connect(entry, &QAction::triggered, this, [this, action] { Guarded(action); });
        return entry;
    };
    if (navigator_->ShownPhoto()) {
        add(t.SavePhoto, [this] { photoActions_->SavePhoto(); });
        add(t.SavePhotoAs, [this] { photoActions_->SavePhotoAs(); });
        add(t.CopyPhoto, [this] { photoActions_->CopyPhoto(); });
    }
    std::string address;
    Guarded([&] { address = navigator_->ShownAddress(); });
    const QUrl url(QString::fromStdString(address));
    if (!address.empty()) add(t.CopyAddress, [this] { photoActions_->CopyAddress(); });
    if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https"))
        add(t.OpenInBrowser, [this] { photoActions_->OpenInBrowser(); });
    add(t.Slideshow, [this] { navigator_->StartSlideshow(); });
    QMenu engine;
    visibleView_->AddEngineMenuEntries(engine);
    if (!engine.actions().isEmpty()) {
        menu.addSeparator();
        menu.addActions(engine.actions());
    }
    menu.exec(globalPos);
}

QString TFormMain::MemoLines() const {
    return memoText_->toPlainText();
}

QString TFormMain::StatusText() const {
    return statusBar_->currentMessage();
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
            return buttons_[static_cast<size_t>(control)];
    }
}

}  // namespace kpw
