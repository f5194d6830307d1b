// Eta from specimens, the curve fit and the range test, against answers worked out by hand or
// built into the data.
#include "calc/calibration.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tavolin;

TEST(CoreCorrection, FourSpecimensByHand) {
    // ratios 22/20 = 1.1, 24/25 = 0.96, 33/30 = 1.1, 42/40 = 1.05; mean 4.21 / 4 = 1.0525 -> 1.05
    const auto c = correctionFromCores({{20, 22}, {25, 24}, {30, 33}, {40, 42}});
    ASSERT_TRUE(c);
    EXPECT_EQ(c->n, 4);
    const std::vector<double> ratios{1.1, 0.96, 1.1, 1.05};
    ASSERT_EQ(c->ratios.size(), 4u);
    for (size_t i = 0; i < 4; ++i)
        EXPECT_NEAR(c->ratios[i], ratios[i], 1e-12);
    EXPECT_NEAR(c->meanRatio, 1.0525, 1e-12);
    EXPECT_EQ(c->eta, 1.05f);
}

TEST(CoreCorrection, RoundsToHundredthsAndRefusesBadSets) {
    // ratios 0.9, 0.95, 0.92, 0.94, 0.92: mean 4.63 / 5 = 0.926 -> 0.93
    const auto c = correctionFromCores({{10, 9}, {20, 19}, {25, 23}, {50, 47}, {25, 23}});
    ASSERT_TRUE(c);
    EXPECT_EQ(c->eta, 0.93f);
    EXPECT_FALSE(correctionFromCores({{20, 22}, {25, 24}, {30, 33}}));
    EXPECT_FALSE(correctionFromCores({{20, 22}, {0, 24}, {30, 33}, {40, 42}}));
    EXPECT_FALSE(correctionFromCores({{20, 22}, {-5, 24}, {30, 33}, {40, 42}}));
}

namespace {

// Specimens exactly on fcu = a v^b R^c over a grid in which v and R vary independently.
std::vector<CurveSpecimen> onCurve(double a, double b, double c) {
    std::vector<CurveSpecimen> out;
    for (double v : {3.4, 3.9, 4.3, 4.8})
        for (double R : {24.0, 31.5, 38.0, 46.5})
            out.push_back({v, R, a * std::pow(v, b) * std::pow(R, c)});
    return out;
}

} // namespace

TEST(CurveFit, GivesBackTheCurveOfExactData) {
    const struct {
        double a, b, c;
    } cases[] = {
        {0.0162, 1.656, 1.41}, {0.0056, 1.439, 1.769}, {0.0038, 1.72, 1.57}, {2.5, 0.35, 0.9}};
    for (const auto& k : cases) {
        CurveFit fit;
        ASSERT_EQ(fitCurve(onCurve(k.a, k.b, k.c), fit), FitFailure::None);
        EXPECT_EQ(fit.n, 16);
        EXPECT_NEAR(fit.a / k.a, 1.0, 1e-10) << k.a;
        EXPECT_NEAR(fit.b, k.b, 1e-10);
        EXPECT_NEAR(fit.c, k.c, 1e-10);
        EXPECT_NEAR(fit.delta, 0.0, 1e-8);
        EXPECT_NEAR(fit.er, 0.0, 1e-8);
        EXPECT_EQ(fit.vRange, (std::array<double, 2>{3.4, 4.8}));
        EXPECT_EQ(fit.rRange, (std::array<double, 2>{24.0, 46.5}));
    }
}

TEST(CurveFit, SymmetricScatterKeepsTheCurveAndGivesTheErrorsByHand) {
    // Each of four points twice, once times e^0.1 and once times e^-0.1: the mean of ln f at
    // each point stays on the curve, so least squares returns it. Then
    // e = e^0.1 - 1 = 0.1051709181 and e^-0.1 - 1 = -0.0951625820;
    // delta = (0.1051709181 + 0.0951625820) / 2 = 10.016675 %;
    // er = sqrt(4 * (0.1051709181^2 + 0.0951625820^2) / 7) = sqrt(0.0804673560 / 7) = 10.72163 %.
    const double a = 0.0162, b = 1.656, c = 1.41;
    std::vector<CurveSpecimen> s;
    const double points[4][2] = {{3.5, 25}, {4.5, 30}, {3.8, 44}, {4.6, 40}};
    for (const auto& p : points)
        for (double k : {0.1, -0.1})
            s.push_back({p[0], p[1], a * std::pow(p[0], b) * std::pow(p[1], c) * std::exp(k)});
    CurveFit fit;
    ASSERT_EQ(fitCurve(s, fit), FitFailure::None);
    EXPECT_NEAR(fit.a / a, 1.0, 1e-10);
    EXPECT_NEAR(fit.b, b, 1e-10);
    EXPECT_NEAR(fit.c, c, 1e-10);
    EXPECT_NEAR(fit.delta, 10.016675, 1e-5);
    EXPECT_NEAR(fit.er, 10.72163, 1e-5);
    EXPECT_NEAR(fit.fitted[0], a * std::pow(3.5, b) * std::pow(25.0, c), 1e-9);
}

TEST(CurveFit, RefusesWhatCannotBeFitted) {
    const std::vector<CurveSpecimen> good = onCurve(0.0162, 1.656, 1.41);
    const struct {
        const char* what;
        std::vector<CurveSpecimen> s;
        FitFailure expected;
    } cases[] = {
        {"three", {good[0], good[5], good[10]}, FitFailure::TooFew},
        {"zero f", {good[0], good[5], good[10], {4.0, 30.0, 0.0}}, FitFailure::NotPositive},
        {"negative v", {good[0], good[5], good[10], {-4.0, 30.0, 20.0}}, FitFailure::NotPositive},
        {"one v", {{4, 20, 10}, {4, 30, 20}, {4, 40, 30}, {4, 45, 35}}, FitFailure::Degenerate},
        {"one R", {{3, 30, 10}, {4, 30, 20}, {4.5, 30, 30}, {5, 30, 35}}, FitFailure::Degenerate},
        // R = v^2: ln R = 2 ln v, so only b + 2c could be found
        {"collinear",
         {{3, 9, 10}, {4, 16, 20}, {4.5, 20.25, 30}, {5, 25, 35}},
         FitFailure::Degenerate},
    };
    for (const auto& k : cases) {
        CurveFit fit;
        EXPECT_EQ(fitCurve(k.s, fit), k.expected) << k.what;
    }
}

TEST(CurveRange, MarksWhichValueIsOutside) {
    const CurveRanges r{{3.5, 4.6}, {25.0, 45.0}};
    const struct {
        float va, R;
        int flags;
    } cases[] = {
        {4.6f, 45.0f, InsideCurve},
        {3.5f, 25.0f, InsideCurve},
        {4.61f, 30.0f, VelocityOutside},
        {3.49f, 30.0f, VelocityOutside},
        {4.0f, 24.9f, ReboundOutside},
        {4.0f, 45.1f, ReboundOutside},
        {5.0f, 50.0f, VelocityOutside | ReboundOutside},
    };
    for (const auto& k : cases)
        EXPECT_EQ(outsideCurve(k.va, k.R, r), k.flags) << k.va << " " << k.R;
}
