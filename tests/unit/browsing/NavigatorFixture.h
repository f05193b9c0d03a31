#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <set>
#include <string>

#include "FakeBrowserView.h"
#include "FakeClock.h"
#include "FakeMainWindow.h"
#include "browsing/BusySite.h"
#include "browsing/IndexText.h"
#include "browsing/Navigator.h"

namespace kpw {

inline std::string Host() {
    return std::string("http://") + PhotoSiteHost;
}
inline std::string Photo(int32_t i) {
    return Host() + "/photos/medium/" + std::to_string(i) + ".jpg";
}
inline std::string InfoPage(int32_t i) {
    return Host() + "/photo/" + std::to_string(i);
}
inline std::string UserPage(int32_t i) {
    return Host() + "/user/" + std::to_string(i);
}

inline DocumentContent Page(std::string text, std::string markup = "<DIV>photo</DIV>") {
    DocumentContent content;
    content.BodyMarkup = std::move(markup);
    content.BodyText = std::move(text);
    return content;
}

// The navigator wired to a fake window and two fake views, started as the
// main window starts it.
class NavigatorTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.Connect(&navigator);
        clock.OnTimeout = [this] { navigator.WaitTimerOnTimer(); };
        clock.OnSlideshowTimeout = [this] { navigator.Slides().OnTimer(); };
        clock.OnLateTextTimeout = [this] { navigator.LateCheck().OnTimer(); };
        clock.OnVerdictTimeout = [this] { navigator.VerdictTimerOnTimer(); };
    }

    void Start() {
        navigator.StartUp();
        navigator.StartFirstLoad();
    }
    // Started, with the first page arrived as an existing one.
    void StartIdle() {
        Start();
        Complete("A photo");
    }
    void Complete(const std::string& text) {
        navigator.VisibleWebBrowserOnDocumentComplete(Page(text));
    }
    // Completes the visible view's loads as a site on which the photos in
    // missing do not exist, until a page requests no further load.
    void RunSite(const std::set<int32_t>& missing) {
        for (int load = 0; load < 1000; ++load) {
            size_t before = visible.Calls().size();
            std::string url = visible.LocationURL();
            int32_t index = DigitRunValue(url.substr(url.rfind('/') + 1));
            Complete(missing.count(index) ? "HTTP 404 Not Found" : "A photo");
            if (visible.Calls().size() == before) return;
        }
        FAIL() << "the skip chain never ended";
    }
    bool Loading() const {
        return window.IsEnabled(Control::Stop) && !window.IsEnabled(Control::PageIndex);
    }
    const NavigationState& state() const { return navigator.State(); }

    Settings settings;
    FakeMainWindow window;
    FakeBrowserView visible;
    FakeBrowserView hidden;
    FakeClock clock;
    Navigator navigator{settings, window, visible, hidden, clock, "/opt/kpw/"};
};

}  // namespace kpw
