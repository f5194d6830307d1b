// Tests of the waveform filter against hand values and an independent double-precision reference.
#include "sonic/filter.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <vector>

using namespace tavolin;

namespace {

const double kPi = 3.14159265358979323846;

std::vector<uint16_t> sine(int n, float dT, double hz, double amplitude, double offset = 2048,
                           double phase = 0) {
    std::vector<uint16_t> v(n);
    for (int i = 0; i < n; ++i)
        v[i] = static_cast<uint16_t>(
            std::lround(offset + amplitude * std::sin(2 * kPi * hz * i * dT * 1e-6 + phase)));
    return v;
}

int maxDeviation(const std::vector<uint16_t>& v, int from) {
    int m = 0;
    for (size_t i = from; i < v.size(); ++i)
        m = std::max(m, std::abs(static_cast<int>(v[i]) - 2048));
    return m;
}

// Textbook bilinear low-pass: H(s) = wc^2 / (s^2 + sqrt(2) wc s + wc^2), s = 2 fs (z-1)/(z+1), in
// double, preceded by a straight lead-in fitted to the first samples and started at rest on it.
std::vector<uint16_t> referenceLowPass(const std::vector<uint16_t>& raw, float dT, double fc) {
    const int n = static_cast<int>(raw.size());
    const int lead = std::clamp(static_cast<int>(10.0 / dT), 8, 32);
    const int p = 4 * lead;
    std::vector<double> x;
    // Slope of the start by centred least squares.
    double mi = (lead - 1) / 2.0, mx = 0;
    for (int i = 0; i < lead; ++i)
        mx += (raw[i] - 2048.0) / lead;
    double sxy = 0, sxx = 0;
    for (int i = 0; i < lead; ++i) {
        sxy += (i - mi) * (raw[i] - 2048.0 - mx);
        sxx += (i - mi) * (i - mi);
    }
    double r = sxy / sxx;
    r = std::clamp(r, -2047.0 / p, 2048.0 / p); // start within -2048 .. 2047 of x[0]
    const double x0 = raw[0] - 2048.0;
    for (int k = 0; k < p; ++k)
        x.push_back(std::round(x0 - r * (p - k)));
    for (int i = 0; i < n; ++i)
        x.push_back(raw[i] - 2048.0);

    const double k2 = 2.0 / (dT * 1e-6), wc = 2 * kPi * fc;
    const double den = k2 * k2 + std::sqrt(2.0) * wc * k2 + wc * wc;
    const double b0 = wc * wc / den, b1 = 2 * b0, b2 = b0;
    const double a1 = (2 * wc * wc - 2 * k2 * k2) / den;
    const double a2 = (k2 * k2 - std::sqrt(2.0) * wc * k2 + wc * wc) / den;
    std::vector<double> y(x.size());
    y[0] = x[0];
    y[1] = x[1];
    for (size_t i = 2; i < x.size(); ++i)
        y[i] = b0 * x[i] + b1 * x[i - 1] + b2 * x[i - 2] - a1 * y[i - 1] - a2 * y[i - 2];
    std::vector<uint16_t> out(n);
    for (int i = 0; i < n; ++i)
        out[i] = static_cast<uint16_t>(std::max(std::round(y[p + i]), -2048.0) + 2048);
    return out;
}

} // namespace

TEST(Filter, RoundHalfAwayFromZero) {
    EXPECT_EQ(roundHalfAway(0.5f), 1.0f);
    EXPECT_EQ(roundHalfAway(-0.5f), -1.0f);
    EXPECT_EQ(roundHalfAway(2.5f), 3.0f);
    EXPECT_EQ(roundHalfAway(-2.5f), -3.0f);
    EXPECT_EQ(roundHalfAway(1.4999999f), 1.0f);
    EXPECT_EQ(roundHalfAway(0.49999997f), 0.0f); // float v + 0.5f would round this up to 1
    EXPECT_EQ(roundHalfAway(-0.49999997f), 0.0f);
    EXPECT_EQ(roundHalfAway(0.0f), 0.0f);
    EXPECT_EQ(roundHalfAway(8388607.5f), 8388608.0f);
    EXPECT_EQ(roundHalfAway(-8388607.5f), -8388608.0f);
    EXPECT_EQ(roundHalfAway(3.0e9f), 3.0e9f); // beyond the int range, already whole
    EXPECT_TRUE(std::isnan(roundHalfAway(NAN)));
}

