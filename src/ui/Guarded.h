#pragma once

#include <exception>

#include "browsing/MainWindowPort.h"

namespace kpw {

// Runs a handler of the window; a failure it raises is shown in the
// standard error box instead of leaving through the event loop.
template <typename Handler>
void Guarded(MainWindowPort& window, Handler&& handler) {
    try {
        handler();
    } catch (const std::exception& error) {
        window.ShowErrorMessage(error.what());
    }
}

}  // namespace kpw
