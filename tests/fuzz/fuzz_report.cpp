// Fuzz target: a job opened from a data pair (the input split into text and companion, a result
// pair when the text has the result section, else a raw pair), evaluated as `tavolin-cli report`
// evaluates it, and every report output written: PDF, one bitmap per page, .docx and .xlsx.
// A failed write must say why; every output that reports success must exist.
#include "fuzzsupport.h"

#include "data/doc.h"
#include "data/jobeval.h"
#include "report/fonts.h"
#include "report/officeexport.h"
#include "report/reportoutput.h"

#include <QFile>
#include <QGuiApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string_view>

using namespace tavolin;

namespace {

// The report writes with the platform's fonts; the offscreen platform needs no display.
QGuiApplication* gui = nullptr;

void mustExist(const std::string& path, const char* what) {
    std::error_code error;
    if (!std::filesystem::exists(path, error)) {
        std::fprintf(stderr, "%s reported success but %s is missing\n", what, path.c_str());
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt's own notes (fonts, runtime folder) would flood the fuzzer's output.
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    gui = new QGuiApplication(*argc, *argv);
    report::installFontSubstitutions();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const auto files = fuzz::splitInput(data, size, 2);
    const bool result = files[0].find("StrengthNum") != std::string::npos;
    const std::string path = fuzz::writePair(result ? "in.SHA" : "in.SHT", files[0], files[1]);
    CTavolinDoc doc;
    if (!doc.open(path).empty())
        return 0;
    evaluateJob(doc.job(), doc.algorithm(), doc.standard());
    doc.refreshReportInfo();
    // Everything a print can hold: both tables, header, footer and page numbers.
    PrintSettings& print = doc.printSettings();
    print.printFieldRecord = print.printResultTable = 1;
    print.printHeader = print.printFooter = print.printPageNumber = 1;
    print.headerText = u"页眉 Header";
    print.footerText = u"页脚 Footer";
    const report::ReportSource source{doc.job(), doc.printSettings(), doc.reportInfo()};

    const std::string out = fuzz::scratchFolder();
    if (report::writePdf(out + "/out.pdf", source).empty())
        mustExist(out + "/out.pdf", "the PDF");
    std::error_code ignored;
    std::filesystem::remove_all(out + "/pages", ignored);
    if (report::writeBitmaps(out + "/pages", source).empty())
        if (const auto first = source.pageList().locate(1))
            mustExist(out + "/pages/" + report::bitmapFileName(*first), "the bitmaps");
    if (report::exportWord(QFile::decodeName((out + "/out.docx").c_str()), doc.job(),
                           doc.reportInfo(), doc.printSettings())
            .isEmpty())
        mustExist(out + "/out.docx", "the Word file");
    if (report::exportExcel(QFile::decodeName((out + "/out.xlsx").c_str()), doc.job()).isEmpty())
        mustExist(out + "/out.xlsx", "the Excel file");
    return 0;
}
