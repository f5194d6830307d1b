// Closing the window and "退出": the "数据已经修改，是否保存" prompt and its three answers.
#include "shelltestsupport.h"

#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "views/docbridge.h"

#include <QAction>

using namespace tavolin;
using namespace tavolin::test;

class TestClosePrompt : public QObject {
    Q_OBJECT
private:
    QTemporaryDir config_;
    QTemporaryDir data_;
    std::unique_ptr<CTavolinApp> app_;
    QString job_;

    CMainFrame& frame() { return app_->frame(); }
    CTavolinDoc& doc() { return app_->doc(); }
    void modify() {
        doc().project().SITE = u"关闭前改过";
        doc().setModified(true);
    }
    // Shortcuts go to the active window: make the frame active again after a modal box.
    void pressCtrlN() {
        frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame()));
        QTest::keyClick(&frame(), Qt::Key_N, Qt::ControlModifier);
    }
    QString savedSite(const QString& path) {
        JobData job;
        if (!ReadDataFile(pathFromQ(path), job).empty())
            return QStringLiteral("<unreadable>");
        return toQ(job.project.SITE);
    }

private slots:
    void initTestCase() {
        QVERIFY(config_.isValid() && data_.isValid());
        qputenv("TAVOLIN_CONFIG_DIR", config_.path().toLocal8Bit());
        CTavolinApp::initApplication();
    }
    void init() {
        job_ = copySample(data_, QStringLiteral("sample-result.SHA"), QStringLiteral("job.SHA"));
        QVERIFY(!job_.isEmpty());
        app_ = std::make_unique<CTavolinApp>();
        app_->start({QStringLiteral("tavolin"), job_});
        QVERIFY(QTest::qWaitForWindowExposed(&frame()));
        QVERIFY(doc().isOpen());
    }
    void cleanup() {
        doc().setModified(false);
        app_.reset();
    }

    void unmodifiedClosesWithoutAsking() {
        ModalCatcher catcher;
        QVERIFY(frame().close());
        QVERIFY(catcher.texts.isEmpty());
    }

    void cancelStaysOpen() {
        modify();
        ModalCatcher catcher;
        catcher.answer(QMessageBox::Cancel);
        QVERIFY(!frame().close());
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("数据已经修改，是否保存")});
        QVERIFY(frame().isVisible());
        QVERIFY(doc().isModified());
    }

    void noClosesWithoutSaving() {
        const QString before = savedSite(job_);
        modify();
        ModalCatcher catcher;
        catcher.answer(QMessageBox::No);
        FileDialogScript files;
        QVERIFY(frame().close());
        QVERIFY(files.requests.empty());
        QCOMPARE(savedSite(job_), before);
    }

    // Ctrl+N asks like closing does, then leaves no file open.
    void ctrlNAsksThenClosesTheJob() {
        modify();
        {
            ModalCatcher catcher;
            catcher.answer(QMessageBox::Cancel);
            pressCtrlN();
            QCOMPARE(catcher.texts, QStringList{QStringLiteral("数据已经修改，是否保存")});
            QVERIFY(doc().isOpen());
        }
        ModalCatcher catcher;
        catcher.answer(QMessageBox::No);
        pressCtrlN();
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("数据已经修改，是否保存")});
        QVERIFY(!doc().isOpen());
        QVERIFY(!doc().isModified());
        QCoreApplication::processEvents();
        QCOMPARE(frame().windowTitle(), QStringLiteral("超声回弹综合法测强软件   Tavolin"));
        QVERIFY(!frame().findChild<QAction*>(QStringLiteral("cmd32777"))->isEnabled());
        QVERIFY(!frame().findChild<QAction*>(QStringLiteral("cmd32828"))->isEnabled());
    }

    void yesSavesThroughTheDialogThenCloses() {
        modify();
        ModalCatcher catcher;
        catcher.answer(QMessageBox::Yes);
        FileDialogScript files;
        files.answer(job_);
        QVERIFY(frame().close());
        QCOMPARE(files.requests.size(), size_t(1));
        QCOMPARE(files.requests[0].kind, FileRequest::Save);
        QCOMPARE(files.requests[0].proposed, job_);
        QCOMPARE(files.requests[0].filter, filterOpenData);
        QCOMPARE(savedSite(job_), QStringLiteral("关闭前改过"));
        QVERIFY(!doc().isModified());
    }

    void yesThenCancelledDialogStaysOpen() {
        modify();
        ModalCatcher catcher;
        catcher.answer(QMessageBox::Yes);
        FileDialogScript files;
        files.cancel();
        QVERIFY(!frame().close());
        QVERIFY(frame().isVisible());
        QVERIFY(doc().isModified());
    }

    void yesThenFailedSaveStaysOpen() {
        modify();
        ModalCatcher catcher;
        catcher.answer(QMessageBox::Yes);
        FileDialogScript files;
        files.answer(data_.filePath(QStringLiteral("job.txt")));
        QVERIFY(!frame().close());
        QCOMPARE(catcher.texts, QStringList({QStringLiteral("数据已经修改，是否保存"),
                                             QStringLiteral("无法识别的文件类型")}));
        QVERIFY(frame().isVisible());
        QVERIFY(doc().isModified());
    }

    void exitCommandAsksToo() {
        modify();
        ModalCatcher catcher;
        catcher.answer(QMessageBox::Cancel);
        frame().action(QStringLiteral("cmd32840"))->trigger();
        QCOMPARE(catcher.texts.size(), 1);
        QVERIFY(frame().isVisible());
        catcher.answer(QMessageBox::No);
        frame().action(QStringLiteral("cmd32840"))->trigger();
        QVERIFY(!frame().isVisible());
    }
};

QTEST_MAIN(TestClosePrompt)
#include "test_closeprompt.moc"
