// The report commands of the analysis screen: numbered bitmaps, the PDF, the preview, the
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
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPrinter>
#include <QProcess>
#include <QProgressDialog>
#include <QStatusBar>
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

    QString status() { return frame().statusBar()->currentMessage(); }
    // The bitmap files in the data folder, by name.
    QStringList bitmaps(const QString& folder = {}) {
        return QDir(folder.isEmpty() ? data_.path() : folder)
            .entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name);
    }

    // One question for the folder and the base name; every page under a numbered name (three
    // members of eleven areas: six field record pages), each 62 + 132 x 1400 bytes.
    void bitmapsAreAskedForOnceAndNumbered() {
        doc().printSettings().printFieldRecord = 1;
        doc().printSettings().printResultTable = 0;
        FileDialogScript files;
        ModalCatcher boxes;
        files.answer(data_.filePath(QStringLiteral("B1.bmp")));
        act("cmd32809")->trigger();
        QCOMPARE(files.requests.size(), size_t(1));
        QCOMPARE(files.requests[0].defaultSuffix, QStringLiteral("bmp"));
        QVERIFY(files.requests[0].proposed.endsWith(QStringLiteral("sample-result.bmp")));
        QStringList expected;
        for (int page = 1; page <= 6; ++page)
            expected << QStringLiteral("B1-field-record-%1.bmp").arg(page, 3, 10, QLatin1Char('0'));
        QCOMPARE(bitmaps(), expected);
        for (const QString& name : expected)
            QCOMPARE(QFileInfo(data_.filePath(name)).size(), 184862);
        QCOMPARE(status(), QStringLiteral("已输出 6 页位图到 ") + data_.path());
        QVERIFY(boxes.texts.isEmpty());

        // The same name again: one question for all six, "否" writes nothing.
        const QDateTime before = QFileInfo(data_.filePath(expected[0])).lastModified();
        files.answer(data_.filePath(QStringLiteral("B1")));
        boxes.answer(QMessageBox::No);
        act("cmd32809")->trigger();
        QTRY_COMPARE(boxes.texts,
                     QStringList{QStringLiteral(
                         "文件“B1-field-record-001.bmp”等 6 个文件已存在，是否替换？")});
        QCOMPARE(QFileInfo(data_.filePath(expected[0])).lastModified(), before);

        // Both tables: the result pages follow under their own numbers.
        doc().printSettings().printResultTable = 1;
        const QString both = data_.filePath(QStringLiteral("both"));
        QVERIFY(QDir().mkpath(both));
        files.answer(both + QStringLiteral("/job.bmp"));
        act("cmd32809")->trigger();
        QCOMPARE(bitmaps(both).size(), 12);
        QCOMPARE(bitmaps(both).filter(QStringLiteral("job-result-")).size(), 6);
    }

    // A folder that does not exist: the file and the reason, nothing written; no "error!".
    void aBitmapFailureNamesTheFileAndTheReason() {
        doc().printSettings().printFieldRecord = 1;
        doc().printSettings().printResultTable = 0;
        FileDialogScript files;
        ModalCatcher boxes;
        const QString missing = data_.filePath(QStringLiteral("missing"));
        files.answer(missing + QStringLiteral("/p.bmp"));
        act("cmd32809")->trigger();
        QTRY_COMPARE(boxes.texts, QStringList{QStringLiteral("无法写入文件“%1/p-field-record-001."
                                                             "bmp”：文件夹不存在")
                                                  .arg(missing)});
        QVERIFY(!QFileInfo::exists(missing));
        QCOMPARE(status(), QStringLiteral("位图输出未完成：已写入 0 页到 ") + missing);

        // Neither table: nothing starts.
        doc().printSettings().printFieldRecord = 0;
        act("cmd32809")->trigger();
        act("cmd32839")->trigger();
        act("cmd57609")->trigger();
        QCOMPARE(files.requests.size(), size_t(1));
    }

    // "取消" in the progress window stops after the page in hand; the pages written are whole.
    void cancellingTheBitmapsStops() {
        doc().printSettings().printFieldRecord = 1;
        doc().printSettings().printResultTable = 1;
        FileDialogScript files;
        const QString folder = data_.filePath(QStringLiteral("cancel"));
        QVERIFY(QDir().mkpath(folder));
        files.answer(folder + QStringLiteral("/C.bmp"));
        DialogCatcher catcher([](QWidget* w) {
            if (auto* progress = qobject_cast<QProgressDialog*>(w))
                for (QPushButton* b : progress->findChildren<QPushButton*>())
                    if (b->text() == QStringLiteral("取消"))
                        QTest::mouseClick(b, Qt::LeftButton);
        });
        act("cmd32809")->trigger();
        QCOMPARE(catcher.count, 1);
        const QStringList written = bitmaps(folder);
        QVERIFY(written.size() < 12);
        for (const QString& name : written)
            QCOMPARE(QFileInfo(folder + QLatin1Char('/') + name).size(), 184862);
        QCOMPARE(
            status(),
            QStringLiteral("位图输出已取消：已写入 %1 页到 %2").arg(written.size()).arg(folder));
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
        QCOMPARE(status(), QStringLiteral("PDF 已保存到 ") + pdf);
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

    // The highest zoom on a 1200-dpi printer draws the page within the preview's pixel limit.
    void previewPageAtTheHighestZoomIsCapped() {
        doc().printSettings().printResultTable = 1;
        QPrinter printer(QPrinter::HighResolution);
        printer.setResolution(1200);
        const report::ReportSource source{doc().job(), doc().evaluation(), doc().standard(),
                                          doc().printSettings(), doc().reportInfo()};
        const report::PageList pages = source.pageList();
        CReportPreview preview(source, pages, printer, {});
        preview.show();
        QVERIFY(QTest::qWaitForWindowExposed(&preview));
        QToolButton* zoomIn = nullptr;
        for (QToolButton* b : preview.findChildren<QToolButton*>())
            if (b->text() == QStringLiteral("放大"))
                zoomIn = b;
        QVERIFY(zoomIn);
        for (int i = 0; i < 12; ++i) // 1.25^12 > 8: the zoom's upper end
            QTest::mouseClick(zoomIn, Qt::LeftButton);
        QCOMPARE(preview.zoom(), 8.0);
        QSize shown;
        for (QLabel* l : preview.findChildren<QLabel*>())
            if (l->accessibleName() == QStringLiteral("预览页面"))
                shown = l->pixmap().size();
        // A4 at 1200 dpi is 9921 × 14031 printer pixels: 16 Mpx keep it at about 0.34 of that.
        QVERIFY(double(shown.width()) * shown.height() <= CReportPreview::kMaxPagePixels);
        QVERIFY(shown.width() > 3000);
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
