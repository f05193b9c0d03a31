#include "browsing/PageLoads.h"

#include <utility>

#include "texts/Texts.h"

namespace kpw {

namespace {

using Kind = PageAction::Kind;

// On Linux the engine hands on the raw wait status: a renderer killed by a
// signal has the signal's number. SIGKILL is what the kernel sends when
// memory runs out; nothing else on a desktop kills a renderer so.
constexpr int KilledBySystemCode = 9;
// The engine's own out-of-memory code on Windows.
constexpr int OutOfMemoryExceptionCode = static_cast<int>(0xE0000008U);

std::string_view SchemeOf(std::string_view url) {
    const std::size_t colon = url.find(':');
    return colon == std::string_view::npos ? std::string_view() : url.substr(0, colon);
}

bool IsWeb(std::string_view url) {
    const std::string_view scheme = SchemeOf(url);
    return scheme == "http" || scheme == "https";
}

PageAction Do(Kind what) {
    return PageAction{.What = what};
}

PageAction WithUrl(Kind what, std::string_view url) {
    return PageAction{.What = what, .Url = std::string(url)};
}

PageAction WithTicket(Kind what, std::uint64_t ticket) {
    return PageAction{.What = what, .Ticket = ticket};
}

PageAction Timer(Kind what, std::chrono::milliseconds wait) {
    return PageAction{.What = what, .Wait = wait};
}

void Append(PageActions& to, PageActions more) {
    for (PageAction& action : more) to.push_back(std::move(action));
}

}  // namespace

RendererEnd ReadRendererEnd(RendererExit exit, int exitCode, bool byProgram) {
    if (byProgram) return {RendererEndCause::NotResponding, exitCode};
    if (exit == RendererExit::Killed) {
        const bool memory = exitCode == KilledBySystemCode || exitCode == OutOfMemoryExceptionCode;
        return {memory ? RendererEndCause::OutOfMemory : RendererEndCause::EndedFromOutside,
                exitCode};
    }
    return {RendererEndCause::Crashed, exitCode};
}

std::string RendererEndText(const RendererEnd& end, int language) {
    const texts::BrowserViewTexts& t = texts::BrowserView;
    const int column = texts::LanguageIndex(language);
    switch (end.Cause) {
        case RendererEndCause::NotResponding:
            return t.RendererEnded.In(column);
        case RendererEndCause::OutOfMemory:
            return t.RendererOutOfMemory.In(column);
        case RendererEndCause::Crashed:
            return texts::FillIn(t.RendererCrashed.In(column), {std::to_string(end.ExitCode)});
        case RendererEndCause::EndedFromOutside:
            break;
    }
    return texts::FillIn(t.RendererEndedFromOutside.In(column), {std::to_string(end.ExitCode)});
}

PageActions PageLoads::AskOwn(PageAction action) {
    own_ = OwnLoad::Asked;
    ownStartPending_ = true;
    return {std::move(action)};
}

PageActions PageLoads::Navigate(const std::string& url) {
    reissuedSinceAsk_ = false;
    if (emptying_) {
        held_ = url;
        return {};
    }
    return AskOwn(WithUrl(Kind::LoadUrl, url));
}

PageActions PageLoads::GoBack() {
    reissuedSinceAsk_ = false;
    return AskOwn(Do(Kind::GoBack));
}

PageActions PageLoads::Reload() {
    reissuedSinceAsk_ = false;
    return AskOwn(Do(Kind::Reload));
}

PageActions PageLoads::Stop() {
    held_.reset();
    return {Do(Kind::StopLoading)};
}

PageLoads::NavigationAnswer PageLoads::Navigation(std::string_view url, NavigationCause cause,
                                                  bool mainFrame) {
    if (!mainFrame) return {.Go = true, .Report = false};
    if (!MayNavigate(unseen_, own_, cause, SchemeOf(url))) return {.Go = false, .Report = false};
    if (own_ == OwnLoad::Asked) own_ = OwnLoad::InFlight;
    // The load asked for again after its renderer ended was told once.
    if (reissued_ && *reissued_ == url) {
        reissued_.reset();
        return {.Go = true, .Report = false};
    }
    return {.Go = true, .Report = true};
}

PageActions PageLoads::ReportStart(std::string_view url) {
    ++ticket_;
    phase_ = Phase::Loading;
    loadingUrl_ = url;
    contentReadable_ = true;
    return {Do(Kind::StopContentTimer),
            PageAction{.What = Kind::ReportStart, .Url = std::string(url), .Ticket = ticket_}};
}

PageActions PageLoads::Started(std::string_view url) {
    // Not a web load (the empty document): the program's load asked for
    // meanwhile has still to start.
    if (!IsWeb(url)) {
        unreported_ = std::string(url);
        return {};
    }
    // A page nobody sees reports only the start of a load the program asked
    // for (the engine starts it at once), not, say, a refresh of its own.
    const bool own = std::exchange(ownStartPending_, false);
    if (unseen_ && !own) {
        unreported_ = std::string(url);
        return {};
    }
    return ReportStart(url);
}

// Loads are told apart by the engine's own start and end of each: a load
// started while another is in flight replaces it, and the engine then
// reports one end for both.
PageActions PageLoads::Ended(std::string_view url) {
    PageActions out;
    // The program's load replaced one the view does not report (the empty
    // document) while it was in flight: the engine reports no start of its
    // own, only this end.
    if (phase_ != Phase::Loading && ownStartPending_ && IsWeb(url)) {
        ownStartPending_ = false;
        unreported_.reset();
        out = ReportStart(url);
    }
    if (unreported_ && *unreported_ == url) {
        unreported_.reset();
        if (emptying_) Append(out, EndEmptying());
        return out;
    }
    // A redirect from now on is the page's own. A load the program asked
    // for since, not yet begun, stays the program's, or a page nobody sees
    // would refuse it and never load it.
    if (own_ == OwnLoad::InFlight) own_ = OwnLoad::None;
    if (phase_ == Phase::Loading) {
        phase_ = Phase::Ending;
        ++ticket_;
        out.push_back(PageAction{.What = Kind::ReportEnd, .Ticket = ticket_, .EngineEnd = true});
    }
    return out;
}

PageActions PageLoads::EndReported(std::uint64_t ticket) {
    // A handler may have started the next load meanwhile.
    if (ticket != ticket_ || phase_ != Phase::Ending) return {};
    if (!contentReadable_) return Deliver(false);
    phase_ = Phase::Reading;
    return {WithTicket(Kind::RequestContent, ticket_),
            Timer(Kind::StartContentTimer, contentLimit_)};
}

PageActions PageLoads::ContentAnswered(std::uint64_t ticket) {
    // Late answers (a newer load began, or the time ran out) are dropped.
    if (ticket != ticket_ || phase_ != Phase::Reading) return {};
    return Deliver(true);
}

PageActions PageLoads::ContentTimedOut() {
    // Hung, or busy with a very large page: the next step tells.
    if (phase_ != Phase::Reading) return {};
    return Deliver(false);
}

PageActions PageLoads::Deliver(bool withContent) {
    phase_ = Phase::Delivering;
    return {
        Do(Kind::StopContentTimer),
        PageAction{.What = Kind::ReportDocument, .Ticket = ticket_, .WithContent = withContent}};
}

// A page nobody sees has done its work once it is read: what it fetched
// stays in the shared cache, and an empty document in its place lets its
// renderer give back what the page took (a very large page takes
// gigabytes). It must not replace a load the program asked for that has
// not started yet.
PageActions PageLoads::DocumentReported(std::uint64_t ticket) {
    if (ticket != ticket_) return {};
    if (phase_ == Phase::Delivering) phase_ = Phase::Idle;
    if (!unseen_ || phase_ != Phase::Idle || ownStartPending_) return {};
    emptying_ = true;
    return {Do(Kind::LoadEmptyDocument), Timer(Kind::StartEmptyingTimer, EmptyingLimit)};
}

PageActions PageLoads::EmptyingTimedOut() {
    if (!emptying_) return {};
    return EndEmptying();
}

PageActions PageLoads::EndEmptying() {
    emptying_ = false;
    PageActions out{Do(Kind::StopEmptyingTimer)};
    if (held_) {
        const std::string url = std::move(*held_);
        held_.reset();
        Append(out, AskOwn(WithUrl(Kind::LoadUrl, url)));
    }
    return out;
}

PageActions PageLoads::RendererGone(RendererExit exit, int exitCode, std::string_view pageUrl) {
    const bool byProgram = std::exchange(endingRenderer_, false);
    if (exit == RendererExit::Normal) return {};
    PageActions out{PageAction{.What = Kind::ReportRendererEnd,
                               .End = ReadRendererEnd(exit, exitCode, byProgram)}};
    // The load the program asked for had not reached the page yet: it goes
    // on in a fresh renderer, as if nothing had happened. Once: a load that
    // loses its renderer again ends.
    if (phase_ == Phase::Loading && pageUrl != loadingUrl_ && IsWeb(loadingUrl_) &&
        !reissuedSinceAsk_) {
        reissuedSinceAsk_ = true;
        reissued_ = loadingUrl_;
        Append(out, AskOwn(WithUrl(Kind::LoadUrl, loadingUrl_)));
        return out;
    }
    // A dead renderer answers no content request and may never end its load.
    switch (phase_) {
        case Phase::Loading:
            phase_ = Phase::Ending;
            ++ticket_;
            contentReadable_ = false;
            out.push_back(WithTicket(Kind::ReportEnd, ticket_));
            break;
        case Phase::Ending:
            contentReadable_ = false;
            break;
        case Phase::Reading:
            Append(out, Deliver(false));
            break;
        case Phase::Idle:
        case Phase::Delivering:
            break;
    }
    return out;
}

void PageLoads::PageGone() {
    ++ticket_;
    phase_ = Phase::Idle;
    emptying_ = false;
    held_.reset();
    unreported_.reset();
}

std::optional<std::string> PageLoads::LoadingUrl() const {
    if (phase_ != Phase::Loading) return std::nullopt;
    return loadingUrl_;
}

}  // namespace kpw
