// The report command: open and evaluate as `evaluate` does, refresh the report information, then
// write each output the options name (PDF pages, bitmap pages, Word and Excel files) from one
// table of writers.
#include "cli/reportcommand.h"

#include "cli/console.h"
#include "cli/jobsetup.h"
#include "cli/options.h"
#include "data/doc.h"
#include "data/jobeval.h"
#include "report/fonts.h"
#include "report/officeexport.h"
#include "report/reportoutput.h"

#include <QFile>
#include <QGuiApplication>
#include <QStandardPaths>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace tavolin::cli {

namespace {

constexpr int kFailure = 1;

// One kind of report output: the option naming its target and the writer. Office formats are
// added here as further rows.
struct ReportWriter {
    const char* option;
    std::u16string (*write)(const std::string& target, const report::ReportSource& source,
                            const report::PageProgress& progress);
    bool tables = true; // writes the tables chosen in the print settings
};

std::u16string writePdfOutput(const std::string& target, const report::ReportSource& source,
                              const report::PageProgress& progress) {
    return report::writePdf(target, source, progress);
}

std::u16string writeBmpOutput(const std::string& target, const report::ReportSource& source,
                              const report::PageProgress& progress) {
    return report::writeBitmaps(target, source, progress);
}

std::u16string writeDocxOutput(const std::string& target, const report::ReportSource& source,
                               const report::PageProgress&) {
    return report::exportWord(QFile::decodeName(target.c_str()), source).toStdU16String();
}

// The sheet holds every area whatever tables are chosen.
std::u16string writeXlsxOutput(const std::string& target, const report::ReportSource& source,
                               const report::PageProgress&) {
    return report::exportExcel(QFile::decodeName(target.c_str()), source.job).toStdU16String();
}

const std::vector<ReportWriter>& reportWriters() {
    static const std::vector<ReportWriter> writers{
        {"--pdf", writePdfOutput},
        {"--bmp", writeBmpOutput},
        {"--docx", writeDocxOutput},
        {"--xlsx", writeXlsxOutput, false},
    };
    return writers;
}

// "field", "result" or both, comma-separated in either order.
void applyTables(const std::string& text, PrintSettings& print) {
    bool field = false;
    bool result = false;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = std::min(text.find(',', start), text.size());
        const std::string name = text.substr(start, comma - start);
        if (name == "field" && !field)
            field = true;
        else if (name == "result" && !result)
            result = true;
        else
            throw UsageError("--tables 只能是 field、result 或 field,result：" + text);
        start = comma + 1;
    }
    print.printFieldRecord = field ? 1 : 0;
    print.printResultTable = result ? 1 : 0;
}

// The user's own settings file, as the program keeps it.
std::string userSettingsPath() {
    QString dir = qEnvironmentVariable("TAVOLIN_CONFIG_DIR");
    if (dir.isEmpty())
        dir = QStandardPaths::writableLocation(QStandardPaths::AppConfigLocation);
    return (dir + QStringLiteral("/tavolin.ini")).toStdString();
}

// Drawing needs a QGuiApplication; the offscreen platform needs no display.
struct OffscreenGui {
    int argc = 1;
    char name[16] = "tavolin-cli";
    char* argv[2] = {name, nullptr};
    std::unique_ptr<QGuiApplication> app;

    OffscreenGui() {
        // The platform's own notes (a missing runtime folder and the like) are no concern of a
        // report; only the command's messages reach standard error.
        qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
            if (type == QtCriticalMsg || type == QtFatalMsg)
                errorLine(std::string_view(text.toStdString()));
        });
        qputenv("QT_QPA_PLATFORM", "offscreen");
        QCoreApplication::setApplicationName(QStringLiteral("tavolin"));
        app = std::make_unique<QGuiApplication>(argc, argv);
        report::installFontSubstitutions();
    }
};

} // namespace

int runReport(int argc, char** argv) {
    std::set<std::string> valueOptions = kEvalValueOptions;
    valueOptions.insert({"--tables", "--settings"});
    for (const ReportWriter& w : reportWriters())
        valueOptions.insert(w.option);
    std::set<std::string> flagOptions = kEvalFlagOptions;
    flagOptions.erase("--json");
    const ParsedArgs args = parseArgs(argc, argv, 1, valueOptions, flagOptions);
    if (args.positional.size() != 1)
        throw UsageError("report 需要一个文件");
    std::vector<std::pair<const ReportWriter*, std::string>> outputs;
    for (const ReportWriter& w : reportWriters())
        if (auto it = args.values.find(w.option); it != args.values.end())
            outputs.emplace_back(&w, it->second);
    if (outputs.empty())
        throw UsageError("report 需要输出选项 --pdf、--bmp、--docx 或 --xlsx");
    JobRequest request;
    if (!jobRequestFrom(args, request))
        return kFailure;
    const std::string& file = args.positional[0];

    OffscreenGui gui;
    CTavolinDoc doc;
    std::string settingsFile = userSettingsPath();
    if (auto it = args.values.find("--settings"); it != args.values.end()) {
        settingsFile = it->second;
        std::error_code error;
        if (!std::filesystem::is_regular_file(settingsFile, error)) {
            errorLine("无法读取设置文件：" + settingsFile);
            return kFailure;
        }
    }
    doc.loadSettings(settingsFile);
    if (auto it = args.values.find("--tables"); it != args.values.end())
        applyTables(it->second, doc.printSettings());
    const bool tablesWanted = std::any_of(outputs.begin(), outputs.end(),
                                          [](const auto& output) { return output.first->tables; });
    if (tablesWanted && !doc.printSettings().printFieldRecord &&
        !doc.printSettings().printResultTable) {
        errorLine(u"请选择要打印的内容");
        return kFailure;
    }

    {
        ConsoleFeedback feedback("正在读取");
        const std::u16string error = doc.open(file, feedback.readOptions());
        feedback.finish();
        if (!error.empty()) {
            errorLine(error);
            return kFailure;
        }
    }
    if (request.settings.standard)
        doc.setStandard(*request.settings.standard);
    EvaluatedJob evaluated;
    if (!evaluateRequest(doc.job(), doc.algorithm(), doc.standard(), request, evaluated))
        return kFailure;
    const JobEvaluation& evaluation = evaluated.evaluation;
    // The heads name the standard the job was evaluated with.
    doc.refreshReportInfo();

    const report::ReportSource source{doc.job(), evaluation, doc.standard(), doc.printSettings(),
                                      doc.reportInfo()};
    for (const auto& [writer, target] : outputs) {
        ConsoleFeedback feedback("正在输出");
        const ReadOptions feed = feedback.readOptions();
        report::PageProgress progress;
        if (feed.progress)
            progress = [&feed](int done, int total) {
                feed.progress(done, total);
                return true;
            };
        const std::u16string error = writer->write(target, source, progress);
        feedback.finish();
        if (!error.empty()) {
            errorLine(error);
            return kFailure;
        }
    }
    return 0;
}

} // namespace tavolin::cli
