#pragma once

// Who made which photo on the demo site. Plain C++ so that the test launcher
// and the site itself share one definition and cannot drift apart.

namespace kpw {

inline constexpr int DemoSiteUserCount = 1000;
inline constexpr int DemoSiteLastIndex = 2147483647;

// Photo N (1..2147483647) is by user ((N - 1) mod 1000) + 1; 0 for an index
// outside that range.
constexpr int DemoSiteAuthorOf(int photo) {
    return photo < 1 ? 0 : (photo - 1) % DemoSiteUserCount + 1;
}

// The k-th photo (k from 0) of user U, that is U + 1000 k; 0 when there is none
// because U is no user or the photo would lie past the last index.
constexpr int DemoSitePhotoOfUser(int user, int k) {
    if (user < 1 || user > DemoSiteUserCount || k < 0) {
        return 0;
    }
    const long long photo = user + static_cast<long long>(k) * DemoSiteUserCount;
    return photo <= DemoSiteLastIndex ? static_cast<int>(photo) : 0;
}

}  // namespace kpw
