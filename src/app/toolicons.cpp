// Loads the toolbar images from the resources: normal, hot (mouse over) and disabled looks.
#include "app/toolicons.h"

#include <QFile>

static void initTavolinResources() {
    Q_INIT_RESOURCE(tavolin);
}

namespace tavolin {

namespace {
void ensureResources() {
    static const bool done = [] {
        initTavolinResources();
        return true;
    }();
    (void)done;
}
} // namespace

QIcon toolIcon(const QString& name) {
    ensureResources();
    QIcon icon;
    const QString base = QStringLiteral(":/icons/") + name;
    const std::pair<QString, QIcon::Mode> looks[] = {
        {QString(), QIcon::Normal},
        {QStringLiteral("-hot"), QIcon::Active},
        {QStringLiteral("-disabled"), QIcon::Disabled},
    };
    for (const auto& [suffix, mode] : looks) {
        icon.addFile(base + suffix + QStringLiteral(".png"), QSize(32, 32), mode);
        icon.addFile(base + suffix + QStringLiteral("@2x.png"), QSize(64, 64), mode);
    }
    return icon;
}

QIcon programIcon() {
    ensureResources();
    QIcon icon;
    for (int size : {32, 64, 256})
        icon.addFile(QStringLiteral(":/icons/tavolin-%1.png").arg(size), QSize(size, size));
    return icon;
}

} // namespace tavolin
