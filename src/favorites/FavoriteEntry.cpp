#include "favorites/FavoriteEntry.h"

#include "browsing/IndexText.h"

namespace kpw {

namespace {

bool IsContinuationByte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Bytes of the character a lead byte begins (1 for anything else).
size_t SequenceLength(char lead) {
    const auto b = static_cast<unsigned char>(lead);
    return b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
}

// A character cut short by a byte-counting limit elsewhere is dropped whole.
void DropIncompleteLastCharacter(std::string& text) {
    size_t lead = text.size();
    while (lead > 0 && IsContinuationByte(text[lead - 1])) --lead;
    if (lead == 0) return;
    --lead;
    if (text.size() - lead < SequenceLength(text[lead])) text.resize(lead);
}

}  // namespace

std::string LimitCharacters(std::string_view text, size_t maxCharacters) {
    size_t characters = 0;
    for (size_t pos = 0; pos < text.size(); ++pos) {
        if (IsContinuationByte(text[pos])) continue;
        if (characters == maxCharacters) return std::string(text.substr(0, pos));
        ++characters;
    }
    return std::string(text);
}

std::string CleanRemark(std::string_view remark) {
    std::string limited = LimitCharacters(remark, MaxRemarkLength);
    DropIncompleteLastCharacter(limited);
    for (char& c : limited) {
        if (static_cast<unsigned char>(c) < ' ' || c == '\x7F') c = ' ';
    }
    return std::string(TrimAscii(limited));
}

FavoriteEntry MakeFavoriteEntry(std::string_view indexText, std::string_view remark) {
    FavoriteEntry entry(indexText);
    entry += FavoriteSeparator;
    entry += remark;
    return entry;
}

}  // namespace kpw
