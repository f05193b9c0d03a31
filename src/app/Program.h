#pragma once

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "ui/UnitMain.h"

namespace kpw {

class PhotoFetcher;
class QtBrowserView;

// The program body between the start-up of the toolkit and the browser
// engine and their shutdown: the locale gate, both windows, the event loop.
struct ProgramBody {
    std::string LanguageIdText;
    FormMainPaths Paths;
    std::function<std::unique_ptr<QtBrowserView>()> CreateView;
    // The hidden view of the neighbour; CreateView's when not set.
    std::function<std::unique_ptr<QtBrowserView>()> CreateHiddenView;
    // The off-screen pages of the preload queue; none when not set.
    std::function<std::unique_ptr<QtBrowserView>()> CreatePreloadPage;
    // The photo fetcher of the visible view; without it saving photos fails.
    std::function<std::unique_ptr<PhotoFetcher>(QtBrowserView& visibleView)> CreatePhotoFetcher;
    // The gate's error box; modal in the program.
    std::function<void(const QString& caption, const QString& message)> ShowBlockedBox;
    // Close the main window on SIGTERM, SIGINT and SIGHUP.
    bool CloseOnTerminationSignals = true;
};

// Runs the body and returns the event loop's result. After a fired gate the
// windows are still created and the first load started, but the loop ends
// after its first pass without running the close handlers.
int RunProgramBody(const ProgramBody& body);

}  // namespace kpw
