#include "browsing/PageLeash.h"

namespace kpw {

bool MayNavigate(bool unseen, OwnLoad own, NavigationCause cause, std::string_view scheme) {
    if (scheme != "http" && scheme != "https") return false;
    if (!unseen) return true;
    switch (cause) {
        case NavigationCause::Redirect:
            return own == OwnLoad::InFlight;
        case NavigationCause::Typed:
        case NavigationCause::Reload:
        case NavigationCause::BackForward:
            return own == OwnLoad::Asked;
        case NavigationCause::Link:
        case NavigationCause::Form:
        case NavigationCause::Other:
            break;
    }
    return false;
}

void DialogGate::PageStarted() {
    run_ = 0;
    lastClosed_.reset();
    closedForPage_ = false;
}

DialogGate::Answer DialogGate::Ask(Ms now) {
    if (closedForPage_) return Answer::Refuse;
    const bool continuesRun = lastClosed_ && now - *lastClosed_ <= RunGap;
    run_ = continuesRun ? run_ + 1 : 1;
    if (run_ > MaxInRun) {
        closedForPage_ = true;
        return Answer::RefuseFirst;
    }
    return Answer::Show;
}

void DialogGate::Closed(Ms now) {
    lastClosed_ = now;
}

void RendererWatch::LoadAsked(Ms now) {
    Suspect();
    if (!loading_) lastSign_ = now;
    loading_ = true;
}

void RendererWatch::LoadStarted(Ms now) {
    loading_ = true;
    lastSign_ = now;
}

void RendererWatch::SignOfLife(Ms now) {
    lastSign_ = now;
}

void RendererWatch::LoadEnded() {
    loading_ = false;
}

void RendererWatch::Suspect() {
    // A patient probe already out is hurried.
    if (probeSent_)
        probeLimit_ = ProbeLimit;
    else
        suspected_ = true;
}

void RendererWatch::ProbeAnswered(std::uint64_t id, Ms now) {
    if (!probeSent_ || id != probeId_) return;
    probeSent_.reset();
    lastSign_ = now;
}

void RendererWatch::RendererGone() {
    loading_ = false;
    suspected_ = false;
    probeSent_.reset();
}

RendererWatch::Action RendererWatch::Check(Ms now) {
    if (probeSent_) {
        if (now - *probeSent_ < probeLimit_) return Action::None;
        RendererGone();
        return Action::EndRenderer;
    }
    if (suspected_ || (loading_ && now - lastSign_ >= QuietLimit)) {
        probeLimit_ = suspected_ ? ProbeLimit : PatientProbeLimit;
        suspected_ = false;
        probeSent_ = now;
        ++probeId_;
        return Action::SendProbe;
    }
    return Action::None;
}

std::optional<RendererWatch::Ms> RendererWatch::NextCheck() const {
    if (probeSent_) return *probeSent_ + probeLimit_;
    if (suspected_) return Ms{0};
    if (loading_) return lastSign_ + QuietLimit;
    return std::nullopt;
}

}  // namespace kpw
