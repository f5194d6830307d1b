// Texts and rules of the report pages: where each text lands on the grid, what each value reads,
// titles, batch lines, header, footer and page numbers, and the rules seen in a rendered bitmap.
#include "recorder.h"

#include "report/pagegeometry.h"
#include "report/reportoutput.h"
#include "report/reportpages.h"

#include <QPainter>
#include <gtest/gtest.h>

#include <optional>

using namespace tavolin;
using namespace tavolin::report;
using reporttest::DrawnText;
using reporttest::RecordingDevice;

namespace {

// Members with the given numbers of areas; every area's values are distinct where it matters.
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
    Grid(int columns, int rows) : columnUnit(970.0 / columns), rowUnit(1272.0 / rows) {}
    // True when the text's middle lies in the cell from column c1 to c2, row line r1 to r2.
    bool holds(const DrawnText& t, double c1, double c2, double r1, double r2) const {
        const double mid = t.baseline.x() + t.width / 2;
        return mid > left + c1 * columnUnit && mid < left + c2 * columnUnit &&
               t.baseline.y() > top + r1 * rowUnit && t.baseline.y() < top + r2 * rowUnit;
    }
};

struct Page {
    std::vector<DrawnText> texts;
    std::vector<const DrawnText*> all(const QString& s) const {
        std::vector<const DrawnText*> out;
        for (const DrawnText& t : texts)
            if (t.text == s)
                out.push_back(&t);
        return out;
    }
};

Page record(const JobData& job, const PrintSettings& print, const ReportInfo& info,
            ReportTable table, int member, int pageInMember,
            const PageGeometry& geometry = bitmapGeometry()) {
    RecordingDevice device(kBitmapWidth, kBitmapHeight, kBitmapDpi);
    QPainter painter(&device);
    const ReportSource source{job, print, info};
    if (table == ReportTable::FieldRecord)
        DrawFieldRecordPage(painter, geometry, source, member, pageInMember);
    else
        DrawResultPage(painter, geometry, source, member, pageInMember);
    painter.end();
    return {device.engine.texts};
}

// Expects `text` at least once, its first drawing inside the cell.
void expectCell(const Page& page, const Grid& grid, const QString& text, double c1, double c2,
                double r1, double r2) {
    const auto found = page.all(text);
    ASSERT_FALSE(found.empty()) << text.toStdString();
    EXPECT_TRUE(grid.holds(*found[0], c1, c2, r1, r2))
        << text.toStdString() << " at " << found[0]->baseline.x() << "," << found[0]->baseline.y();
}

} // namespace

TEST(ReportPages, FieldRecordCellsHoldTheirLabelsAndValues) {
    const JobData job = makeJob({3});
    ReportInfo info;
    info.projectName = u"P1";
    info.testDate = u"2009-5-6";
    info.instrumentModel = u"VEK-M7";
    info.instrumentNo = u"A9";
    const Page page = record(job, {}, info, ReportTable::FieldRecord, 0, 1);
    const Grid g(18, 38);
    expectCell(page, g, QStringLiteral("现场记录表"), 0, 18, -2.1, 0); // title band
    expectCell(page, g, QStringLiteral("与编号"), 0, 4, 8, 9);
    expectCell(page, g, QStringLiteral("P1"), 5, 10, 0, 1);
    expectCell(page, g, QStringLiteral("2009-5-6"), 13, 18, 4, 5);
    expectCell(page, g, QStringLiteral("KZ1"), 4, 9, 5, 6);
    expectCell(page, g, QStringLiteral("VEK-M7        A9"), 4, 18, 7, 9);
    expectCell(page, g, QStringLiteral("li/ti"), 12, 16, 11, 12);
    // Slot 2: rows 17 and 18.
    EXPECT_TRUE(g.holds(*page.all(QStringLiteral("31"))[2], 2, 3, 17, 18));
    EXPECT_TRUE(g.holds(*page.all(QStringLiteral("46"))[2], 9, 10, 18, 19));
    EXPECT_TRUE(g.holds(*page.all(QStringLiteral("-45"))[2], 10, 11, 17, 19));
    EXPECT_TRUE(g.holds(*page.all(QStringLiteral("404"))[2], 12, 13.333, 17, 18));
    EXPECT_TRUE(g.holds(*page.all(QStringLiteral("94.0"))[2], 12, 13.333, 18, 19));
    EXPECT_TRUE(g.holds(*page.all(QStringLiteral("对测"))[2], 16, 17, 17, 19));
    EXPECT_EQ(page.all(QStringLiteral("1")).size(), 3u); // reading 1, point 1, member number
    // Face not chosen: an empty cell; the opposite-face location in its short form, wrapped
    // in its two rows rather than cut.
    QString all;
    for (const DrawnText& t : page.texts)
        all += t.text;
    EXPECT_FALSE(all.contains(QStringLiteral("侧面")) || all.contains(QStringLiteral("顶面")) ||
                 all.contains(QStringLiteral("底面")));
    EXPECT_FALSE(all.contains(QChar(0x2026))); // nothing cut with an ellipsis
    EXPECT_EQ(all.count(QStringLiteral("间")), 3);
    EXPECT_EQ(all.count(QStringLiteral("顶底")), 3);
}

