// The Word tables and the Excel sheet laid out cell by cell as the report forms prescribe.
#include "calc/calibration.h"
#include "officejob.h"
#include "report/officelayout.h"
#include "report/reporttables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace tavolin;
using namespace tavolin::report;
using officetest::at;
using officetest::makeJob;
using officetest::Reported;
using Cell = std::tuple<int, int, int, int, QString>; // 1-based row, column, spans, text

namespace {

ReportInfo namedInfo() {
    ReportInfo info;
    static const char* names[ReportInfo::fieldCount] = {
        "project", "testing", "construction", "client",   "age",        "grade",
        "basis",   "spare",   "testdate",     "report",   "commission", "instno",
        "builddt", "testno",  "reviewer",     "calc",     "tester",     "checker",
        "fremark", "rremark", "model",        "convtable"};
    for (int i = 0; i < ReportInfo::fieldCount; ++i)
        info.field(i) = QString::fromLatin1(names[i]).toStdU16String();
    return info;
}

// The cells anchored in rows first … last (1-based), in row and column order.
std::vector<Cell> rowsOf(const OfficeTable& t, int first, int last) {
    std::vector<Cell> out;
    for (const auto& c : t.cells)
        if (c.row + 1 >= first && c.row + 1 <= last)
            out.emplace_back(c.row + 1, c.column + 1, c.rowSpan, c.columnSpan, c.text);
    std::sort(out.begin(), out.end());
    return out;
}

QString s(const char16_t* text) {
    return QString::fromUtf16(text);
}

} // namespace

