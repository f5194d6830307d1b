// Shared waveform storage: copies share, a change never reaches another point.
#include "data/largeblock.h"
#include "data/records.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace tavolin;

namespace {

// A block with `count` samples 0, 1, 2, … and two buffers that view parts of it.
struct Block {
    std::shared_ptr<void> storage;
    uint16_t* base = nullptr;
    explicit Block(size_t count) : storage(allocateLargeBlock(count * sizeof(uint16_t))) {
        base = static_cast<uint16_t*>(storage.get());
        std::iota(base, base + count, uint16_t{0});
    }
};

} // namespace

TEST(SampleBuffer, ViewsShareTheBlockAndChangesDetach) {
    Block block(100);
    SampleBuffer a(block.storage, block.base, 50);
    SampleBuffer b(block.storage, block.base + 50, 50);
    EXPECT_EQ(a.size(), 50u);
    EXPECT_EQ(b[0], 50);
    EXPECT_EQ(a.data(), block.base);

    // A copy (e.g. the unfiltered copy of a point) reads the same storage.
    const SampleBuffer copy = a;
    EXPECT_TRUE(copy.sharesWith(a));

    // Writing through one buffer gives it its own storage; the block and the copy keep theirs.
    a.mutableData()[3] = 4000;
    EXPECT_EQ(a[3], 4000);
    EXPECT_EQ(copy[3], 3);
    EXPECT_EQ(block.base[3], 3);
    EXPECT_FALSE(copy.sharesWith(a));
    EXPECT_EQ(a[4], 4); // the rest came along

    // Range-for writing, as a view might do to flatten a waveform.
    for (uint16_t& s : b.mutableView())
        s = 2048;
    EXPECT_EQ(block.base[50], 50);
    EXPECT_EQ(b, std::vector<uint16_t>(50, 2048));
}

TEST(SampleBuffer, OwnStorageIsChangedInPlace) {
    SampleBuffer own(std::vector<uint16_t>{1, 2, 3});
    const uint16_t* before = own.data();
    own.mutableData()[1] = 7; // nobody else reads it: no copy
    EXPECT_EQ(own.data(), before);
    EXPECT_EQ(own, (std::vector<uint16_t>{1, 7, 3}));
}

TEST(SampleBuffer, BlockOutlivesTheJobThatReadIt) {
    SampleBuffer kept;
    {
        Block block(10);
        kept = SampleBuffer(block.storage, block.base + 2, 3);
    }
    // The last buffer keeps the block alive.
    EXPECT_EQ(kept, (std::vector<uint16_t>{2, 3, 4}));
}

TEST(SampleBuffer, ResizeAssignClearAndCompare) {
    SampleBuffer s{5, 6, 7};
    s.resize(5);
    EXPECT_EQ(s, (std::vector<uint16_t>{5, 6, 7, 0, 0}));
    s.resize(2);
    EXPECT_EQ(s, (std::vector<uint16_t>{5, 6}));
    s.assign(3, 2048);
    EXPECT_EQ(s, (std::vector<uint16_t>{2048, 2048, 2048}));
    EXPECT_NE(s, SampleBuffer({2048, 2048}));
    EXPECT_NE(s, SampleBuffer({2048, 2048, 2047}));
    s.clear();
    EXPECT_TRUE(s.empty());
    EXPECT_EQ(s, SampleBuffer());
    EXPECT_EQ(s.toVector(), std::vector<uint16_t>());
    // An empty view holds nothing alive.
    Block block(4);
    const SampleBuffer none(block.storage, block.base, 0);
    EXPECT_TRUE(none.empty());
    EXPECT_EQ(block.storage.use_count(), 1);
}

TEST(SampleBuffer, PointCopiesShareTheirWaveforms) {
    TestPoint p;
    p.samples = std::vector<uint16_t>(1024, 2048);
    TestPoint q = p;
    EXPECT_TRUE(q.samples.sharesWith(p.samples));
    // The filter replaces the working samples and keeps the unfiltered ones aside.
    q.rawSamples = q.samples;
    q.samples = std::vector<uint16_t>(1024, 100);
    EXPECT_EQ(p.samples[0], 2048);
    EXPECT_EQ(q.unfiltered()[0], 2048);
    EXPECT_TRUE(q.unfiltered().sharesWith(p.samples));
}
