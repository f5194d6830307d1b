// Tests of the waveform filter against hand values and an independent double-precision reference.
#include "sonic/filter.h"
#include "support/reference.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace tavolin;
using tavolin::testing::referenceLowPass;
using Samples = std::vector<uint16_t>;

namespace {

Samples sine(int n, float dT, double hz, double amplitude, double phase = 0) {
    Samples v(n);
    for (int i = 0; i < n; ++i)
        v[i] = static_cast<uint16_t>(
            std::lround(2048 + amplitude * std::sin(2 * M_PI * hz * i * dT * 1e-6 + phase)));
    return v;
}

int maxDeviation(const Samples& v, int from) {
    int m = 0;
    for (size_t i = from; i < v.size(); ++i)
        m = std::max(m, std::abs(v[i] - 2048));
    return m;
}

} // namespace

TEST(Filter, RoundHalfAwayFromZero) {
    const std::pair<float, float> cases[] = {
        {0.5f, 1},   {-0.5f, -1},           {2.5f, 3},
        {-2.5f, -3}, {1.4999999f, 1},       {0.49999997f, 0},
        {0.0f, 0},   {8388607.5f, 8388608}, {3.0e9f, 3.0e9f}}; // 0.49999997f + 0.5f is 1 in float
    for (const auto& [v, r] : cases)
        EXPECT_EQ(roundHalfAway(v), r) << v;
}

TEST(Filter, LeadInLength) {
    EXPECT_EQ(leadInLength(0.5f, true, false), 20);
    // 0.4f is 0.4000000059: 10 / it = 24.9999996, truncated to 24 (float division would give 25).
    EXPECT_EQ(leadInLength(0.4f, false, true), 24);
    EXPECT_EQ(leadInLength(0.1f, true, true), 32);
    EXPECT_EQ(leadInLength(2.0f, true, false), 8);
    EXPECT_EQ(leadInLength(0.5f, false, false), 0);
    EXPECT_EQ(leadInLength(0.0f, true, false), 32);
    EXPECT_EQ(leadInLength(NAN, true, false), 8);
}

TEST(Filter, InputReturnedOrRejected) {
    const Samples raw = {0, 1, 2048, 4095, 4096, 65535, 17, 3000, 1000, 2049};
    const int n = static_cast<int>(raw.size());
    EXPECT_EQ(filterWaveform(raw.data(), n, 0.5f, false, 20000, false, 50000), raw);
    // Neither filter has a meaning without a positive sample interval.
    EXPECT_EQ(filterWaveform(raw.data(), n, 0.0f, true, 20000, true, 50000), raw);
    EXPECT_EQ(filterWaveform(raw.data(), n, NAN, true, 20000, true, 50000), raw);
    EXPECT_TRUE(filterWaveform(raw.data(), 0, 0.5f, true, 20000, true, 50000).empty());
    EXPECT_TRUE(filterWaveform(nullptr, 10, 0.5f, true, 20000, true, 50000).empty());
    // Shorter than the lead-in trend window.
    EXPECT_EQ(filterWaveform(raw.data(), 1, 0.5f, true, 20000, true, 50000).size(), 1u);
}

TEST(Filter, LowPassKeepsDcAndAgreesWithReference) {
    const Samples dc(1024, 2548);
    EXPECT_EQ(filterWaveform(dc.data(), 1024, 0.5f, false, 20000, true, 50000), dc);
    for (float dT : {0.5f, 0.4f, 0.1f, 2.0f}) {
        for (double hz : {10000.0, 45000.0, 120000.0}) {
            SCOPED_TRACE(::testing::Message() << "dT " << dT << " sine " << hz);
            // A phase offset gives the start a trend, so the lead-in is a sloped line.
            const Samples raw = sine(1024, dT, hz, 1500, 0.7);
            const Samples out = filterWaveform(raw.data(), 1024, dT, false, 20000, true, 50000);
            const Samples ref = referenceLowPass(raw, dT, 50000);
            ASSERT_EQ(out.size(), ref.size());
            for (size_t i = 0; i < out.size(); ++i)
                ASSERT_LE(std::abs(out[i] - ref[i]), 1) << "sample " << i;
        }
    }
}

