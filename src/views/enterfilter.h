// Catches Enter in an editable member drop-down, so the entry renames the member instead of the
// combo box jumping to a member whose name matches the typed text.
#pragma once

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QObject>

#include <functional>
#include <utility>

namespace tavolin {

// Install it on the combo box and on its line edit: keys reach the combo box, which hands them
// to its line edit directly, past any filter there.
class EnterFilter : public QObject {
public:
    EnterFilter(QObject* parent, std::function<void()> onEnter)
        : QObject(parent), onEnter_(std::move(onEnter)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                onEnter_();
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onEnter_;
};

// The editable member drop-down of both forms: Enter in it calls `onRename`.
inline QComboBox* makeMemberBox(QObject* owner, std::function<void()> onRename) {
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setCompleter(nullptr);
    auto* enter = new EnterFilter(owner, std::move(onRename));
    box->installEventFilter(enter);
    box->lineEdit()->installEventFilter(enter);
    return box;
}

} // namespace tavolin
