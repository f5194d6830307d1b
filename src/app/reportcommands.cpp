// The report commands: the settings dialog, preview, printing, PDF and bitmap pages, all from one
// page list and one page-drawing routine; neither table chosen means nothing starts.
#include "app/reportcommands.h"

#include "app/bitmapexport.h"
#include "app/mainframe.h"
#include "app/printspool.h"
#include "app/reportpreview.h"
#include "app/tavolinapp.h"
#include "report/fonts.h"
#include "report/reportoutput.h"
#include "views/dlgprintsettings.h"
#include "views/qtext.h"
#include "views/shellui.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStatusBar>
#include <QTemporaryDir>

#include <memory>

namespace tavolin {

namespace {

// One printer for the run: preview, print dialog and printing share its paper and settings.
QPrinter& reportPrinter() {
    static QPrinter* printer = [] {
        auto* p = new QPrinter(QPrinter::HighResolution);
        p->setPageSize(QPageSize(QPageSize::A4));
        p->setPageOrientation(QPageLayout::Portrait);
        return p;
    }();
    return *printer;
}

report::ReportSource sourceOf(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    return {doc.job(), doc.evaluation(), doc.standard(), doc.printSettings(), doc.reportInfo()};
}

// The page list of the chosen tables, or nothing when no file is open (after the message) or no
// table is chosen (silently: nothing starts).
std::optional<report::PageList> pagesToPrint(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    if (!doc.isOpen()) {
        showMessage(&frame, QStringLiteral("请先打开文件!"));
        return std::nullopt;
    }
    report::installFontSubstitutions();
    report::PageList pages = sourceOf(frame).pageList();
    if (pages.empty())
        return std::nullopt;
    return pages;
}

// A modal progress dialog for long outputs, shown after a moment; events keep the windows
// painted between pages. The callback returns false once the user cancelled.
class PageProgressDialog {
public:
    PageProgressDialog(QWidget* parent, const QString& label, int total, int showAfterMs = 500)
        : dialog_(label, QStringLiteral("取消"), 0, total, parent) {
        dialog_.setWindowTitle(QStringLiteral("Tavolin"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(showAfterMs);
        dialog_.setValue(0);
    }
    report::PageProgress callback() {
        return [this](int done, int) {
            dialog_.setValue(done);
            QApplication::processEvents();
            return !dialog_.wasCanceled();
        };
    }
    bool cancelled() const { return dialog_.wasCanceled(); }

private:
    QProgressDialog dialog_;
};

// A print into a file that was stopped leaves no partial file behind: Qt's PDF engine cannot
// abort, and writes what was drawn when the painter ends.
void discardPartialOutput(const QPrinter& printer) {
    if (!printer.outputFileName().isEmpty())
        QFile::remove(printer.outputFileName());
}

// Draws pages first .. last onto `device` with a progress window over `window` (the preview when
// printing from it: a window under a modal one could not be cancelled); false when stopped or
// failed (after saying so).
bool drawPrintPages(CMainFrame& frame, QWidget* window, QPrinter& device,
                    const report::PageList& pages, int first, int last) {
    // Shown at once: a print is stopped here, before anything reaches the printer.
    PageProgressDialog progress(window, QStringLiteral("正在打印..."), last - first + 1, 0);
    QPainter painter;
    if (!painter.begin(&device)) {
        showMessage(window, QStringLiteral("无法开始打印"));
        return false;
    }
    const bool done = report::paintPages(painter, device, sourceOf(frame), pages, first, last,
                                         progress.callback());
    if (!done)
        device.abort();
    painter.end();
    if (!done) {
        if (!progress.cancelled())
            showMessage(window, QStringLiteral("打印未能完成"));
        frame.statusBar()->showMessage(QStringLiteral("打印已取消"));
    }
    return done;
}

// A printer of the print system: the pages go into a PDF of their own with the printer's paper
// and resolution, which is queued only once it is complete. Stopped half-way, nothing prints.
void printToPrinter(CMainFrame& frame, QWidget* window, const QPrinter& printer,
                    const report::PageList& pages, int first, int last) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        showMessage(window, QStringLiteral("无法开始打印"));
        return;
    }
    const QString pdfPath = folder.filePath(QStringLiteral("report.pdf"));
    QPrinter pdf(QPrinter::HighResolution);
    pdf.setOutputFormat(QPrinter::PdfFormat);
    pdf.setOutputFileName(pdfPath);
    pdf.setResolution(printer.resolution());
    pdf.setFullPage(printer.fullPage());
    pdf.setPageLayout(printer.pageLayout());
    pdf.setColorMode(printer.colorMode());
    pdf.setDocName(printer.docName());
    pdf.setCreator(QStringLiteral("Tavolin"));
    if (!drawPrintPages(frame, window, pdf, pages, first, last))
        return;
    const QString title = printer.docName().isEmpty()
                              ? QFileInfo(pathToQ(frame.doc().path())).fileName()
                              : printer.docName();
    const QString error = spoolPdf(printer, pdfPath, title);
    if (!error.isEmpty()) {
        showMessage(window, QStringLiteral("打印失败：%1").arg(error));
        return;
    }
    // No page count: the dialog's page set or pages per sheet may print fewer than were drawn.
    frame.statusBar()->showMessage(
        QStringLiteral("报表已发送到打印机 %1").arg(printer.printerName()));
}

void printPages(CMainFrame& frame, const report::PageList& pages, QWidget* dialogParent) {
    QPrinter& printer = reportPrinter();
    QPrintDialog dialog(&printer, dialogParent);
    dialog.setWindowTitle(QStringLiteral("打印"));
    dialog.setMinMax(1, pages.pageCount());
    dialog.setFromTo(1, pages.pageCount());
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    int first = 1;
    int last = pages.pageCount();
    if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
        first = printer.fromPage();
        last = printer.toPage() > 0 ? printer.toPage() : last;
    }
    if (printer.outputFormat() == QPrinter::NativeFormat && !printer.printerName().isEmpty()) {
        printToPrinter(frame, dialogParent, printer, pages, first, last);
        return;
    }
    // "Print to file": Qt's own PDF output, removed again when stopped.
    if (!drawPrintPages(frame, dialogParent, printer, pages, first, last))
        discardPartialOutput(printer);
}

// The job's own name in its folder, with `extension`.
QString proposedPath(const CTavolinDoc& doc, const char* extension) {
    const QFileInfo job(pathToQ(doc.path()));
    return job.dir().filePath(job.completeBaseName() + QLatin1Char('.') + QLatin1String(extension));
}

} // namespace

