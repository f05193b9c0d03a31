#pragma once

#include <cstdint>
#include <string>

// The start-up locale gate: the program refuses to run for a fixed set of
// user languages.
namespace kpw {

inline constexpr int BlockedLanguageCount = 31;
extern const uint16_t BlockedLanguageIds[BlockedLanguageCount];

// The gate's error box texts, held scrambled until the gate fires.
extern std::string BlockedCaption;
extern std::string BlockedMessage;

struct GateResult {
    uint16_t UserLanguageId = 0;
    bool LanguageBlocked = false;
};

// languageIdText is the locale answer, four hex digits such as "0419".
// An answer that is not a hexadecimal number blocks nothing.
GateResult IsBlockedUserLanguage(const std::string& languageIdText);

// Undoes the scrambling of the stored texts, in place.
void UnscrambleText(std::string& text);

// Start-up action of the gate: tests the user's language and, on a match,
// unscrambles the texts. Returns whether the gate fired.
bool RunLocaleGate(const std::string& languageIdText);

// Shutdown action: releases the two texts.
void ReleaseBlockedTexts();

}  // namespace kpw
