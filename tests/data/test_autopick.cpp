// "自动判读" as one document edit: confident suggestions applied with their amplitude, the others
// kept and marked for review, hand picks kept unless their area is asked for again.
#include "data/doc.h"
#include "support/files.h"
#include "support/jobbuilder.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tavolin;
using namespace tavolin::testing;

namespace {

struct Recorder : DocObserver {
    std::vector<DocChange> changes;
    void jobChanged(const DocChange& c) override { changes.push_back(c); }
};

// Known pulse starts per point; 0 leaves the builder's noise (no pulse: not confident). Every
// point's stored arrival is the builder's 140. Pulses of 50 kHz at 0.4 us: half-cycles of 25
// samples.
constexpr double kOnsets[3][3] = {{300, 350.4, 0}, {200, 210, 220}, {400, 0, 0}};
constexpr int kStored = 140;

class AutoPickEdit : public ::testing::Test {
protected:
    void SetUp() override {
        Geometry g;
        g.datLen = 1024;
        g.dT = 0.4f;
        g.delay = 2.0f;
        g.arrival = kStored;
        JobBuilder job;
        job.geometry(g).member(u"梁A").areas(2, same(35)).member(u"柱B").area(same(40));
        const int where[3][2] = {{0, 0}, {0, 1}, {1, 0}};
        for (int k = 0; k < 3; ++k)
            for (int j = 0; j < 3; ++j) {
                if (kOnsets[k][j] == 0)
                    continue;
                TestPoint& p = job.job().areas[where[k][0]][where[k][1]].points[j];
                // Point 1 of the first area at about 30 dB, the others nearly clean.
                p.samples = pulseWaveform({.onset = kOnsets[k][j],
                                           .noise = k == 0 && j == 1 ? 25.0 : 4.0,
                                           .seed = static_cast<uint32_t>(10 * k + j)});
                p.rawSamples = p.samples;
            }
        path = dir.path("job.SHA");
        ASSERT_EQ(WriteResultFile(path, job.build()), u"");
        ASSERT_EQ(doc.open(path), u"");
        doc.addObserver(&seen);
    }
    void TearDown() override { doc.removeObserver(&seen); }
    const TestPoint& point(int m, int a, int j) const { return doc.area(m, a)->points[j]; }

    ScratchDir dir;
    std::string path;
    CTavolinDoc doc;
    Recorder seen;
};

} // namespace

TEST_F(AutoPickEdit, MemberRunAppliesConfidentPointsAndMarksTheOthers) {
    const AutoPickSummary s = doc.autoPick(0, -1);
    EXPECT_EQ(s.applied, 5);
    EXPECT_EQ(s.review, 1);
    EXPECT_EQ(s.handKept, 0);
    // One notice for the member and one step of the history for the whole command.
    ASSERT_EQ(seen.changes.size(), 1u);
    EXPECT_EQ(seen.changes[0].member, 0);
    EXPECT_EQ(seen.changes[0].area, -1);
    EXPECT_TRUE(seen.changes[0].has(ChangeArrival));
    EXPECT_TRUE(doc.isModified());
    EXPECT_EQ(doc.undoName(), u"自动判读当前构件");
    for (int a = 0; a < 2; ++a)
        for (int j = 0; j < 3; ++j) {
            const TestPoint& p = point(0, a, j);
            const double onset = kOnsets[a][j];
            if (onset == 0) {
                EXPECT_EQ(p.arrivalIndex, kStored);
                EXPECT_EQ(p.pickOrigin, PickOrigin::Review);
                EXPECT_LT(p.pickConfidence, 0.5f);
                continue;
            }
            EXPECT_NEAR(p.arrivalIndex, onset, 2.0) << a << j;
            EXPECT_EQ(p.pickOrigin, PickOrigin::Suggested);
            // The amplitude cursor sits inside the first half-cycle.
            EXPECT_GT(p.ampIndex, onset);
            EXPECT_LT(p.ampIndex, onset + 25);
            // T = index * dT + delay of the area, recomputed by the edit.
            EXPECT_FLOAT_EQ(doc.area(0, a)->pointTime[j], p.arrivalIndex * 0.4f + 2.0f);
        }
    // The other member is untouched.
    EXPECT_EQ(point(1, 0, 0).arrivalIndex, kStored);
    EXPECT_EQ(point(1, 0, 0).pickOrigin, PickOrigin::File);
    EXPECT_EQ(doc.pointsNeedingReview(), 1);

    // One undo takes the whole command back: picks, marks and the modified flag.
    doc.undo();
    for (int a = 0; a < 2; ++a)
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(point(0, a, j).arrivalIndex, kStored);
            EXPECT_EQ(point(0, a, j).pickOrigin, PickOrigin::File);
        }
    EXPECT_EQ(doc.pointsNeedingReview(), 0);
    EXPECT_FALSE(doc.isModified());
    EXPECT_FALSE(doc.canUndo());
}

TEST_F(AutoPickEdit, HandPickWinsUntilItsAreaIsAskedForAgain) {
    doc.setArrival(0, 0, 0, 500, true);
    EXPECT_EQ(point(0, 0, 0).pickOrigin, PickOrigin::Hand);
    // The job run keeps the hand pick and marks the points without a pulse.
    const AutoPickSummary all = doc.autoPick(-1, -1);
    EXPECT_EQ(all.handKept, 1);
    EXPECT_EQ(all.applied, 5);
    EXPECT_EQ(all.review, 3);
    EXPECT_EQ(point(0, 0, 0).arrivalIndex, 500);
    EXPECT_NEAR(point(1, 0, 0).arrivalIndex, 400, 2.0);
    EXPECT_EQ(doc.pointsNeedingReview(), 3);
    // A pick by hand on a marked point clears its mark.
    doc.setArrival(1, 0, 2, 150, true);
    EXPECT_EQ(doc.pointsNeedingReview(), 2);
    // Asking for the area again replaces its hand pick.
    doc.autoPick(0, 0);
    EXPECT_NEAR(point(0, 0, 0).arrivalIndex, 300, 2.0);
    EXPECT_EQ(point(0, 0, 0).pickOrigin, PickOrigin::Suggested);
}

TEST_F(AutoPickEdit, NothingOutsideTheJob) {
    for (auto [m, a] : {std::pair{2, -1}, {0, 5}, {-1, 0}}) {
        const AutoPickSummary s = doc.autoPick(m, a);
        EXPECT_EQ(s.applied + s.review + s.handKept, 0);
    }
    EXPECT_TRUE(seen.changes.empty());
    EXPECT_FALSE(doc.isModified());
}
