// The report is drawn into a PDF of its own first and queued only when every page is there: a
// print stopped half-way then leaves nothing in the queue. Qt's own print engine cannot do that,
// as it queues whatever was drawn when its painter ends, aborted or not.
#include "app/printspool.h"

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

} // namespace

QString spoolPdf(const QPrinter& printer, const QString& pdfPath, const QString& title) {
    cups_option_t* options = nullptr;
    int count = 0;
    auto add = [&](const QByteArray& name, const QByteArray& value) {
        count = cupsAddOption(name.constData(), value.constData(), count, &options);
    };
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
    const int job =
        cupsPrintFile(printer.printerName().toUtf8().constData(), pdfPath.toLocal8Bit().constData(),
                      title.toUtf8().constData(), count, options);
    cupsFreeOptions(count, options);
    if (job > 0)
        return {};
    const QString reason = QString::fromUtf8(cupsLastErrorString());
    return reason.isEmpty() ? QStringLiteral("打印系统未接受此作业") : reason;
}

} // namespace tavolin
