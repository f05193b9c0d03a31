#pragma once

#include <QIcon>

namespace kpw {

// The program's icon in every size the icon theme has, from the resources.
QIcon ApplicationIcon();

}  // namespace kpw
