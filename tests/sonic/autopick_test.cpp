// The first-arrival picker on pulses whose start is known from their generator, on waveforms
// that must not break it, and the textbook AIC on a variance step.
#include "sonic/autopick.h"
#include "support/jobbuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace tavolin;
using tavolin::testing::Pulse;
using tavolin::testing::pulseWaveform;

namespace {

// Index of the extremum of half-cycle k (0 = the first) of a noiseless pulse, from the
// generator's formula in double precision: the sample of largest |envelope * sine| in it.
int halfCycleExtremum(const Pulse& p, int k) {
    const double period = 1000.0 / (p.kHz * p.dT), rise = p.rise * period;
    int best = -1;
    double bestV = -1;
    for (int i = 0; i < p.datLen; ++i) {
        const double t = i - p.onset;
        if (t <= k * period / 2 || t >= (k + 1) * period / 2)
            continue;
        const double env = t < rise ? t / rise : std::exp(-(t - rise) / (3 * period));
        const double v = std::fabs(env * std::sin(2 * M_PI * t / period));
        if (v > bestV) {
            bestV = v;
            best = i;
        }
    }
    return best;
}

ArrivalSuggestion pick(const std::vector<uint16_t>& s) {
    return suggestArrival(s.data(), static_cast<int>(s.size()));
}

} // namespace

TEST(AutoPick, KnownOnsetsWithinTwoSamplesAndConfident) {
    // Peak over noise deviation gives the signal-to-noise ratio named in each comment.
    const struct Case {
        const char* what;
        Pulse p;
    } cases[] = {
        {"clean, 40 dB", {.onset = 300.0, .peak = 800, .noise = 8}},
        {"30 dB, offset and drift",
         {.onset = 180.3,
          .kHz = 40,
          .rise = 0.75,
          .peak = 600,
          .noise = 19,
          .offset = 120,
          .driftPerSample = 0.05,
          .seed = 2}},
        {"20 dB, inverted, fast rise",
         {.onset = 450.6,
          .kHz = 60,
          .rise = 0.25,
          .peak = 500,
          .noise = 50,
          .offset = -80,
          .polarity = -1,
          .seed = 3}},
        {"clipped at both rails, 30 dB of the unclipped peak",
         {.onset = 250.0, .kHz = 45, .peak = 4000, .noise = 126, .seed = 4}},
        {"constant pre-trigger (no noise)", {.onset = 120.0, .kHz = 55, .rise = 0.4, .noise = 0}},
        {"first half-cycle near the trace start", {.onset = 20.0, .peak = 900, .noise = 5}},
        {"sampled at 0.2 us", {.dT = 0.2, .onset = 520.2, .peak = 700, .noise = 20, .seed = 5}},
    };
    for (const Case& c : cases) {
        const ArrivalSuggestion s = pick(pulseWaveform(c.p));
        EXPECT_LE(std::fabs(s.index - c.p.onset), 2.0) << c.what << ": index " << s.index;
        EXPECT_GE(s.confidence, kConfidentPick) << c.what;
    }
}

TEST(AutoPick, AmplitudeIsTheFirstHalfCycleAfterThePick) {
    const Pulse p{.onset = 300.0, .kHz = 50, .rise = 0.5, .peak = 800, .noise = 0};
    const std::vector<uint16_t> s = pulseWaveform(p);
    const int n = static_cast<int>(s.size());
    const int first = halfCycleExtremum(p, 0), third = halfCycleExtremum(p, 2);
    EXPECT_EQ(pick(s).ampIndex, first);
    // A pick in the noise before the pulse, or at its start, shows the first half-cycle; a pick
    // at the start of the third half-cycle (300 + 2 * 25) shows that one.
    EXPECT_EQ(firstHalfCycleIndex(s.data(), n, 100), first);
    EXPECT_EQ(firstHalfCycleIndex(s.data(), n, 301), first);
    EXPECT_EQ(firstHalfCycleIndex(s.data(), n, 350), third);
    // Without a pulse (flat, or noise of deviation 40 codes) the pick's own sample; without
    // samples nothing.
    const std::vector<uint16_t> noise = pulseWaveform({.peak = 0.001, .noise = 40});
    EXPECT_EQ(firstHalfCycleIndex(noise.data(), 1024, 500), 500);
    const std::vector<uint16_t> flat(1024, 2048);
    EXPECT_EQ(firstHalfCycleIndex(flat.data(), 1024, 77), 77);
    EXPECT_EQ(firstHalfCycleIndex(flat.data(), 1024, 5000), 1023);
    EXPECT_EQ(firstHalfCycleIndex(nullptr, 0, 3), -1);
}

