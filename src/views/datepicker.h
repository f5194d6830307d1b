// DatePicker: the date field of the project forms: blank while a job has no readable date, and
// Tab always moves on to the next control (the day, month and year are reached with the arrows).
#pragma once

#include <QDateEdit>
#include <QKeyEvent>

namespace tavolin {

class DatePicker : public QDateEdit {
public:
    // The value that stands for "no date": shown blank.
    static QDate noDate() { return QDate(1900, 1, 1); }

    explicit DatePicker(QWidget* parent = nullptr) : QDateEdit(parent) {
        setCalendarPopup(true);
        setDisplayFormat(QStringLiteral("yyyy-M-d"));
        setMinimumDate(noDate());
        setSpecialValueText(QStringLiteral(" "));
        setDate(noDate());
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        // QDateEdit keeps Tab for its sections and swallows it while the blank value shows,
        // which would trap keyboard users in the field.
        if ((event->key() == Qt::Key_Tab || event->key() == Qt::Key_Backtab) &&
            !(event->modifiers() & Qt::ControlModifier)) {
            event->accept();
            QWidget::focusNextPrevChild(event->key() == Qt::Key_Tab &&
                                        !(event->modifiers() & Qt::ShiftModifier));
            return;
        }
        QDateEdit::keyPressEvent(event);
    }
};

} // namespace tavolin
