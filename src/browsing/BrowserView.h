#pragma once

#include <optional>
#include <stdexcept>
#include <string>

namespace kpw {

// navHyperlink: the only navigation flag the program ever passes.
inline constexpr int NavHyperlink = 64;

// What the logic needs of one embedded browser view. Calls return at once and
// the view loads in the background. A failing call throws BrowserError.
class BrowserView {
public:
    virtual ~BrowserView() = default;
    virtual void Navigate2(const std::string& url, int flags) = 0;
    virtual void GoBack() = 0;
    virtual void Refresh() = 0;
    virtual void Stop() = 0;
    // The address shown now, read anew at every call.
    virtual std::string LocationURL() const = 0;
    // true suppresses the view's own dialog boxes (script dialogs and the like).
    virtual void SetSilent(bool silent) = 0;
    // Reads the body's rendered text of the page shown anew; the answer comes
    // later as the view's text-read event.
    virtual void ReadBodyText() = 0;
};

class BrowserError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// What a finished top-level load hands to the page analysis. Either text is
// absent when it could not be read from the page.
struct DocumentContent {
    // Body markup in the legacy serialised form: upper-case tag names,
    // attribute values unquoted when they consist only of letters, digits,
    // '-', '_', '.', otherwise double-quoted.
    std::optional<std::string> BodyMarkup;
    // The body's rendered plain text.
    std::optional<std::string> BodyText;
    // The HTTP status of the answer where the engine names one (200, 404,
    // 429, ...), else 0: a connection error, a page from the cache.
    int HttpStatus = 0;
    // The answer's Retry-After header, where the engine hands headers over.
    std::optional<std::string> RetryAfter = std::nullopt;
    // The document's type ("text/html", "image/jpeg", ...); empty when unknown.
    std::string ContentType = {};
    // The connection closed before any answer came (the engine shows a page
    // of its own): a failure on the way, not an answer about the page.
    bool ClosedWithoutAnswer = false;
    // The site could not be reached at all (its name not found, the
    // connection refused): the engine shows a page of its own.
    bool SiteUnreachable = false;
};

}  // namespace kpw
