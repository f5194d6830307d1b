// Turns the document's notifications into queued Qt signals, so receivers run after the
// handler that caused them has finished (the posted-message order of the program). Views reach
// the document only through it: const for reading, DocEditor for the edit operations.
#pragma once

#include "data/doc.h"
#include "views/qtext.h"

#include <QObject>
#include <QPointer>

#include <utility>

namespace tavolin {

class DocBridge : public QObject, public DocObserver {
    Q_OBJECT
public:
    explicit DocBridge(CTavolinDoc& doc, QObject* parent = nullptr) : QObject(parent), doc_(doc) {
        doc_.addObserver(this);
    }
    ~DocBridge() override { doc_.removeObserver(this); }
    const CTavolinDoc& doc() const { return doc_; }
    DocEditor& edit() const { return doc_; }

    // Runs `edit` after the current handler, in `context`, unless `context` is gone or another
    // job was opened (or the job closed or reopened) in between: an edit belongs to the job it
    // was typed in.
    template <class F> void postEdit(QObject* context, F&& edit) const {
        QPointer<QObject> guard(context);
        const unsigned generation = doc_.generation();
        QMetaObject::invokeMethod(
            context,
            [this, guard, generation, edit = std::forward<F>(edit)]() mutable {
                if (guard && doc_.generation() == generation)
                    edit();
            },
            Qt::QueuedConnection);
    }

    void areaChanged() override { post(&DocBridge::areaChangedQueued); }
    void samplesChanged() override { post(&DocBridge::samplesChangedQueued); }
    void contentsReplaced() override { post(&DocBridge::contentsReplacedQueued); }
    void modifiedChanged(bool m) override {
        QMetaObject::invokeMethod(
            this, [this, m] { emit modifiedChangedQueued(m); }, Qt::QueuedConnection);
    }
    void titleChanged(const std::u16string& t) override {
        QString title = toQ(t);
        QMetaObject::invokeMethod(
            this, [this, title] { emit titleChangedQueued(title); }, Qt::QueuedConnection);
    }
    void jobChanged(const DocChange& c) override {
        QMetaObject::invokeMethod(
            this, [this, c] { emit jobChangedQueued(c.member, c.area, c.fields); },
            Qt::QueuedConnection);
    }
    // Notices are shown at once (the reader's "数字过长…" message), not queued.
    void notice(const std::u16string& text) override { emit noticeNow(toQ(text)); }

signals:
    void areaChangedQueued();
    void samplesChangedQueued();
    void contentsReplacedQueued();
    void modifiedChangedQueued(bool modified);
    void titleChangedQueued(const QString& title);
    void noticeNow(const QString& text);
    // An edit of the document (DocChange: member, area, ChangeField mask; -1 = all), queued so
    // that it arrives after the handler that made the edit.
    void jobChangedQueued(int member, int area, unsigned fields);

private:
    template <class Sig> void post(Sig sig) {
        QMetaObject::invokeMethod(
            this, [this, sig] { emit(this->*sig)(); }, Qt::QueuedConnection);
    }
    CTavolinDoc& doc_;
};

} // namespace tavolin
