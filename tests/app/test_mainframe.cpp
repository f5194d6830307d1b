// The main frame: start-up, commands, greying, opening by every road, navigation, interfaces.
#include "shelltestsupport.h"

#include "app/mainframe.h"
#include "app/tavolinapp.h"
#include "app/toolicons.h"
#include "views/docbridge.h"
#include "views/mainform.h"

#include <QAction>
#include <QDockWidget>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPrintDialog>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

using namespace tavolin;
using namespace tavolin::test;

class TestMainFrame : public ShellTest {
    Q_OBJECT
private:
    QString raw_;
    QString result_;

    QAction* act(const char* name) { return frame().action(QString::fromLatin1(name)); }
    void clickToolButton(QToolBar* bar, const char* name) {
        auto* button = qobject_cast<QToolButton*>(bar->widgetForAction(act(name)));
        QVERIFY(button);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QStringList menuTitles() {
        QStringList titles;
        for (QAction* a : frame().menuBar()->actions())
            titles << a->text();
        return titles;
    }
    static QString base() { return QStringLiteral("超声回弹综合法测强软件   Tavolin"); }
    // Shortcuts go to the active window: make the frame active again after a modal box.
    void pressCtrl(Qt::Key key) {
        frame().activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&frame()));
        QTest::keyClick(&frame(), key, Qt::ControlModifier);
    }

