// Page list of a print: pages per member, totals and page → table, member, page within member.
#include "report/pagelist.h"

#include <gtest/gtest.h>

using tavolin::report::PageList;
using tavolin::report::ReportTable;

TEST(PageList, PagesPerMemberStartAtOneAndCountTensStarted) {
    const std::pair<std::size_t, int> cases[] = {{0, 1},  {1, 1},  {10, 1},   {11, 2},
                                                 {20, 2}, {25, 3}, {100, 10}, {101, 11}};
    for (auto [areas, pages] : cases)
        EXPECT_EQ(PageList::pagesFor(areas), pages) << areas << " areas";
}

TEST(PageList, BothTablesOfThreeAndTwelveAreasMakeSixPages) {
    const PageList list({3, 12}, true, true);
    ASSERT_EQ(list.pagesPerTable(), 3);
    ASSERT_EQ(list.pageCount(), 6);
    struct Expect {
        ReportTable table;
        int member, pageInMember, tablePage;
        bool finalPage;
    };
    const auto F = ReportTable::FieldRecord;
    const auto R = ReportTable::Result;
    const Expect expected[6] = {{F, 0, 1, 1, false}, {F, 1, 1, 2, false}, {F, 1, 2, 3, true},
                                {R, 0, 1, 1, false}, {R, 1, 1, 2, false}, {R, 1, 2, 3, true}};
    for (int page = 1; page <= 6; ++page) {
        const auto ref = list.locate(page);
        ASSERT_TRUE(ref) << page;
        const Expect& e = expected[page - 1];
        EXPECT_EQ(ref->page, page);
        EXPECT_EQ(ref->table, e.table) << page;
        EXPECT_EQ(ref->member, e.member) << page;
        EXPECT_EQ(ref->pageInMember, e.pageInMember) << page;
        EXPECT_EQ(ref->tablePage, e.tablePage) << page;
        EXPECT_EQ(ref->finalPage, e.finalPage) << page;
        EXPECT_EQ(ref->lastMember, e.member == 1) << page;
    }
    EXPECT_FALSE(list.locate(0));
    EXPECT_FALSE(list.locate(7));
    // A page range is the same page wherever the print starts.
    EXPECT_EQ(list.locateInTable(R, 3)->page, 6);
}

TEST(PageList, OneTableNumbersItsOwnPages) {
    const PageList result({25}, false, true);
    ASSERT_EQ(result.pageCount(), 3);
    EXPECT_EQ(result.locate(2)->table, ReportTable::Result);
    EXPECT_EQ(result.locate(2)->pageInMember, 2);
    EXPECT_TRUE(result.locate(3)->finalPage);

    const PageList field({12, 3, 0}, true, false);
    ASSERT_EQ(field.pageCount(), 4);
    EXPECT_EQ(field.locate(2)->member, 0);
    EXPECT_EQ(field.locate(3)->member, 1);
    EXPECT_EQ(field.locate(4)->member, 2); // a member without areas still has its page

    EXPECT_TRUE(PageList({5}, false, false).empty());
}
