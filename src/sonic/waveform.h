// Waveform arithmetic: transit time, amplitude, nearest-sample picking, axis steps, zoom.
#pragma once

#include <cstdint>

namespace tavolin {

constexpr int kZeroLine = 2048;

// T = arrivalIndex * dT + delay as a 32-bit float.
float transitTime(int arrivalIndex, float dT, float delay);
// (sample - 2048) * 2 / 2048 / gain, in volts.
float sampleAmplitude(uint16_t sample, float gain);
// Index of the sample nearest to time t (sample i sits at i * dT + delay); best distance starts
// at 1000 us and ties go to the later index. Returns -1 when no sample is within 1000 us.
int nearestSample(float t, int datLen, float dT, float delay);

struct AxisStep {
    float value = 1; // the rounded value (upward or downward)
    float step = 1;  // the power of ten the value was reduced by
};
// Time axis: (floor(reduced) + 1) * step.
AxisStep upwardStep(float x);
// Amplitude axis: floor(reduced) * step.
AxisStep downwardStep(float x);

// Zoom factor of a slider position 0 (top) .. 100 (bottom); position 80 gives 1.0.
float zoomFactor(int position);

// mV of the peak for the amplitude axis: (peak - 2048) * 2000 / 2048 truncated, divided by the
// gain when it is above 0, then by the zoom factor (0 taken as 0.01).
float peakMillivolts(int peak, float gain, float zoom);

// Amplitude tick label value: (downward result / step) * step in integers, i.e. the leading digit
// times the step (P = 734 gives 700). Saturated to the int range.
int amplitudeTickValue(float peakMv);

// Time-axis ticks i * step for i = first .. last: first = floor(delay / step) + 1, last =
// (upward value of tEnd / step) - 1, where tEnd = DatLen * dT + delay. Ticks beyond tEnd are left
// out and at most 1000 are returned, so a nonsensical delay cannot stall the drawing.
struct TickRange {
    int first = 1;
    int last = 0; // empty when last < first
    float step = 1;
};
TickRange timeTicks(float delay, float tEnd);

// Pane y of working sample s: (2048 - s) * zoom * h / (2 * (peak - 2048)) + h / 2 + offset with
// h = height - 10 and h / 2 in integers, truncated and limited to yMin .. yMax. A peak not above
// 2048 (no positive excursion) scales by the converter's full range 2047 instead of dividing by
// zero or flipping the trace.
int sampleY(uint16_t s, float zoom, int peak, int height, int offset, int yMin, int yMax);

// Truncation toward zero saturated to the int range; NaN gives 0. For pixel coordinates computed
// in floating point, whose plain conversion would be undefined when out of range.
int truncToInt(double v);

} // namespace tavolin
