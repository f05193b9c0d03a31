#include "browsing/PhotoVerdicts.h"

#include "browsing/BusySite.h"
#include "browsing/URLTemplateTable.h"
#include "settings/AsciiText.h"
#include "texts/Texts.h"

namespace kpw {

PhotoVerdicts::PhotoVerdicts(const Settings& settings, ClockPort& clock)
    : settings_(settings), clock_(clock) {}

MissingRules PhotoVerdicts::Rules() const {
    return {settings_.MissingByStatus, settings_.MissingByPlaceholder};
}

bool PhotoVerdicts::Redirected(const PhotoLoad& load) const {
    return !load.FinalURL.empty() &&
           !EqualsIgnoringCase(load.FinalURL, PutIndexIntoTemplate(load.Template, load.Index));
}

PhotoVerdict PhotoVerdicts::Decide(const PhotoLoad& load, bool atPlaceholder) const {
    return JudgePhotoPage(load.Content, atPlaceholder, Rules());
}

bool PhotoVerdicts::NoteWhereItEnded(const PhotoLoad& load) {
    if (!Redirected(load)) return false;
    // A busy answer's address (an error page of a proxy) is no placeholder.
    if (Rules().ByPlaceholder && !IsBusyAnswer(load.Content))
        placeholders_.NoteRedirect(load.Template, load.Index, load.FinalURL);
    return placeholders_.IsPlaceholder(load.Template, load.Index, load.FinalURL);
}

PhotoVerdict PhotoVerdicts::Judge(const PhotoLoad& load, bool learn) {
    const bool redirected = Redirected(load);
    const PhotoVerdict verdict = Decide(load, NoteWhereItEnded(load));
    if (learn && verdict == PhotoVerdict::Missing) {
        knownMissing_.Add(load.Template, load.Index);
        // The photo that first ended there is proven missing with it.
        if (redirected) {
            const std::optional<int32_t> first =
                placeholders_.FirstIndexAt(load.Template, load.FinalURL);
            if (first && *first != load.Index) knownMissing_.Add(load.Template, *first);
        }
    }
    return verdict;
}

void PhotoVerdicts::Learn(const std::string& photoTemplate, int32_t index, bool present,
                          bool missing) {
    if (missing) knownMissing_.Add(photoTemplate, index);
    if (present) knownMissing_.Forget(photoTemplate, index);
}

PhotoVerdict PhotoVerdicts::JudgeOnView(const PhotoLoad& load, bool learn, bool mayWait) {
    pending_.reset();
    clock_.StopVerdictTimer();
    const bool redirected = Redirected(load);
    const bool atPlaceholder = NoteWhereItEnded(load);
    const PhotoVerdict verdict = Decide(load, atPlaceholder);
    // Sent on elsewhere, the photo may yet prove to be a placeholder: another
    // photo sent to the same address, or the site's answer for an absent one.
    if (mayWait && redirected && !atPlaceholder && Rules().ByPlaceholder &&
        (verdict == PhotoVerdict::Present || verdict == PhotoVerdict::Unreadable)) {
        pending_ = PendingPage{load.Template, load.Index, load.FinalURL, verdict, learn};
        clock_.StartVerdictTimer(PendingLimitMs);
        return PhotoVerdict::Pending;
    }
    // A photo found present is forgotten as missing only at its own address.
    if (learn && !load.FinalURL.empty())
        Learn(load.Template, load.Index, verdict == PhotoVerdict::Present && !redirected,
              verdict == PhotoVerdict::Missing);
    return verdict;
}

std::optional<PhotoVerdict> PhotoVerdicts::DecidePending(bool final) {
    if (!pending_) return std::nullopt;
    const PendingPage page = *pending_;
    const bool atPlaceholder =
        placeholders_.IsPlaceholder(page.Template, page.Index, page.FinalURL);
    if (!atPlaceholder && !final) return std::nullopt;
    pending_.reset();
    clock_.StopVerdictTimer();
    const PhotoVerdict verdict = atPlaceholder ? PhotoVerdict::Missing : page.Otherwise;
    if (page.Learn) Learn(page.Template, page.Index, false, verdict == PhotoVerdict::Missing);
    return verdict;
}

std::optional<PhotoVerdict> PhotoVerdicts::SettlePending(bool evidenceInFlight) {
    return DecidePending(!evidenceInFlight);
}

std::optional<PhotoVerdict> PhotoVerdicts::PendingTimedOut() {
    return DecidePending(true);
}

void PhotoVerdicts::CancelPending() {
    if (!pending_) return;
    pending_.reset();
    clock_.StopVerdictTimer();
}

void PhotoVerdicts::NoteAbsentAnswer(const std::string& photoTemplate,
                                     const std::string& finalURL) {
    placeholders_.NoteAbsentAnswer(photoTemplate, finalURL);
}

bool PhotoVerdicts::Probed(const std::string& photoTemplate) const {
    return placeholders_.Probed(photoTemplate);
}

void PhotoVerdicts::SetProbed(const std::string& photoTemplate, bool probed) {
    placeholders_.SetProbed(photoTemplate, probed);
}

void PhotoVerdicts::NoteMissing(const std::string& photoTemplate, int32_t index) {
    knownMissing_.Add(photoTemplate, index);
}

bool PhotoVerdicts::IsKnownMissing(const std::string& photoTemplate, int32_t index) const {
    return knownMissing_.Contains(photoTemplate, index);
}

void PhotoVerdicts::ForgetKnownMissing() {
    knownMissing_.Clear();
    placeholders_.ForgetRedirects();
}

void PhotoVerdicts::Skipped(int32_t first, int32_t last, int32_t count) {
    if (count <= 0) return;
    if (chainCount_ == 0) chainFirst_ = first;
    chainLast_ = last;
    chainCount_ += count;
}

std::string PhotoVerdicts::SkipMessage(int language) const {
    if (chainCount_ == 0) return {};
    const texts::KnownMissingTexts& t = texts::KnownMissing;
    const int column = texts::LanguageIndex(language);
    if (chainCount_ == 1)
        return texts::FillIn(t.SkippedOne.In(column), {std::to_string(chainFirst_)});
    return texts::FillIn(
        t.SkippedMany.In(column),
        {std::to_string(chainCount_), std::to_string(chainFirst_), std::to_string(chainLast_)});
}

std::string PhotoVerdicts::EndChain(int language) {
    std::string message = SkipMessage(language);
    chainCount_ = 0;
    return message;
}

}  // namespace kpw
