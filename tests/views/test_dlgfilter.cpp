// The filter dialog driven by keys and clicks: range and cross checks, live filtering, "取消".
#include "../app/shelltestsupport.h"

#include "sonic/filter.h"
#include "views/dlgfilter.h"
#include "views/docbridge.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace tavolin;
using namespace tavolin::test;

class TestDlgFilter : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    std::unique_ptr<CTavolinDoc> doc_;
    std::unique_ptr<DocBridge> bridge_;

    std::vector<std::vector<uint16_t>> currentSamples() {
        std::vector<std::vector<uint16_t>> s;
        for (const TestPoint& p : doc_->currentArea()->points)
            s.push_back(p.samples);
        return s;
    }
    std::vector<std::vector<uint16_t>> expected(bool highOn, float highKHz, bool lowOn,
                                                float lowKHz) {
        std::vector<std::vector<uint16_t>> s;
        const TestArea& area = *doc_->currentArea();
        for (const TestPoint& p : area.points)
            s.push_back(p.hasWaveform()
                            ? filterWaveform(p.unfiltered().data(), int(p.unfiltered().size()),
                                             area.dT, highOn, highKHz * 1000.0f, lowOn,
                                             lowKHz * 1000.0f)
                            : p.samples.toVector());
        return s;
    }
    static void retype(QLineEdit* edit, const QString& text) {
        edit->setFocus();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        const QString path = copySample(dir_, QStringLiteral("sample-raw.SHT"));
        QVERIFY(!path.isEmpty());
        doc_ = std::make_unique<CTavolinDoc>();
        bridge_ = std::make_unique<DocBridge>(*doc_);
        QVERIFY(doc_->open(pathFromQ(path)).empty());
        QVERIFY(doc_->currentArea());
        QVERIFY(doc_->currentArea()->points[0].hasWaveform());
    }
    void cleanup() {
        bridge_.reset();
        doc_.reset();
    }

    void openingAppliesAndShowsTheCutOffs() {
        doc_->filter().highKHz = 12.345f;
        doc_->filter().lowKHz = 87.6f;
        CDlgFilter dlg(*bridge_);
        QCOMPARE(dlg.highEdit()->text(), QStringLiteral("12.35")); // "%.2f"
        QCOMPARE(dlg.lowEdit()->text(), QStringLiteral("88"));     // "%.0f"
        QVERIFY(!dlg.highEdit()->isEnabled());
        QVERIFY(!dlg.lowEdit()->isEnabled());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("数字滤波"));
        // Both filters off: the application restores the unfiltered samples and marks the job.
        QCOMPARE(currentSamples(), expected(false, 0, false, 0));
        QVERIFY(doc_->isModified());
    }

    void checkBoxesEnableTheEditsAndFilter() {
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.lowCheck(), Qt::LeftButton);
        QVERIFY(doc_->filter().lowOn);
        QVERIFY(dlg.lowEdit()->isEnabled());
        QCOMPARE(currentSamples(), expected(false, 20.0f, true, 50.0f));
        QVERIFY(currentSamples() != expected(false, 0, false, 0));

        QTest::mouseClick(dlg.highCheck(), Qt::LeftButton);
        QVERIFY(dlg.highEdit()->isEnabled());
        QCOMPARE(currentSamples(), expected(true, 20.0f, true, 50.0f));

        QTest::mouseClick(dlg.lowCheck(), Qt::LeftButton);
        QVERIFY(!dlg.lowEdit()->isEnabled());
        QCOMPARE(currentSamples(), expected(true, 20.0f, false, 50.0f));
    }

    void tooLongHighValueIsCutToFourCharacters() {
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.highCheck(), Qt::LeftButton);
        ModalCatcher catcher;
        retype(dlg.highEdit(), QStringLiteral("12345"));
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("高通范围为0.01-20kHz")});
        QCOMPARE(dlg.highEdit()->text(), QStringLiteral("1234"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("高通范围为0.01-20kHz"));
        QCOMPARE(doc_->filter().highKHz, 1234.0f);
    }

    void tooLongLowValueIsCutToFourCharacters() {
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.lowCheck(), Qt::LeftButton);
        ModalCatcher catcher;
        retype(dlg.lowEdit(), QStringLiteral("99999"));
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("低通范围为2-500")});
        QCOMPARE(dlg.lowEdit()->text(), QStringLiteral("9999"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("低通范围为2-500kHz"));
    }

    void rangeAndCrossChecksInTheTitle() {
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.highCheck(), Qt::LeftButton);
        QTest::mouseClick(dlg.lowCheck(), Qt::LeftButton);

        // Equal cut-offs pass the cross check.
        retype(dlg.lowEdit(), QStringLiteral("20"));
        retype(dlg.highEdit(), QStringLiteral("20"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("数字滤波"));
        const auto accepted = expected(true, 20.0f, true, 20.0f);
        QCOMPARE(currentSamples(), accepted);

        // 20.5 fails the range check before the cross check and is not applied.
        retype(dlg.highEdit(), QStringLiteral("20.5"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("高通范围为0.01-20kHz"));
        QCOMPARE(currentSamples(), accepted);
        retype(dlg.highEdit(), QStringLiteral("0.009"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("高通范围为0.01-20kHz"));
        retype(dlg.highEdit(), QStringLiteral("0.01"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("数字滤波"));

        retype(dlg.highEdit(), QStringLiteral("15"));
        retype(dlg.lowEdit(), QStringLiteral("10"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("高通值必须小于低通值"));
        retype(dlg.lowEdit(), QStringLiteral("501"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("低通范围为2-500kHz"));
        retype(dlg.lowEdit(), QStringLiteral("1.5"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("低通范围为2-500kHz"));
        retype(dlg.lowEdit(), QStringLiteral("500"));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("数字滤波"));
        QCOMPARE(currentSamples(), expected(true, 15.0f, true, 500.0f));

        // An empty edit is not applied.
        retype(dlg.lowEdit(), QString());
        QCOMPARE(dlg.windowTitle(), QStringLiteral("低通范围为2-500kHz"));
        QCOMPARE(currentSamples(), expected(true, 15.0f, true, 500.0f));
    }

    void cancelRestoresSettingsAndSamples() {
        const FilterSettings before = doc_->filter();
        const auto samplesBefore = currentSamples();
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.highCheck(), Qt::LeftButton);
        QTest::mouseClick(dlg.lowCheck(), Qt::LeftButton);
        retype(dlg.highEdit(), QStringLiteral("5"));
        retype(dlg.lowEdit(), QStringLiteral("100"));
        QVERIFY(currentSamples() != samplesBefore);
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDCANCEL")), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(doc_->filter().highKHz, before.highKHz);
        QCOMPARE(doc_->filter().lowKHz, before.lowKHz);
        QCOMPARE(doc_->filter().highOn, before.highOn);
        QCOMPARE(doc_->filter().lowOn, before.lowOn);
        QCOMPARE(currentSamples(), samplesBefore);
        QVERIFY(doc_->isModified());
    }

    void okTakesBothTextsWhateverTheTitleSays() {
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.highCheck(), Qt::LeftButton);
        retype(dlg.highEdit(), QStringLiteral("20.5"));
        // Typed key by key: "20." was the last text that passed the checks.
        const auto applied = expected(true, 20.0f, false, 50.0f);
        QCOMPARE(currentSamples(), applied);
        QTest::mouseClick(dlg.findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        QVERIFY(!dlg.isVisible());
        QCOMPARE(doc_->filter().highKHz, 20.5f);
        QVERIFY(doc_->filter().highOn);
        // The waveforms keep the last valid application.
        QCOMPARE(currentSamples(), applied);
    }
};

QTEST_MAIN(TestDlgFilter)
#include "test_dlgfilter.moc"
