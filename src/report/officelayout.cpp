// Which cell of the Word tables and the Excel sheet spans what and holds which text.
#include "report/officelayout.h"

#include "data/corefile.h"
#include "data/curvelibrary.h"
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

// Codes outside the lists leave the cell empty, as on the printed record.
QString faceText(int plane) {
    return q(std::u16string(labelOf(kFaceLabels, plane, u"")));
}
QString methodText(int method) {
    return q(std::u16string(labelOf(kMethodLabels, method, u"")));
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

QString instrumentText(const ReportInfo& info) {
    return q(info.instrumentModel) + QStringLiteral("     ") + q(info.instrumentNo);
}

QString batchEstimateText(float fcue) {
    if (fcue > 70.0f)
        return QStringLiteral("fcue > 70 Mpa");
    if (fcue < 10.0f)
        return QStringLiteral("fcue < 10 Mpa");
    return QStringLiteral("fcue =") + fixed(fcue, 1) + QStringLiteral("Mpa");
}

} // namespace

int resultTableCount(int areaCount) {
    return std::max(1, (areaCount + kAreasPerResultTable - 1) / kAreasPerResultTable);
}

OfficeTable fieldRecordTable(const JobData& job, int memberIndex, const ReportInfo& info) {
    static const MemberInfo none;
    const MemberInfo& member =
        memberIndex >= 0 && memberIndex < static_cast<int>(job.members.size())
            ? job.members[memberIndex]
            : none;
    const int areas = areaCount(job, memberIndex);
    const int n = std::max(areas, 10);

    OfficeTable t;
    t.title = QStringLiteral("现场记录表");
    t.textPointSize = kFieldRecordTextPoints;
    t.rows = 2 * n + 13;
    t.columns = 17;
    // The column grid of the printed page: readings, angle, face one unit each, the three
    // points sharing four units.
    t.columnWeights.assign(17, 1.0);
    for (int c = 12; c < 15; ++c)
        t.columnWeights[c] = 4.0 / 3.0;
    t.cells.reserve(static_cast<size_t>(40 + 30 * n));

    auto labelled = [&](int row, const char16_t* label, const std::u16string& value) {
        t.put(row, 0, QString::fromUtf16(label), 1, 3);
        t.put(row, 3, q(value), 1, 14);
    };
    auto paired = [&](int row, const char16_t* left, QString leftValue, const char16_t* right,
                      const std::u16string& rightValue) {
        t.put(row, 0, QString::fromUtf16(left), 1, 3);
        t.put(row, 3, std::move(leftValue), 1, 6);
        t.put(row, 9, QString::fromUtf16(right), 1, 3);
        t.put(row, 12, q(rightValue), 1, 5);
    };
    labelled(0, u"工程名称", info.projectName);
    labelled(1, u"检测单位", info.testingOrg);
    labelled(2, u"施工单位", info.constructionOrg);
    paired(3, u"委托单位", q(info.clientOrg), u"委托编号", info.commissionNo);
    paired(4, u"施工日期", q(info.constructionDate), u"检测日期", info.testDate);
    paired(5, u"构件名称", q(member.PILEID), u"设计强度", info.designGrade);
    paired(6, u"检测依据", q(info.testBasis), u"检测编号", info.testNo);
    t.put(7, 0, QStringLiteral("仪器型号与编号"), 1, 3);
    t.put(7, 3, instrumentText(info), 1, 14);

    t.put(8, 0, QStringLiteral("构件编号"), 2, 1);
    t.put(8, 1, QStringLiteral("测区"), 2, 1);
    t.put(8, 2, QStringLiteral("测点回弹值"), 1, 8);
    for (int j = 0; j < 8; ++j)
        t.put(9, 2 + j, integer(j + 1));
    t.put(8, 10, QStringLiteral("测试角度"), 2, 1);
    t.put(8, 11, QStringLiteral("测试面"), 2, 1);
    t.put(8, 12, QStringLiteral("测点测距\n/声时\nli/ti"), 1, 3);
    for (int j = 0; j < 3; ++j)
        t.put(9, 12 + j, integer(j + 1));
    t.put(8, 15, QStringLiteral("测试方式"), 2, 1);
    t.put(8, 16, QStringLiteral("测试部位"), 2, 1);

    t.put(10, 0, memberNumber(member), 2 * n, 1);
    const AreaList* list = areasOf(job, memberIndex);
    for (int k = 0; k < n; ++k) {
        const int a = 10 + 2 * k; // first of the slot's two rows
        t.put(a, 1, integer(k + 1), 2, 1);
        const TestArea* area = k < areas ? &(*list)[k] : nullptr;
        if (area) {
            for (int j = 0; j < 8; ++j) {
                t.put(a, 2 + j, integer(area->R[j]));
                t.put(a + 1, 2 + j, integer(area->R[8 + j]));
            }
            for (int j = 0; j < 3; ++j) {
                // The printed record shows whole millimetres, cut, not rounded.
                t.put(a, 12 + j, integer(static_cast<int>(area->points[j].L)));
                t.put(a + 1, 12 + j, fixed(area->pointTime[j], 1));
            }
        }
        t.put(a, 10, area ? integer(area->ANGLE) : QString(), 2, 1);
        t.put(a, 11, area ? faceText(area->PLANE) : QString(), 2, 1);
        t.put(a, 15, area ? methodText(area->TMETHOD) : QString(), 2, 1);
        t.put(a, 16, area ? q(area->TESTLOC) : QString(), 2, 1);
    }

    const int remark = 2 * n + 10;
    t.put(remark, 0, QStringLiteral("备注"), 2, 1);
    t.put(remark, 1, q(info.fieldRecordRemark), 2, 16);
    const int sign = 2 * n + 12;
    t.put(sign, 0, QStringLiteral("校核"), 1, 2);
    t.put(sign, 2, q(info.checkerName), 1, 4);
    t.put(sign, 6, QStringLiteral("计算"), 1, 2);
    t.put(sign, 8, q(info.calculatorName), 1, 4);
    t.put(sign, 12, QStringLiteral("检测"), 1, 2);
    t.put(sign, 14, q(info.testerName), 1, 3);
    return t;
}