TEST(ReportPages, FieldRecordPagesEachHoldTheirOwnTenAreas) {
    JobData job = makeJob({25});
    for (int k = 0; k < 25; ++k)
        job.areas[0][k].R[0] = 100 + k; // a first reading that names its area
    for (int page = 1; page <= 3; ++page) {
        const Page p = record(job, {}, {}, ReportTable::FieldRecord, 0, page);
        for (int k = 0; k < 25; ++k)
            EXPECT_EQ(p.all(QString::number(100 + k)).size(), k / 10 == page - 1 ? 1u : 0u)
                << "page " << page << ", area " << k + 1;
    }
}

TEST(ReportPages, ResultPagesNumberTheirAreasAndEndWithTheBatchLines) {
    JobData job = makeJob({25});
    const Grid g(20, 30);
    const Page second = record(job, {}, {}, ReportTable::Result, 0, 2);
    for (int k = 0; k < 10; ++k)
        expectCell(second, g, QString::number(11 + k), 5 + 1.5 * k, 6.5 + 1.5 * k, 10, 11);
    EXPECT_TRUE(second.all(QStringLiteral("结果数据表")).empty()); // title on page 1 only
    EXPECT_TRUE(second.all(QStringLiteral("Mf = 0.0Mpa")).empty());
    expectCell(second, g, QStringLiteral("30.0"), 5, 6.5, 28, 30); // FCUI of area 11
    expectCell(second, g, QStringLiteral("39.0"), 5 + 1.5 * 9, 20, 28, 30);
    expectCell(second, g, QStringLiteral("38.1"), 5, 6.5, 11, 13);
    expectCell(second, g, QStringLiteral("-1.2"), 5, 6.5, 17, 19);
    // 38.1 + 2.8 and 38.1 + 2.8 − 1.2 in single precision.
    EXPECT_EQ(second.all(QStringLiteral("40.9")).size(), 10u);
    EXPECT_EQ(second.all(QStringLiteral("39.7")).size(), 10u);

    const Page first = record(job, {}, {}, ReportTable::Result, 0, 1);
    EXPECT_EQ(first.all(QStringLiteral("结果数据表")).size(), 1u);

    const struct {
        float fcue;
        const char* text;
    } bounds[] = {{9.99f, "fcue < 10 Mpa"},
                  {10.0f, "fcue = 10.0Mpa"},
                  {70.0f, "fcue = 70.0Mpa"},
                  {70.04f, "fcue > 70 Mpa"}};
    job.result = {0, 31.25f, 4.125f};
    for (const auto& b : bounds) {
        job.result.FCUE = b.fcue;
        const Page last = record(job, {}, {}, ReportTable::Result, 0, 3);
        const Grid g35(20, 35);
        expectCell(last, g35, QString::fromUtf8(b.text), 15, 20, 30, 32);
        expectCell(last, g35, QStringLiteral("Mf = 31.2Mpa"), 5, 10, 30, 32);
        expectCell(last, g35, QStringLiteral("Sf = 4.12Mpa"), 10, 15, 30, 32);
        // Areas 21 … 25 only: five strengths 40.0 … 44.0.
        EXPECT_EQ(last.all(QStringLiteral("44.0")).size(), 1u);
        EXPECT_EQ(last.all(QStringLiteral("4.416")).size(), 5u);
    }
}

TEST(ReportPages, AVelocityFitsItsCellOnOneLine) {
    const JobData job = makeJob({12});
    const DeviceInfo a4{600, 600, 4960, 7016, 0, 0};
    for (const PageGeometry& g : {bitmapGeometry(), printGeometry(a4, PrintSettings{})}) {
        const Page page = record(job, {}, {}, ReportTable::Result, 0, 1, g);
        const auto found = page.all(QStringLiteral("4.312"));
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
    drawReportPage(painter, g, {job, s, info}, *ReportSource{job, s, info}.pageList().locate(1));
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
    const JobData job = makeJob({0});
    const PrintSettings print;
    const ReportInfo info;
    const QImage image =
        renderBitmapPage({job, print, info}, *ReportSource{job, print, info}.pageList().locate(1));
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
    // Row line 12 runs over columns 2–10 and 12–16 only; row line 13 over the whole width.
    EXPECT_TRUE(dark(3.5, 12, true));
    EXPECT_FALSE(dark(10.5, 12, true));
    EXPECT_TRUE(dark(10.5, 13, true));
    EXPECT_FALSE(dark(1.5, 14, true)); // even rules leave the member column open
    EXPECT_TRUE(dark(1.5, 15, true));
    // Column line 13 only between row lines 3 and 7; 13.33 below row line 12.
    EXPECT_FALSE(dark(13, 1.5, false));
    EXPECT_TRUE(dark(13, 4.5, false));
    EXPECT_TRUE(dark(13.33, 20.5, false));
    EXPECT_TRUE(dark(0, 20.5, false)); // the border
    EXPECT_EQ(qGray(image.pixel(5, 5)), 255);
}
