#include "browsing/Slideshow.h"

#include <string>
#include <utility>

#include "texts/Texts.h"

namespace kpw {

Slideshow::Slideshow(const Settings& settings, ClockPort& clock, MainWindowPort& window,
                     const NavigationState& state, std::function<void()> closeLists,
                     std::function<void()> step)
    : settings_(settings),
      clock_(clock),
      window_(window),
      state_(state),
      closeLists_(std::move(closeLists)),
      step_(std::move(step)) {}

void Slideshow::StartTimer() {
    clock_.StartSlideshowTimer(int64_t{settings_.SlideshowInterval} * 1000);
}

void Slideshow::ShowStatus() {
    window_.SetStatusText(
        texts::FillIn(texts::Photo.SlideshowRuns.In(texts::LanguageIndex(settings_.Language)),
                      {std::to_string(settings_.SlideshowInterval)}));
}

void Slideshow::Start() {
    if (running_) return;
    closeLists_();
    running_ = true;
    ShowStatus();
    if (!state_.Loading) StartTimer();
}

bool Slideshow::Stop() {
    if (!running_) return false;
    running_ = false;
    clock_.StopSlideshowTimer();
    window_.SetStatusText(
        texts::Photo.SlideshowEnded.In(texts::LanguageIndex(settings_.Language)));
    return true;
}

void Slideshow::PageEnded(bool settled) {
    if (!running_) return;
    ShowStatus();
    if (settled) StartTimer();
}

void Slideshow::OnTimer() {
    // Something else is loading or waiting; its end starts the count again.
    if (!running_ || state_.Loading) return;
    step_();
}

}  // namespace kpw
