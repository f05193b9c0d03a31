#pragma once

#include <string>

#include "texts/Texts.h"

namespace kpw::texts {

// The settings dialog's captions and hints, in the order in which the dialog
// puts them. Multi-line hints separate their lines by one CR. The captions
// and hints of the "More options" rows stand with their settings
// (settings/SettingsList.inc).
struct SettingsFormTexts {
    Text TitleSuffix;  // appended to the main window's caption
    Text LabelLanguage;
    Text LabelTemplateURL11;
    Text EditTemplateURL11Hint;
    Text LabelTemplateURL12;
    Text EditTemplateURL12Hint;
    Text LabelTemplateURL13;
    Text EditTemplateURL13Hint;
    Text LabelTemplateURL14;
    Text EditTemplateURL14Hint;
    Text LabelTemplateURL20;
    Text EditTemplateURL20Hint;
    Text LabelTemplateURL30;
    Text EditTemplateURL30Hint;
    Text RestoreDefaultHint;  // the same for all six restore buttons
    Text LabelMaxSkippedURLCount;
    Text SpinEditMaxSkippedURLCountHint;
    Text LabelNavigateDelayTime;
    Text SpinEditNavigateDelayTimeHint;
    Text LabelMaxFavoriteCount;
    Text SpinEditMaxFavoriteCountHint;
    Text CheckBoxWebBrowserVerbose;
    Text CheckBoxWebBrowserVerboseHint;
    Text CheckBoxInvertMouseWheel;
    Text CheckBoxSaveSettings;
    Text ButtonOk;
    Text ButtonCancel;
    // The group of options beyond the ones above, and its folder button.
    Text GroupMoreOptions;
    Text ButtonBrowseSaveFolderHint;
    Text ButtonRestoreMoreDefaults;
    // The question before OK hides favourites: %1 the bound, %2 which ones.
    Text FavoritesHiddenQuestion;
    Text HiddenFavoritePhoto;
    Text HiddenFavoritePhotos;  // %1 how many
    Text HiddenFavoriteUser;
    Text HiddenFavoriteUsers;  // %1 how many
    Text HiddenFavoritesAnd;
};

extern const SettingsFormTexts SettingsForm;

// The dialog's title: the main window's caption as it is now, then the
// suffix; the caption alone outside the languages.
std::string SettingsFormTitle(const std::string& mainCaption, int language);

}  // namespace kpw::texts
