// Qt Test of the three point waveform panes on the raw sample: picking, readout, zoom, drawing.
#include "data/doc.h"
#include "views/docbridge.h"
#include "views/mainform.h"
#include "views/mainformright.h"
#include "views/mainscreen.h"
#include "views/tavolinview.h"

#include <QLineEdit>
#include <QPainter>
#include <QSlider>
#include <QTest>

#include <cmath>

using namespace tavolin;

class TestTavolinView : public QObject {
    Q_OBJECT
private:
    std::unique_ptr<CTavolinDoc> doc;
    std::unique_ptr<DocBridge> bridge;
    std::unique_ptr<QWidget> window;
    CTavolinView* panes[3] = {};
    CMainForm* left = nullptr;
    MainFormRight* right = nullptr;

    static constexpr int kPaneWidth = 625, kPaneHeight = 200;

    void build(bool open = true) {
        doc = std::make_unique<CTavolinDoc>();
        if (open)
            QVERIFY(doc->open(TAVOLIN_SAMPLES "/sample-raw.SHT").empty());
        bridge = std::make_unique<DocBridge>(*doc);
        window = std::make_unique<QWidget>();
        left = new CMainForm(*bridge, window.get());
        right = new MainFormRight(*bridge, window.get());
        panes[0] = new CFirstView(*bridge, window.get());
        panes[1] = new CSecView(*bridge, window.get());
        panes[2] = new CThirdView(*bridge, window.get());
        left->setGeometry(0, 0, 250, 600);
        for (int i = 0; i < 3; ++i)
            panes[i]->setGeometry(250, i * kPaneHeight, kPaneWidth, kPaneHeight);
        right->setGeometry(250 + kPaneWidth, 0, 200, 600);
        connectMainScreen(panes, left, right);
        window->resize(1100, 600);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
        QCoreApplication::processEvents();
    }
    TestArea& area() { return *doc->currentArea(); }
    const MemberInfo& member() { return *doc->currentMemberInfo(); }
    double px() { return (kPaneWidth - 25 - 37) / (double(member().DatLen) * double(member().dT)); }
    // Nearest sample to a click at x worked out in double precision (ties excluded by the tests).
    // The delay cancels: the click time and the sample times share it.
    int expectedIndex(int x) {
        const double t = (x - 15) / px();
        return int(std::lround(t / double(member().dT)));
    }
    QString field(QWidget* form, const char* name) {
        auto* e = form->findChild<QLineEdit*>(name);
        return e ? e->text() : QStringLiteral("<missing %1>").arg(name);
    }

private slots:
    void cleanup() {
        window.reset();
        bridge.reset();
        doc.reset();
    }

    void aClickPicksTheArrivalAndTheFirstHalfCycleAndFillsTheForms() {
        build();
        TestArea& a = area();
        const int x = 215;
        const double exact = (x - 15) / px() / double(member().dT);
        QVERIFY(std::fabs(exact - std::floor(exact) - 0.5) > 0.05); // not a tie
        const int k = expectedIndex(x);
        const int others[2] = {a.points[0].arrivalIndex, a.points[2].arrivalIndex};
        QVERIFY(!doc->isModified());
        QTest::mouseClick(panes[1], Qt::LeftButton, {}, QPoint(x, 100));
        QCOMPARE(a.points[1].arrivalIndex, k);
        QCOMPARE(a.points[0].arrivalIndex, others[0]);
        QCOMPARE(a.points[2].arrivalIndex, others[1]);
        QVERIFY(doc->isModified());

        // The amplitude cursor goes to the extremum of the half-cycle of the carrier (about 23
        // samples here) that follows the pick: the largest excursion of its lobe, in it.
        const TestPoint& p = a.points[1];
        const int amp = p.ampIndex;
        auto dev = [&](int i) { return int(p.samples[i]) - 2048; };
        QVERIFY(amp >= k - 12 && amp <= k + 40);
        int lo = amp, hi = amp;
        while (lo > 0 && (dev(lo - 1) > 0) == (dev(amp) > 0))
            --lo;
        while (hi + 1 < int(p.samples.size()) && (dev(hi + 1) > 0) == (dev(amp) > 0))
            ++hi;
        QVERIFY(hi - lo >= 10); // a lobe of the carrier, not a noise wiggle
        for (int i = lo; i <= hi; ++i)
            QVERIFY(std::abs(dev(i)) <= std::abs(dev(amp)));

        // Values worked out from the stored samples, independently of the program.
        const float t = float(k) * a.dT + a.Delay;
        const double mv = dev(amp) * 2.0 / 2048.0 / p.Gain * 1000.0;
        const double v = p.L / t;
        QCOMPARE(field(right, "editT2"), QString::number(t, 'f', 2));
        QCOMPARE(field(right, "editA2"), QString::number(mv, 'f', 2));
        QCOMPARE(field(right, "editVp2"), QString::number(v, 'f', 3));
        QCOMPARE(field(left, "editV2"), QString::number(v, 'f', 3));
        QVERIFY(QRegularExpression("^-?\\d+\\.\\d{2}$").match(field(right, "editA2")).hasMatch());
        // The left form's v and va follow the new time (queued refreshes included).
        QCoreApplication::processEvents();
        QCOMPARE(field(left, "editV"), QString::number(a.velocity, 'f', 3));
        QCOMPARE(a.pointTime[1], t);
    }

