#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "browsing/BrowserView.h"
#include "browsing/ClockPort.h"
#include "browsing/MissingPhoto.h"
#include "browsing/PreloadQueue.h"
#include "settings/Settings.h"

namespace kpw {

// One photo load as the verdicts see it: the photo's template and index and
// the address the load ended at (empty when it could not be read).
struct PhotoLoad {
    const std::string& Template;
    int32_t Index = 0;
    std::string FinalURL;
    const DocumentContent& Content;
};

// The verdict on every photo index, whoever met it: the page on view, the
// hidden neighbour, the pages fetched ahead or the probe for an index that
// cannot exist. Every sign (status, placeholder, error words, a late text,
// what is known missing, a jump over a known gap) comes here; the handlers
// ask and carry out the answer. A verdict on the page on view that waits for
// evidence still in flight (a placeholder not yet proven) is pending, for at
// most PendingLimitMs, never guessed.
//
// The skip chain is kept here too: the photos the user has not seen since
// their last step, however each was recognised, for the skip message.
class PhotoVerdicts {
public:
    static constexpr int64_t PendingLimitMs = 2000;

    PhotoVerdicts(const Settings& settings, ClockPort& clock);

    MissingRules Rules() const;

    // A photo load fetched ahead of the user. A load sent on to another
    // address is noted, so a placeholder shared by two photos is found.
    // learn: a missing photo is kept as known missing.
    PhotoVerdict Judge(const PhotoLoad& load, bool learn);
    // The page on view. Judged missing or present at its own address, the
    // index is learnt (learn) as missing or no longer missing. mayWait: the
    // verdict decides a skip, and evidence is still in flight; a load sent on
    // to an address not yet known as a placeholder is then pending.
    PhotoVerdict JudgeOnView(const PhotoLoad& load, bool learn, bool mayWait);

    // The page on view's verdict waits for evidence.
    bool Pending() const { return pending_.has_value(); }
    // Evidence arrived, or the last of it did: the verdict once it is decided.
    // evidenceInFlight: photo loads that could still prove the placeholder.
    std::optional<PhotoVerdict> SettlePending(bool evidenceInFlight);
    // The wait ran out: decided on what is known now.
    std::optional<PhotoVerdict> PendingTimedOut();
    // The page on view was left: its verdict no longer matters.
    void CancelPending();

    // The site's answer for an index that cannot exist ended at finalURL.
    void NoteAbsentAnswer(const std::string& photoTemplate, const std::string& finalURL);
    bool Probed(const std::string& photoTemplate) const;
    void SetProbed(const std::string& photoTemplate, bool probed);
    // A photo found missing after its load (a late error text).
    void NoteMissing(const std::string& photoTemplate, int32_t index);
    bool IsKnownMissing(const std::string& photoTemplate, int32_t index) const;
    const KnownMissing& KnownMissingPhotos() const { return knownMissing_; }
    // The templates of one photo, its sizes and its page: the overview sheet
    // and the single view learn from each other through them.
    void SetSamePhotos(const std::vector<std::string>& templates) {
        knownMissing_.Share(templates);
    }
    // The user asks the site anew: what it said was missing may be there now.
    void ForgetKnownMissing();

    // The skip chain. Skipped: the photos from first to last (in the
    // direction of travel, count of them) were not shown.
    void Skipped(int32_t first, int32_t last, int32_t count);
    bool ChainOpen() const { return chainCount_ > 0; }
    // The message naming the chain's photos; empty when nothing was skipped.
    std::string SkipMessage(int language) const;
    // The chain ends: its message, once, for the log (empty when none).
    std::string EndChain(int language);

private:
    PhotoVerdict Decide(const PhotoLoad& load, bool atPlaceholder) const;
    bool Redirected(const PhotoLoad& load) const;
    // A load sent on elsewhere is noted for the placeholder; whether it
    // ended at one known now.
    bool NoteWhereItEnded(const PhotoLoad& load);
    void Learn(const std::string& photoTemplate, int32_t index, bool present, bool missing);

    struct PendingPage {
        std::string Template;
        int32_t Index = 0;
        std::string FinalURL;
        // What the page says without the placeholder's evidence.
        PhotoVerdict Otherwise = PhotoVerdict::Present;
        bool Learn = false;
    };
    std::optional<PhotoVerdict> DecidePending(bool final);

    const Settings& settings_;
    ClockPort& clock_;
    KnownMissing knownMissing_;
    PlaceholderMemory placeholders_;
    std::optional<PendingPage> pending_;
    int32_t chainFirst_ = 0;
    int32_t chainLast_ = 0;
    int32_t chainCount_ = 0;
};

}  // namespace kpw
