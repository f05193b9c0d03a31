#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string_view>

// What a page may do beyond showing itself, decided apart from the engine so
// that the rules are tested on plain values: where it may navigate, how many
// dialogs it may open, and when its renderer counts as hung. The engine
// adapter asks these and carries out the answers.
namespace kpw {

// How a main-frame navigation came about, as the engine tells it.
enum class NavigationCause { Typed, Reload, BackForward, Redirect, Link, Form, Other };

// Where the program's own load of a page stands.
enum class OwnLoad {
    None,
    Asked,     // asked for, its navigation not begun
    InFlight,  // navigating, not ended: redirects are its own
};

// Whether a page may go to an address of this scheme. A page nobody sees (the
// hidden view, the pages fetched ahead) follows only the program's own loads
// and their redirects; a redirect after the load ended (a refresh the page
// asks for) is the page's. The page on view goes anywhere on http and https,
// nowhere else.
bool MayNavigate(bool unseen, OwnLoad own, NavigationCause cause, std::string_view scheme);

// The script dialogs of one page (alert, confirm, prompt). A dialog asked
// for soon after the one before it closed continues a run; the fourth of a
// run and every later dialog of that page are not shown, so a page that
// opens a new dialog for each OK cannot trap the user. A new page starts
// afresh.
class DialogGate {
public:
    using Ms = std::chrono::milliseconds;
    static constexpr int MaxInRun = 3;
    static constexpr Ms RunGap{3000};

    enum class Answer {
        Show,
        // Not shown; the first of these per page, so the refusal is told once.
        RefuseFirst,
        Refuse,
    };
    void PageStarted();
    // now: any steady time in ms.
    Answer Ask(Ms now);
    // The dialog that Ask let through was closed.
    void Closed(Ms now);

private:
    int run_ = 0;
    std::optional<Ms> lastClosed_;
    bool closedForPage_ = false;
};

// Tells when a page's renderer is hung, so the adapter can end it and the
// view loads its next page in a fresh one. A renderer is asked a trivial
// question (a probe) when a load has shown no sign of life for QuietLimit;
// one that does not answer within PatientProbeLimit more is hung (a very
// large page may keep its renderer busy that long). When the user waits for
// it (a step, which a hung page would hold up, or Stop), the probe goes at
// once and ProbeLimit decides. A slow site that still sends data, or a
// renderer that answers, is left alone.
class RendererWatch {
public:
    using Ms = std::chrono::milliseconds;
    static constexpr Ms QuietLimit{10000};
    static constexpr Ms ProbeLimit{3000};
    static constexpr Ms PatientProbeLimit{20000};

    enum class Action { None, SendProbe, EndRenderer };

    // The program asked for a load; the engine has not started it yet. The
    // renderer is probed at once.
    void LoadAsked(Ms now);
    // The engine started a load.
    void LoadStarted(Ms now);
    // Progress of the load: data arrived.
    void SignOfLife(Ms now);
    void LoadEnded();
    // The user waits for the renderer: probe at the next check, and hurry a
    // patient probe already out.
    void Suspect();
    // The renderer answered probe `id`; answers of older probes are ignored.
    void ProbeAnswered(std::uint64_t id, Ms now);
    // The renderer is gone (ended by us or by itself); nothing is watched
    // until the next load or suspicion.
    void RendererGone();

    // What to do now. SendProbe: send probe ProbeId() now.
    Action Check(Ms now);
    std::uint64_t ProbeId() const { return probeId_; }
    // When Check next has something to do, if ever.
    std::optional<Ms> NextCheck() const;

private:
    bool loading_ = false;
    bool suspected_ = false;
    Ms lastSign_{0};
    std::optional<Ms> probeSent_;
    Ms probeLimit_ = ProbeLimit;
    std::uint64_t probeId_ = 0;
};

}  // namespace kpw
