#pragma once

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>

namespace kpw::archive {

// The indexes a search from `from` looks at: limit of them upwards, or
// downwards when down, cut at the ends of int32_t. Low <= High, or none.
struct IndexSpan {
    int32_t Low = 0;
    int32_t High = 0;
};

inline std::optional<IndexSpan> SpanOfSearch(int32_t from, bool down, int32_t limit) {
    if (limit <= 0) return std::nullopt;
    const int64_t far = down ? int64_t{from} - (limit - 1) : int64_t{from} + (limit - 1);
    const int64_t clamped = std::clamp<int64_t>(far, std::numeric_limits<int32_t>::min(),
                                                std::numeric_limits<int32_t>::max());
    const auto other = static_cast<int32_t>(clamped);
    return down ? IndexSpan{other, from} : IndexSpan{from, other};
}

// The number of entries a range lookup gives: count within the bounds of
// the interface and the indexes that exist.
inline int32_t EntriesOfRange(int32_t first, int32_t count, int32_t maxRange) {
    if (count <= 0) return 0;
    const int64_t room = int64_t{std::numeric_limits<int32_t>::max()} - first + 1;
    return static_cast<int32_t>(std::min<int64_t>({count, maxRange, room}));
}

}  // namespace kpw::archive
