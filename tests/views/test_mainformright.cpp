// Qt Test of MainFormRight on the raw sample: point values, path length entry, display-only fields.
#include "data/doc.h"
#include "data/evaluation.h"
#include "views/docbridge.h"
#include "views/mainform.h"
#include "views/mainformright.h"
#include "views/mainscreen.h"
#include "views/tavolinview.h"

#include <QLineEdit>
#include <QTest>

using namespace tavolin;

class TestMainFormRight : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CTavolinDoc> doc;
    std::unique_ptr<DocBridge> bridge;
    std::unique_ptr<QWidget> window;
    CMainForm* left = nullptr;
    MainFormRight* right = nullptr;

    void build(bool open = true) {
        doc = std::make_unique<CTavolinDoc>();
        if (open)
            QVERIFY(doc->open(TAVOLIN_SAMPLES "/sample-raw.SHT").empty());
        bridge = std::make_unique<DocBridge>(*doc);
        window = std::make_unique<QWidget>();
        left = new CMainForm(*bridge, window.get());
        right = new MainFormRight(*bridge, window.get());
        right->move(300, 0);
        CTavolinView* panes[3] = {nullptr, nullptr, nullptr};
        connectMainScreen(panes, left, right);
        window->resize(600, 700);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    QLineEdit* edit(const char* name) {
        auto* e = right->findChild<QLineEdit*>(name);
        if (!e)
            qFatal("missing %s", name);
        return e;
    }
    QString leftText(const char* name) { return left->findChild<QLineEdit*>(name)->text(); }
    TestArea& area() { return *doc->currentArea(); }

private slots:
    void cleanup() {
        window.reset();
        bridge.reset();
        doc.reset();
    }

    void showsThePointValuesWithTheirFormats() {
        build();
        for (int j = 0; j < 3; ++j) {
            const QByteArray n = QByteArray::number(j + 1);
            QCOMPARE(edit("editT" + n)->text(), QString::number(area().pointTime[j], 'f', 2));
            QCOMPARE(edit("editA" + n)->text(),
                     QString::number(area().pointAmplitude[j] * 1000.0f, 'f', 2));
            QCOMPARE(edit("editL" + n)->text(), QString::number(area().points[j].L, 'f', 0));
            QCOMPARE(edit("editVp" + n)->text(), QString::number(area().pointVelocity[j], 'f', 3));
        }
    }

    void aPathLengthOf300With75UsShows4000() {
        build();
        // Point 1 at a transit time of exactly 75 us: 175 samples of 0.4 us after 5 us.
        area().Delay = 5.0f;
        area().dT = 0.4f;
        area().points[0].arrivalIndex = 175;
        computeAreaDerived(area(), doc->algorithm());
        QCOMPARE(area().pointTime[0], 75.0f);
        QLineEdit* l1 = edit("editL1");
        QTest::keyClick(l1, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(l1, "300");
        QTest::keyClick(l1, Qt::Key_Return);
        QCOMPARE(area().points[0].L, 300.0f);
        QCOMPARE(edit("editVp1")->text(), QStringLiteral("4.000"));
        QCOMPARE(area().pointVelocity[0], 4.0f);
        QVERIFY(doc->isModified());
        // v and va recomputed with the new length and shown in the left form.
        const float L[3] = {300.0f, area().points[1].L, area().points[2].L};
        const float T[3] = {area().pointTime[0], area().pointTime[1], area().pointTime[2]};
        const float v = doc->algorithm().CalcVelocity(L, T);
        QCOMPARE(area().velocity, v);
        QCOMPARE(leftText("editV"), QString::number(v, 'f', 3));
    }

    void pathLengthsTakeAnyValueButNoNonNumber() {
        build();
        QLineEdit* l2 = edit("editL2");
        QTest::keyClick(l2, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(l2, "25000");
        QTest::keyClick(l2, Qt::Key_Return);
        QCOMPARE(area().points[1].L, 25000.0f); // no limits here
        QTest::keyClick(l2, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(l2, "nan");
        QTest::keyClick(l2, Qt::Key_Return);
        QCOMPARE(area().points[1].L, 0.0f);
        QCOMPARE(l2->text(), QStringLiteral("0"));
    }

    void onlyThePathLengthsTakeInput() {
        build();
        for (const char* name : {"editT1", "editA2", "editVp3"}) {
            QLineEdit* e = edit(name);
            const QString before = e->text();
            QTest::keyClicks(e, "7");
            QCOMPARE(e->text(), before);
            e->setFocus();
            QVERIFY(!e->hasFocus());
        }
        edit("editL3")->setFocus();
        QVERIFY(edit("editL3")->hasFocus());
    }

    void disabledWithoutAFile() {
        build(false);
        QVERIFY(!edit("editL1")->isEnabled());
        QVERIFY(!edit("editT2")->isEnabled());
    }
};

QTEST_MAIN(TestMainFormRight)
#include "test_mainformright.moc"
