#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "browsing/BrowserView.h"
#include "browsing/NavigationState.h"
#include "browsing/PhotoVerdicts.h"
#include "browsing/PreloadQueue.h"
#include "browsing/RequestScheduler.h"
#include "browsing/URLTemplateTable.h"
#include "settings/Settings.h"

namespace kpw {

// The pages loaded ahead of the user: the hidden view's neighbour, and the
// off-screen pages that fetch further along the direction of travel. What
// they find out about missing photos goes to the verdicts, so a step onto a
// known gap goes straight over it. The preloader owns two kinds of request,
// the neighbour and the pages ahead; the scheduler asks for them when they
// may go.
class Preloader {
public:
    Preloader(const Settings& settings, const URLTemplateTable& table, const NavigationState& state,
              RequestScheduler& scheduler, PhotoVerdicts& verdicts, BrowserView& hiddenView);

    // The off-screen pages. Without them only the neighbour is preloaded and
    // nothing is learnt about missing photos.
    void AttachPages(std::vector<BrowserView*> pages);
    bool Active() const { return !pages_.empty(); }
    // Mode 1 with auto-skip: the pages tell missing photos apart.
    bool DetectsMissing() const;

    // The hidden view is to load the neighbour (slot NextURL); it goes when
    // the scheduler lets it.
    void PreloadNeighbour();
    // Aims the queue at the page on view; its pages go as they may.
    void AimQueue();
    void PumpQueue();
    // Stop: the queue gives up what it loads and sends nothing more.
    void CancelQueue();

    void HiddenPageComplete(const DocumentContent& content);
    void QueuePageComplete(size_t page, const DocumentContent& content);
    // Photo loads under way whose answers the verdicts will hear: the
    // neighbour, the pages ahead and the probe.
    bool EvidenceInFlight() const;

    // From first on in the direction of travel: the known gap a step lands
    // in, jumping at most `allowed` photos; Skipped is 0 when there is none
    // or when known gaps are not skipped.
    KnownGapJump GapAhead(int32_t first, bool down, int32_t allowed) const;

    const PreloadQueue& Queue() const { return queue_; }
    const std::string& PhotoTemplate() const;

private:
    bool IsKnownMissing(int32_t index) const;
    // The scheduler's requests: each sends one and says whether it did.
    bool SendNeighbour();
    bool SendAhead();
    PhotoVerdict Judge(int32_t index, const std::string& finalURL, const DocumentContent& content,
                       bool learn);
    // Asks once per template for an index that cannot exist, to learn where
    // the site sends missing photos.
    bool SendProbe();
    void ProbeComplete(size_t page, const DocumentContent& content);
    std::string PageURL(int32_t index) const;

    const Settings& settings_;
    const URLTemplateTable& table_;
    const NavigationState& state_;
    RequestScheduler& scheduler_;
    PhotoVerdicts& verdicts_;
    BrowserView& hiddenView_;
    // The address last sent to the hidden view and its index; whether that
    // photo's answer is still to come.
    std::string preloadedURL_;
    int32_t preloadedIndex_ = 0;
    bool neighbourAwaited_ = false;
    bool neighbourWanted_ = false;
    std::vector<BrowserView*> pages_;
    PreloadQueue queue_;
    // The page the probe runs on and the template it asks for.
    std::optional<size_t> probePage_;
    std::string probeTemplate_;
};

}  // namespace kpw
