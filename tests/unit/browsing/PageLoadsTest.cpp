// The load lifecycle of an engine page, driven by the engine's reports in the
// orders the engine gives them, races included.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "browsing/PageLoads.h"
#include "texts/Texts.h"

namespace kpw {
namespace {

using Cause = NavigationCause;
using Kind = PageAction::Kind;
using Lines = std::vector<std::string>;

const std::string A = "http://site.test/photo/1";
const std::string B = "http://site.test/photo/2";
const std::string Blank = "about:blank";

// Carries out what the page's loads ask as the adapter does, and writes down
// what the adapter reports and sends to the engine.
class Page {
public:
    explicit Page(bool unseen) : loads(unseen) {}

    // The program.
    void Navigate(const std::string& url) { Carry(loads.Navigate(url)); }
    void GoBack() { Carry(loads.GoBack()); }
    void Reload() { Carry(loads.Reload()); }
    void Stop() { Carry(loads.Stop()); }

    // The engine.
    bool Navigation(const std::string& url, Cause cause = Cause::Typed) {
        const PageLoads::NavigationAnswer answer = loads.Navigation(url, cause, true);
        if (answer.Report) log.push_back("navigate " + url);
        return answer.Go;
    }
    void Started(const std::string& url) { Carry(loads.Started(url)); }
    void Ended(const std::string& url) { Carry(loads.Ended(url)); }
    void Answer() { Carry(loads.ContentAnswered(asked)); }
    void Answer(std::uint64_t ticket) { Carry(loads.ContentAnswered(ticket)); }
    void RendererGone(RendererExit exit, int code, const std::string& pageUrl) {
        Carry(loads.RendererGone(exit, code, pageUrl));
    }
    // The engine's whole load of url, the way it reports one asked for.
    void Loads(const std::string& url) {
        ASSERT_TRUE(Navigation(url));
        Started(url);
        Ended(url);
    }
    // The adapter's timers.
    void ContentTimeout() { Carry(loads.ContentTimedOut()); }
    void EmptyingTimeout() { Carry(loads.EmptyingTimedOut()); }

    // What happened since the last look.
    Lines Take() { return std::exchange(log, {}); }

    PageLoads loads;
    Lines log;
    std::uint64_t asked = 0;  // the ticket of the last content request
    bool contentTimer = false;
    bool emptyingTimer = false;
    // The logic's handlers of DownloadComplete and DocumentComplete.
    std::function<void()> onDownload;
    std::function<void()> onDocument;

private:
    void Carry(const PageActions& actions) {
        for (const PageAction& action : actions) {
            switch (action.What) {
                case Kind::LoadUrl:
                    log.push_back("load " + action.Url);
                    break;
                case Kind::GoBack:
                    log.push_back("back");
                    break;
                case Kind::Reload:
                    log.push_back("reload");
                    break;
                case Kind::StopLoading:
                    log.push_back("stop");
                    break;
                case Kind::LoadEmptyDocument:
                    log.push_back("empty");
                    break;
                case Kind::StartContentTimer:
                    EXPECT_EQ(action.Wait, PageLoads::DefaultContentLimit);
                    contentTimer = true;
                    break;
                case Kind::StopContentTimer:
                    contentTimer = false;
                    break;
                case Kind::StartEmptyingTimer:
                    EXPECT_EQ(action.Wait, PageLoads::EmptyingLimit);
                    emptyingTimer = true;
                    break;
                case Kind::StopEmptyingTimer:
                    emptyingTimer = false;
                    break;
                case Kind::ReportStart:
                    log.push_back("start " + action.Url);
                    break;
                case Kind::ReportEnd:
                    log.push_back(action.EngineEnd ? "download" : "download (renderer gone)");
                    if (onDownload) onDownload();
                    Carry(loads.EndReported(action.Ticket));
                    break;
                case Kind::ReportRendererEnd:
                    ASSERT_TRUE(action.End.has_value());
                    log.push_back(RendererEndText(*action.End, texts::English));
                    break;
                case Kind::RequestContent:
                    log.push_back("read");
                    asked = action.Ticket;
                    break;
                case Kind::ReportDocument:
                    log.push_back(action.WithContent ? "document" : "document without content");
                    if (onDocument) onDocument();
                    Carry(loads.DocumentReported(action.Ticket));
                    break;
            }
        }
    }
};

// ---- Loads the program asks for

TEST(PageLoads, TheProgramsLoadIsReportedFromItsNavigationToItsDocument) {
    Page page(false);
    page.Navigate(A);
    EXPECT_EQ(page.loads.Own(), OwnLoad::Asked);
    ASSERT_TRUE(page.Navigation(A));
    EXPECT_EQ(page.loads.Own(), OwnLoad::InFlight);
    page.Started(A);
    EXPECT_EQ(page.loads.LoadingUrl(), A);
    ASSERT_TRUE(page.Navigation(B, Cause::Redirect));
    page.Ended(B);
    EXPECT_EQ(page.loads.LoadingUrl(), std::nullopt);
    EXPECT_EQ(page.loads.Own(), OwnLoad::None);
    EXPECT_TRUE(page.contentTimer);
    page.Answer();
    EXPECT_FALSE(page.contentTimer);
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A, "start " + A, "navigate " + B,
                                  "download", "read", "document"}));
    // The page on view stays as it is.
    EXPECT_FALSE(page.emptyingTimer);
}

