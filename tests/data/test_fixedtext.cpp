// Fixed-point texts agree with printf in the C locale for every value a file or form writes.
#include "data/fixedtext.h"

#include <cfloat>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <gtest/gtest.h>
#include <random>
#include <string>

using tavolin::fixedText;

namespace {

std::string ours(double v, int precision) {
    char buf[400];
    return std::string(buf, fixedText(v, precision, buf));
}

std::string printfs(double v, int precision) {
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.*f", precision, v);
    return buf;
}

} // namespace

TEST(FixedText, TiesAndSignsAsPrintf) {
    for (int p = 0; p <= 4; ++p)
        for (double v : {0.0, -0.0, 0.5, 1.5, 2.5, -2.5, 0.125, 0.375, 1.05, 2.675, 9.995, -0.04,
                         -0.00001, 35.0, 409.6, 0.0162, 1.656, 1e11, -123456.789})
            EXPECT_EQ(ours(static_cast<float>(v), p), printfs(static_cast<float>(v), p))
                << v << " %." << p << "f";
}

TEST(FixedText, RandomFloatsAsPrintf) {
    std::mt19937 rng(11);
    std::uniform_int_distribution<int> exponent(-20, 40);
    for (int i = 0; i < 300000; ++i) {
        const float v = std::ldexp(static_cast<float>(rng()) / 4294967296.0f, exponent(rng)) *
                        (rng() % 2 ? -1.0f : 1.0f);
        const int p = static_cast<int>(rng() % 5);
        ASSERT_EQ(ours(v, p), printfs(v, p)) << v << " %." << p << "f";
    }
}

TEST(FixedText, OutsideTheFastCaseStillExact) {
    for (double v : {double(FLT_MAX), double(-FLT_MAX), 1e13, 0.1, 1.0 / 3.0})
        for (int p : {0, 1, 2, 5, 8})
            EXPECT_EQ(ours(v, p), printfs(v, p)) << v << " %." << p << "f";
    EXPECT_EQ(ours(NAN, 1), "nan");
    EXPECT_EQ(ours(-INFINITY, 1), "-inf");
}
