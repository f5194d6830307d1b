// The report is drawn into a PDF of its own first and queued only when every page is there: a
// print stopped half-way then leaves nothing in the queue. Qt's own print engine cannot do that,
// as it queues whatever was drawn when its painter ends, aborted or not.
#include "app/printspool.h"

#include <QFile>
#include <QPrintEngine>
#include <QPrinter>
#include <QStringList>

#include <cups/cups.h>

namespace tavolin {

namespace {

// Where Qt's print dialog keeps the print-system options it set (page set, pages per sheet,
// banners, job priority and the like) as name, value, name, value...
constexpr auto kCupsOptions = QPrintEngine::PrintEnginePropertyKey(0xfe00);

const char* sidesOf(const QPrinter& printer) {
    switch (printer.duplex()) {
    case QPrinter::DuplexLongSide:
        return "two-sided-long-edge";
    case QPrinter::DuplexShortSide:
        return "two-sided-short-edge";
    case QPrinter::DuplexAuto:
        return printer.pageLayout().orientation() == QPageLayout::Landscape ? "two-sided-short-edge"
                                                                            : "two-sided-long-edge";
    case QPrinter::DuplexNone:
        break;
    }
    return "one-sided";
}

// The print system's refusal in the user's words, with its own text for the details.
QString refusal(const QString& queue) {
    QString text;
    switch (cupsLastError()) {
    case IPP_STATUS_ERROR_NOT_FOUND:
        text = QStringLiteral("找不到打印机 %1").arg(queue);
        break;
    case IPP_STATUS_ERROR_FORBIDDEN:
    case IPP_STATUS_ERROR_NOT_AUTHORIZED:
    case IPP_STATUS_ERROR_CUPS_AUTHENTICATION_CANCELED:
        text = QStringLiteral("没有使用打印机 %1 的权限").arg(queue);
        break;
    case IPP_STATUS_ERROR_NOT_ACCEPTING_JOBS:
        text = QStringLiteral("打印机 %1 现在不接受作业").arg(queue);
        break;
    case IPP_STATUS_ERROR_SERVICE_UNAVAILABLE:
    case IPP_STATUS_ERROR_INTERNAL:
        text = QStringLiteral("打印服务不可用");
        break;
    default:
        text = QStringLiteral("打印系统未接受此作业");
        break;
    }
    const QString detail = QString::fromUtf8(cupsLastErrorString());
    return detail.isEmpty() ? text : text + QStringLiteral("（%1）").arg(detail);
}

} // namespace

QString spoolPdf(const QPrinter& printer, const QString& pdfPath, const QString& title) {
    // A saved instance of a queue is named "queue/instance": the job goes to the queue, with
    // the instance's own settings under the dialog's.
    const QString name = printer.printerName();
    const qsizetype slash = name.indexOf(QLatin1Char('/'));
    const QByteArray queue = name.left(slash < 0 ? name.size() : slash).toUtf8();
    const QByteArray instance = slash < 0 ? QByteArray() : name.mid(slash + 1).toUtf8();

    cups_option_t* options = nullptr;
    int count = 0;
    auto add = [&](const QByteArray& key, const QByteArray& value) {
        count = cupsAddOption(key.constData(), value.constData(), count, &options);
    };
    if (!instance.isEmpty()) {
        cups_dest_t* dests = nullptr;
        const int destCount = cupsGetDests(&dests);
        if (cups_dest_t* dest =
                cupsGetDest(queue.constData(), instance.constData(), destCount, dests))
            for (int i = 0; i < dest->num_options; ++i)
                add(dest->options[i].name, dest->options[i].value);
        cupsFreeDests(destCount, dests);
    }
    // The paper and its orientation, as Qt's own engine sends them.
    const QPageLayout layout = printer.pageLayout();
    if (layout.pageSize().isValid())
        add("media", layout.pageSize().key().toUtf8());
    if (layout.orientation() == QPageLayout::Landscape)
        add("landscape", "true");
    if (QPrintEngine* engine = printer.printEngine()) {
        const QStringList dialogOptions = engine->property(kCupsOptions).toStringList();
        for (qsizetype i = 0; i + 1 < dialogOptions.size(); i += 2)
            add(dialogOptions[i].toUtf8(), dialogOptions[i + 1].toUtf8());
    }
    add("copies", QByteArray::number(std::max(1, printer.copyCount())));
    if (printer.copyCount() > 1)
        add("collate", printer.collateCopies() ? "true" : "false");
    add("sides", sidesOf(printer));
    if (printer.colorMode() == QPrinter::GrayScale)
        add("print-color-mode", "monochrome");
    const int job = cupsPrintFile(queue.constData(), QFile::encodeName(pdfPath).constData(),
                                  title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    return job > 0 ? QString() : refusal(QString::fromUtf8(queue));
}

} // namespace tavolin