TEST(PageLoads, BackAndReloadAreTheProgramsOwnLoadsToo) {
    Page page(true);
    page.GoBack();
    EXPECT_EQ(page.loads.Own(), OwnLoad::Asked);
    EXPECT_TRUE(page.Navigation(A, Cause::BackForward));
    page.Started(A);
    page.Ended(A);
    page.Answer();
    page.Reload();
    EXPECT_TRUE(page.Navigation(A, Cause::Reload));
    EXPECT_EQ(page.Take(), (Lines{"back", "navigate " + A, "start " + A, "download", "read",
                                  "document", "empty", "reload", "navigate " + A}));
}

TEST(PageLoads, ALoadReplacedInFlightEndsOnceWithTheOneThatReplacedIt) {
    Page page(false);
    page.Navigate(A);
    ASSERT_TRUE(page.Navigation(A));
    page.Started(A);
    page.Navigate(B);
    ASSERT_TRUE(page.Navigation(B));
    page.Started(B);
    page.Ended(B);
    page.Answer();
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A, "start " + A, "load " + B,
                                  "navigate " + B, "start " + B, "download", "read", "document"}));
}

TEST(PageLoads, StopEndsTheLoadAsTheEngineReportsIt) {
    Page page(false);
    page.Navigate(A);
    ASSERT_TRUE(page.Navigation(A));
    page.Started(A);
    page.Stop();
    page.Ended(A);
    page.Answer();
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A, "start " + A, "stop", "download",
                                  "read", "document"}));
}

// ---- The page's own loads

TEST(PageLoads, ThePageOnViewReportsItsOwnNavigationsAndLoads) {
    Page page(false);
    ASSERT_TRUE(page.Navigation(A, Cause::Link));
    page.Started(A);
    page.Ended(A);
    page.Answer();
    EXPECT_FALSE(page.Navigation("file:///etc/passwd", Cause::Link));
    EXPECT_EQ(page.Take(), (Lines{"navigate " + A, "start " + A, "download", "read", "document"}));
}

TEST(PageLoads, AnUnseenPageFollowsNothingOfItsOwnAndReportsNoneOfIt) {
    Page page(true);
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    page.Take();
    // Once its load has ended, a refresh, a link or a form of its own is
    // refused, and a load the engine starts unasked is not told.
    for (Cause cause : {Cause::Redirect, Cause::Link, Cause::Form, Cause::Typed, Cause::Other})
        EXPECT_FALSE(page.Navigation(B, cause));
    page.Started(B);
    page.Ended(B);
    EXPECT_EQ(page.Take(), Lines{});
    // Its frames load what they load, untold.
    EXPECT_EQ(page.loads.Navigation(B, Cause::Link, false),
              (PageLoads::NavigationAnswer{.Go = true, .Report = false}));
}

