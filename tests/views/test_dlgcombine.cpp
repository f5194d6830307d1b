// The merge dialog driven by clicks and keys: choosing, unchecking, merging, failures.
#include "../app/shelltestsupport.h"

#include "data/datafile.h"
#include "views/dlgcombine.h"
#include "views/qtext.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

using namespace tavolin;
using namespace tavolin::test;

class TestDlgCombine : public QObject {
    Q_OBJECT
private:
    QTemporaryDir dir_;
    QString raw_;
    QString result_;

    static JobData read(const QString& path) {
        JobData job;
        const std::u16string error = ReadDataFile(pathFromQ(path), job);
        if (!error.empty())
            qWarning() << "read failed:" << toQ(error);
        return job;
    }
    static int areaCount(const JobData& job) {
        int n = 0;
        for (const auto& areas : job.areas)
            n += int(areas.size());
        return n;
    }
    static void toggleRow(CDlgcombine& dlg, int row) {
        dlg.list()->setCurrentItem(dlg.list()->topLevelItem(row));
        dlg.list()->setFocus();
        QTest::keyClick(dlg.list(), Qt::Key_Space);
    }

private slots:
    void initTestCase() {
        QVERIFY(dir_.isValid());
        raw_ = copySample(dir_, QStringLiteral("sample-raw.SHT"));
        result_ = copySample(dir_, QStringLiteral("sample-result.SHA"));
        QVERIFY(!raw_.isEmpty() && !result_.isEmpty());
    }

    void layoutAndChoosing() {
        FileDialogScript files;
        CDlgcombine dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        QCOMPARE(dlg.windowTitle(), QStringLiteral("合并"));
        QVERIFY(dlg.findChild<QLabel*>()->text() == QStringLiteral("待合并文件"));
        QCOMPARE(dlg.list()->columnCount(), 1);
        QCOMPARE(dlg.list()->columnWidth(0), 200);
        QCOMPARE(dlg.list()->headerItem()->text(0), QString());
        QVERIFY(!dlg.mergeButton()->isEnabled());

        files.answer(QStringList{raw_, result_});
        QTest::mouseClick(dlg.chooseButton(), Qt::LeftButton);
        QCOMPARE(files.requests.size(), size_t(1));
        QCOMPARE(files.requests[0].kind, FileRequest::OpenMany);
        QCOMPARE(files.requests[0].filter, filterMergeInput);
        QCOMPARE(dlg.list()->topLevelItemCount(), 2);
        QCOMPARE(dlg.list()->topLevelItem(0)->text(0), QStringLiteral("sample-raw.SHT"));
        QCOMPARE(dlg.list()->topLevelItem(1)->text(0), QStringLiteral("sample-result.SHA"));
        QCOMPARE(dlg.paths(), (QStringList{raw_, result_}));
        QCOMPARE(dlg.list()->topLevelItem(0)->checkState(0), Qt::Checked);
        QVERIFY(dlg.mergeButton()->isEnabled());

        // "合并" follows the check marks.
        toggleRow(dlg, 0);
        QCOMPARE(dlg.list()->topLevelItem(0)->checkState(0), Qt::Unchecked);
        QVERIFY(dlg.mergeButton()->isEnabled());
        toggleRow(dlg, 1);
        QVERIFY(!dlg.mergeButton()->isEnabled());
        toggleRow(dlg, 1);
        QVERIFY(dlg.mergeButton()->isEnabled());

        // A cancelled file dialog adds nothing.
        files.cancel();
        QTest::mouseClick(dlg.chooseButton(), Qt::LeftButton);
        QCOMPARE(dlg.list()->topLevelItemCount(), 2);
    }

    void mergeTwoSamplesAndReadBack() {
        const JobData a = read(raw_);
        const JobData b = read(result_);
        QVERIFY(a.memberCount > 0 && b.memberCount > 0);

        FileDialogScript files;
        ModalCatcher catcher;
        CDlgcombine dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.addFiles({raw_, result_});
        const QString target = dir_.filePath(QStringLiteral("merged.SHA"));
        files.answer(target);
        QTest::mouseClick(dlg.mergeButton(), Qt::LeftButton);
        QVERIFY2(catcher.texts.isEmpty(), qPrintable(catcher.texts.join('\n')));
        QCOMPARE(files.requests.back().kind, FileRequest::Save);
        QCOMPARE(files.requests.back().defaultSuffix, QStringLiteral("SHA"));
        QCOMPARE(files.requests.back().filter, QStringLiteral("声波结果文件 (*.SHA)"));
        // A completed merge empties the list.
        QCOMPARE(dlg.list()->topLevelItemCount(), 0);
        QVERIFY(dlg.paths().isEmpty());
        QVERIFY(!dlg.mergeButton()->isEnabled());

        const JobData merged = read(target);
        QCOMPARE(merged.memberCount, a.memberCount + b.memberCount);
        QCOMPARE(areaCount(merged), areaCount(a) + areaCount(b));
        for (int j = 0; j < merged.memberCount; ++j) {
            QCOMPARE(merged.members[j].SI, j);
            QCOMPARE(merged.members[j].A, 0.0f);
            QCOMPARE(merged.members[j].B, 0.0f);
            QCOMPARE(merged.members[j].C, 0.0f);
        }
        // Members keep the order of the files: the raw file's member comes first.
        QCOMPARE(merged.members[0].PILEID, a.members[0].PILEID);
        QCOMPARE(merged.members[a.memberCount].PILEID, b.members[0].PILEID);
        QCOMPARE(merged.areas[0][0].points[0].samples, a.areas[0][0].points[0].samples);
    }

