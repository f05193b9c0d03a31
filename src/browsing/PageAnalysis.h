#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kpw {

// The photo site's page features, matched case-sensitively against the body
// markup in its legacy serialised form.
inline constexpr std::string_view AuthorMarker = "<P id=author>";
// The link to the author's user page: on the information page, and on the
// statistics page (index 1 = statistics view).
inline constexpr std::string_view AuthorLinkPatterns[2] = {
    "<A href=\"/user/",
    "<A class=nolessthan href=\"/user/",
};
// A missing photo's page says one of these, in any case, anywhere.
inline constexpr std::string_view ErrorWords[3] = {"Error", "HTTP 404", "HTTP 500"};
// At most this many characters after a pattern or prefix are read as the index.
inline constexpr size_t LongestDigitRun = 16;

// The index in the leading digits of text (at most LongestDigitRun of them),
// or nothing when text does not start with a digit.
std::optional<int32_t> LeadingIndex(std::string_view text);

// The photo author's user index in the body markup, or nothing. Outside the
// statistics view the search starts after the author marker when there is one.
std::optional<int32_t> FindAuthorIndex(std::string_view bodyMarkup, bool statisticsView);

// Whether the body text of a photo-only page reports a missing photo.
bool PhotoIsMissing(std::string_view bodyText);

// The log line of one navigation of the visible view. Flags always read as
// navHyperlink, which the handler stores into them first.
// Lengths that come from a page are bounded before the window shows them: a
// page can navigate to an address of megabytes.
inline constexpr size_t MaxShownTextBytes = 2048;
// text, cut at a character boundary to at most maxBytes with an ellipsis
// after it when it was longer.
std::string CutForDisplay(std::string_view text, size_t maxBytes = MaxShownTextBytes);

std::string NavigationLogLine(std::string_view url, std::string_view targetFrameName,
                              int32_t postData, std::string_view headers);

}  // namespace kpw
