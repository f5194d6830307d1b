// Open, evaluate, save, merge and waveform export, done the way the program does them.
#include "cli/commands.h"

#include "cli/console.h"
#include "cli/jobjson.h"
#include "cli/jobsetup.h"
#include "cli/json.h"
#include "cli/options.h"
#include "cli/textreport.h"
#include "data/datafile.h"
#include "data/doc.h"
#include "data/jobeval.h"
#include "data/merge.h"
#include "sonic/filter.h"
#include "sonic/waveform.h"

#include <string>
#include <vector>

namespace tavolin::cli {

bool openDocument(CTavolinDoc& doc, const std::string& path) {
    ConsoleFeedback feedback("正在读取");
    const std::u16string error = doc.open(path, feedback.readOptions());
    feedback.finish();
    if (!error.empty()) {
        errorLine(error);
        return false;
    }
    return true;
}

namespace {

constexpr int kFailure = 1;

// A path whose companion would be itself would have its text overwritten by the waveforms.
bool selfCompanion(const std::string& path) {
    return companionPath(path) == path;
}

struct Evaluated {
    int standard = 0;
    EvaluatedJob job;
};

bool evaluateDocument(CTavolinDoc& doc, JobRequest& request, Evaluated& out) {
    if (request.settings.standard)
        doc.setStandard(*request.settings.standard);
    out.standard = doc.standard();
    return evaluateRequest(doc.job(), doc.algorithm(), out.standard, request, out.job);
}

void writeJson(const std::string& file, const CTavolinDoc& doc, const Evaluated& e) {
    writeJobJson(file, e.standard, doc.job(), e.job.evaluation, writeOut,
                 e.job.cores ? &*e.job.cores : nullptr);
}

} // namespace

int runEvaluate(int argc, char** argv) {
    const ParsedArgs args = parseArgs(argc, argv, 1, kEvalValueOptions, kEvalFlagOptions);
    if (args.positional.size() != 1)
        throw UsageError("evaluate 需要一个文件");
    JobRequest request;
    if (!jobRequestFrom(args, request))
        return kFailure;
    const std::string& file = args.positional[0];

    CTavolinDoc doc;
    if (!openDocument(doc, file))
        return kFailure;
    Evaluated e;
    if (!evaluateDocument(doc, request, e))
        return kFailure;
    if (args.flags.count("--json"))
        writeJson(file, doc, e);
    else
        writeOut(jobToText(file, e.standard, doc.job(), e.job.evaluation));
    return 0;
}

int runSaveResult(int argc, char** argv) {
    const ParsedArgs args = parseArgs(argc, argv, 1, kEvalValueOptions, kEvalFlagOptions);
    if (args.positional.size() != 2)
        throw UsageError("save-result 需要输入文件和输出文件");
    JobRequest request;
    if (!jobRequestFrom(args, request))
        return kFailure;
    const std::string& file = args.positional[0];
    const std::string& out = args.positional[1];
    // The result command only ever writes result files.
    if (!isResultPath(out) || selfCompanion(out)) {
        errorLine(u"无法识别的文件类型");
        return kFailure;
    }

    CTavolinDoc doc;
    if (!openDocument(doc, file))
        return kFailure;
    Evaluated e;
    if (!evaluateDocument(doc, request, e))
        return kFailure;
    const std::u16string error = WriteResultFile(out, doc.job());
    if (!error.empty()) {
        errorLine(error);
        return kFailure;
    }
    if (args.flags.count("--json"))
        writeJson(file, doc, e);
    return 0;
}

int runSave(int argc, char** argv) {
    const ParsedArgs args = parseArgs(argc, argv, 1, {}, {});
    if (args.positional.size() != 2)
        throw UsageError("save 需要输入文件和输出文件");
    const std::string& file = args.positional[0];
    const std::string& out = args.positional[1];
    if (selfCompanion(out)) {
        errorLine(u"无法识别的文件类型");
        return kFailure;
    }
    CTavolinDoc doc;
    if (!openDocument(doc, file))
        return kFailure;
    const std::u16string error = doc.save(out);
    if (!error.empty()) {
        errorLine(error);
        return kFailure;
    }
    return 0;
}

int runMerge(int argc, char** argv) {
    const ParsedArgs args = parseArgs(argc, argv, 1, {}, {});
    if (args.positional.size() < 2)
        throw UsageError("merge 需要输出文件和至少一个输入文件");
    const std::string& out = args.positional[0];
    const std::vector<std::string> inputs(args.positional.begin() + 1, args.positional.end());
    if (!isResultPath(out) || selfCompanion(out)) {
        errorLine(u"无法识别的文件类型");
        return kFailure;
    }

    JobData merged;
    int read = 0;
    {
        ConsoleFeedback feedback("正在合并");
        read = MergeFiles(inputs, merged, feedback.readOptions());
    }
    if (read == 0) {
        errorLine(u"没有读取到任何文件，未写入合并文件");
        return kFailure;
    }
    const std::u16string error = WriteResultFile(out, merged);
    if (!error.empty()) {
        errorLine(error);
        return kFailure;
    }
    // Some inputs failed: the merge was written, but a script must learn it is incomplete.
    const int failed = static_cast<int>(inputs.size()) - read;
    if (failed > 0) {
        errorLine("已写入合并文件，但有 " + std::to_string(failed) + " 个文件未能读取");
        return kFailure;
    }
    return 0;
}

int runWaveform(int argc, char** argv) {
    const ParsedArgs args = parseArgs(argc, argv, 1, kWaveformValueOptions, {});
    if (args.positional.size() != 1)
        throw UsageError("waveform 需要一个文件");
    const WaveformRequest request = waveformRequestFrom(args);
    const std::string& file = args.positional[0];

    CTavolinDoc doc;
    if (!openDocument(doc, file))
        return kFailure;
    JobData& job = doc.job();
    if (request.member >= static_cast<int>(job.members.size()) ||
        request.member >= static_cast<int>(job.areas.size())) {
        errorLine("构件编号超出范围：文件共有 " + std::to_string(job.members.size()) + " 个构件");
        return kFailure;
    }
    const AreaList& areas = job.areas[request.member];
    if (request.area >= static_cast<int>(areas.size())) {
        errorLine("测区编号超出范围：该构件共有 " + std::to_string(areas.size()) + " 个测区");
        return kFailure;
    }
    const TestArea& area = areas[request.area];
    if (request.point >= 3) {
        errorLine("测点编号超出范围：每个测区有 3 个测点");
        return kFailure;
    }
    const TestPoint& point = area.points[request.point];
    if (!point.hasWaveform()) {
        errorLine("该测点没有波形");
        return kFailure;
    }

    const SampleBuffer& raw = point.unfiltered();
    const int n = static_cast<int>(raw.size());
    std::vector<uint16_t> working = point.samples;
    if (request.highOn || request.lowOn)
        working = filterWaveform(raw.data(), n, area.dT, request.highOn, request.highKHz * 1000.0f,
                                 request.lowOn, request.lowKHz * 1000.0f);

    std::string csv = "index,time_us,raw,working\n";
    csv.reserve(csv.size() + static_cast<size_t>(n) * 24);
    for (int i = 0; i < n; ++i) {
        csv += std::to_string(i);
        csv += ',';
        csv += shortestFloat(transitTime(i, area.dT, area.Delay));
        csv += ',';
        csv += std::to_string(raw[i]);
        csv += ',';
        csv += i < static_cast<int>(working.size()) ? std::to_string(working[i]) : std::string();
        csv += '\n';
    }
    writeOut(csv);
    return 0;
}

} // namespace tavolin::cli
