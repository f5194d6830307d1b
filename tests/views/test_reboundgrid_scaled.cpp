// Qt Test of the rebound table at 200 % scaling: the header texts still fit the described widths.
#include "data/doc.h"
#include "views/analysisdowntview.h"
#include "views/docbridge.h"
#include "views/reboundgrid.h"

#include <QApplication>
#include <QTest>

using namespace tavolin;

class TestReboundGridScaled : public QObject {
    Q_OBJECT
private slots:
    void headerTextsFitAtTwiceTheScale() {
        CTavolinDoc doc;
        DocBridge bridge(doc);
        CAnalysisDownTView view(bridge);
        view.resize(800, 300); // narrower than 1000: the widths of 1000 apply
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.devicePixelRatio(), 2.0);
        ReboundGrid* grid = view.grid();
        const QFontMetrics fm(grid->font());
        const int margin = 2 * (grid->style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 1);
        for (int c = 0; c < ReboundGrid::ColumnCount; ++c) {
            const QString text = grid->cellText(0, c);
            QCOMPARE(text, ReboundGrid::headerTexts()[c]);
            QVERIFY2(fm.horizontalAdvance(text) + margin <= grid->columnWidth(c) - 1,
                     qPrintable(text));
        }
        QCOMPARE(grid->columnWidth(ReboundGrid::ColCorrected), 70);
        QVERIFY(fm.height() <= grid->rowHeight(0));
    }
};

int main(int argc, char** argv) {
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestReboundGridScaled test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_reboundgrid_scaled.moc"
