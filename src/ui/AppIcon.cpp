#include "ui/AppIcon.h"

#include <QString>

// The resources live in a static library; without this call the linker drops them.
static void InitAppIconResources() {
    Q_INIT_RESOURCE(appicon);
}

namespace kpw {

QIcon ApplicationIcon() {
    InitAppIconResources();
    QIcon icon;
    // The sizes rendered for the icon theme (scripts/render-icons.sh).
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
        icon.addFile(QStringLiteral(":/kpw/icons/%1.png").arg(size), QSize(size, size));
    return icon;
}

}  // namespace kpw
