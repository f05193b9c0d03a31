#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kpw {

// The settings file is Windows-1252, as the files of earlier versions are;
// the program's strings are UTF-8. Text that Windows-1252 cannot hold makes
// the whole file UTF-8 instead, and the reader tells the two apart.

// Well-formed UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// Every byte maps to one character, so any byte sequence converts and the
// way back gives the same bytes. The five positions that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) become the C1 controls of the
// same number.
std::string Windows1252ToUtf8(std::string_view bytes);

// The Windows-1252 bytes of a UTF-8 text, or nothing when a character has no
// place there. Bytes that are not valid UTF-8 are taken as Windows-1252
// characters, so no input is refused for being malformed.
std::optional<std::string> Utf8ToWindows1252(std::string_view text);

// The file's bytes as UTF-8: UTF-8 when they are valid UTF-8 and hold a
// non-ASCII byte (a leading byte-order mark is dropped), Windows-1252 otherwise.
std::string DecodeIniBytes(std::string_view bytes);

// The bytes to write for a UTF-8 text: Windows-1252 when every character
// fits and the result cannot be mistaken for UTF-8 by DecodeIniBytes,
// otherwise UTF-8 without a byte-order mark (which earlier versions would take
// for part of the first section header). DecodeIniBytes(EncodeIniText(t))
// gives t back for every valid UTF-8 text t.
std::string EncodeIniText(std::string_view text);

}  // namespace kpw
