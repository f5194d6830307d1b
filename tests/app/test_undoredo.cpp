// Qt Test of undo and redo in the window and of crash recovery: a reading typed into the rebound
// table goes back with Ctrl+Z and returns with Ctrl+Y / Ctrl+Shift+Z; a text field takes back its
// own typing first; a run killed with SIGKILL after an edit is offered and restored at the next
// start, or its snapshot discarded.
#include "app/commands.h"
#include "app/recoverykeeper.h"
#include "data/datafile.h"
#include "shelltestsupport.h"
#include "support/jobbuilder.h"
#include "views/analysisdowntview.h"
#include "views/qtext.h"
#include "views/reboundgrid.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>

#include <cstdio>

using namespace tavolin;

class TestUndoRedo : public test::ShellTest {
    Q_OBJECT
    QString job_;

    // A result job of one member, every reading 35.
    QString writeJob() {
        testing::JobBuilder b;
        b.member(u"梁A").areas(3, testing::same(35));
        const QString path = data_.filePath(QStringLiteral("job.SHA"));
        return WriteResultFile(pathFromQ(path), b.build()).empty() ? path : QString();
    }
    static void key(Qt::Key k, Qt::KeyboardModifiers mods = {}) {
        QTest::keyClick(QApplication::focusWidget(), k, mods);
    }
    static void type(const QString& keys) {
        for (QChar ch : keys) {
            if (ch == '\n')
                key(Qt::Key_Return);
            else
                QTest::keyClicks(QApplication::focusWidget(), QString(ch));
        }
    }
    int reading() { return doc().area(0, 0)->R[0]; }
    QString undoText() { return frame().action(Command::Undo)->text(); }
    QString redoText() { return frame().action(Command::Redo)->text(); }
    QStringList snapshots() {
        return QDir(RecoveryKeeper::rootFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }
    // This test program run as the program that crashes: it opens the job, edits a reading and
    // reports once the snapshot is on disk; the test then kills it with SIGKILL.
    void crashAfterEdit() {
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(),
                    {QStringLiteral("--edit-and-wait"), job_});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(60000));
        QCOMPARE(child.readAll().trimmed(), QByteArray("ready"));
        child.kill(); // SIGKILL
        QVERIFY(child.waitForFinished());
        QCOMPARE(snapshots().size(), 1);
    }

