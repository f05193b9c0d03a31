#pragma once

#include <string>

#include "texts/Texts.h"

namespace kpw::texts {

// The settings dialog's captions and hints in one language, in the order in
// which the dialog puts them. Multi-line hints separate their lines by one CR.
struct SettingsFormTexts {
    const char* TitleSuffix;  // appended to the main window's caption
    const char* LabelLanguage;
    const char* LabelTemplateURL11;
    const char* EditTemplateURL11Hint;
    const char* LabelTemplateURL12;
    const char* EditTemplateURL12Hint;
    const char* LabelTemplateURL13;
    const char* EditTemplateURL13Hint;
    const char* LabelTemplateURL14;
    const char* EditTemplateURL14Hint;
    const char* LabelTemplateURL20;
    const char* EditTemplateURL20Hint;
    const char* LabelTemplateURL30;
    const char* EditTemplateURL30Hint;
    const char* RestoreDefaultHint;  // the same for all six restore buttons
    const char* LabelMaxSkippedURLCount;
    const char* SpinEditMaxSkippedURLCountHint;
    const char* LabelNavigateDelayTime;
    const char* SpinEditNavigateDelayTimeHint;
    const char* LabelMaxFavoriteCount;
    const char* SpinEditMaxFavoriteCountHint;
    const char* CheckBoxWebBrowserVerbose;
    const char* CheckBoxWebBrowserVerboseHint;
    const char* CheckBoxInvertMouseWheel;
    const char* CheckBoxSaveSettings;
    const char* ButtonOk;
    const char* ButtonCancel;
    // The group of options beyond the ones above.
    const char* GroupMoreOptions;
    const char* LabelMinRequestInterval;
    const char* SpinEditMinRequestIntervalHint;
    const char* LabelPreloadDepth;
    const char* SpinEditPreloadDepthHint;
    const char* CheckBoxSkipKnownMissing;
    const char* CheckBoxSkipKnownMissingHint;
    const char* LabelSlideshowInterval;
    const char* SpinEditSlideshowIntervalHint;
    const char* LabelSaveFolder;
    const char* EditSaveFolderHint;
    const char* ButtonBrowseSaveFolderHint;
};

extern const SettingsFormTexts SettingsFormTextTable[LanguageCount];

// The table of a language; nullptr outside 0..1, where the dialog changes nothing.
const SettingsFormTexts* SettingsFormTextsFor(int language);

// The dialog's title: the main window's caption as it is now, then the suffix.
std::string SettingsFormTitle(const std::string& mainCaption, int language);

}  // namespace kpw::texts
