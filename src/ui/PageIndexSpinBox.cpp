#include "ui/PageIndexSpinBox.h"

#include <QLabel>
#include <QStyle>
#include <QStyleOptionSpinBox>
#include <algorithm>
#include <limits>

namespace kpw {

namespace {

// The tool row's design: the label ends before 425 and the field spans 432
// to 515. Between Auto-skip (up to 358) and Help (from 519) they take what
// the widest index and the caption need: the field first, growing towards
// Help and then to the left, the label what is left before it.
constexpr int RowLeft = 359;
constexpr int RowRight = 519;
constexpr int DesignLabelRight = 425;
constexpr int DesignLabelWidth = 57;
constexpr int DesignFieldLeft = 432;
constexpr int DesignFieldWidth = 84;
constexpr int DesignGap = DesignFieldLeft - DesignLabelRight;
constexpr int Top = 2;
constexpr int Height = 22;

}  // namespace

int PageIndexSpinBox::WidthForEveryIndex() const {
    // As the spin box measures its own size hint, with the widest index
    // instead of its range of the moment and without the blank it adds.
    const QString widest = textFromValue(std::numeric_limits<int>::max());
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    // Room for the caret, as the spin box keeps.
    const QSize text(fontMetrics().horizontalAdvance(widest) + 2, lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this).width();
}

void LayOutIndexRow(QLabel& label, PageIndexSpinBox& field) {
    const int fieldWidth =
        std::min(std::max(DesignFieldWidth, field.WidthForEveryIndex()), RowRight - RowLeft);
    const int fieldRight =
        std::clamp(DesignFieldLeft + fieldWidth, DesignFieldLeft + DesignFieldWidth, RowRight);
    const int fieldLeft = fieldRight - fieldWidth;
    field.setGeometry(fieldLeft, Top, fieldWidth, Height);

    // The caption is right-aligned: the gap before the field shrinks before
    // the caption is cut.
    const int needed = label.fontMetrics().horizontalAdvance(label.text());
    const int latestRight = std::min(DesignLabelRight, fieldLeft);
    const int labelRight =
        std::clamp(fieldLeft - DesignGap, std::min(latestRight, RowLeft + needed), latestRight);
    const int labelWidth =
        std::max(0, std::min(std::max(DesignLabelWidth, needed + 2), labelRight - RowLeft));
    label.setGeometry(labelRight - labelWidth, 5, labelWidth, 13);
}

}  // namespace kpw
