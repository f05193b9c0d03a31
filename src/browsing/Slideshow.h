#pragma once

#include <functional>

#include "browsing/ClockPort.h"
#include "browsing/MainWindowPort.h"
#include "browsing/NavigationState.h"
#include "settings/Settings.h"

namespace kpw {

// The slideshow: a step in the direction of travel every SlideshowInterval
// seconds after the page on view has completed. It owns its timer; the step
// itself is the navigation's.
class Slideshow {
public:
    // step moves on by one page; it is called when the interval ran out and
    // nothing is loading (state.Loading). closeLists runs when it starts.
    Slideshow(const Settings& settings, ClockPort& clock, MainWindowPort& window,
              const NavigationState& state, std::function<void()> closeLists,
              std::function<void()> step);

    bool Running() const { return running_; }
    // A page still loading (or a busy site waited for) starts the count when
    // it ends.
    void Start();
    // Ends it (a key, click or wheel of the user); false when none ran.
    bool Stop();
    // The page on view has ended its load; settled is false when a skip or a
    // retry goes on from it.
    void PageEnded(bool settled);
    void OnTimer();

private:
    void StartTimer();
    void ShowStatus();

    const Settings& settings_;
    ClockPort& clock_;
    MainWindowPort& window_;
    const NavigationState& state_;
    std::function<void()> closeLists_;
    std::function<void()> step_;
    bool running_ = false;
};

}  // namespace kpw
