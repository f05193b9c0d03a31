#pragma once

#include <QString>
#include <QTemporaryDir>
#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "DemoSite.h"
#include "FormMainProbe.h"
#include "browsing/BrowserView.h"
#include "browsing/MainWindowPort.h"

class QToolButton;

namespace kpw {

class BrowserProfile;
class MainSession;
class Navigator;
class TFormMain;
class WebEngineBrowserView;

// Generous: the engine shares two cores with parallel builds.
inline constexpr int E2EDeadlineMs = 30000;

// What the settings file holds at the start of a run. Templates point at the
// given site addresses.
struct ProgramStart {
    std::string BaseURL;        // main host, e.g. http://127.0.0.1:PORT
    std::string StaticBaseURL;  // original-size pictures
    int URLIndex = 1;
    int PhotoSize = 3;
    int PhotoIndex = 1;
    int UserIndex = 1;
    bool AutoSkipURL = true;
    int MaxSkippedURLCount = 100;
    int NavigateDelayTime = 100;
    int Language = 0;  // 0 English, 1 German
    // Off-screen pages for the preload queue, as the program has them; none
    // by default, so the hidden view alone preloads.
    int PreloadPages = 0;
    // Written into the file only when given.
    std::optional<int> PreloadDepth = std::nullopt;
    std::optional<int> MinRequestInterval = std::nullopt;
    std::string SaveFolder{};
    int SlideshowInterval = 5;
    // More [URL] lines as the file holds them, e.g. "MissingByStatus=0\r\n".
    std::string MoreURLLines{};
    // The archive of seen photos cannot be opened: the program goes on
    // without one.
    bool WithoutArchive = false;
};

// Runs the whole main window with two engine views in a profile of its own,
// its settings in a temporary APPDATA folder, and records what both views
// report. Waiting helpers run the event loop; none sleeps a fixed time.
class ProgramDriver {
public:
    // One document complete of a view, with the address the view showed when
    // it arrived (read before the window's handler runs).
    struct Document {
        std::string Location;
        DocumentContent Content;
        std::chrono::steady_clock::time_point Arrived;
    };

    ProgramDriver();
    ~ProgramDriver();
    ProgramDriver(const ProgramDriver&) = delete;
    ProgramDriver& operator=(const ProgramDriver&) = delete;

    // Writes the settings file and opens the window, which starts its first load.
    void Start(const ProgramStart& start);

    TFormMain& Form() const { return *form_; }
    Navigator& Logic() const;
    WebEngineBrowserView& Visible() const { return *visible_; }
    WebEngineBrowserView& Hidden() const { return *hidden_; }
    // The off-screen pages of the preload queue (ProgramStart::PreloadPages).
    const std::vector<WebEngineBrowserView*>& PreloadPages() const { return preloadPages_; }
    QToolButton* Button(Control control) const;
    QString IndexLabel() const;

    const std::vector<Document>& VisibleDocuments() const { return visibleDocuments_; }
    const std::vector<Document>& HiddenDocuments() const { return hiddenDocuments_; }
    // Visible documents whose handling by the window has finished.
    std::size_t HandledDocuments() const { return handledDocuments_; }

    // Loading state: only Stop enabled, the index field disabled.
    bool IsLoading() const;
    // Idle state: Stop disabled, the index field enabled.
    bool IsIdle() const;

    // Runs the event loop until the predicate holds or the deadline passes.
    static bool WaitFor(const std::function<bool()>& predicate, int deadlineMs = E2EDeadlineMs);
    // Waits for a load the program itself started to end on view: a document
    // beyond the first `afterDocuments` has come and been handled, the latest
    // shows the address the program last sent (so no skip went on from it) and
    // the window is idle.
    bool WaitForSettledLoad(std::size_t afterDocuments, int deadlineMs = E2EDeadlineMs);
    // Waits until the hidden view has completed the given address, in a
    // document that arrived after `since`.
    bool WaitForHiddenDocument(const std::string& url,
                               std::chrono::steady_clock::time_point since = {},
                               int deadlineMs = E2EDeadlineMs);

    // Key events to the index field as the window system delivers them, each
    // with a time stamp of its own. The field must have the keyboard focus
    // (false when it has not). Ctrl+A selects its text, then the characters.
    bool TypeIntoIndexField(const QString& text);
    bool PressKeyInIndexField(Qt::Key key);
    // A key with modifiers to the widget with the keyboard focus (the window
    // when none has it), as the window system delivers it.
    void PressKey(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // One wheel notch over the photo; a positive delta turns away from the user.
    void TurnWheelOverVisibleView(int angleDelta);

private:
    QWidget* IndexFieldWithFocus() const;
    void SendKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers, const QString& text);

    QTemporaryDir dir_;
    std::unique_ptr<BrowserProfile> profile_;
    std::unique_ptr<MainSession> session_;
    std::unique_ptr<TFormMain> form_;
    WebEngineBrowserView* visible_ = nullptr;
    WebEngineBrowserView* hidden_ = nullptr;
    std::vector<WebEngineBrowserView*> preloadPages_;
    std::vector<Document> visibleDocuments_;
    std::vector<Document> hiddenDocuments_;
    std::size_t handledDocuments_ = 0;
    ulong inputTimestamp_ = 0;
};

// The settings file's text for a start, with CR LF lines.
std::string ProgramIniText(const ProgramStart& start);

// A loopback port nobody listens on (taken from the system, then given back).
int ClosedLoopbackPort();

// Whether the demo site has answered a request whose log line contains the
// text; the event loop keeps running while it waits.
bool WaitForSiteRequest(const DemoSite& site, const std::string& logText,
                        int deadlineMs = E2EDeadlineMs);
bool SiteHasRequest(const DemoSite& site, const std::string& logText);
// The demo site's log line of a GET answered on its main host.
std::string MainHostRequest(const std::string& path, int status);

}  // namespace kpw
