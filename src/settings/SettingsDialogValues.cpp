#include "settings/SettingsDialogValues.h"

#include "settings/IntegerSyntax.h"

namespace kpw {

namespace {

std::string BoundedText(int32_t value, IntegerBounds bounds) {
    return std::to_string(Clamp(value, bounds.Low, bounds.High));
}

}  // namespace

const IntegerBounds* SpinFieldBounds(int tag) {
    switch (tag) {
        case MaxSkippedURLCountTag:
            return &MaxSkippedURLCountBounds;
        case NavigateDelayTimeTag:
            return &NavigateDelayTimeBounds;
        case MaxFavoriteCountTag:
            return &MaxFavoriteCountBounds;
        default:
            return nullptr;
    }
}

const std::string* DefaultTemplateForTag(int tag) {
    switch (tag) {
        case 11:
            return &DefaultTemplateURL11;
        case 12:
            return &DefaultTemplateURL12;
        case 13:
            return &DefaultTemplateURL13;
        case 14:
            return &DefaultTemplateURL14;
        case 20:
            return &DefaultTemplateURL20;
        case 30:
            return &DefaultTemplateURL30;
        default:
            return nullptr;
    }
}

SettingsDialogFields SettingsDialogValues::Open(const Settings& settings) {
    maxSkippedURLCountAtOpen_ = settings.MaxSkippedURLCount;
    navigateDelayTimeAtOpen_ = settings.NavigateDelayTime;
    maxFavoriteCountAtOpen_ = settings.MaxFavoriteCount;

    SettingsDialogFields fields;
    fields.Language = Clamp(settings.Language, 0, 1);
    fields.TemplateURL11 = settings.TemplateURL11;
    fields.TemplateURL12 = settings.TemplateURL12;
    fields.TemplateURL13 = settings.TemplateURL13;
    fields.TemplateURL14 = settings.TemplateURL14;
    fields.TemplateURL20 = settings.TemplateURL20;
    fields.TemplateURL30 = settings.TemplateURL30;
    fields.MaxSkippedURLCount = BoundedText(settings.MaxSkippedURLCount, MaxSkippedURLCountBounds);
    fields.NavigateDelayTime = BoundedText(settings.NavigateDelayTime, NavigateDelayTimeBounds);
    fields.MaxFavoriteCount = BoundedText(settings.MaxFavoriteCount, MaxFavoriteCountBounds);
    fields.WebBrowserVerbose = settings.WebBrowserVerbose;
    fields.InvertMouseWheel = settings.InvertMouseWheel;
    fields.SaveSettings = settings.SaveSettings;
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
    settings.Language = static_cast<uint8_t>(Clamp(fields.Language, 0, 1));
    settings.TemplateURL11 = fields.TemplateURL11;
    settings.TemplateURL12 = fields.TemplateURL12;
    settings.TemplateURL13 = fields.TemplateURL13;
    settings.TemplateURL14 = fields.TemplateURL14;
    settings.TemplateURL20 = fields.TemplateURL20;
    settings.TemplateURL30 = fields.TemplateURL30;
    settings.MaxSkippedURLCount =
        SpinFieldValue(fields.MaxSkippedURLCount, MaxSkippedURLCountBounds);
    settings.NavigateDelayTime = SpinFieldValue(fields.NavigateDelayTime, NavigateDelayTimeBounds);
    settings.MaxFavoriteCount = SpinFieldValue(fields.MaxFavoriteCount, MaxFavoriteCountBounds);
    settings.WebBrowserVerbose = fields.WebBrowserVerbose;
    settings.InvertMouseWheel = fields.InvertMouseWheel;
    settings.SaveSettings = fields.SaveSettings;
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

}  // namespace kpw