OfficeTable resultTable(const JobData& job, int memberIndex, int page, bool last,
                        const ReportInfo& info) {
    static const MemberInfo none;
    const MemberInfo& member =
        memberIndex >= 0 && memberIndex < static_cast<int>(job.members.size())
            ? job.members[memberIndex]
            : none;

    OfficeTable t;
    t.title = QStringLiteral("结果数据表");
    t.textPointSize = kResultTextPoints;
    t.rows = last ? 24 : 21;
    t.columns = 12;
    // The printed page's grid: two label columns of 2 and 3 units, ten slots of 1.5.
    t.columnWeights.assign(12, 1.5);
    t.columnWeights[0] = 2.0;
    t.columnWeights[1] = 3.0;
    t.cells.reserve(200);

    auto labelled = [&](int row, const char16_t* label, QString value) {
        t.put(row, 0, QString::fromUtf16(label), 1, 2);
        t.put(row, 2, std::move(value), 1, 10);
    };
    auto paired = [&](int row, const char16_t* left, QString leftValue, const char16_t* right,
                      const std::u16string& rightValue) {
        t.put(row, 0, QString::fromUtf16(left), 1, 2);
        t.put(row, 2, std::move(leftValue), 1, 4);
        t.put(row, 6, QString::fromUtf16(right), 1, 2);
        t.put(row, 8, q(rightValue), 1, 4);
    };
    labelled(0, u"工程名称", q(info.projectName));
    labelled(1, u"检测单位", q(info.testingOrg));
    labelled(2, u"施工单位", q(info.constructionOrg));
    paired(3, u"委托单位", q(info.clientOrg), u"委托编号", info.commissionNo);
    paired(4, u"检测龄期", q(info.testAge), u"检测日期", info.testDate);
    paired(5, u"设计强度", q(info.designGrade), u"报告日期", info.reportDate);
    paired(6, u"构件名称", q(member.PILEID), u"检测依据", info.testBasis);
    labelled(7, u"仪器型号与编号", instrumentText(info));
    labelled(8, u"构件编号", memberNumber(member));

    t.put(9, 0, QStringLiteral("计算项目"), 2, 2);
    t.put(9, 2, QStringLiteral("测       区"), 1, 10);
    const int first = page * kAreasPerResultTable;
    for (int k = 0; k < kAreasPerResultTable; ++k)
        t.put(10, 2 + k, integer(first + k + 1));

    t.put(11, 0, QStringLiteral("回弹值"), 5, 1);
    t.put(16, 0, QStringLiteral("声速值（km/s）"), 3, 1);
    static const char16_t* const labels[8] = {u"测区代表值",   u"角度修正值",   u"角度修正后",
                                              u"浇筑面修正值", u"浇筑面修正后", u"测区代表值",
                                              u"修正系数β、λ", u"修正后的值"};
    for (int r = 0; r < 8; ++r)
        t.put(11 + r, 1, QString::fromUtf16(labels[r]));
    t.put(19, 0, QStringLiteral("强度修正系数η"), 1, 2);
    t.put(20, 0, QStringLiteral("测区强度换算值（Mpa）"), 1, 2);

    const AreaList* list = areasOf(job, memberIndex);
    const int areas = areaCount(job, memberIndex);
    for (int k = 0; k < kAreasPerResultTable && first + k < areas; ++k) {
        const TestArea& area = (*list)[first + k];
        const int c = 2 + k;
        const float angled = area.reboundMean + area.ANGLEAM;
        const float faced = angled + area.PLANEAM;
        t.put(11, c, fixed(area.reboundMean, 1));
        t.put(12, c, fixed(area.ANGLEAM, 1));
        t.put(13, c, fixed(angled, 1));
        t.put(14, c, fixed(area.PLANEAM, 1));
        t.put(15, c, fixed(faced, 1));
        t.put(16, c, fixed(area.velocity, 3));
        t.put(17, c,
              QStringLiteral("β=") + fixed(area.BETA, 3) + QStringLiteral("  λ=") +
                  fixed(area.LAMDA, 2));
        t.put(18, c, fixed(area.correctedVelocity, 3));
        t.put(19, c, fixed(area.ETA, 2));
        t.put(20, c, fixed(area.FCUI, 1));
    }

    if (last) {
        const Result& r = job.result;
        t.put(21, 0,
              QStringLiteral("强度推定值(Mpa)N=") + integer(static_cast<int>(job.members.size())),
              1, 2);
        t.put(21, 2, QStringLiteral("Mf=") + fixed(r.MF, 1) + QStringLiteral("Mpa"), 1, 3);
        t.put(21, 5, QStringLiteral("Sf=") + fixed(r.SF, 2) + QStringLiteral("Mpa"), 1, 3);
        t.put(21, 8, batchEstimateText(r.FCUE), 1, 4);
        t.put(22, 0, QStringLiteral("使用的测区强度换算表"), 1, 2);
        t.put(22, 2, q(conversionTableText(job, info.conversionTable)), 1, 3);
        t.put(22, 5,
              QStringLiteral("备注：") + q(remarkWithCorrection(info.resultTableRemark, job)), 1,
              7);
        t.put(23, 0, QStringLiteral("复核"), 1, 2);
        t.put(23, 2, q(info.reviewerName), 1, 3);
        t.put(23, 5, QStringLiteral("计算"));
        t.put(23, 6, q(info.calculatorName), 1, 2);
        t.put(23, 8, QStringLiteral("检测"));
        t.put(23, 9, q(info.testerName), 1, 3);
    }
    return t;
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

OfficeTable wordTable(const JobData& job, const ReportInfo& info, const WordTableRef& ref) {
    if (ref.kind == WordTableRef::FieldRecord)
        return fieldRecordTable(job, ref.member, info);
    return resultTable(job, ref.member, ref.page, ref.last, info);
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
