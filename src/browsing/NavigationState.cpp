#include "browsing/NavigationState.h"

#include <algorithm>

#include "browsing/DisplayMode.h"
#include "browsing/IndexText.h"

namespace kpw {

void AimNextIndex(NavigationState& state, bool down) {
    const int64_t step = std::max(state.Step, 1);
    const int64_t current = state.CurrentIndex;
    if (down) {
        // At the bottom of the range the neighbour stays as it was.
        if (current > 1)
            state.NextIndex = static_cast<int32_t>(std::max<int64_t>(current - step, 1));
    } else {
        state.NextIndex =
            static_cast<int32_t>(current < MaxIndex ? std::min<int64_t>(current + step, MaxIndex)
                                                    : std::max<int64_t>(current - step, 1));
    }
}

void TakeIndexOfMode(NavigationState& state, const Settings& settings) {
    state.CurrentIndex = ModeOf(settings.URLIndex) == DisplayMode::UserPage ? settings.UserIndex
                                                                            : settings.PhotoIndex;
    state.CurrentIndex = Clamp(state.CurrentIndex, 1, MaxIndex);
    state.PreviousIndex = state.CurrentIndex - 1;
    AimNextIndex(state, false);
}

void StoreCurrentIndex(const NavigationState& state, Settings& settings) {
    if (ModeOf(settings.URLIndex) == DisplayMode::UserPage)
        settings.UserIndex = state.CurrentIndex;
    else
        settings.PhotoIndex = state.CurrentIndex;
}

bool HoldsUserMessage(const NavigationState& state) {
    return !state.HeldStatus.empty() && state.HeldStatus == state.UserHeldStatus;
}

}  // namespace kpw
