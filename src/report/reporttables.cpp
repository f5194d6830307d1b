// Which cell of the two report tables spans what and holds which text, for pages and Word alike.
#include "report/reporttables.h"

#include "data/corefile.h"
#include "data/curvelibrary.h"
#include "data/format.h"
#include "data/labels.h"

#include <algorithm>
#include <cmath>

namespace tavolin::report {

namespace {

QString q(const std::u16string& text) {
    return QString::fromStdU16String(text);
}
QString q(std::u16string_view text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}
QString fixed(float value, int decimals) {
    return q(formatFixed(value, decimals));
}
QString integer(int value) {
    return q(formatInt(value));
}

// Path lengths print in whole millimetres, cut, not rounded. Cut in floating point: a mistyped
// length too large for an integer prints as it stands instead of overflowing.
QString wholeMillimetres(float length) {
    float whole = std::trunc(length);
    if (whole == 0.0f)
        whole = 0.0f; // no "-0" for a length between −1 and 0
    return fixed(whole, 0);
}

const MemberInfo& memberOf(const JobData& job, int member) {
    static const MemberInfo none;
    return member >= 0 && member < static_cast<int>(job.members.size()) ? job.members[member]
                                                                        : none;
}

const AreaList& areasOf(const JobData& job, int member) {
    static const AreaList none;
    return member >= 0 && member < static_cast<int>(job.areas.size()) ? job.areas[member] : none;
}

QString instrumentText(const ReportInfo& info) {
    return q(info.instrumentModel) + QString(6, u' ') + q(info.instrumentNo);
}

// Codes outside the lists leave the cell empty.
QString faceText(int plane) {
    return q(labelOf(kFaceLabels, plane, u""));
}
QString methodText(int method) {
    return q(labelOf(kMethodLabels, method, u""));
}
// The opposite-face position in the short form its narrow column holds.
QString locationText(const std::u16string& location) {
    if (location == kPositionBetween)
        return QStringLiteral("顶底间");
    return q(location);
}

QString meanText(float mf) {
    return QStringLiteral("Mf = ") + fixed(mf, 1) + QStringLiteral("Mpa");
}
QString deviationText(float sf) {
    return QStringLiteral("Sf = ") + fixed(sf, 2) + QStringLiteral("Mpa");
}

// The head rows above a table's body: a label over the first `labelSpan` columns and its value
// across the rest of the row, or two such pairs with the first value `leftSpan` columns wide.
struct HeadRows {
    OfficeTable& t;
    int labelSpan;
    int leftSpan;

