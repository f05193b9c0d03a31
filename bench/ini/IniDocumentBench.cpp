// The settings file is parsed at every start and parsed, updated and written
// at every close; a file that has grown many sections (by hand, by another
// tool) must not make either slow. Both should grow linearly.
#include <benchmark/benchmark.h>

#include <string>

#include "settings/IniDocument.h"

namespace {

std::string ManySections(int count) {
    std::string text;
    for (int n = 0; n < count; ++n)
        text += "[Section" + std::to_string(n) + "]\r\nKey=" + std::to_string(n) + "\r\n";
    return text;
}

void ParseSections(benchmark::State& state) {
    const std::string text = ManySections(static_cast<int>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(kpw::IniDocument::Parse(text));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(ParseSections)->RangeMultiplier(8)->Range(64, 131072)->Complexity();

// What the close does: the program's own keys written into a large file.
void UpdateAndSerialize(benchmark::State& state) {
    const std::string text = ManySections(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        kpw::IniDocument ini = kpw::IniDocument::Parse(text);
        for (int n = 0; n < 64; ++n)
            ini.WriteInteger("Favorites", "FavoritePhoto" + std::to_string(n), n);
        ini.WriteInteger("Section0", "Key", 1);
        benchmark::DoNotOptimize(ini.Serialize());
    }
    state.SetComplexityN(state.range(0));
}
BENCHMARK(UpdateAndSerialize)->RangeMultiplier(8)->Range(64, 131072)->Complexity();

}  // namespace
