#include "settings/SettingsDialogValues.h"

#include <stdexcept>

#include "settings/IntegerSyntax.h"
#include "texts/SettingsFormTexts.h"
#include "texts/Texts.h"

namespace kpw {

namespace {

std::string BoundedText(int32_t value, IntegerBounds bounds) {
    return std::to_string(Clamp(value, bounds.Low, bounds.High));
}

// The position of a tag in MoreNumberTags; std::out_of_range for other tags.
size_t MoreNumberPosition(int tag) {
    for (size_t i = 0; i < MoreNumberTags.size(); ++i) {
        if (MoreNumberTags[i] == tag) return i;
    }
    throw std::out_of_range("no number field with tag " + std::to_string(tag));
}

size_t MoreSwitchPosition(int tag) {
    for (size_t i = 0; i < MoreSwitchTags.size(); ++i) {
        if (MoreSwitchTags[i] == tag) return i;
    }
    throw std::out_of_range("no check box with tag " + std::to_string(tag));
}

// The field of a "More options" number, of a const or a changeable record.
template <typename Record>
auto& MoreNumberOf(Record& settings, int tag) {
    return settings.*std::get<int32_t Settings::*>(SettingWithTag(tag)->Member);
}

template <typename Record>
auto& MoreSwitchOf(Record& settings, int tag) {
    return settings.*std::get<bool Settings::*>(SettingWithTag(tag)->Member);
}

}  // namespace

std::string MoreOptionsLabel(int tag, int language) {
    const SettingRow* row = SettingWithTag(tag);
    if (!row || row->Dialog.MoreOptionsRow < 0) return {};
    return row->Dialog.Label.In(language);
}

std::string MoreOptionsHint(int tag, int language) {
    const SettingRow* row = SettingWithTag(tag);
    if (!row || row->Dialog.MoreOptionsRow < 0) return {};
    const char* hint = row->Dialog.Hint.In(language);
    if (!row->Bounds) return hint;
    return texts::FillIn(hint,
                         {std::to_string(row->Bounds->Low), std::to_string(row->Bounds->High)});
}

const IntegerBounds* SpinFieldBounds(int tag) {
    const SettingRow* row = SettingWithTag(tag);
    return row && row->Bounds ? &*row->Bounds : nullptr;
}

std::optional<std::string> DefaultTemplateForTag(int tag) {
    const SettingRow* row = SettingWithTag(tag);
    if (!row || !std::holds_alternative<std::string Settings::*>(row->Member)) return std::nullopt;
    return std::string(row->Default.Text);
}

std::string& SettingsDialogFields::Template(int tag) {
    for (size_t i = 0; i < TemplateTags.size(); ++i) {
        if (TemplateTags[i] == tag) return Templates[i];
    }
    throw std::out_of_range("no template field with tag " + std::to_string(tag));
}

const std::string& SettingsDialogFields::Template(int tag) const {
    return const_cast<SettingsDialogFields&>(*this).Template(tag);
}

std::string& SettingsDialogFields::MoreNumber(int tag) {
    return MoreNumbers[MoreNumberPosition(tag)];
}

const std::string& SettingsDialogFields::MoreNumber(int tag) const {
    return MoreNumbers[MoreNumberPosition(tag)];
}

bool& SettingsDialogFields::MoreSwitch(int tag) {
    return MoreSwitches[MoreSwitchPosition(tag)];
}

bool SettingsDialogFields::MoreSwitch(int tag) const {
    return MoreSwitches[MoreSwitchPosition(tag)];
}

SettingsDialogFields SettingsDialogValues::Open(const Settings& settings) {
    maxSkippedURLCountAtOpen_ = settings.MaxSkippedURLCount;
    navigateDelayTimeAtOpen_ = settings.NavigateDelayTime;
    maxFavoriteCountAtOpen_ = settings.MaxFavoriteCount;

    SettingsDialogFields fields;
    fields.Language = Clamp(settings.Language, BoundsOf("Language"));
    for (int tag : TemplateTags) fields.Template(tag) = TemplateOf(settings, tag);
    fields.MaxSkippedURLCount = BoundedText(settings.MaxSkippedURLCount, MaxSkippedURLCountBounds);
    fields.NavigateDelayTime = BoundedText(settings.NavigateDelayTime, NavigateDelayTimeBounds);
    fields.MaxFavoriteCount = BoundedText(settings.MaxFavoriteCount, MaxFavoriteCountBounds);
    fields.WebBrowserVerbose = settings.WebBrowserVerbose;
    fields.InvertMouseWheel = settings.InvertMouseWheel;
    fields.SaveSettings = settings.SaveSettings;
    for (size_t i = 0; i < MoreNumberTags.size(); ++i) {
        const int tag = MoreNumberTags[i];
        moreNumbersAtOpen_[i] = MoreNumberOf(settings, tag);
        fields.MoreNumbers[i] = BoundedText(moreNumbersAtOpen_[i], *SpinFieldBounds(tag));
    }
    for (int tag : MoreSwitchTags) fields.MoreSwitch(tag) = MoreSwitchOf(settings, tag);
    fields.SaveFolder = settings.SaveFolder;
    return fields;
}

int32_t SettingsDialogValues::ValueAtOpen(int tag) const {
    switch (tag) {
        case MaxSkippedURLCountTag:
            return maxSkippedURLCountAtOpen_;
        case NavigateDelayTimeTag:
            return navigateDelayTimeAtOpen_;
        case MaxFavoriteCountTag:
            return maxFavoriteCountAtOpen_;
        default:
            for (size_t i = 0; i < MoreNumberTags.size(); ++i) {
                if (MoreNumberTags[i] == tag) return moreNumbersAtOpen_[i];
            }
            return 0;
    }
}

SpinFieldExit SettingsDialogValues::SpinEditExit(int tag, const std::string& text) const {
    const IntegerBounds* bounds = SpinFieldBounds(tag);
    const std::optional<int32_t> typed = ParseInteger(text);
    SpinFieldExit exit;
    exit.Beep = !typed;
    if (!bounds) {
        // A field the dialog does not know keeps its text.
        exit.Text = text;
        return exit;
    }
    exit.Text = BoundedText(typed ? *typed : ValueAtOpen(tag), *bounds);
    return exit;
}

void SettingsDialogValues::ReadBack(const SettingsDialogFields& fields, Settings& settings) {
    settings.Language = static_cast<uint8_t>(Clamp(fields.Language, BoundsOf("Language")));
    for (int tag : TemplateTags) TemplateOf(settings, tag) = fields.Template(tag);
    settings.MaxSkippedURLCount =
        SpinFieldValue(fields.MaxSkippedURLCount, MaxSkippedURLCountBounds);
    settings.NavigateDelayTime = SpinFieldValue(fields.NavigateDelayTime, NavigateDelayTimeBounds);
    settings.MaxFavoriteCount = SpinFieldValue(fields.MaxFavoriteCount, MaxFavoriteCountBounds);
    settings.WebBrowserVerbose = fields.WebBrowserVerbose;
    settings.InvertMouseWheel = fields.InvertMouseWheel;
    settings.SaveSettings = fields.SaveSettings;
    for (int tag : MoreNumberTags)
        MoreNumberOf(settings, tag) = SpinFieldValue(fields.MoreNumber(tag), *SpinFieldBounds(tag));
    for (int tag : MoreSwitchTags) MoreSwitchOf(settings, tag) = fields.MoreSwitch(tag);
    settings.SaveFolder = fields.SaveFolder;
}

int32_t SpinFieldValue(const std::string& text, IntegerBounds bounds) {
    const std::optional<int32_t> typed = ParseInteger(text);
    return typed ? Clamp(*typed, bounds.Low, bounds.High) : bounds.Low;
}

int32_t SpinFieldStep(const std::string& text, int steps, IntegerBounds bounds) {
    const int64_t stepped = int64_t{SpinFieldValue(text, bounds)} + steps;
    if (stepped < bounds.Low) return bounds.Low;
    if (stepped > bounds.High) return bounds.High;
    return static_cast<int32_t>(stepped);
}

void SettingsDialogValues::RestoreMoreOptionsDefaults(SettingsDialogFields& fields) {
    for (int tag : MoreNumberTags)
        fields.MoreNumber(tag) = std::to_string(SettingWithTag(tag)->Default.Number);
    for (int tag : MoreSwitchTags)
        fields.MoreSwitch(tag) = SettingWithTag(tag)->Default.Number != 0;
    fields.SaveFolder = std::string(SettingNamed("SaveFolder").Default.Text);
}

FavoriteListLengths FavoritesHiddenBy(const std::string& maxFavoriteCountText,
                                      FavoriteListLengths lengths) {
    const auto bound =
        static_cast<size_t>(SpinFieldValue(maxFavoriteCountText, MaxFavoriteCountBounds));
    const auto past = [bound](size_t length) { return length > bound ? length - bound : 0; };
    return {past(lengths.Photos), past(lengths.Users)};
}

std::string FavoritesHiddenQuestion(FavoriteListLengths hidden,
                                    const std::string& maxFavoriteCountText, int language) {
    if (hidden.Photos == 0 && hidden.Users == 0) return {};
    const texts::SettingsFormTexts& t = texts::SettingsForm;
    const auto count = [language](size_t n, const texts::Text& one, const texts::Text& many) {
        return n == 1 ? std::string(one.In(language))
                      : texts::FillIn(many.In(language), {std::to_string(n)});
    };
    std::string lists;
    if (hidden.Photos > 0)
        lists = count(hidden.Photos, t.HiddenFavoritePhoto, t.HiddenFavoritePhotos);
    if (hidden.Users > 0) {
        if (!lists.empty()) lists += t.HiddenFavoritesAnd.In(language);
        lists += count(hidden.Users, t.HiddenFavoriteUser, t.HiddenFavoriteUsers);
    }
    const int32_t bound = SpinFieldValue(maxFavoriteCountText, MaxFavoriteCountBounds);
    return texts::FillIn(t.FavoritesHiddenQuestion.In(language), {std::to_string(bound), lists});
}

}  // namespace kpw
