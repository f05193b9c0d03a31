#pragma once

#include <QIcon>
#include <QPainterPath>

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

// The tool-button pictures, drawn at run time so they stay crisp at any
// scale; the disabled state is derived by the icon itself.
QIcon GlyphIcon(Glyph glyph);

// A five-pointed star around c, its points at outer, its notches at inner.
QPainterPath StarPath(const QPointF& c, qreal outer, qreal inner);

}  // namespace kpw
