// Tests of the waveform filter against hand values and an independent double-precision reference.
#include "sonic/filter.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace tavolin;
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

// Textbook bilinear low-pass H(s) = wc^2 / (s^2 + sqrt(2) wc s + wc^2), s = 2 fs (z-1)/(z+1), in
// double, behind a lead-in line fitted to the start by centred least squares.
Samples referenceLowPass(const Samples& raw, float dT, double fc) {
    const int lead = std::clamp(static_cast<int>(10.0 / dT), 8, 32), p = 4 * lead;
    double mx = 0, sxy = 0, sxx = 0;
    for (int i = 0; i < lead; ++i)
        mx += (raw[i] - 2048.0) / lead;
    for (int i = 0; i < lead; ++i) {
        sxy += (i - (lead - 1) / 2.0) * (raw[i] - 2048.0 - mx);
        sxx += (i - (lead - 1) / 2.0) * (i - (lead - 1) / 2.0);
    }
    const double r = std::clamp(sxy / sxx, -2047.0 / p, 2048.0 / p); // start within the range
    std::vector<double> x;
    for (int k = 0; k < p; ++k)
        x.push_back(std::round(raw[0] - 2048.0 - r * (p - k)));
    for (uint16_t s : raw)
        x.push_back(s - 2048.0);

    const double k2 = 2.0 / (dT * 1e-6), wc = 2 * M_PI * fc, q = std::sqrt(2.0) * wc * k2;
    const double den = k2 * k2 + q + wc * wc, b0 = wc * wc / den;
    const double a1 = (2 * wc * wc - 2 * k2 * k2) / den, a2 = (k2 * k2 - q + wc * wc) / den;
    std::vector<double> y(x);
    for (size_t i = 2; i < x.size(); ++i)
        y[i] = b0 * (x[i] + 2 * x[i - 1] + x[i - 2]) - a1 * y[i - 1] - a2 * y[i - 2];
    Samples out;
    for (size_t i = p; i < y.size(); ++i)
        out.push_back(static_cast<uint16_t>(std::max(std::round(y[i]), -2048.0) + 2048));
    return out;
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
            SCOPED_TRACE(testing::Message() << "dT " << dT << " sine " << hz);
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
