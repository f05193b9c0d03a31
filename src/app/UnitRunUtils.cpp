#include "app/UnitRunUtils.h"

#include "settings/AsciiText.h"

namespace kpw {

const uint16_t BlockedLanguageIds[BlockedLanguageCount] = {
    0x0401, 0x0801, 0x0C01, 0x1001, 0x1401, 0x1801, 0x1C01, 0x2001, 0x2401, 0x2801, 0x2C01,
    0x3001, 0x3401, 0x3801, 0x3C01, 0x4001, 0x0402, 0x0405, 0x0415, 0x0418, 0x0419, 0x041A,
    0x0C1A, 0x041B, 0x041C, 0x041F, 0x0422, 0x0423, 0x0424, 0x081A, 0x0429,
};

// "Kelvaro Photo Wizard" and "Kelvaro Photo Wizard cannot be used with the
// language setting of this computer.", scrambled.
std::string BlockedCaption =
    "\xB4\x2E\xBD\x34\xAA\x27\xB7\x68\xC7\x50\xC0\x4B\xDB\x04\xAC\x3A\xBF\x21\xAC\x37";
std::string BlockedMessage =
    "\xB4\x2E\xBD\x34\xAA\x27\xB7\x68\xC7\x50\xC0\x4B\xDB\x04\xAC\x3A\xBF\x21\xAC\x37\xE8\x74"
    "\xEA\x7B\xEA\x7A\xF1\x2E\xB3\x29\xF6\x7C\xF0\x6A\xF1\x2E\xA6\x30\xBB\x2C\xF3\x78\xEF\x75"
    "\xAA\x39\xA7\x36\xAE\x24\xBA\x22\xB8\x67\xEB\x71\xFA\x71\xE7\x76\xEE\x31\xA1\x38\xE7\x6C"
    "\xFB\x6D\xE1\x3E\xA2\x32\xA0\x2F\xA5\x2E\xB4\x39\xE8";

namespace {

// The runtime's string-to-integer conversion of a "$"-prefixed text: hex
// digits only, at least one, within 32 bits.
bool HexToInt(const std::string& text, uint32_t& value) {
    if (text.empty() || text[0] != '$') return false;
    const std::optional<uint64_t> read =
        DigitsMagnitude(std::string_view(text).substr(1), 16, 0xFFFFFFFFull);
    if (!read) return false;
    value = static_cast<uint32_t>(*read);
    return true;
}

}  // namespace

GateResult IsBlockedUserLanguage(const std::string& languageIdText) {
    // The answer buffer holds nine characters up to its terminating zero.
    std::string answer = languageIdText.substr(0, 9);
    answer = answer.substr(0, answer.find('\0'));
    GateResult result;
    uint32_t value = 0;
    if (!HexToInt("$" + answer, value)) return result;
    result.UserLanguageId = static_cast<uint16_t>(value & 0xFFFF);
    for (uint16_t id : BlockedLanguageIds) {
        if (id == result.UserLanguageId) {
            result.LanguageBlocked = true;
            break;
        }
    }
    return result;
}

void UnscrambleText(std::string& text) {
    for (size_t i = text.size(); i >= 2; --i) {
        const auto previous = static_cast<unsigned char>(text[i - 2]);
        text[i - 1] = static_cast<char>(static_cast<unsigned char>(text[i - 1]) ^
                                        static_cast<unsigned char>(~previous));
    }
    if (!text.empty()) text[0] = static_cast<char>(~static_cast<unsigned char>(text[0]));
}

bool RunLocaleGate(const std::string& languageIdText) {
    if (!IsBlockedUserLanguage(languageIdText).LanguageBlocked) return false;
    UnscrambleText(BlockedCaption);
    UnscrambleText(BlockedMessage);
    return true;
}

void ReleaseBlockedTexts() {
    std::string().swap(BlockedCaption);
    std::string().swap(BlockedMessage);
}

}  // namespace kpw
