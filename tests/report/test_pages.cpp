// The report pages place the one table content: every text of a table drawn whole (never cut),
// long names fitted in their cells, area numbers and estimates where they belong, the rules
// where the grid puts them, header, footer and page numbers in their bands.
#include "officejob.h"
#include "recorder.h"

#include "report/pagegeometry.h"
#include "report/reportoutput.h"
#include "report/reportpages.h"
#include "report/reporttables.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <QRegularExpression>

#include <algorithm>
#include <optional>

using namespace tavolin;
using namespace tavolin::report;
using officetest::Reported;
using reporttest::DrawnText;
using reporttest::RecordingDevice;

namespace {

// Members with the given numbers of areas, every area alike but for its strength 20 + k.
JobData makeJob(const std::vector<int>& areaCounts) {
    JobData job;
    job.memberCount = static_cast<int>(areaCounts.size());
    for (std::size_t m = 0; m < areaCounts.size(); ++m) {
        MemberInfo member;
        member.SI = static_cast<int>(m);
        member.PILEID = u"KZ" + std::u16string(1, char16_t(u'1' + m));
        job.members.push_back(member);
        AreaList areas;
        for (int a = 0; a < areaCounts[m]; ++a) {
            TestArea area;
            for (int r = 0; r < 16; ++r)
                area.R[r] = 31 + r;
            area.ANGLE = -45;
            area.PLANE = FaceNone;
            area.TMETHOD = MethodOpposite;
            area.TESTLOC = u"顶面底面间";
            area.points[0].L = 404.9f;
            area.points[1].L = 1e30f; // a typo the page must print, not overflow on
            area.pointTime = {94.04f, 93.6f, 94.8f};
            area.reboundMean = 38.1f;
            area.ANGLEAM = 2.8f;
            area.PLANEAM = -1.2f;
            area.velocity = 4.312f;
            area.correctedVelocity = 4.416f;
            area.FCUI = 20.0f + a;
            areas.push_back(area);
        }
        job.areas.push_back(std::move(areas));
    }
    return job;
}

// Units of the bitmap page's table (30, 98, 970 × 1272), worked out by hand.
struct Grid {
    double left = 30, top = 98, columnUnit, rowUnit;
    Grid(int columns, double rows) : columnUnit(970.0 / columns), rowUnit(1272.0 / rows) {}
};

std::vector<DrawnText> record(const ReportSource& source, ReportTable table, int member,
                              int pageInMember, const PageGeometry& geometry = bitmapGeometry()) {
    RecordingDevice device(geometry.table.right() + 100, geometry.table.bottom() + 100,
                           geometry.dpiY);
    QPainter painter(&device);
    if (table == ReportTable::FieldRecord)
        DrawFieldRecordPage(painter, geometry, source, member, pageInMember);
    else
        DrawResultPage(painter, geometry, source, member, pageInMember);
    painter.end();
    return device.engine.texts;
}

QString withoutSpaces(QString s) {
    s.remove(QRegularExpression(QStringLiteral("\\s")));
    return s;
}

// Every text the page drew, one after the other, without blanks and line ends.
QString joined(const std::vector<DrawnText>& texts) {
    QString all;
    for (const DrawnText& t : texts)
        all += t.text;
    return withoutSpaces(all);
}

// The title and every cell text of `table` in cell order, without blanks and line ends.
QString contents(const OfficeTable& table) {
    QString all = table.title;
    for (const TableCell& c : table.cells)
        all += c.text;
    return withoutSpaces(all);
}

const DeviceInfo kA4At600{600, 600, 4960, 7016, 0, 0};

} // namespace

