// RecoveryKeeper: the timer that writes this run's snapshot, its folder and lock, and the offer
// of snapshots left behind by a run that crashed.
#include "app/recoverykeeper.h"

#include "views/qtext.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>

#include <algorithm>

namespace tavolin {

namespace {

const QString kLockName = QStringLiteral("lock");

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

RecoveryKeeper::RecoveryKeeper(CTavolinDoc& doc, QObject* parent) : QObject(parent), doc_(doc) {
    timer_.setSingleShot(true);
    connect(&timer_, &QTimer::timeout, this, &RecoveryKeeper::writeNow);
    doc_.addObserver(this);
}

RecoveryKeeper::~RecoveryKeeper() {
    doc_.removeObserver(this);
    removeOwn();
}

QString RecoveryKeeper::rootFolder() {
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || !QDir::isAbsolutePath(state))
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/tavolin/recovery");
}

void RecoveryKeeper::schedule() {
    // Started by the first edit and not restarted by the next ones, so that steady typing
    // cannot postpone the snapshot.
    if (doc_.isOpen() && doc_.isModified() && !timer_.isActive())
        timer_.start(kDelayMs);
}

void RecoveryKeeper::modifiedChanged(bool modified) {
    if (modified)
        schedule();
    else
        removeOwn();
}

void RecoveryKeeper::removeOwn() {
    timer_.stop();
    if (folder_.isEmpty())
        return;
    lock_.reset();
    QDir(folder_).removeRecursively();
    folder_.clear();
}

bool RecoveryKeeper::writeNow() {
    if (!doc_.isOpen() || !doc_.isModified())
        return true;
    if (folder_.isEmpty()) {
        const QString folder = rootFolder() + QStringLiteral("/%1-%2")
                                                  .arg(QCoreApplication::applicationPid())
                                                  .arg(QDateTime::currentMSecsSinceEpoch());
        if (!QDir().mkpath(folder))
            return false;
        auto lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + kLockName);
        if (!lock->tryLock(0))
            return false;
        folder_ = folder;
        lock_ = std::move(lock);
    }
    return doc_.writeRecovery(local(folder_), QDateTime::currentSecsSinceEpoch()).empty();
}

QStringList RecoveryKeeper::leftBehind() {
    struct Found {
        QString folder;
        int64_t time;
    };
    std::vector<Found> found;
    const QDir root(rootFolder());
    for (const QString& name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString folder = root.filePath(name);
        if (folder == folder_)
            continue;
        // A folder whose lock another live run holds is that run's own.
        auto& lock = held_[folder];
        if (!lock) {
            lock = std::make_unique<QLockFile>(folder + QLatin1Char('/') + kLockName);
            if (!lock->tryLock(0)) {
                held_.erase(folder);
                continue;
            }
        }
        RecoveryInfo info;
        readRecoveryInfo(local(folder), info);
        found.push_back({folder, info.time});
    }
    std::stable_sort(found.begin(), found.end(),
                     [](const Found& a, const Found& b) { return a.time < b.time; });
    QStringList folders;
    for (const Found& f : found)
        folders << f.folder;
    return folders;
}

void RecoveryKeeper::adoptFolder(const QString& folder) {
    removeOwn();
    auto it = held_.find(folder);
    if (it != held_.end()) {
        lock_ = std::move(it->second);
        held_.erase(it);
    }
    folder_ = folder;
    schedule();
}

void RecoveryKeeper::discard(const QString& folder) {
    held_.erase(folder); // unlocks
    QDir(folder).removeRecursively();
}

bool offerRecovery(RecoveryKeeper& keeper, CTavolinDoc& doc, QWidget* parent,
                   const std::function<bool()>& maySave) {
    for (const QString& folder : keeper.leftBehind()) {
        RecoveryInfo info;
        const std::u16string damaged = readRecoveryInfo(local(folder), info);
        QMessageBox box(QMessageBox::Question, QStringLiteral("恢复未保存的数据"), QString(),
                        QMessageBox::NoButton, parent);
        if (damaged.empty()) {
            box.setText(QStringLiteral("上次未正常退出，发现未保存的数据：\n%1\n%2")
                            .arg(toQ(info.name), QDateTime::fromSecsSinceEpoch(info.time).toString(
                                                     QStringLiteral("yyyy-MM-dd hh:mm:ss"))));
        } else {
            box.setText(toQ(damaged));
        }
        QPushButton* restore = box.addButton(QStringLiteral("恢复"), QMessageBox::AcceptRole);
        QPushButton* drop = box.addButton(QStringLiteral("放弃"), QMessageBox::DestructiveRole);
        restore->setEnabled(damaged.empty());
        box.setDefaultButton(damaged.empty() ? restore : drop);
        box.exec();
        if (box.clickedButton() == drop) {
            keeper.discard(folder);
            continue;
        }
        if (box.clickedButton() != restore)
            continue; // closed without an answer: offered again at the next start
        if (maySave && !maySave())
            return false;
        const std::u16string error = doc.restoreRecovery(local(folder));
        if (!error.empty()) {
            QMessageBox::warning(parent, QStringLiteral("恢复未保存的数据"), toQ(error));
            continue;
        }
        keeper.adoptFolder(folder);
        return true;
    }
    return false;
}

} // namespace tavolin
