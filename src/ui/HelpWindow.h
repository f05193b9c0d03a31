#pragma once

#include <QDialog>
#include <QString>

class QTextBrowser;

namespace kpw {

// The help viewer: one window that shows a help file (HTML content),
// whatever its extension.
class HelpWindow : public QDialog {
    Q_OBJECT
public:
    // Shows helpFileName in the help window of owner, creating it on first
    // use; a missing or unreadable file gives missingMessage with its path
    // in place of %1, in a message box with the program's title.
    static void Show(QWidget* owner, const QString& helpFileName, const QString& programTitle,
                     const QString& windowTitle, const QString& missingMessage);

    QString FileName() const { return fileName_; }

private:
    explicit HelpWindow(QWidget* owner);
    bool Load(const QString& helpFileName, const QString& windowTitle);
    // Its first place: on the owner's screen, shrunk to it where smaller.
    void FitOnScreenOf(const QWidget& owner);

    QTextBrowser* browser_;
    QString fileName_;
};

}  // namespace kpw
