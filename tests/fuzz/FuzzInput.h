#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace kpw::fuzz {

// The fuzzers start from small inputs; a first byte of 0xFF asks for the
// rest to be repeated up to about 1 MB, so that single huge lines and long
// runs of NUL bytes are reached without a 1 MB seed.
inline std::string Expand(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.empty() || static_cast<unsigned char>(bytes.front()) != 0xFF) {
        return std::string(bytes);
    }
    bytes.remove_prefix(1);
    if (bytes.empty()) return std::string(1 << 20, '\0');
    std::string text;
    text.reserve((1 << 20) + bytes.size());
    while (text.size() < (1 << 20)) text += bytes;
    return text;
}

}  // namespace kpw::fuzz

// A broken property is a finding: say which, and stop so that libFuzzer
// keeps the input.
#define KPW_FUZZ_REQUIRE(condition, what)                          \
    do {                                                           \
        if (!(condition)) {                                        \
            std::fprintf(stderr, "property broken: %s\n", (what)); \
            std::abort();                                          \
        }                                                          \
    } while (false)
