// Qt Test of the analysis waveform view on the result sample: pick, L edit, selection, zoom.
#include "data/doc.h"
#include "support/reference.h"
#include "support/typing.h"
#include "views/analysisview.h"
#include "views/analysiswave.h"
#include "views/docbridge.h"
#include "views/plausibilitymarks.h"
#include "widgets/tavolingrid.h"

#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QApplication>
#include <QSlider>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace tavolin;
using tavolin::testing::clickToFocus;
using tavolin::testing::strength;
using tavolin::testing::typeKeys;

class TestAnalysisView : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CTavolinDoc> doc;
    std::unique_ptr<DocBridge> bridge;
    std::unique_ptr<CAnalysisView> view;
    static constexpr int kWidth = 1100, kHeight = 640;

    void build() {
        doc = std::make_unique<CTavolinDoc>();
        QVERIFY(doc->open(TAVOLIN_SAMPLES "/sample-result.SHA").empty());
        bridge = std::make_unique<DocBridge>(*doc);
        view = std::make_unique<CAnalysisView>(*bridge);
        view->resize(kWidth, kHeight);
        view->show();
        QVERIFY(QTest::qWaitForWindowActive(view.get()));
        QCoreApplication::processEvents();
    }
    TavolinGrid* grid() { return view->grid(); }
    AnalysisWaveform* wave() { return view->waveform(); }
    QString cell(int row, int column) { return grid()->cellText(row, column); }
    void clickCell(int row, int column) {
        const QRect r = grid()->visualRect(grid()->model()->index(row, column));
        QVERIFY(clickToFocus(grid()->viewport(), r.center()));
    }
    TestArea& area(int i) { return doc->areasOf(doc->currentMember())[i]; }
    const MemberInfo& member() { return doc->members()[doc->currentMember()]; }
    // Velocity and strength of an area from the CECS formulas in double, with T from the
    // arrival indexes: T = index * dT + delay, v the mean of the three l / T, va = lambda beta v.
    struct Expected {
        double T[3], v, va, fcu;
    };
    Expected expected(const TestArea& a) {
        Expected e{};
        double sum = 0;
        for (int j = 0; j < 3; ++j) {
            e.T[j] = a.points[j].arrivalIndex * double(a.dT) + a.Delay;
            sum += a.points[j].L / e.T[j];
        }
        e.v = sum / 3;
        e.va = double(a.LAMDA) * a.BETA * e.v;
        std::array<int, 16> r = a.R;
        std::sort(r.begin(), r.end());
        double rm = 0;
        for (int i = 3; i < 13; ++i)
            rm += r[i];
        rm /= 10;
        // Crushed-stone curve of the first member; the chosen area has angle 0 on the side face.
        e.fcu = strength(e.va, rm, a.ETA);
        return e;
    }
    static QString f(double v, int decimals) { return QString::number(v, 'f', decimals); }

