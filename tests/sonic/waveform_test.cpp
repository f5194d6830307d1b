// Tests of the waveform arithmetic: picking, axis steps, zoom table, peak scale, pane coordinates.
#include "sonic/waveform.h"

#include <climits>
#include <cmath>
#include <gtest/gtest.h>
#include <utility>

using namespace tavolin;

TEST(PointValues, TransitTimeAndAmplitude) {
    EXPECT_FLOAT_EQ(transitTime(250, 0.4f, 5.0f), 105.0f);
    // (3072 - 2048) * 2 / 2048 = 1 V, halved by a gain of 2.
    EXPECT_FLOAT_EQ(sampleAmplitude(3072, 2.0f), 0.5f);
    EXPECT_FLOAT_EQ(sampleAmplitude(1024, 1.0f), -1.0f);
    // An unknown gain must not put an infinite or undefined amplitude into the record.
    EXPECT_EQ(sampleAmplitude(4095, 0.0f), 0.0f);
    EXPECT_EQ(sampleAmplitude(2048, 0.0f), 0.0f);
}

TEST(NearestSample, TiesEdgesAndMisses) {
    // Samples at 0, 0.5, 1.0, ...: 0.25 and 1.25 lie exactly between two; the later one wins.
    EXPECT_EQ(nearestSample(0.25f, 1024, 0.5f, 0.0f), 1);
    EXPECT_EQ(nearestSample(1.25f, 1024, 0.5f, 0.0f), 3);
    EXPECT_EQ(nearestSample(10.6f, 1024, 0.5f, 10.0f), 1); // sample i sits at i * dT + delay
    EXPECT_EQ(nearestSample(-3.0f, 1024, 0.4f, 0.0f), 0);  // left of the origin
    EXPECT_EQ(nearestSample(600.0f, 1024, 0.5f, 10.0f), 1023);
    EXPECT_EQ(nearestSample(1000.0f, 1, 0.5f, 0.0f), 0); // exactly 1000 us away still counts
    EXPECT_EQ(nearestSample(5000.0f, 100, 0.5f, 0.0f), -1);
    EXPECT_EQ(nearestSample(1.0f, 0, 0.5f, 0.0f), -1);
    EXPECT_EQ(nearestSample(NAN, 100, 0.5f, 0.0f), -1);
}

TEST(AxisSteps, TimeAxisTicks) {
    // dT 0.4, DatLen 1024, delay 0: t_end = 409.6 -> step 100, ticks 100 .. 400.
    const TickRange t = timeTicks(0.0f, 0.4f * 1024);
    EXPECT_EQ(t.first, 1);
    EXPECT_EQ(t.last, 4);
    EXPECT_FLOAT_EQ(t.step, 100.0f);
    // Delay 150: ticks from 200 (floor(1.5) + 1) to 500, below the rounded end 600.
    const TickRange d = timeTicks(150.0f, 0.4f * 1024 + 150.0f);
    EXPECT_EQ(d.first, 2);
    EXPECT_EQ(d.last, 5);
    const TickRange odd = timeTicks(-1.0e6f, 0.5f); // a nonsense delay must not stall drawing
    EXPECT_LE(odd.last - odd.first + 1, 1000);
    EXPECT_LT(timeTicks(NAN, 409.6f).last, timeTicks(NAN, 409.6f).first);
}

TEST(AxisSteps, BandBoundaries) {
    struct Case {
        float x, up, down, step;
    };
    const Case cases[] = {{5.5f, 6, 5, 1},
                          {10.0f, 20, 10, 10},
                          {99.9f, 100, 90, 10},
                          {100.0f, 200, 100, 100},
                          {734.0f, 800, 700, 100},
                          {409.6f, 500, 400, 100},
                          {1000.0f, 1100, 1000, 100},
                          {1001.0f, 2000, 1000, 1000},
                          {2.0e6f, 3.0e6f, 2.0e6f, 1.0e6f}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.x);
        EXPECT_FLOAT_EQ(upwardStep(c.x).value, c.up);
        EXPECT_FLOAT_EQ(downwardStep(c.x).value, c.down);
        EXPECT_FLOAT_EQ(downwardStep(c.x).step, c.step);
    }
    // x <= 1 and non-numbers give 1 with step 1 (an infinity must not loop forever).
    for (float x : {1.0f, 0.0f, -50.0f, NAN, INFINITY}) {
        EXPECT_EQ(upwardStep(x).value, 1.0f);
        EXPECT_EQ(downwardStep(x).step, 1.0f);
    }
}

TEST(Zoom, SliderTable) {
    const std::pair<int, float> table[] = {
        {100, 0.01f},     {99, 1.0f / 20},  {80, 1.0f},       {70, 30.0f / 20}, {69, 31.0f / 15},
        {40, 60.0f / 15}, {39, 61.0f / 12}, {10, 90.0f / 12}, {9, 91.0f / 10},  {5, 95.0f / 10},
        {4, 96.0f / 8},   {1, 99.0f / 8},   {0, 12.5f},       {-3, 12.5f},      {250, 0.01f}};
    for (const auto& [p, f] : table)
        EXPECT_FLOAT_EQ(zoomFactor(p), f) << "position " << p;
}

TEST(PeakScale, MillivoltsAndTickValue) {
    // (2800 - 2048) * 2000 / 2048 = 734.375, truncated to 734; tick value 700.
    EXPECT_FLOAT_EQ(peakMillivolts(2800, 0.0f, 1.0f), 734.0f);
    EXPECT_EQ(amplitudeTickValue(peakMillivolts(2800, 0.0f, 1.0f)), 700);
    EXPECT_FLOAT_EQ(peakMillivolts(2800, 2.0f, 1.0f), 367.0f);
    EXPECT_FLOAT_EQ(peakMillivolts(2800, -2.0f, 1.0f), 734.0f);  // only a positive gain divides
    EXPECT_FLOAT_EQ(peakMillivolts(2800, 1.0f, 0.0f), 73400.0f); // zoom 0 taken as 0.01
    EXPECT_FLOAT_EQ(peakMillivolts(2047, 0.0f, 1.0f), 0.0f);     // -0.98 truncates to 0, not -1
    EXPECT_EQ(amplitudeTickValue(-200.0f), 1);
    EXPECT_GT(amplitudeTickValue(3.0e38f), 0); // saturates, never wraps
}

TEST(PaneCoordinates, SampleY) {
    // Pane of height 100 (h = 90), offset 5, peak 3072, zoom 1: the peak reaches the top margin.
    EXPECT_EQ(sampleY(3072, 1.0f, 3072, 100, 5, 0, 99), 5);
    EXPECT_EQ(sampleY(2048, 1.0f, 3072, 100, 5, 0, 99), 50);
    EXPECT_EQ(sampleY(1024, 1.0f, 3072, 100, 5, 0, 99), 95);
    EXPECT_EQ(sampleY(0, 1.0f, 3072, 100, 5, 0, 99), 99); // 140 limited to the pane
    // No positive excursion: full converter scale, 2048 * 90 / 4094 = 45.02 below the middle.
    EXPECT_EQ(sampleY(0, 1.0f, 2048, 100, 5, 0, 99), 95);
    EXPECT_EQ(truncToInt(1e20), INT_MAX);
    EXPECT_EQ(truncToInt(-2.7), -2);
    EXPECT_EQ(truncToInt(NAN), 0);
}
