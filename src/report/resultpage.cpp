// The result data table (结果数据表): grid of 20 × 30 units (20 × 35 with the batch lines on the
// last page of the last member), heads, corrected values and converted strengths.
#include "report/fonts.h"
#include "report/reportpages.h"
#include "report/tablegrid.h"

#include "data/corefile.h"
#include "data/curvelibrary.h"
#include "data/format.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace tavolin::report {

using detail::qs;
using detail::TableGrid;

namespace {

double slotLeft(int k) {
    return 5 + 1.5 * k;
}

void resultRules(TableGrid& t, bool finalPage) {
    for (int row : {1, 2, 3, 4, 5, 6, 7, 8, 9, 11, 21, 27, 28})
        t.hline(row, 0, 20);
    t.hline(10, 5, 20);
    for (int row : {13, 15, 17, 19, 23, 25})
        t.hline(row, 2, 20);
    t.vline(5, 0, finalPage ? 35 : 30);
    t.vline(2, 11, 27);
    for (int k = 0; k < 10; ++k)
        t.vline(slotLeft(k), 10, 30);
    t.vline(11, 3, 7);
    t.vline(14, 3, 7);
    if (!finalPage)
        return;
    for (int row : {30, 32, 34})
        t.hline(row, 0, 20);
    t.vline(10, 30, 35);
    t.vline(15, 30, 32);
    t.vline(15, 34, 35);
    t.vline(12.5, 34, 35);
    t.vline(17.5, 34, 35);
}

void resultLabels(TableGrid& t, int pageInMember, bool finalPage, int memberCount) {
    const char16_t* heads[] = {u"工程名称", u"检测单位",       u"施工单位",
                               u"委托单位", u"检测龄期",       u"设计强度",
                               u"构件名称", u"仪器型号与编号", u"构件编号"};
    for (int row = 0; row < 9; ++row)
        t.text(0, 5, row, QString::fromUtf16(heads[row]));
    const char16_t* right[] = {u"委托编号", u"检测日期", u"报告日期", u"检测依据"};
    for (int i = 0; i < 4; ++i)
        t.text(11, 14, 3 + i, QString::fromUtf16(right[i]));
    t.text(0, 5, 9, 10, QStringLiteral("计算项目"));
    t.text(5, 20, 9, QStringLiteral("测         区"));
    for (int k = 0; k < 10; ++k)
        t.text(slotLeft(k), slotLeft(k) + 1.5, 10,
               qs(formatInt(PageList::areasPerPage * (pageInMember - 1) + k + 1)));
    t.text(0, 2, 11, 20, QStringLiteral("回弹值"), Qt::AlignLeft | Qt::AlignVCenter);
    t.text(0, 2, 22, QStringLiteral("声速值"));
    t.text(0, 2, 23, QStringLiteral("(km"));
    t.text(0, 2, 24, QStringLiteral("/s)"));
    const char16_t* items[] = {u"测区",      u"代表值", u"角度",   u"修正值", u"角度", u"修正后",
                               u"浇筑面",    u"修正值", u"浇筑面", u"修正后", u"测区", u"代表值",
                               u"修正系数β", u"、λ",    u"修正后", u"的值"};
    for (int i = 0; i < 16; ++i)
        t.text(2, 5, 11 + i, QString::fromUtf16(items[i]));
    t.text(0, 5, 27, QStringLiteral("强度修正系数η"));
    t.text(0, 5, 28, QStringLiteral("测区强度换算值"));
    t.text(0, 5, 29, QStringLiteral("（Mpa）"));
    if (!finalPage)
        return;
    t.text(0, 5, 30, QStringLiteral("强度推定值"));
    t.text(0, 5, 31, QStringLiteral("（Mpa） N=") + qs(formatInt(memberCount)));
    t.text(0, 5, 32, QStringLiteral("使用测区强度"));
    t.text(0, 5, 33, QStringLiteral("换算表"));
    t.text(0, 5, 34, QStringLiteral("复核"));
    t.text(10, 12.5, 34, QStringLiteral("计算"));
    t.text(15, 17.5, 34, QStringLiteral("检测"));
}

void resultArea(TableGrid& t, const TestArea& area, int slot) {
    const double c1 = slotLeft(slot);
    const double c2 = c1 + 1.5;
    const float angled = area.reboundMean + area.ANGLEAM;
    const float faced = area.reboundMean + area.ANGLEAM + area.PLANEAM;
    t.text(c1, c2, 11, 12, qs(formatFixed(area.reboundMean, 1)));
    t.text(c1, c2, 13, 14, qs(formatFixed(area.ANGLEAM, 1)));
    t.text(c1, c2, 15, 16, qs(formatFixed(angled, 1)));
    t.text(c1, c2, 17, 18, qs(formatFixed(area.PLANEAM, 1)));
    t.text(c1, c2, 19, 20, qs(formatFixed(faced, 1)));
    t.wrappedText(c1, c2, 21, 22, qs(formatFixed(area.velocity, 3)));
    t.text(c1, c2, 23, qs(formatFixed(area.BETA, 3)));
    t.text(c1, c2, 24, qs(formatFixed(area.LAMDA, 2)));
    t.wrappedText(c1, c2, 25, 26, qs(formatFixed(area.correctedVelocity, 3)));
    t.text(c1, c2, 27, qs(formatFixed(area.ETA, 2)));
    t.text(c1, c2, 28, 29, qs(formatFixed(area.FCUI, 1)));
}

QString estimateText(float fcue) {
    if (fcue < 10.0f)
        return QStringLiteral("fcue < 10 Mpa");
    if (fcue > 70.0f)
        return QStringLiteral("fcue > 70 Mpa");
    return QStringLiteral("fcue = ") + qs(formatFixed(fcue, 1)) + QStringLiteral("Mpa");
}

} // namespace