private slots:
    void cleanup() {
        view.reset();
        bridge.reset();
        doc.reset();
    }

    void theGridShowsEveryAreaOfTheMemberAndIsAccessible() {
        build();
        QCOMPARE(grid()->accessibleName(), QStringLiteral("测区数据"));
        QCOMPARE(grid()->rowCount(), 12); // header + 11 areas
        const QStringList headers = {"测区",   "L1(mm)", "T1(μs)",  "L2(mm)",   "T2(μs)",
                                     "L3(mm)", "T3(μs)", "V(km/s)", "Va(km/s)", "fcui(Mpa)"};
        for (int c = 0; c < 10; ++c) {
            QCOMPARE(cell(0, c), headers[c]);
            // No header is cut.
            QVERIFY(grid()->fontMetrics().horizontalAdvance(headers[c]) < grid()->columnWidth(c));
        }
        const TestArea& a = area(3);
        const Expected e = expected(a);
        const QStringList row = {
            "4",          f(a.points[0].L, 0), f(e.T[0], 1), f(a.points[1].L, 0),
            f(e.T[1], 1), f(a.points[2].L, 0), f(e.T[2], 1), f(e.v, 3)};
        for (int c = 0; c < row.size(); ++c)
            QCOMPARE(cell(4, c), row[c]);
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(grid());
        QVERIFY(table && table->tableInterface());
        QAccessibleInterface* c = table->tableInterface()->cellAt(4, 2);
        QVERIFY(c);
        QCOMPARE(c->text(QAccessible::Name), cell(4, 2));
    }

    void rowAndColumnClicksChangeAreaAndPoint() {
        build();
        clickCell(3, 5); // L3 of area 3
        QTRY_COMPARE(doc->currentAreaIndex(), 2);
        QCOMPARE(doc->selectedPoint(), 2);
        QTRY_VERIFY(wave()->headerTexts().value(4) == QStringLiteral("当前测点: 3"));
        clickCell(5, 8); // Va: area 5, the point stays
        QTRY_COMPARE(doc->currentAreaIndex(), 4);
        QCOMPARE(doc->selectedPoint(), 2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
        QTRY_COMPARE(doc->currentAreaIndex(), 5);
        clickCell(6, 2); // T1
        QTRY_COMPARE(doc->selectedPoint(), 0);
        // Another member brings its own areas.
        doc->setCurrentMember(2);
        QTRY_COMPARE(cell(1, 1), f(doc->areasOf(2)[0].points[0].L, 0));
        QCOMPARE(grid()->rowCount(), int(doc->areasOf(2).size()) + 1);
    }

    void aPickChangesTheRowToTheFormulasValues() {
        build();
        clickCell(6, 3); // area 6 (angle 0, side face), point 2
        QTRY_COMPARE(doc->currentAreaIndex(), 5);
        QTRY_COMPARE(doc->selectedPoint(), 1);
        TestArea& a = area(5);
        QCOMPARE(a.ANGLE, 0);
        QCOMPARE(a.PLANE, 0);
        const int amp = a.points[1].ampIndex;

        const QRect r = wave()->waveRect();
        const double px = (r.width() - 37) / (double(member().DatLen) * member().dT);
        int x = 420;
        double exact = (x - 15) / px / member().dT;
        while (std::fabs(exact - std::floor(exact) - 0.5) < 0.05) // not a tie
            exact = (++x - 15) / px / member().dT;
        const int k = int(std::lround(exact));
        QVERIFY(k != a.points[1].arrivalIndex);
        QTest::mouseClick(wave(), Qt::LeftButton, {}, QPoint(x, r.center().y()));
        QCOMPARE(a.points[1].arrivalIndex, k);
        QCOMPARE(a.points[1].ampIndex, amp); // the view's pick leaves the amplitude cursor
        QVERIFY(doc->isModified());

        const Expected e = expected(a);
        QTRY_COMPARE(cell(6, 4), f(e.T[1], 1));
        QCOMPARE(cell(6, 7), f(e.v, 3));
        QCOMPARE(cell(6, 8), f(e.va, 3));
        QCOMPARE(cell(6, 9), f(e.fcu, 1));
        QCOMPARE(wave()->headerTexts().value(1), "T: " + f(e.T[1], 2));
        // The red marker sits on the picked sample.
        const QImage image = wave()->grab().toImage();
        const int mx = int(std::lround(member().dT * k * px)) + 15;
        QCOMPARE(image.pixelColor(mx, r.top() + 3), QColor(Qt::red));

        // Left of the time origin: sample 0, stored as 1.
        QTest::mouseClick(wave(), Qt::LeftButton, {}, QPoint(3, r.center().y()));
        QCOMPARE(a.points[1].arrivalIndex, 1);
    }

    void movingTheMouseShowsTheReadoutInTheHeaderOnly() {
        build();
        const TestArea before = area(0);
        const QRect r = wave()->waveRect();
        int x = 600;
        const double px = (r.width() - 37) / (double(member().DatLen) * member().dT);
        while (std::fabs(std::fmod((x - 15) / px / member().dT, 1.0) - 0.5) < 0.05)
            ++x; // not a tie
        QTest::mouseMove(wave(), QPoint(x, r.center().y()));
        QTRY_COMPARE(wave()->cursorX(), x);
        const int i = std::max(1, int(std::lround((x - 15) / px / member().dT)));
        const TestPoint& p = area(0).points[0];
        const float t = p.Delay + member().dT * float(i);
        const QStringList expected = {
            "Amp: " + f(p.Gain, 0), "T: " + f(t, 2) + "us",
            "A: " + f((int(p.samples[i]) - 2048) * 2.0 / 2048.0 / p.Gain * 1000.0, 2) + "mv",
            "V: " + f(p.L / t, 3) + "km/s", "当前测点: 1"};
        QCOMPARE(wave()->headerTexts(), expected);
        QCOMPARE(area(0).points[0].arrivalIndex, before.points[0].arrivalIndex);
        QCOMPARE(area(0).pointTime[0], before.pointTime[0]);
        QVERIFY(!doc->isModified());
        // The cursor line is green where the waveform area is white.
        QCOMPARE(wave()->grab().toImage().pixelColor(x, r.top() + 3), QColor(0, 255, 0));
    }

    // Edits made elsewhere (the rebound table, the standard selector) reach the grid's rows.
    void editsOfOtherViewsUpdateTheRow() {
        build();
        for (int i = 0; i < 16; ++i)
            doc->setReading(0, 5, i, 40);
        const TestArea& a = area(5);
        // Rm 40, angle 0, side face.
        const double fcu = strength(a.correctedVelocity, 40.0, a.ETA);
        QTRY_COMPARE(cell(6, 9), f(fcu, 1));
        // Under TB 10426-2004 a strength below 10 is written as a number, under CECS as "<10MPa".
        for (int i = 0; i < 16; ++i)
            doc->setReading(0, 4, i, 10); // about 4.8 MPa
        QTRY_COMPARE(cell(5, 9), QStringLiteral("<10MPa"));
        doc->setStandard(1);
        QTRY_VERIFY(cell(5, 9) != QStringLiteral("<10MPa"));
        QVERIFY(QRegularExpression("^\\d+\\.\\d$").match(cell(5, 9)).hasMatch());
    }

    void aPathLengthRecomputesTheRow() {
        build();
        const struct {
            int row;
            const char* typed;
            float stored;
            bool marked; // 0 or above 3000 mm: kept, and the cell marked
        } cases[] = {
            {2, "12000", 10000.0f, true}, {3, "-5", 0.0f, true}, {4, "350", 350.0f, false}};
        for (const auto& c : cases) {
            clickCell(c.row, 3); // L2
            typeKeys(QString::fromLatin1(c.typed) + u'\n');
            QCoreApplication::processEvents();
            QTRY_COMPARE(area(c.row - 1).points[1].L, c.stored);
            QCOMPARE(cell(c.row, 3), f(c.stored, 0));
            QCOMPARE(view->grid()->cellBackground(c.row, 3) == implausibleColor(), c.marked);
            QCOMPARE(cell(c.row, 7), f(expected(area(c.row - 1)).v, 3));
        }
        QVERIFY(doc->isModified());
    }

    void theSliderZoomsTheTrace() {
        build();
        QSlider* s = view->findChild<QSlider*>("slider7777");
        QVERIFY(s);
        QCOMPARE(s->value(), 80);
        QCOMPARE(wave()->zoomFactor(), 1.0f);
        // Height of the trace above the time axis (the lower half may run into the frame).
        auto excursion = [&] {
            const QImage image = wave()->grab().toImage();
            const QRect r = wave()->waveRect();
            const int ym = r.top() + r.height() / 2;
            for (int y = r.top() + 2; y < ym - 2; ++y)
                for (int x = r.left() + 60; x < r.right() - 10; ++x)
                    if (image.pixelColor(x, y) == Qt::black)
                        return ym - y;
            return 0;
        };
        const int full = excursion();
        s->setFocus();
        QTest::keyClick(s, Qt::Key_PageDown); // 90: (100 - 90) / 20
        QCOMPARE(wave()->zoomFactor(), 0.5f);
        const int half = excursion();
        QVERIFY2(full > 50 && std::abs(2 * half - full) <= 2,
                 qPrintable(QString("%1 %2").arg(full).arg(half)));
        QTest::keyClick(s, Qt::Key_Home);
        QCOMPARE(wave()->zoomFactor(), 12.5f);
    }
};

QTEST_MAIN(TestAnalysisView)
#include "test_analysisview.moc"
