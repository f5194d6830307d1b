// Derived values of a test area, its strength in the fixed order, member and batch evaluation.
#include "data/evaluation.h"
#include "support/reference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace tavolin;
using tavolin::testing::strength;

namespace {

struct Algorithms {
    CorrectionTables tables;
    std::unique_ptr<CAlgorithm> cecs = makeAlgorithm(0, tables);
    std::unique_ptr<CAlgorithm> tb = makeAlgorithm(1, tables);
};

TestPoint wave(int arrival, float L, uint16_t peak, int ampIndex, float gain) {
    TestPoint p;
    p.samples.assign(400, 2048);
    p.samples.mutableData()[std::clamp(ampIndex, 0, 399)] = peak;
    p.arrivalIndex = arrival;
    p.ampIndex = ampIndex;
    p.Gain = gain;
    p.L = L;
    return p;
}

AreaList withFcui(std::initializer_list<float> strengths) {
    AreaList areas(strengths.size());
    std::transform(strengths.begin(), strengths.end(), areas.begin(), [](float f) {
        TestArea a;
        a.FCUI = f;
        return a;
    });
    return areas;
}

} // namespace

TEST(AreaDerived, PointValuesAndVelocities) {
    Algorithms alg;
    TestArea area;
    area.dT = 0.5f;
    area.Delay = 2.0f;
    area.points[0] = wave(100, 208.0f, 3072, 120, 2.0f); // T 52, 4 km/s, +1024 / 2 -> 0.5 V
    area.points[1] = wave(150, 154.0f, 1024, 400, 4.0f); // T 77, cursor past the end
    area.points[2].L = 300.0f;                           // no waveform
    computePointValues(area);
    EXPECT_FLOAT_EQ(area.pointTime[0], 52.0f);
    EXPECT_FLOAT_EQ(area.pointVelocity[0], 4.0f);
    EXPECT_FLOAT_EQ(area.pointAmplitude[0], 0.5f);
    EXPECT_FLOAT_EQ(area.pointVelocity[1], 2.0f);
    EXPECT_EQ(area.pointAmplitude[1], 0.0f);
    EXPECT_EQ(area.pointTime[2], 0.0f);
    EXPECT_EQ(area.pointVelocity[2], 0.0f); // no division by the missing time
    area.points[0].Gain = 0.0f;
    computePointValues(area);
    EXPECT_EQ(area.pointAmplitude[0], 0.0f);

    TestArea even;
    even.dT = 0.5f;
    for (TestPoint& p : even.points)
        p = wave(150, 300.0f, 2048, 0, 1.0f); // T 75 us
    even.BETA = 1.034f;
    computeAreaDerived(even, *alg.cecs);
    EXPECT_NEAR(even.velocity, 4.0f, 1e-6);
    EXPECT_NEAR(even.correctedVelocity, 4.136f, 1e-5);
    TestArea empty;
    computeAreaDerived(empty, *alg.tb);
    EXPECT_EQ(empty.velocity, 0.0f);
    EXPECT_EQ(empty.correctedVelocity, 0.0f);
}

TEST(AreaStrength, FixedOrderWithUncorrectedMean) {
    Algorithms alg;
    MemberInfo member; // crushed stone
    TestArea area;
    area.R.fill(25);
    area.ANGLE = 90;
    area.PLANE = FaceTop;
    area.correctedVelocity = 4.0f;
    AreaStrength s = computeAreaStrength(area, member, *alg.cecs);
    EXPECT_FLOAT_EQ(area.reboundMean, 25.0f);
    EXPECT_FLOAT_EQ(area.ANGLEAM, -5.5f); // row 25, +90
    // Looked up with 25.0 (row 25: +2.0), not with the angle-corrected 19.5 (row 20: +2.5).
    EXPECT_FLOAT_EQ(area.PLANEAM, 2.0f);
    EXPECT_FLOAT_EQ(s.correctedRebound, 21.5f);
    EXPECT_NEAR(area.FCUI, strength(4.0, 21.5), 1e-4);
    EXPECT_FLOAT_EQ(area.RA, 35.0f); // R is shown only

    for (int i = 0; i < 16; ++i)
        area.R[i] = 20 + i;
    area.PLANE = FaceNone; // the stale +2.0 must go
    area.ANGLE = -90;
    s = computeAreaStrength(area, member, *alg.cecs);
    EXPECT_FLOAT_EQ(area.reboundMean, 27.5f);
    std::sort(s.extremes, s.extremes + 3);
    std::sort(s.extremes + 3, s.extremes + 6);
    EXPECT_EQ(std::vector<int>(s.extremes, s.extremes + 6),
              (std::vector<int>{13, 14, 15, 0, 1, 2}));
    EXPECT_EQ(area.PLANEAM, 0.0f);
    EXPECT_FLOAT_EQ(area.ANGLEAM, 3.8f);

    area.reboundFlag = 1; // typed mean: kept, no extremes
    area.reboundMean = 40.0f;
    area.correctedVelocity = 20000.0f;
    s = computeAreaStrength(area, member, *alg.cecs);
    EXPECT_FALSE(s.extremesValid);
    EXPECT_FLOAT_EQ(s.correctedRebound, 43.0f);
    EXPECT_NEAR(area.FCUI / strength(9999.0, 43.0), 1.0, 1e-5);
}

