#pragma once

#include <QImage>

namespace kpw {

// The flag of a language's item in the language list (BANNER0, BANNER1);
// a null image for any other language.
QImage FlagPicture(int language);

}  // namespace kpw
