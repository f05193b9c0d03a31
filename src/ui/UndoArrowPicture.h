#pragma once

#include <QPixmap>

namespace kpw {

// The 16 x 16 picture of the settings dialog's restore buttons: a navy undo
// arrow; the silver around it is transparent.
QPixmap UndoArrowPixmap();

}  // namespace kpw
