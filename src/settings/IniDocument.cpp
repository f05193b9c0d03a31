#include "settings/IniDocument.h"

#include <utility>

#include "settings/AsciiText.h"

namespace kpw {

namespace {

// CR and LF would end the line early and turn the rest into a line of its own.
std::string OnOneLine(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (c == '\r' || c == '\n') c = ' ';
    }
    return line;
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (text[pos] != '\r' && text[pos] != '\n') continue;
        lines.push_back(text.substr(start, pos - start));
        if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
        start = pos + 1;
    }
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

}  // namespace

std::optional<int32_t> ParseIniInteger(std::string_view value) {
    if (value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X')) {
        return DigitsValue(value.substr(2), 16, false);
    }
    if (value.starts_with('$')) return DigitsValue(value.substr(1), 16, false);
    bool negative = false;
    if (value.starts_with('+') || value.starts_with('-')) {
        negative = value[0] == '-';
        value.remove_prefix(1);
    }
    return DigitsValue(value, 10, negative);
}

IniDocument IniDocument::Parse(std::string_view text) {
    IniDocument document;
    Section* current = nullptr;
    for (std::string_view rawLine : SplitLines(text)) {
        const std::string_view line = TrimAscii(rawLine);
        if (line.empty() || line.starts_with(';')) continue;
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            const std::string_view name = TrimAscii(line.substr(1, line.size() - 2));
            // A repeated header continues the section it names, so each
            // name stands for one section when looking up and writing.
            current = document.FindSection(name);
            if (!current) current = &document.AppendSection(std::string(name));
            continue;
        }
        if (!current) continue;
        const auto position = static_cast<size_t>(current - document.sections_.data());
        const size_t equals = line.find('=');
        if (equals == std::string_view::npos) {
            document.AppendEntry(position, Entry{std::string(line), {}, false});
        } else {
            document.AppendEntry(position,
                                 Entry{std::string(TrimAscii(line.substr(0, equals))),
                                       std::string(TrimAscii(line.substr(equals + 1))), true});
        }
    }
    return document;
}

std::string IniDocument::Serialize() const {
    std::string text;
    for (const Section& section : sections_) {
        text += '[';
        text += section.Name;
        text += "]\r\n";
        for (const Entry& entry : section.Entries) {
            text += entry.Key;
            if (entry.HasValue) {
                text += '=';
                text += entry.Value;
            }
            text += "\r\n";
        }
        text += "\r\n";
    }
    return text;
}

size_t IniDocument::NameHash::operator()(std::string_view name) const {
    // FNV-1a over the lower-case letters.
    size_t hash = 14695981039346656037ull;
    for (char c : name)
        hash = (hash ^ static_cast<unsigned char>(LowerAscii(c))) * 1099511628211ull;
    return hash;
}

bool IniDocument::NameEqual::operator()(std::string_view a, std::string_view b) const {
    return EqualsIgnoringCase(a, b);
}

const IniDocument::Section* IniDocument::FindSection(std::string_view name) const {
    const auto found = sectionIndex_.find(name);
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

IniDocument::Section* IniDocument::FindSection(std::string_view name) {
    return const_cast<Section*>(std::as_const(*this).FindSection(name));
}

const IniDocument::Entry* IniDocument::FindEntry(size_t section, std::string_view key) const {
    const Index& keys = keyIndexes_[section];
    const auto found = keys.find(key);
    return found == keys.end() ? nullptr : &sections_[section].Entries[found->second];
}

IniDocument::Section& IniDocument::AppendSection(std::string name) {
    sectionIndex_.emplace(name, sections_.size());
    keyIndexes_.emplace_back();
    return sections_.emplace_back(Section{std::move(name), {}});
}

void IniDocument::AppendEntry(size_t section, Entry entry) {
    std::vector<Entry>& entries = sections_[section].Entries;
    if (entry.HasValue) keyIndexes_[section].emplace(entry.Key, entries.size());
    entries.push_back(std::move(entry));
}

std::optional<std::string> IniDocument::ReadValue(std::string_view section,
                                                  std::string_view key) const {
    const Section* found = FindSection(section);
    const Entry* entry =
        found ? FindEntry(static_cast<size_t>(found - sections_.data()), key) : nullptr;
    if (!entry) return std::nullopt;
    return entry->Value;
}

std::string IniDocument::ReadString(std::string_view section, std::string_view key,
                                    const std::string& defaultValue) const {
    std::optional<std::string> value = ReadValue(section, key);
    if (!value) return defaultValue;
    return std::move(*value);
}

int32_t IniDocument::ReadInteger(std::string_view section, std::string_view key,
                                 int32_t defaultValue) const {
    const std::optional<std::string> value = ReadValue(section, key);
    if (!value) return defaultValue;
    return ParseIniInteger(*value).value_or(defaultValue);
}

bool IniDocument::ReadBool(std::string_view section, std::string_view key,
                           bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniDocument::WriteString(std::string_view section, std::string_view key,
                              std::string_view value) {
    Section* target = FindSection(section);
    if (!target) target = &AppendSection(OnOneLine(section));
    const auto position = static_cast<size_t>(target - sections_.data());
    if (Entry* entry = const_cast<Entry*>(FindEntry(position, key))) {
        entry->Value = OnOneLine(value);
    } else {
        AppendEntry(position, Entry{OnOneLine(key), OnOneLine(value), true});
    }
}

void IniDocument::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniDocument::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

}  // namespace kpw
