#pragma once

#include <QColor>
#include <QPixmap>

namespace kpw {

// The design's colour of the arrow, which stands out on light buttons.
inline const QColor UndoArrowNavy{0, 0, 0x80};

// The 16 x 16 picture of the settings dialog's restore buttons: an undo
// arrow, navy unless another ink is given; the silver around it is
// transparent.
QPixmap UndoArrowPixmap(const QColor& ink = UndoArrowNavy);

}  // namespace kpw
