#pragma once

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <functional>

#include "settings/SettingsDialogValues.h"

namespace kpw {

// The settings dialog's fields report entering and leaving with the reason
// Qt gives; the dialog decides what counts as entering or leaving a field.
using FieldFocusHandler = std::function<void(Qt::FocusReason)>;

// A number field that takes any text, so the dialog's own integer syntax
// (with "$" and "0x" hexadecimal) can be typed and a text that is no number
// can be caught when the field is left. The arrows step by 1 within bounds.
class SpinEdit : public QAbstractSpinBox {
public:
    SpinEdit(int tag, IntegerBounds bounds, QWidget* parent);

    int Tag() const { return tag_; }
    QString Text() const;
    QLineEdit* Edit() const { return lineEdit(); }
    void SetText(const QString& text);

    FieldFocusHandler OnEnter;
    FieldFocusHandler OnExit;

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;
    void fixup(QString& input) const override;

protected:
    StepEnabled stepEnabled() const override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    int tag_;
    IntegerBounds bounds_;
};

// A one-line edit that reports entering.
class TemplateEdit : public QLineEdit {
public:
    TemplateEdit(int tag, QWidget* parent);
    int Tag() const { return tag_; }

    FieldFocusHandler OnEnter;

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    int tag_;
};

// The language list: each item is drawn by ComboBoxLanguageOnDrawItem, in
// the drop-down part and in the closed box alike. An item's picture is its
// Qt::UserRole data (a QImage).
class LanguageComboBox : public QComboBox {
public:
    static constexpr int ItemHeight = 16;

    explicit LanguageComboBox(QWidget* parent);

    // Paints item `index` into rect: the background (none for Qt::NoBrush),
    // the picture at left + 2, vertically centred, with the colour of its
    // bottom-left pixel left transparent, then the text from picture width
    // + 8 (24 without a picture).
    void ComboBoxLanguageOnDrawItem(QPainter& painter, int index, QRect rect,
                                    const QBrush& background, const QColor& textColour) const;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class LanguageItemDelegate : public QStyledItemDelegate {
public:
    explicit LanguageItemDelegate(LanguageComboBox* comboBox);
    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    LanguageComboBox* comboBox_;
};

}  // namespace kpw
