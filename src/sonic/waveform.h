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

} // namespace tavolin
