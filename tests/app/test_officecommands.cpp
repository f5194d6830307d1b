// "生成word文档" and "输出到excel": save dialog with the job's name, the file written whole, opened
// with the desktop's program; nothing written when nothing is open, chosen or writable.
#include "shelltestsupport.h"

#include "../report/officefiles.h"
#include "app/mainframe.h"
#include "app/officecommands.h"
#include "app/tavolinapp.h"

#include <QAction>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>

using namespace tavolin;
using namespace tavolin::test;

class TestOfficeCommands : public ShellTest {
    Q_OBJECT
private:
    QString job_;
    QStringList opened_;

    void click(const char* name) {
        auto* button = qobject_cast<QToolButton*>(
            frame().analysisToolBar()->widgetForAction(frame().action(QString::fromLatin1(name))));
        QVERIFY(button && button->isEnabled());
        QTest::mouseClick(button, Qt::LeftButton);
    }

private slots:
    void initTestCase() {
        QVERIFY(prepareShell());
        job_ = copySample(data_, QStringLiteral("sample-result.SHA"));
        QVERIFY(!job_.isEmpty());
        setOpenDocumentHook([this](const QString& path) {
            opened_ << path;
            return true;
        });
    }
    void init() {
        opened_.clear();
        QVERIFY(startApp());
    }
    void cleanup() { stopApp(); }

    void onlyInTheAnalysisInterfaceAndOnlyWithAFile() {
        QVERIFY(!frame().action(QStringLiteral("cmd32808"))->isEnabled());
        QVERIFY(!frame().action(QStringLiteral("cmd32830"))->isEnabled());
        // The analysis interface needs a file, so the handlers themselves guard the rest.
        ModalCatcher catcher;
        FileDialogScript files;
        wordReportCommand(frame());
        excelExportCommand(frame());
        QTRY_COMPARE(catcher.texts.size(), 2);
        QCOMPARE(catcher.texts, QStringList(2, QStringLiteral("请先打开文件!")));
        QVERIFY(files.requests.empty());
    }

    void writeBothFilesAndOpenThem() {
        QVERIFY(frame().openFile(job_));
        frame().action(QStringLiteral("cmd32779"))->trigger();
        QCOMPARE(frame().activeInterface(), CMainFrame::AnalysisInterface);
        doc().printSettings().printResultTable = 1;
        doc().reportInfo().projectName = u"二号桥墩检测";
        // What was written: the report information in the Word tables, the member names in the
        // sheet.
        const struct {
            const char* command;
            const char* extension;
            QString filter;
            const char* part;
            const char* text;
        } cases[] = {{"cmd32808", "docx", QStringLiteral("Word 文档 (*.docx)"), "word/document.xml",
                      "二号桥墩检测"},
                     {"cmd32830", "xlsx", QStringLiteral("Excel 工作簿 (*.xlsx)"),
                      "xl/sharedStrings.xml", "1层柱KZ1"}};
        for (const auto& c : cases) {
            FileDialogScript files;
            const QString target = data_.filePath(QStringLiteral("报告.") + c.extension);
            files.answer(target);
            click(c.command);
            QCOMPARE(files.requests.size(), size_t(1));
            QCOMPARE(files.requests[0].kind, FileRequest::Save);
            QCOMPARE(files.requests[0].proposed,
                     data_.filePath(QStringLiteral("sample-result.") + c.extension));
            QCOMPARE(files.requests[0].defaultSuffix, QString::fromLatin1(c.extension));
            QCOMPARE(files.requests[0].filter, c.filter);
            QVERIFY(officetest::zipPart(target, c.part).contains(c.text));
            QCOMPARE(opened_.value(opened_.size() - 1), target);
            QCOMPARE(frame().statusBar()->currentMessage(),
                     (c.extension[0] == 'd' ? QStringLiteral("Word 文档已保存到 ")
                                            : QStringLiteral("Excel 工作簿已保存到 ")) +
                         target);
        }
        QCOMPARE(opened_.size(), 2);
        QVERIFY(!doc().isModified());
    }

    void nothingWrittenWhenNothingChosenCancelledOrUnwritable() {
        QVERIFY(frame().openFile(job_));
        frame().action(QStringLiteral("cmd32779"))->trigger();
        ModalCatcher catcher;
        FileDialogScript files;
        // Neither table chosen: no dialog, no file.
        doc().printSettings().printFieldRecord = doc().printSettings().printResultTable = 0;
        click("cmd32808");
        QTRY_COMPARE(catcher.texts.size(), 1);
        QCOMPARE(catcher.texts[0], QStringLiteral("请选择要打印的内容"));
        QVERIFY(files.requests.empty());

        // Dialog cancelled: nothing at all.
        files.cancel();
        click("cmd32830");
        QCOMPARE(files.requests.size(), size_t(1));

        // A folder that is not there: the message, nothing opened.
        const QString missing = data_.filePath(QStringLiteral("无此文件夹/结果.xlsx"));
        files.answer(missing);
        click("cmd32830");
        QTRY_COMPARE(catcher.texts.size(), 2);
        QVERIFY2(catcher.texts[1].startsWith(QStringLiteral("无法写入文件“") + missing),
                 qPrintable(catcher.texts[1]));
        QVERIFY(!QFileInfo::exists(missing));
        QVERIFY(opened_.isEmpty());
    }
};

QTEST_MAIN(TestOfficeCommands)
#include "test_officecommands.moc"
