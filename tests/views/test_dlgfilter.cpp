// The filter dialog driven by keys and clicks: range and cross checks, live filtering, "取消".
#include "../app/shelltestsupport.h"

#include "support/reference.h"
#include "support/typing.h"
#include "views/dlgfilter.h"
#include "views/docbridge.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

using namespace tavolin;
using namespace tavolin::test;
using namespace tavolin::testing;

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
    std::vector<std::vector<uint16_t>> unfilteredSamples() {
        std::vector<std::vector<uint16_t>> s;
        for (const TestPoint& p : doc_->currentArea()->points)
            s.push_back(p.unfiltered().toVector());
        return s;
    }
    // The settings the document applies, as the user gave them.
    void expectSettings(bool highOn, float highKHz, bool lowOn, float lowKHz) {
        const FilterSettings& f = doc_->filter();
        QCOMPARE(f.highOn, highOn);
        QCOMPARE(f.lowOn, lowOn);
        if (highOn)
            QCOMPARE(f.highKHz, highKHz);
        if (lowOn)
            QCOMPARE(f.lowKHz, lowKHz);
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
        QCOMPARE(currentSamples(), unfilteredSamples());
        QVERIFY(doc_->isModified());
    }

    void checkBoxesEnableTheEditsAndFilter() {
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.lowCheck(), Qt::LeftButton);
        QVERIFY(doc_->filter().lowOn);
        QVERIFY(dlg.lowEdit()->isEnabled());
        expectSettings(false, 20.0f, true, 50.0f);
        // The low-pass alone, against the textbook filter worked out in double.
        const TestArea& area = *doc_->currentArea();
        const auto lowOnly = currentSamples();
        for (int j = 0; j < 3; ++j) {
            const auto reference =
                referenceLowPass(area.points[j].unfiltered().toVector(), area.dT, 50000);
            QCOMPARE(lowOnly[j].size(), reference.size());
            for (size_t i = 0; i < reference.size(); ++i)
                QVERIFY2(std::abs(lowOnly[j][i] - reference[i]) <= 1,
                         qPrintable(QStringLiteral("point %1 sample %2").arg(j).arg(i)));
        }

        QTest::mouseClick(dlg.highCheck(), Qt::LeftButton);
        QVERIFY(dlg.highEdit()->isEnabled());
        expectSettings(true, 20.0f, true, 50.0f);
        const auto both = currentSamples();
        QVERIFY(both != lowOnly);

        QTest::mouseClick(dlg.lowCheck(), Qt::LeftButton);
        QVERIFY(!dlg.lowEdit()->isEnabled());
        expectSettings(true, 20.0f, false, 50.0f);
        QVERIFY(currentSamples() != both);
        QVERIFY(currentSamples() != unfilteredSamples());
    }

    void tooLongHighValueIsCutToFourCharacters() {
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.highCheck(), Qt::LeftButton);
        ModalCatcher catcher;
        enterText(dlg.highEdit(), QStringLiteral("12345"), false);
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
        enterText(dlg.lowEdit(), QStringLiteral("99999"), false);
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
        enterText(dlg.lowEdit(), QStringLiteral("20"), false);
        enterText(dlg.highEdit(), QStringLiteral("20"), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("数字滤波"));
        expectSettings(true, 20.0f, true, 20.0f);
        const auto accepted = currentSamples();

        // 20.5 fails the range check before the cross check and is not applied.
        enterText(dlg.highEdit(), QStringLiteral("20.5"), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("高通范围为0.01-20kHz"));
        QCOMPARE(currentSamples(), accepted);
        enterText(dlg.highEdit(), QStringLiteral("0.009"), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("高通范围为0.01-20kHz"));
        enterText(dlg.highEdit(), QStringLiteral("0.01"), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("数字滤波"));

        enterText(dlg.highEdit(), QStringLiteral("15"), false);
        enterText(dlg.lowEdit(), QStringLiteral("10"), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("高通值必须小于低通值"));
        enterText(dlg.lowEdit(), QStringLiteral("501"), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("低通范围为2-500kHz"));
        enterText(dlg.lowEdit(), QStringLiteral("1.5"), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("低通范围为2-500kHz"));
        enterText(dlg.lowEdit(), QStringLiteral("500"), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("数字滤波"));
        expectSettings(true, 15.0f, true, 500.0f);
        const auto applied = currentSamples();
        QVERIFY(applied != accepted);

        // An empty edit is not applied.
        enterText(dlg.lowEdit(), QString(), false);
        QCOMPARE(dlg.windowTitle(), QStringLiteral("低通范围为2-500kHz"));
        QCOMPARE(currentSamples(), applied);
    }

    void cancelRestoresSettingsAndSamples() {
        const FilterSettings before = doc_->filter();
        const auto samplesBefore = currentSamples();
        CDlgFilter dlg(*bridge_);
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QTest::mouseClick(dlg.highCheck(), Qt::LeftButton);
        QTest::mouseClick(dlg.lowCheck(), Qt::LeftButton);
        enterText(dlg.highEdit(), QStringLiteral("5"), false);
        enterText(dlg.lowEdit(), QStringLiteral("100"), false);
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
        enterText(dlg.highEdit(), QStringLiteral("20."), false);
        const auto applied = currentSamples();
        // One more key: "20." stays the last text that passed the checks.
        typeKeys("5");
        QCOMPARE(dlg.windowTitle(), QStringLiteral("高通范围为0.01-20kHz"));
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