// Before: the end of the load before took the ownership of a load asked for
// and not yet begun; the unseen page then refused it and never fetched it.
TEST(PageLoads, AnUnseenPageKeepsALoadAskedForWhileTheEngineEndsTheOneBefore) {
    Page page(true);
    page.Navigate(A);
    ASSERT_TRUE(page.Navigation(A));
    page.Started(A);
    ASSERT_TRUE(page.Navigation(A + "?moved", Cause::Redirect));
    // A quick step asks for the next page; the engine then ends the first
    // load, and only after that begins the navigation asked for.
    page.Navigate(B);
    page.Ended(A + "?moved");
    EXPECT_EQ(page.loads.Own(), OwnLoad::Asked);
    EXPECT_TRUE(page.Navigation(B));
    EXPECT_TRUE(page.Navigation(B + "?moved", Cause::Redirect));
    page.Started(B);
    page.Ended(B + "?moved");
    EXPECT_EQ(page.Take(),
              (Lines{"load " + A, "navigate " + A, "start " + A, "navigate " + A + "?moved",
                     "load " + B, "download", "read", "navigate " + B, "navigate " + B + "?moved",
                     "start " + B, "download", "read"}));
    // Once it has ended, a refresh of its own is refused again.
    EXPECT_FALSE(page.Navigation(B, Cause::Redirect));
}

// ---- The content of a finished load

TEST(PageLoads, ContentThatNeverComesIsReportedAbsentAndItsLateAnswerDropped) {
    Page page(false);
    page.Navigate(A);
    page.Loads(A);
    const std::uint64_t ticket = page.asked;
    page.ContentTimeout();
    page.Answer(ticket);
    page.ContentTimeout();
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A, "start " + A, "download", "read",
                                  "document without content"}));
}

TEST(PageLoads, AnAnswerForALoadBeforeTheOneUnderWayIsDropped) {
    Page page(false);
    page.Navigate(A);
    page.Loads(A);
    const std::uint64_t first = page.asked;
    page.Navigate(B);
    ASSERT_TRUE(page.Navigation(B));
    page.Started(B);
    page.Answer(first);
    EXPECT_FALSE(page.contentTimer);
    page.Ended(B);
    page.Answer(first);
    page.Answer();
    EXPECT_EQ(page.Take(),
              (Lines{"load " + A, "navigate " + A, "start " + A, "download", "read", "load " + B,
                     "navigate " + B, "start " + B, "download", "read", "document"}));
}

TEST(PageLoads, ALoadStartedWhileDownloadCompleteIsToldReadsNothingOfTheOneBefore) {
    Page page(false);
    page.onDownload = [&] {
        page.onDownload = nullptr;
        page.Navigate(B);
        ASSERT_TRUE(page.Navigation(B));
        page.Started(B);
    };
    page.Navigate(A);
    page.Loads(A);
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A, "start " + A, "download",
                                  "load " + B, "navigate " + B, "start " + B}));
    EXPECT_EQ(page.loads.LoadingUrl(), B);
}

TEST(PageLoads, NothingIsReportedOnceThePageIsGone) {
    Page page(true);
    page.Navigate(A);
    page.Loads(A);
    page.loads.PageGone();
    page.Answer();
    page.ContentTimeout();
    page.Ended(A);
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A, "start " + A, "download", "read"}));
}

// ---- The empty document of a page nobody sees

TEST(PageLoads, AnUnseenPageIsEmptiedOnceReadWithoutATrace) {
    Page page(true);
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    EXPECT_TRUE(page.emptyingTimer);
    page.Started(Blank);
    page.Ended(Blank);
    EXPECT_FALSE(page.emptyingTimer);
    page.EmptyingTimeout();
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A, "start " + A, "download", "read",
                                  "document", "empty"}));
    // Its next load goes at once.
    page.Navigate(B);
    EXPECT_EQ(page.Take(), Lines{"load " + B});
}

TEST(PageLoads, AnUnseenPageIsNotEmptiedOverALoadAskedForWhileItsDocumentIsTold) {
    Page page(true);
    page.onDocument = [&] { page.Navigate(B); };
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    EXPECT_FALSE(page.emptyingTimer);
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A, "start " + A, "download", "read",
                                  "document", "load " + B}));
}

