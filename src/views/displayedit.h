// DisplayEdit: an edit field that only shows a computed value (discards keys, refuses focus,
// looks read-only); it can be switched to an ordinary entry field where a rule allows input.
#pragma once

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>

namespace tavolin {

class DisplayEdit : public QLineEdit {
public:
    explicit DisplayEdit(QWidget* parent = nullptr, bool displayOnly = true) : QLineEdit(parent) {
        setContextMenuPolicy(Qt::NoContextMenu);
        setAcceptDrops(false);
        setDisplayOnly(displayOnly);
    }

    bool isDisplayOnly() const { return displayOnly_; }
    void setDisplayOnly(bool on) {
        displayOnly_ = on;
        setReadOnly(on);
        setFocusPolicy(on ? Qt::NoFocus : Qt::StrongFocus);
        // Read-only fields wear the window's colour, so they never look like entry fields.
        QPalette p = QApplication::palette(this);
        if (on)
            p.setColor(QPalette::Base, p.color(QPalette::Window));
        setPalette(p);
        if (on && hasFocus())
            clearFocus();
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (displayOnly_)
            event->accept();
        else
            QLineEdit::keyPressEvent(event);
    }
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        // Focus given programmatically is passed straight on.
        if (displayOnly_)
            clearFocus();
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (!displayOnly_)
            return QLineEdit::mousePressEvent(event);
        // A click here means the user has left the field they were typing in: keys typed now
        // must not go on editing it.
        if (QWidget* focused = QApplication::focusWidget(); focused && focused != this)
            focused->clearFocus();
        event->accept();
    }

private:
    bool displayOnly_ = true;
};

} // namespace tavolin
