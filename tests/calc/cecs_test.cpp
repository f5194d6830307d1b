// CECS 02:2005: velocity, lookups, strength conversion and estimates.
#include "calc/algorithm.h"
#include "estimate_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <utility>

using namespace tavolin;
using tavolin::testing::R;

namespace {
struct Cecs : tavolin::testing::AlgorithmTest<Algorithm_CECS02_2005> {};
} // namespace

TEST_F(Cecs, Velocity) {
    const float L[3] = {300, 300, 300}, T[3] = {75, 75, 75}, T0[3] = {75, 0, 75};
    const float L2[3] = {300, 310, 290}, T2[3] = {75, 80, 70}, Lnan[3] = {NAN, 300, 300};
    EXPECT_NEAR(algo.CalcVelocity(L, T), 4.000, 1e-6);
    EXPECT_NEAR(algo.CalcVelocity(L2, T2), (4.0 + 3.875 + 290.0 / 70) / 3, 1e-6); // 4.006
    EXPECT_EQ(algo.CalcVelocity(L, T0), 0.0f);
    EXPECT_EQ(algo.CalcVelocity(Lnan, T), 0.0f);
    EXPECT_NEAR(algo.CorrectVelocity(4.0f, 0, 0, 1.0f, 1.034f), 4.136, 1e-5);
}

TEST_F(Cecs, RowAndColumnSelection) {
    const struct {
        float Rm;
        int angle;
        float value;
    } cases[] = {{24.9f, 90, -6.0f}, {25.0f, 90, -5.5f}, {57, 90, -3.5f}, {12, 90, -6.0f},
                 {30, 0, 0.0f},      {30, 50, -3.5f},    {30, -50, 2.5f}, {30, 10, -2.5f},
                 {30, -10, 2.0f},    {30, 60, -4.0f},    {30, -60, 3.0f}, {30, -90, 3.5f}};
    for (const auto& c : cases)
        EXPECT_EQ(algo.GetAngleCorrection(c.Rm, c.angle), c.value) << c.Rm << " " << c.angle;
    EXPECT_EQ(algo.GetPlaneCorrection(44.9f, 1), 0.5f);
    EXPECT_EQ(algo.GetPlaneCorrection(45.0f, 2), -0.5f);
    EXPECT_EQ(algo.GetPlaneCorrection(45.0f, 0), 0.0f);
    EXPECT_EQ(algo.GetPlaneCorrection(20, -1), 0.0f);
    // Edits of the document's tables apply at the next lookup.
    tables.AngleCecs[2][2] = -9.9f, tables.PlaneCecs[2][0] = 7.0f;
    EXPECT_EQ(algo.GetAngleCorrection(31.2f, 45), -9.9f);
    EXPECT_EQ(algo.GetPlaneCorrection(31.2f, 1), 7.0f);
}

TEST_F(Cecs, Strength) {
    const double crushed = 0.0162 * std::pow(4.0, 1.656) * std::pow(40.0, 1.41); // 29.2
    const double pebble = 0.0056 * std::pow(4.0, 1.439) * std::pow(40.0, 1.769); // 28.1
    EXPECT_NEAR(algo.CalcStrength(4, 40, 0, 9, 9, 9, 0, 0, 0, 1), crushed, 1e-4);
    EXPECT_NEAR(algo.CalcStrength(4, 40, 1, 9, 9, 9, 0, 0, 0, 1), pebble, 1e-4);
    EXPECT_NEAR(algo.CalcStrength(4, 40, 0, 0.0162f, 1.656f, 1.41f, 1, 0, 0, 1), crushed, 1e-4);
    EXPECT_EQ(algo.CalcStrength(4, 40, 0, 0, 1.656f, 1.41f, 1, 0, 0, 1), 0.0f);
    // eta scales; pumped and carbonation are ignored.
    EXPECT_NEAR(algo.CalcStrength(4, 40, 0, 0, 0, 0, 0, 1, 2.0f, 1.5f), 1.5 * crushed, 2e-4);
    EXPECT_EQ(algo.CalcStrength(0, 40, 0, 0, 0, 0, 0, 0, 0, 1), 0.0f);
    EXPECT_EQ(algo.CalcStrength(4, 0, 0, 0, 0, 0, 0, 0, 0, 1), 0.0f);
    EXPECT_EQ(algo.CalcStrength(NAN, 40, 0, 0, 0, 0, 0, 0, 0, 1), 0.0f);
    EXPECT_EQ(algo.CalcStrength(4, INFINITY, 0, 0, 0, 0, 0, 0, 0, 1), 0.0f);
}

TEST_F(Cecs, MemberEstimate) {
    const float a[] = {12, 14, 16}, b[] = {8, 30}, c[] = {72, 80}, d[] = {5, 75}, e[] = {50, 75};
    const struct {
        const float* v;
        int n;
        float r;
        EstimateStatus st;
    } cases[] = {{a, 3, 12, Valid},  {b, 2, 0, Below10}, {c, 2, 72, Above70},
                 {d, 2, 5, Below10}, {e, 2, 50, Valid},  {a, 0, 0, NoData}};
    for (const auto& k : cases)
        EXPECT_EQ(member(k.v, k.n), R(k.r, k.st)) << k.v[0];
    // Ten values, mean 30, standard deviation 3: 30 - 1.645 * 3.
    const float ten[] = {25.5f, 25.5f, 26, 31.5f, 31.5f, 32, 32, 32, 32, 32};
    EXPECT_NEAR(algo.EstimateMember(ten, 10, &st), 25.065, 1e-4);
    // An estimate below 10 is still returned.
    const float wide[] = {10, 10, 10, 10, 10, 30, 30, 30, 30, 30};
    EXPECT_NEAR(algo.EstimateMember(wide, 10, &st), 20 - 1.645 * std::sqrt(1000.0 / 9), 1e-4);
    EXPECT_EQ(st, Below10);
}

TEST_F(Cecs, BatchSpreadLimitsAreStrict) {
    EXPECT_EQ(batch(15, 25, 20), R(0.0f, RetestMembers));          // m 20, s 5
    EXPECT_EQ(batch(19.5f, 29.5f, 24.5f), R(0.0f, RetestMembers)); // m 24.5, s 5
    EXPECT_EQ(batch(20, 30, 25), R(20.0f, Valid)); // m 25.0 is judged by the 5.5 limit
    EXPECT_EQ(batch(44, 56, 50), R(44.0f, Valid)); // m 50, s 6
    EXPECT_EQ(batch(43, 57, 50), R(43.0f, Valid)); // m 50.0 meets none of the limits
    EXPECT_EQ(batch(43.5f, 57.5f, 50.5f), R(0.0f, RetestMembers)); // m 50.5, s 7
    EXPECT_EQ(pooled(nullptr, nullptr, 0), R(0.0f, NoData));
}
