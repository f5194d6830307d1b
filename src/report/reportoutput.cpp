// Prints, PDF files and bitmap files of the report pages, one page drawn at a time.
#include "report/reportoutput.h"

#include "report/bmpout.h"
#include "report/pagegeometry.h"

#include <QPageLayout>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace tavolin::report {

namespace {

constexpr int kPdfResolution = 600; // that of the office printers the pages were laid out for

std::u16string u16(const QString& text) {
    return text.toStdU16String();
}

} // namespace

bool paintPages(QPainter& painter, QPagedPaintDevice& device, const ReportSource& source,
                const PageList& pages, int first, int last, const PageProgress& progress) {
    first = std::max(first, 1);
    last = std::min(last, pages.pageCount());
    const PageGeometry geometry = printGeometry(deviceInfo(device), source.print);
    const int total = last - first + 1;
    for (int page = first; page <= last; ++page) {
        if (page > first && !device.newPage())
            return false;
        if (const auto ref = pages.locate(page)) {
            painter.save();
            drawReportPage(painter, geometry, source, *ref);
            painter.restore();
        }
        if (progress && !progress(page - first + 1, total))
            return false;
    }
    return true;
}

std::u16string writePdf(const std::string& path, const ReportSource& source,
                        const PageProgress& progress) {
    const PageList pages = source.pageList();
    if (pages.empty())
        return u"请选择要打印的内容";
    const QString target = QString::fromStdString(path);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly))
        return u"无法写入文件：" + u16(target);
    bool drawn = false;
    {
        QPdfWriter writer(&file);
        writer.setResolution(kPdfResolution);
        writer.setPageLayout(
            QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
        writer.setCreator(QStringLiteral("Tavolin"));
        writer.setTitle(pages.fieldRecord() ? QStringLiteral("现场记录表")
                                            : QStringLiteral("结果数据表"));
        QPainter painter;
        if (!painter.begin(&writer)) {
            file.cancelWriting();
            return u"无法写入文件：" + u16(target);
        }
        drawn = paintPages(painter, writer, source, pages, 1, pages.pageCount(), progress);
        painter.end();
    }
    if (!drawn) {
        file.cancelWriting();
        return u"输出已中止";
    }
    if (!file.commit())
        return u"无法写入文件：" + u16(target);
    return {};
}

QImage renderBitmapPage(const ReportSource& source, const PageRef& ref) {
    QImage image(kBitmapWidth, kBitmapHeight, QImage::Format_RGB32);
    const int dotsPerMeter = static_cast<int>(kBitmapDpi / 0.0254 + 0.5);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    image.fill(Qt::white);
    QPainter painter(&image);
    // Two-colour output: hard edges read better than grey edges cut at mid-grey.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    drawReportPage(painter, bitmapGeometry(), source, ref, false);
    painter.end();
    return image;
}

std::string bitmapFileName(const PageRef& ref) {
    char name[64];
    std::snprintf(name, sizeof name, "%s-%03d.bmp",
                  ref.table == ReportTable::FieldRecord ? "field-record" : "result", ref.tablePage);
    return name;
}

std::u16string writeBitmaps(const std::string& dir, const ReportSource& source,
                            const PageProgress& progress) {
    const PageList pages = source.pageList();
    if (pages.empty())
        return u"请选择要打印的内容";
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error || !std::filesystem::is_directory(dir))
        return u"无法创建文件夹：" + QString::fromStdString(dir).toStdU16String();
    for (int page = 1; page <= pages.pageCount(); ++page) {
        const auto ref = pages.locate(page);
        const std::string path = (std::filesystem::path(dir) / bitmapFileName(*ref)).string();
        if (!CBMPOut::save(path, renderBitmapPage(source, *ref)))
            return u"无法写入文件：" + QString::fromStdString(path).toStdU16String();
        if (progress && !progress(page, pages.pageCount()))
            return u"输出已中止";
    }
    return {};
}

} // namespace tavolin::report