private slots:
    void initTestCase() {
        QVERIFY(prepareShell());
        raw_ = copySample(data_, QStringLiteral("sample-raw.SHT"));
        result_ = copySample(data_, QStringLiteral("sample-result.SHA"));
        QVERIFY(!raw_.isEmpty() && !result_.isEmpty());
    }
    void init() { QVERIFY(startApp()); }
    void cleanup() { stopApp(); }

    void startsWithNoFile() {
        QCOMPARE(frame().windowTitle(), QStringLiteral("超声回弹综合法测强软件   Tavolin"));
        // A display name of its own would be appended by desktop platforms to every window
        // title ("… — Tavolin"); unset, it is the application name and nothing is added.
        QCOMPARE(QGuiApplication::applicationDisplayName(), QCoreApplication::applicationName());
        QVERIFY(frame().isMaximized());
        QCOMPARE(frame().findChild<QLabel*>(QStringLiteral("labelReady"))->text(),
                 QStringLiteral("就绪"));
        QCOMPARE(frame().projectBar()->windowTitle(), QStringLiteral("工程信息栏"));
        QCOMPARE(frame().areaBar()->windowTitle(), QStringLiteral("当前测区数据栏"));
        QCOMPARE(frame().analysisBar()->windowTitle(), QStringLiteral("分析输出信息栏"));
        QVERIFY(frame().projectBar()->isVisible());
        QVERIFY(frame().areaBar()->isVisible());
        QVERIFY(!frame().analysisBar()->isVisible());
        QCOMPARE(frame().dockWidgetArea(frame().projectBar()), Qt::LeftDockWidgetArea);
        QCOMPARE(frame().dockWidgetArea(frame().areaBar()), Qt::RightDockWidgetArea);
        QVERIFY(frame().mainToolBar()->isVisible());
        QVERIFY(!frame().analysisToolBar()->isVisible());
        // Commands that need a file are greyed.
        for (const char* name : {"cmd32828", "cmd32827", "cmd32775", "cmd32776", "cmd32777"})
            QVERIFY2(!act(name)->isEnabled(), name);
        for (const char* name : {"cmd57601", "cmd32805", "cmd32781", "cmd32779", "cmd57664"})
            QVERIFY2(act(name)->isEnabled(), name);
        // "输出" with no file does nothing.
        act("cmd32779")->trigger();
        QCOMPARE(frame().activeInterface(), CMainFrame::MainInterface);
    }

    void menuTextsTipsAndToolbars() {
        QCOMPARE(act("cmd57601")->text(), QStringLiteral("打开(&O)...\tCtrl+O"));
        QCOMPARE(act("cmd32828")->text(), QStringLiteral("保存(&S)\tCtrl+S"));
        QCOMPARE(act("cmd32827")->text(), QStringLiteral("另存为(&A)..."));
        QCOMPARE(act("cmd57664")->text(), QStringLiteral("关于 Tavolin(&A)..."));
        QCOMPARE(act("cmd57609")->text(), QStringLiteral("打印预览(&V)"));
        QCOMPARE(act("cmd57601")->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(act("cmd57603")->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(act("cmd57607_view")->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        const std::pair<const char*, const char*> tips[] = {
            {"cmd32775", "检查参数"},     {"cmd32776", "前一测区"},
            {"cmd32777", "后一测区"},     {"cmd32779", "分析界面"},
            {"cmd32781", "滤波"},         {"cmd32796", "返回主界面"},
            {"cmd32797", "保存结果文件"}, {"cmd32808", "输出到word"},
            {"cmd32828", "保存"},         {"cmd32830", "导出到EXCEL"},
            {"cmd32835", "工程信息栏"},   {"cmd32837", "当前测区数据栏"},
            {"cmd32838", "分析信息栏"}};
        for (const auto& [name, tip] : tips) {
            QCOMPARE(act(name)->toolTip(), QString::fromUtf8(tip));
            QCOMPARE(act(name)->statusTip(), QString::fromUtf8(tip));
        }
        auto names = [](QToolBar* bar) {
            QStringList n;
            for (QAction* a : bar->actions())
                n << a->objectName();
            return n;
        };
        QCOMPARE(names(frame().mainToolBar()),
                 QStringList({"cmd57601", "cmd32828", "cmd32776", "cmd32777", "cmd32779"}));
        QCOMPARE(names(frame().analysisToolBar()),
                 QStringList({"cmd57601", "cmd32828", "cmd32797", "cmd32808", "cmd32830",
                              "cmd57606", "cmd57609", "cmd57607", "cmd32839", "cmd32796"}));
        QCOMPARE(frame().mainToolBar()->iconSize(), QSize(32, 32));
        // Normal, hot and disabled looks are three different images.
        const QIcon icon = toolIcon(QStringLiteral("open"));
        const QImage normal = icon.pixmap(QSize(32, 32), QIcon::Normal).toImage();
        const QImage hot = icon.pixmap(QSize(32, 32), QIcon::Active).toImage();
        const QImage disabled = icon.pixmap(QSize(32, 32), QIcon::Disabled).toImage();
        QCOMPARE(normal.size(), QSize(32, 32));
        QVERIFY(normal != hot && normal != disabled && hot != disabled);
        // The report commands need the analysis screen.
        for (const char* name :
             {"cmd57606", "cmd57609", "cmd57607", "cmd32808", "cmd32809", "cmd32830"})
            QVERIFY2(!act(name)->isEnabled(), name);
    }

    void openFromCommandLineAndNavigate() {
        app_.reset();
        app_ = std::make_unique<CTavolinApp>();
        app_->start({QStringLiteral("tavolin"), raw_});
        QVERIFY(doc().isOpen());
        QCOMPARE(frame().windowTitle(), base() + QStringLiteral(" - sample-raw.SHT"));
        QCOMPARE(frame().recentFiles().value(0), raw_);
        QVERIFY(act("cmd32828")->isEnabled());
        QVERIFY(act("cmd32827")->isEnabled());
        QVERIFY(act("cmd32775")->isEnabled());

        const int areas = int(doc().areasOf(0).size());
        QVERIFY(areas >= 2);
        QVERIFY(!act("cmd32776")->isEnabled());
        QVERIFY(act("cmd32777")->isEnabled());
        clickToolButton(frame().mainToolBar(), "cmd32777");
        QCOMPARE(doc().currentAreaIndex(), 1);
        QTRY_VERIFY(act("cmd32776")->isEnabled());
        for (int i = 1; i < areas - 1; ++i)
            act("cmd32777")->trigger();
        QCOMPARE(doc().currentAreaIndex(), areas - 1);
        QTRY_VERIFY(!act("cmd32777")->isEnabled());

        ModalCatcher catcher;
        frame().onNextArea(); // the command itself, as the menu would run it if it were enabled
        QTRY_COMPARE(catcher.texts, QStringList{QStringLiteral("当前为构件最后一个测区")});
        QCOMPARE(doc().currentAreaIndex(), areas - 1);
        while (doc().currentAreaIndex() > 0)
            clickToolButton(frame().mainToolBar(), "cmd32776");
        QTRY_VERIFY(!act("cmd32776")->isEnabled());
        frame().onPreviousArea();
        QTRY_COMPARE(catcher.texts.size(), 2);
        QCOMPARE(catcher.texts[1], QStringLiteral("当前为构件第一个测区"));
        QCOMPARE(doc().currentAreaIndex(), 0);
    }

    // What a file manager passes: one argument, with blanks, and the name in lower case as
    // jobs from Windows machines often are.
    void openFromCommandLineWithBlanksAndLowerCase() {
        QVERIFY(QDir(data_.path()).mkpath(QStringLiteral("工地 资料")));
        const QString job = data_.filePath(QStringLiteral("工地 资料/job 1.sha"));
        const QString samples = QStringLiteral(TAVOLIN_SAMPLES "/");
        QVERIFY(QFile::copy(samples + QStringLiteral("sample-result.SHA"), job));
        QVERIFY(QFile::copy(samples + QStringLiteral("sample-result.SHD"),
                            data_.filePath(QStringLiteral("工地 资料/job 1.shd"))));
        app_.reset();
        app_ = std::make_unique<CTavolinApp>();
        ModalCatcher catcher; // a failed open would show its message here, not hang the test
        app_->start({QStringLiteral("tavolin"), job});
        QCOMPARE(catcher.texts, QStringList());
        QVERIFY(doc().isOpen());
        QCOMPARE(frame().windowTitle(), base() + QStringLiteral(" - job 1.sha"));
        QCOMPARE(pathToQ(doc().path()), job);
    }

    void messagesWithoutAFile() {
        ModalCatcher catcher;
        act("cmd32781")->trigger();
        act("cmd32797")->trigger();
        QTRY_COMPARE(catcher.texts, QStringList({QStringLiteral("请先打开文件再进行滤波!"),
                                                 QStringLiteral("请先打开文件!")}));
        QCOMPARE(catcher.titles.value(0), QStringLiteral("Tavolin"));
    }

    void ctrlOOpensAndAsksAboutChangesFirst() {
        FileDialogScript files;
        files.answer(raw_);
        pressCtrl(Qt::Key_O);
        QCOMPARE(files.requests.size(), size_t(1));
        QCOMPARE(files.requests[0].kind, FileRequest::Open);
        QCOMPARE(files.requests[0].filter, filterOpenData);
        QCOMPARE(pathToQ(doc().path()), raw_);

        // Modified: "取消" leaves everything as it was, without a file dialog.
        doc().setModified(true);
        ModalCatcher catcher;
        catcher.answer(QMessageBox::Cancel);
        pressCtrl(Qt::Key_O);
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("数据已经修改，是否保存")});
        QCOMPARE(files.requests.size(), size_t(1));
        QVERIFY(doc().isModified());

        // "否": the open goes on and the changes are dropped.
        catcher.answer(QMessageBox::No);
        files.answer(result_);
        pressCtrl(Qt::Key_O);
        QCOMPARE(catcher.texts.size(), 2);
        QCOMPARE(pathToQ(doc().path()), result_);
        QVERIFY(!doc().isModified());
        QCOMPARE(frame().windowTitle(), base() + QStringLiteral(" - sample-result.SHA"));
        // Saving stays available after the open command.
        QVERIFY(act("cmd32828")->isEnabled());
        QVERIFY(act("cmd32827")->isEnabled());

        // "是": the save dialog comes first; the job is saved, then the next file opens.
        doc().project().SITE = u"改过的工程";
        doc().setModified(true);
        const QString savedAs = data_.filePath(QStringLiteral("saved-before-open.SHA"));
        catcher.answer(QMessageBox::Yes);
        files.answer(savedAs);
        files.answer(raw_);
        pressCtrl(Qt::Key_O);
        QCOMPARE(files.requests.size(), size_t(4));
        QCOMPARE(files.requests[2].kind, FileRequest::Save);
        QCOMPARE(files.requests[2].proposed, result_);
        QCOMPARE(pathToQ(doc().path()), raw_);
        JobData saved;
        QVERIFY(ReadDataFile(pathFromQ(savedAs), saved).empty());
        QCOMPARE(toQ(saved.project.SITE), QStringLiteral("改过的工程"));

        // "是" and then no file chosen: nothing is opened.
        doc().setModified(true);
        catcher.answer(QMessageBox::Yes);
        files.cancel();
        pressCtrl(Qt::Key_O);
        QCOMPARE(pathToQ(doc().path()), raw_);
        QCOMPARE(files.requests.size(), size_t(5));
        QVERIFY(doc().isModified());
    }

    void badFileKeepsThePreviousJob() {
        QVERIFY(frame().openFile(raw_));
        const int members = doc().memberCount();
        const int areas = int(doc().areasOf(0).size());
        const QString title = frame().windowTitle();
        const QString bad = data_.filePath(QStringLiteral("empty.SHT"));
        {
            QFile f(bad);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QFile g(data_.filePath(QStringLiteral("empty.SHD")));
            QVERIFY(g.open(QIODevice::WriteOnly));
        }
        ModalCatcher catcher;
        QVERIFY(!frame().openFile(bad));
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("文件为空!")});
        QCOMPARE(pathToQ(doc().path()), raw_);
        QCOMPARE(doc().memberCount(), members);
        QCOMPARE(int(doc().areasOf(0).size()), areas);
        QCOMPARE(frame().windowTitle(), title);
        QVERIFY(!frame().recentFiles().contains(bad));
        QVERIFY(!frame().openFile(data_.filePath(QStringLiteral("nothing-here.SHA"))));
        QCOMPARE(catcher.texts.value(1), QStringLiteral("打开文件失败！"));
        QCOMPARE(pathToQ(doc().path()), raw_);
    }

    void recentListOpenedFilesAndDrops() {
        QVERIFY(frame().openFile(raw_));
        QVERIFY(frame().openFile(result_));
        QCOMPARE(frame().recentFiles().mid(0, 2), QStringList({result_, raw_}));
        auto* recent = frame().findChild<QMenu*>(QStringLiteral("menuRecent"));
        QCOMPARE(recent->title(), QStringLiteral("最近的文件"));
        QCOMPARE(act("cmd57617")->text(), QStringLiteral("&2 ") + raw_);
        act("cmd57617")->trigger();
        QCOMPARE(pathToQ(doc().path()), raw_);

        // The opened-files list of the project form goes through the same prompt.
        QWidget* form = frame().projectBar()->findChild<CMainForm*>();
        QVERIFY(form);
        auto request = [form](const QString& path) {
            QVERIFY(QMetaObject::invokeMethod(form, "openFileRequested", Q_ARG(QString, path)));
        };
        doc().setModified(true);
        ModalCatcher catcher;
        catcher.answer(QMessageBox::Cancel);
        request(result_);
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("数据已经修改，是否保存")});
        QCOMPARE(pathToQ(doc().path()), raw_);
        catcher.answer(QMessageBox::No);
        request(result_);
        QCOMPARE(pathToQ(doc().path()), result_);

        // A dropped file is opened after the drop.
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(raw_)});
        QDragEnterEvent enter(QPoint(300, 300), Qt::CopyAction, &mime, Qt::LeftButton,
                              Qt::NoModifier);
        QApplication::sendEvent(&frame(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(300, 300), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&frame(), &drop);
        QTRY_COMPARE(pathToQ(doc().path()), raw_);
    }

    void saveCommands() {
        const QString copy =
            copySample(data_, QStringLiteral("sample-raw.SHT"), QStringLiteral("save-me.SHT"));
        QVERIFY(frame().openFile(copy));
        doc().project().PERSON = u"新的检测人员";
        doc().setModified(true);
        pressCtrl(Qt::Key_S);
        QVERIFY(!doc().isModified());
        JobData saved;
        QVERIFY(ReadDataFile(pathFromQ(copy), saved).empty());
        QCOMPARE(toQ(saved.project.PERSON), QStringLiteral("新的检测人员"));

        FileDialogScript files;
        const QString other = data_.filePath(QStringLiteral("saved-as.SHT"));
        files.answer(other);
        act("cmd32827")->trigger();
        QCOMPARE(files.requests.back().filter, filterSaveAs);
        QCOMPARE(pathToQ(doc().path()), other);
        QTRY_COMPARE(frame().windowTitle(), base() + QStringLiteral(" - saved-as.SHT"));

        ModalCatcher catcher;
        files.answer(data_.filePath(QStringLiteral("wrong.txt")));
        act("cmd32827")->trigger();
        QCOMPARE(catcher.texts, QStringList{QStringLiteral("无法识别的文件类型")});
        QCOMPARE(pathToQ(doc().path()), other);
    }

    void saveResultInTheAnalysisInterface() {
        QTemporaryDir dotted(data_.filePath(QStringLiteral("job.v1-XXXXXX")));
        const QString copy = copySample(dotted, QStringLiteral("sample-raw.SHT"));
        QVERIFY(frame().openFile(copy));
        act("cmd32779")->trigger();
        QCOMPARE(frame().activeInterface(), CMainFrame::AnalysisInterface);
        FileDialogScript files;
        const QString target = dotted.filePath(QStringLiteral("result.SHA"));
        files.answer(target);
        clickToolButton(frame().analysisToolBar(), "cmd32797");
        QCOMPARE(files.requests.size(), size_t(1));
        // The proposal cuts the file name at its first dot, not the dotted folder.
        QCOMPARE(files.requests[0].proposed, dotted.filePath(QStringLiteral("sample-raw")));
        QCOMPARE(files.requests[0].defaultSuffix, QStringLiteral("SHA"));
        QCOMPARE(files.requests[0].filter, filterResult);
        QCOMPARE(pathToQ(doc().path()), target);
        QCOMPARE(frame().windowTitle(), base() + QStringLiteral(" - result.SHA"));
        QCOMPARE(frame().recentFiles().value(0), target);
        JobData written;
        QVERIFY(ReadDataFile(pathFromQ(target), written).empty());
        QCOMPARE(written.memberCount, doc().memberCount());
    }

    void interfacesBarsAndTheSharedToolbarFlag() {
        QVERIFY(frame().openFile(raw_));
        const QStringList mainMenus = menuTitles();
        QVERIFY(mainMenus.contains(QStringLiteral("波形处理(&W)")));
        clickToolButton(frame().mainToolBar(), "cmd32779");
        QCOMPARE(frame().activeInterface(), CMainFrame::AnalysisInterface);
        QVERIFY(!frame().projectBar()->isVisible());
        QVERIFY(!frame().areaBar()->isVisible());
        QVERIFY(frame().analysisBar()->isVisible());
        QVERIFY(!frame().mainToolBar()->isVisible());
        QVERIFY(frame().analysisToolBar()->isVisible());
        QVERIFY(menuTitles() != mainMenus);
        QVERIFY(act("cmd32838")->isChecked());
        QVERIFY(!act("cmd57607_view")->isEnabled());

        act("cmd59392")->trigger(); // toolbar off in the analysis interface
        QVERIFY(!frame().analysisToolBar()->isVisible());
        QVERIFY(!act("cmd59392")->isChecked());
        act("cmd32838")->trigger();
        QVERIFY(!frame().analysisBar()->isVisible());
        QVERIFY(!act("cmd32838")->isChecked());

        act("cmd32796")->trigger();
        QCOMPARE(frame().activeInterface(), CMainFrame::MainInterface);
        QCOMPARE(menuTitles(), mainMenus);
        QVERIFY(!frame().mainToolBar()->isVisible()); // one flag for both toolbars
        QVERIFY(frame().projectBar()->isVisible());
        QVERIFY(frame().areaBar()->isVisible());
        act("cmd59392")->trigger();
        QVERIFY(frame().mainToolBar()->isVisible());

        act("cmd32835")->trigger();
        QVERIFY(!frame().projectBar()->isVisible());
        QVERIFY(!act("cmd32835")->isChecked());
        act("cmd32837")->trigger();
        QVERIFY(!frame().areaBar()->isVisible());
        act("cmd32835")->trigger();
        QVERIFY(frame().projectBar()->isVisible());
        QVERIFY(act("cmd32835")->isChecked());
        // The bars keep their flags across the analysis interface.
        act("cmd32779")->trigger();
        QVERIFY(!frame().analysisBar()->isVisible()); // its flag was cleared above
        act("cmd32796")->trigger();
        QVERIFY(frame().projectBar()->isVisible());
        QVERIFY(!frame().areaBar()->isVisible());

        act("cmd59393")->trigger();
        QVERIFY(!frame().statusBar()->isVisible());
        QVERIFY(!act("cmd59393")->isChecked());
        act("cmd59393")->trigger();
        QVERIFY(frame().statusBar()->isVisible());
    }

    void aboutAndTestParameterDialogs() {
        QString title, text;
        auto about = std::make_unique<DialogCatcher>([&](QWidget* w) {
            title = w->windowTitle();
            text = w->findChild<QLabel*>(QStringLiteral("labelVersion"))->text();
            auto* ok = w->findChild<QPushButton*>(QStringLiteral("IDOK"));
            QCOMPARE(ok->text(), QStringLiteral("确定"));
            QTest::mouseClick(ok, Qt::LeftButton);
        });
        act("cmd57664")->trigger();
        QCOMPARE(title, QStringLiteral("关于 Tavolin"));
        QCOMPARE(text, QStringLiteral("超声回弹综合法测强软件 1.0.30506 版"));
        about.reset();

        QVERIFY(frame().openFile(raw_));
        const SectionPara& record = doc().job().sections.at(0);
        QStringList values;
        bool gainHidden = false, keysSwallowed = false;
        DialogCatcher params([&](QWidget* w) {
            title = w->windowTitle();
            for (const char* name : {"editFiltL", "editFiltH", "editDT", "editDatLen", "editT0"})
                values << w->findChild<QLineEdit*>(QString::fromLatin1(name))->text();
            gainHidden = !w->findChild<QLineEdit*>(QStringLiteral("editGain"))->isVisible() &&
                         !w->findChild<QLineEdit*>(QStringLiteral("editDelay"))->isVisible();
            auto* dt = w->findChild<QLineEdit*>(QStringLiteral("editDT"));
            QTest::mouseClick(dt, Qt::LeftButton);
            QTest::keyClicks(dt, QStringLiteral("99"));
            keysSwallowed = !dt->hasFocus() && dt->text() == values[2];
            QTest::mouseClick(w->findChild<QPushButton*>(QStringLiteral("IDOK")), Qt::LeftButton);
        });
        act("cmd32775")->trigger();
        QCOMPARE(title, QStringLiteral("检测参数"));
        QCOMPARE(values.value(2), QString::asprintf("%.1f", double(record.dT)));
        QCOMPARE(values.value(3), QString::number(record.DatLen));
        QVERIFY(gainHidden);
        QVERIFY(keysSwallowed);
    }

    void ctrlPPrintsThePaneThroughThePrintDialog() {
        QVERIFY(frame().openFile(raw_));
        QString dialogClass;
        DialogCatcher printing([&](QWidget* w) {
            dialogClass = QString::fromLatin1(w->metaObject()->className());
            qobject_cast<QDialog*>(w)->reject();
        });
        pressCtrl(Qt::Key_P);
        QCOMPARE(dialogClass, QStringLiteral("QPrintDialog"));
    }
};

QTEST_MAIN(TestMainFrame)
#include "test_mainframe.moc"
