#pragma once

// Icons from the desktop's icon theme, with the program's own pictures where a
// desktop has none.

#include <QIcon>

class QStyle;

namespace vantor {

// Returns Vantor's own application icon.
QIcon AppIcon();

// Returns the theme's icon of a freedesktop name ("edit-copy"); without one, the
// program's own picture of that name, else the style's standard pixmap.
QIcon ThemeIcon(const char* name, const QStyle& style, int fallback);

}  // namespace vantor
