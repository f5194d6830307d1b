// RecentFiles: the recently-used list ("最近的文件"), kept in a settings store, shown in a menu.
#pragma once

#include <QObject>
#include <QStringList>

#include <functional>

class QMenu;
class QSettings;

namespace tavolin {

class RecentFiles : public QObject {
    Q_OBJECT
public:
    static constexpr int count = 4;

    // Fills `menu` with `count` entries (actions "cmd57616" … "cmd57619"); choosing one calls
    // `open` with its path. Neither the store nor the menu is owned.
    RecentFiles(QSettings& store, QMenu* menu, std::function<void(const QString&)> open);

    // Newest first.
    QStringList files() const;
    // Puts `path` (made absolute) at the head of the list and writes the store at once.
    void add(const QString& path);

private:
    void updateMenu();

    QSettings& store_;
    QMenu* menu_;
};

} // namespace tavolin