    void aClickLeftOfTheOriginGivesIndexOne() {
        build();
        // The file's amplitude cursor sits on the pulse's first lobe (as its maker put it).
        const int firstLobe = area().points[0].ampIndex;
        QTest::mouseClick(panes[0], Qt::LeftButton, {}, QPoint(4, 50));
        QCOMPARE(area().points[0].arrivalIndex, 1);
        // A pick before the pulse shows the pulse's first half-cycle.
        QCOMPARE(area().points[0].ampIndex, firstLobe);
        const float t = 1 * area().dT + area().Delay;
        QCOMPARE(field(right, "editT1"), QString::number(t, 'f', 2));
    }

    void movingTheMouseShowsAReadoutWithoutTouchingTheDocument() {
        build();
        const TestArea before = area();
        const QString t3 = field(right, "editT3");
        const int x = 300;
        QTest::mouseMove(panes[2], QPoint(x, 80));
        QTRY_VERIFY(field(right, "editT3") != t3);
        const int i = std::max(1, expectedIndex(x));
        const TestPoint& p = area().points[2];
        const float t = p.Delay + member().dT * float(i);
        QCOMPARE(field(right, "editT3"), QString::number(t, 'f', 2));
        QCOMPARE(
            field(right, "editA3"),
            QString::number((int(p.samples[i]) - 2048) * 2.0 / 2048.0 / p.Gain * 1000.0, 'f', 2));
        QCOMPARE(field(right, "editVp3"), QString::number(p.L / t, 'f', 3));
        QCOMPARE(panes[2]->cursorX(), x);
        // Nothing of the document moved.
        QVERIFY(!doc->isModified());
        for (int j = 0; j < 3; ++j) {
            QCOMPARE(area().points[j].arrivalIndex, before.points[j].arrivalIndex);
            QCOMPARE(area().points[j].ampIndex, before.points[j].ampIndex);
            QCOMPARE(area().pointTime[j], before.pointTime[j]);
        }
        QCOMPARE(area().velocity, before.velocity);
        // Other points' fields are not touched by pane 3.
        QCOMPARE(field(right, "editT1"), QString::number(area().pointTime[0], 'f', 2));
    }

