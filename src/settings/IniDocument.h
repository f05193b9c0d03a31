#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace kpw {

// An INI file held in memory, as UTF-8 text. Sections and keys are found
// without regard to ASCII letter case and keep the order and spelling they
// had in the file; unknown ones are carried through untouched. Comments,
// blank lines and lines before the first section are dropped on reading.
class IniDocument {
public:
    // One line of a section: a key with its value, or a line without "="
    // that is kept as it stands (then Key holds the whole line).
    struct Entry {
        std::string Key;
        std::string Value;
        bool HasValue = true;
    };
    struct Section {
        std::string Name;
        std::vector<Entry> Entries;
    };

    // Lines may end in CR LF, LF or CR.
    static IniDocument Parse(std::string_view text);

    // Every section as its header, its lines and one empty line, each line
    // ending in CR LF.
    std::string Serialize() const;

    const std::vector<Section>& Sections() const { return sections_; }
    const Section* FindSection(std::string_view name) const;

    std::optional<std::string> ReadValue(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& defaultValue) const;
    // A value that is not an integer gives the default.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
    // Read as an integer: anything but 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Sets the first matching key, or appends the key (and the section) when
    // absent. CR and LF in the value become blanks, so that no value can
    // start a line of its own.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

private:
    // Names without regard to ASCII letter case, so that finding a section
    // or key costs the same however many the file holds.
    struct NameHash {
        using is_transparent = void;
        size_t operator()(std::string_view name) const;
    };
    struct NameEqual {
        using is_transparent = void;
        bool operator()(std::string_view a, std::string_view b) const;
    };
    using Index = std::unordered_map<std::string, size_t, NameHash, NameEqual>;

    Section* FindSection(std::string_view name);
    const Entry* FindEntry(size_t section, std::string_view key) const;
    Section& AppendSection(std::string name);
    void AppendEntry(size_t section, Entry entry);

    std::vector<Section> sections_;
    Index sectionIndex_;
    // Per section, its keys with values; the first of repeated keys counts.
    std::vector<Index> keyIndexes_;
};

// The integer syntax of values: decimal with an optional sign, or
// hexadecimal after "0x", "0X" or "$"; the value must fit 32 signed bits.
std::optional<int32_t> ParseIniInteger(std::string_view value);

}  // namespace kpw
