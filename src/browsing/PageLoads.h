#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "browsing/PageLeash.h"

// The load lifecycle of one engine page, apart from the engine: whose load
// the page is on, which load's content the view waits for, the empty
// document a page nobody sees loads once it is read, and the renderer that
// is gone. The engine adapter feeds it the engine's reports and the
// program's requests and carries out the actions it answers, in order.
// Addresses are compared as the adapter writes them (fully encoded).
namespace kpw {

// How the engine says a page's renderer ended.
enum class RendererExit { Normal, Abnormal, Crashed, Killed };

// Why a page's renderer is gone, as the view tells the user.
enum class RendererEndCause {
    NotResponding,  // the program ended it: it was hung
    OutOfMemory,    // the system ended it
    Crashed,
    EndedFromOutside,  // another program ended it
};

struct RendererEnd {
    RendererEndCause Cause;
    // The engine's code of the end (on Linux the raw wait status).
    int ExitCode = 0;
    bool operator==(const RendererEnd&) const = default;
};

// The engine's report of a renderer's end, read: who ended it and why.
// byProgram: the program had just ended it as hung.
RendererEnd ReadRendererEnd(RendererExit exit, int exitCode, bool byProgram);
// The status bar's text and the log's line for it (UTF-8).
std::string RendererEndText(const RendererEnd& end, int language);

// One thing for the adapter to do.
struct PageAction {
    enum class Kind {
        LoadUrl,  // Url: the program's load goes to the engine
        GoBack,
        Reload,
        StopLoading,
        LoadEmptyDocument,  // an empty document in place of the page read
        StartContentTimer,  // Wait
        StopContentTimer,
        StartEmptyingTimer,  // Wait
        StopEmptyingTimer,
        // Url: the view's load started (status text, the page's dialogs
        // counted afresh, the renderer watch).
        ReportStart,
        // The view's load ended: with EngineEnd the status text of the
        // engine's end, then DownloadComplete; EndReported(Ticket) follows
        // while the view lives.
        ReportEnd,
        ReportRendererEnd,  // End: status text and the log's line
        RequestContent,     // Ticket: ContentAnswered(Ticket) answers
        // DocumentComplete, with the answer's content when WithContent;
        // DocumentReported(Ticket) follows while the view lives.
        ReportDocument,
    };
    Kind What;
    std::string Url = {};
    std::uint64_t Ticket = 0;
    std::chrono::milliseconds Wait{0};
    bool EngineEnd = false;
    bool WithContent = false;
    std::optional<RendererEnd> End = {};
    bool operator==(const PageAction&) const = default;
};
using PageActions = std::vector<PageAction>;

class PageLoads {
public:
    using Ms = std::chrono::milliseconds;
    // The empty document's load may never report its end: a load held for
    // it goes out after this all the same.
    static constexpr Ms EmptyingLimit{2000};
    // A hung or crashed renderer never answers a content request.
    static constexpr Ms DefaultContentLimit{10000};

    // unseen: a page nobody sees (the hidden view, the pages fetched ahead).
    explicit PageLoads(bool unseen) : unseen_(unseen) {}
    void SetContentLimit(Ms limit) { contentLimit_ = limit; }

    // What the program asks.
    PageActions Navigate(const std::string& url);
    PageActions GoBack();
    PageActions Reload();
    PageActions Stop();

    // A navigation asks to go on; a sub-frame's always may, and none is
    // reported.
    struct NavigationAnswer {
        bool Go;
        bool Report;  // as BeforeNavigate2
        bool operator==(const NavigationAnswer&) const = default;
    };
    NavigationAnswer Navigation(std::string_view url, NavigationCause cause, bool mainFrame);

    // What the engine reports of the page's top-level loads.
    PageActions Started(std::string_view url);
    PageActions Ended(std::string_view url);
    // The renderer is gone; pageUrl: the page's address at that moment.
    PageActions RendererGone(RendererExit exit, int exitCode, std::string_view pageUrl);

    // The follow-ups of the adapter's own reports and requests.
    PageActions EndReported(std::uint64_t ticket);
    PageActions ContentAnswered(std::uint64_t ticket);
    PageActions ContentTimedOut();
    PageActions DocumentReported(std::uint64_t ticket);
    PageActions EmptyingTimedOut();
    // The program is ending the page's hung renderer.
    void EndingRenderer() { endingRenderer_ = true; }
    // The engine page is gone: nothing more is reported.
    void PageGone();

    // The address of the view's load under way, if one is.
    std::optional<std::string> LoadingUrl() const;
    // Where the program's own load stands (a "leave this page?" question
    // never holds it up).
    OwnLoad Own() const { return own_; }

private:
    // The view's load, from its start to its document complete.
    enum class Phase {
        Idle,
        Loading,
        Ending,      // DownloadComplete is being reported
        Reading,     // its content is asked for
        Delivering,  // DocumentComplete is being reported
    };

    PageActions AskOwn(PageAction action);
    PageActions ReportStart(std::string_view url);
    PageActions Deliver(bool withContent);
    PageActions EndEmptying();

    const bool unseen_;
    Ms contentLimit_ = DefaultContentLimit;

    // The program's own load, followed through the engine's reports: asked
    // for and its start not yet seen, and whether its navigation is on.
    OwnLoad own_ = OwnLoad::None;
    bool ownStartPending_ = false;

    Phase phase_ = Phase::Idle;
    // Counts every start and end of the view's load: an answer or report
    // for an older one is stale.
    std::uint64_t ticket_ = 0;
    std::string loadingUrl_;
    // The renderer is gone: the ending load's content cannot be read.
    bool contentReadable_ = true;

    // A load the engine started that the view does not report (the empty
    // document, a page's own load while nobody sees it); its end neither.
    std::optional<std::string> unreported_;

    // A page nobody sees loads its empty document; a load the program asks
    // for meanwhile is held until that ends, or its commit could cancel it.
    bool emptying_ = false;
    std::optional<std::string> held_;

    // The program ended the renderer; a load asked for again after a
    // renderer's end is not reported as a new navigation.
    bool endingRenderer_ = false;
    std::optional<std::string> reissued_;
    bool reissuedSinceAsk_ = false;
};

}  // namespace kpw
