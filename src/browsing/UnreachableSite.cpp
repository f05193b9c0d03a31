#include "browsing/UnreachableSite.h"

#include <optional>

#include "browsing/WindowKeys.h"
#include "settings/SettingsTable.h"
#include "texts/Texts.h"

namespace kpw {

bool IsSiteUnreachable(int netError) {
    // ERR_CONNECTION_REFUSED, ERR_NAME_NOT_RESOLVED, ERR_INTERNET_DISCONNECTED,
    // ERR_ADDRESS_UNREACHABLE, ERR_NAME_RESOLUTION_FAILED.
    return netError == -102 || netError == -105 || netError == -106 || netError == -109 ||
           netError == -137;
}

bool UsesDefaultAddresses(const Settings& settings) {
    for (int tag : TemplateTags)
        if (TemplateOf(settings, tag) == DefaultTemplate(tag)) return true;
    return false;
}

std::string SiteAddressesHint(const Settings& settings, const DocumentContent& content) {
    if (!content.SiteUnreachable || !UsesDefaultAddresses(settings)) return {};
    const int language = texts::LanguageIndex(settings.Language);
    const std::optional<KeyStroke> key = KeyOfButton(ToolButton::Settings);
    return texts::FillIn(texts::Start.SiteAddressesInSettings.In(language),
                         {key ? KeyName(*key, language) : std::string()});
}

}  // namespace kpw
