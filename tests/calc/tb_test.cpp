// TB 10426-2004: velocity, lookups, strength conversion with pumped correction, estimates.
#include "calc/algorithm.h"
#include "estimate_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

using namespace tavolin;
using tavolin::testing::R;

namespace {
struct Tb : tavolin::testing::AlgorithmTest<Algorithm_TB10426_2004> {
    // va^0 = 1 and R^1 = R: the strength before eta equals R.
    float plain(float rebound, int pumped, float carbon, float eta = 1) {
        return algo.CalcStrength(1, rebound, 0, 1, 0, 1, 1, pumped, carbon, eta);
    }
};
} // namespace

TEST_F(Tb, VelocityIsTotalLengthOverTotalTime) {
    const float L[3] = {300, 310, 290}, T[3] = {75, 80, 70}, T1[3] = {0, 80, 70}, T0[3] = {};
    EXPECT_NEAR(algo.CalcVelocity(L, T), 4.000, 1e-6);
    EXPECT_NEAR(algo.CalcVelocity(L, T1), 6.0, 1e-6);
    EXPECT_EQ(algo.CalcVelocity(L, T0), 0.0f);
    EXPECT_EQ(algo.CorrectVelocity(4.0f, 1, 0, 1.2f, 1.05f), 4.0f);
    EXPECT_NEAR(algo.CorrectVelocity(4.0f, 1, 1, 1.2f, 1.05f), 5.04, 1e-5);
}

TEST_F(Tb, RowIsTheNextWholeRebound) {
    const struct {
        float Rm;
        int angle;
        float value;
    } cases[] = {{19, 90, -6.0f},    {20, 90, -5.9f},    {29.5f, 90, -5.0f}, {30, 90, -4.9f},
                 {30.9f, 90, -4.9f}, {48.9f, 45, -2.6f}, {49.2f, 45, -2.5f}, {30, 0, 0.0f},
                 {30, -50, 2.5f},    {30, 10, -2.5f}};
    for (const auto& c : cases)
        EXPECT_EQ(algo.GetAngleCorrection(c.Rm, c.angle), c.value) << c.Rm << " " << c.angle;
    // Exactly the float of the printed decimal (row of Rm 31, 44, 41): a correction a few ulps
    // off moves the corrected rebound value and with it the converted strength.
    EXPECT_EQ(algo.GetPlaneCorrection(30.0f, 1), 1.4f);
    EXPECT_EQ(algo.GetPlaneCorrection(30.0f, 2), -1.9f);
    EXPECT_EQ(algo.GetPlaneCorrection(43.4f, 2), -0.6f);
    EXPECT_EQ(algo.GetPlaneCorrection(40.5f, 1), 0.4f);
    EXPECT_EQ(algo.GetPlaneCorrection(30.0f, 0), 0.0f);
    tables.AngleTb[11][3] = -9.9f;
    EXPECT_EQ(algo.GetAngleCorrection(30.5f, 30), -9.9f);
}

TEST_F(Tb, StrengthAndPumpedCorrection) {
    const double pebble = 0.0038 * std::pow(4.0, 1.23) * std::pow(40.0, 1.95); // 27.8
    // 0.008 * 10.853 * 327.52 = 28.4: in line with the other curves at the same v and R.
    const double crushed = 0.008 * std::pow(4.0, 1.72) * std::pow(40.0, 1.57);
    EXPECT_NEAR(algo.CalcStrength(4, 40, 1, 9, 9, 9, 0, 0, 0, 1), pebble, 1e-4);
    EXPECT_NEAR(algo.CalcStrength(4, 40, 0, 9, 9, 9, 0, 0, 0, 1), crushed, 1e-4);
    EXPECT_NEAR(algo.CalcStrength(4, 40, 1, 9, 9, 9, 0, 1, 0.5f, 1), pebble + 4.5, 1e-4);
    EXPECT_NEAR(algo.CalcStrength(4, 40, 1, 9, 9, 9, 0, 1, 1.0f, 1), pebble + 4.5, 1e-4);
    EXPECT_NEAR(algo.CalcStrength(4, 40, 1, 9, 9, 9, 0, 1, 2.0f, 1), pebble + 3.0, 1e-4);
    EXPECT_EQ(algo.CalcStrength(0, 40, 1, 9, 9, 9, 0, 1, 0.0f, 1), 4.5f);
    EXPECT_EQ(algo.CalcStrength(NAN, 40, 1, 9, 9, 9, 0, 0, 0.0f, 1), 0.0f);
    // Band boundaries of both carbonation groups.
    const struct {
        float R, carbon, eta, f;
    } cases[] = {{44.9f, 0, 1, 49.4f}, {45, 0, 1, 48},          {50, 1, 1, 51.5f},
                 {55, 0, 1, 55},       {34.9f, 1.5f, 1, 37.9f}, {35, 1.5f, 1, 36.5f},
                 {40, 2, 1, 40},       {90, 2, 1, 90},          {30, 0, 1.5f, 48}};
    for (const auto& c : cases)
        EXPECT_FLOAT_EQ(plain(c.R, 1, c.carbon, c.eta), c.f) << c.R << " " << c.carbon;
    EXPECT_EQ(plain(45, 0, 0), 45.0f);
    tables.PumpTb[0][1] = 10.0f;
    EXPECT_EQ(plain(45, 1, 0), 55.0f);
}

TEST_F(Tb, Estimates) {
    const float v[] = {31.0f, 28.5f, 35.2f};
    const float* one[] = {v};
    const int n3[] = {3};
    EXPECT_EQ(member(v, 3), R(28.5f, Valid));
    EXPECT_EQ(pooled(one, n3, 1), R(0.0f, RetestMembers));
    EXPECT_EQ(batch(15, 25, 20), R(0.0f, RetestMembers)); // m 20, s 5
    EXPECT_NEAR(batch(25, 35, 30).first, 21.775, 1e-4);   // m 30, s 5
    EXPECT_EQ(st, Valid);
    EXPECT_NEAR(batch(19, 31, 25).first, 25 - 1.645 * 6, 1e-4); // m 25.0 is never rejected
    EXPECT_EQ(st, Valid);
    EXPECT_EQ(batch(19.5f, 31.5f, 25.5f), R(0.0f, RetestMembers)); // m 25.5, s 6
    // m 5, s 4.08: the negative estimate falls back on the mean of the members' minima.
    const float a[] = {1, 9}, b[] = {2, 8};
    const float* groups[] = {a, b, nullptr};
    const int counts[] = {2, 2, 0}, none[] = {0, 0};
    EXPECT_EQ(pooled(groups, counts, 2), R(1.5f, Valid));
    EXPECT_EQ(pooled(groups, counts, 3), R(1.0f, Valid));
    EXPECT_EQ(pooled(groups, none, 2), R(0.0f, Valid));
}