    void uncheckedRowsLeaveAndCancelKeepsTheList() {
        FileDialogScript files;
        ModalCatcher catcher;
        CDlgcombine dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.addFiles({raw_, result_, raw_});
        toggleRow(dlg, 1);
        files.cancel(); // no output file chosen
        QTest::mouseClick(dlg.mergeButton(), Qt::LeftButton);
        QCOMPARE(dlg.paths(), (QStringList{raw_, raw_}));
        QCOMPARE(dlg.list()->topLevelItemCount(), 2);
        QCOMPARE(dlg.list()->topLevelItem(1)->text(0), QStringLiteral("sample-raw.SHT"));

        const QString target = dir_.filePath(QStringLiteral("twice.SHA"));
        files.answer(target);
        QTest::mouseClick(dlg.mergeButton(), Qt::LeftButton);
        const JobData a = read(raw_);
        const JobData merged = read(target);
        QCOMPARE(merged.memberCount, 2 * a.memberCount);
        QCOMPARE(areaCount(merged), 2 * areaCount(a));
        QVERIFY(catcher.texts.isEmpty());
    }

    void unreadableFileIsReportedAndTheMergeGoesOn() {
        FileDialogScript files;
        ModalCatcher catcher;
        CDlgcombine dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QString missing = dir_.filePath(QStringLiteral("missing.SHT"));
        dlg.addFiles({missing, raw_});
        const QString target = dir_.filePath(QStringLiteral("partial.SHA"));
        files.answer(target);
        QTest::mouseClick(dlg.mergeButton(), Qt::LeftButton);
        QCOMPARE(catcher.texts.size(), 1);
        QCOMPARE(catcher.texts[0],
                 QStringLiteral("读取文件") + missing + QStringLiteral("错误:打开文件失败！"));
        const JobData merged = read(target);
        QCOMPARE(merged.memberCount, read(raw_).memberCount);
        QCOMPARE(dlg.list()->topLevelItemCount(), 0);
    }

    // A failing file is reported before the next file is read: the merge stops at each box.
    void eachFailureIsReportedInTurnBeforeTheNextFileIsRead() {
        FileDialogScript files;
        CDlgcombine dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        const QString first = dir_.filePath(QStringLiteral("first-missing.SHA"));
        const QString later = dir_.filePath(QStringLiteral("later.SHT"));
        const QString last = dir_.filePath(QStringLiteral("last-missing.SHT"));
        QFile::remove(later);
        dlg.addFiles({first, later, last});
        // While the first box is up the later file comes into being; it must then be merged.
        QStringList texts;
        QTimer poll;
        QPointer<QMessageBox> seen;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box || box == seen)
                return;
            seen = box;
            texts << box->text();
            if (texts.size() == 1)
                copySample(dir_, QStringLiteral("sample-raw.SHT"), QStringLiteral("later.SHT"));
            QTest::keyClick(box, Qt::Key_Return);
        });
        poll.start(20);
        const QString target = dir_.filePath(QStringLiteral("in-turn.SHA"));
        files.answer(target);
        QTest::mouseClick(dlg.mergeButton(), Qt::LeftButton);
        poll.stop();
        const QString failed = QStringLiteral("错误:打开文件失败！");
        QCOMPARE(texts, QStringList({QStringLiteral("读取文件") + first + failed,
                                     QStringLiteral("读取文件") + last + failed}));
        QCOMPARE(read(target).memberCount, read(raw_).memberCount);
    }

    void nothingReadableWritesNothing() {
        FileDialogScript files;
        ModalCatcher catcher;
        CDlgcombine dlg;
        dlg.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dlg));
        dlg.addFiles({dir_.filePath(QStringLiteral("none.SHA"))});
        QTest::mouseClick(dlg.mergeButton(), Qt::LeftButton);
        QCOMPARE(catcher.texts.size(), 1);
        QVERIFY(files.requests.empty()); // no save dialog
        QCOMPARE(dlg.list()->topLevelItemCount(), 1);
    }
};

QTEST_MAIN(TestDlgCombine)
#include "test_dlgcombine.moc"