TEST(AreaStrength, MemberCurveReachesTheConversion) {
    Algorithms alg;
    MemberInfo member;
    TestArea area;
    area.reboundFlag = 1;
    area.reboundMean = 40.0f;
    area.correctedVelocity = 4.0f;
    member.curve = CurvePebble;
    computeAreaStrength(area, member, *alg.cecs);
    EXPECT_NEAR(area.FCUI, 28.1, 0.05);
    member.curve = CurveCustom;
    member.A = 0.01f;
    member.B = 2.0f;
    member.C = 1.0f;
    area.ETA = 0.5f;
    computeAreaStrength(area, member, *alg.cecs);
    EXPECT_NEAR(area.FCUI, 0.5 * 0.01 * 16.0 * 40.0, 1e-4);
    member.curve = CurvePebble; // TB, pumped, carbonation 2.0: K = +3.0
    member.pumped = 1;
    area.ETA = 1.0f;
    area.CARBON = 2.0f;
    computeAreaStrength(area, member, *alg.tb);
    EXPECT_NEAR(area.FCUI, strength(4.0, 40.0, 1.0, {0.0038, 1.23, 1.95}) + 3.0, 1e-3);
}

TEST(Evaluation, MemberStatistics) {
    Algorithms alg;
    // Mean 30, s 3: squared deviations 4 * 4.5^2 = 81 over 9.
    auto areas = withFcui({34.5f, 25.5f, 34.5f, 25.5f, 30, 30, 30, 30, 30, 30});
    MemberEvaluation e = evaluateMember(areas, *alg.cecs);
    EXPECT_EQ(e.N, 10);
    EXPECT_FLOAT_EQ(e.Mf, 30.0f);
    EXPECT_FLOAT_EQ(e.Sf, 3.0f);
    EXPECT_FLOAT_EQ(e.Fmin, 25.5f);
    EXPECT_FLOAT_EQ(e.Fmax, 34.5f);
    EXPECT_FLOAT_EQ(e.Fcu, 25.065f);
    EXPECT_EQ(e.status, Valid);
    areas.pop_back(); // nine areas: the smallest
    EXPECT_FLOAT_EQ(evaluateMember(areas, *alg.cecs).Fcu, 25.5f);
    EXPECT_EQ(evaluateMember({}, *alg.cecs).status, NoData);
    EXPECT_EQ(evaluateMember(withFcui({8, 30}), *alg.cecs).status, Below10);
    EXPECT_EQ(evaluateMember(withFcui({72, 80}), *alg.cecs).status, Above70);
    e = evaluateMember(withFcui({31.0f, 28.5f, 35.2f}), *alg.tb);
    EXPECT_FLOAT_EQ(e.Fcu, 28.5f);
    EXPECT_EQ(e.status, Valid);
}

TEST(Evaluation, BatchPoolsAllMembers) {
    Algorithms alg;
    // Pooled {15, 25, 20}: mean 20, s 5 -> re-test under both standards.
    std::vector<AreaList> wide = {withFcui({15, 25}), withFcui({20})};
    BatchEvaluation b = evaluateBatch(wide, *alg.cecs);
    EXPECT_FLOAT_EQ(b.MF, 20.0f);
    EXPECT_FLOAT_EQ(b.SF, 5.0f);
    EXPECT_EQ(b.status, RetestMembers);
    EXPECT_EQ(b.FCUE, 0.0f);
    EXPECT_EQ(evaluateBatch(wide, *alg.tb).status, RetestMembers);
    // Mean exactly 50 with s 6 passes CECS; three values give the smallest.
    b = evaluateBatch({withFcui({44}), withFcui({56, 50}), {}}, *alg.cecs);
    EXPECT_EQ(b.status, Valid);
    EXPECT_FLOAT_EQ(b.FCUE, 44.0f);
    // TB: mean 30, s 5 -> 21.775; one member cannot form a batch.
    b = evaluateBatch({withFcui({25, 35}), withFcui({30})}, *alg.tb);
    EXPECT_FLOAT_EQ(b.FCUE, 21.775f);
    b = evaluateBatch({withFcui({25, 35, 30})}, *alg.tb);
    EXPECT_EQ(b.status, RetestMembers);
    EXPECT_FLOAT_EQ(b.MF, 30.0f);
    // CECS, ten pooled areas 30 … 39 from three members: m - 1.645 s with m = 34.5,
    // s = sqrt(82.5 / 9) = 3.027650, so 34.5 - 4.980484 = 29.519516 (nine values would give
    // their smallest, 30 or 31).
    b = evaluateBatch({withFcui({30, 31, 32}), withFcui({33, 34, 35, 36}), withFcui({37, 38, 39})},
                      *alg.cecs);
    EXPECT_EQ(b.status, Valid);
    EXPECT_NEAR(b.FCUE, 29.519516, 1e-4);
}
