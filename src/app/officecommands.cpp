// The Word and Excel commands: file dialog, the file written whole or not at all, then opened.
#include "app/officecommands.h"

#include "app/mainframe.h"
#include "report/officeexport.h"
#include "views/qtext.h"
#include "views/shellui.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStatusBar>
#include <QUrl>

namespace tavolin {

namespace {

OpenDocumentHook& openHook() {
    static OpenDocumentHook hook;
    return hook;
}

bool openDocument(const QString& path) {
    if (openHook())
        return openHook()(path);
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

// The job's own name in the job's folder, with the office file's extension.
QString proposedPath(const CTavolinDoc& doc, const char* extension) {
    const QFileInfo job(pathToQ(doc.path()));
    return job.dir().filePath(job.completeBaseName() + QLatin1Char('.') + QLatin1String(extension));
}

// Asks for the file, writes it with `write` under the wait cursor, says where it went, opens it.
void exportTo(CMainFrame& frame, const QString& filter, const char* extension, const QString& what,
              const std::function<QString(const QString&)>& write) {
    const QString target =
        askSaveFile(&frame, filter, proposedPath(frame.doc(), extension), QLatin1String(extension));
    if (target.isEmpty())
        return;
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const QString error = write(target);
    QGuiApplication::restoreOverrideCursor();
    if (!error.isEmpty()) {
        showMessage(&frame, error);
        return;
    }
    frame.statusBar()->showMessage(
        QStringLiteral("%1已保存到 %2").arg(what, QDir::toNativeSeparators(target)));
    if (!openDocument(target))
        showMessage(&frame, QStringLiteral("文件已写入“%1”，但没有能打开它的程序").arg(target));
}

} // namespace

void setOpenDocumentHook(OpenDocumentHook hook) {
    openHook() = std::move(hook);
}

void wordReportCommand(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    if (!doc.isOpen()) {
        showMessage(&frame, QStringLiteral("请先打开文件!"));
        return;
    }
    const PrintSettings& print = doc.printSettings();
    if (!print.printFieldRecord && !print.printResultTable) {
        showMessage(&frame, report::noTableChosenMessage());
        return;
    }
    exportTo(frame, QStringLiteral("Word 文档 (*.docx)"), "docx", QStringLiteral("Word 文档"),
             [&](const QString& target) {
                 return report::exportWord(target, {doc.job(), doc.evaluation(), doc.standard(),
                                                    print, doc.reportInfo()});
             });
}

void excelExportCommand(CMainFrame& frame) {
    CTavolinDoc& doc = frame.doc();
    if (!doc.isOpen()) {
        showMessage(&frame, QStringLiteral("请先打开文件!"));
        return;
    }
    exportTo(frame, QStringLiteral("Excel 工作簿 (*.xlsx)"), "xlsx", QStringLiteral("Excel 工作簿"),
             [&](const QString& target) { return report::exportExcel(target, doc.job()); });
}

} // namespace tavolin
