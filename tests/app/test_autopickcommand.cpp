// "波形处理" → "自动判读当前构件" chosen from the menu with the mouse: confident points move, the
// point without a pulse is framed in its pane and counted in the status bar until picked by hand;
// "撤销" takes the hand pick and then the whole command back.
#include "shelltestsupport.h"

#include "app/mainframe.h"
#include "support/jobbuilder.h"
#include "views/qtext.h"
#include "views/tavolinview.h"

#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>

using namespace tavolin;
using namespace tavolin::test;
using namespace tavolin::testing;

class TestAutoPickCommand : public ShellTest {
    Q_OBJECT
private:
    // One member of two areas; points 1 and 2 of area 1 and every point of area 2 carry pulses
    // starting at known samples, point 3 of area 1 only the builder's noise.
    QString writeJob() {
        Geometry g;
        g.datLen = 1024;
        g.dT = 0.4f;
        JobBuilder b;
        b.geometry(g).member(u"梁A").areas(2, same(35));
        const double onsets[2][3] = {{300, 260, 0}, {200, 330, 410}};
        for (int a = 0; a < 2; ++a)
            for (int j = 0; j < 3; ++j)
                if (onsets[a][j] > 0) {
                    TestPoint& p = b.job().areas[0][a].points[j];
                    p.samples = pulseWaveform({.onset = onsets[a][j], .noise = 5});
                    p.rawSamples = p.samples;
                }
        const QString path = data_.filePath(QStringLiteral("pulses.SHA"));
        const std::u16string error = WriteResultFile(pathFromQ(path), b.build());
        if (!error.empty())
            qWarning() << toQ(error);
        return error.empty() ? path : QString();
    }

    // Opens a menu of the menu bar and chooses one of its items, both by mouse clicks.
    void chooseFromMenu(const QString& menuTitle, const QString& item) {
        QMenuBar* bar = frame().menuBar();
        QAction* menuAction = nullptr;
        for (QAction* a : bar->actions())
            if (a->text() == menuTitle)
                menuAction = a;
        QVERIFY(menuAction);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          bar->actionGeometry(menuAction).center());
        QMenu* menu = menuAction->menu();
        QTRY_VERIFY(menu->isVisible());
        QAction* target = nullptr;
        for (QAction* a : menu->actions())
            if (a->text() == item)
                target = a;
        QVERIFY(target);
        QVERIFY(target->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, Qt::NoModifier,
                          menu->actionGeometry(target).center());
    }

    CTavolinView* pane(int point) {
        for (CTavolinView* v : frame().findChildren<CTavolinView*>())
            if (v->point() == point)
                return v;
        return nullptr;
    }

private slots:
    void initTestCase() { QVERIFY(prepareShell()); }
    void init() { QVERIFY(startApp()); }
    void cleanup() { stopApp(); }

    void memberCommandFromTheMenu() {
        const QString job = writeJob();
        QVERIFY(!job.isEmpty());
        QVERIFY(frame().openFile(job));
        auto* count = frame().statusBar()->findChild<QLabel*>(QStringLiteral("labelReview"));
        QVERIFY(count);
        QVERIFY(count->isHidden());

        chooseFromMenu(QStringLiteral("波形处理(&W)"), QStringLiteral("自动判读当前构件"));
        QTRY_VERIFY(count->isVisible());
        QCOMPARE(count->text(), QStringLiteral("1 个测点需人工判读"));
        const TestArea* first = doc().area(0, 0);
        QVERIFY(std::abs(first->points[0].arrivalIndex - 300) <= 2);
        QVERIFY(std::abs(doc().area(0, 1)->points[2].arrivalIndex - 410) <= 2);
        QCOMPARE(first->points[2].arrivalIndex, Geometry{}.arrival);

        // The pane of the marked point has the orange frame; the pane of a suggestion has not.
        CTavolinView* marked = pane(2);
        CTavolinView* suggested = pane(0);
        QVERIFY(marked && suggested);
        const QColor orange(230, 100, 0);
        QTRY_COMPARE(marked->grab().toImage().pixelColor(2, marked->height() / 2), orange);
        QVERIFY(suggested->grab().toImage().pixelColor(2, suggested->height() / 2) != orange);

        // A click in the marked pane picks by hand: the count goes.
        QTest::mouseClick(marked, Qt::LeftButton, Qt::NoModifier,
                          QPoint(marked->width() / 2, marked->height() / 2));
        QTRY_VERIFY(count->isHidden());
        QCOMPARE(doc().area(0, 0)->points[2].pickOrigin, PickOrigin::Hand);

        // "编辑" → "撤销" takes back the hand pick, then the whole command.
        const QString undo = frame().action(QStringLiteral("cmd57643"))->text();
        chooseFromMenu(QStringLiteral("编辑(&E)"), undo);
        QTRY_COMPARE(count->text(), QStringLiteral("1 个测点需人工判读"));
        QTRY_VERIFY(count->isVisible());
        chooseFromMenu(QStringLiteral("编辑(&E)"),
                       frame().action(QStringLiteral("cmd57643"))->text());
        QTRY_VERIFY(count->isHidden());
        QCOMPARE(doc().area(0, 0)->points[0].arrivalIndex, Geometry{}.arrival);
        QCOMPARE(doc().area(0, 1)->points[2].arrivalIndex, Geometry{}.arrival);
    }
};

QTEST_MAIN(TestAutoPickCommand)
#include "test_autopickcommand.moc"
