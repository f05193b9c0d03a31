#include "browsing/URLTemplateTable.h"

#include <stdexcept>

namespace kpw {

std::string PutIndexIntoTemplate(std::string_view urlTemplate, int32_t index) {
    size_t star = urlTemplate.find(TemplatePlaceholder);
    if (star == std::string_view::npos) return std::string(urlTemplate);
    std::string url(urlTemplate.substr(0, star));
    url += std::to_string(index);
    url += urlTemplate.substr(star + 1);
    return url;
}

std::string TemplatePrefix(std::string_view urlTemplate) {
    size_t star = urlTemplate.find(TemplatePlaceholder);
    return star == std::string_view::npos ? std::string()
                                          : std::string(urlTemplate.substr(0, star));
}

std::string& URLTemplateTable::operator[](int slot) {
    switch (slot) {
        case TemplateURL11:
            return settings_.TemplateURL11;
        case TemplateURL12:
            return settings_.TemplateURL12;
        case TemplateURL13:
            return settings_.TemplateURL13;
        case TemplateURL14:
            return settings_.TemplateURL14;
        case TemplateURL20:
            return settings_.TemplateURL20;
        case TemplateURL30:
            return settings_.TemplateURL30;
        default:
            if (slot < 0 || slot >= SlotCount) throw std::out_of_range("URL template slot");
            return derived_[static_cast<size_t>(slot)];
    }
}

const std::string& URLTemplateTable::operator[](int slot) const {
    return const_cast<URLTemplateTable&>(*this)[slot];
}

void URLTemplateTable::RefreshURLTemplateTable() {
    URLTemplateTable& table = *this;
    for (int size = 1; size <= 4; ++size)
        table[SizePrefixSlot(size)] = TemplatePrefix(table[SizeTemplateSlot(size)]);
    table[PhotoTemplate] = table[SizeTemplateSlot(settings_.PhotoSize)];
    for (int mode = 1; mode <= 3; ++mode)
        table[ModePrefixSlot(mode)] = TemplatePrefix(table[ModeTemplateSlot(mode)]);
}

void URLTemplateTable::SelectPhotoTemplate() {
    URLTemplateTable& table = *this;
    table[PhotoTemplate] = table[SizeTemplateSlot(settings_.PhotoSize)];
    table[ModePrefix1] = table[SizePrefixSlot(settings_.PhotoSize)];
}

}  // namespace kpw
