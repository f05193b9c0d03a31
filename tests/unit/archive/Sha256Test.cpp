#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "archive/Sha256.h"

namespace kpw {
namespace {

// The digests of FIPS 180-2, whole and in pieces, and of a file.
TEST(Sha256Test, KnownDigestsWholeInPiecesAndOfAFile) {
    Sha256 hash;
    EXPECT_EQ(hash.HexDigest(), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    hash.Add("ab");
    hash.Add("c");
    EXPECT_EQ(hash.HexDigest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    // The hash starts anew after a digest.
    hash.Add("abc");
    EXPECT_EQ(hash.HexDigest(), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");

    const std::string path = testing::TempDir() + "/sha256-million-a";
    {
        std::ofstream file(path, std::ios::binary);
        file << std::string(1'000'000, 'a');
    }
    EXPECT_EQ(Sha256::OfFile(path),
              "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0");
    std::remove(path.c_str());
    EXPECT_EQ(Sha256::OfFile(path), std::nullopt);
}

}  // namespace
}  // namespace kpw
