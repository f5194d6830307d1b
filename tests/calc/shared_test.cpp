// Statistics, rebound reduction, extreme marks, dispatch, factory and curve defaults.
#include "calc/algorithm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace tavolin;
using V = std::vector<int>;

namespace {
struct Shared : ::testing::Test {
    CorrectionTables tables;
    Algorithm_CECS02_2005 algo{tables};
    float rm = -1;
    V marks(const V& r) {
        int e[6] = {-1, -1, -1, -1, -1, -1};
        rm = algo.SelectExtremes(r.data(), e);
        return V(e, e + 6);
    }
};
V readings(int first, int step) {
    V r(16);
    for (int i = 0; i < 16; ++i)
        r[i] = first + step * i;
    return r;
}
} // namespace

TEST_F(Shared, ReboundMeanAndExtremes) {
    EXPECT_EQ(marks(V(16, 33)), (V{0, 1, 2, 3, 4, 5}));
    EXPECT_EQ(rm, 33.0f);
    EXPECT_EQ(marks(readings(20, 1)), (V{14, 13, 15, 2, 1, 0}));
    EXPECT_FLOAT_EQ(rm, 27.5f);
    EXPECT_EQ(marks(readings(35, -1)), (V{0, 1, 2, 15, 13, 14}));
    EXPECT_FLOAT_EQ(rm, 27.5f);
    EXPECT_EQ(algo.CalcReboundMean(readings(20, 1).data(), 15), 0.0f);
    // Equal readings never displace each other.
    V tie(16, 30);
    tie[10] = 40, tie[12] = 20;
    EXPECT_EQ(marks(tie), (V{10, 1, 2, 12, 4, 5}));
    EXPECT_EQ(rm, 30.0f);
    V tie6(16, 30);
    tie6[4] = 20, tie6[5] = 40;
    EXPECT_EQ(marks(tie6), (V{5, 1, 2, 3, 0, 4}));
    // Traced by hand: the first six (38 41 39 36 39 41) are ordered by swapping whenever a
    // later slot holds a strictly greater value, which leaves position 4, not 2, among the
    // high 39s; then 6, 7 and 9 displace the low set's largest values.
    EXPECT_EQ(marks(V{38, 41, 39, 36, 39, 41, 38, 36, 38, 34, 37, 39, 39, 39, 39, 38}),
              (V{1, 5, 4, 7, 9, 3}));
    EXPECT_FLOAT_EQ(rm, 38.4f);
}

TEST_F(Shared, MinMaxMeanStdDev) {
    const float v[] = {31.0f, 28.5f, 35.2f}, two[] = {10, 20}, bad[] = {NAN, 5, 3};
    EXPECT_EQ(algo.GetMin(v, 3), 28.5f);
    EXPECT_EQ(algo.GetMax(v, 3), 35.2f);
    EXPECT_NEAR(algo.GetMean(v, 3), 94.7 / 3, 1e-5);
    EXPECT_EQ(algo.GetMin(v, 0), 0.0f);
    EXPECT_EQ(algo.GetMax(v, -1), 0.0f);
    EXPECT_EQ(algo.GetMean(v, 0), 0.0f);
    EXPECT_NEAR(algo.GetStdDev(two, 2), std::sqrt(50.0), 1e-5); // 7.071
    EXPECT_EQ(algo.GetStdDev(two, 1), 0.0f);
    // Equal values whose float sums leave S - n*m*m just below zero.
    const float same[] = {13.7f, 13.7f, 13.7f, 13.7f, 13.7f};
    EXPECT_EQ(algo.GetStdDev(same, 5), 0.0f);
    EXPECT_EQ(algo.GetMin(bad, 3), 3.0f);
    EXPECT_EQ(algo.GetMax(bad, 3), 5.0f);
    EXPECT_EQ(algo.GetMean(bad, 3), 0.0f);
    EXPECT_EQ(algo.GetStdDev(bad, 3), 0.0f);

    const float g0[] = {10}, g2[] = {20};
    const float* groups[] = {g0, nullptr, g2};
    const int counts[] = {1, 0, 1};
    EXPECT_FLOAT_EQ(algo.GetGroupMean(groups, counts, 3), 15.0f);
    EXPECT_NEAR(algo.GetGroupStdDev(groups, counts, 3), std::sqrt(50.0), 1e-5);
    EXPECT_EQ(algo.GetGroupMean(groups, counts, 0), 0.0f);
}

