// The page analysis runs on the UI thread after every load; these show how
// it scales with the size of a page (a user page with thousands of photo
// links, its text without any error word: the slowest case of each search).
#include <benchmark/benchmark.h>

#include <string>

#include "browsing/PageAnalysis.h"

namespace {

// Body markup in the serialised form, `links` photo links before the author
// block (or before the statistics link), as long pages of the site have them.
std::string LongMarkup(int links, bool statistics) {
    std::string markup =
        "<BODY><DIV id=header><A href=\"/\">Kelvaro</A> Featured: "
        "<A href=\"/user/17\">User 17</A></DIV><UL>";
    for (int i = 1; i <= links; ++i) {
        markup += "<LI><A href=\"/photo/" + std::to_string(1000 + i) + "\">Photo " +
                  std::to_string(1000 + i) + "</A></LI>";
    }
    markup += "</UL>";
    markup += statistics ? "<P>Taken by <A class=nolessthan href=\"/user/234\">User 234</A></P>"
                         : "<P id=author>by <A href=\"/user/234\">User 234</A></P>";
    return markup + "</BODY>";
}

// Plain text of such a page: no error word anywhere.
std::string LongText(int lines) {
    std::string text;
    for (int i = 1; i <= lines; ++i) {
        text += "Photo " + std::to_string(1000 + i) + " taken on a sunny day by user 234\n";
    }
    return text;
}

void FindAuthorAfterMarker(benchmark::State& state) {
    const std::string markup = LongMarkup(static_cast<int>(state.range(0)), false);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kpw::FindAuthorIndex(markup, false));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(markup.size()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(FindAuthorAfterMarker)->RangeMultiplier(8)->Range(64, 131072)->Complexity(benchmark::oN);

void FindAuthorOnStatisticsPage(benchmark::State& state) {
    const std::string markup = LongMarkup(static_cast<int>(state.range(0)), true);
    for (auto _ : state) {
        benchmark::DoNotOptimize(kpw::FindAuthorIndex(markup, true));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(markup.size()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(FindAuthorOnStatisticsPage)->RangeMultiplier(8)->Range(64, 131072)->Complexity(benchmark::oN);

void MissingPhotoTestWithoutErrorWord(benchmark::State& state) {
    const std::string text = LongText(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(kpw::PhotoIsMissing(text));
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(MissingPhotoTestWithoutErrorWord)->RangeMultiplier(8)->Range(64, 131072)->Complexity(benchmark::oN);

}  // namespace
