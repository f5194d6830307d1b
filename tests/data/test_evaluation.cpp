// Derived values of a test area, its strength in the fixed order, member and batch evaluation.
#include "data/evaluation.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

using namespace tavolin;

namespace {

struct Algorithms {
    CorrectionTables tables;
    std::unique_ptr<CAlgorithm> cecs = makeAlgorithm(0, tables);
    std::unique_ptr<CAlgorithm> tb = makeAlgorithm(1, tables);
};

TestPoint pointWithWave(int arrival, float L, uint16_t peak, int ampIndex, float gain) {
    TestPoint p;
    p.samples.assign(400, 2048);
    p.samples[ampIndex < 400 && ampIndex >= 0 ? ampIndex : 0] = peak;
    p.rawSamples = p.samples;
    p.arrivalIndex = arrival;
    p.ampIndex = ampIndex;
    p.Gain = gain;
    p.L = L;
    return p;
}

std::vector<TestArea> areasWith(std::initializer_list<float> strengths) {
    std::vector<TestArea> areas;
    for (float f : strengths) {
        TestArea a;
        a.FCUI = f;
        areas.push_back(a);
    }
    return areas;
}

// fcu = eta * A * va^B * R^C, the conversion formula of both standards' curves.
double curveStrength(double va, double R, double A, double B, double C, double eta = 1.0) {
    return eta * A * std::pow(va, B) * std::pow(R, C);
}

} // namespace

TEST(AreaDerived, PointTimesVelocitiesAndAmplitudes) {
    Algorithms alg;
    TestArea area;
    area.dT = 0.5f;
    area.Delay = 2.0f;
    // T = 100 * 0.5 + 2 = 52 us; 208 mm / 52 us = 4 km/s; (3072 - 2048) * 2 / 2048 / 2 = 0.5.
    area.points[0] = pointWithWave(100, 208.0f, 3072, 120, 2.0f);
    // T = 150 * 0.5 + 2 = 77 us; (1024 - 2048) * 2 / 2048 / 4 = -0.25.
    area.points[1] = pointWithWave(150, 154.0f, 1024, 10, 4.0f);
    area.points[2].L = 300.0f; // no waveform
    computePointValues(area);
    EXPECT_FLOAT_EQ(area.pointTime[0], 52.0f);
    EXPECT_FLOAT_EQ(area.pointVelocity[0], 4.0f);
    EXPECT_FLOAT_EQ(area.pointAmplitude[0], 0.5f);
    EXPECT_FLOAT_EQ(area.pointTime[1], 77.0f);
    EXPECT_FLOAT_EQ(area.pointVelocity[1], 2.0f);
    EXPECT_FLOAT_EQ(area.pointAmplitude[1], -0.25f);
    // Without a waveform: no time, and no division by it.
    EXPECT_EQ(area.pointTime[2], 0.0f);
    EXPECT_EQ(area.pointVelocity[2], 0.0f);
    EXPECT_EQ(area.pointAmplitude[2], 0.0f);
}

TEST(AreaDerived, AmplitudeCursorOutsideWaveOrZeroGainGivesZero) {
    TestArea area;
    area.dT = 0.5f;
    area.points[0] = pointWithWave(10, 100.0f, 4000, 399, 1.0f);
    area.points[0].ampIndex = 400; // one past the end
    area.points[1] = pointWithWave(10, 100.0f, 4000, 5, 1.0f);
    area.points[1].ampIndex = -1;
    area.points[2] = pointWithWave(10, 100.0f, 4000, 5, 0.0f);
    computePointValues(area);
    for (int j = 0; j < 3; ++j) {
        EXPECT_EQ(area.pointAmplitude[j], 0.0f) << j;
        EXPECT_TRUE(std::isfinite(area.pointAmplitude[j]));
    }
}

TEST(AreaDerived, VelocityAndCorrectedVelocityThroughTheAlgorithm) {
    Algorithms alg;
    TestArea area;
    area.dT = 0.5f;
    area.Delay = 0.0f;
    for (int j = 0; j < 3; ++j)
        area.points[j] = pointWithWave(150, 300.0f, 2048, 0, 1.0f); // T = 75 us
    area.BETA = 1.034f;
    area.LAMDA = 1.0f;
    computeAreaDerived(area, *alg.cecs);
    EXPECT_NEAR(area.velocity, 4.0f, 1e-6);
    EXPECT_NEAR(area.correctedVelocity, 4.136f, 1e-5);

    // No waveform anywhere: the velocities are 0, never infinite.
    TestArea empty;
    computeAreaDerived(empty, *alg.cecs);
    EXPECT_EQ(empty.velocity, 0.0f);
    EXPECT_EQ(empty.correctedVelocity, 0.0f);
    computeAreaDerived(empty, *alg.tb);
    EXPECT_EQ(empty.velocity, 0.0f);
}

