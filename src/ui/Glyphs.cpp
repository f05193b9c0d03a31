#include "ui/Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QWidget>

namespace kpw {

namespace {

// The design's colours, as they stand on the light grey of a classic
// palette.
const QColor DesignInk(0x20, 0x20, 0x20);
const QColor DesignNavy(0x1f, 0x3a, 0x93);
const QColor Sky(0x9c, 0xc8, 0xf0);
const QColor DesignGrass(0x3c, 0x9a, 0x3c);
const QColor Gold(0xf2, 0xb8, 0x1c);
const QColor DesignCrimson(0xc8, 0x20, 0x20);
const QColor DesignStarEdge(0x9a, 0x6a, 0x00);
const QColor DesignSteel(0x70, 0x78, 0x84);

Rgb RgbOf(const QColor& colour) {
    return {static_cast<uint8_t>(colour.red()), static_cast<uint8_t>(colour.green()),
            static_cast<uint8_t>(colour.blue())};
}

QColor ColourOf(Rgb rgb) {
    return QColor(rgb.R, rgb.G, rgb.B);
}

// The colour of a mark drawn on a filled shape: white or black, whichever
// stands out more.
QColor MarkOn(const QColor& fill) {
    return ContrastRatio(RgbOf(Qt::white), RgbOf(fill)) >=
                   ContrastRatio(RgbOf(Qt::black), RgbOf(fill))
               ? QColor(Qt::white)
               : QColor(Qt::black);
}

// The colours one drawing uses.
struct Colours {
    QColor Ink;   // lines and frames
    QColor Navy;  // the main marks
    QColor Grass;
    QColor Crimson;
    QColor StarEdge;
    QColor Steel;
};

Colours ColoursOf(const GlyphPalette& palette) {
    const auto shade = [&](const QColor& design) {
        return ColourOf(LegibleShade(RgbOf(design), palette.Backgrounds));
    };
    return Colours{palette.Ink,          palette.Navy,          shade(DesignGrass),
                   shade(DesignCrimson), shade(DesignStarEdge), shade(DesignSteel)};
}

QPen Pen(const QColor& color, qreal width = 1.2) {
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A small landscape picture: frame, sky, hill and sun.
void DrawPhoto(QPainter& p, const Colours& c, const QRectF& r) {
    p.setPen(Pen(c.Ink, 1.0));
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
    p.setBrush(DesignGrass);
    p.drawPath(hill);
    p.setBrush(Gold);
    p.drawEllipse(QPointF(r.right() - r.width() * 0.25, r.top() + r.height() * 0.28), 1.4, 1.4);
    p.setBrush(Qt::NoBrush);
    p.setPen(Pen(c.Ink, 1.0));
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

void DrawStar(QPainter& p, const Colours& c) {
    p.setPen(Pen(c.StarEdge, 0.9));
    p.setBrush(Gold);
    p.drawPath(StarPath(QPointF(6.5, 7.5), 6.2, 2.6));
}

// A small round badge in the lower right corner with a mark drawn on it.
void DrawBadge(QPainter& p, const QColor& color) {
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawEllipse(QPointF(12, 12), 3.8, 3.8);
    p.setPen(Pen(MarkOn(color), 1.5));
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

void Paint(QPainter& p, const Colours& c, Glyph glyph) {
    switch (glyph) {
        case Glyph::PhotoOnly:
            DrawPhoto(p, c, QRectF(1.5, 3.5, 13, 10));
            break;
        case Glyph::PhotoInfo:
            DrawPhoto(p, c, QRectF(0.5, 2.5, 10, 8));
            p.setPen(Qt::NoPen);
            p.setBrush(c.Navy);
            p.drawEllipse(QPointF(11.5, 11.5), 4.2, 4.2);
            p.setPen(Pen(MarkOn(c.Navy), 1.4));
            p.drawLine(QPointF(11.5, 10.8), QPointF(11.5, 13.8));
            p.drawPoint(QPointF(11.5, 9.0));
            break;
        case Glyph::UserPage:
            DrawPerson(p, QPointF(8, 4.2), 1.0, c.Navy);
            break;
        case Glyph::Statistics:
            p.setPen(Pen(c.Ink, 1.0));
            p.drawLine(QPointF(1.5, 14.5), QPointF(14.5, 14.5));
            p.setPen(Qt::NoPen);
            p.setBrush(c.Navy);
            p.drawRect(QRectF(2.5, 8.5, 3, 6));
            p.setBrush(c.Grass);
            p.drawRect(QRectF(6.5, 3.5, 3, 11));
            p.setBrush(c.Crimson);
            p.drawRect(QRectF(10.5, 6.5, 3, 8));
            break;
        case Glyph::AddFavorite:
            DrawStar(p, c);
            DrawBadge(p, c.Grass);
            p.drawLine(QPointF(12, 9.8), QPointF(12, 14.2));
            p.drawLine(QPointF(9.8, 12), QPointF(14.2, 12));
            break;
        case Glyph::DeleteFavorite:
            DrawStar(p, c);
            DrawBadge(p, c.Crimson);
            p.drawLine(QPointF(10.4, 10.4), QPointF(13.6, 13.6));
            p.drawLine(QPointF(13.6, 10.4), QPointF(10.4, 13.6));
            break;
        case Glyph::SelectFavorite:
            DrawStar(p, c);
            DrawBadge(p, c.Navy);
            DrawArrowHead(p, QPointF(12, 14.2), 0, 1, MarkOn(c.Navy));
            break;
        case Glyph::GoBack:
            p.setPen(Pen(c.Navy, 2.2));
            p.drawLine(QPointF(5, 8), QPointF(14, 8));
            DrawArrowHead(p, QPointF(1.5, 8), -1, 0, c.Navy);
            break;
        case Glyph::Refresh: {
            p.setPen(Pen(c.Grass, 2.0));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(2.5, 2.5, 11, 11), 100 * 16, 280 * 16);
            DrawArrowHead(p, QPointF(9.6, 2.6), 1, 0.1, c.Grass);
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
            p.setBrush(c.Crimson);
            p.drawPath(octagon);
            p.setPen(Pen(MarkOn(c.Crimson), 1.8));
            p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
            p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
            break;
        }
        case Glyph::AutoSkip:
            DrawArrowHead(p, QPointF(8.5, 8), 1, 0, c.Navy);
            DrawArrowHead(p, QPointF(14.5, 8), 1, 0, c.Navy);
            p.setPen(Pen(c.Navy, 1.6));
            p.drawLine(QPointF(1.5, 8), QPointF(5, 8));
            break;
        case Glyph::Help: {
            p.setPen(Qt::NoPen);
            p.setBrush(c.Navy);
            p.drawEllipse(QPointF(8, 8), 7, 7);
            QFont font;
            font.setPixelSize(11);
            font.setBold(true);
            p.setFont(font);
            p.setPen(MarkOn(c.Navy));
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
            p.setPen(Pen(c.Ink, 0.8));
            p.setBrush(c.Steel);
            p.drawPath(gear);
            break;
        }
        case Glyph::OverviewSheet:
            // Three by two small photos.
            for (int row = 0; row < 2; ++row) {
                for (int column = 0; column < 3; ++column)
                    DrawPhoto(p, c, QRectF(0.5 + column * 5.2, 3.5 + row * 5, 4.4, 4));
            }
            break;
    }
}

QPixmap Render(Glyph glyph, const Colours& colours, int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 16.0, size / 16.0);
    Paint(p, colours, glyph);
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

QIcon GlyphIcon(Glyph glyph, const GlyphPalette& palette) {
    const Colours colours = ColoursOf(palette);
    QIcon icon;
    for (int size : {16, 24, 32}) icon.addPixmap(Render(glyph, colours, size));
    return icon;
}

std::vector<QColor> ButtonBackgrounds(const QWidget& window, bool autoRaise) {
    // As the style paints the button's panel in each state it can be seen
    // in, on the window's ground; the middle of it is what a glyph lies on.
    const QPalette& palette = window.palette();
    const QColor ground = palette.color(QPalette::Button);
    std::vector<QColor> backgrounds{ground};
    const QStyle::State raise = autoRaise ? QStyle::State_AutoRaise : QStyle::State_Raised;
    const std::initializer_list<QStyle::State> states = {
        QStyle::State_Raised | QStyle::State_MouseOver, QStyle::State_On,
        QStyle::State_On | QStyle::State_MouseOver, QStyle::State_Sunken, QStyle::State_None};
    for (QStyle::State state : states) {
        QStyleOptionToolButton option;
        option.initFrom(&window);
        option.rect = QRect(0, 0, 23, 22);
        option.state = QStyle::State_Enabled | raise | state;
        QImage panel(option.rect.size(), QImage::Format_ARGB32_Premultiplied);
        panel.fill(ground);
        QPainter painter(&panel);
        window.style()->drawPrimitive(QStyle::PE_PanelButtonTool, &option, &painter, nullptr);
        painter.end();
        backgrounds.push_back(panel.pixelColor(option.rect.center()));
    }
    return backgrounds;
}

namespace {

// The first candidate that stands out from every background, else the one
// that comes nearest.
QColor Legible(const std::vector<QColor>& candidates, const std::vector<Rgb>& backgrounds) {
    std::vector<Rgb> rgb;
    for (const QColor& candidate : candidates) rgb.push_back(RgbOf(candidate));
    return candidates[LegibleInk(rgb, backgrounds)];
}

std::vector<Rgb> BackgroundsOf(const QWidget& window, bool autoRaise) {
    std::vector<Rgb> backgrounds;
    for (const QColor& background : ButtonBackgrounds(window, autoRaise))
        backgrounds.push_back(RgbOf(background));
    return backgrounds;
}

}  // namespace

QColor LegibleMarkColour(const QWidget& window, bool autoRaise, const QColor& design) {
    const QPalette& palette = window.palette();
    return Legible({design, palette.color(QPalette::Highlight), palette.color(QPalette::ButtonText),
                    palette.color(QPalette::Text)},
                   BackgroundsOf(window, autoRaise));
}

GlyphPalette GlyphPaletteFor(const QWidget& window, bool autoRaise) {
    GlyphPalette glyphs;
    glyphs.Backgrounds = BackgroundsOf(window, autoRaise);
    glyphs.Navy = LegibleMarkColour(window, autoRaise, DesignNavy);
    const QPalette& palette = window.palette();
    glyphs.Ink = Legible({DesignInk, palette.color(QPalette::ButtonText),
                          palette.color(QPalette::Text), palette.color(QPalette::WindowText)},
                         glyphs.Backgrounds);
    return glyphs;
}

}  // namespace kpw
