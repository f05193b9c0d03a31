#include "ui/SettingsControls.h"

#include <QAbstractItemView>
#include <QFocusEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace kpw {

SpinEdit::SpinEdit(int tag, IntegerBounds bounds, QWidget* parent)
    : QAbstractSpinBox(parent), tag_(tag), bounds_(bounds) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
}

QString SpinEdit::Text() const {
    return lineEdit()->text();
}

void SpinEdit::SetText(const QString& text) {
    lineEdit()->setText(text);
    update();
}

void SpinEdit::stepBy(int steps) {
    SetText(QString::number(SpinFieldStep(Text().toStdString(), steps, bounds_)));
}

QValidator::State SpinEdit::validate(QString&, int&) const {
    return QValidator::Acceptable;
}

void SpinEdit::fixup(QString&) const {}

QAbstractSpinBox::StepEnabled SpinEdit::stepEnabled() const {
    const int32_t value = SpinFieldValue(Text().toStdString(), bounds_);
    StepEnabled enabled = StepNone;
    if (value < bounds_.High) enabled |= StepUpEnabled;
    if (value > bounds_.Low) enabled |= StepDownEnabled;
    return enabled;
}

void SpinEdit::focusInEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusInEvent(event);
    if (OnEnter) OnEnter(event->reason());
}

void SpinEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    if (OnExit) OnExit(event->reason());
}

TemplateEdit::TemplateEdit(int tag, QWidget* parent) : QLineEdit(parent), tag_(tag) {}

void TemplateEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    if (OnEnter) OnEnter(event->reason());
}

namespace {

// The list drops down below the box, as a drop-down list does, rather than
// over it, where it would cover the fields above.
class DropDownBelowStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

}  // namespace

LanguageComboBox::LanguageComboBox(QWidget* parent) : QComboBox(parent) {
    setEditable(false);
    auto* style = new DropDownBelowStyle;
    style->setParent(this);
    setStyle(style);
    setItemDelegate(new LanguageItemDelegate(this));
}

void LanguageComboBox::ComboBoxLanguageOnDrawItem(QPainter& painter, int index, QRect rect,
                                                  const QBrush& background,
                                                  const QColor& textColour) const {
    if (background.style() != Qt::NoBrush) painter.fillRect(rect, background);

    int pictureWidth = 16;
    const QImage picture = itemData(index, Qt::UserRole).value<QImage>();
    if (!picture.isNull()) {
        pictureWidth = picture.width();
        const QRgb transparent = picture.pixel(0, picture.height() - 1);
        QImage shown = picture.convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                if (shown.pixel(x, y) == transparent) shown.setPixel(x, y, qRgba(0, 0, 0, 0));
            }
        }
        // The bottom edge counted exclusively, the halving truncating.
        const int top = (rect.top() + rect.top() + rect.height() - picture.height()) / 2;
        painter.drawImage(QPoint(rect.left() + 2, top), shown);
    }

    rect.setLeft(rect.left() + pictureWidth + 8);
    painter.setPen(textColour);
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, itemText(index));
}

void LanguageComboBox::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionComboBox option;
    initStyleOption(&option);
    option.currentText.clear();
    option.currentIcon = QIcon();
    painter.drawComplexControl(QStyle::CC_ComboBox, option);
    if (currentIndex() < 0) return;

    const QRect field =
        style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
    // Like a list item, the closed box shows its item selected while it has
    // the focus; otherwise the box's own face shows through.
    const bool focused = hasFocus();
    ComboBoxLanguageOnDrawItem(
        painter, currentIndex(), field, focused ? palette().highlight() : QBrush(Qt::NoBrush),
        focused ? palette().highlightedText().color() : palette().buttonText().color());
}

LanguageItemDelegate::LanguageItemDelegate(LanguageComboBox* comboBox)
    : QStyledItemDelegate(comboBox), comboBox_(comboBox) {}

void LanguageItemDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                 const QModelIndex& index) const {
    const bool selected = option.state & QStyle::State_Selected;
    painter->save();
    comboBox_->ComboBoxLanguageOnDrawItem(
        *painter, index.row(), option.rect,
        selected ? option.palette.highlight() : option.palette.base(),
        selected ? option.palette.highlightedText().color() : option.palette.text().color());
    painter->restore();
}

QSize LanguageItemDelegate::sizeHint(const QStyleOptionViewItem& option,
                                     const QModelIndex& index) const {
    const int textWidth = option.fontMetrics.horizontalAdvance(index.data().toString());
    return QSize(textWidth + 16 + 8 + 4, LanguageComboBox::ItemHeight);
}

}  // namespace kpw
