// Ctrl+Z inside a text field: a field with typing of its own to take back keeps the key; one
// without lets it through to the window's undo of the job's edits.
#include "app/undokeys.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPointer>

namespace tavolin {

namespace {

class TextUndoFilter : public QObject {
public:
    TextUndoFilter(QWidget* window) : QObject(window), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::ShortcutOverride)
            return false;
        auto* edit = qobject_cast<QLineEdit*>(watched);
        if (!edit || edit->isReadOnly() || edit->window() != window_)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        const bool undo = key->matches(QKeySequence::Undo);
        const bool redo = key->matches(QKeySequence::Redo) ||
                          key->keyCombination() == QKeyCombination(Qt::CTRL, Qt::Key_Y);
        // Not accepted and not passed on: the window's shortcut gets the key.
        if ((undo && !edit->isUndoAvailable()) || (redo && !edit->isRedoAvailable())) {
            event->ignore();
            return true;
        }
        return false;
    }

private:
    QPointer<QWidget> window_;
};

} // namespace

void installTextUndoFilter(QWidget* window) {
    qApp->installEventFilter(new TextUndoFilter(window));
}

} // namespace tavolin
