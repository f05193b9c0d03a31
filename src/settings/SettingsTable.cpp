#include "settings/SettingsTable.h"

#include <stdexcept>

namespace kpw {

namespace {

const SettingRow& TemplateRow(int tag) {
    const SettingRow* row = SettingWithTag(tag);
    if (!row || !std::holds_alternative<std::string Settings::*>(row->Member))
        throw std::out_of_range("no URL template with tag " + std::to_string(tag));
    return *row;
}

}  // namespace

Settings::Settings() {
    for (const SettingRow& row : SettingsTable) {
        std::visit(Overloaded{
                       [&](bool Settings::*member) { this->*member = row.Default != 0; },
                       [&](uint8_t Settings::*member) {
                           this->*member = static_cast<uint8_t>(row.Default);
                       },
                       [&](int32_t Settings::*member) { this->*member = row.Default; },
                       [&](std::string Settings::*member) {
                           this->*member = std::string(row.DefaultText);
                       },
                   },
                   row.Member);
    }
}

std::string& TemplateOf(Settings& settings, int tag) {
    return settings.*std::get<std::string Settings::*>(TemplateRow(tag).Member);
}

const std::string& TemplateOf(const Settings& settings, int tag) {
    return settings.*std::get<std::string Settings::*>(TemplateRow(tag).Member);
}

std::string_view DefaultTemplate(int tag) {
    return TemplateRow(tag).DefaultText;
}

}  // namespace kpw
