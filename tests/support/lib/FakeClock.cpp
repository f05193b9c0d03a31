#include "FakeClock.h"

namespace kpw {

void FakeClock::Advance(int64_t ms) {
    const int64_t end = now_ + ms;
    for (;;) {
        const bool wait = due_ && *due_ <= end;
        const bool slideshow = slideshowDue_ && *slideshowDue_ <= end;
        if (!wait && !slideshow) break;
        // The earlier one first; the wait timer when both are due together.
        if (wait && (!slideshow || *due_ <= *slideshowDue_)) {
            if (*due_ > now_) now_ = *due_;
            due_.reset();
            if (OnTimeout) OnTimeout();
        } else {
            if (*slideshowDue_ > now_) now_ = *slideshowDue_;
            slideshowDue_.reset();
            if (OnSlideshowTimeout) OnSlideshowTimeout();
        }
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

std::optional<int64_t> FakeClock::TimerDueInMs() const {
    if (!due_) return std::nullopt;
    return *due_ - now_;
}

}  // namespace kpw
