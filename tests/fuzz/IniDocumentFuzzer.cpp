// libFuzzer harness of the settings file reader and writer: any bytes must
// decode, parse, serialise and parse again to the same document, and the
// text encoding must give back what it was given.
#include <string>

#include "FuzzInput.h"
#include "settings/AsciiText.h"
#include "settings/IniDocument.h"
#include "settings/TextEncoding.h"

namespace {

bool SameDocument(const kpw::IniDocument& a, const kpw::IniDocument& b) {
    const auto& x = a.Sections();
    const auto& y = b.Sections();
    if (x.size() != y.size()) return false;
    for (size_t s = 0; s < x.size(); ++s) {
        if (x[s].Name != y[s].Name || x[s].Entries.size() != y[s].Entries.size()) return false;
        for (size_t e = 0; e < x[s].Entries.size(); ++e) {
            const auto& p = x[s].Entries[e];
            const auto& q = y[s].Entries[e];
            if (p.Key != q.Key || p.Value != q.Value || p.HasValue != q.HasValue) return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes = kpw::fuzz::Expand(data, size);

    // What the store does on loading: bytes to UTF-8 text, text to document.
    const std::string text = kpw::DecodeIniBytes(bytes);
    KPW_FUZZ_REQUIRE(kpw::IsValidUtf8(text), "decoded text is UTF-8");
    const kpw::IniDocument first = kpw::IniDocument::Parse(text);

    // What it does on saving, and reading that file again.
    const std::string serialised = first.Serialize();
    const std::string written = kpw::EncodeIniText(serialised);
    KPW_FUZZ_REQUIRE(kpw::DecodeIniBytes(written) == serialised, "encoding round trip");
    const kpw::IniDocument second = kpw::IniDocument::Parse(kpw::DecodeIniBytes(written));
    KPW_FUZZ_REQUIRE(SameDocument(first, second), "parse, serialise, parse");
    KPW_FUZZ_REQUIRE(second.Serialize() == serialised, "serialising is stable");

    // Every byte sequence is Windows-1252 text and comes back unchanged.
    const std::string asUtf8 = kpw::Windows1252ToUtf8(bytes);
    KPW_FUZZ_REQUIRE(kpw::IsValidUtf8(asUtf8), "Windows-1252 decodes to UTF-8");
    const auto back = kpw::Utf8ToWindows1252(asUtf8);
    KPW_FUZZ_REQUIRE(back && *back == bytes, "Windows-1252 round trip");

    // Whatever is read by name is what the document holds under that name.
    for (const auto& section : first.Sections()) {
        for (const auto& entry : section.Entries) {
            if (!entry.HasValue) continue;
            const auto value = first.ReadValue(section.Name, entry.Key);
            KPW_FUZZ_REQUIRE(value.has_value(), "a key that is there can be read");
            (void)first.ReadInteger(section.Name, entry.Key, 0);
            break;
        }
    }

    // A value written under a plain key reads back as written, less the line
    // breaks and the blanks at either end that a line cannot keep.
    kpw::IniDocument edited = first;
    const std::string value(text.substr(0, 4096));
    edited.WriteString("Fuzz", "Value", value);
    const kpw::IniDocument reread = kpw::IniDocument::Parse(edited.Serialize());
    std::string expected = value;
    for (char& c : expected) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    const auto readBack = reread.ReadValue("Fuzz", "Value");
    KPW_FUZZ_REQUIRE(readBack && *readBack == std::string(kpw::TrimAscii(expected)),
                     "written value");
    return 0;
}