TEST(OfficeLayout, FieldRecordTableOfThreeAreas) {
    JobData job = makeJob({3});
    TestArea& a = job.areas[0][0];
    a.ANGLE = -45;
    a.PLANE = FaceBottom;
    a.TMETHOD = MethodOpposite;
    a.TESTLOC = u"顶面底面间";
    job.areas[0][1].PLANE = FaceNone;
    Reported r(job);
    r.info = namedInfo();
    OfficeTable t = wordTable(r.source(), {WordTableRef::FieldRecord, 0, 0, false});
    EXPECT_EQ(t.rows, 33); // n = 10 slots at least
    EXPECT_EQ(t.columns, 17);
    EXPECT_EQ(t.title, s(u"现场记录表"));
    EXPECT_EQ(t.textPointSize, 9);

    const std::vector<Cell> head = {
        {1, 1, 1, 3, s(u"工程名称")},
        {1, 4, 1, 14, "project"},
        {2, 1, 1, 3, s(u"检测单位")},
        {2, 4, 1, 14, "testing"},
        {3, 1, 1, 3, s(u"施工单位")},
        {3, 4, 1, 14, "construction"},
        {4, 1, 1, 3, s(u"委托单位")},
        {4, 4, 1, 6, "client"},
        {4, 10, 1, 3, s(u"委托编号")},
        {4, 13, 1, 5, "commission"},
        {5, 1, 1, 3, s(u"施工日期")},
        {5, 4, 1, 6, "builddt"},
        {5, 10, 1, 3, s(u"检测日期")},
        {5, 13, 1, 5, "testdate"},
        {6, 1, 1, 3, s(u"构件名称")},
        {6, 4, 1, 6, s(u"梁1")},
        {6, 10, 1, 3, s(u"设计强度")},
        {6, 13, 1, 5, "grade"},
        {7, 1, 1, 3, s(u"检测依据")},
        {7, 4, 1, 6, "basis"},
        {7, 10, 1, 3, s(u"检测编号")},
        {7, 13, 1, 5, "testno"},
        {8, 1, 1, 3, s(u"仪器型号\n与编号")},
        {8, 4, 1, 14, "model      instno"},
        {9, 1, 2, 1, s(u"构件编号")},
        {9, 2, 2, 1, s(u"测区")},
        {9, 3, 1, 8, s(u"测点回弹值")},
        {9, 11, 2, 1, s(u"测试角度")},
        {9, 12, 2, 1, s(u"测试面")},
        {9, 13, 1, 3, s(u"测点测距\n/声时\nli/ti")},
        {9, 16, 2, 1, s(u"测试方式")},
        {9, 17, 2, 1, s(u"测试部位")},
        {10, 3, 1, 1, "1"},
        {10, 4, 1, 1, "2"},
        {10, 5, 1, 1, "3"},
        {10, 6, 1, 1, "4"},
        {10, 7, 1, 1, "5"},
        {10, 8, 1, 1, "6"},
        {10, 9, 1, 1, "7"},
        {10, 10, 1, 1, "8"},
        {10, 13, 1, 1, "1"},
        {10, 14, 1, 1, "2"},
        {10, 15, 1, 1, "3"},
    };
    EXPECT_EQ(rowsOf(t, 1, 10), head);

    // The first area: R1 … R8 over R9 … R16, L cut to whole millimetres over the times.
    const std::vector<Cell> firstSlot = {
        {11, 1, 20, 1, "1"},        {11, 2, 2, 1, "1"},           {11, 3, 1, 1, "30"},
        {11, 4, 1, 1, "31"},        {11, 5, 1, 1, "32"},          {11, 6, 1, 1, "33"},
        {11, 7, 1, 1, "34"},        {11, 8, 1, 1, "35"},          {11, 9, 1, 1, "36"},
        {11, 10, 1, 1, "37"},       {11, 11, 2, 1, "-45"},        {11, 12, 2, 1, s(u"底面")},
        {11, 13, 1, 1, "254"},      {11, 14, 1, 1, "254"},        {11, 15, 1, 1, "254"},
        {11, 16, 2, 1, s(u"对测")}, {11, 17, 2, 1, s(u"顶底间")}, {12, 3, 1, 1, "38"},
        {12, 4, 1, 1, "39"},        {12, 5, 1, 1, "30"},          {12, 6, 1, 1, "31"},
        {12, 7, 1, 1, "32"},        {12, 8, 1, 1, "33"},          {12, 9, 1, 1, "34"},
        {12, 10, 1, 1, "35"},       {12, 13, 1, 1, "60.3"},       {12, 14, 1, 1, "61.3"},
        {12, 15, 1, 1, "62.3"},
    };
    EXPECT_EQ(rowsOf(t, 11, 12), firstSlot);
    EXPECT_EQ(at(t, 13, 12), (officetest::Anchored{2, 1, ""})); // face not chosen

    // Slots 4 … 10 hold only their numbers, in the same merged cells as a filled slot.
    for (int k = 4; k <= 10; ++k) {
        const int r = 9 + 2 * k;
        const std::vector<Cell> empty = {{r, 2, 2, 1, QString::number(k)},
                                         {r, 11, 2, 1, ""},
                                         {r, 12, 2, 1, ""},
                                         {r, 16, 2, 1, ""},
                                         {r, 17, 2, 1, ""}};
        EXPECT_EQ(rowsOf(t, r, r + 1), empty) << "slot " << k;
    }
    const std::vector<Cell> foot = {
        {31, 1, 2, 1, s(u"备注")},  {31, 2, 2, 16, "fremark"}, {33, 1, 1, 2, s(u"校核")},
        {33, 3, 1, 4, "checker"},   {33, 7, 1, 2, s(u"计算")}, {33, 9, 1, 4, "calc"},
        {33, 13, 1, 2, s(u"检测")}, {33, 15, 1, 3, "tester"},
    };
    EXPECT_EQ(rowsOf(t, 31, 33), foot);
    // The page's rows: heads 7 × 1, instrument 2, column heads 3 + 1, ten slots 2 × 1, remark
    // 2 × 2, signatures 1: the 38 row units of the printed grid.
    double units = 0;
    for (double u : t.rowUnits)
        units += u;
    EXPECT_EQ(units, 38);

    // A continuation page numbers its areas; a job without a date prints none.
    r.job.areas[0].resize(13, r.job.areas[0][2]);
    r.info.constructionDate.clear();
    t = fieldRecordPageTable(r.source(), 0, 2);
    EXPECT_EQ(t.title, QString()); // titled on the first page only
    EXPECT_EQ(at(t, 5, 4), (officetest::Anchored{1, 6, ""}));
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(at(t, 11 + 2 * k, 2), (officetest::Anchored{2, 1, QString::number(11 + k)}));
    EXPECT_EQ(at(t, 15, 3), (officetest::Anchored{1, 1, "32"})); // area 13 = area 3: reading 1
    EXPECT_FALSE(at(t, 17, 3));                                  // no area 14
}

