#include "browsing/URLTemplateTable.h"

#include <stdexcept>

#include "settings/SettingsTable.h"

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

namespace {

// The tag of the template a slot stands for, 0 for the derived slots.
int TemplateTagOfSlot(int slot) {
    switch (slot) {
        case URLTemplateTable::TemplateURL11:
        case URLTemplateTable::TemplateURL12:
        case URLTemplateTable::TemplateURL13:
        case URLTemplateTable::TemplateURL14:
            return 10 + slot;
        case URLTemplateTable::TemplateURL20:
            return 20;
        case URLTemplateTable::TemplateURL30:
            return 30;
        default:
            return 0;
    }
}

}  // namespace

std::string& URLTemplateTable::operator[](int slot) {
    if (slot < 0 || slot >= SlotCount) throw std::out_of_range("URL template slot");
    const int tag = TemplateTagOfSlot(slot);
    return tag ? TemplateOf(settings_, tag) : derived_[static_cast<size_t>(slot)];
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
