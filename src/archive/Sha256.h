#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace kpw {

// SHA-256 as the archive records it, in lower-case hex, from the system's
// crypto library, which uses the processor's own instructions where there
// are any: a photo is hashed as fast as it arrives.
class Sha256 {
public:
    Sha256();
    ~Sha256();
    Sha256(const Sha256&) = delete;
    Sha256& operator=(const Sha256&) = delete;

    void Add(std::string_view bytes);
    // The digest of everything added; the hash starts anew after it.
    std::string HexDigest();

    // The digest of a whole file; nothing when it cannot be read.
    static std::optional<std::string> OfFile(const std::string& path);

private:
    struct Context;
    std::unique_ptr<Context> context_;
};

}  // namespace kpw
