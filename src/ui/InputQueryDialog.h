#pragma once

#include <QString>

class QWidget;

namespace kpw {

// Asks for one line of text, as the favourites' remark; value holds the
// proposal and, when the user confirms, the answer. Its buttons speak the
// language (texts::English or texts::German).
bool ExecuteInputQuery(QWidget* parent, const QString& caption, const QString& prompt,
                       QString& value, int language);

}  // namespace kpw
