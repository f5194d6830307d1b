// Timing and memory of the office files on a large job: the .xlsx and the .docx with both tables.
#include "benchsupport.h"
#include "data/doc.h"
#include "report/officeexport.h"
#include "report/officelayout.h"
#include "samplegen_lib.h"

#include <QString>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <ctime>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace tavolin;

namespace {

using benchtiming::median;
using benchtiming::Timing;

double peakMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

void mustOpen(CTavolinDoc& doc, const std::string& job) {
    if (!doc.open(job).empty()) {
        std::fprintf(stderr, "cannot open %s\n", job.c_str());
        std::exit(1);
    }
}

PrintSettings bothTables() {
    PrintSettings p;
    p.printFieldRecord = 1;
    p.printResultTable = 1;
    return p;
}

// The peak memory of a fresh process that opens the job and writes one file, as
// `tavolin-cli report` does.
void measureMemory(const char* what, const std::string& job,
                   const std::function<QString(CTavolinDoc&)>& write) {
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        CTavolinDoc doc;
        mustOpen(doc, job);
        const double opened = peakMb();
        const QString error = write(doc);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            _exit(1);
        }
        std::printf("%-34s peak %6.0f MB (the opened job alone %4.0f MB)\n", what, peakMb(),
                    opened);
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

} // namespace

// An optional argument names a result job to use instead of the generated 100 × 100 one.
int main(int argc, char** argv) {
    const fs::path folder =
        fs::temp_directory_path() / ("tavolin-office-" + std::to_string(getpid()));
    fs::create_directories(folder);
    std::string job = (folder / "bench.SHA").string();
    if (argc > 1) {
        job = argv[1];
    } else {
        const samplegen::SampleSpec spec = benchtiming::largeJobSpec();
        std::printf("generating %d members x %d areas ...\n", spec.members, spec.areas);
        std::fflush(stdout);
        const pid_t child = ::fork();
        if (child == 0)
            _exit(samplegen::writeJob(job, samplegen::generateJob(spec), true).empty() ? 0 : 1);
        int status = 0;
        if (::waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status)) {
            std::fprintf(stderr, "writing the job failed\n");
            return 1;
        }
    }
    const QString docx = QString::fromStdString((folder / "report.docx").string());
    const QString xlsx = QString::fromStdString((folder / "areas.xlsx").string());

    measureMemory(".xlsx", job, [&](CTavolinDoc& d) { return report::exportExcel(xlsx, d.job()); });
    measureMemory(".docx, both tables", job, [&](CTavolinDoc& d) {
        const PrintSettings print = bothTables();
        return report::exportWord(docx,
                                  {d.job(), d.evaluation(), d.standard(), print, d.reportInfo()});
    });

    CTavolinDoc doc;
    mustOpen(doc, job);
    const JobData& data = doc.job();
    size_t fieldTables = 0, resultTables = 0;
    for (const auto& ref : report::wordTablePlan(data, true, true))
        ++(ref.kind == report::WordTableRef::FieldRecord ? fieldTables : resultTables);
    QString error;
    const Timing xlsxMs = median(5, [&] { error += report::exportExcel(xlsx, data); });
    const PrintSettings print = bothTables();
    const report::ReportSource source{data, doc.evaluation(), doc.standard(), print,
                                      doc.reportInfo()};
    const Timing docxMs = median(3, [&] { error += report::exportWord(docx, source); });
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("\n%-26s %9s %9s %8s %10s\n", "file", "wall ms", "cpu ms", "size MB", "target ms");
    const std::string xlsxName =
        ".xlsx, " + std::to_string(report::excelRows(data).size()) + " rows";
    const std::string docxName =
        ".docx, " + std::to_string(fieldTables) + " + " + std::to_string(resultTables) + " tables";
    std::printf("%-26s %9.0f %9.0f %8.1f %10d\n", xlsxName.c_str(), xlsxMs.wallMs, xlsxMs.cpuMs,
                fs::file_size(xlsx.toStdString()) / 1e6, 2000);
    std::printf("%-26s %9.0f %9.0f %8.1f %10d\n", docxName.c_str(), docxMs.wallMs, docxMs.cpuMs,
                fs::file_size(docx.toStdString()) / 1e6, 5000);
    std::printf("memory target <= 300 MB\n");
    if (!std::getenv("TAVOLIN_BENCH_KEEP"))
        fs::remove_all(folder);
    return 0;
}
