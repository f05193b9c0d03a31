#include "FakeClock.h"

namespace kpw {

void FakeClock::Advance(int64_t ms) {
    const int64_t end = now_ + ms;
    for (;;) {
        // The earliest timer due first; on a tie the wait timer, then the
        // slideshow's, the late-text timer, then the verdict timer.
        struct Timer {
            std::optional<int64_t>* Due;
            std::function<void()>* Handler;
        };
        Timer timers[] = {{&due_, &OnTimeout},
                          {&slideshowDue_, &OnSlideshowTimeout},
                          {&lateTextDue_, &OnLateTextTimeout},
                          {&verdictDue_, &OnVerdictTimeout}};
        Timer* next = nullptr;
        for (Timer& timer : timers) {
            if (*timer.Due && **timer.Due <= end && (!next || **timer.Due < **next->Due))
                next = &timer;
        }
        if (!next) break;
        if (**next->Due > now_) now_ = **next->Due;
        next->Due->reset();
        if (*next->Handler) (*next->Handler)();
    }
    now_ = end;
}

bool FakeClock::RunTimer() {
    if (!due_) return false;
    Advance(*due_ > now_ ? *due_ - now_ : 0);
    return true;
}

std::optional<int64_t> FakeClock::SlideshowTimerDueInMs() const {
    if (!slideshowDue_) return std::nullopt;
    return *slideshowDue_ - now_;
}

std::optional<int64_t> FakeClock::LateTextTimerDueInMs() const {
    if (!lateTextDue_) return std::nullopt;
    return *lateTextDue_ - now_;
}

std::optional<int64_t> FakeClock::VerdictTimerDueInMs() const {
    if (!verdictDue_) return std::nullopt;
    return *verdictDue_ - now_;
}

std::optional<int64_t> FakeClock::TimerDueInMs() const {
    if (!due_) return std::nullopt;
    return *due_ - now_;
}

}  // namespace kpw
