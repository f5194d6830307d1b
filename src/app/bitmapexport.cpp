// The bitmap export of the analysis screen: one save dialog, numbered names, progress, reasons.
#include "app/bitmapexport.h"

#include "app/mainframe.h"
#include "report/bmpout.h"
#include "report/replacefile.h"
#include "report/reportoutput.h"
#include "views/qtext.h"
#include "views/shellui.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QStatusBar>

#include <cerrno>
#include <cstdio>

namespace tavolin {

namespace {

// Writes one page file whole or not at all; the message names the file and the reason.
QString writePage(const QString& path, const QImage& page) {
    report::ReplacingFile file(path);
    if (QString problem = file.check(); !problem.isEmpty())
        return problem;
    const QByteArray bytes = report::CBMPOut::encode(page);
    std::FILE* out = std::fopen(file.tempPath().c_str(), "wb");
    if (!out)
        return report::writeFailure(path, errno);
    const bool written =
        std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out) == size_t(bytes.size());
    const int writeError = errno;
    const bool closed = std::fclose(out) == 0;
    const int closeError = errno;
    if (!written || !closed)
        return report::writeFailure(path, !written ? writeError : closeError);
    return file.commit();
}

// The names of the pages that exist already in `dir`.
QStringList existingPages(const QDir& dir, const QString& base, const report::PageList& pages) {
    QStringList found;
    for (int page = 1; page <= pages.pageCount(); ++page)
        if (const auto ref = pages.locate(page))
            if (QFileInfo::exists(dir.filePath(bitmapPageFileName(base, *ref))))
                found << bitmapPageFileName(base, *ref);
    return found;
}

} // namespace

QString bitmapPageFileName(const QString& base, const report::PageRef& ref) {
    const QString numbered = QString::fromStdString(report::bitmapFileName(ref));
    return base.isEmpty() ? numbered : base + QLatin1Char('-') + numbered;
}

void exportBitmaps(CMainFrame& frame, const report::ReportSource& source,
                   const report::PageList& pages) {
    const QFileInfo job(pathToQ(frame.doc().path()));
    FileRequest request;
    request.kind = FileRequest::Save;
    request.caption = QStringLiteral("输出到BMP：选择文件夹和文件名（各页自动编号）");
    request.filter = QStringLiteral("BMP 位图 (*.bmp)");
    request.defaultSuffix = QStringLiteral("bmp");
    request.proposed = job.dir().filePath(job.completeBaseName() + QStringLiteral(".bmp"));
    const QStringList chosen = runFileDialog(&frame, request);
    if (chosen.isEmpty())
        return;
    const QFileInfo target(chosen.front());
    const QDir dir = target.absoluteDir();
    // "B1.bmp" and "B1" both give the base name "B1".
    const QString base = target.suffix().compare(QStringLiteral("bmp"), Qt::CaseInsensitive) == 0
                             ? target.completeBaseName()
                             : target.fileName();
    if (const QStringList existing = existingPages(dir, base, pages); !existing.isEmpty()) {
        const QString question =
            existing.size() == 1
                ? QStringLiteral("文件“%1”已存在，是否替换？").arg(existing.front())
                : QStringLiteral("文件“%1”等 %2 个文件已存在，是否替换？")
                      .arg(existing.front())
                      .arg(existing.size());
        if (askYesNoCancel(&frame, question) != QMessageBox::Yes)
            return;
    }

    QProgressDialog progress(QStringLiteral("正在输出位图..."), QStringLiteral("取消"), 0,
                             pages.pageCount(), &frame);
    progress.setObjectName(QStringLiteral("bitmapProgress"));
    progress.setWindowTitle(QStringLiteral("Tavolin"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    progress.setValue(0);
    int written = 0;
    QString failure;
    for (int page = 1; page <= pages.pageCount(); ++page) {
        const auto ref = pages.locate(page);
        if (!ref)
            continue;
        const QString path = dir.filePath(bitmapPageFileName(base, *ref));
        failure = writePage(path, report::renderBitmapPage(source, *ref));
        if (!failure.isEmpty())
            break;
        ++written;
        progress.setValue(page);
        QApplication::processEvents();
        if (progress.wasCanceled())
            break;
    }
    progress.reset();
    const QString folder = QDir::toNativeSeparators(dir.absolutePath());
    if (!failure.isEmpty()) {
        showMessage(&frame, failure);
        frame.statusBar()->showMessage(
            QStringLiteral("位图输出未完成：已写入 %1 页到 %2").arg(written).arg(folder));
    } else if (written < pages.pageCount()) {
        frame.statusBar()->showMessage(
            QStringLiteral("位图输出已取消：已写入 %1 页到 %2").arg(written).arg(folder));
    } else {
        frame.statusBar()->showMessage(
            QStringLiteral("已输出 %1 页位图到 %2").arg(written).arg(folder));
    }
}

} // namespace tavolin