private slots:
    void initTestCase() {
        QVERIFY(prepareShell());
        job_ = writeJob();
        QVERIFY(!job_.isEmpty());
    }
    void cleanup() {
        if (app_)
            stopApp();
        QDir(RecoveryKeeper::rootFolder()).removeRecursively();
    }

    void typedReadingGoesBackAndComesAgainByKeys() {
        QVERIFY(startApp({job_}));
        frame().action(Command::ShowAnalysis)->trigger();
        QTest::qWait(50);
        ReboundGrid* grid = frame().analysisDownView()->grid();
        const int row = ReboundGrid::readingRow(0, 0), column = ReboundGrid::readingColumn(0);
        grid->scrollTo(grid->model()->index(row, column));
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {},
                          grid->visualRect(grid->model()->index(row, column)).center());
        type(QStringLiteral("48\n"));
        QTRY_COMPARE(reading(), 48);
        QTRY_COMPARE(undoText(), QStringLiteral("撤销 输入回弹值"));
        QVERIFY(doc().isModified());

        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(reading(), 35);
        QTRY_COMPARE(grid->cellText(row, column), QStringLiteral("35"));
        QVERIFY(!doc().isModified());
        QTRY_COMPARE(redoText(), QStringLiteral("重做 输入回弹值"));
        QCOMPARE(undoText(), QStringLiteral("撤销"));

        key(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(reading(), 48);
        QTRY_COMPARE(grid->cellText(row, column), QStringLiteral("48"));
        key(Qt::Key_Z, Qt::ControlModifier);
        key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(reading(), 48);
        QVERIFY(doc().isModified());
        // The same two entries in the menus of both screens.
        for (const char* menu : {"menuEdit", "menuAnaEdit"})
            QCOMPARE(
                frame().findChild<QMenu*>(QString::fromLatin1(menu))->actions(),
                (QList<QAction*>{frame().action(Command::Undo), frame().action(Command::Redo)}));
    }

    void aTextFieldTakesBackItsOwnTypingFirst() {
        QVERIFY(startApp({job_}));
        doc().setReading(0, 0, 0, 48);
        auto* beta = frame().findChild<QLineEdit*>(QStringLiteral("editBeta"));
        QTRY_VERIFY(beta->isEnabled());
        QTRY_COMPARE(undoText(), QStringLiteral("撤销 输入回弹值"));
        const QString shown = beta->text();
        QTest::mouseClick(beta, Qt::LeftButton);
        QTRY_VERIFY(beta->hasFocus());
        type(QStringLiteral("7"));
        QCOMPARE(beta->text().size(), shown.size() + 1);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(beta->text(), shown);
        QCOMPARE(reading(), 48);
        key(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(reading(), 35);
        QVERIFY(beta->hasFocus());
    }

    void aCrashedRunIsOfferedAndRestored() {
        crashAfterEdit();
        test::ModalCatcher catcher; // the default button: "恢复"
        QVERIFY(startApp());
        QTRY_COMPARE(catcher.texts.size(), 1);
        QVERIFY(catcher.texts[0].contains(QStringLiteral("job.SHA")));
        QTRY_VERIFY(doc().isOpen());
        QCOMPARE(reading(), 48);
        QVERIFY(doc().isModified());
        QCOMPARE(pathToQ(doc().path()), job_);
        // The restored run keeps the snapshot as its own until a save or a clean close.
        QCOMPARE(snapshots().size(), 1);
        frame().action(Command::FileSaveShortcut)->trigger();
        QVERIFY(!doc().isModified());
        QCOMPARE(snapshots().size(), 0);
        // Saved where the user expects: the job's own file has the reading.
        CTavolinDoc reread;
        QVERIFY(reread.open(pathFromQ(job_)).empty());
        QCOMPARE(reread.area(0, 0)->R[0], 48);
        QVERIFY(WriteResultFile(pathFromQ(job_),
                                [] {
                                    testing::JobBuilder b;
                                    b.member(u"梁A").areas(3, testing::same(35));
                                    return b.build();
                                }())
                    .empty());
    }

    void aDiscardedSnapshotIsGone() {
        crashAfterEdit();
        QTimer discard;
        QStringList offered;
        connect(&discard, &QTimer::timeout, this, [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                for (QAbstractButton* b : box->buttons())
                    if (b->text() == QStringLiteral("放弃")) {
                        offered << box->text();
                        QTest::mouseClick(b, Qt::LeftButton);
                    }
        });
        discard.start(20);
        QVERIFY(startApp());
        QTRY_COMPARE(offered.size(), 1);
        QTRY_COMPARE(snapshots().size(), 0);
        QVERIFY(!doc().isOpen());
    }
};

namespace {

int editAndWait(int argc, char** argv) {
    QApplication qapp(argc, argv);
    CTavolinApp::initApplication();
    CTavolinApp program;
    program.start({QStringLiteral("tavolin"), QString::fromLocal8Bit(argv[2])});
    if (!program.doc().isOpen())
        return 1;
    program.doc().setReading(0, 0, 0, 48);
    for (int i = 0; i < 400; ++i) {
        QTest::qWait(50);
        const QString folder = program.recovery().folder();
        if (!folder.isEmpty() && QFile::exists(folder + QStringLiteral("/edits.txt"))) {
            std::printf("ready\n");
            std::fflush(stdout);
            for (;;)
                QTest::qWait(1000);
        }
    }
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 2 && QByteArray(argv[1]) == "--edit-and-wait")
        return editAndWait(argc, argv);
    QApplication app(argc, argv);
    TestUndoRedo test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_undoredo.moc"
