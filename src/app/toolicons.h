// The program's drawn images: toolbar icons (normal, hot, disabled) and the program icon.
#pragma once

#include <QIcon>
#include <QString>

namespace tavolin {

// `name` is the image's base name in the resources ("open", "save", "prev", …).
QIcon toolIcon(const QString& name);
QIcon programIcon();

} // namespace tavolin
