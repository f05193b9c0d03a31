// What the photo actions work on, and the slideshow.
#include <exception>

#include "browsing/ControlGroups.h"
#include "browsing/Diagnostics.h"
#include "browsing/IndexText.h"
#include "browsing/Navigator.h"
#include "browsing/PageAnalysis.h"
#include "texts/Texts.h"

namespace kpw {

std::optional<Navigator::ShownPhotoInfo> Navigator::ShownPhoto() const {
    if (Mode() == DisplayMode::UserPage) return std::nullopt;
    int32_t index = state_.CurrentIndex;
    std::string url;
    try {
        url = visibleView_.LocationURL();
    } catch (const std::exception& error) {
        ReportSwallowed("reading the visible view's address", error);
    }
    // A link followed from an information page shows another photo, or a user.
    if (Mode() == DisplayMode::PhotoInformation && !state_.StatisticsView) {
        if (StartsWithIgnoringCase(url, table_.ModePrefix(3))) return std::nullopt;
        const std::string& prefix = table_.ModePrefix(2);
        if (StartsWithIgnoringCase(url, prefix)) {
            std::optional<int32_t> photo =
                LeadingIndex(std::string_view(url).substr(prefix.size()));
            if (photo && *photo >= 1) index = *photo;
        }
    }
    if (index < 1) return std::nullopt;
    const std::string& photoTemplate =
        table_[URLTemplateTable::SizeTemplateSlot(settings_.PhotoSize)];
    return ShownPhotoInfo{PutIndexIntoTemplate(photoTemplate, index), index};
}

std::string Navigator::ShownAddress() const {
    return visibleView_.LocationURL();
}

// ---- Slideshow

void Navigator::StartSlideshow() {
    if (slideshow_.Running) return;
    HideFavoriteLists();
    slideshow_.Running = true;
    ShowSlideshowStatus();
    // A page still loading starts the count when it completes.
    if (!window_.IsEnabled(Control::Stop))
        clock_.StartSlideshowTimer(int64_t{settings_.SlideshowInterval} * 1000);
}

bool Navigator::StopSlideshow() {
    if (!slideshow_.Running) return false;
    slideshow_.Running = false;
    clock_.StopSlideshowTimer();
    window_.SetStatusText(texts::Photo.SlideshowEnded.In(LanguageIndex()));
    return true;
}

void Navigator::SlideshowPageEnded(bool settled) {
    if (!slideshow_.Running) return;
    ShowSlideshowStatus();
    if (settled) clock_.StartSlideshowTimer(int64_t{settings_.SlideshowInterval} * 1000);
}

void Navigator::SlideshowTimerOnTimer() {
    if (!slideshow_.Running) return;
    // Something else is loading or waiting; its end starts the count again.
    if (window_.IsEnabled(Control::Stop)) return;
    SlideshowStep();
}

void Navigator::SlideshowStep() {
    const bool down = state_.NextIndex < state_.CurrentIndex;
    if (down ? state_.CurrentIndex <= 1 : state_.CurrentIndex >= MaxIndex) {
        StopSlideshow();
        return;
    }
    state_.SteppingDown = down;
    state_.CurrentIndex += down ? -1 : 1;
    state_.SkippedURLCount = 0;
    AimNextIndex(down);
    StoreCurrentIndex();
    BuildPageURLs();
    NavigateBrowsers();
    window_.SetPageIndexValue(state_.CurrentIndex);
    window_.ProcessPendingMessages();
}

void Navigator::ShowSlideshowStatus() {
    window_.SetStatusText(texts::FillIn(texts::Photo.SlideshowRuns.In(LanguageIndex()),
                                        {std::to_string(settings_.SlideshowInterval)}));
}

}  // namespace kpw
