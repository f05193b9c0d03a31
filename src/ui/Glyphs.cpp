#include "ui/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kpw {

namespace {

const QColor Ink(0x20, 0x20, 0x20);
const QColor Navy(0x1f, 0x3a, 0x93);
const QColor Sky(0x9c, 0xc8, 0xf0);
const QColor Grass(0x3c, 0x9a, 0x3c);
const QColor Gold(0xf2, 0xb8, 0x1c);
const QColor Crimson(0xc8, 0x20, 0x20);

QPen Pen(const QColor& color, qreal width = 1.2) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A small landscape picture: frame, sky, hill and sun.
void DrawPhoto(QPainter& p, const QRectF& r) {
    p.setPen(Pen(Ink, 1.0));
    p.setBrush(Sky);
    p.drawRect(r);
    QPainterPath hill;
    hill.moveTo(r.left(), r.bottom());
    hill.lineTo(r.left() + r.width() * 0.4, r.top() + r.height() * 0.45);
    hill.lineTo(r.left() + r.width() * 0.7, r.top() + r.height() * 0.7);
    hill.lineTo(r.right(), r.top() + r.height() * 0.5);
    hill.lineTo(r.right(), r.bottom());
    hill.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Grass);
    p.drawPath(hill);
    p.setBrush(Gold);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.25, r.top() + r.height() * 0.28), 1.4, 1.4);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(Ink, 1.0));
    p.drawRect(r);
}

void DrawPerson(QPainter& p, const QPointF& head, qreal scale, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(head, 2.6 * scale, 2.6 * scale);
    QPainterPath body;
    const qreal top = head.y() + 3.2 * scale;
    body.moveTo(head.x() - 5 * scale, top + 6 * scale);
    body.quadTo(head.x() - 5 * scale, top, head.x(), top);
    body.quadTo(head.x() + 5 * scale, top, head.x() + 5 * scale, top + 6 * scale);
    body.closeSubpath();
    p.drawPath(body);
}

void DrawStar(QPainter& p) {
    p.setPen(Pen(QColor(0x9a, 0x6a, 0x00), 0.9));
    p.setBrush(Gold);
    p.drawPath(StarPath(QPointF(6.5, 7.5), 6.2, 2.6));
}

// A small round badge in the lower right corner with a mark drawn on it.
void DrawBadge(QPainter& p, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(12, 12), 3.8, 3.8);
    p.setPen(Pen(Qt::white, 1.5));
}

void DrawArrowHead(QPainter& p, const QPointF& tip, qreal dx, qreal dy, const QColor& color) {
    // dx, dy: unit direction the arrow points to.
    const QPointF back(tip.x() - dx * 4, tip.y() - dy * 4);
    const QPointF side(-dy * 3, dx * 3);
    QPainterPath head;
    head.moveTo(tip);
    head.lineTo(back + side);
    head.lineTo(back - side);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawPath(head);
}

