#pragma once

#include <cstdint>
#include <string_view>

namespace kpw::texts {

// Language index: 0 English, 1 German. Texts are UTF-8; multi-line hints
// separate their lines by a single CR.
enum class Language : uint8_t { English = 0, German = 1 };
inline constexpr int English = static_cast<int>(Language::English);
inline constexpr int German = static_cast<int>(Language::German);
inline constexpr int LanguageCount = 2;

constexpr bool IsLanguage(int language) {
    return language >= 0 && language < LanguageCount;
}

// The column of a stored language number: German for German, English for
// anything else.
constexpr int LanguageIndex(int stored) {
    return stored == German ? German : English;
}

// The placeholders %1..%9 a text has, one bit each.
constexpr unsigned PlaceholderSet(std::string_view text) {
    unsigned found = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
            found |= 1U << (text[i + 1] - '1');
    }
    return found;
}

// What is wrong with a pair of texts, or nullptr. An unused slot of an
// indexed table is empty in both languages.
constexpr const char* TextPairFault(const char* en, const char* de) {
    if (en == nullptr || de == nullptr) return "a language is missing";
    const std::string_view english(en);
    const std::string_view german(de);
    if (english.empty() != german.empty()) return "one language is empty";
    if (PlaceholderSet(english) != PlaceholderSet(german))
        return "the languages fill in different placeholders";
    if (english.find('\n') != english.npos || german.find('\n') != german.npos)
        return "a line break other than CR";
    // German writes only these as English does.
    if (english == german && !english.empty() && english != "OK")
        return "the German text is the English one";
    return nullptr;
}

// Every Text checks its pair where it is made; in the constant tables a
// fault stops the build at the entry.
struct TextPairCheck {
    constexpr TextPairCheck(const char* en, const char* de) {
        if (TextPairFault(en, de) != nullptr) throw TextPairFault(en, de);
    }
};

// One text of the program in both languages, side by side.
struct Text {
    const char* En;
    const char* De;
    [[no_unique_address]] TextPairCheck Checked{En, De};

    constexpr const char* In(int language) const { return language == German ? De : En; }
};

}  // namespace kpw::texts
