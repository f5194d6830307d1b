// The order of the Word tables and the texts of the Excel sheet.
#include "report/officelayout.h"

#include "data/format.h"
#include "data/labels.h"

#include <algorithm>

namespace tavolin::report {

namespace {

QString q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}
QString fixed(float value, int decimals) {
    return q(formatFixed(value, decimals));
}
QString integer(int value) {
    return q(formatInt(value));
}

const AreaList* areasOf(const JobData& job, int member) {
    return member >= 0 && member < static_cast<int>(job.areas.size()) ? &job.areas[member]
                                                                      : nullptr;
}

int areaCount(const JobData& job, int member) {
    const AreaList* areas = areasOf(job, member);
    return areas ? static_cast<int>(areas->size()) : 0;
}

QString memberNumber(const MemberInfo& member) {
    return integer(member.SI + 1);
}

} // namespace

int resultTableCount(int areaCount) {
    return std::max(1, (areaCount + kAreasPerTable - 1) / kAreasPerTable);
}

std::vector<WordTableRef> wordTablePlan(const JobData& job, bool fieldRecord, bool result) {
    std::vector<WordTableRef> plan;
    const int members = static_cast<int>(job.members.size());
    if (fieldRecord)
        for (int m = 0; m < members; ++m)
            plan.push_back({WordTableRef::FieldRecord, m, 0, false});
    if (result) {
        for (int m = 0; m < members; ++m) {
            const int pages = resultTableCount(areaCount(job, m));
            for (int p = 0; p < pages; ++p)
                plan.push_back({WordTableRef::Result, m, p, false});
        }
        if (members > 0)
            plan.back().last = true;
    }
    return plan;
}

OfficeTable wordTable(const ReportSource& source, const WordTableRef& ref) {
    const int areas = areaCount(source.job, ref.member);
    if (ref.kind == WordTableRef::FieldRecord)
        return fieldRecordTable(source, ref.member, 0, std::max(areas, kAreasPerTable),
                                ref.member == 0);
    ResultTableParts parts;
    parts.page = ref.page;
    parts.memberEstimate = ref.page + 1 == resultTableCount(areas);
    parts.batchEstimate = ref.last;
    parts.titled = ref.member == 0 && ref.page == 0;
    return resultTable(source, ref.member, parts);
}

SheetRows excelRows(const JobData& job) {
    SheetRows rows;
    const int members = static_cast<int>(job.members.size());
    size_t total = 0;
    for (int m = 0; m < members; ++m)
        total += 2 + static_cast<size_t>(areaCount(job, m));
    rows.reserve(total);
    for (int m = 0; m < members; ++m) {
        const MemberInfo& member = job.members[m];
        rows.push_back({QStringLiteral("构件编号：") + memberNumber(member) +
                        QStringLiteral("        构件名称：") + q(member.PILEID)});
        rows.push_back({QStringLiteral("测区"), QStringLiteral("L1mm"), QStringLiteral("T1us"),
                        QStringLiteral("L2mm"), QStringLiteral("T2us"), QStringLiteral("L3mm"),
                        QStringLiteral("T3us"), QStringLiteral("V(km/s)"),
                        QStringLiteral("Va(km/s)"), QStringLiteral("fcui(MPa)")});
        const AreaList* list = areasOf(job, m);
        const int n = areaCount(job, m);
        for (int k = 0; k < n; ++k) {
            const TestArea& area = (*list)[k];
            std::vector<QString> row;
            row.reserve(10);
            row.push_back(integer(k + 1));
            for (int j = 0; j < 3; ++j) {
                row.push_back(fixed(area.points[j].L, 0));
                row.push_back(fixed(area.pointTime[j], 1));
            }
            row.push_back(fixed(area.velocity, 3));
            row.push_back(fixed(area.correctedVelocity, 3));
            row.push_back(q(formatStrengthLimited(area.FCUI)));
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

} // namespace tavolin::report
