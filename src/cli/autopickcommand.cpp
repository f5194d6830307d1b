// tavolin-cli autopick: the automatic first-arrival suggestions of every point, as a table or
// JSON, and optionally the job saved with the confident ones applied.
#include "cli/commands.h"

#include "cli/console.h"
#include "cli/json.h"
#include "cli/options.h"
#include "cli/table.h"
#include "data/datafile.h"
#include "data/doc.h"
#include "data/format.h"
#include "data/textcodec.h"
#include "sonic/autopick.h"
#include "sonic/waveform.h"

#include <string>
#include <vector>

namespace tavolin::cli {

namespace {

struct PointSuggestion {
    int member, area, point; // from 0
    int stored;              // the arrival the job has now
    ArrivalSuggestion s;
    float time = 0;
};

std::vector<PointSuggestion> suggestAll(const JobData& job) {
    std::vector<PointSuggestion> out;
    const size_t members = std::min(job.members.size(), job.areas.size());
    for (size_t m = 0; m < members; ++m)
        for (size_t a = 0; a < job.areas[m].size(); ++a) {
            const TestArea& area = job.areas[m][a];
            for (int p = 0; p < 3; ++p) {
                const TestPoint& pt = area.points[static_cast<size_t>(p)];
                if (!pt.hasWaveform())
                    continue;
                PointSuggestion ps{
                    static_cast<int>(m), static_cast<int>(a), p, pt.arrivalIndex,
                    suggestArrival(pt.samples.data(), static_cast<int>(pt.samples.size()))};
                if (ps.s.index >= 0)
                    ps.time = transitTime(ps.s.index, area.dT, area.Delay);
                out.push_back(ps);
            }
        }
    return out;
}

void writeJson(const std::vector<PointSuggestion>& list) {
    JsonWriter w(writeOut);
    w.beginObject();
    w.key("points").beginArray();
    for (const PointSuggestion& ps : list) {
        w.beginObject();
        w.key("member").value(ps.member + 1);
        w.key("area").value(ps.area + 1);
        w.key("point").value(ps.point + 1);
        if (ps.s.index >= 0) {
            w.key("index").value(ps.s.index);
            w.key("time_us").value(ps.time);
        } else {
            w.key("index").null();
            w.key("time_us").null();
        }
        w.key("confidence").value(ps.s.confidence);
        w.endObject();
    }
    w.endArray();
    w.endObject();
    w.flush();
    writeOut("\n");
}

std::string utf8(const std::u16string& s) {
    return utf16ToUtf8(s);
}

void writeTable(const std::vector<PointSuggestion>& list) {
    TextTable t;
    using A = TextTable::Align;
    t.setHeader({"构件", "测区", "测点", "原首波", "建议首波", "声时(μs)", "置信度", "判读"},
                {A::Right, A::Right, A::Right, A::Right, A::Right, A::Right, A::Right, A::Left});
    int review = 0;
    for (const PointSuggestion& ps : list) {
        const bool confident = ps.s.index >= 0 && ps.s.confidence >= kConfidentPick;
        review += !confident;
        t.addRow({std::to_string(ps.member + 1), std::to_string(ps.area + 1),
                  std::to_string(ps.point + 1), std::to_string(ps.stored),
                  ps.s.index >= 0 ? std::to_string(ps.s.index) : "-",
                  ps.s.index >= 0 ? utf8(formatFixed(ps.time, 1)) : "-",
                  utf8(formatFixed(ps.s.confidence, 2)), confident ? "采用" : "需人工判读"});
    }
    writeOut(t.render());
    writeOut(std::to_string(list.size()) + " 个测点，" + std::to_string(review) +
             " 个测点需人工判读\n");
}

} // namespace

int runAutopick(int argc, char** argv) {
    const ParsedArgs args = parseArgs(argc, argv, 1, {"--apply"}, {"--json"});
    if (args.positional.size() != 1)
        throw UsageError("autopick 需要一个文件");
    const std::string& file = args.positional[0];
    const auto apply = args.values.find("--apply");
    if (apply != args.values.end() && companionPath(apply->second) == apply->second) {
        errorLine(u"无法识别的文件类型");
        return 1;
    }
    CTavolinDoc doc;
    if (!openDocument(doc, file))
        return 1;
    const std::vector<PointSuggestion> list = suggestAll(doc.job());
    if (args.flags.count("--json"))
        writeJson(list);
    else
        writeTable(list);
    if (apply == args.values.end())
        return 0;
    // The same edit as the program's "自动判读全部".
    doc.autoPick(-1, -1);
    const std::u16string error = doc.save(apply->second);
    if (!error.empty()) {
        errorLine(error);
        return 1;
    }
    return 0;
}

} // namespace tavolin::cli