TEST(Filter, HighPass) {
    for (int level : {3048, 1048, 4095}) { // DC is removed once the start has settled
        const Samples raw(1024, static_cast<uint16_t>(level));
        const Samples out = filterWaveform(raw.data(), 1024, 0.5f, true, 20000, false, 0);
        EXPECT_LE(maxDeviation(out, 100), 1) << level;
    }
    // Cut-off 20 kHz at dT 0.5 us. 1 kHz: |H| ~ (1/20)^2 = 0.0025; 200 kHz: |H| ~ 1.
    const Samples low = sine(4096, 0.5f, 1000, 1000);
    EXPECT_LE(maxDeviation(filterWaveform(low.data(), 4096, 0.5f, true, 20000, false, 0), 400), 10);
    const Samples high = sine(1024, 0.5f, 200000, 1000);
    const int passed =
        maxDeviation(filterWaveform(high.data(), 1024, 0.5f, true, 20000, false, 0), 100);
    EXPECT_GE(passed, 985);
    EXPECT_LE(passed, 1010);
    // dT 50 us: Nyquist 10 kHz, so a 15 kHz high-pass removes everything.
    const Samples slow = sine(256, 50.0f, 1000, 1000);
    EXPECT_EQ(filterWaveform(slow.data(), 256, 50.0f, true, 15000, false, 0), Samples(256, 2048));
}

TEST(Filter, OutputRangeLimits) {
    // A full-scale step down through the high-pass overshoots below -2048: stored as 0.
    Samples down(512, 4095);
    std::fill(down.begin() + 256, down.end(), 0);
    EXPECT_EQ(filterWaveform(down.data(), 512, 0.5f, true, 20000, false, 0)[256], 0);
    // A step up goes above 4095 without limiting: about 0.957 * 4095 + 2048.
    Samples up(512, 0);
    std::fill(up.begin() + 256, up.end(), 4095);
    const uint16_t top = filterWaveform(up.data(), 512, 0.5f, true, 20000, false, 0)[256];
    EXPECT_GT(top, 5900);
    EXPECT_LT(top, 6200);
    // The low-pass overshoots a full 16-bit step by about 4 %: saturated, never wrapped round.
    Samples huge(512, 0);
    std::fill(huge.begin() + 256, huge.end(), 65535);
    const Samples out = filterWaveform(huge.data(), 512, 0.5f, false, 0, true, 50000);
    EXPECT_EQ(*std::max_element(out.begin(), out.end()), 65535);
    EXPECT_GT(*std::min_element(out.begin() + 300, out.end()), 60000);
}

TEST(Filter, BothFiltersTogetherPassTheBandBetweenTheirCutOffs) {
    // High-pass 20 kHz (pre-warped, so its cut-off is exact) after low-pass 50 kHz (bilinear
    // without pre-warping, so its cut-off sits at the digital frequency whose analog twin is
    // 50 kHz), dT 0.5 us, fs = 2 MHz. At a digital frequency f, with t = tan(pi f / fs):
    //   |H_low|  = 1 / sqrt(1 + (fs t / pi / 50000)^4)
    //   |H_high| = 1 / sqrt(1 + (tan(pi 20000 / fs) / t)^4)
    // worked out in double: 1 kHz 1.000 * 0.0025 = 0.0025; 32 kHz 0.9252 * 0.9316 = 0.8619;
    // 300 kHz 0.0238 * 1.000 = 0.0238. The amplitude 1000 comes out as 2.5, 861.9 and 23.8.
    const struct {
        double hz;
        int expected, tolerance;
    } cases[] = {{1000, 2, 2}, {32000, 862, 4}, {300000, 24, 2}};
    for (const auto& c : cases) {
        const Samples raw = sine(4096, 0.5f, c.hz, 1000);
        const Samples out = filterWaveform(raw.data(), 4096, 0.5f, true, 20000, true, 50000);
        EXPECT_NEAR(maxDeviation(out, 400), c.expected, c.tolerance) << c.hz << " Hz";
    }
}
