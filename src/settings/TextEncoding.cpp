#include "settings/TextEncoding.h"

#include <array>
#include <cstdint>

namespace kpw {

namespace {

// Characters of the bytes 0x80 to 0x9F; the rest of Windows-1252 is Latin-1.
constexpr std::array<char32_t, 32> HighControlRange = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  // 80-87
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  // 88-8F
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90-97
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  // 98-9F
};

char32_t Windows1252Char(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F ? HighControlRange[byte - 0x80] : char32_t{byte};
}

std::optional<unsigned char> Windows1252Byte(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
    for (size_t i = 0; i < HighControlRange.size(); ++i) {
        if (HighControlRange[i] == c) return static_cast<unsigned char>(0x80 + i);
    }
    return std::nullopt;
}

// The well-formed sequence at pos: its character and length, or 0 as length.
size_t Utf8SequenceAt(std::string_view text, size_t pos, char32_t& c) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[pos + i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    size_t length = 0;
    char32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        c = lead & 0x1F;
        lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        c = lead & 0x0F;
        lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        c = lead & 0x07;
        lowest = 0x10000;
    } else {
        return 0;
    }
    if (pos + length > text.size()) return 0;
    for (size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        c = (c << 6) | (byte(i) & 0x3F);
    }
    if (c < lowest || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

// The character at pos and its length; a malformed byte counts as one
// Windows-1252 character.
size_t CharAt(std::string_view text, size_t pos, char32_t& c) {
    const size_t length = Utf8SequenceAt(text, pos, c);
    if (length > 0) return length;
    c = Windows1252Char(static_cast<unsigned char>(text[pos]));
    return 1;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

bool HasNonAscii(std::string_view bytes) {
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80) return true;
    }
    return false;
}

// The text as well-formed UTF-8, malformed bytes read as Windows-1252.
std::string WellFormedUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char32_t c = 0;
    for (size_t pos = 0; pos < text.size();) {
        pos += CharAt(text, pos, c);
        AppendUtf8(out, c);
    }
    return out;
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
    char32_t c = 0;
    for (size_t pos = 0; pos < bytes.size();) {
        const size_t length = Utf8SequenceAt(bytes, pos, c);
        if (length == 0) return false;
        pos += length;
    }
    return true;
}

std::string Windows1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) AppendUtf8(out, Windows1252Char(static_cast<unsigned char>(b)));
    return out;
}

std::optional<std::string> Utf8ToWindows1252(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    char32_t c = 0;
    for (size_t pos = 0; pos < text.size();) {
        pos += CharAt(text, pos, c);
        const std::optional<unsigned char> byte = Windows1252Byte(c);
        if (!byte) return std::nullopt;
        out += static_cast<char>(*byte);
    }
    return out;
}

std::string DecodeIniBytes(std::string_view bytes) {
    if (bytes.starts_with(ByteOrderMark) && IsValidUtf8(bytes)) {
        return std::string(bytes.substr(ByteOrderMark.size()));
    }
    if (HasNonAscii(bytes) && IsValidUtf8(bytes)) return std::string(bytes);
    return Windows1252ToUtf8(bytes);
}

std::string EncodeIniText(std::string_view text) {
    std::optional<std::string> ansi = Utf8ToWindows1252(text);
    // Windows-1252 bytes that happen to form UTF-8 ("Ã¤") would be read
    // back as other characters; UTF-8 keeps them apart.
    if (ansi && !(HasNonAscii(*ansi) && IsValidUtf8(*ansi))) return std::move(*ansi);
    return WellFormedUtf8(text);
}

}  // namespace kpw