namespace {
// A standard that redefines statistics: the estimates and group operations must follow it.
struct Shifted : Algorithm_CECS02_2005 {
    using Algorithm_CECS02_2005::Algorithm_CECS02_2005;
    float GetMean(const float[], int) override { return 40.0f; }
    float GetMin(const float[], int) override { return 33.0f; }
    float CalcReboundMean(const int[], int) override { return -1.0f; }
};
struct TbMin : Algorithm_TB10426_2004 {
    using Algorithm_TB10426_2004::Algorithm_TB10426_2004;
    float GetMin(const float[], int) override { return 7.0f; }
};
} // namespace

TEST_F(Shared, OperationsCallThroughTheVirtualInterface) {
    Shifted s(tables);
    TbMin tb(tables);
    const float v[] = {12, 14, 16};
    const float* groups[] = {v};
    const int counts[] = {3};
    EstimateStatus st = NoData;
    EXPECT_EQ(s.EstimateMember(v, 3, &st), 33.0f);
    EXPECT_EQ(st, Valid);
    EXPECT_EQ(s.GetGroupMean(groups, counts, 1), 40.0f);
    int r[16] = {}, e[6];
    EXPECT_EQ(s.SelectExtremes(r, e), -1.0f);
    EXPECT_EQ(tb.EstimateMember(v, 3, &st), 7.0f);
}

TEST(Base, InterfaceDefaultsAndFactory) {
    CorrectionTables t;
    CAlgorithm base(t);
    const float L[3] = {300, 300, 300};
    EXPECT_EQ(base.CalcVelocity(L, L), 0.0f);
    EXPECT_EQ(base.CorrectVelocity(4, 1, 1, 1, 1), 0.0f);
    EXPECT_EQ(base.GetAngleCorrection(30, 90), 0.0f);
    EXPECT_EQ(base.GetPlaneCorrection(30, 1), 0.0f);
    EXPECT_EQ(base.CalcStrength(4, 40, 1, 0, 0, 0, 0, 0, 0, 1), 0.1f);
    EXPECT_NE(dynamic_cast<Algorithm_CECS02_2005*>(makeAlgorithm(0, t).get()), nullptr);
    EXPECT_NE(dynamic_cast<Algorithm_TB10426_2004*>(makeAlgorithm(1, t).get()), nullptr);
    EXPECT_EQ(makeAlgorithm(2, t), nullptr);
    EXPECT_EQ(makeAlgorithm(-1, t), nullptr);
}

TEST(Curves, DefaultsAndRecognition) {
    using F = std::vector<float>;
    const F pebble0{0.0056f, 1.439f, 1.769f}, crushed0{0.0162f, 1.656f, 1.41f};
    const F pebble1{0.0038f, 1.23f, 1.95f}, crushed1{0.008f, 1.72f, 1.57f};
    auto get = [](int standard, int curve) {
        F f{-1, -1, -1};
        return curveCoefficients(standard, curve, f[0], f[1], f[2]) ? f : F{};
    };
    EXPECT_EQ(get(0, 1), pebble0);
    EXPECT_EQ(get(0, 2), crushed0);
    EXPECT_EQ(get(1, 1), pebble1);
    EXPECT_EQ(get(1, 2), crushed1);
    EXPECT_EQ(get(1, 0), F{});
    EXPECT_EQ(get(2, 1), F{});
    auto curve = [](const F& f) { return curveFromCoefficients(f[0], f[1], f[2]); };
    EXPECT_EQ(curve(pebble0), 1);
    EXPECT_EQ(curve(pebble1), 1);
    EXPECT_EQ(curve(crushed0), 2);
    EXPECT_EQ(curve(crushed1), 2);
    EXPECT_EQ(curve({0.0038f, 1.72f, 1.57f}), 2); // the former TB crushed-stone triple
    EXPECT_EQ(curve({0, 0, 0}), 2);
    EXPECT_EQ(curve({0.0162f, 1.656f, 1.5f}), 0);
    EXPECT_EQ(curve({0.0038f, 1.23f, 1.57f}), 0);
}