// Long organisation and project names, a continuation page, the batch page: each page draws
// exactly the texts of its table, whole, inside the table, on the bitmap and on a 600-dpi print.
TEST(ReportPages, EveryPageDrawsItsWholeTableContents) {
    Reported r(makeJob({3, 12}));
    r.info.testingOrg = u"江南市建设工程质量检测中心";                              // 13 characters
    r.info.projectName = u"江南市滨江新区中央商务区二期地下综合管廊及配套道路工程"; // 27
    r.info.constructionOrg = u"中国建筑第八工程局有限公司华东分公司第三项目部";     // 23
    r.info.clientOrg = u"江南市滨江新区城市建设投资发展集团有限公司";               // 21
    r.info.fieldRecordRemark = u"测区布置于构件两侧面，避开钢筋密集区";
    r.evaluation.batch = {20.4f, 7.3f, 0.0f, RetestMembers};
    r.standard = 1;
    const ReportSource source = r.source();
    const struct {
        ReportTable table;
        int member, page;
    } pages[] = {{ReportTable::FieldRecord, 0, 1},
                 {ReportTable::FieldRecord, 1, 2},
                 {ReportTable::Result, 0, 1},
                 {ReportTable::Result, 1, 2}};
    for (const PageGeometry& g : {bitmapGeometry(), printGeometry(kA4At600, r.print)}) {
        for (const auto& p : pages) {
            SCOPED_TRACE(int(p.table) * 100 + p.member * 10 + p.page);
            const std::vector<DrawnText> texts = record(source, p.table, p.member, p.page, g);
            const OfficeTable table = p.table == ReportTable::FieldRecord
                                          ? fieldRecordPageTable(source, p.member, p.page)
                                          : resultPageTable(source, p.member, p.page);
            EXPECT_EQ(joined(texts), contents(table));
            for (const DrawnText& t : texts) {
                if (t.text == table.title)
                    continue;
                EXPECT_GE(t.baseline.x(), g.table.left()) << t.text.toStdString();
                EXPECT_LE(t.baseline.x() + t.width, g.table.right() + 1) << t.text.toStdString();
            }
        }
        // The 13-character organisation has room on one line at full size in its cell.
        const std::vector<DrawnText> first = record(source, ReportTable::Result, 0, 1, g);
        EXPECT_TRUE(std::any_of(first.begin(), first.end(), [](const DrawnText& t) {
            return t.text == QStringLiteral("江南市建设工程质量检测中心");
        }));
    }
}

TEST(ReportPages, ResultPagesNumberTheirAreasAndTheLastOnesCarryTheEstimates) {
    Reported r(makeJob({25}));
    r.evaluation.members[0] = {25, 20.0f, 44.0f, 32.0f, 7.36f, 19.9f, Valid};
    r.evaluation.batch = {32.0f, 7.36f, 19.9f, Valid};
    const ReportSource source = r.source();
    auto textsOf = [&](int page) {
        std::vector<QString> out;
        for (const DrawnText& t : record(source, ReportTable::Result, 0, page))
            out.push_back(t.text);
        return out;
    };
    auto count = [](const std::vector<QString>& texts, const QString& s) {
        return std::count(texts.begin(), texts.end(), s);
    };
    const std::vector<QString> second = textsOf(2);
    for (int k = 11; k <= 20; ++k)
        EXPECT_EQ(count(second, QString::number(k)), 1) << k;
    EXPECT_EQ(count(second, QStringLiteral("结果数据表")), 0); // titled on page 1 only
    EXPECT_EQ(count(second, QStringLiteral("fcue = 19.9Mpa")), 0);
    // 38.1 + 2.8 and 38.1 + 2.8 − 1.2 in single precision, on all ten areas.
    EXPECT_EQ(count(second, QStringLiteral("40.9")), 10);
    EXPECT_EQ(count(second, QStringLiteral("39.7")), 10);
    EXPECT_EQ(count(textsOf(1), QStringLiteral("结果数据表")), 1);

    // Page 3: areas 21 … 25, then the member's and the batch's rows.
    const std::vector<QString> last = textsOf(3);
    EXPECT_EQ(count(last, QStringLiteral("44.0")), 1);
    EXPECT_EQ(count(last, QStringLiteral("4.416")), 5);
    EXPECT_EQ(count(last, QStringLiteral("fcue = 19.9Mpa")), 2);
    EXPECT_EQ(count(last, QStringLiteral("Mf = 32.0Mpa")), 2);
    EXPECT_EQ(count(last, QStringLiteral("Sf = 7.36Mpa")), 2);
    const QString all = joined(record(source, ReportTable::Result, 0, 3));
    EXPECT_TRUE(all.contains(QStringLiteral("本构件推定值(Mpa)测区数n=25")));
    EXPECT_TRUE(all.contains(QStringLiteral("批推定值(Mpa)构件数N=1")));
}

TEST(ReportPages, FieldRecordContinuationPageNumbersItsAreas) {
    Reported r(makeJob({13}));
    const std::vector<DrawnText> texts = record(r.source(), ReportTable::FieldRecord, 0, 2);
    std::vector<QString> numbers;
    for (const DrawnText& t : texts)
        if (t.text.toInt() >= 11 && t.text.toInt() <= 20)
            numbers.push_back(t.text);
    EXPECT_EQ(numbers,
              (std::vector<QString>{"11", "12", "13", "14", "15", "16", "17", "18", "19", "20"}));
    // The mistyped path length prints in full, wrapped or set smaller, on each of three areas.
    EXPECT_EQ(joined(texts).count(QStringLiteral("1000000015047466219876688855040")), 3);
}

TEST(ReportPages, AVelocityFitsItsCellOnOneLine) {
    const Reported r(makeJob({12}));
    for (const PageGeometry& g : {bitmapGeometry(), printGeometry(kA4At600, PrintSettings{})}) {
        std::vector<const DrawnText*> found;
        const std::vector<DrawnText> texts = record(r.source(), ReportTable::Result, 0, 1, g);
        for (const DrawnText& t : texts)
            if (t.text == QStringLiteral("4.312"))
                found.push_back(&t);
        ASSERT_EQ(found.size(), 10u);
        EXPECT_LT(found[0]->width, 1.5 * g.table.width() / 20);
    }
}

