// Fuzz target: a job opened from a data pair (the input split into text and companion; a result
// pair when the text has the result section, else a raw pair), evaluated as `tavolin-cli report`
// evaluates it, and written as every report output: PDF, one bitmap per page, .docx and .xlsx.
// An output that reports success must exist.
#include "fuzzsupport.h"

#include "data/doc.h"
#include "data/jobeval.h"
#include "report/fonts.h"
#include "report/officeexport.h"
#include "report/reportoutput.h"

#include <QFile>
#include <QGuiApplication>

#include <filesystem>

using namespace tavolin;

namespace {

void expectWritten(bool success, const std::string& path) {
    if (success && !std::filesystem::exists(path)) {
        std::fprintf(stderr, "success reported, but %s is missing\n", path.c_str());
        std::abort();
    }
}

} // namespace

// Fontconfig drops some of its pattern copies without freeing them when the process ends; a
// fault of that library, not of a report.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Drawing needs a QGuiApplication; the offscreen platform needs no display, and Qt's own
    // notes (fonts, runtime folder) would flood the fuzzer's output.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    new QGuiApplication(*argc, *argv);
    report::installFontSubstitutions();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto files = fuzz::splitInput(data, size, 2);
    const bool result = files[0].find("StrengthNum") != std::string::npos;
    CTavolinDoc doc;
    if (!doc.open(fuzz::writePair(result ? "in.SHA" : "in.SHT", files[0], files[1])).empty())
        return 0;
    const JobEvaluation evaluation = evaluateJob(doc.job(), doc.algorithm(), doc.standard());
    doc.refreshReportInfo();
    // Everything a print can hold: both tables, header, footer and page numbers.
    PrintSettings& print = doc.printSettings();
    print.printFieldRecord = print.printResultTable = 1;
    print.printHeader = print.printFooter = print.printPageNumber = 1;
    print.headerText = u"页眉 Header";
    print.footerText = u"页脚 Footer";
    const report::ReportSource source{doc.job(), evaluation, doc.standard(), print,
                                      doc.reportInfo()};

    const std::string out = fuzz::scratchFolder();
    expectWritten(report::writePdf(out + "/out.pdf", source).empty(), out + "/out.pdf");
    std::error_code ignored;
    std::filesystem::remove_all(out + "/pages", ignored);
    if (const auto first = source.pageList().locate(1))
        expectWritten(report::writeBitmaps(out + "/pages", source).empty(),
                      out + "/pages/" + report::bitmapFileName(*first));
    const auto q = [&](const char* name) { return QFile::decodeName((out + name).c_str()); };
    expectWritten(report::exportWord(q("/out.docx"), source).isEmpty(), out + "/out.docx");
    expectWritten(report::exportExcel(q("/out.xlsx"), doc.job()).isEmpty(), out + "/out.xlsx");
    return 0;
}
