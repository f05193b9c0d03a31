#include "ui/UndoArrowPicture.h"

#include <QImage>

namespace kpw {

namespace {

// A navy arrow that turns back to the left, on silver.
// clang-format off
const char* const UndoArrowXpm[] = {
    "16 16 2 1",
    "S c #C0C0C0",
    "N c #000080",
    "SSSSSSSSSSSSSSSS",
    "SSSSSSSSSSSSSSSS",
    "SSSSNSSSSSSSSSSS",
    "SSSNNSSSSSSSSSSS",
    "SSNNNNNNNNNSSSSS",
    "SNNNNNNNNNNNNSSS",
    "SSNNNSSSSSSNNNSS",
    "SSSNNSSSSSSSNNNS",
    "SSSSNSSSSSSSSNNS",
    "SSSSSSSSSSSSSNNS",
    "SSSSSSSSSSSSSNNS",
    "SSSSSSSSSSSSNNNS",
    "SSSSSSSSSSSNNNSS",
    "SSSSSSSNNNNNNSSS",
    "SSSSSSSNNNNNSSSS",
    "SSSSSSSSSSSSSSSS",
};
// clang-format on

}  // namespace

QPixmap UndoArrowPixmap(const QColor& ink) {
    QImage picture = QImage(UndoArrowXpm).convertToFormat(QImage::Format_ARGB32);
    const QRgb silver = picture.pixel(0, picture.height() - 1);
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            picture.setPixel(x, y, picture.pixel(x, y) == silver ? qRgba(0, 0, 0, 0) : ink.rgb());
        }
    }
    return QPixmap::fromImage(picture);
}

}  // namespace kpw
