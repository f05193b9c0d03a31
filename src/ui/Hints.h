#pragma once

#include <QString>
#include <QWidget>

namespace kpw {

// A hint disappears this long after it was shown, in both windows.
inline constexpr int HintTimeout = 3000;

// The text tables separate the lines of a text by one CR; Qt breaks at LF.
inline QString LineBreaks(const QString& text) {
    return QString(text).replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

inline void PutHint(QWidget* control, const QString& hint) {
    control->setToolTip(LineBreaks(hint));
    control->setToolTipDuration(HintTimeout);
}

}  // namespace kpw