// Before: a load asked of an unseen page while its empty document loaded went
// out at once, and the empty document's commit could cancel it.
TEST(PageLoads, ALoadAskedWhileAnUnseenPageEmptiesItselfWaitsForTheEmptyDocumentsEnd) {
    Page page(true);
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    page.Take();
    page.Navigate(B);
    page.Started(Blank);
    EXPECT_EQ(page.Take(), Lines{});
    page.Ended(Blank);
    EXPECT_EQ(page.Take(), Lines{"load " + B});
    page.Loads(B);
    EXPECT_EQ(page.Take(), (Lines{"navigate " + B, "start " + B, "download", "read"}));
}

TEST(PageLoads, TheLastLoadAskedWhileEmptyingGoesAndStopDropsIt) {
    Page page(true);
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    page.Take();
    page.Navigate(B);
    page.Navigate(B + "?again");
    page.Started(Blank);
    page.Ended(Blank);
    EXPECT_EQ(page.Take(), Lines{"load " + B + "?again"});

    page.Loads(B + "?again");
    page.Answer();
    page.Take();
    page.Navigate(A);
    page.Stop();
    page.Started(Blank);
    page.Ended(Blank);
    EXPECT_EQ(page.Take(), Lines{"stop"});
}

// Before: the end of the empty document replaced in flight by the program's
// load was the only report of that load, and the view dropped it: the
// neighbour's preload was never told after a quick step.
TEST(PageLoads, TheProgramsLoadThatReplacedTheEmptyDocumentInFlightIsReportedByItsEndAlone) {
    Page page(true);
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    page.Started(Blank);
    page.Navigate(B);
    // The empty document never ends; the load held for it goes all the same.
    page.EmptyingTimeout();
    EXPECT_FALSE(page.emptyingTimer);
    page.Take();
    // The engine reports no start of its own for the load that replaced the
    // empty document, only this end.
    ASSERT_TRUE(page.Navigation(B));
    page.Ended(B);
    page.Answer();
    EXPECT_EQ(page.Take(),
              (Lines{"navigate " + B, "start " + B, "download", "read", "document", "empty"}));
}

// Before: the empty document's start took the mark of the program's load
// asked for meanwhile, and that load's own start then went untold.
TEST(PageLoads, TheEmptyDocumentsLateStartLeavesTheProgramsLoadItsOwn) {
    Page page(true);
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    page.Navigate(B);
    page.EmptyingTimeout();
    page.Take();
    page.Started(Blank);
    ASSERT_TRUE(page.Navigation(B));
    page.Started(B);
    page.Ended(B);
    EXPECT_EQ(page.Take(), (Lines{"navigate " + B, "start " + B, "download", "read"}));
}

// ---- A renderer that is gone

TEST(PageLoads, ARendererGoneWhileThePageRestsIsToldAndNothingIsLoaded) {
    Page page(false);
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    page.Take();
    page.RendererGone(RendererExit::Killed, 9, A);
    EXPECT_EQ(page.Take(), Lines{"The page ran out of memory and was ended."});
    // A renderer that ended as it should leaves no word.
    page.RendererGone(RendererExit::Normal, 0, A);
    EXPECT_EQ(page.Take(), Lines{});
}

TEST(PageLoads, ARendererGoneWithThePageItLoadsEndsTheLoadWithoutContent) {
    Page page(false);
    page.Navigate(A);
    ASSERT_TRUE(page.Navigation(A));
    page.Started(A);
    page.Take();
    page.RendererGone(RendererExit::Crashed, 139, A);
    EXPECT_EQ(page.Take(), (Lines{"The page crashed (code 139).", "download (renderer gone)",
                                  "document without content"}));
    // The engine's own end of it later is no second one.
    page.Ended(A);
    EXPECT_EQ(page.Take(), Lines{});
}

TEST(PageLoads, ARendererGoneWhileTheContentIsReadOrTheEndToldGivesNoContent) {
    Page reading(false);
    reading.Navigate(A);
    reading.Loads(A);
    reading.Take();
    reading.RendererGone(RendererExit::Killed, 15, A);
    EXPECT_FALSE(reading.contentTimer);
    EXPECT_EQ(reading.Take(), (Lines{"The page was ended from outside the program (code 15).",
                                     "document without content"}));

    Page ending(false);
    ending.onDownload = [&] {
        ending.onDownload = nullptr;
        ending.RendererGone(RendererExit::Killed, 9, A);
    };
    ending.Navigate(A);
    ending.Loads(A);
    EXPECT_FALSE(ending.contentTimer);
    EXPECT_EQ(ending.Take(),
              (Lines{"load " + A, "navigate " + A, "start " + A, "download",
                     "The page ran out of memory and was ended.", "document without content"}));
}

