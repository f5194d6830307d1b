// Page geometry from device facts: margins, raised margins, header and footer bands, bitmap page.
#include "report/pagegeometry.h"

#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::report;

namespace {
// A 600 dpi printer with 100-unit unprintable offsets: 23 whole units per millimetre.
const DeviceInfo kPrinter{600, 600, 4760, 6814, 100, 100};
} // namespace

TEST(PageGeometry, DefaultMarginsGiveTitleAndTableBelowThem) {
    // Margins: 600 × 20 / 25.40005 = 472.44 → 472; 600 × 15 / 25.40005 = 354.33 → 354.
    // Text area: left 472 − 100, width 4760 + 200 − 472 − 354, height 6814 + 200 − 472 − 354.
    const PageGeometry g = printGeometry(kPrinter, PrintSettings{});
    EXPECT_TRUE(g.header.isNull());
    EXPECT_TRUE(g.footer.isNull());
    EXPECT_EQ(g.title, QRect(372, 372, 4134, 13 * 23));
    EXPECT_EQ(g.table, QRect(372, 372 + 15 * 23, 4134, 6188 - 15 * 23));
}

TEST(PageGeometry, HeaderAndPageNumbersTakeTenMillimetresEach) {
    PrintSettings s;
    s.printHeader = 1;
    s.printPageNumber = 1; // no footer text: the band is still reserved
    const PageGeometry g = printGeometry(kPrinter, s);
    EXPECT_EQ(g.header, QRect(372, 372, 4134, 8 * 23));
    const int top = 372 + 10 * 23;
    const int height = 6188 - 10 * 23; // before the footer step
    EXPECT_EQ(g.footer, QRect(372, top + height + 2 * 23, 4134, 8 * 23));
    EXPECT_EQ(g.title, QRect(372, top, 4134, 13 * 23));
    EXPECT_EQ(g.table, QRect(372, top + 15 * 23, 4134, height - 10 * 23 - 15 * 23));
}

TEST(PageGeometry, MarginsSmallerThanTheUnprintableOffsetAreRaised) {
    PrintSettings s;
    s.marginLeft = s.marginTop = 0;
    s.marginRight = s.marginBottom = 1; // 23.6 → 23 < 100
    const PageGeometry g = printGeometry(kPrinter, s);
    EXPECT_EQ(g.title.topLeft(), QPoint(0, 0));
    EXPECT_EQ(g.title.width(), 4760);
    EXPECT_EQ(g.table.height(), 6814 - 15 * 23);
}

TEST(PageGeometry, BitmapPageHasItsFixedAreas) {
    const PageGeometry g = bitmapGeometry();
    EXPECT_EQ(g.title, QRect(30, 30, 970, 68));
    EXPECT_EQ(g.table, QRect(30, 98, 970, 1272));
}
