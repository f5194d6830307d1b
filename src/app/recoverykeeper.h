// Recovery snapshots of unsaved work in the per-user state folder: written shortly after edits,
// removed on save and on a clean close, offered again at the next start after a crash.
#pragma once

#include "data/doc.h"
#include "data/recovery.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <functional>

#include <map>
#include <memory>

class QLockFile;
class QWidget;

namespace tavolin {

class RecoveryKeeper : public QObject, public DocObserver {
    Q_OBJECT
public:
    // The first unsaved edit is on disk this long after it was made (with the edits that
    // followed it meanwhile).
    static constexpr int kDelayMs = 2000;

    RecoveryKeeper(CTavolinDoc& doc, QObject* parent = nullptr);
    // A clean close: the snapshot of this run is removed.
    ~RecoveryKeeper() override;

    // $XDG_STATE_HOME/tavolin/recovery (~/.local/state/… without it).
    static QString rootFolder();
    // Folder of this run's snapshot; empty while there is none.
    QString folder() const { return folder_; }
    // Snapshot folders left by runs that ended without removing them (a crash), oldest first.
    // Each stays locked by this run until it is restored, discarded or this run ends.
    QStringList leftBehind();
    // Takes a restored snapshot's folder as this run's own.
    void adoptFolder(const QString& folder);
    // Deletes a snapshot left behind.
    void discard(const QString& folder);
    // Writes the snapshot now (the timer's work); false when it could not be written.
    bool writeNow();

    // DocObserver: edits start the timer, a save or a new job ends the snapshot.
    void jobChanged(const DocChange&) override { schedule(); }
    void modifiedChanged(bool modified) override;
    void contentsReplaced() override { removeOwn(); }

private:
    void schedule();
    void removeOwn();

    CTavolinDoc& doc_;
    QTimer timer_;
    QString folder_;
    std::unique_ptr<QLockFile> lock_;
    std::map<QString, std::unique_ptr<QLockFile>> held_;
};

// Offers each snapshot left behind ("恢复" / "放弃"); after a restore the rest wait for the next
// start. Returns true when a snapshot became the open job.
bool offerRecovery(RecoveryKeeper& keeper, CTavolinDoc& doc, QWidget* parent,
                   const std::function<bool()>& maySave = {});

} // namespace tavolin
