#include "PhotoRenderer.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>

namespace kpw {

namespace {

// Fits the text into the box by shrinking the font; digits of a ten-digit index
// must still show on a thumbnail.
void DrawFitted(QPainter& painter, const QRect& box, const QString& text, int pixelSize,
                bool bold) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(bold);
    font.setPixelSize(pixelSize);
    const int width = QFontMetrics(font).horizontalAdvance(text);
    if (width > box.width() && width > 0) {
        font.setPixelSize(std::max(6, pixelSize * box.width() / width));
    }
    painter.setFont(font);
    painter.drawText(box, Qt::AlignCenter, text);
}

}  // namespace

std::string PhotoRenderer::Jpeg(PhotoSize size, int photo) {
    const std::pair<int, int> key{static_cast<int>(size), photo};
    std::lock_guard lock(mutex_);
    if (const auto found = cache_.find(key); found != cache_.end()) {
        return found->second;
    }
    std::string jpeg = Render(size, photo);
    if (order_.size() == CacheSize) {
        cache_.erase(order_.front());
        order_.pop_front();
    }
    order_.push_back(key);
    cache_.emplace(key, jpeg);
    return jpeg;
}

std::string PhotoRenderer::Render(PhotoSize size, int photo) {
    const PixelSize pixels = PhotoPixels(size, photo);
    QImage image(pixels.Width, pixels.Height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const int hue = static_cast<int>((static_cast<unsigned>(photo) * 37u) % 360u);
    QLinearGradient gradient(0, 0, pixels.Width, pixels.Height);
    gradient.setColorAt(0, QColor::fromHsv(hue, 120, 230));
    gradient.setColorAt(1, QColor::fromHsv((hue + 40) % 360, 200, 120));
    painter.fillRect(image.rect(), gradient);

    const int margin = std::max(2, pixels.Width / 20);
    const QRect inner = image.rect().adjusted(margin, margin, -margin, -margin);
    painter.setPen(QPen(QColor(255, 255, 255, 160), std::max(1, pixels.Width / 100)));
    painter.drawRect(inner);

    painter.setPen(Qt::white);
    const QRect digits(inner.left(), inner.top(), inner.width(), inner.height() * 3 / 4);
    DrawFitted(painter, digits, QString::number(photo), inner.height() / 2, true);
    const QRect label(inner.left(), digits.bottom(), inner.width(), inner.height() / 4);
    DrawFitted(painter, label, QString::fromLatin1(PhotoSizeName(size)), inner.height() / 8, false);
    painter.end();

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPG", 85)) {
        return {};
    }
    return bytes.toStdString();
}

}  // namespace kpw
