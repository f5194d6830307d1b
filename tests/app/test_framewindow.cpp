// The frame on a user's desktop: a laptop-sized window, "另存为" of both job types, a Chinese Qt.
#include "shelltestsupport.h"

#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "views/docbridge.h"

#include <QCalendarWidget>
#include <QDateEdit>
#include <QDockWidget>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QStatusBar>
#include <QToolButton>

using namespace tavolin;
using namespace tavolin::test;

class TestFrameWindow : public ShellTest {
    Q_OBJECT
private:
    QString raw_;
    QString result_;

    QAction* act(const char* name) { return frame().action(QString::fromLatin1(name)); }

    // Whether `w` lies wholly inside what its scroll area shows.
    static bool shownInside(QWidget* w, QScrollArea* area) {
        const QRect r(w->mapTo(area->viewport(), QPoint(0, 0)), w->size());
        return area->viewport()->rect().contains(r);
    }

private slots:
    void initTestCase() {
        QVERIFY(prepareShell());
        raw_ = copySample(data_, QStringLiteral("sample-raw.SHT"));
        result_ = copySample(data_, QStringLiteral("sample-result.SHA"));
        QVERIFY(!raw_.isEmpty() && !result_.isEmpty());
    }
    void init() { QVERIFY(startApp()); }
    void cleanup() { stopApp(); }

    // A 1366 × 768 screen leaves about 690 pixels for a maximised window under a title bar and
    // a panel: the whole window, status bar included, fits in both interfaces, and a bar's
    // form that is taller than its bar scrolls to the field the keyboard reaches.
    void windowFitsALaptopScreen() {
        QVERIFY(frame().openFile(raw_));
        frame().showNormal();
        for (const char* shown : {"main", "analysis"}) {
            if (QByteArray(shown) == "analysis")
                act("cmd32779")->trigger();
            frame().resize(1366, 690);
            QTRY_COMPARE(frame().size(), QSize(1366, 690));
            QVERIFY2(frame().statusBar()->isVisible(), shown);
            QVERIFY2(frame().statusBar()->geometry().bottom() < 690, shown);
            QVERIFY2(frame().centralWidget()->geometry().bottom() <
                         frame().statusBar()->geometry().top(),
                     shown);
        }
        act("cmd32796")->trigger();
        frame().resize(1366, 420);
        QTRY_COMPARE(frame().height(), 420);
        auto* area = frame().projectBar()->findChild<QScrollArea*>();
        QVERIFY(area);
        QTRY_VERIFY(area->verticalScrollBar()->maximum() > 0);
        // Tab from the lowest field in sight down to the lowest one: the form scrolls along.
        QWidget* lowest = nullptr;
        QWidget* start = nullptr;
        auto y = [area](QWidget* w) { return w->mapTo(area->widget(), QPoint()).y(); };
        for (QWidget* w : area->widget()->findChildren<QWidget*>()) {
            if (!w->isVisible() || !w->isEnabled() || !(w->focusPolicy() & Qt::TabFocus))
                continue;
            if (!lowest || y(w) > y(lowest))
                lowest = w;
            if (qobject_cast<QLineEdit*>(w) && shownInside(w, area) && (!start || y(w) > y(start)))
                start = w;
        }
        QVERIFY(start);
        QVERIFY(lowest);
        QVERIFY(!shownInside(lowest, area));
        frame().activateWindow();
        QTest::mouseClick(start, Qt::LeftButton);
        QVERIFY(start->hasFocus());
        for (int i = 0; i < 60 && !lowest->hasFocus(); ++i)
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QVERIFY(lowest->hasFocus());
        QVERIFY(shownInside(lowest, area));
    }

    // "另存为" offers both types and proposes the open job's own, so that a result job of three
    // members is saved as one and not flattened into a raw file.
    void saveAsKeepsTheJobsType() {
        FileDialogScript files;
        const struct {
            QString job;
            QString proposedType;
        } cases[] = {{result_, filterNameResult}, {raw_, filterNameRaw}};
        for (const auto& c : cases) {
            QVERIFY(frame().openFile(c.job));
            files.cancel();
            act("cmd32827")->trigger();
            const FileRequest& asked = files.requests.back();
            QCOMPARE(asked.kind, FileRequest::Save);
            QCOMPARE(asked.filter.split(QStringLiteral(";;")),
                     QStringList({QStringLiteral("声波原始文件 (*.SHT)"),
                                  QStringLiteral("声波结果文件 (*.SHA)"),
                                  QStringLiteral("All Files (*.*)")}));
            QCOMPARE(asked.selectedFilter, c.proposedType);
            QCOMPARE(asked.proposed, c.job);
        }
        QVERIFY(frame().openFile(result_));
        const QString copy = data_.filePath(QStringLiteral("copy.SHA"));
        files.answer(copy);
        act("cmd32827")->trigger();
        JobData saved;
        QVERIFY(ReadDataFile(pathFromQ(copy), saved).empty());
        QCOMPARE(saved.memberCount, 3);
    }

    // Qt's own dialogs and the calendar of the date pickers speak Chinese.
    void qtDialogsAndDatesAreChinese() {
        QStringList labels;
        QString title;
        {
            DialogCatcher catcher([&](QWidget* w) {
                title = w->windowTitle();
                for (QLabel* l : w->findChildren<QLabel*>())
                    labels << l->text();
                qobject_cast<QDialog*>(w)->reject();
            });
            act("cmd57601")->trigger();
            QTRY_VERIFY(!title.isEmpty());
        }
        QCOMPARE(title, QStringLiteral("打开"));
        const QString joined = labels.join(QLatin1Char('|'));
        QVERIFY2(!joined.contains(QStringLiteral("Look in")), qPrintable(joined));
        QVERIFY2(!joined.contains(QStringLiteral("File name")), qPrintable(joined));
        QVERIFY2(joined.contains(QStringLiteral("文件名")), qPrintable(joined));

        QString printTitle;
        {
            QVERIFY(frame().openFile(raw_));
            DialogCatcher catcher([&](QWidget* w) {
                printTitle = w->windowTitle();
                qobject_cast<QDialog*>(w)->reject();
            });
            frame().activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(&frame()));
            QTest::keyClick(&frame(), Qt::Key_P, Qt::ControlModifier);
            QTRY_VERIFY(!printTitle.isEmpty());
        }
        QCOMPARE(printTitle, QStringLiteral("打印"));

        // The calendar of "测试日期" opened with the mouse: its month in Chinese.
        auto* date = frame().projectBar()->findChild<QDateEdit*>(QStringLiteral("dateTest"));
        QVERIFY(date);
        date->setDate(QDate(2023, 3, 14));
        QTest::mouseClick(date, Qt::LeftButton, Qt::NoModifier,
                          QPoint(date->width() - 6, date->height() / 2));
        QCalendarWidget* calendar = date->calendarWidget();
        QTRY_VERIFY(calendar->isVisible());
        auto* month = calendar->findChild<QToolButton*>(QStringLiteral("qt_calendar_monthbutton"));
        QVERIFY(month);
        QCOMPARE(month->text(), QStringLiteral("三月"));
        calendar->window()->hide();
    }
};

QTEST_MAIN(TestFrameWindow)
#include "test_framewindow.moc"
