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

std::string& TemplateOf(Settings& settings, int tag) {
    return settings.*std::get<std::string Settings::*>(TemplateRow(tag).Member);
}

const std::string& TemplateOf(const Settings& settings, int tag) {
    return settings.*std::get<std::string Settings::*>(TemplateRow(tag).Member);
}

std::string_view DefaultTemplate(int tag) {
    return TemplateRow(tag).Default.Text;
}

}  // namespace kpw
