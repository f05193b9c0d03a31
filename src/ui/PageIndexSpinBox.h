#pragma once

#include <QLineEdit>
#include <QSpinBox>

namespace kpw {

// The index field: a spin field whose text and caret the logic reads and
// that reports when it receives the keyboard focus.
class PageIndexSpinBox : public QSpinBox {
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;
    QLineEdit* Edit() const { return lineEdit(); }

signals:
    void Entered();

protected:
    void focusInEvent(QFocusEvent* event) override {
        QSpinBox::focusInEvent(event);
        emit Entered();
    }
};

}  // namespace kpw