TEST(Filter, LeadInLength) {
    EXPECT_EQ(leadInLength(0.5f, true, false), 20);
    // 0.4f is 0.4000000059: 10 / it = 24.9999996, truncated to 24 (float division would give 25).
    EXPECT_EQ(leadInLength(0.4f, false, true), 24);
    EXPECT_EQ(leadInLength(0.1f, true, true), 32);
    EXPECT_EQ(leadInLength(2.0f, true, false), 8);
    EXPECT_EQ(leadInLength(0.5f, false, false), 0);
    EXPECT_EQ(leadInLength(0.0f, true, false), 32);
    EXPECT_EQ(leadInLength(-1.0f, true, false), 8);
    EXPECT_EQ(leadInLength(NAN, true, false), 8);
}

TEST(Filter, BothOffOrNoIntervalReturnsTheInput) {
    const std::vector<uint16_t> raw = {0, 1, 2048, 4095, 4096, 65535, 17, 3000, 1000, 2049};
    const int n = static_cast<int>(raw.size());
    EXPECT_EQ(filterWaveform(raw.data(), n, 0.5f, false, 20000, false, 50000), raw);
    // Neither filter has a meaning without a positive sample interval.
    EXPECT_EQ(filterWaveform(raw.data(), n, 0.0f, true, 20000, true, 50000), raw);
    EXPECT_EQ(filterWaveform(raw.data(), n, NAN, true, 20000, true, 50000), raw);
    EXPECT_EQ(filterWaveform(raw.data(), n, -0.5f, true, 20000, true, 50000), raw);
    EXPECT_TRUE(filterWaveform(raw.data(), 0, 0.5f, true, 20000, true, 50000).empty());
    EXPECT_TRUE(filterWaveform(raw.data(), -4, 0.5f, true, 20000, true, 50000).empty());
    EXPECT_TRUE(filterWaveform(nullptr, 10, 0.5f, true, 20000, true, 50000).empty());
    // Shorter than the lead-in trend window.
    EXPECT_EQ(filterWaveform(raw.data(), 3, 0.5f, true, 20000, true, 50000).size(), 3u);
    EXPECT_EQ(filterWaveform(raw.data(), 1, 0.5f, true, 20000, true, 50000).size(), 1u);
}

TEST(Filter, LowPassKeepsDc) {
    const std::vector<uint16_t> raw(1024, 2548);
    const auto out = filterWaveform(raw.data(), 1024, 0.5f, false, 20000, true, 50000);
    EXPECT_EQ(out, raw);
}

TEST(Filter, LowPassAgreesWithReference) {
    for (float dT : {0.5f, 0.4f, 0.1f, 2.0f}) {
        for (double hz : {10000.0, 45000.0, 120000.0}) {
            SCOPED_TRACE(testing::Message() << "dT " << dT << " sine " << hz);
            // A phase offset gives the start a trend, so the lead-in is a sloped line.
            const auto raw = sine(1024, dT, hz, 1500, 2048, 0.7);
            const auto out = filterWaveform(raw.data(), 1024, dT, false, 20000, true, 50000);
            const auto ref = referenceLowPass(raw, dT, 50000);
            ASSERT_EQ(out.size(), ref.size());
            for (size_t i = 0; i < out.size(); ++i)
                ASSERT_LE(std::abs(out[i] - ref[i]), 1) << "sample " << i;
        }
    }
}

TEST(Filter, LowPassAttenuatesAboveCutOff) {
    // 400 kHz at fs 2 MHz maps to tan(0.2 pi) * fs / pi = 462 kHz: gain 1/sqrt(1+(462/50)^4) =
    // 0.012.
    const auto raw = sine(1024, 0.5f, 400000, 1000);
    const auto out = filterWaveform(raw.data(), 1024, 0.5f, false, 20000, true, 50000);
    EXPECT_LE(maxDeviation(out, 50), 16);
    EXPECT_GE(maxDeviation(out, 50), 8);
}

