#pragma once

#include <QPixmap>
#include <QWidget>
#include <unordered_map>

#include "browsing/OverviewSheet.h"

class QImage;

namespace kpw {

// Draws the overview sheet in place of the view and turns the keys, the
// wheel and the mouse into moves of the sheet. It keeps the pictures of the
// cells shown and nothing else.
class OverviewSheetView : public QWidget {
    Q_OBJECT
public:
    OverviewSheetView(OverviewSheet& sheet, QWidget* parent);

    // The side of a cell's picture; the grid follows on the next layout.
    void SetCellSize(int pixels);
    int CellSize() const { return cellSize_; }
    // The columns and rows that fit the widget's size.
    QSize Grid() const;
    void SetLanguage(int language) { language_ = language; }

    // A cell's picture arrived, already scaled to the cell.
    void TakePicture(int32_t index, const QImage& picture);
    // The sheet changed: pictures of cells no longer shown go, and it is
    // drawn anew.
    void SheetChanged();
    // What the cell at this position says on hover; empty outside the cells.
    QString CellHint(const QPoint& pos) const;
    // The cell at a position of the widget, -1 for none.
    int CellAt(const QPoint& pos) const;
    QRect CellRect(int cell) const;
    bool HasPicture(int32_t index) const { return pictures_.count(index) != 0; }
    // The bytes of the pictures kept, decoded.
    qint64 PictureBytes() const;

signals:
    // Enter or a double click: the selected photo is to be shown.
    void Chosen();
    // The widget's size asks for another grid.
    void GridChanged(QSize grid);
    // The context menu of the selected cell.
    void MenuRequested(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool event(QEvent* event) override;

private:
    int CellWidth() const;
    int CellHeight() const;
    void PaintCell(QPainter& painter, int cell);
    void PaintMark(QPainter& painter, const QRect& area, const SheetCell& cell);
    void PaintArchiveMarks(QPainter& painter, const QRect& area, const SheetCell& cell);
    QString StateText(const SheetCell& cell) const;

    OverviewSheet& sheet_;
    int cellSize_ = 120;
    int language_ = 0;
    int wheelTurn_ = 0;
    std::unordered_map<int32_t, QPixmap> pictures_;
};

}  // namespace kpw
