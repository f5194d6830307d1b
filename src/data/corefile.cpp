// Core and cube specimens: their list, eta from the job, and the companion file.
#include "data/corefile.h"

#include "data/csvtext.h"
#include "data/evaluation.h"
#include "data/textcodec.h"

#include <charconv>
#include <cstdio>
#include <filesystem>

namespace tavolin {

const char16_t* specimenKindText(int kind) {
    return kind == SpecimenCube ? u"同条件试块" : u"芯样";
}

namespace {

std::string floatText(float value) {
    char buffer[32];
    auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0");
}

std::u16string rowMessage(const std::vector<int>& lines, size_t i, const std::string& what) {
    if (i < lines.size())
        return lineMessage(lines[i], what);
    return utf8ToUtf16("第 " + std::to_string(i + 1) + " 个试件：" + what);
}

// Member, area and strength of one row; kind from `kindField` when there is one.
std::u16string parseSpecimenRow(const CsvRow& row, int kindField, Specimen& s) {
    int member = 0, area = 0;
    double strength = 0;
    const int strengthField = kindField < 0 ? 2 : 3;
    if (!parseOrdinal(row.fields[0], member))
        return lineMessage(row.line, "构件编号应为从 1 开始的整数：" + row.fields[0]);
    if (!parseOrdinal(row.fields[1], area))
        return lineMessage(row.line, "测区编号应为从 1 开始的整数：" + row.fields[1]);
    if (!parseDecimal(row.fields[strengthField], strength))
        return lineMessage(row.line, "强度不是有效的数值：" + row.fields[strengthField]);
    if (!(strength > 0) || strength > 1e6)
        return lineMessage(row.line, "强度应大于 0：" + row.fields[strengthField]);
    s.member = member - 1;
    s.area = area - 1;
    s.strength = static_cast<float>(strength);
    s.kind = SpecimenCore;
    if (kindField >= 0) {
        const std::u16string kind = utf8ToUtf16(row.fields[kindField]);
        if (kind == specimenKindText(SpecimenCube))
            s.kind = SpecimenCube;
        else if (kind != specimenKindText(SpecimenCore))
            return lineMessage(row.line, "试件种类应为芯样或同条件试块：" + row.fields[kindField]);
    }
    return {};
}

} // namespace

std::u16string parseCoreList(const std::string& bytes, std::vector<Specimen>& specimens,
                             std::vector<int>& lines) {
    specimens.clear();
    lines.clear();
    std::vector<CsvRow> rows;
    if (std::u16string error = splitCsv(decodeUserText(bytes), 3, rows); !error.empty())
        return error;
    for (const CsvRow& row : rows) {
        Specimen s;
        if (std::u16string error = parseSpecimenRow(row, -1, s); !error.empty())
            return error;
        specimens.push_back(s);
        lines.push_back(row.line);
    }
    return {};
}

std::u16string parseCurveSpecimens(const std::string& bytes, std::vector<CurveSpecimen>& out) {
    out.clear();
    std::vector<CsvRow> rows;
    if (std::u16string error = splitCsv(decodeUserText(bytes), 3, rows); !error.empty())
        return error;
    static const char* names[3] = {"声速 v", "回弹值 R", "强度 f"};
    for (const CsvRow& row : rows) {
        double values[3] = {};
        for (int k = 0; k < 3; ++k) {
            if (!parseDecimal(row.fields[k], values[k]))
                return lineMessage(row.line,
                                   std::string(names[k]) + " 不是有效的数值：" + row.fields[k]);
            if (!(values[k] > 0))
                return lineMessage(row.line, std::string(names[k]) + " 应大于 0：" + row.fields[k]);
        }
        out.push_back({values[0], values[1], values[2]});
    }
    return {};
}

float strengthAtUnitEta(const TestArea& area, const MemberInfo& member, CAlgorithm& algorithm) {
    // Only the rebound side is recomputed; the copy's points are never read.
    TestArea copy;
    copy.reboundFlag = area.reboundFlag;
    copy.R = area.R;
    copy.reboundMean = area.reboundMean;
    copy.ANGLE = area.ANGLE;
    copy.PLANE = area.PLANE;
    copy.CARBON = area.CARBON;
    copy.correctedVelocity = area.correctedVelocity;
    copy.ETA = 1.0f;
    computeAreaStrength(copy, member, algorithm);
    return copy.FCUI;
}

std::u16string correctionFromJob(const JobData& job, CAlgorithm& algorithm,
                                 const std::vector<Specimen>& specimens,
                                 const std::vector<int>& lines, CoreResult& out) {
    out = CoreResult{};
    std::vector<CorePair> pairs;
    for (size_t i = 0; i < specimens.size(); ++i) {
        const Specimen& s = specimens[i];
        const size_t members = std::min(job.members.size(), job.areas.size());
        if (s.member < 0 || static_cast<size_t>(s.member) >= members)
            return rowMessage(lines, i,
                              "构件 " + std::to_string(s.member + 1) + " 不存在，共有 " +
                                  std::to_string(members) + " 个构件");
        const AreaList& areas = job.areas[s.member];
        if (s.area < 0 || static_cast<size_t>(s.area) >= areas.size())
            return rowMessage(lines, i,
                              "构件 " + std::to_string(s.member + 1) + " 没有测区 " +
                                  std::to_string(s.area + 1) + "，该构件共有 " +
                                  std::to_string(areas.size()) + " 个测区");
        const float fcu = strengthAtUnitEta(areas[s.area], job.members[s.member], algorithm);
        if (!(fcu > 0.0f))
            return rowMessage(lines, i,
                              "构件 " + std::to_string(s.member + 1) + " 测区 " +
                                  std::to_string(s.area + 1) + " 的强度换算值不大于 0");
        pairs.push_back({fcu, s.strength});
        out.fcu.push_back(fcu);
    }
    if (static_cast<int>(specimens.size()) < kMinSpecimens)
        return utf8ToUtf16("试件只有 " + std::to_string(specimens.size()) + " 个，至少需要 " +
                           std::to_string(kMinSpecimens) + " 个");
    out.correction = *correctionFromCores(pairs);
    out.specimens = specimens;
    return {};
}

std::string specimenPath(const std::string& resultPath) {
    return resultPath + ".cores.csv";
}

std::u16string readSpecimenFile(const std::string& resultPath, JobData& job) {
    const std::string path = specimenPath(resultPath);
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return {};
    std::string bytes;
    if (std::u16string error = readSmallFile(path, bytes); !error.empty())
        return error;
    std::vector<CsvRow> rows;
    if (std::u16string error = splitCsv(decodeUserText(bytes), 4, rows); !error.empty())
        return error;
    std::vector<Specimen> specimens;
    for (const CsvRow& row : rows) {
        Specimen s;
        if (std::u16string error = parseSpecimenRow(row, 2, s); !error.empty())
            return error;
        if (static_cast<size_t>(s.member) >= job.areas.size() ||
            static_cast<size_t>(s.area) >= job.areas[s.member].size())
            return lineMessage(row.line, "构件或测区不在文件中");
        specimens.push_back(s);
    }
    job.specimens = std::move(specimens);
    return {};
}

std::u16string writeSpecimenFile(const std::string& resultPath, const JobData& job) {
    const std::string path = specimenPath(resultPath);
    if (job.specimens.empty()) {
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return {};
    }
    std::string text = "member,area,kind,strength\n";
    for (const Specimen& s : job.specimens)
        text += std::to_string(s.member + 1) + "," + std::to_string(s.area + 1) + "," +
                utf16ToUtf8(specimenKindText(s.kind)) + "," + floatText(s.strength) + "\n";
    return writeFileAtomically(path, text);
}

} // namespace tavolin
