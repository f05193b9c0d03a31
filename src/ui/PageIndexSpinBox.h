#pragma once

#include <QLineEdit>
#include <QSpinBox>

class QLabel;

#include "browsing/IndexField.h"

namespace kpw {

// The index field: a spin field whose text and caret the logic reads and
// that reports when it receives the keyboard focus.
class PageIndexSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;
    QLineEdit* Edit() const { return lineEdit(); }

    // The width at which the field shows every index whole, up to the
    // largest an int holds, in its font and style.
    int WidthForEveryIndex() const;

signals:
    void Entered();

protected:
    void focusInEvent(QFocusEvent* event) override {
        QSpinBox::focusInEvent(event);
        emit Entered();
    }

    // A typed number outside the bounds becomes the nearest bound when the
    // focus leaves, as a change like any other; the spin box by itself would
    // put the old value back.
    void focusOutEvent(QFocusEvent* event) override {
        const std::optional<int32_t> bound =
            IndexFieldValueOnExit(lineEdit()->text().toStdString(), minimum(), maximum());
        if (bound) setValue(*bound);
        QSpinBox::focusOutEvent(event);
    }
};

// Places the index field and its label in the tool row: the field as wide
// as every index needs, the label's caption whole beside it.
void LayOutIndexRow(QLabel& label, PageIndexSpinBox& field);

}  // namespace kpw
