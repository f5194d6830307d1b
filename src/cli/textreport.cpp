// Member tables and batch lines in the display formats of the analysis screen.
#include "cli/textreport.h"

#include "cli/table.h"
#include "data/format.h"
#include "data/textcodec.h"

namespace tavolin::cli {

namespace {

std::string u8(const std::u16string& s) {
    return utf16ToUtf8(s);
}
std::string fixed(float v, int decimals) {
    return u8(formatFixed(v, decimals));
}

std::string methodName(int method) {
    return u8(methodLabel(method));
}
std::string faceName(int face) {
    return u8(faceLabel(face));
}
std::string curveName(int curve) {
    return u8(curveLabel(curve));
}
std::string standardName(int standard) {
    return u8(standardLabel(standard));
}

void memberBlock(std::string& out, int standard, size_t index, size_t count,
                 const MemberInfo& member, const AreaList& areas,
                 const std::vector<AreaStrength>* strengths, const MemberEvaluation* evaluation) {
    out += "构件 " + std::to_string(index + 1) + "/" + std::to_string(count) + "：" +
           u8(member.PILEID) + "\n";
    out += "泵送：" + std::string(member.pumped ? "是" : "否") + "  粗骨料：" +
           curveName(member.curve) + "  系数a " + fixed(member.A, 4) + "  系数b " +
           fixed(member.B, 3) + "  系数c " + fixed(member.C, 3) + "\n";

    TextTable table;
    table.setHeader({"测区", "R", "角度", "角度修正值", "测试面", "测试面修正", "修正", "碳化深度",
                     "测试方法", "V(km/s)", "Va(km/s)", "强度换算值"},
                    {TextTable::Right, TextTable::Right, TextTable::Right, TextTable::Right,
                     TextTable::Left, TextTable::Right, TextTable::Right, TextTable::Right,
                     TextTable::Left, TextTable::Right, TextTable::Right, TextTable::Right});
    for (size_t k = 0; k < areas.size(); ++k) {
        const TestArea& a = areas[k];
        const AreaStrength* s = strengths && k < strengths->size() ? &(*strengths)[k] : nullptr;
        table.addRow({std::to_string(k + 1), fixed(a.reboundMean, 1), u8(formatInt(a.ANGLE)),
                      fixed(a.ANGLEAM, 1), faceName(a.PLANE),
                      a.PLANE < 0 ? std::string("0") : fixed(a.PLANEAM, 1),
                      s ? fixed(s->correctedRebound, 1) : std::string(), fixed(a.CARBON, 1),
                      methodName(a.TMETHOD), fixed(a.velocity, 3), fixed(a.correctedVelocity, 3),
                      u8(formatAreaStrength(a.FCUI, standard))});
    }
    out += table.render();
    if (evaluation) {
        const MemberEvaluation& e = *evaluation;
        out += "N " + std::to_string(e.N) + "  Fmin(Mpa) " + fixed(e.Fmin, 1) + "  Fmax(Mpa) " +
               fixed(e.Fmax, 1) + "  Mf(Mpa) " + fixed(e.Mf, 1) + "  Sf(Mpa) " + fixed(e.Sf, 2) +
               "  Fcu(Mpa) " + u8(estimateText(e.Fcu, e.status, EstimateOf::Member, 0)) + "\n";
    }
}

} // namespace

std::string jobToText(const std::string& file, int standard, const JobData& job,
                      const JobEvaluation& evaluation) {
    const ProjectInfo& p = job.project;
    std::string out;
    out += "文件：" + file + "\n";
    out += "规范：" + std::string(standardName(standard)) + "\n";
    out += "工程名称：" + u8(p.SITE) + "\n";
    out += "检测单位：" + u8(p.UNIT) + "\n";
    out += "检测人员：" + u8(p.PERSON) + "\n";
    out += "浇注日期：" + u8(p.Molddate) + "  检测日期：" + u8(p.DATE) + "\n";
    out += "强度修正系数η：" + fixed(p.ETA, 2) + "\n";

    const size_t count = job.members.size();
    for (size_t m = 0; m < count; ++m) {
        out += "\n";
        static const AreaList none;
        memberBlock(out, standard, m, count, job.members[m],
                    m < job.areas.size() ? job.areas[m] : none,
                    m < evaluation.areas.size() ? &evaluation.areas[m] : nullptr,
                    m < evaluation.members.size() ? &evaluation.members[m] : nullptr);
    }

    const BatchEvaluation& b = evaluation.batch;
    out += "\n批评定（" + std::to_string(count) + " 个构件）\n";
    out += "强度换算平均值：" + fixed(b.MF, 1) + "\n";
    out += "强度换算标准差：" + fixed(b.SF, 2) + "\n";
    out += "强度推定值：" + u8(estimateText(b.FCUE, b.status, EstimateOf::Batch, standard)) + "\n";
    return out;
}

} // namespace tavolin::cli
