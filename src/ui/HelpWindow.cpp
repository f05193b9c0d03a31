#include "ui/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>

#include "settings/WindowPlacement.h"

namespace kpw {

HelpWindow::HelpWindow(QWidget* owner) : QDialog(owner), browser_(new QTextBrowser(this)) {
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(browser_);
    browser_->setOpenExternalLinks(false);
    resize(560, 620);
}

void HelpWindow::FitOnScreenOf(const QWidget& owner) {
    // Its design size where the screen has room for it, else the room there
    // is, centred on the owner; the owner's frame stands for its own, which
    // is not known before it is shown.
    const QWidget* ownerWindow = owner.window();
    const QScreen* screen = ownerWindow->screen();
    if (!screen) return;
    const auto bounds = [](const QRect& rect) {
        return WindowBounds{rect.x(), rect.y(), rect.width(), rect.height()};
    };
    const WindowBounds available = bounds(screen->availableGeometry());
    const FrameMargins frame =
        MarginsBetween(bounds(ownerWindow->frameGeometry()), bounds(ownerWindow->geometry()));
    const PixelSize size{std::min(width(), available.Width - frame.Left - frame.Right),
                         std::min(height(), available.Height - frame.Top - frame.Bottom)};
    const WindowBounds placed =
        CentredDialogBounds(bounds(ownerWindow->geometry()), size, available, frame);
    setGeometry(placed.Left, placed.Top, placed.Width, placed.Height);
}

bool HelpWindow::Load(const QString& helpFileName, const QString& windowTitle) {
    QFile file(helpFileName);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QFileInfo info(helpFileName);
    browser_->setSearchPaths({info.absolutePath()});
    browser_->setHtml(QString::fromUtf8(file.readAll()));
    fileName_ = helpFileName;
    setWindowTitle(windowTitle);
    return true;
}

void HelpWindow::Show(QWidget* owner, const QString& helpFileName, const QString& programTitle,
                      const QString& windowTitle, const QString& missingMessage) {
    auto* window = owner->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    const bool first = !window;
    if (!window) window = new HelpWindow(owner);
    if (!window->Load(helpFileName, windowTitle)) {
        QMessageBox::warning(owner, programTitle,
                             QString(missingMessage).arg(QDir::toNativeSeparators(helpFileName)));
        return;
    }
    if (first) window->FitOnScreenOf(*owner);
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace kpw
