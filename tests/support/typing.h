// Typing as a user does, for the widget tests: the focus comes from a click or from Tab, and every
// key goes to the widget that has the focus at that moment, never straight to an inner editor.
// A field that a click or Tab cannot reach fails the test that types into it.
#pragma once

#include <QApplication>
#include <QInputMethodEvent>
#include <QTest>
#include <QWidget>

namespace tavolin::testing {

// Whether the focus is on `target`, inside it (a grid's editor, a combo's edit) or its proxy;
// records a failure naming `how` when it is not.
inline bool focusReached(const QWidget* target, const char* how) {
    const QWidget* f = QApplication::focusWidget();
    if (f && (f == target || target->isAncestorOf(f) || target->focusProxy() == f))
        return true;
    QTest::qFail(qPrintable(QStringLiteral("%1 does not reach %2").arg(how, target->objectName())),
                 __FILE__, __LINE__);
    return false;
}

// A click on a desktop also makes its window the active one. A window that was only just shown
// (a dialog caught as it opens) cannot become active before it is on the screen.
inline void activate(QWidget* target) {
    if (!target->window()->isActiveWindow()) {
        static_cast<void>(QTest::qWaitForWindowExposed(target->window(), 1000));
        target->window()->activateWindow();
        static_cast<void>(QTest::qWaitForWindowActive(target->window(), 1000));
    }
}

// Clicks `target` at `at` (its centre by default); true when that gave it the focus.
inline bool clickToFocus(QWidget* target, QPoint at = {}) {
    activate(target);
    QTest::mouseClick(target, Qt::LeftButton, {}, at.isNull() ? target->rect().center() : at);
    return focusReached(target, "a click");
}

// Presses Tab (at most `limit` times) until `target` has the focus.
inline bool tabToFocus(QWidget* target, int limit = 64) {
    activate(target);
    for (int i = 0; i < limit && !target->isAncestorOf(QApplication::focusWidget()) &&
                    QApplication::focusWidget() != target;
         ++i)
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget()
                                                    : target->window(),
                        Qt::Key_Tab);
    return focusReached(target, "Tab");
}

// Types `text` key by key, each key to the widget that has the focus when it is pressed (the
// window of `fallback` when none has it). "\n" is Enter; a run of characters without keys of
// their own arrives as one committed input-method text, as a Chinese word does. Nothing queued
// runs in between, as when keys come faster than the program refreshes.
inline void typeKeys(const QString& text, QWidget* fallback = nullptr) {
    for (qsizetype i = 0; i < text.size();) {
        QWidget* to = QApplication::focusWidget();
        to = to ? to : fallback ? fallback->window() : nullptr;
        if (!to)
            return QTest::qFail("no widget has the focus", __FILE__, __LINE__);
        const QChar ch = text[i];
        if (ch == u'\n') {
            QTest::keyClick(to, Qt::Key_Return);
            ++i;
        } else if (ch.unicode() < 128) {
            QTest::keyClicks(to, QString(ch));
            ++i;
        } else {
            qsizetype end = i;
            while (end < text.size() && text[end].unicode() >= 128)
                ++end;
            QInputMethodEvent commit;
            commit.setCommitString(text.mid(i, end - i));
            QApplication::sendEvent(to, &commit);
            i = end;
        }
    }
}

// Clicks into `field`, selects all of its text, types `text` in its place and, unless told
// not to, presses Enter: all as keys to the focused widget.
inline void enterText(QWidget* field, const QString& text, bool enter = true) {
    if (!clickToFocus(field))
        return;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    typeKeys(enter ? text + u'\n' : text, field);
    QCoreApplication::processEvents();
}

} // namespace tavolin::testing
