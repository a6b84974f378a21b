#include "ui/DesktopIcons.h"

#include <QFile>
#include <QStyle>

// The icons live in a static library: their resources are registered by name.
static void InitIconResources() {
    Q_INIT_RESOURCE(vantor_icons);
}

namespace vantor {

QIcon AppIcon() {
    InitIconResources();
    return QIcon(":/icons/vantor.svg");
}

QIcon ThemeIcon(const char* name, const QStyle& style, int fallback) {
    InitIconResources();
    const QString own = QString(":/icons/%1.svg").arg(name);
    QIcon icon = QIcon::fromTheme(name);
    if (!icon.isNull()) {
        return icon;
    }
    if (QFile::exists(own)) {
        return QIcon(own);
    }
    return style.standardIcon(static_cast<QStyle::StandardPixmap>(fallback));
}

}  // namespace vantor
