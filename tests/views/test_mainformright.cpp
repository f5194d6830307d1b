// Qt Test of MainFormRight on the raw sample: point values, path length entry, display-only fields.
#include "data/doc.h"
#include "data/evaluation.h"
#include "support/files.h"
#include "support/jobbuilder.h"
#include "support/typing.h"
#include "views/docbridge.h"
#include "views/mainform.h"
#include "views/mainformright.h"
#include "views/mainscreen.h"
#include "views/plausibilitymarks.h"
#include "views/tavolinview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QLineEdit>
#include <QMainWindow>
#include <QTest>

#include <cmath>

using namespace tavolin;
using namespace tavolin::testing;

class TestMainFormRight : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CTavolinDoc> doc;
    std::unique_ptr<DocBridge> bridge;
    std::unique_ptr<QMainWindow> window;
    QDockWidget* leftBar = nullptr;
    CMainForm* left = nullptr;
    MainFormRight* right = nullptr;

    // The two forms in their bars, as on the main screen.
    void build(bool open = true) {
        doc = std::make_unique<CTavolinDoc>();
        if (open)
            QVERIFY(doc->open(TAVOLIN_SAMPLES "/sample-raw.SHT").empty());
        bridge = std::make_unique<DocBridge>(*doc);
        window = std::make_unique<QMainWindow>();
        window->setCentralWidget(new QWidget);
        leftBar = new QDockWidget(QStringLiteral("工程信息栏"));
        left = new CMainForm(*bridge);
        leftBar->setWidget(left);
        window->addDockWidget(Qt::LeftDockWidgetArea, leftBar);
        auto* rightBar = new QDockWidget(QStringLiteral("当前测区数据栏"));
        right = new MainFormRight(*bridge);
        rightBar->setWidget(right);
        window->addDockWidget(Qt::RightDockWidgetArea, rightBar);
        CTavolinView* panes[3] = {nullptr, nullptr, nullptr};
        connectMainScreen(panes, left, right);
        window->resize(800, 760);
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
    // Keys as a user types them, then Enter: to the focused widget, or the window when none
    // has the focus.
    void typeToFocus(const QString& text) {
        typeKeys(text + u'\n', window.get());
        QCoreApplication::processEvents();
    }
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
        enterText(edit("editL1"), "300");
        QCOMPARE(area().points[0].L, 300.0f);
        QCOMPARE(edit("editVp1")->text(), QStringLiteral("4.000"));
        QCOMPARE(area().pointVelocity[0], 4.0f);
        QVERIFY(doc->isModified());
        // v recomputed with the new length, the mean of the three l / t, and shown in the left
        // form.
        double v = 300.0 / 75.0;
        for (int j = 1; j < 3; ++j)
            v += double(area().points[j].L) / double(area().pointTime[j]);
        v /= 3;
        QVERIFY(std::abs(area().velocity - v) < 1e-5);
        QTRY_COMPARE(leftText("editV"), QString::number(v, 'f', 3));
    }

    // Path lengths of 0 or above 3000 mm and point velocities outside 2..6 km/s are kept and
    // marked, and the status says why until the value is corrected. Point 1 at T = 75 us.
    void implausiblePathLengthsAndVelocitiesAreMarked() {
        build();
        PlausibilityLabel status(*bridge);
        area().Delay = 5.0f;
        area().dT = 0.4f;
        area().points[0].arrivalIndex = 175;
        computeAreaDerived(area(), doc->algorithm());
        const struct {
            const char* typed;
            bool markL, markV;
            const char* reason; // of point 1 in the status, "" for none
        } cases[] = {
            {"0", true, true, "测点1 测距为 0 mm；测点1 声速 0.000 km/s 不在 2–6 km/s 之内"},
            {"300", false, false, ""}, // 4.000 km/s
            {"150", false, false, ""}, // 2.000 km/s
            {"149", false, true, "测点1 声速 1.987 km/s 不在 2–6 km/s 之内"},
            {"450", false, false, ""}, // 6.000 km/s
            {"451", false, true, "测点1 声速 6.013 km/s 不在 2–6 km/s 之内"},
            {"3000", false, true, "测点1 声速 40.000 km/s 不在 2–6 km/s 之内"},
            {"3001", true, true, "测点1 测距 3001 mm 大于 3000 mm；测点1 声速 40.013 km/s"},
            {"300", false, false, ""},
        };
        for (const auto& c : cases) {
            enterText(edit("editL1"), QString::fromLatin1(c.typed));
            QCoreApplication::processEvents();
            QCOMPARE(area().points[0].L, QString::fromLatin1(c.typed).toFloat());
            QCOMPARE(edit("editL1")->property("implausible").toBool(), c.markL);
            QCOMPARE(edit("editVp1")->property("implausible").toBool(), c.markV);
            const QString reason = QString::fromUtf8(c.reason);
            if (reason.isEmpty())
                QVERIFY2(!status.text().contains(QStringLiteral("测点1")),
                         qPrintable(status.text()));
            else
                QVERIFY2(status.text().contains(reason), qPrintable(status.text()));
        }
    }

    void onlyThePathLengthsTakeInput() {
        build();
        for (const char* name : {"editT1", "editA2", "editVp3"}) {
            QLineEdit* e = edit(name);
            const QString before = e->text();
            QTest::mouseClick(e, Qt::LeftButton);
            QVERIFY(!e->hasFocus());
            typeKeys("7", window.get());
            QCOMPARE(e->text(), before);
        }
        QVERIFY(clickToFocus(edit("editL3")));
    }

    // After a path length, a click on a display-only field ends the entry: keys typed then
    // reach no field.
    void clickingADisplayFieldEndsTheEntry() {
        build();
        enterText(edit("editL1"), "583");
        QCOMPARE(area().points[0].L, 583.0f);
        const float v = area().velocity;
        for (const char* name : {"editV", "editVa"}) {
            QTest::mouseClick(left->findChild<QLineEdit*>(name), Qt::LeftButton);
            QVERIFY(!edit("editL1")->hasFocus());
            typeToFocus("5");
            QCOMPARE(area().points[0].L, 583.0f);
            QCOMPARE(area().velocity, v);
        }
        QTest::mouseClick(edit("editT2"), Qt::LeftButton);
        typeToFocus("7");
        QCOMPARE(area().points[0].L, 583.0f);
    }

    // Closing the project bar while one of its fields has the focus hands it to no field.
    void closingTheProjectBarLeavesNoFieldTyping() {
        build();
        enterText(edit("editL1"), "583");
        auto* lamda = left->findChild<QLineEdit*>("editLamda");
        left->findChild<QComboBox*>("comboMethod")->setCurrentIndex(1);
        doc->setMethod(doc->currentMember(), doc->currentAreaIndex(), 1); // lambda editable
        QTRY_VERIFY(lamda->isEnabled());
        QTest::mouseClick(lamda, Qt::LeftButton);
        QVERIFY(lamda->hasFocus());
        auto* close = leftBar->findChild<QAbstractButton*>("qt_dockwidget_closebutton");
        QVERIFY(close);
        QTest::mouseClick(close, Qt::LeftButton);
        QTRY_VERIFY(!leftBar->isVisible());
        QVERIFY(!edit("editL1")->hasFocus());
        typeToFocus("5");
        QCOMPARE(area().points[0].L, 583.0f);
    }

    // A file that reads as one member without test areas: nothing of the previous job stays.
    void aJobWithoutAreasClearsTheForms() {
        build();
        QVERIFY(!edit("editT1")->text().isEmpty());
        ScratchDir dir;
        JobBuilder job;
        job.member(u"空构件");
        const std::string path = dir.path("empty.SHT");
        QVERIFY(WriteRawFile(path, job.build()).empty());
        QVERIFY(doc->open(path).empty());
        QCOMPARE(doc->memberCount(), 1);
        QVERIFY(doc->currentArea() == nullptr);
        QCoreApplication::processEvents();
        for (const char* name : {"editT1", "editA2", "editL3", "editVp1"}) {
            QCOMPARE(edit(name)->text(), QString());
            QVERIFY(!edit(name)->isEnabled());
        }
        QCOMPARE(left->findChild<QComboBox*>("comboMethod")->currentIndex(), -1);
        QCOMPARE(left->findChild<QComboBox*>("comboMethod")->currentText(), QString());
        QCOMPARE(leftText("editV"), QString());
        QCOMPARE(left->findChild<QComboBox*>("comboMember")->currentText(),
                 QStringLiteral("空构件"));
    }

    void disabledWithoutAFile() {
        build(false);
        QVERIFY(!edit("editL1")->isEnabled());
        QVERIFY(!edit("editT2")->isEnabled());
    }
};

QTEST_MAIN(TestMainFormRight)
#include "test_mainformright.moc"
