// The report commands of the analysis screen: bitmaps page by page, the PDF, the preview, the
// print-settings dialog kept in the settings file, and nothing at all without a table.
#include "shelltestsupport.h"

#include "app/mainframe.h"
#include "app/reportpreview.h"
#include "app/tavolinapp.h"
#include "data/settings.h"
#include "views/dlgprintsettings.h"
#include "views/qtext.h"

#include <QAction>
#include <QCheckBox>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QToolButton>

using namespace tavolin;
using namespace tavolin::test;

class TestReportCommands : public ShellTest {
    Q_OBJECT
private:
    QAction* act(const char* name) { return frame().action(QString::fromLatin1(name)); }

private slots:
    void initTestCase() { QVERIFY(prepareShell()); }
    void init() {
        const QString job = copySample(data_, QStringLiteral("sample-result.SHA"));
        QVERIFY(startApp({job}));
        act("cmd32779")->trigger(); // the analysis screen
        QVERIFY(act("cmd32809")->isEnabled());
        // Ctrl+P prints the report here; the main interface's pane print is greyed.
        QCOMPARE(act("cmd57607")->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QVERIFY(act("cmd57607")->isEnabled() && !act("cmd57607_view")->isEnabled());
    }
    void cleanup() { stopApp(); }

    void bitmapsOneDialogPerPageAndErrorGoesOn() {
        doc().printSettings().printFieldRecord = 1;
        doc().printSettings().printResultTable = 0;
        FileDialogScript files;
        ModalCatcher boxes;
        // Three members of eleven areas: six field record pages.
        files.answer(data_.filePath(QStringLiteral("p1.bmp")));
        files.cancel();
        files.answer(data_.filePath(QStringLiteral("missing/p3.bmp")));
        files.answer(data_.filePath(QStringLiteral("p4.bmp")));
        act("cmd32809")->trigger();
        QCOMPARE(files.requests.size(), size_t(6));
        QCOMPARE(files.requests[0].defaultSuffix, QStringLiteral("bmp"));
        QVERIFY(files.requests[0].proposed.isEmpty());
        QTRY_COMPARE(boxes.texts, QStringList{QStringLiteral("error!")});
        QCOMPARE(QFileInfo(data_.filePath(QStringLiteral("p1.bmp"))).size(), 184862);
        QCOMPARE(QFileInfo(data_.filePath(QStringLiteral("p4.bmp"))).size(), 184862);

        // Neither table: nothing starts.
        doc().printSettings().printFieldRecord = 0;
        act("cmd32809")->trigger();
        act("cmd32839")->trigger();
        act("cmd57609")->trigger();
        QCOMPARE(files.requests.size(), size_t(6));
    }

    void pdfOfBothTables() {
        doc().printSettings().printFieldRecord = 1;
        doc().printSettings().printResultTable = 1;
        doc().reportInfo().testNo = u"JC-2023-017";
        FileDialogScript files;
        const QString pdf = data_.filePath(QStringLiteral("report.pdf"));
        files.answer(pdf);
        act("cmd32839")->trigger();
        QCOMPARE(files.requests.size(), size_t(1));
        QVERIFY(files.requests[0].proposed.endsWith(QStringLiteral("sample-result.pdf")));
        QFile file(pdf);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF"));
        QCOMPARE(bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r"), 12);
        // The pages' text (poppler's pdftotext): both tables, with the report information given.
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-enc"), QStringLiteral("UTF-8"), pdf, QStringLiteral("-")});
        QVERIFY(text.waitForFinished(60000));
        const QString pages = QString::fromUtf8(text.readAllStandardOutput());
        QCOMPARE(pages.count(QStringLiteral("JC-2023-017")), 6); // each field record page
        QVERIFY(pages.contains(QStringLiteral("现场记录表")));
        QVERIFY(pages.contains(QStringLiteral("结果数据表")));
    }

    void previewShowsThePagesThatPrint() {
        doc().printSettings().printFieldRecord = 0;
        doc().printSettings().printResultTable = 1;
        QString count;
        bool rendered = false;
        bool zoomed = false;
        DialogCatcher catcher([&](QWidget* w) {
            auto* preview = qobject_cast<CReportPreview*>(w);
            if (!preview || !QTest::qWaitForWindowExposed(preview))
                return;
            count = preview->findChildren<QLabel*>().first()->text();
            for (QLabel* l : preview->findChildren<QLabel*>())
                if (l->text().contains(u'/'))
                    count = l->text();
            QSize before;
            for (QLabel* l : preview->findChildren<QLabel*>())
                if (l->accessibleName() == QStringLiteral("预览页面"))
                    before = l->pixmap().size();
            for (const char* text : {"末页", "放大"})
                for (QToolButton* b : preview->findChildren<QToolButton*>())
                    if (b->text() == QString::fromUtf8(text))
                        QTest::mouseClick(b, Qt::LeftButton);
            zoomed = preview->zoom() == 1.25;
            for (QLabel* l : preview->findChildren<QLabel*>())
                if (l->accessibleName() == QStringLiteral("预览页面"))
                    zoomed = zoomed && l->pixmap().width() > before.width();
            for (QLabel* l : preview->findChildren<QLabel*>())
                if (l->accessibleName() == QStringLiteral("预览页面"))
                    rendered = preview->currentPage() == 6 && !l->pixmap().isNull();
            preview->reject();
        });
        act("cmd57609")->trigger();
        QTRY_COMPARE(catcher.count, 1);
        QCOMPARE(count.trimmed(), QStringLiteral("/ 6"));
        QVERIFY(rendered);
        QVERIFY(zoomed);
    }

    void settingsDialogIsKeptForTheNextRun() {
        DialogCatcher catcher([&](QWidget* w) {
            auto* dialog = qobject_cast<CDlgPrintSettings*>(w);
            if (!dialog || !QTest::qWaitForWindowExposed(dialog))
                return;
            for (QCheckBox* box : dialog->findChildren<QCheckBox*>())
                if (box->text() == QStringLiteral("强度报告"))
                    QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(6, box->height() / 2));
            QTest::mouseClick(dialog->findChild<QAbstractButton*>(QStringLiteral("IDOK")),
                              Qt::LeftButton);
        });
        doc().printSettings().printFieldRecord = 1;
        doc().printSettings().printResultTable = 0;
        act("cmd57606")->trigger();
        QTRY_COMPARE(catcher.count, 1);
        QCOMPARE(doc().printSettings().printResultTable, 1);
        AppSettings stored;
        readSettings(pathFromQ(CTavolinApp::settingsPath()), stored);
        QCOMPARE(stored.print.printResultTable, 1);
    }
};

QTEST_MAIN(TestReportCommands)
#include "test_reportcommands.moc"
