#include "FakeClock.h"

namespace kpw {

void FakeClock::Advance(int64_t ms) {
    const int64_t end = now_ + ms;
    while (due_ && *due_ <= end) {
        if (*due_ > now_) now_ = *due_;
        due_.reset();
        if (OnTimeout) OnTimeout();
    }
    now_ = end;
}

bool FakeClock::RunTimer() {
    if (!due_) return false;
    Advance(*due_ > now_ ? *due_ - now_ : 0);
    return true;
}

std::optional<int64_t> FakeClock::TimerDueInMs() const {
    if (!due_) return std::nullopt;
    return *due_ - now_;
}

}  // namespace kpw