void DrawResultPage(QPainter& painter, const PageGeometry& g, const ReportSource& source,
                    int member, int pageInMember) {
    const JobData& job = source.job;
    const bool lastMember = member + 1 == static_cast<int>(job.members.size());
    const bool finalPage =
        lastMember && pageInMember == PageList::pagesFor(job.areas.at(member).size());
    detail::drawTableTitle(painter, g, QStringLiteral("结果数据表"),
                           member == 0 && pageInMember == 1);
    TableGrid t(painter, g.table, 20, finalPage ? 35 : 30);
    t.outline(source.print.borderWidth);
    t.useGridPen(source.print.gridWidth);
    resultRules(t, finalPage);

    double labelBase = t.rowUnit();
    if (lastMember)
        labelBase = std::min(std::floor(t.rowUnit()), std::floor(t.columnUnit()));
    t.setFont(reportFont(detail::arial(), static_cast<int>(0.7 * labelBase)));
    resultLabels(t, pageInMember, finalPage, static_cast<int>(job.members.size()));

    t.setFont(reportFont(detail::arial(), static_cast<int>(0.65 * t.rowUnit())));
    const ReportInfo& info = source.info;
    const MemberInfo& m = job.members.at(member);
    const std::u16string* left[] = {&info.projectName, &info.testingOrg, &info.constructionOrg,
                                    &info.clientOrg,   &info.testAge,    &info.designGrade};
    for (int row = 0; row < 6; ++row)
        t.text(5, 11, row, qs(*left[row]));
    t.text(5, 11, 6, qs(m.PILEID));
    t.text(14, 20, 3, qs(info.commissionNo));
    t.text(14, 20, 4, qs(info.testDate));
    t.text(14, 20, 5, qs(info.reportDate));
    t.text(14, 20, 6, qs(info.testBasis));
    t.text(5, 20, 7,
           qs(info.instrumentModel) + QString(lastMember ? 7 : 6, u' ') + qs(info.instrumentNo));
    t.text(5, 20, 8, qs(formatInt(m.SI + 1)));

    const AreaList& areas = job.areas.at(member);
    const std::size_t first = std::size_t(PageList::areasPerPage) * (pageInMember - 1);
    for (int slot = 0; slot < PageList::areasPerPage && first + slot < areas.size(); ++slot)
        resultArea(t, areas[first + slot], slot);

    if (!finalPage)
        return;
    const Result& r = job.result;
    t.text(5, 10, 30, 31,
           QStringLiteral("Mf = ") + qs(formatFixed(r.MF, 1)) + QStringLiteral("Mpa"));
    t.text(10, 15, 30, 31,
           QStringLiteral("Sf = ") + qs(formatFixed(r.SF, 2)) + QStringLiteral("Mpa"));
    t.text(15, 20, 30, 31, estimateText(r.FCUE));
    t.text(5, 10, 32, 33, qs(conversionTableText(job, info.conversionTable)));
    t.text(10, 20, 32, QStringLiteral("备注："));
    t.text(10, 20, 33, qs(remarkWithCorrection(info.resultTableRemark, job)));
}

} // namespace tavolin::report