TEST(OfficeLayout, TwentyThreeAreasGiveOneFieldTableAndThreeResultTables) {
    const Reported r(makeJob({23}));
    const JobData& job = r.job;
    const std::vector<WordTableRef> plan = wordTablePlan(job, true, true);
    ASSERT_EQ(plan.size(), 4u);
    EXPECT_EQ(plan[0].kind, WordTableRef::FieldRecord);
    std::vector<int> rows;
    std::vector<QString> titles;
    for (const auto& ref : plan) {
        rows.push_back(wordTable(r.source(), ref).rows);
        titles.push_back(wordTable(r.source(), ref).title);
    }
    // 13 + 2 × 23; 21; 21; 21 + the member's estimate + batch, table and signature rows.
    EXPECT_EQ(rows, (std::vector<int>{59, 21, 21, 25}));
    EXPECT_EQ(titles, (std::vector<QString>{s(u"现场记录表"), s(u"结果数据表"), "", ""}));

    // The third result table: areas 21 … 23 under the numbers 21 … 30.
    const OfficeTable third = wordTable(r.source(), plan[3]);
    for (int k = 0; k < 10; ++k)
        EXPECT_EQ(at(third, 11, 3 + k), (officetest::Anchored{1, 1, QString::number(21 + k)}));
    EXPECT_EQ(at(third, 21, 5), (officetest::Anchored{1, 1, "52.0"})); // area 23: 30 + 22
    EXPECT_FALSE(at(third, 21, 6));                                    // slot 4 empty

    // Only the very last result table of the export has the batch rows.
    // and each member's last one its own estimate.
    const Reported two(makeJob({3, 12}));
    rows.clear();
    for (const auto& ref : wordTablePlan(two.job, false, true))
        rows.push_back(wordTable(two.source(), ref).rows);
    EXPECT_EQ(rows, (std::vector<int>{22, 21, 25}));
    EXPECT_TRUE(wordTablePlan(two.job, false, false).empty());
}

