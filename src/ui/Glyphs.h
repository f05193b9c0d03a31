#pragma once

#include <QIcon>

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
};

// The tool-button pictures, drawn at run time so they stay crisp at any
// scale; the disabled state is derived by the icon itself.
QIcon GlyphIcon(Glyph glyph);

}  // namespace kpw
