#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace kpw {

// The photos this session has found missing, for each photo template. The
// set is bounded: beyond its capacity the oldest entry is dropped.
class KnownMissing {
public:
    static constexpr size_t DefaultCapacity = 100000;
    explicit KnownMissing(size_t capacity = DefaultCapacity);

    void Add(const std::string& photoTemplate, int32_t index);
    bool Contains(const std::string& photoTemplate, int32_t index) const;
    void Forget(const std::string& photoTemplate, int32_t index);
    void Clear();
    size_t Size() const { return entries_.size(); }
    // Templates that address the same photos by index (the photo sizes, the
    // information page): a photo missing under one is missing under all.
    void Share(const std::vector<std::string>& templates);

private:
    uint32_t IdOf(const std::string& photoTemplate);
    std::optional<uint64_t> KeyOf(const std::string& photoTemplate, int32_t index) const;
    void DropOldest();

    size_t capacity_;
    std::unordered_map<std::string, uint32_t> templateIds_;
    uint32_t nextTemplateId_ = 0;
    // Each entry with the number of its adding; the order holds the numbers
    // oldest first, including those of entries forgotten since.
    std::unordered_map<uint64_t, uint64_t> entries_;
    std::deque<std::pair<uint64_t, uint64_t>> order_;
    uint64_t added_ = 0;
};

// Where a step onto known-missing photos lands.
struct KnownGapJump {
    int32_t Target = 0;
    // The known-missing indexes jumped over, from the step's own target on.
    int32_t Skipped = 0;
};

// From target in the direction of travel: the first index that is not known
// missing, jumping over at most `allowed` indexes (what is left of the skip
// count). Like the skip chain, it stops at 1 and at the highest index, which
// are shown as they come.
KnownGapJump JumpOverKnownMissing(const std::function<bool(int32_t)>& knownMissing, int32_t target,
                                  bool down, int32_t allowed);

// What the pages fetched ahead should cover.
struct PreloadAim {
    // What the pages show (template and view); a new key starts afresh.
    std::string Key;
    int32_t Current = 1;
    bool Down = false;
    // Pages ahead, the hidden view's neighbour (distance 1) included.
    int32_t Depth = 1;
    // The farthest distance from Current that may be fetched.
    int32_t Reach = 1;
    // Missing pages ahead are told apart and do not count against the depth.
    bool SkipsMissing = false;
};

// The planning of the off-screen pages that fetch beyond the hidden view's
// neighbour: which index goes to which page, at most MaxInFlight at a time,
// and which loads a new aim no longer wants. Nothing here loads anything.
class PreloadQueue {
public:
    static constexpr int MaxInFlight = 2;
    // Fetched pages remembered per key, so none is asked for twice.
    static constexpr size_t FetchedMemory = 64;

    struct Fetch {
        size_t Page = 0;
        int32_t Index = 0;
    };

    explicit PreloadQueue(size_t pageCount = 0) : pages_(pageCount) {}
    void SetPageCount(size_t pageCount);
    size_t PageCount() const { return pages_.size(); }
    const PreloadAim& Aim() const { return aim_; }

    // Takes a new aim and returns the pages whose loads no longer serve it:
    // all of them when the key or the direction changed, else those beyond
    // the new reach. Their loads are left to end by themselves (at most
    // MaxInFlight requests), and what they bring is dropped: an engine page
    // stopped before its answer need not report an end at all, and would
    // then be held for good.
    std::vector<size_t> Aim(const PreloadAim& aim);
    // No load running now serves any aim; the aim stays.
    std::vector<size_t> CancelAll();

    // The next index to fetch and a free page for it, or nothing when the
    // depth is covered, MaxInFlight loads run or no page is free.
    std::optional<Fetch> Next(const std::function<bool(int32_t)>& knownMissing) const;
    void Started(const Fetch& fetch);
    // A page free for a load of another kind, within MaxInFlight.
    std::optional<size_t> FreePage() const;
    // A page's load ended: the index it fetched for the aim, or nothing for a
    // dropped load. The page is free again either way.
    std::optional<int32_t> Finished(size_t page);
    // The index's page is in the cache now.
    void Fetched(int32_t index);
    bool WasFetched(int32_t index) const;
    bool InFlight(int32_t index) const;
    int InFlightCount() const;
    // A load for the aim is under way (a dropped one brings nothing).
    bool Awaiting() const;

private:
    enum class PageState { Free, Loading, Dropped };
    struct Page {
        PageState State = PageState::Free;
        int32_t Index = 0;
    };
    bool WithinReach(int32_t index) const;

    std::vector<Page> pages_;
    PreloadAim aim_;
    bool aimed_ = false;
    std::deque<int32_t> fetched_;
};

}  // namespace kpw
