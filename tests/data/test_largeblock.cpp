// The arena an open fills its area lists from: lifetime, copies, growth past its end.
#include "data/largeblock.h"
#include "test_files_support.h"

#include <gtest/gtest.h>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

TestArea area(int ratno) {
    TestArea a;
    a.RATNO = ratno;
    a.TESTLOC = u"一个比短字符串更长的测区位置文字"; // on the heap, not in the record
    return a;
}

} // namespace

TEST(LargeArena, HandsOutAlignedPiecesUntilFull) {
    LargeArena arena(100);
    void* a = arena.take(10, 1);
    void* b = arena.take(8, 8);
    ASSERT_NE(a, nullptr);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(reinterpret_cast<uintptr_t>(b) % 8, 0u);
    EXPECT_GE(static_cast<char*>(b), static_cast<char*>(a) + 10);
    EXPECT_TRUE(arena.owns(a));
    EXPECT_TRUE(arena.owns(b));
    EXPECT_EQ(arena.take(100, 1), nullptr); // no room left for that much
    EXPECT_NE(arena.take(20, 4), nullptr);  // but for a smaller piece
    int elsewhere = 0;
    EXPECT_FALSE(arena.owns(&elsewhere));
}

TEST(LargeArena, ListsKeepTheirArenaAliveAndGrowOntoTheHeap) {
    AreaList kept;
    AreaList copy;
    {
        // Room for two areas only: the third one moves the list onto the heap.
        auto arena = std::make_shared<LargeArena>(2 * sizeof(TestArea));
        AreaList list{ArenaAllocator<TestArea>(arena)};
        list.reserve(2);
        list.push_back(area(1));
        list.push_back(area(2));
        EXPECT_TRUE(arena->owns(list.data()));
        copy = list; // the copy keeps its own (heap) storage
        list.push_back(area(3));
        EXPECT_FALSE(arena->owns(list.data()));
        AreaList second{ArenaAllocator<TestArea>(arena)};
        second.push_back(area(9)); // nothing left in the arena: heap
        EXPECT_FALSE(arena->owns(second.data()));
        kept = std::move(list);
    }
    // The arena is gone with the job that made it; the lists are intact.
    ASSERT_EQ(kept.size(), 3u);
    EXPECT_EQ(kept[0].RATNO, 1);
    EXPECT_EQ(kept[2].RATNO, 3);
    EXPECT_EQ(kept[1].TESTLOC, area(2).TESTLOC);
    ASSERT_EQ(copy.size(), 2u);
    EXPECT_EQ(copy[1].RATNO, 2);
    const AreaList copied(kept);
    EXPECT_EQ(copied[2].RATNO, 3);
}

TEST(LargeArena, AreasOfAnOpenedJobOutliveIt) {
    // 4,000 areas: enough for the reader to put them in an arena.
    ScratchDir dir;
    const std::string path = dir.path("a.SHA");
    ASSERT_EQ(WriteResultFile(path, makeJob(2, 2000, 16)), u"");
    std::vector<AreaList> lists;
    {
        JobData job;
        ASSERT_EQ(ReadDataFile(path, job), u"");
        lists = std::move(job.areas);
        JobData other;
        ASSERT_EQ(ReadDataFile(path, other), u"");
        lists.push_back(std::move(other.areas[1])); // as a merge moves them
    }
    ASSERT_EQ(lists.size(), 3u);
    const JobData expected = makeJob(2, 2000, 16);
    for (size_t m = 0; m < 3; ++m) {
        const AreaList& want = expected.areas[m == 0 ? 0 : 1];
        ASSERT_EQ(lists[m].size(), want.size());
        for (size_t k = 0; k < want.size(); k += 499) {
            EXPECT_EQ(lists[m][k].RATNO, want[k].RATNO);
            EXPECT_EQ(lists[m][k].TESTLOC, want[k].TESTLOC);
            EXPECT_EQ(lists[m][k].points[2].samples, want[k].points[2].samples);
        }
    }
}
