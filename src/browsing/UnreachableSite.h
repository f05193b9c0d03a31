#pragma once

#include <string>

#include "browsing/BrowserView.h"
#include "settings/Settings.h"

namespace kpw {

// Whether the engine's code of a failed load says that the site could not be
// reached at all: its name not found, the connection refused, no route to it,
// no network.
bool IsSiteUnreachable(int netError);

// Whether one of the site's addresses is still the program's own (so at
// the first start, when no settings file existed, all of them).
bool UsesDefaultAddresses(const Settings& settings);

// What the status bar says after a finished load of the page on view that
// could not reach the site while the program's own addresses are in use:
// where the addresses are set, with the settings' key. Empty otherwise.
std::string SiteAddressesHint(const Settings& settings, const DocumentContent& content);

}  // namespace kpw
