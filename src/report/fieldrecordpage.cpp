// The field record table (现场记录表): grid of 18 × 38 units, heads, readings, points, method.
#include "report/fonts.h"
#include "report/reportpages.h"
#include "report/tablegrid.h"

#include "data/format.h"
#include "data/labels.h"

#include <QPainter>

#include <algorithm>

namespace tavolin::report {

using detail::qs;
using detail::TableGrid;

namespace {

// A code outside the list leaves its cell empty.
template <size_t N> QString codeText(const std::array<std::u16string_view, N>& labels, int code) {
    const std::u16string_view text = labelOf(labels, code, u"");
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

void fieldRecordRules(TableGrid& t) {
    for (int row : {1, 2, 3, 4, 5, 6, 7, 9, 13, 33, 37})
        t.hline(row, 0, 18);
    t.hline(12, 2, 10);
    t.hline(12, 12, 16);
    for (int row = 14; row <= 32; row += 2) {
        t.hline(row, 2, 10);
        t.hline(row, 12, 16);
    }
    for (int row = 15; row <= 31; row += 2)
        t.hline(row, 1, 18);

    t.vline(1, 9, 37);
    t.vline(2, 9, 33);
    t.vline(2, 37, 38);
    for (int column = 3; column <= 9; ++column)
        t.vline(column, 12, 33);
    t.vline(4, 0, 9);
    t.vline(9, 3, 7);
    t.vline(13, 3, 7);
    for (int column : {10, 11, 12, 16, 17})
        t.vline(column, 9, 33);
    t.vline(13.33, 12, 33);
    t.vline(14.67, 12, 33);
    for (int column : {6, 8, 12, 14})
        t.vline(column, 37, 38);
}

void fieldRecordLabels(TableGrid& t) {
    const char16_t* heads[] = {u"工程名称", u"检测单位", u"施工单位", u"委托单位", u"施工日期",
                               u"构件名称", u"检测依据", u"仪器型号", u"与编号"};
    for (int row = 0; row < 9; ++row)
        t.text(0, 4, row, QString::fromUtf16(heads[row]));
    const char16_t* right[] = {u"委托编号", u"检测日期", u"设计强度", u"检测编号"};
    for (int i = 0; i < 4; ++i)
        t.text(9, 13, 3 + i, QString::fromUtf16(right[i]));
    auto column = [&](double c1, double c2, int firstRow, const QString& chars) {
        for (int i = 0; i < chars.size(); ++i)
            t.text(c1, c2, firstRow + i, chars.mid(i, 1));
    };
    column(0, 1, 9, QStringLiteral("构件编号"));
    column(1, 2, 10, QStringLiteral("测区"));
    t.text(2, 10, 9, 11, QStringLiteral("测点回弹值"));
    column(10, 11, 9, QStringLiteral("测试角度"));
    column(11, 12, 9, QStringLiteral("测试面"));
    t.text(12, 16, 9, QStringLiteral("测点测距"));
    t.text(12, 16, 10, QStringLiteral("/声时"));
    t.text(12, 16, 11, QStringLiteral("li/ti"));
    column(16, 17, 9, QStringLiteral("测试方式"));
    column(17, 18, 9, QStringLiteral("测试部位"));
    for (int x = 2; x <= 9; ++x)
        t.text(x, x + 1, 12, QString::number(x - 1));
    for (int k = 1; k <= 3; ++k)
        t.text(12 + 1.333 * (k - 1), 12 + 1.333 * k, 12, QString::number(k));
    column(0, 1, 34, QStringLiteral("备注"));
    t.text(0, 2, 37, QStringLiteral("校核"));
    t.text(6, 8, 37, QStringLiteral("计算"));
    t.text(12, 14, 37, QStringLiteral("检测"));
}

void fieldRecordArea(TableGrid& t, const TestArea& area, int slot) {
    const int a = 13 + 2 * slot;
    const int b = a + 1;
    for (int j = 0; j < 8; ++j) {
        t.text(2 + j, 3 + j, a, qs(formatInt(area.R[j])));
        t.text(2 + j, 3 + j, b, qs(formatInt(area.R[8 + j])));
    }
    t.text(10, 11, a, b, qs(formatInt(area.ANGLE)));
    t.text(11, 12, a, b, codeText(kFaceLabels, area.PLANE));
    for (int j = 0; j < 3; ++j) {
        const double c1 = 12 + 1.333 * j;
        const double c2 = 13.333 + 1.333 * j;
        t.text(c1, c2, a, qs(formatInt(static_cast<int>(area.points[j].L))));
        t.text(c1, c2, b, qs(formatFixed(area.pointTime[j], 1)));
    }
    t.text(16, 17, a, b, codeText(kMethodLabels, area.TMETHOD));
    QString location = qs(area.TESTLOC);
    if (location == qs(std::u16string(kPositionBetween)))
        location = QStringLiteral("顶底间");
    // A location cut to one character and an ellipsis says nothing: a text too wide for the
    // column wraps within the two rows of the area instead.
    t.fitOrWrap(17, 18, a, b, location);
}

} // namespace

void DrawFieldRecordPage(QPainter& painter, const PageGeometry& g, const ReportSource& source,
                         int member, int pageInMember) {
    detail::drawTableTitle(painter, g, QStringLiteral("现场记录表"),
                           member == 0 && pageInMember == 1);
    TableGrid t(painter, g.table, 18, 38);
    t.outline(source.print.borderWidth);
    t.useGridPen(source.print.gridWidth);
    fieldRecordRules(t);

    t.setFont(reportFont(detail::arial(), static_cast<int>(0.8 * t.rowUnit())));
    fieldRecordLabels(t);

    t.setFont(reportFont(detail::arial(), static_cast<int>(0.65 * t.rowUnit())));
    const ReportInfo& info = source.info;
    const MemberInfo& m = source.job.members.at(member);
    t.text(5, 10, 0, qs(info.projectName));
    t.text(5, 10, 1, qs(info.testingOrg));
    t.text(5, 10, 2, qs(info.constructionOrg));
    t.text(4, 9, 3, qs(info.clientOrg));
    t.text(4, 9, 4, qs(info.constructionDate));
    t.text(4, 9, 5, qs(m.PILEID));
    t.text(4, 9, 6, qs(info.testBasis));
    t.text(13, 18, 3, qs(info.commissionNo));
    t.text(13, 18, 4, qs(info.testDate));
    t.text(13, 18, 5, qs(info.designGrade));
    t.text(13, 18, 6, qs(info.testNo));
    t.text(4, 18, 7, 8, qs(info.instrumentModel) + QString(8, u' ') + qs(info.instrumentNo));
    t.text(0, 1, 13, 32, qs(formatInt(m.SI + 1)));
    t.text(2, 18, 33, 36, qs(info.fieldRecordRemark));

    const AreaList& areas = source.job.areas.at(member);
    const std::size_t first = std::size_t(PageList::areasPerPage) * (pageInMember - 1);
    for (int slot = 0; slot < PageList::areasPerPage && first + slot < areas.size(); ++slot)
        fieldRecordArea(t, areas[first + slot], slot);
}

} // namespace tavolin::report
