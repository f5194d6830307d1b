// The library, a named curve and a correction on the command line; the curve fit command.
#include "cli/jobsetup.h"

#include "cli/commands.h"
#include "cli/console.h"
#include "cli/json.h"
#include "data/csvtext.h"
#include "data/format.h"
#include "data/textcodec.h"

#include <cstdio>

namespace tavolin::cli {

namespace {

constexpr int kFailure = 1;

std::string fixed(double value, const char* format) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, format, value);
    return buffer;
}

} // namespace

bool jobRequestFrom(const ParsedArgs& args, JobRequest& out) {
    out = JobRequest{};
    out.settings = evalSettingsFrom(args);
    const auto curves = args.values.find("--curves");
    const bool given = curves != args.values.end();
    const std::string libraryPath = given ? curves->second : defaultCurveLibraryPath();
    const auto name = args.values.find("--curve-name");
    if (std::u16string error = readCurveLibrary(libraryPath, out.library, !given); !error.empty()) {
        // The user's own library only matters when a curve is asked for by name.
        if (given || name != args.values.end()) {
            errorLine(error);
            return false;
        }
        errorLine(u"未使用曲线库：" + error);
        out.library = CurveLibrary{};
    }
    if (name != args.values.end()) {
        const std::u16string wanted = utf8ToUtf16(name->second);
        const NamedCurve* curve = out.library.find(wanted);
        if (!curve) {
            errorLine(u"曲线库中没有名为“" + wanted + u"”的曲线：" + utf8ToUtf16(libraryPath));
            return false;
        }
        out.settings.abc =
            std::array<float, 3>{static_cast<float>(curve->a), static_cast<float>(curve->b),
                                 static_cast<float>(curve->c)};
        out.settings.curve = CurveCustom;
        out.settings.curveName = curve->name;
    }
    if (auto cores = args.values.find("--cores"); cores != args.values.end()) {
        out.hasCores = true;
        out.coresFile = cores->second;
        std::string bytes;
        std::u16string error = readSmallFile(cores->second, bytes);
        if (error.empty())
            error = parseCoreList(bytes, out.specimens, out.lines);
        if (!error.empty()) {
            errorLine(utf8ToUtf16(cores->second) + u"：" + error);
            return false;
        }
    }
    return true;
}

bool evaluateRequest(JobData& job, CAlgorithm& algorithm, int standard, JobRequest& request,
                     EvaluatedJob& out) {
    out = EvaluatedJob{};
    out.evaluation = evaluateJob(job, algorithm, standard, request.settings);
    if (request.hasCores) {
        CoreResult cores;
        if (std::u16string error =
                correctionFromJob(job, algorithm, request.specimens, request.lines, cores);
            !error.empty()) {
            errorLine(utf8ToUtf16(request.coresFile) + u"：" + error);
            return false;
        }
        EvalSettings withEta = request.settings;
        withEta.eta = cores.correction.eta;
        out.evaluation = evaluateJob(job, algorithm, standard, withEta);
        job.specimens = cores.specimens;
        out.cores = std::move(cores);
    } else if (request.settings.eta) {
        // A typed eta replaces whatever specimens the file's eta came from.
        job.specimens.clear();
    }
    nameMemberCurves(job, request.library);
    markOutsideCurves(job, request.library, out.evaluation);
    return true;
}

int runFitCurve(int argc, char** argv) {
    const ParsedArgs args = parseArgs(argc, argv, 1, {"--name", "--add-to"}, {"--json"});
    if (args.positional.size() != 1)
        throw UsageError("fit-curve 需要一个试件文件");
    if (args.has("--name") != args.has("--add-to"))
        throw UsageError("--name 与 --add-to 须同时给出");
    const std::string& file = args.positional[0];

    std::string bytes;
    std::vector<CurveSpecimen> specimens;
    std::u16string error = readSmallFile(file, bytes);
    if (error.empty())
        error = parseCurveSpecimens(bytes, specimens);
    if (!error.empty()) {
        errorLine(utf8ToUtf16(file) + u"：" + error);
        return kFailure;
    }
    CurveFit fit;
    switch (fitCurve(specimens, fit)) {
    case FitFailure::None:
        break;
    case FitFailure::TooFew:
        errorLine("试件只有 " + std::to_string(specimens.size()) + " 个，至少需要 " +
                  std::to_string(kMinSpecimens) + " 个");
        return kFailure;
    case FitFailure::NotPositive:
        errorLine("试件的数值应大于 0");
        return kFailure;
    case FitFailure::Degenerate:
        errorLine("声速与回弹值没有各自变化（全部相同或成比例），无法拟合");
        return kFailure;
    }

    if (args.has("--add-to")) {
        const std::string& libraryPath = args.values.at("--add-to");
        CurveLibrary library;
        if (error = readCurveLibrary(libraryPath, library); !error.empty()) {
            errorLine(error);
            return kFailure;
        }
        NamedCurve curve;
        curve.name = utf8ToUtf16(args.values.at("--name"));
        curve.a = fit.a;
        curve.b = fit.b;
        curve.c = fit.c;
        curve.ranges.v = fit.vRange;
        curve.ranges.r = fit.rRange;
        curve.note = utf8ToUtf16("由 " + std::to_string(fit.n) +
                                 " 个试件拟合（δ = " + fixed(fit.delta, "%.2f") +
                                 "%，e_r = " + fixed(fit.er, "%.2f") + "%）");
        curve = roundedToFilePrecision(curve);
        if (error = addCurve(library, curve); error.empty())
            error = writeCurveLibrary(libraryPath, library);
        if (!error.empty()) {
            errorLine(error);
            return kFailure;
        }
    }

    if (args.flags.count("--json")) {
        JsonWriter w(writeOut);
        w.beginObject();
        w.key("n").value(fit.n);
        w.key("a").value(fit.a);
        w.key("b").value(fit.b);
        w.key("c").value(fit.c);
        w.key("delta").value(fit.delta);
        w.key("er").value(fit.er);
        const std::pair<const char*, const std::array<double, 2>*> ranges[3] = {
            {"v_range", &fit.vRange}, {"r_range", &fit.rRange}, {"f_range", &fit.fRange}};
        for (const auto& [key, range] : ranges) {
            w.key(key);
            w.beginArray(true);
            w.value((*range)[0]);
            w.value((*range)[1]);
            w.endArray();
        }
        w.endObject();
        w.flush();
        return 0;
    }
    std::string text;
    text += "试件数 n = " + std::to_string(fit.n) + "\n";
    text += "fcu = a·v^b·R^c：a = " + fixed(fit.a, "%.6g") + "，b = " + fixed(fit.b, "%.4f") +
            "，c = " + fixed(fit.c, "%.4f") + "\n";
    text += "平均相对误差 δ = " + fixed(fit.delta, "%.2f") + "%\n";
    text += "相对标准差 e_r = " + fixed(fit.er, "%.2f") + "%\n";
    text += "v：" + fixed(fit.vRange[0], "%.3f") + " ~ " + fixed(fit.vRange[1], "%.3f") + " km/s\n";
    text += "R：" + fixed(fit.rRange[0], "%.1f") + " ~ " + fixed(fit.rRange[1], "%.1f") + "\n";
    text += "f：" + fixed(fit.fRange[0], "%.1f") + " ~ " + fixed(fit.fRange[1], "%.1f") + " MPa\n";
    writeOut(text);
    return 0;
}

} // namespace tavolin::cli