TEST(AreaStrength, ComputedInTheFixedOrder) {
    Algorithms alg;
    MemberInfo member; // crushed stone
    TestArea area;
    area.R.fill(25); // Rm = 25.0
    area.ANGLE = 90;
    area.PLANE = FaceTop;
    area.correctedVelocity = 4.0f;
    area.ETA = 1.0f;
    AreaStrength s = computeAreaStrength(area, member, *alg.cecs);
    EXPECT_TRUE(s.extremesValid);
    EXPECT_FLOAT_EQ(area.reboundMean, 25.0f);
    EXPECT_FLOAT_EQ(area.ANGLEAM, -5.5f); // row 25, +90
    // Looked up with the uncorrected 25.0 (row 25: +2.0), not with 19.5 (row 20: +2.5).
    EXPECT_FLOAT_EQ(area.PLANEAM, 2.0f);
    EXPECT_FLOAT_EQ(s.correctedRebound, 21.5f);
    EXPECT_NEAR(area.FCUI, curveStrength(4.0, 21.5, 0.0162, 1.656, 1.41), 1e-4);
    EXPECT_FLOAT_EQ(area.RA, 35.0f); // R is shown only, never stored
}

TEST(AreaStrength, NoFaceGivesZeroCorrectionAndTypedMeanIsKept) {
    Algorithms alg;
    MemberInfo member;
    TestArea area;
    for (int i = 0; i < 16; ++i)
        area.R[i] = 20 + i; // Rm would be 27.5
    area.PLANE = FaceNone;
    area.PLANEAM = 7.0f; // stale value from an earlier face
    area.ANGLE = -90;
    area.correctedVelocity = 4.0f;
    AreaStrength s = computeAreaStrength(area, member, *alg.cecs);
    EXPECT_FLOAT_EQ(area.reboundMean, 27.5f);
    // The three highest and the three lowest positions, in whatever slot order.
    std::sort(s.extremes, s.extremes + 3);
    std::sort(s.extremes + 3, s.extremes + 6);
    const int expected[6] = {13, 14, 15, 0, 1, 2};
    for (int k = 0; k < 6; ++k)
        EXPECT_EQ(s.extremes[k], expected[k]);
    EXPECT_EQ(area.PLANEAM, 0.0f);
    EXPECT_FLOAT_EQ(area.ANGLEAM, 3.8f); // row 25, -90

    area.reboundFlag = 1;
    area.reboundMean = 40.0f;
    s = computeAreaStrength(area, member, *alg.cecs);
    EXPECT_FALSE(s.extremesValid);
    EXPECT_FLOAT_EQ(area.reboundMean, 40.0f);
    EXPECT_FLOAT_EQ(area.ANGLEAM, 3.0f); // row 40, -90
    EXPECT_FLOAT_EQ(s.correctedRebound, 43.0f);
}

TEST(AreaStrength, VelocityClampedAndCurvePassedOn) {
    Algorithms alg;
    MemberInfo member;
    TestArea area;
    area.reboundFlag = 1;
    area.reboundMean = 40.0f;
    area.correctedVelocity = 20000.0f;
    computeAreaStrength(area, member, *alg.cecs);
    const double clamped = curveStrength(9999.0, 40.0, 0.0162, 1.656, 1.41);
    EXPECT_NEAR(area.FCUI / clamped, 1.0, 1e-5);

    area.correctedVelocity = 4.0f;
    member.curve = CurvePebble;
    computeAreaStrength(area, member, *alg.cecs);
    EXPECT_NEAR(area.FCUI, curveStrength(4.0, 40.0, 0.0056, 1.439, 1.769), 1e-3);
    EXPECT_NEAR(area.FCUI, 28.1, 0.05);

    member.curve = CurveCustom;
    member.A = 0.0f;
    computeAreaStrength(area, member, *alg.cecs);
    EXPECT_EQ(area.FCUI, 0.0f);
    member.A = 0.01f;
    member.B = 2.0f;
    member.C = 1.0f;
    area.ETA = 0.5f;
    computeAreaStrength(area, member, *alg.cecs);
    EXPECT_NEAR(area.FCUI, 0.5 * 0.01 * 16.0 * 40.0, 1e-4);
}