TEST(OfficeLayout, ResultTableTextsAndBatchLines) {
    JobData job = makeJob({1, 1});
    TestArea& a = job.areas[1][0];
    a.reboundMean = 35.2f;
    a.ANGLEAM = -1.3f;
    a.PLANEAM = 0.6f;
    a.velocity = 4.1234f;
    a.BETA = 1.0f;
    a.LAMDA = 0.95f;
    a.correctedVelocity = 4.3456f;
    a.ETA = 1.0f;
    a.FCUI = 31.26f;
    Reported r(job);
    r.info = namedInfo();
    // The evaluation as the analysis form holds it: member 2 of one area, the batch of two.
    r.evaluation.members[1] = {1, 31.26f, 31.26f, 31.26f, 0.0f, 31.26f, Valid};
    r.evaluation.batch = {33.16f, 4.444f, 34.55f, Valid};
    const OfficeTable t = wordTable(r.source(), {WordTableRef::Result, 1, 0, true});
    EXPECT_EQ(t.columns, 12);
    EXPECT_EQ(t.rows, 25);
    EXPECT_EQ(t.textPointSize, 10);
    const std::vector<Cell> head = {
        {1, 1, 1, 2, s(u"工程名称")},       {1, 3, 1, 10, "project"},
        {2, 1, 1, 2, s(u"检测单位")},       {2, 3, 1, 10, "testing"},
        {3, 1, 1, 2, s(u"施工单位")},       {3, 3, 1, 10, "construction"},
        {4, 1, 1, 2, s(u"委托单位")},       {4, 3, 1, 4, "client"},
        {4, 7, 1, 2, s(u"委托编号")},       {4, 9, 1, 4, "commission"},
        {5, 1, 1, 2, s(u"检测龄期")},       {5, 3, 1, 4, "age"},
        {5, 7, 1, 2, s(u"检测日期")},       {5, 9, 1, 4, "testdate"},
        {6, 1, 1, 2, s(u"设计强度")},       {6, 3, 1, 4, "grade"},
        {6, 7, 1, 2, s(u"报告日期")},       {6, 9, 1, 4, "report"},
        {7, 1, 1, 2, s(u"构件名称")},       {7, 3, 1, 4, s(u"梁2")},
        {7, 7, 1, 2, s(u"检测依据")},       {7, 9, 1, 4, "basis"},
        {8, 1, 1, 2, s(u"仪器型号与编号")}, {8, 3, 1, 10, "model      instno"},
        {9, 1, 1, 2, s(u"构件编号")},       {9, 3, 1, 10, "2"},
        {10, 1, 2, 2, s(u"计算项目")},      {10, 3, 1, 10, s(u"测         区")},
    };
    EXPECT_EQ(rowsOf(t, 1, 10), head);
    const std::vector<Cell> body = {
        {12, 1, 5, 1, s(u"回弹值")},
        {12, 2, 1, 1, s(u"测区\n代表值")},
        {12, 3, 1, 1, "35.2"},
        {13, 2, 1, 1, s(u"角度\n修正值")},
        {13, 3, 1, 1, "-1.3"},
        {14, 2, 1, 1, s(u"角度\n修正后")},
        {14, 3, 1, 1, "33.9"},
        {15, 2, 1, 1, s(u"浇筑面\n修正值")},
        {15, 3, 1, 1, "0.6"},
        {16, 2, 1, 1, s(u"浇筑面\n修正后")},
        {16, 3, 1, 1, "34.5"},
        {17, 1, 3, 1, s(u"声速值\n(km/s)")},
        {17, 2, 1, 1, s(u"测区\n代表值")},
        {17, 3, 1, 1, "4.123"},
        {18, 2, 1, 1, s(u"修正系数\nβ、λ")},
        {18, 3, 1, 1, "1.000\n0.95"},
        {19, 2, 1, 1, s(u"修正后\n的值")},
        {19, 3, 1, 1, "4.346"},
        {20, 1, 1, 2, s(u"强度修正系数η")},
        {20, 3, 1, 1, "1.00"},
        {21, 1, 1, 2, s(u"测区强度换算值\n（Mpa）")},
        {21, 3, 1, 1, "31.3"},
        {22, 1, 1, 2, s(u"本构件推定值(Mpa)\n测区数 n=1")},
        {22, 3, 1, 3, "Mf = 31.3Mpa"},
        {22, 6, 1, 3, "Sf = 0.00Mpa"},
        {22, 9, 1, 4, "fcue = 31.3Mpa"},
        {23, 1, 1, 2, s(u"批推定值(Mpa)\n构件数 N=2")},
        {23, 3, 1, 3, "Mf = 33.2Mpa"},
        {23, 6, 1, 3, "Sf = 4.44Mpa"},
        {23, 9, 1, 4, "fcue = 34.5Mpa"},
        {24, 1, 1, 2, s(u"使用的测区强度\n换算表")},
        {24, 3, 1, 3, "convtable"},
        {24, 6, 1, 7, s(u"备注：\nrremark")},
        {25, 1, 1, 2, s(u"复核")},
        {25, 3, 1, 3, "reviewer"},
        {25, 6, 1, 1, s(u"计算")},
        {25, 7, 1, 2, "calc"},
        {25, 9, 1, 1, s(u"检测")},
        {25, 10, 1, 3, "tester"},
    };
    EXPECT_EQ(rowsOf(t, 12, 25), body);
}

