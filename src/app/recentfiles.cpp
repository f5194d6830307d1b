// The recently-used list: the store's "Recent File List" group and the entries of its menu.
#include "app/recentfiles.h"

#include <QAction>
#include <QFileInfo>
#include <QMenu>
#include <QSettings>

namespace tavolin {

namespace {
const QString recentGroup = QStringLiteral("Recent File List");
constexpr int firstId = 57616;
} // namespace

RecentFiles::RecentFiles(QSettings& store, QMenu* menu, std::function<void(const QString&)> open)
    : QObject(menu), store_(store), menu_(menu) {
    for (int i = 0; i < count; ++i) {
        auto* a = new QAction(menu);
        a->setObjectName(QStringLiteral("cmd%1").arg(firstId + i));
        connect(a, &QAction::triggered, this, [a, open] { open(a->data().toString()); });
        menu->addAction(a);
    }
    updateMenu();
}

QStringList RecentFiles::files() const {
    QStringList files;
    store_.beginGroup(recentGroup);
    for (int i = 1; i <= count; ++i) {
        const QString f = store_.value(QStringLiteral("File%1").arg(i)).toString();
        if (!f.isEmpty())
            files << f;
    }
    store_.endGroup();
    return files;
}

void RecentFiles::add(const QString& path) {
    QStringList files = this->files();
    const QString absolute = QFileInfo(path).absoluteFilePath();
    files.removeAll(absolute);
    files.prepend(absolute);
    while (files.size() > count)
        files.removeLast();
    store_.beginGroup(recentGroup);
    for (int i = 0; i < count; ++i) {
        const QString key = QStringLiteral("File%1").arg(i + 1);
        if (i < files.size())
            store_.setValue(key, files[i]);
        else
            store_.remove(key);
    }
    store_.endGroup();
    store_.sync();
    updateMenu();
}

void RecentFiles::updateMenu() {
    const QStringList files = this->files();
    const QList<QAction*> entries = menu_->actions();
    for (int i = 0; i < entries.size(); ++i) {
        QAction* a = entries[i];
        a->setVisible(i < files.size());
        if (i < files.size()) {
            QString shown = files[i];
            shown.replace(QLatin1Char('&'), QStringLiteral("&&"));
            a->setText(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
            a->setData(files[i]);
        }
    }
    menu_->setEnabled(!files.isEmpty());
}

} // namespace tavolin