void Paint(QPainter& p, Glyph glyph) {
    switch (glyph) {
        case Glyph::PhotoOnly:
            DrawPhoto(p, QRectF(1.5, 3.5, 13, 10));
            break;
        case Glyph::PhotoInfo:
            DrawPhoto(p, QRectF(0.5, 2.5, 10, 8));
            p.setPen(Qt::NoPen);
            p.setBrush(Navy);
            p.drawEllipse(QPointF(11.5, 11.5), 4.2, 4.2);
            p.setPen(Pen(Qt::white, 1.4));
            p.drawLine(QPointF(11.5, 10.8), QPointF(11.5, 13.8));
            p.drawPoint(QPointF(11.5, 9.0));
            break;
        case Glyph::UserPage:
            DrawPerson(p, QPointF(8, 4.2), 1.0, Navy);
            break;
        case Glyph::Statistics:
            p.setPen(Pen(Ink, 1.0));
            p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
            p.setPen(Qt::NoPen);
            p.setBrush(Navy);
            p.drawRect(QRectF(2.5, 8.5, 3, 6));
            p.setBrush(Grass);
            p.drawRect(QRectF(6.5, 3.5, 3, 11));
            p.setBrush(Crimson);
            p.drawRect(QRectF(10.5, 6.5, 3, 8));
            break;
        case Glyph::AddFavorite:
            DrawStar(p);
            DrawBadge(p, Grass);
            p.drawLine(QPointF(12, 9.8), QPointF(12, 14.2));
            p.drawLine(QPointF(9.8, 12), QPointF(14.2, 12));
            break;
        case Glyph::DeleteFavorite:
            DrawStar(p);
            DrawBadge(p, Crimson);
            p.drawLine(QPointF(10.4, 10.4), QPointF(13.6, 13.6));
            p.drawLine(QPointF(13.6, 10.4), QPointF(10.4, 13.6));
            break;
        case Glyph::SelectFavorite:
            DrawStar(p);
            DrawBadge(p, Navy);
            DrawArrowHead(p, QPointF(12, 14.2), 0, 1, Qt::white);
            break;
        case Glyph::GoBack:
            p.setPen(Pen(Navy, 2.2));
            p.drawLine(QPointF(5, 8), QPointF(14, 8));
            DrawArrowHead(p, QPointF(1.5, 8), -1, 0, Navy);
            break;
        case Glyph::Refresh: {
            p.setPen(Pen(Grass, 2.0));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 280 * 16);
            DrawArrowHead(p, QPointF(9.6, 2.6), 1, 0.1, Grass);
            break;
        }
        case Glyph::Stop: {
            QPainterPath octagon;
            for (int i = 0; i < 8; ++i) {
                const qreal angle = M_PI / 8 + i * M_PI / 4;
                const QPointF point(8 + 6.8 * std::cos(angle), 8 + 6.8 * std::sin(angle));
                if (i == 0)
                    octagon.moveTo(point);
                else
                    octagon.lineTo(point);
            }
            octagon.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(Crimson);
            p.drawPath(octagon);
            p.setPen(Pen(Qt::white, 1.8));
            p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
            p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
            break;
        }
        case Glyph::AutoSkip:
            DrawArrowHead(p, QPointF(8.5, 8), 1, 0, Navy);
            DrawArrowHead(p, QPointF(14.5, 8), 1, 0, Navy);
            p.setPen(Pen(Navy, 1.6));
            p.drawLine(QPointF(1.5, 8), QPointF(5, 8));
            break;
        case Glyph::Help: {
            p.setPen(Qt::NoPen);
            p.setBrush(Navy);
            p.drawEllipse(QPointF(8, 8), 7, 7);
            QFont font;
            font.setPixelSize(11);
            font.setBold(true);
            p.setFont(font);
            p.setPen(Qt::white);
            p.drawText(QRectF(0, 0.5, 16, 16), Qt::AlignCenter, QStringLiteral("?"));
            break;
        }
        case Glyph::Settings: {
            QPainterPath gear;
            for (int i = 0; i < 16; ++i) {
                const qreal angle = i * M_PI / 8;
                const qreal radius = (i / 2) % 2 == 0 ? 7.2 : 5.4;
                const QPointF point(8 + radius * std::cos(angle), 8 + radius * std::sin(angle));
                if (i == 0)
                    gear.moveTo(point);
                else
                    gear.lineTo(point);
            }
            gear.closeSubpath();
            gear.addEllipse(QPointF(8, 8), 2.2, 2.2);
            gear.setFillRule(Qt::OddEvenFill);
            p.setPen(Pen(Ink, 0.8));
            p.setBrush(QColor(0x70, 0x78, 0x84));
            p.drawPath(gear);
            break;
        }
        case Glyph::OverviewSheet:
            // Three by two small photos.
            for (int row = 0; row < 2; ++row) {
                for (int column = 0; column < 3; ++column)
                    DrawPhoto(p, QRectF(0.5 + column * 5.2, 3.5 + row * 5, 4.4, 4));
            }
            break;
    }
}

QPixmap Render(Glyph glyph, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    Paint(p, glyph);
    return pixmap;
}

}  // namespace

QPainterPath StarPath(const QPointF& c, qreal outer, qreal inner) {
    QPainterPath star;
    for (int i = 0; i < 10; ++i) {
        const qreal angle = -M_PI / 2 + i * M_PI / 5;
        const qreal radius = i % 2 == 0 ? outer : inner;
        const QPointF point(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
        if (i == 0)
            star.moveTo(point);
        else
            star.lineTo(point);
    }
    star.closeSubpath();
    return star;
}

QIcon GlyphIcon(Glyph glyph) {
    QIcon icon;
    for (int size : {16, 24, 32}) icon.addPixmap(Render(glyph, size));
    return icon;
}

}  // namespace kpw
