#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <memory>

#include "browsing/RangeKeeper.h"

class QLabel;

class QProgressBar;
class QStatusBar;
class QToolButton;
class QWidget;

namespace kpw {

class MainSession;
class MainWindowPort;
class RangeFetcher;

// The window's side of keeping ranges: the dialog that asks for one, the
// progress in the status bar with its pause and cancel buttons, and the
// message at each range's end, which offers to open the folder.
class RangeKeepingUi : public QObject {
    Q_OBJECT
public:
    explicit RangeKeepingUi(QWidget& window);
    ~RangeKeepingUi() override;

    // The fetcher the session's keeper sends by; it outlives the session's
    // logic.
    RangeFetcher& Fetcher() const { return *fetcher_; }
    // After the session composed its ranges: the progress joins the status bar.
    void Attach(MainSession& session, MainWindowPort& port, QStatusBar& statusBar);
    // Before the session releases its logic.
    void Detach();

    // The command: asks for a range and starts it (queued behind one under way).
    void OpenDialog(int language);
    // The texts of the language in force.
    void SetLanguage(int language);

    QWidget* Panel() const { return panel_; }
    // The message of the last range that ended, while it shows.
    QMessageBox* EndMessage() const { return endMessage_; }

private:
    void Update();
    void ShowEnd(const RangeReport& report);

    QWidget& window_;
    std::unique_ptr<RangeFetcher> fetcher_;
    MainSession* session_ = nullptr;
    MainWindowPort* port_ = nullptr;
    int language_ = 0;
    QWidget* panel_ = nullptr;
    QProgressBar* bar_ = nullptr;
    QLabel* text_ = nullptr;
    QToolButton* pause_ = nullptr;
    QToolButton* cancel_ = nullptr;
    QPointer<QMessageBox> endMessage_;
};

}  // namespace kpw
