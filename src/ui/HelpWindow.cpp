#include "ui/HelpWindow.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

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
    if (!window) window = new HelpWindow(owner);
    if (!window->Load(helpFileName, windowTitle)) {
        QMessageBox::warning(owner, programTitle,
                             QString(missingMessage).arg(QDir::toNativeSeparators(helpFileName)));
        return;
    }
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace kpw