void printSetupCommand(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    CDlgPrintSettings dialog(doc.printSettings(), doc.reportInfo(), doc.isOpen(), &frame);
    dialog.exec();
    // A check-box click or a date change stored at once even when the dialog was cancelled.
    doc.printSettings() = dialog.printSettings();
    doc.reportInfo() = dialog.reportInfo();
    // Kept for the next run at once, not only when the program ends.
    doc.storeSettings(pathFromQ(CTavolinApp::settingsPath()));
}

void printPreviewCommand(CMainFrame& frame) {
    const auto pages = pagesToPrint(frame);
    if (!pages)
        return;
    const report::ReportSource source = sourceOf(frame);
    CReportPreview* preview = nullptr;
    auto print = [&] { printPages(frame, *pages, preview); };
    CReportPreview dialog(source, *pages, reportPrinter(), print, &frame);
    dialog.setObjectName(QStringLiteral("reportPreview"));
    preview = &dialog;
    dialog.exec();
}

void printCommand(CMainFrame& frame) {
    if (const auto pages = pagesToPrint(frame))
        printPages(frame, *pages, &frame);
}

void pdfExportCommand(CMainFrame& frame) {
    const auto pages = pagesToPrint(frame);
    if (!pages)
        return;
    const QString target = askSaveFile(&frame, QStringLiteral("PDF 文件 (*.pdf)"),
                                       proposedPath(frame.doc(), "pdf"), QStringLiteral("pdf"));
    if (target.isEmpty())
        return;
    PageProgressDialog progress(&frame, QStringLiteral("正在输出PDF..."), pages->pageCount());
    const std::u16string error =
        report::writePdf(pathFromQ(target), sourceOf(frame), progress.callback());
    if (!error.empty()) {
        if (!progress.cancelled())
            showMessage(&frame, toQ(error));
        return;
    }
    frame.statusBar()->showMessage(
        QStringLiteral("PDF 已保存到 %1").arg(QDir::toNativeSeparators(target)));
}

void bitmapExportCommand(CMainFrame& frame) {
    const auto pages = pagesToPrint(frame);
    if (!pages)
        return;
    exportBitmaps(frame, sourceOf(frame), *pages);
}

} // namespace tavolin
