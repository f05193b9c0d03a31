#include "archive/Sha256.h"

#include <openssl/evp.h>

#include <array>
#include <fstream>
#include <stdexcept>

namespace kpw {

struct Sha256::Context {
    EVP_MD_CTX* Digest = EVP_MD_CTX_new();
    ~Context() { EVP_MD_CTX_free(Digest); }
};

Sha256::Sha256() : context_(std::make_unique<Context>()) {
    if (!context_->Digest || EVP_DigestInit_ex(context_->Digest, EVP_sha256(), nullptr) != 1)
        throw std::runtime_error("SHA-256 is not available");
}

Sha256::~Sha256() = default;

void Sha256::Add(std::string_view bytes) {
    EVP_DigestUpdate(context_->Digest, bytes.data(), bytes.size());
}

std::string Sha256::HexDigest() {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EVP_DigestFinal_ex(context_->Digest, digest.data(), &length);
    EVP_DigestInit_ex(context_->Digest, EVP_sha256(), nullptr);
    static constexpr char Hex[] = "0123456789abcdef";
    std::string text;
    text.reserve(length * 2);
    for (unsigned int i = 0; i < length; ++i) {
        text += Hex[digest[i] >> 4];
        text += Hex[digest[i] & 0x0F];
    }
    return text;
}

std::optional<std::string> Sha256::OfFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return std::nullopt;
    Sha256 hash;
    std::array<char, 256 * 1024> buffer{};
    while (file) {
        file.read(buffer.data(), static_cast<std::streamsize>(buffer.size()));
        hash.Add(std::string_view(buffer.data(), static_cast<size_t>(file.gcount())));
    }
    if (file.bad()) return std::nullopt;
    return hash.HexDigest();
}

}  // namespace kpw
