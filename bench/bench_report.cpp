// Report speed: the PDF of both tables of a 100 × 100 job (2,000 pages) written by tavolin-cli,
// its time and peak memory, and the time until the preview shows its first page.
#include "app/reportpreview.h"
#include "benchsupport.h"
#include "data/doc.h"
#include "data/jobeval.h"
#include "report/fonts.h"
#include "samplegen_lib.h"

#include <QApplication>
#include <QPrinter>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace tavolin;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs tavolin-cli as a child; returns its wall time in seconds and peak resident memory in MB.
bool runReport(const std::string& cli, const std::string& job, const std::string& pdf,
               double& seconds, double& peakMb) {
    const auto start = Clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        execl(cli.c_str(), cli.c_str(), "report", job.c_str(), "--pdf", pdf.c_str(), "--tables",
              "field,result", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (child < 0 || ::wait4(child, &status, 0, &usage) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0)
        return false;
    seconds = msSince(start) / 1000.0;
    peakMb = usage.ru_maxrss / 1024.0;
    return true;
}

} // namespace

int main(int argc, char** argv) {
    const samplegen::SampleSpec spec = benchtiming::largeJobSpec();
    const fs::path folder =
        fs::temp_directory_path() / ("tavolin-bench-report-" + std::to_string(::getpid()));
    fs::create_directories(folder);
    const std::string job = (folder / "bench.SHA").string();
    const std::string pdf = (folder / "bench.pdf").string();
    std::printf("generating %d members x %d areas ...\n", spec.members, spec.areas);
    std::fflush(stdout);
    if (const pid_t child = ::fork(); child == 0) {
        _exit(samplegen::writeJob(job, samplegen::generateJob(spec), true).empty() ? 0 : 1);
    } else {
        int status = 0;
        if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
            WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "writing the job failed\n");
            return 1;
        }
    }

    const std::string cli =
        (fs::canonical("/proc/self/exe").parent_path().parent_path() / "src/cli/tavolin-cli")
            .string();
    std::vector<double> times, peaks;
    for (int run = 0; run < 3; ++run) {
        double s = 0, mb = 0;
        if (!runReport(cli, job, pdf, s, mb)) {
            std::fprintf(stderr, "%s report failed\n", cli.c_str());
            return 1;
        }
        times.push_back(s);
        peaks.push_back(mb);
    }
    std::sort(times.begin(), times.end());
    std::printf("tavolin-cli report --pdf, both tables (2000 pages, %.1f MB): median %.2f s "
                "(%.2f-%.2f), peak memory %.0f MB (target <= 20 s, <= 200 MB)\n",
                fs::file_size(pdf) / 1e6, times[1], times.front(), times.back(),
                *std::max_element(peaks.begin(), peaks.end()));

    // The preview as the analysis screen opens it: page list, layout, first page on screen.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    report::installFontSubstitutions();
    CTavolinDoc doc;
    if (!doc.open(job).empty())
        return 1;
    const JobEvaluation evaluation = evaluateJob(doc.job(), doc.algorithm(), doc.standard());
    doc.printSettings().printFieldRecord = 1;
    doc.printSettings().printResultTable = 1;
    QPrinter printer(QPrinter::HighResolution);
    std::vector<double> firstPage;
    for (int run = 0; run < 5; ++run) {
        const auto start = Clock::now();
        const report::ReportSource source{doc.job(), evaluation, doc.standard(),
                                          doc.printSettings(), doc.reportInfo()};
        const report::PageList pages = source.pageList();
        CReportPreview preview(source, pages, printer, {});
        firstPage.push_back(msSince(start));
    }
    std::sort(firstPage.begin(), firstPage.end());
    std::printf("preview: first of %d pages shown after %.0f ms median (%.0f-%.0f) "
                "(target <= 500 ms)\n",
                2 * 100 * 10, firstPage[2], firstPage.front(), firstPage.back());
    fs::remove_all(folder);
    return 0;
}