TEST(Filter, HighPassRemovesDc) {
    for (int level : {3048, 1048, 4095}) {
        const std::vector<uint16_t> raw(1024, static_cast<uint16_t>(level));
        const auto out = filterWaveform(raw.data(), 1024, 0.5f, true, 20000, false, 50000);
        EXPECT_LE(maxDeviation(out, 100), 1) << level;
    }
}

TEST(Filter, HighPassSeparatesFrequencies) {
    // Cut-off 20 kHz at dT 0.5 us. 1 kHz: |H| ~ (1/20)^2 = 0.0025; 200 kHz: |H| ~ 1.
    const auto low = sine(4096, 0.5f, 1000, 1000);
    const auto outLow = filterWaveform(low.data(), 4096, 0.5f, true, 20000, false, 50000);
    EXPECT_LE(maxDeviation(outLow, 400), 10);

    const auto high = sine(1024, 0.5f, 200000, 1000);
    const auto outHigh = filterWaveform(high.data(), 1024, 0.5f, true, 20000, false, 50000);
    EXPECT_GE(maxDeviation(outHigh, 100), 985);
    EXPECT_LE(maxDeviation(outHigh, 100), 1010);
}

TEST(Filter, HighPassAboveNyquistLeavesTheZeroLine) {
    // dT 50 us: fs 20 kHz, Nyquist 10 kHz; a 15 kHz high-pass removes everything.
    const auto raw = sine(256, 50.0f, 1000, 1000);
    const auto out = filterWaveform(raw.data(), 256, 50.0f, true, 15000, false, 0);
    EXPECT_EQ(out, std::vector<uint16_t>(256, 2048));
}

TEST(Filter, OutputRangeLimits) {
    // A full-scale step down through the high-pass overshoots below -2048: stored as 0.
    std::vector<uint16_t> down(512, 4095);
    std::fill(down.begin() + 256, down.end(), 0);
    const auto outDown = filterWaveform(down.data(), 512, 0.5f, true, 20000, false, 0);
    EXPECT_EQ(outDown[256], 0);
    EXPECT_EQ(*std::min_element(outDown.begin(), outDown.end()), 0);

    // A step up goes above 4095 without limiting ...
    std::vector<uint16_t> up(512, 0);
    std::fill(up.begin() + 256, up.end(), 4095);
    const auto outUp = filterWaveform(up.data(), 512, 0.5f, true, 20000, false, 0);
    EXPECT_GT(outUp[256], 5900); // about 0.957 * 4095 + 2048
    EXPECT_LT(outUp[256], 6200);

    // ... but saturates at the top of the 16-bit range instead of wrapping round: the low-pass
    // step response overshoots a full 16-bit step by about 4 %.
    std::vector<uint16_t> huge(512, 0);
    std::fill(huge.begin() + 256, huge.end(), 65535);
    const auto outHuge = filterWaveform(huge.data(), 512, 0.5f, false, 0, true, 50000);
    EXPECT_EQ(*std::max_element(outHuge.begin(), outHuge.end()), 65535);
    EXPECT_GT(*std::min_element(outHuge.begin() + 300, outHuge.end()), 60000);
}

TEST(Filter, AbsurdCutOffsDoNotBreak) {
    const auto raw = sine(1024, 0.5f, 30000, 1000);
    for (float hz : {0.0f, -5.0f, NAN, INFINITY, 1e30f}) {
        const auto lp = filterWaveform(raw.data(), 1024, 0.5f, false, 0, true, hz);
        ASSERT_EQ(lp.size(), 1024u);
        const auto hp = filterWaveform(raw.data(), 1024, 0.5f, true, hz, false, 0);
        ASSERT_EQ(hp.size(), 1024u);
    }
    // A zero high-pass cut-off passes everything.
    const auto hp0 = filterWaveform(raw.data(), 1024, 0.5f, true, 0.0f, false, 0);
    EXPECT_EQ(hp0, raw);
}
