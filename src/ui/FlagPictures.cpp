#include "ui/FlagPictures.h"

#include "texts/FlagBitmaps.h"

namespace kpw {

QImage FlagPicture(int language) {
    const char* const* xpm = texts::FlagBitmap(language);
    return xpm ? QImage(xpm) : QImage();
}

}  // namespace kpw