TEST(AreaStrength, PumpedAndCarbonationReachTheTbConversion) {
    Algorithms alg;
    MemberInfo member;
    member.curve = CurvePebble;
    member.pumped = 1;
    TestArea area;
    area.reboundFlag = 1;
    area.reboundMean = 40.0f;
    area.correctedVelocity = 4.0f;
    area.CARBON = 2.0f;
    computeAreaStrength(area, member, *alg.tb);
    EXPECT_NEAR(area.FCUI, curveStrength(4.0, 40.0, 0.0038, 1.23, 1.95) + 3.0, 1e-3);
}

TEST(MemberEvaluation, TenValuesGiveMeanMinusSpread) {
    Algorithms alg;
    // Mean 30, sample standard deviation 3: squared deviations 4 * 4.5^2 = 81 over 9.
    auto areas = areasWith({34.5f, 25.5f, 34.5f, 25.5f, 30, 30, 30, 30, 30, 30});
    MemberEvaluation e = evaluateMember(areas, *alg.cecs);
    EXPECT_EQ(e.N, 10);
    EXPECT_FLOAT_EQ(e.Mf, 30.0f);
    EXPECT_FLOAT_EQ(e.Sf, 3.0f);
    EXPECT_FLOAT_EQ(e.Fmin, 25.5f);
    EXPECT_FLOAT_EQ(e.Fmax, 34.5f);
    EXPECT_FLOAT_EQ(e.Fcu, 25.065f);
    EXPECT_EQ(e.status, Valid);

    areas.pop_back(); // nine areas: the smallest
    e = evaluateMember(areas, *alg.cecs);
    EXPECT_FLOAT_EQ(e.Fcu, 25.5f);
    EXPECT_EQ(e.status, Valid);
}

TEST(MemberEvaluation, StatusesOfBothStandards) {
    Algorithms alg;
    MemberEvaluation e = evaluateMember({}, *alg.cecs);
    EXPECT_EQ(e.N, 0);
    EXPECT_EQ(e.status, NoData);
    EXPECT_EQ(e.Mf, 0.0f);
    EXPECT_EQ(e.Sf, 0.0f);
    e = evaluateMember({}, *alg.tb);
    EXPECT_EQ(e.status, Valid);
    EXPECT_EQ(e.Fcu, 0.0f);

    e = evaluateMember(areasWith({8, 30}), *alg.cecs);
    EXPECT_EQ(e.status, Below10);
    EXPECT_EQ(e.Fcu, 0.0f);
    e = evaluateMember(areasWith({72, 80}), *alg.cecs);
    EXPECT_EQ(e.status, Above70);
    EXPECT_FLOAT_EQ(e.Fcu, 72.0f);
    e = evaluateMember(areasWith({31.0f, 28.5f, 35.2f}), *alg.tb);
    EXPECT_EQ(e.status, Valid);
    EXPECT_FLOAT_EQ(e.Fcu, 28.5f);
    e = evaluateMember(areasWith({42.0f}), *alg.cecs);
    EXPECT_EQ(e.Sf, 0.0f);
}

TEST(BatchEvaluation, PooledOverAllMembers) {
    Algorithms alg;
    // Pooled {15, 25, 20}: mean 20, s 5 -> re-test under both standards.
    std::vector<std::vector<TestArea>> wide = {areasWith({15, 25}), areasWith({20})};
    BatchEvaluation b = evaluateBatch(wide, *alg.cecs);
    EXPECT_FLOAT_EQ(b.MF, 20.0f);
    EXPECT_FLOAT_EQ(b.SF, 5.0f);
    EXPECT_EQ(b.status, RetestMembers);
    EXPECT_EQ(b.FCUE, 0.0f);
    EXPECT_EQ(evaluateBatch(wide, *alg.tb).status, RetestMembers);

    // Mean exactly 50 with s 6 passes the CECS spread test; three values give the smallest.
    b = evaluateBatch({areasWith({44}), areasWith({56, 50})}, *alg.cecs);
    EXPECT_EQ(b.status, Valid);
    EXPECT_FLOAT_EQ(b.FCUE, 44.0f);

    // TB: mean 30, s 5 -> 30 - 1.645 * 5; a single member cannot form a batch.
    b = evaluateBatch({areasWith({25, 35}), areasWith({30})}, *alg.tb);
    EXPECT_EQ(b.status, Valid);
    EXPECT_FLOAT_EQ(b.FCUE, 21.775f);
    b = evaluateBatch({areasWith({25, 35, 30})}, *alg.tb);
    EXPECT_EQ(b.status, RetestMembers);
    EXPECT_FLOAT_EQ(b.MF, 30.0f); // still written for the result record

    // A member without areas contributes nothing to the pool.
    b = evaluateBatch({areasWith({}), areasWith({40, 42})}, *alg.cecs);
    EXPECT_FLOAT_EQ(b.MF, 41.0f);
}
