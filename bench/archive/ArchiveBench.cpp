// An archive with a million seen photos: its size on disk, and what the
// window asks of it for a sheet of 40 cells, a step to the next photo not
// seen and a note. The archive is filled once and the figures printed first.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "archive/SqliteArchive.h"

namespace {

namespace fs = std::filesystem;

const std::string Photos = "https://static.kelvaro.example/photos/*.jpg";
constexpr int32_t Seen = 1'000'000;
constexpr int64_t Now = 1'700'000'000;

struct Filled {
    std::string Folder;
    std::unique_ptr<kpw::SqliteArchive> Archive;
};

Filled& Archive() {
    static Filled filled = [] {
        Filled made;
        std::string pattern = (fs::temp_directory_path() / "kpw-bench-archive-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        made.Folder = pattern;
        const std::string path = made.Folder + "/archive.sqlite";
        {
            kpw::OpenResult opened = kpw::SqliteArchive::Open(path);
            if (!opened.Archive) std::abort();
            kpw::ArchiveBatch batch(*opened.Archive);
            for (int32_t i = 0; i < Seen; ++i) opened.Archive->NoteSeen(Photos, i, Now + i);
            // Every tenth photo kept, every hundredth missing, as a range kept would leave them.
            for (int32_t i = 0; i < Seen; i += 10)
                opened.Archive->NoteKept(
                    Photos, i,
                    kpw::KeptFile{"/home/user/Pictures/kelvaro/" + std::to_string(i) + ".jpg",
                                  2'500'000, std::string(64, 'e'), Now + i});
            for (int32_t i = 5; i < Seen; i += 100)
                opened.Archive->NoteMissing(Photos, i, kpw::MissingHow::Status, Now + i);
            if (!batch.Commit()) std::abort();
        }
        // Closed, so the log is folded into the file before it is measured.
        std::printf("archive of %d seen, %d kept, %d missing: %.1f MB\n", Seen, Seen / 10,
                    Seen / 100, static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0));
        made.Archive = std::move(kpw::SqliteArchive::Open(path).Archive);
        if (!made.Archive) std::abort();
        return made;
    }();
    return filled;
}

void SeenOnly(benchmark::State& state) {
    // The size of the seen table alone, without kept and missing rows.
    std::string pattern = (fs::temp_directory_path() / "kpw-bench-archive-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    const std::string path = pattern + "/seen.sqlite";
    for (auto _ : state) {
        kpw::OpenResult opened = kpw::SqliteArchive::Open(path);
        kpw::ArchiveBatch batch(*opened.Archive);
        for (int32_t i = 0; i < Seen; ++i) opened.Archive->NoteSeen(Photos, i, Now + i);
        batch.Commit();
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(path)) / (1024.0 * 1024.0);
    fs::remove_all(pattern);
}
BENCHMARK(SeenOnly)->Iterations(1)->Unit(benchmark::kMillisecond);

void LookupRange40(benchmark::State& state) {
    kpw::SqliteArchive& archive = *Archive().Archive;
    int32_t first = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(archive.LookupRange(Photos, first, 40));
        first = (first + 7919) % (Seen - 40);
    }
}
BENCHMARK(LookupRange40)->Unit(benchmark::kMicrosecond);

void NextNotSeenOverThousandSeen(benchmark::State& state) {
    kpw::SqliteArchive& archive = *Archive().Archive;
    for (auto _ : state)
        benchmark::DoNotOptimize(archive.NextNotSeen(Photos, Seen - 1000, false, 2000));
}
BENCHMARK(NextNotSeenOverThousandSeen)->Unit(benchmark::kMicrosecond);

// What the start of the program pays: opening the filled archive, its
// quick check of the file included, while the window holds it open too.
void OpenAtStart(benchmark::State& state) {
    const std::string path = Archive().Folder + "/archive.sqlite";
    for (auto _ : state) {
        kpw::OpenResult opened = kpw::SqliteArchive::Open(path);
        if (!opened.Archive) std::abort();
    }
}
BENCHMARK(OpenAtStart)->Unit(benchmark::kMillisecond);

void NoteSeenInItsOwnTransaction(benchmark::State& state) {
    kpw::SqliteArchive& archive = *Archive().Archive;
    int32_t index = Seen;
    for (auto _ : state) archive.NoteSeen(Photos, index++, Now);
}
BENCHMARK(NoteSeenInItsOwnTransaction)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    Archive();
    benchmark::RunSpecifiedBenchmarks();
    const std::string folder = Archive().Folder;
    Archive().Archive.reset();
    fs::remove_all(folder);
    return 0;
}
