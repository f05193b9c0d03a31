#pragma once

#include <cstdint>
#include <string>

#include "settings/Settings.h"

namespace kpw {

// The main window's run-time navigation state. The persisted indexes and
// options live in Settings; the hidden view's address is slot NextURL of the
// URL template table.
struct NavigationState {
    // The index shown, the one before the last accepted change, and the one
    // the hidden view loads (below CurrentIndex when travelling down).
    int32_t CurrentIndex = 0;
    int32_t PreviousIndex = 0;
    int32_t NextIndex = 0;
    // How far a step of the user's goes; the neighbour lies a step away.
    int32_t Step = 1;
    std::string CurrentURL;
    // What the program last sent to the visible view; anything else on view
    // means the user followed a link.
    std::string LastNavigatedURL;
    bool StatisticsView = false;
    // A load or a busy wait is running that Stop can end.
    bool Loading = false;
    // A message the view's own status texts ("Done", a hovered link) must
    // not replace until the user navigates again; HeldStatusFresh while the
    // navigation it announces is still to be sent.
    std::string HeldStatus;
    bool HeldStatusFresh = false;
    // The held message as the favourites held it: one the user acts on (a
    // deleted favourite that Ctrl+Z takes back), which stays until the
    // user's next action even over the busy site's countdown.
    std::string UserHeldStatus;
    // The last wheel turn asked for a lower index.
    bool SteppingDown = false;
    // Set-up has finished; field changes before are not commits.
    bool FormReady = false;
    // The last character key the window saw (Enter forces a reload).
    char LastKeyChar = 0;
    // The index field's caret, kept across the program's own writes.
    int32_t SpinCaretPos = 0;
    // A Go back or Refresh waits for its download to complete.
    bool BrowserCommandPending = false;
    // The auto-skip is writing the index field; the commit must not reset the count.
    bool Skipping = false;
    int32_t SkippedURLCount = 0;
    // The display mode at the end of the last analysed page load.
    int ShownURLIndex = 0;
    // The help file of the language in force.
    std::string HelpFileName;
    // The photo-size buttons may be enabled (display mode 1).
    bool PhotoSizeEnabled = false;
};

// NextIndex, the neighbour the hidden view preloads, in the direction of
// travel: the one below, or the one above (below at the top of the range).
void AimNextIndex(NavigationState& state, bool down);
// CurrentIndex from the display mode's own index, with its neighbours.
void TakeIndexOfMode(NavigationState& state, const Settings& settings);
// CurrentIndex into PhotoIndex (modes 1 and 2) or UserIndex (mode 3).
void StoreCurrentIndex(const NavigationState& state, Settings& settings);
// Whether the status bar holds a message the user acts on; texts of the
// program's own waiting then do not replace it.
bool HoldsUserMessage(const NavigationState& state);

}  // namespace kpw
