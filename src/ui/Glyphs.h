#pragma once

#include <QColor>
#include <QIcon>
#include <QPainterPath>
#include <vector>

#include "browsing/InkContrast.h"

class QWidget;

namespace kpw {

enum class Glyph {
    PhotoOnly,
    PhotoInfo,
    UserPage,
    Statistics,
    AddFavorite,
    DeleteFavorite,
    SelectFavorite,
    GoBack,
    Refresh,
    Stop,
    AutoSkip,
    Help,
    Settings,
    OverviewSheet,
};

// What the glyphs are drawn in: their marks and lines in colours that stand
// out from every background the button shows them on; their other colours
// are shaded where they would not.
struct GlyphPalette {
    QColor Navy;  // the main marks; the design has them navy
    QColor Ink;   // lines and frames; the design has them near black
    std::vector<Rgb> Backgrounds;
};

// The colours for glyphs on the tool buttons of a window as its palette and
// style draw them, in every state (raised, hovered, switched on); autoRaise
// as the buttons have it.
GlyphPalette GlyphPaletteFor(const QWidget& window, bool autoRaise);

// The colour for the marks of such buttons: the design's where it stands
// out, else the palette's highlight, button text or text, the first that does.
QColor LegibleMarkColour(const QWidget& window, bool autoRaise, const QColor& design);

// The backgrounds the style gives such a button, the window's ground first.
std::vector<QColor> ButtonBackgrounds(const QWidget& window, bool autoRaise);

// The tool-button pictures, drawn at run time so they stay crisp at any
// scale; the disabled state is derived by the icon itself.
QIcon GlyphIcon(Glyph glyph, const GlyphPalette& palette);

// A five-pointed star around c, its points at outer, its notches at inner.
QPainterPath StarPath(const QPointF& c, qreal outer, qreal inner);

}  // namespace kpw