TEST(AutoPick, WaveformsThatMustNotBreakIt) {
    std::vector<uint16_t> noise(1024);
    uint32_t seed = 7;
    for (uint16_t& v : noise) {
        seed = seed * 1664525u + 1013904223u;
        v = static_cast<uint16_t>(2048 + static_cast<int>(seed >> 22) % 201 - 100);
    }
    const std::vector<uint16_t> pulse = pulseWaveform({.onset = 300.0});
    const struct Case {
        const char* what;
        std::vector<uint16_t> s;
        bool none; // no suggestion at all (index -1); else any index, but not confident
    } cases[] = {
        {"no samples", {}, true},
        {"ten samples", std::vector<uint16_t>(pulse.begin() + 300, pulse.begin() + 310), true},
        {"shorter than the minimum",
         std::vector<uint16_t>(pulse.begin() + 290, pulse.begin() + 353), true},
        {"constant at the zero line", std::vector<uint16_t>(1024, 2048), true},
        {"stuck at the upper rail", std::vector<uint16_t>(1024, 4095), true},
        {"noise only", noise, false},
        // Nothing before it shows a quiet trace: a baseline error could pass for a half-cycle.
        {"pulse 8 samples after the start", pulseWaveform({.onset = 8.0, .noise = 5}), false},
    };
    for (const Case& c : cases) {
        const ArrivalSuggestion s = pick(c.s);
        if (c.none) {
            EXPECT_EQ(s.index, -1) << c.what;
        }
        EXPECT_LT(s.confidence, kConfidentPick) << c.what;
        EXPECT_LT(s.index, static_cast<int>(c.s.size())) << c.what;
        EXPECT_LT(s.ampIndex, static_cast<int>(c.s.size())) << c.what;
    }
    EXPECT_EQ(suggestArrival(nullptr, 1024).index, -1);

    // A pulse that dies within a period leaves one crossing to measure the carrier by, so its
    // half-period only roughly: a suggestion near its start all the same, for a human to confirm.
    const Pulse brief{.onset = 300.0, .rise = 0.25, .decay = 0.3, .noise = 25};
    const ArrivalSuggestion s = pick(pulseWaveform(brief));
    EXPECT_LE(std::fabs(s.index - brief.onset), 5.0) << "index " << s.index;
    EXPECT_LT(s.confidence, kConfidentPick);
}

TEST(AutoPick, TextbookAicFindsAVarianceStep) {
    // Deviation 5 codes before sample 400, 60 after: the two-segment AIC minimum is the step.
    std::vector<uint16_t> s(1024);
    uint32_t seed = 11;
    for (int i = 0; i < 1024; ++i) {
        seed = seed * 1664525u + 1013904223u;
        const double u = (seed >> 8) / double(1 << 24) - 0.5; // uniform, deviation 0.289
        s[static_cast<size_t>(i)] = static_cast<uint16_t>(2048 + u * (i < 400 ? 17.3 : 208));
    }
    EXPECT_NEAR(aicPick(s.data(), 1024), 400, 3);
    EXPECT_EQ(aicPick(s.data(), 3), -1);
}