    // The readout is the cursor's, not the point's: once the mouse leaves the pane (onto the
    // right form, as a user reaching for a field does), the point's own T, A and V come back.
    void leavingThePaneShowsThePointsOwnValuesAgain() {
        build();
        const QStringList names = {"editT3", "editA3", "editVp3", "editT1"};
        auto shown = [&] {
            QStringList texts;
            for (const QString& n : names)
                texts << field(right, n.toLatin1().constData());
            return texts;
        };
        // The document's values of the point (their computation is tested with the picks).
        const QStringList stored = {QString::number(area().pointTime[2], 'f', 2),
                                    QString::number(area().pointAmplitude[2] * 1000.0f, 'f', 2),
                                    QString::number(area().pointVelocity[2], 'f', 3),
                                    QString::number(area().pointTime[0], 'f', 2)};
        QCOMPARE(shown(), stored);
        QTest::mouseMove(panes[2], QPoint(320, 80));
        QTRY_VERIFY(shown()[0] != stored[0]);
        QTest::mouseMove(right, QPoint(50, 50));
        QTRY_COMPARE(shown(), stored);
        QCOMPARE(panes[2]->cursorX(), -1);
        QVERIFY(!doc->isModified());
    }

    void theCursorLineIsGreenOnWhiteAndLeavesNoTrail() {
        build();
        QTest::mouseMove(panes[2], QPoint(300, 30));
        QTRY_COMPARE(panes[2]->cursorX(), 300);
        // Row 20: inside the frame, above the waveform's excursion at most columns.
        QImage image = panes[2]->grab().toImage();
        const QColor under = image.pixelColor(300, 3);
        QCOMPARE(under, QColor(0, 255, 0));
        QTest::mouseMove(panes[2], QPoint(340, 30));
        QTRY_COMPARE(panes[2]->cursorX(), 340);
        image = panes[2]->grab().toImage();
        QCOMPARE(image.pixelColor(340, 3), QColor(0, 255, 0));
        QCOMPARE(image.pixelColor(300, 3), QColor(Qt::white));
        // A pick removes it until the next move.
        QTest::mouseClick(panes[2], Qt::LeftButton, {}, QPoint(340, 30));
        QCOMPARE(panes[2]->cursorX(), -1);
    }

    void theFirstArrivalMarkerIsRedAtTheIndex() {
        build();
        const TestPoint& p = area().points[0];
        const int x = int(std::lround(double(member().dT) * p.arrivalIndex * px())) + 15;
        const QImage image = panes[0]->grab().toImage();
        QCOMPARE(image.pixelColor(x, 3), QColor(Qt::red));
        QCOMPARE(image.pixelColor(x + 3, 3), QColor(Qt::white));
        // Frame: black border, white inside; slider strip to the right.
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(image.pixelColor(kPaneWidth - 26, 1), QColor(Qt::black));
    }

    void slidersZoomOnlyTheirOwnPane() {
        build();
        QSlider* s1 = panes[0]->findChild<QSlider*>("slider4444");
        QVERIFY(s1);
        QVERIFY(panes[1]->findChild<QSlider*>("slider5555"));
        QVERIFY(panes[2]->findChild<QSlider*>("slider6666"));
        QCOMPARE(s1->value(), 80);
        QCOMPARE(s1->geometry(), QRect(kPaneWidth - 25, 0, 25, kPaneHeight));
        QCOMPARE(panes[0]->zoomFactor(), 1.0f);
        s1->setFocus();
        QTest::keyClick(s1, Qt::Key_PageDown); // one page (10) towards the bottom: 90
        QCOMPARE(s1->value(), 90);
        QCOMPARE(panes[0]->zoomFactor(), 0.5f); // (100 - 90) / 20
        QCOMPARE(panes[1]->zoomFactor(), 1.0f);
        QCOMPARE(panes[2]->zoomFactor(), 1.0f);
        QTest::keyClick(s1, Qt::Key_End);
        QCOMPARE(panes[0]->zoomFactor(), 0.01f);
        QTest::keyClick(s1, Qt::Key_Home);
        QCOMPARE(panes[0]->zoomFactor(), 12.5f);
    }

    void thePeakIsOnlyEverRaised() {
        build();
        panes[0]->grab();
        const int peak = panes[0]->peakSample();
        int expected = 0;
        for (uint16_t s : area().points[0].samples)
            expected = std::max<int>(expected, s);
        QCOMPARE(peak, expected);
        // A weaker waveform afterwards keeps the strong one's scale.
        for (uint16_t& s : area().points[0].samples.mutableView())
            s = uint16_t(2048 + (int(s) - 2048) / 4);
        panes[0]->grab();
        QCOMPARE(panes[0]->peakSample(), peak);
    }

