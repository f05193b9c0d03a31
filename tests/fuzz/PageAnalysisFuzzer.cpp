// libFuzzer harness of the page analysis: the author search, the missing
// photo test and the reading of indexes on arbitrary markup and text, each
// checked against a plain restatement of what it should find.
#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>

#include "FuzzInput.h"
#include "browsing/IndexText.h"
#include "browsing/PageAnalysis.h"

namespace {

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return lower;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The index reading as a user would state it: the digits at the start, at
// most LongestDigitRun of them, taken while the value stays in 32 bits.
std::optional<int32_t> ExpectedLeadingIndex(std::string_view text) {
    if (text.empty() || !IsDigit(text.front())) return std::nullopt;
    int64_t value = 0;
    for (size_t i = 0; i < text.size() && i < kpw::LongestDigitRun && IsDigit(text[i]); ++i) {
        const int64_t next = value * 10 + (text[i] - '0');
        if (next > 2147483647) break;
        value = next;
    }
    return static_cast<int32_t>(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text = kpw::fuzz::Expand(data, size);

    KPW_FUZZ_REQUIRE(kpw::LeadingIndex(text) == ExpectedLeadingIndex(text), "leading index");

    const std::string lower = Lower(text);
    bool missing = false;
    for (std::string_view word : kpw::ErrorWords) {
        missing = missing || lower.find(Lower(word)) != std::string::npos;
    }
    KPW_FUZZ_REQUIRE(kpw::PhotoIsMissing(text) == missing, "missing photo test");

    for (bool statisticsView : {false, true}) {
        std::string_view rest = text;
        if (!statisticsView) {
            const size_t marker = rest.find(kpw::AuthorMarker);
            if (marker != std::string_view::npos)
                rest = rest.substr(marker + kpw::AuthorMarker.size());
        }
        const std::string_view pattern = kpw::AuthorLinkPatterns[statisticsView ? 1 : 0];
        const size_t link = rest.find(pattern);
        const std::optional<int32_t> expected =
            link == std::string_view::npos
                ? std::nullopt
                : ExpectedLeadingIndex(rest.substr(link + pattern.size()));
        const std::optional<int32_t> found = kpw::FindAuthorIndex(text, statisticsView);
        KPW_FUZZ_REQUIRE(found == expected, "author index");
        KPW_FUZZ_REQUIRE(!found || *found >= 0, "author index is not negative");
    }

    // The favourites entry reading: index digits, then the remark.
    const std::string trimmed(kpw::TrimAscii(text));
    KPW_FUZZ_REQUIRE(trimmed.size() <= text.size(), "trimming");
    const std::string digits = kpw::LeadingDigits(text);
    KPW_FUZZ_REQUIRE(std::all_of(digits.begin(), digits.end(), IsDigit), "leading digits");
    KPW_FUZZ_REQUIRE(trimmed.starts_with(digits), "digits lead the trimmed text");
    const std::string remark = kpw::TextAfterLeadingDigits(text);
    KPW_FUZZ_REQUIRE(remark.size() + digits.size() <= trimmed.size(), "remark follows the digits");
    (void)kpw::DigitRunValue(digits);
    const std::optional<int32_t> integer = kpw::ReadInteger(text);
    if (integer) {
        KPW_FUZZ_REQUIRE(kpw::ReadInteger(std::to_string(*integer)) == integer,
                         "integer round trip");
    }
    return 0;
}
