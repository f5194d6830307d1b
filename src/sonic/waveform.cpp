// Waveform arithmetic: transit time, amplitude, picking, axis steps, zoom and pane coordinates.
#include "sonic/waveform.h"

#include <climits>
#include <cmath>
#include <cstdint>

namespace tavolin {

namespace {

// Shared reduction of the two step rules: the reduced value and the power of ten taken out.
// x is finite and above 1.
void reduce(float x, float& reduced, float& step) {
    const float factor = x <= 100.0f ? 10.0f : (x <= 1000.0f ? 100.0f : 1000.0f);
    reduced = x;
    step = 1.0f;
    while (reduced >= factor) {
        reduced /= factor;
        step *= factor;
    }
}

bool usableStepInput(float x) {
    return std::isfinite(x) && x > 1.0f;
}

} // namespace

float transitTime(int arrivalIndex, float dT, float delay) {
    return static_cast<float>(arrivalIndex) * dT + delay;
}

float sampleAmplitude(uint16_t sample, float gain) {
    // A zero (or undefined) gain would give an infinite amplitude that then travels into grids,
    // reports and result files; the amplitude is unknown, so it is reported as 0.
    if (gain == 0.0f || std::isnan(gain))
        return 0.0f;
    return static_cast<float>((static_cast<int>(sample) - kZeroLine) * 2) / 2048.0f / gain;
}

int nearestSample(float t, int datLen, float dT, float delay) {
    int best = -1;
    float bestDistance = 1000.0f;
    for (int i = 0; i < datLen; ++i) {
        const float d = std::fabs(t - (static_cast<float>(i) * dT + delay));
        if (d <= bestDistance) { // equal distances go to the later sample
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

AxisStep upwardStep(float x) {
    AxisStep r;
    if (!usableStepInput(x))
        return r;
    float reduced;
    reduce(x, reduced, r.step);
    r.value = (std::floor(reduced) + 1.0f) * r.step;
    return r;
}

AxisStep downwardStep(float x) {
    AxisStep r;
    if (!usableStepInput(x))
        return r;
    float reduced;
    reduce(x, reduced, r.step);
    r.value = std::floor(reduced) * r.step;
    return r;
}

float zoomFactor(int position) {
    if (position >= 100)
        return 0.01f;
    if (position <= 0)
        return 12.5f;
    const float rest = static_cast<float>(100 - position);
    if (position >= 70)
        return rest / 20.0f;
    if (position >= 40)
        return rest / 15.0f;
    if (position >= 10)
        return rest / 12.0f;
    if (position >= 5)
        return rest / 10.0f;
    return rest / 8.0f;
}

float peakMillivolts(int peak, float gain, float zoom) {
    // 64-bit so that no peak value can overflow the integer product.
    const int64_t mv = (static_cast<int64_t>(peak) - kZeroLine) * 2000 / 2048;
    float p = static_cast<float>(mv);
    if (gain > 0.0f)
        p /= gain;
    if (zoom == 0.0f || std::isnan(zoom))
        zoom = 0.01f;
    return p / zoom;
}

int amplitudeTickValue(float peakMv) {
    const AxisStep d = downwardStep(peakMv);
    const int64_t value = truncToInt(d.value);
    const int64_t step = truncToInt(d.step);
    if (step <= 0)
        return static_cast<int>(value);
    return static_cast<int>(value / step * step);
}

TickRange timeTicks(float delay, float tEnd) {
    const AxisStep end = upwardStep(tEnd);
    TickRange r; // empty by default
    r.step = end.step;
    const double first = std::floor(delay / end.step) + 1.0;
    double last = std::floor(end.value / end.step) - 1.0;
    // The cut never binds for a sound delay (last <= tEnd / step by construction); it only keeps
    // a negative delay with a tiny end from asking for ticks far right of the waveform.
    if (std::isfinite(tEnd))
        last = std::fmin(last, std::floor(tEnd / end.step) + 1.0);
    last = std::fmin(last, first + 999.0);
    // Indexes this far out are nonsense times; staying well inside the int range also keeps the
    // caller's loop counter from overflowing.
    if (!(first >= -1e9) || !(last <= 1e9) || !(last >= first))
        return r;
    r.first = truncToInt(first);
    r.last = truncToInt(last);
    return r;
}

int sampleY(uint16_t s, float zoom, int peak, int height, int offset, int yMin, int yMax) {
    const int64_t h = static_cast<int64_t>(height) - 10;
    const int64_t excursion = peak > kZeroLine ? static_cast<int64_t>(peak) - kZeroLine : 2047;
    const float scaled = static_cast<float>(kZeroLine - static_cast<int>(s)) * zoom *
                         static_cast<float>(h) / static_cast<float>(2 * excursion);
    float y = scaled + static_cast<float>(h / 2) + static_cast<float>(offset);
    if (std::isnan(y))
        y = static_cast<float>(h / 2 + offset);
    const double lo = yMin;
    const double hi = yMax < yMin ? yMin : yMax;
    return truncToInt(std::fmin(std::fmax(static_cast<double>(y), lo), hi));
}

int truncToInt(double v) {
    if (std::isnan(v))
        return 0;
    if (v >= static_cast<double>(INT_MAX))
        return INT_MAX;
    if (v <= static_cast<double>(INT_MIN))
        return INT_MIN;
    return static_cast<int>(v);
}

} // namespace tavolin