// The batch's estimate says what its status says: a batch to be assessed member by member
// prints the standard's rule, never a limit; the limits only for their own statuses.
TEST(OfficeLayout, BatchEstimateTextFollowsItsStatus) {
    Reported r(makeJob({1, 1}));
    r.standard = 1;
    r.evaluation.members[1] = {1, 12.0f, 12.0f, 12.0f, 0.0f, 12.0f, Valid};
    const struct {
        EstimateStatus status;
        float fcue;
        const char16_t* text;
    } cases[] = {
        {Valid, 70.0f, u"fcue = 70.0Mpa"},
        {Above70, 70.05f, u"fcue > 70 Mpa"},
        {Valid, 10.0f, u"fcue = 10.0Mpa"},
        {Below10, 9.99f, u"fcue < 10 Mpa"},
        {RetestMembers, 0.0f,
         u"平均值<25.0且标准差>4.5、平均值>25.0且标准差>5.5,该批构件应全部重新按单个构件检测"},
    };
    for (const auto& c : cases) {
        r.evaluation.batch = {20.0f, 6.0f, c.fcue, c.status};
        const OfficeTable t = wordTable(r.source(), {WordTableRef::Result, 1, 0, true});
        EXPECT_EQ(at(t, 23, 9), (officetest::Anchored{1, 4, s(c.text)}));
        EXPECT_EQ(at(t, 22, 9), (officetest::Anchored{1, 4, s(u"fcue = 12.0Mpa")}));
    }
}

// Areas converted outside their curve's ranges are named on the signed page: extrapolations.
TEST(OfficeLayout, RemarkNamesTheAreasOutsideTheirCurve) {
    Reported r(makeJob({3, 2}));
    r.info.resultTableRemark = u"见附图";
    r.evaluation.areas = {std::vector<AreaStrength>(3), std::vector<AreaStrength>(2)};
    r.evaluation.areas[0][1].outsideCurve = VelocityOutside;
    r.evaluation.areas[0][2].outsideCurve = VelocityOutside | ReboundOutside;
    r.evaluation.areas[1][0].outsideCurve = ReboundOutside;
    EXPECT_EQ(resultRemarkLines(r.source()),
              (std::vector<QString>{s(u"见附图"), s(u"3 个测区超出测强曲线的适用范围，其换算强度为"
                                                    u"外推值：梁1 测区2、3；梁2 测区1")}));
    r.evaluation.areas = {std::vector<AreaStrength>(3), std::vector<AreaStrength>(2)};
    EXPECT_EQ(resultRemarkLines(r.source()), std::vector<QString>{s(u"见附图")});
}

TEST(OfficeLayout, SheetBlocksFollowEachOther) {
    JobData job = makeJob({3, 5});
    job.areas[1][0].FCUI = 70.0f;
    job.areas[1][1].FCUI = 70.05f;
    job.areas[1][2].FCUI = 9.99f;
    job.areas[1][3].velocity = 4.5678f;
    job.areas[1][3].correctedVelocity = 4.1f;
    const SheetRows rows = excelRows(job);
    ASSERT_EQ(rows.size(), 12u); // rows 1–5 and 6–12
    const std::vector<QString> head = {s(u"测区"), "L1mm", "T1us",    "L2mm",     "T2us",
                                       "L3mm",     "T3us", "V(km/s)", "Va(km/s)", "fcui(MPa)"};
    EXPECT_EQ(rows[0], std::vector<QString>{s(u"构件编号：1        构件名称：梁1")});
    EXPECT_EQ(rows[1], head);
    EXPECT_EQ(rows[2], (std::vector<QString>{"1", "255", "60.3", "255", "61.3", "255", "62.3",
                                             "0.000", "0.000", "30.0"}));
    EXPECT_EQ(rows[5], std::vector<QString>{s(u"构件编号：2        构件名称：梁2")});
    EXPECT_EQ(rows[6], head);
    std::vector<QString> fcui, numbers;
    for (int r = 7; r < 12; ++r) {
        numbers.push_back(rows[r][0]);
        fcui.push_back(rows[r][9]);
    }
    EXPECT_EQ(numbers, (std::vector<QString>{"1", "2", "3", "4", "5"}));
    EXPECT_EQ(fcui, (std::vector<QString>{"70.0", ">70MPa", "<10MPa", "33.0", "34.0"}));
    EXPECT_EQ(rows[10][7], "4.568");
    EXPECT_EQ(rows[10][8], "4.100");
    EXPECT_EQ(rows[11][1], "259"); // 258.6 rounds to the nearest millimetre
}
