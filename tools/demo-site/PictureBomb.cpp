#include "PictureBomb.h"

#include <QByteArray>
#include <algorithm>
#include <array>

namespace kpw {

namespace {

// Rows of the IDAT: enough that it is more than a token, few enough that
// the file stays small (zeros compress a thousandfold).
constexpr std::uint32_t SentRows = 8;

std::uint32_t Crc32(const std::string& bytes) {
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    std::uint32_t crc = 0xFFFFFFFFu;
    for (const char byte : bytes)
        crc = table[(crc ^ static_cast<unsigned char>(byte)) & 0xFF] ^ (crc >> 8);
    return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian(std::string& out, std::uint32_t value) {
    for (int shift = 24; shift >= 0; shift -= 8) out += static_cast<char>((value >> shift) & 0xFF);
}

// Length, type, data and the CRC over type and data.
void PutChunk(std::string& out, const char* type, const std::string& data) {
    PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
    const std::string typed = std::string(type, 4) + data;
    out += typed;
    PutBigEndian(out, Crc32(typed));
}

}  // namespace

std::string DeclaredHugePng(std::uint32_t width, std::uint32_t height) {
    std::string png("\x89PNG\r\n\x1A\n", 8);
    std::string header;
    PutBigEndian(header, width);
    PutBigEndian(header, height);
    // 8 bits, truecolour, deflate, no filter method, no interlace.
    header += std::string("\x08\x02\x00\x00\x00", 5);
    PutChunk(png, "IHDR", header);
    // Each row: filter type 0 and three zero bytes a pixel.
    const std::uint32_t rows = std::min(SentRows, height);
    const QByteArray raw(static_cast<qsizetype>(rows) * (3 * qsizetype{width} + 1), '\0');
    // qCompress puts the length in front of the zlib stream.
    const QByteArray zlib = qCompress(raw, 9).mid(4);
    PutChunk(png, "IDAT", zlib.toStdString());
    PutChunk(png, "IEND", {});
    return png;
}

}  // namespace kpw