TEST(PageLoads, AStepThatHadNotReachedTheEndedRendererGoesOnInAFreshOneOnce) {
    Page page(false);
    page.Navigate(A);
    page.Loads(A);
    page.Answer();
    // The page hangs; the step's load starts but cannot reach the page, and
    // the program ends the renderer.
    page.Navigate(B);
    ASSERT_TRUE(page.Navigation(B));
    page.Started(B);
    page.Take();
    page.loads.EndingRenderer();
    page.RendererGone(RendererExit::Killed, 9, A);
    EXPECT_EQ(page.loads.Own(), OwnLoad::Asked);
    // Asked again, its navigation is not told twice.
    ASSERT_TRUE(page.Navigation(B));
    page.Started(B);
    EXPECT_EQ(page.Take(),
              (Lines{"The page did not respond and was ended.", "load " + B, "start " + B}));
    // Should the fresh renderer go too before the page is reached, the load ends.
    page.RendererGone(RendererExit::Killed, 9, A);
    EXPECT_EQ(page.Take(), (Lines{"The page ran out of memory and was ended.",
                                  "download (renderer gone)", "document without content"}));
    // The next step is the program's again, and told.
    page.Navigate(A);
    ASSERT_TRUE(page.Navigation(A));
    EXPECT_EQ(page.Take(), (Lines{"load " + A, "navigate " + A}));
}

TEST(PageLoads, AStepThatHadNotReachedARendererTheSystemEndedGoesOnToo) {
    Page page(true);
    page.Navigate(A);
    page.Loads(A);
    page.Navigate(B);
    ASSERT_TRUE(page.Navigation(B));
    page.Started(B);
    page.Take();
    page.RendererGone(RendererExit::Crashed, 139, A);
    ASSERT_TRUE(page.Navigation(B));
    page.Started(B);
    page.Ended(B);
    EXPECT_EQ(page.Take(), (Lines{"The page crashed (code 139).", "load " + B, "start " + B,
                                  "download", "read"}));
}

// How the engine's report of an ended renderer is read, and what is said.
struct EndCase {
    const char* Name;
    RendererExit Exit;
    int Code;
    bool ByProgram;
    RendererEndCause Cause;
    const char* English;
};

class RendererEnds : public ::testing::TestWithParam<EndCase> {};

TEST_P(RendererEnds, SayWhyThePageWasEnded) {
    const EndCase& c = GetParam();
    const RendererEnd end = ReadRendererEnd(c.Exit, c.Code, c.ByProgram);
    EXPECT_EQ(end.Cause, c.Cause);
    EXPECT_EQ(RendererEndText(end, texts::English), c.English);
    const std::string german = RendererEndText(end, texts::German);
    EXPECT_NE(german, c.English);
    EXPECT_EQ(german.find('%'), std::string::npos) << german;
}

INSTANTIATE_TEST_SUITE_P(
    EngineReports, RendererEnds,
    ::testing::Values(
        EndCase{"KilledBySystem", RendererExit::Killed, 9, false, RendererEndCause::OutOfMemory,
                "The page ran out of memory and was ended."},
        EndCase{"OutOfMemoryOnWindows", RendererExit::Killed, static_cast<int>(0xE0000008U), false,
                RendererEndCause::OutOfMemory, "The page ran out of memory and was ended."},
        EndCase{"Terminated", RendererExit::Killed, 15, false, RendererEndCause::EndedFromOutside,
                "The page was ended from outside the program (code 15)."},
        EndCase{"Crashed", RendererExit::Crashed, 139, false, RendererEndCause::Crashed,
                "The page crashed (code 139)."},
        EndCase{"ExitedWithError", RendererExit::Abnormal, 256, false, RendererEndCause::Crashed,
                "The page crashed (code 256)."},
        EndCase{"EndedByTheProgram", RendererExit::Killed, 9, true, RendererEndCause::NotResponding,
                "The page did not respond and was ended."}),
    [](const ::testing::TestParamInfo<EndCase>& testCase) {
        return std::string(testCase.param.Name);
    });

}  // namespace
}  // namespace kpw
