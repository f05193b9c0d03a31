#include "ui/RangeKeepingUi.h"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>
#include <QUrl>
#include <QWebEngineProfile>
#include <algorithm>

#include "app/KeepFiles.h"
#include "app/MainSession.h"
#include "browsing/MainWindowPort.h"
#include "texts/Texts.h"
#include "ui/RangeDialog.h"
#include "webengine/RangeFetcher.h"

namespace kpw {

namespace {

constexpr int MaxTextWidth = 380;

QString Text(const texts::Text& text, int language) {
    return QString::fromUtf8(text.In(language));
}

}  // namespace

RangeKeepingUi::RangeKeepingUi(QWidget& window)
    : window_(window), fetcher_(std::make_unique<RangeFetcher>()) {}

RangeKeepingUi::~RangeKeepingUi() {
    Detach();
}

void RangeKeepingUi::Attach(MainSession& session, MainWindowPort& port, QStatusBar& statusBar) {
    session_ = &session;
    port_ = &port;
    panel_ = new QWidget(&statusBar);
    panel_->setObjectName(QStringLiteral("RangePanel"));
    bar_ = new QProgressBar(panel_);
    bar_->setFixedWidth(90);
    bar_->setTextVisible(true);
    text_ = new QLabel(panel_);
    pause_ = new QToolButton(panel_);
    pause_->setObjectName(QStringLiteral("RangePause"));
    pause_->setAutoRaise(true);
    cancel_ = new QToolButton(panel_);
    cancel_->setObjectName(QStringLiteral("RangeCancel"));
    cancel_->setAutoRaise(true);
    cancel_->setText(QStringLiteral("✕"));
    auto* layout = new QHBoxLayout(panel_);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    layout->addWidget(bar_);
    layout->addWidget(text_);
    layout->addWidget(pause_);
    layout->addWidget(cancel_);
    // Left of the sheet's button, which keeps the right end.
    statusBar.insertPermanentWidget(0, panel_);
    panel_->hide();

    RangeKeeper& ranges = session.Ranges();
    connect(pause_, &QToolButton::clicked, this, [this] {
        RangeKeeper& keeper = session_->Ranges();
        const std::optional<RangeProgress> progress = keeper.Progress();
        if (progress && progress->Paused)
            keeper.Resume();
        else
            keeper.Pause();
    });
    connect(cancel_, &QToolButton::clicked, this, [this] { session_->Ranges().Cancel(); });
    connect(fetcher_.get(), &RangeFetcher::Answered, this,
            [this](quint64 id, const KeepAnswer& answer) {
                if (session_) session_->Ranges().Answered(id, answer);
            });
    ranges.Changed = [this] { Update(); };
    ranges.Ended = [this](const RangeReport& report) { ShowEnd(report); };
}

void RangeKeepingUi::Detach() {
    if (!session_) return;
    RangeKeeper& ranges = session_->Ranges();
    ranges.Changed = nullptr;
    ranges.Ended = nullptr;
    session_ = nullptr;
}

void RangeKeepingUi::SetLanguage(int language) {
    language_ = language;
    if (cancel_) cancel_->setToolTip(Text(texts::Range.Stop, language));
    Update();
}

void RangeKeepingUi::OpenDialog(int language) {
    if (!session_) return;
    SetLanguage(language);
    KeepFiles files;
    RangeDialog dialog(
        session_->NewRangeOrder(), language,
        [&files](const std::string& folder) { return files.StateOf(folder); }, &window_);
    if (dialog.exec() != QDialog::Accepted || !session_) return;
    RangeOrder order = dialog.Order();
    session_->CompleteRangeOrder(order);
    session_->Ranges().Start(std::move(order));
}

void RangeKeepingUi::Update() {
    if (!panel_ || !session_) return;
    const std::optional<RangeProgress> progress = session_->Ranges().Progress();
    if (!progress) {
        panel_->hide();
        return;
    }
    bar_->setRange(0, std::max(progress->Total, 1));
    bar_->setValue(progress->Done);
    // The page's status keeps its room: the line is cut short, whole in its hint.
    const QString line = QString::fromStdString(RangeProgressText(*progress, language_));
    // On a narrow window (a small or scaled screen) the line gets what the
    // bar and the buttons leave of half the window.
    const int room = std::clamp(
        window_.width() / 2 - bar_->width() - 2 * pause_->sizeHint().width(), 60, MaxTextWidth);
    const QString shown = text_->fontMetrics().elidedText(line, Qt::ElideRight, room);
    text_->setText(shown);
    text_->setFixedWidth(text_->fontMetrics().horizontalAdvance(shown) + 4);
    text_->setToolTip(line);
    pause_->setText(Text(progress->Paused ? texts::Range.Resume : texts::Range.Pause, language_));
    cancel_->setToolTip(Text(texts::Range.Stop, language_));
    panel_->show();
}

void RangeKeepingUi::ShowEnd(const RangeReport& report) {
    const QString text = QString::fromStdString(RangeReportText(report, language_));
    if (port_) port_->AppendLogLine(text.toStdString());
    // The user browses on meanwhile: the message waits without holding them.
    if (endMessage_) endMessage_->deleteLater();
    auto* box =
        new QMessageBox(report.End == RangeEnd::Finished || report.End == RangeEnd::Cancelled
                            ? QMessageBox::Information
                            : QMessageBox::Warning,
                        Text(texts::Range.Title, language_), text, QMessageBox::NoButton, &window_);
    box->setObjectName(QStringLiteral("RangeEndMessage"));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(Qt::NonModal);
    QPushButton* open =
        box->addButton(Text(texts::Range.OpenFolder, language_), QMessageBox::ActionRole);
    box->addButton(Text(texts::Range.Close, language_), QMessageBox::RejectRole);
    const QString folder = QString::fromStdString(report.Progress.Order.Folder);
    connect(open, &QPushButton::clicked, box,
            [folder] { QDesktopServices::openUrl(QUrl::fromLocalFile(folder)); });
    endMessage_ = box;
    box->show();
    Update();
}

}  // namespace kpw
