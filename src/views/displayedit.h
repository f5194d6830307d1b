// DisplayEdit: an edit field that only shows a computed value (discards keys, refuses focus).
#pragma once

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace tavolin {

class DisplayEdit : public QLineEdit {
public:
    explicit DisplayEdit(QWidget* parent = nullptr) : QLineEdit(parent) {
        setReadOnly(true);
        setFocusPolicy(Qt::NoFocus);
        setContextMenuPolicy(Qt::NoContextMenu);
        setAcceptDrops(false);
    }

protected:
    void keyPressEvent(QKeyEvent* event) override { event->accept(); }
    void focusInEvent(QFocusEvent* event) override {
        // Focus given programmatically is passed straight on.
        QLineEdit::focusInEvent(event);
        clearFocus();
    }
};

} // namespace tavolin