    void withoutAFileOrWaveformThePaneIsAnEmptyFrame() {
        build(false);
        QImage image = panes[1]->grab().toImage();
        QCOMPARE(image.pixelColor(0, 0), QColor(Qt::black));
        for (int x = 2; x < kPaneWidth - 27; x += 7)
            QCOMPARE(image.pixelColor(x, kPaneHeight / 2), QColor(Qt::white));
        QTest::mouseClick(panes[1], Qt::LeftButton, {}, QPoint(200, 100));
        QVERIFY(!doc->isModified());
        cleanup();

        build();
        area().points[1].samples.clear();
        const int index = area().points[1].arrivalIndex;
        image = panes[1]->grab().toImage();
        for (int x = 2; x < kPaneWidth - 27; x += 7)
            QCOMPARE(image.pixelColor(x, kPaneHeight / 2), QColor(Qt::white));
        QTest::mouseClick(panes[1], Qt::LeftButton, {}, QPoint(200, 100));
        QCOMPARE(area().points[1].arrivalIndex, index);
        QVERIFY(doc->isModified()); // the click still counts as an edit
    }

    // The gain caption keeps its place at the right of the pane while it fits there, and moves
    // left rather than running under the frame and the slider when it does not.
    void theGainCaptionIsAlwaysWhole() {
        build();
        TestPoint& p = area().points[0];
        for (uint16_t& s : p.samples.mutableView())
            s = 2048; // nothing but the caption in the top band's right half
        const int frameRight = kPaneWidth - 25 - 1;
        // Leftmost and rightmost dark columns of the caption band, right half of the pane.
        auto inkSpan = [&](float gain) {
            p.Gain = gain;
            QImage image(kPaneWidth, kPaneHeight, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            panes[0]->paintPane(painter, image.rect());
            painter.end();
            int first = -1, last = -1;
            for (int x = kPaneWidth / 2; x < kPaneWidth; ++x) {
                if (x == frameRight)
                    continue;
                for (int y = 3; y < 22; ++y) {
                    if (qGray(image.pixel(x, y)) < 128) {
                        if (first < 0)
                            first = x;
                        last = x;
                        break;
                    }
                }
            }
            return std::pair{first, last};
        };
        const auto [smallFirst, smallLast] = inkSpan(1.0f);
        QVERIFY(smallFirst >= 0);
        QVERIFY2(std::abs(smallFirst - (kPaneWidth - 25 - 45)) <= 1,
                 qPrintable(QString::number(smallFirst)));
        QVERIFY(smallLast < frameRight);
        for (float gain : {100.0f, 10000.0f, 1.0e7f}) {
            const auto [first, last] = inkSpan(gain);
            QVERIFY(first >= 0);
            QVERIFY2(last < frameRight, qPrintable(QString::number(gain)));
            QVERIFY(first < smallFirst);
        }
    }

    void aFlatOrUngainedWaveformDrawsWithoutFault() {
        build();
        TestPoint& p = area().points[0];
        for (uint16_t& s : p.samples.mutableView())
            s = 2000; // never above the zero line
        p.Gain = 0;
        // A pane that has not yet met a stronger waveform.
        panes[0]->hide();
        CFirstView fresh(*bridge, window.get());
        fresh.setGeometry(panes[0]->geometry());
        fresh.show();
        fresh.grab();
        QCOMPARE(fresh.peakSample(), 2000);
        CTavolinView* withFresh[3] = {&fresh, nullptr, nullptr};
        connectMainScreen(withFresh, left, right);
        QTest::mouseMove(&fresh, QPoint(200, 50));
        QTRY_COMPARE(fresh.cursorX(), 200);
        // A zero gain gives no amplitude rather than an infinite one.
        QCOMPARE(field(right, "editA1"), QStringLiteral("0.00"));
    }
};

QTEST_MAIN(TestTavolinView)
#include "test_tavolinview.moc"