    void labelled(const char16_t* label, QString value) const {
        const int row = t.addRow();
        t.label(row, 0, QString::fromUtf16(label), 1, labelSpan);
        t.put(row, labelSpan, std::move(value), 1, t.columns - labelSpan);
    }
    void paired(const char16_t* left, QString leftValue, const char16_t* right,
                QString rightValue) const {
        const int row = t.addRow();
        const int rightAt = labelSpan + leftSpan;
        t.label(row, 0, QString::fromUtf16(left), 1, labelSpan);
        t.put(row, labelSpan, std::move(leftValue), 1, leftSpan);
        t.label(row, rightAt, QString::fromUtf16(right), 1, labelSpan);
        t.put(row, rightAt + labelSpan, std::move(rightValue), 1, t.columns - rightAt - labelSpan);
    }
};

} // namespace

OfficeTable fieldRecordTable(const ReportSource& source, int memberIndex, int firstArea,
                             int slotCount, bool titled) {
    const ReportInfo& info = source.info;
    const MemberInfo& member = memberOf(source.job, memberIndex);
    const AreaList& areas = areasOf(source.job, memberIndex);
    slotCount = std::max(slotCount, 1);

    OfficeTable t;
    if (titled)
        t.title = QStringLiteral("现场记录表");
    t.textPointSize = kFieldRecordTextPoints;
    t.columns = 17;
    // Readings, angle, face, method and position one unit each, the three points sharing four.
    t.columnWeights.assign(17, 1.0);
    for (int c = 12; c < 15; ++c)
        t.columnWeights[c] = 4.0 / 3.0;
    t.cells.reserve(static_cast<size_t>(40 + 30 * slotCount));

    const HeadRows headRows{t, 3, 6};
    headRows.labelled(u"工程名称", q(info.projectName));
    headRows.labelled(u"检测单位", q(info.testingOrg));
    headRows.labelled(u"施工单位", q(info.constructionOrg));
    headRows.paired(u"委托单位", q(info.clientOrg), u"委托编号", q(info.commissionNo));
    headRows.paired(u"施工日期", q(info.constructionDate), u"检测日期", q(info.testDate));
    headRows.paired(u"构件名称", q(member.PILEID), u"设计强度", q(info.designGrade));
    headRows.paired(u"检测依据", q(info.testBasis), u"检测编号", q(info.testNo));
    const int instrument = t.addRow(2);
    t.label(instrument, 0, QStringLiteral("仪器型号\n与编号"), 1, 3);
    t.put(instrument, 3, instrumentText(info), 1, 14);

    const int head = t.addRow(3);
    const int numbers = t.addRow();
    t.label(head, 0, QStringLiteral("构件编号"), 2, 1);
    t.label(head, 1, QStringLiteral("测区"), 2, 1);
    t.label(head, 2, QStringLiteral("测点回弹值"), 1, 8);
    for (int j = 0; j < 8; ++j)
        t.label(numbers, 2 + j, integer(j + 1));
    t.label(head, 10, QStringLiteral("测试角度"), 2, 1);
    t.label(head, 11, QStringLiteral("测试面"), 2, 1);
    t.label(head, 12, QStringLiteral("测点测距\n/声时\nli/ti"), 1, 3);
    for (int j = 0; j < 3; ++j)
        t.label(numbers, 12 + j, integer(j + 1));
    t.label(head, 15, QStringLiteral("测试方式"), 2, 1);
    t.label(head, 16, QStringLiteral("测试部位"), 2, 1);

    const int firstSlot = t.rows;
    t.put(firstSlot, 0, integer(member.SI + 1), 2 * slotCount, 1);
    for (int k = 0; k < slotCount; ++k) {
        const int a = t.addRow();
        const int b = t.addRow();
        const int position = firstArea + k;
        // Every slot carries its area number, so a continuation page reads on its own.
        t.put(a, 1, integer(position + 1), 2, 1);
        const bool filled = position >= 0 && position < static_cast<int>(areas.size());
        if (filled) {
            const TestArea& area = areas[static_cast<size_t>(position)];
            for (int j = 0; j < 8; ++j) {
                t.put(a, 2 + j, integer(area.R[j]));
                t.put(b, 2 + j, integer(area.R[8 + j]));
            }
            for (int j = 0; j < 3; ++j) {
                t.put(a, 12 + j, wholeMillimetres(area.points[j].L));
                t.put(b, 12 + j, fixed(area.pointTime[j], 1));
            }
        }
        // An empty slot keeps the form's cells spanning both rows.
        const TestArea* area = filled ? &areas[static_cast<size_t>(position)] : nullptr;
        t.put(a, 10, area ? integer(area->ANGLE) : QString(), 2, 1);
        t.put(a, 11, area ? faceText(area->PLANE) : QString(), 2, 1);
        t.put(a, 15, area ? methodText(area->TMETHOD) : QString(), 2, 1);
        t.put(a, 16, area ? locationText(area->TESTLOC) : QString(), 2, 1);
    }

    const int remark = t.addRow(2);
    t.addRow(2);
    t.label(remark, 0, QStringLiteral("备注"), 2, 1);
    t.put(remark, 1, q(info.fieldRecordRemark), 2, 16);
    const int sign = t.addRow();
    t.label(sign, 0, QStringLiteral("校核"), 1, 2);
    t.put(sign, 2, q(info.checkerName), 1, 4);
    t.label(sign, 6, QStringLiteral("计算"), 1, 2);
    t.put(sign, 8, q(info.calculatorName), 1, 4);
    t.label(sign, 12, QStringLiteral("检测"), 1, 2);
    t.put(sign, 14, q(info.testerName), 1, 3);
    return t;
}

std::vector<QString> resultRemarkLines(const ReportSource& source) {
    std::vector<QString> lines;
    if (!source.info.resultTableRemark.empty())
        lines.push_back(q(source.info.resultTableRemark));
    // A correction by cores or cubes is stated where the strengths it changed are signed.
    if (const std::u16string correction = correctionRemark(source.job); !correction.empty())
        lines.push_back(q(correction));
    // Strengths converted outside the ranges a curve was made for are extrapolations: the
    // signed page says which areas they are.
    QString outside;
    int count = 0;
    const size_t members = std::min(source.evaluation.areas.size(), source.job.members.size());
    for (size_t m = 0; m < members; ++m) {
        QString numbers;
        const auto& areas = source.evaluation.areas[m];
        for (size_t a = 0; a < areas.size(); ++a)
            if (areas[a].outsideCurve != InsideCurve) {
                numbers +=
                    (numbers.isEmpty() ? QString() : QStringLiteral("、")) + QString::number(a + 1);
                ++count;
            }
        if (!numbers.isEmpty())
            outside += (outside.isEmpty() ? QString() : QStringLiteral("；")) +
                       q(source.job.members[m].PILEID) + QStringLiteral(" 测区") + numbers;
    }
    if (count > 0)
        lines.push_back(QString::number(count) +
                        QStringLiteral(" 个测区超出测强曲线的适用范围，其换算强度为外推值：") +
                        outside);
    return lines;
}

OfficeTable resultTable(const ReportSource& source, int memberIndex,
                        const ResultTableParts& parts) {
    const ReportInfo& info = source.info;
    const MemberInfo& member = memberOf(source.job, memberIndex);
    const AreaList& areas = areasOf(source.job, memberIndex);

    OfficeTable t;
    if (parts.titled)
        t.title = QStringLiteral("结果数据表");
    t.textPointSize = kResultTextPoints;
    t.columns = 12;
    // Two label columns of 2 and 3 units, ten area columns of 1.5.
    t.columnWeights.assign(12, 1.5);
    t.columnWeights[0] = 2.0;
    t.columnWeights[1] = 3.0;
    t.cells.reserve(200);

    const HeadRows headRows{t, 2, 4};
    headRows.labelled(u"工程名称", q(info.projectName));
    headRows.labelled(u"检测单位", q(info.testingOrg));
    headRows.labelled(u"施工单位", q(info.constructionOrg));
    headRows.paired(u"委托单位", q(info.clientOrg), u"委托编号", q(info.commissionNo));
    headRows.paired(u"检测龄期", q(info.testAge), u"检测日期", q(info.testDate));
    headRows.paired(u"设计强度", q(info.designGrade), u"报告日期", q(info.reportDate));
    headRows.paired(u"构件名称", q(member.PILEID), u"检测依据", q(info.testBasis));
    headRows.labelled(u"仪器型号与编号", instrumentText(info));
    headRows.labelled(u"构件编号", integer(member.SI + 1));

    const int head = t.addRow();
    const int numbers = t.addRow();
    t.label(head, 0, QStringLiteral("计算项目"), 2, 2);
    t.label(head, 2, QStringLiteral("测         区"), 1, 10);
    const int first = parts.page * kAreasPerTable;
    for (int k = 0; k < kAreasPerTable; ++k)
        t.label(numbers, 2 + k, integer(first + k + 1));

    static const char16_t* const items[8] = {u"测区\n代表值",   u"角度\n修正值",   u"角度\n修正后",
                                             u"浇筑面\n修正值", u"浇筑面\n修正后", u"测区\n代表值",
                                             u"修正系数\nβ、λ", u"修正后\n的值"};
    const int valueRows = t.rows;
    for (const char16_t* item : items)
        t.label(t.addRow(2), 1, QString::fromUtf16(item));
    t.label(valueRows, 0, QStringLiteral("回弹值"), 5, 1);
    t.label(valueRows + 5, 0, QStringLiteral("声速值\n(km/s)"), 3, 1);
    const int eta = t.addRow();
    t.label(eta, 0, QStringLiteral("强度修正系数η"), 1, 2);
    const int strength = t.addRow(2);
    t.label(strength, 0, QStringLiteral("测区强度换算值\n（Mpa）"), 1, 2);

    for (int k = 0; k < kAreasPerTable && first + k < static_cast<int>(areas.size()); ++k) {
        const TestArea& area = areas[static_cast<size_t>(first + k)];
        const int c = 2 + k;
        const float angled = area.reboundMean + area.ANGLEAM;
        const float faced = area.reboundMean + area.ANGLEAM + area.PLANEAM;
        const QString values[8] = {fixed(area.reboundMean, 1),
                                   fixed(area.ANGLEAM, 1),
                                   fixed(angled, 1),
                                   fixed(area.PLANEAM, 1),
                                   fixed(faced, 1),
                                   fixed(area.velocity, 3),
                                   fixed(area.BETA, 3) + u'\n' + fixed(area.LAMDA, 2),
                                   fixed(area.correctedVelocity, 3)};
        for (int r = 0; r < 8; ++r)
            t.put(valueRows + r, c, values[r]);
        t.put(eta, c, fixed(area.ETA, 2));
        t.put(strength, c, fixed(area.FCUI, 1));
    }

    auto estimateRow = [&](double units, QString label, float mf, float sf, QString estimate) {
        const int row = t.addRow(units);
        t.label(row, 0, std::move(label), 1, 2);
        t.put(row, 2, meanText(mf), 1, 3);
        t.put(row, 5, deviationText(sf), 1, 3);
        t.put(row, 8, std::move(estimate), 1, 4);
    };
    const std::vector<MemberEvaluation>& members = source.evaluation.members;
    if (parts.memberEstimate && memberIndex >= 0 &&
        memberIndex < static_cast<int>(members.size())) {
        const MemberEvaluation& e = members[static_cast<size_t>(memberIndex)];
        estimateRow(2, QStringLiteral("本构件推定值(Mpa)\n测区数 n=") + integer(e.N), e.Mf, e.Sf,
                    q(estimateText(e.Fcu, e.status, EstimateOf::Member, source.standard,
                                   EstimateMedium::Report)));
    }
    if (!parts.batchEstimate)
        return t;
    const BatchEvaluation& b = source.evaluation.batch;
    // Three units: the re-test rule of a failed batch wraps in its cell at full size.
    estimateRow(3,
                QStringLiteral("批推定值(Mpa)\n构件数 N=") +
                    integer(static_cast<int>(source.job.members.size())),
                b.MF, b.SF,
                q(estimateText(b.FCUE, b.status, EstimateOf::Batch, source.standard,
                               EstimateMedium::Report)));
    const int table = t.addRow(2);
    t.label(table, 0, QStringLiteral("使用的测区强度\n换算表"), 1, 2);
    t.put(table, 2, q(conversionTableText(source.job, info.conversionTable)), 1, 3);
    QString remark = QStringLiteral("备注：");
    for (const QString& line : resultRemarkLines(source))
        remark += u'\n' + line;
    t.put(table, 5, remark, 1, 7);
    const int sign = t.addRow();
    t.label(sign, 0, QStringLiteral("复核"), 1, 2);
    t.put(sign, 2, q(info.reviewerName), 1, 3);
    t.label(sign, 5, QStringLiteral("计算"));
    t.put(sign, 6, q(info.calculatorName), 1, 2);
    t.label(sign, 8, QStringLiteral("检测"));
    t.put(sign, 9, q(info.testerName), 1, 3);
    return t;
}

OfficeTable fieldRecordPageTable(const ReportSource& source, int member, int pageInMember) {
    return fieldRecordTable(source, member, kAreasPerTable * (pageInMember - 1), kAreasPerTable,
                            member == 0 && pageInMember == 1);
}

OfficeTable resultPageTable(const ReportSource& source, int member, int pageInMember) {
    const int members = static_cast<int>(source.job.members.size());
    const bool memberLast = pageInMember == PageList::pagesFor(areasOf(source.job, member).size());
    ResultTableParts parts;
    parts.page = pageInMember - 1;
    parts.memberEstimate = memberLast;
    parts.batchEstimate = memberLast && member + 1 == members;
    parts.titled = member == 0 && pageInMember == 1;
    return resultTable(source, member, parts);
}

} // namespace tavolin::report
