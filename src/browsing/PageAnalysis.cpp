#include "browsing/PageAnalysis.h"

#include <cstdio>

#include "browsing/BrowserView.h"
#include "browsing/IndexText.h"

namespace kpw {

namespace {

std::string Hex8(int32_t value) {
    char buffer[9];
    std::snprintf(buffer, sizeof buffer, "%08X", static_cast<uint32_t>(value));
    return buffer;
}

}  // namespace

std::optional<int32_t> LeadingIndex(std::string_view text) {
    std::string_view run = text.substr(0, LongestDigitRun);
    run = run.substr(0, CountLeadingDigits(run));
    if (run.empty()) return std::nullopt;
    return DigitRunValue(run);
}

std::optional<int32_t> FindAuthorIndex(std::string_view bodyMarkup, bool statisticsView) {
    std::string_view text = bodyMarkup;
    if (!statisticsView) {
        size_t marker = text.find(AuthorMarker);
        if (marker != std::string_view::npos) text.remove_prefix(marker + AuthorMarker.size());
    }
    std::string_view pattern = AuthorLinkPatterns[statisticsView ? 1 : 0];
    size_t link = text.find(pattern);
    if (link == std::string_view::npos) return std::nullopt;
    return LeadingIndex(text.substr(link + pattern.size()));
}

bool PhotoIsMissing(std::string_view bodyText) {
    for (std::string_view word : ErrorWords)
        if (ContainsIgnoringCase(bodyText, word)) return true;
    return false;
}

std::string NavigationLogLine(std::string_view url, std::string_view targetFrameName,
                              int32_t postData, std::string_view headers) {
    std::string line = "URL=";
    line += url;
    line += "  Flags=" + Hex8(NavHyperlink);
    line += "  TargetFrameName=";
    line += targetFrameName;
    line += "  PostData=" + Hex8(postData);
    line += "  Headers=";
    line += headers;
    return line;
}

std::string CutForDisplay(std::string_view text, size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    size_t end = maxBytes;
    // Not inside a UTF-8 sequence: continuation bytes are 10xxxxxx.
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) --end;
    return std::string(text.substr(0, end)) + "\u2026";
}

}  // namespace kpw
