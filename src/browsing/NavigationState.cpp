#include "browsing/NavigationState.h"

#include "browsing/DisplayMode.h"
#include "browsing/IndexText.h"

namespace kpw {

void AimNextIndex(NavigationState& state, bool down) {
    if (down) {
        // At the bottom of the range the neighbour stays as it was.
        if (state.CurrentIndex > 1) state.NextIndex = state.CurrentIndex - 1;
    } else {
        state.NextIndex =
            state.CurrentIndex < MaxIndex ? state.CurrentIndex + 1 : state.CurrentIndex - 1;
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