TEST(ReportPages, PageNumbersInDigitsAndRomanNumerals) {
    PrintSettings s;
    EXPECT_EQ(pageNumberText(s, 1), QString());
    s.printPageNumber = 1;
    s.firstPageNumber = 7;
    EXPECT_EQ(pageNumberText(s, 3), QStringLiteral("9 "));
    s.pageNumberFormat = 1;
    s.firstPageNumber = 1;
    const char* roman[] = {"I", "II", "III", "IV", "V", "IX", "XIV"};
    const int pages[] = {1, 2, 3, 4, 5, 9, 14};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(pageNumberText(s, pages[i]), QString::fromLatin1(roman[i]));
    s.firstPageNumber = 1000;
    EXPECT_EQ(pageNumberText(s, 1), QStringLiteral("M"));
    EXPECT_EQ(pageNumberText(s, 2), QString());
    s.firstPageNumber = 0;
    EXPECT_EQ(pageNumberText(s, 1), QString());
}

TEST(ReportPages, HeaderFooterAndPageNumberSitInTheirBandsAsAligned) {
    const JobData job = makeJob({1});
    PrintSettings s;
    s.printHeader = s.printFooter = s.printPageNumber = 1;
    s.headerText = u"HEAD";
    s.headerPosition = 2;
    s.footerText = u"FOOT";
    s.footerPosition = 0;
    s.pageNumberPosition = 1;
    s.firstPageNumber = 4;
    s.pageNumberFormat = 1;
    const PageGeometry g = printGeometry({600, 600, 4960, 7016, 0, 0}, s);
    RecordingDevice device(4960, 7016, 600);
    QPainter painter(&device);
    const ReportInfo info;
    const JobEvaluation evaluation;
    const ReportSource source{job, evaluation, 0, s, info};
    drawReportPage(painter, g, source, *source.pageList().locate(1));
    painter.end();
    std::optional<DrawnText> head, foot, number;
    for (const DrawnText& t : device.engine.texts) {
        if (t.text == QStringLiteral("HEAD"))
            head = t;
        if (t.text == QStringLiteral("FOOT"))
            foot = t;
        if (t.text == QStringLiteral("IV"))
            number = t;
    }
    ASSERT_TRUE(head && foot && number);
    EXPECT_TRUE(g.header.contains(head->baseline.toPoint()));
    EXPECT_NEAR(head->baseline.x() + head->width, g.header.right(), 2);
    EXPECT_TRUE(g.footer.contains(foot->baseline.toPoint()));
    EXPECT_NEAR(foot->baseline.x(), g.footer.left(), 1);
    EXPECT_NEAR(number->baseline.x() + number->width / 2, g.footer.center().x(), 2);
}

TEST(ReportPages, RenderedBitmapShowsTheRulesWhereTheGridPutsThem) {
    const Reported r(makeJob({0}));
    const QImage image = renderBitmapPage(r.source(), *r.source().pageList().locate(1));
    ASSERT_EQ(image.size(), QSize(1030, 1400));
    const Grid g(18, 38);
    auto dark = [&](double column, double row, bool horizontal) {
        const int x = int(g.left + column * g.columnUnit);
        const int y = int(g.top + row * g.rowUnit);
        for (int d = -1; d <= 1; ++d) {
            const QRgb p = horizontal ? image.pixel(x, y + d) : image.pixel(x + d, y);
            if (qGray(p) < 128)
                return true;
        }
        return false;
    };
    // Rows by hand: heads 7 × 1, instrument 2, column heads 3 + 1: the slots from row line 13,
    // two lines each. Between a slot's two lines the readings and points are ruled; the member,
    // area, angle, face, method and position cells span both.
    EXPECT_TRUE(dark(3.5, 14, true));
    EXPECT_TRUE(dark(12.5, 14, true));
    EXPECT_FALSE(dark(10.5, 14, true));
    EXPECT_FALSE(dark(1.15, 14, true)); // beside the area number centred on that line
    EXPECT_TRUE(dark(1.5, 15, true));   // area 1 | area 2
    EXPECT_FALSE(dark(0.5, 15, true));  // the member number spans every slot
    // The head values: the right-hand label starts at column line 9 on rows 3 … 6 only.
    EXPECT_FALSE(dark(9, 1.5, false));
    EXPECT_TRUE(dark(9, 4.5, false));
    EXPECT_TRUE(dark(12 + 4.0 / 3, 20.5, false)); // point 1 | point 2
    EXPECT_TRUE(dark(0, 20.5, false));            // the border
    EXPECT_EQ(qGray(image.pixel(5, 5)), 255);
}
