#include "ui/OverviewSheetView.h"

#include <QContextMenuEvent>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "texts/Texts.h"
#include "ui/Glyphs.h"

namespace kpw {

namespace {

constexpr int Margin = 4;
// A wheel's notch, as the toolkit counts it.
constexpr int WheelNotch = 120;

QString Text(const std::string& text) {
    return QString::fromStdString(text);
}

// Marks are drawn in the palette's text colour over the cell, so they read
// on light and dark palettes alike.
void PaintCross(QPainter& painter, const QRect& area, const QColor& colour) {
    const int side = std::min(area.width(), area.height()) / 3;
    const QRect box(area.center() - QPoint(side / 2, side / 2), QSize(side, side));
    painter.setPen(QPen(colour, 3, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(box.topLeft(), box.bottomRight());
    painter.drawLine(box.topRight(), box.bottomLeft());
}

void PaintClock(QPainter& painter, const QRect& area, const QColor& colour) {
    const int side = std::min(area.width(), area.height()) / 3;
    const QRect box(area.center() - QPoint(side / 2, side / 2), QSize(side, side));
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(box);
    painter.drawLine(box.center(), box.center() - QPoint(0, side / 3));
    painter.drawLine(box.center(), box.center() + QPoint(side / 4, 0));
}

void PaintWarning(QPainter& painter, const QRect& area, const QColor& colour) {
    const int side = std::min(area.width(), area.height()) / 3;
    const QPoint c = area.center();
    QPainterPath triangle;
    triangle.moveTo(c.x(), c.y() - side / 2);
    triangle.lineTo(c.x() + side / 2, c.y() + side / 2);
    triangle.lineTo(c.x() - side / 2, c.y() + side / 2);
    triangle.closeSubpath();
    painter.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(triangle);
    painter.drawLine(c.x(), c.y() - side / 6, c.x(), c.y() + side / 6);
    painter.drawPoint(c.x(), c.y() + side / 3);
}

void PaintDots(QPainter& painter, const QRect& area, const QColor& colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const int r = std::max(2, area.width() / 40);
    for (int i = -1; i <= 1; ++i) painter.drawEllipse(area.center() + QPoint(i * r * 4, 0), r, r);
}

// A five-pointed star in a warm yellow with a dark rim: legible on any
// picture and either palette.
void PaintStar(QPainter& painter, const QRect& area) {
    const double outer = std::max(6, area.width() / 10);
    const double inner = outer * 0.45;
    const QPointF centre(area.right() - outer - 2, area.top() + outer + 2);
    const QPainterPath star = StarPath(centre, outer, inner);
    painter.setPen(QPen(QColor(60, 40, 0), 1.5));
    painter.setBrush(QColor(255, 196, 0));
    painter.drawPath(star);
}

}  // namespace

OverviewSheetView::OverviewSheetView(OverviewSheet& sheet, QWidget* parent)
    : QWidget(parent), sheet_(sheet) {
    setObjectName(QStringLiteral("OverviewSheet"));
    setFocusPolicy(Qt::StrongFocus);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OverviewSheetView::SetCellSize(int pixels) {
    if (pixels == cellSize_) return;
    cellSize_ = pixels;
    emit GridChanged(Grid());
    update();
}

int OverviewSheetView::CellWidth() const {
    return cellSize_ + 2 * Margin;
}

int OverviewSheetView::CellHeight() const {
    return cellSize_ + fontMetrics().height() + 3 * Margin;
}

QSize OverviewSheetView::Grid() const {
    return {std::max(1, width() / CellWidth()), std::max(1, height() / CellHeight())};
}

QRect OverviewSheetView::CellRect(int cell) const {
    const int columns = std::max(1, sheet_.Columns());
    // The grid stands in the middle of the widget.
    const int left = std::max(0, (width() - columns * CellWidth()) / 2);
    return {left + (cell % columns) * CellWidth(), (cell / columns) * CellHeight(), CellWidth(),
            CellHeight()};
}

int OverviewSheetView::CellAt(const QPoint& pos) const {
    for (int cell = 0; cell < static_cast<int>(sheet_.Cells().size()); ++cell) {
        if (CellRect(cell).contains(pos)) return cell;
    }
    return -1;
}

void OverviewSheetView::TakePicture(int32_t index, const QImage& picture) {
    if (picture.isNull()) return;
    pictures_[index] = QPixmap::fromImage(picture);
}

qint64 OverviewSheetView::PictureBytes() const {
    qint64 bytes = 0;
    for (const auto& [index, pixmap] : pictures_)
        bytes += qint64{pixmap.width()} * pixmap.height() * pixmap.depth() / 8;
    return bytes;
}

void OverviewSheetView::SheetChanged() {
    // The next sheet's pictures are kept too: moving on shows them at once.
    std::unordered_set<int32_t> shown;
    for (const SheetCell& cell : sheet_.Cells()) shown.insert(cell.Index);
    for (const SheetCell& cell : sheet_.Ahead()) shown.insert(cell.Index);
    for (auto it = pictures_.begin(); it != pictures_.end();) {
        if (shown.count(it->first) != 0 && sheet_.IsOpen())
            ++it;
        else
            it = pictures_.erase(it);
    }
    update();
}

QString OverviewSheetView::StateText(const SheetCell& cell) const {
    const texts::SheetTexts& t = texts::Sheet;
    const auto in = [this](const texts::Text& text) { return Text(text.In(language_)); };
    const auto with = [&](const texts::Text& text) {
        return Text(texts::FillIn(text.In(language_), {cell.Detail}));
    };
    switch (cell.State) {
        case CellState::Loading:
            return in(t.Loading);
        case CellState::Picture:
            return in(t.Shown);
        case CellState::Missing:
            return in(t.Missing);
        case CellState::Waiting:
            return in(t.Waiting);
        case CellState::Failed:
            break;
    }
    switch (cell.Failure) {
        case ThumbnailFailure::NoConnection:
            return with(t.NoConnection);
        case ThumbnailFailure::TimedOut:
            return in(t.TimedOut);
        case ThumbnailFailure::TooLarge:
            return in(t.TooLarge);
        case ThumbnailFailure::NotAPicture:
            return with(t.NotAPicture);
        case ThumbnailFailure::Busy:
            return with(t.Busy);
        case ThumbnailFailure::Undecodable:
        case ThumbnailFailure::None:
            break;
    }
    return with(t.Undecodable);
}

QString OverviewSheetView::CellHint(const QPoint& pos) const {
    const int at = CellAt(pos);
    if (at < 0) return {};
    const SheetCell& cell = sheet_.Cells()[static_cast<size_t>(at)];
    QString hint = Text(texts::FillIn(texts::Sheet.Cell.In(language_),
                                      {std::to_string(cell.Index), StateText(cell).toStdString()}));
    if (cell.Favourite) hint += QStringLiteral("\n") + Text(texts::Sheet.Favourite.In(language_));
    if (cell.SeenBefore) hint += QStringLiteral("\n") + Text(texts::Sheet.SeenBefore.In(language_));
    if (cell.Kept) hint += QStringLiteral("\n") + Text(texts::Sheet.Kept.In(language_));
    return hint;
}

void OverviewSheetView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setRenderHint(QPainter::Antialiasing);
    if (sheet_.Cells().empty()) {
        painter.setPen(palette().text().color());
        painter.drawText(rect(), Qt::AlignCenter, Text(texts::Sheet.Empty.In(language_)));
        return;
    }
    for (int cell = 0; cell < static_cast<int>(sheet_.Cells().size()); ++cell)
        PaintCell(painter, cell);
}

void OverviewSheetView::PaintCell(QPainter& painter, int at) {
    const SheetCell& cell = sheet_.Cells()[static_cast<size_t>(at)];
    const QRect frame = CellRect(at).adjusted(1, 1, -1, -1);
    const bool selected = at == sheet_.SelectedCell();
    const QPalette& colours = palette();
    if (selected) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(
            colours.brush(hasFocus() ? QPalette::Active : QPalette::Inactive, QPalette::Highlight));
        painter.drawRoundedRect(frame, 4, 4);
    }
    const QRect area(frame.left() + Margin - 1, frame.top() + Margin - 1, cellSize_, cellSize_);
    const auto picture = pictures_.find(cell.Index);
    if (cell.State == CellState::Picture && picture != pictures_.end()) {
        const QPixmap& pixmap = picture->second;
        QSize size = pixmap.size() / pixmap.devicePixelRatio();
        if (size.width() > area.width() || size.height() > area.height())
            size.scale(area.size(), Qt::KeepAspectRatio);
        const QRect target(area.center() - QPoint(size.width() / 2, size.height() / 2), size);
        painter.drawPixmap(target, pixmap);
    } else {
        painter.setPen(QPen(colours.mid().color(), 1));
        painter.setBrush(colours.alternateBase());
        painter.drawRect(area.adjusted(0, 0, -1, -1));
        PaintMark(painter, area, cell);
    }
    if (cell.Favourite) PaintStar(painter, area);
    if (cell.SeenBefore || cell.Kept) PaintArchiveMarks(painter, area, cell);
    const QRect label(frame.left(), area.bottom() + Margin, frame.width(),
                      frame.bottom() - area.bottom() - Margin);
    painter.setPen(selected ? colours.highlightedText().color() : colours.text().color());
    painter.drawText(label, Qt::AlignHCenter | Qt::AlignTop, QString::number(cell.Index));
}

// Seen before: a small eye at the top left; kept: a downward arrow beside it.
// On a pale badge, so that they read on any picture.
void OverviewSheetView::PaintArchiveMarks(QPainter& painter, const QRect& area,
                                          const SheetCell& cell) {
    const int side = std::max(12, area.width() / 8);
    QRect badge(area.left() + 2, area.top() + 2, side, side);
    const QColor ink(30, 30, 30);
    const auto background = [&](const QRect& at) {
        painter.setPen(QPen(ink, 1));
        painter.setBrush(QColor(255, 255, 255, 220));
        painter.drawRoundedRect(at, 3, 3);
    };
    if (cell.SeenBefore) {
        background(badge);
        const QRectF eye =
            QRectF(badge).adjusted(side * 0.15, side * 0.3, -side * 0.15, -side * 0.3);
        QPainterPath outline;
        outline.moveTo(eye.left(), eye.center().y());
        outline.quadTo(eye.center().x(), eye.top() - side * 0.15, eye.right(), eye.center().y());
        outline.quadTo(eye.center().x(), eye.bottom() + side * 0.15, eye.left(), eye.center().y());
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(outline);
        painter.setBrush(ink);
        painter.drawEllipse(eye.center(), side * 0.12, side * 0.12);
        badge.translate(side + 2, 0);
    }
    if (cell.Kept) {
        background(badge);
        const QPointF c = QRectF(badge).center();
        painter.setPen(QPen(ink, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawLine(QPointF(c.x(), badge.top() + side * 0.2),
                         QPointF(c.x(), c.y() + side * 0.2));
        painter.drawLine(QPointF(c.x() - side * 0.25, c.y()), QPointF(c.x(), c.y() + side * 0.25));
        painter.drawLine(QPointF(c.x() + side * 0.25, c.y()), QPointF(c.x(), c.y() + side * 0.25));
    }
}

void OverviewSheetView::PaintMark(QPainter& painter, const QRect& area, const SheetCell& cell) {
    const QColor colour = palette().text().color();
    switch (cell.State) {
        case CellState::Loading:
        case CellState::Picture:  // its picture went with a change of size
            PaintDots(painter, area, palette().mid().color());
            break;
        case CellState::Missing:
            PaintCross(painter, area, colour);
            break;
        case CellState::Waiting:
            PaintClock(painter, area, colour);
            break;
        case CellState::Failed:
            PaintWarning(painter, area, colour);
            break;
    }
}

void OverviewSheetView::keyPressEvent(QKeyEvent* event) {
    const int columns = std::max(1, sheet_.Columns());
    switch (event->key()) {
        case Qt::Key_Left:
            sheet_.MoveSelection(-1);
            break;
        case Qt::Key_Right:
            sheet_.MoveSelection(1);
            break;
        case Qt::Key_Up:
            sheet_.MoveSelection(-columns);
            break;
        case Qt::Key_Down:
            sheet_.MoveSelection(columns);
            break;
        case Qt::Key_PageDown:
            sheet_.PageDown();
            break;
        case Qt::Key_PageUp:
            sheet_.PageUp();
            break;
        case Qt::Key_Home:
            sheet_.Home();
            break;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            emit Chosen();
            break;
        case Qt::Key_Menu:
            emit MenuRequested(mapToGlobal(CellRect(sheet_.SelectedCell()).center()));
            break;
        default:
            QWidget::keyPressEvent(event);
            return;
    }
    event->accept();
}

void OverviewSheetView::wheelEvent(QWheelEvent* event) {
    wheelTurn_ += event->angleDelta().y();
    while (std::abs(wheelTurn_) >= WheelNotch) {
        // Turned towards the user, the sheet goes on to higher indexes.
        if (wheelTurn_ < 0) {
            sheet_.PageDown();
            wheelTurn_ += WheelNotch;
        } else {
            sheet_.PageUp();
            wheelTurn_ -= WheelNotch;
        }
    }
    event->accept();
}

void OverviewSheetView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const int cell = CellAt(event->position().toPoint());
    if (cell >= 0) sheet_.SelectCell(cell);
    event->accept();
}

void OverviewSheetView::mouseDoubleClickEvent(QMouseEvent* event) {
    const int cell = CellAt(event->position().toPoint());
    if (cell < 0) return;
    sheet_.SelectCell(cell);
    emit Chosen();
}

void OverviewSheetView::contextMenuEvent(QContextMenuEvent* event) {
    const int cell =
        event->reason() == QContextMenuEvent::Mouse ? CellAt(event->pos()) : sheet_.SelectedCell();
    if (cell < 0) return;
    sheet_.SelectCell(cell);
    emit MenuRequested(event->reason() == QContextMenuEvent::Mouse
                           ? event->globalPos()
                           : mapToGlobal(CellRect(cell).center()));
}

void OverviewSheetView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit GridChanged(Grid());
}

bool OverviewSheetView::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QString hint = CellHint(help->pos());
        if (hint.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), hint, this, CellRect(CellAt(help->pos())));
        return true;
    }
    return QWidget::event(event);
}

}  // namespace kpw
