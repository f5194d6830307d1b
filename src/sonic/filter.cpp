// The digital low-pass / high-pass filter of a waveform, with a lead-in that hides the start-up.
#include "sonic/filter.h"

#include "sonic/waveform.h"

#include <climits>
#include <cmath>

namespace tavolin {

namespace {

// Low-pass cut-off pi constants, kept as the filter was tuned with them.
constexpr float kPi2 = 9.869604378534024f;
constexpr float kTwoPi2 = 19.73920875706805f;
constexpr float kSqrt2Pi = 4.442882925626334689f;

bool usableInterval(float dT) {
    return std::isfinite(dT) && dT > 0.0f;
}

// Least-squares slope of the first m samples against their index, in single precision.
float startTrend(const float* x, int m) {
    float si = 0, sx = 0, sii = 0, six = 0;
    for (int i = 0; i < m; ++i) {
        const float fi = static_cast<float>(i);
        si += fi;
        sx += x[i];
        sii += fi * fi;
        six += fi * x[i];
    }
    const float fm = static_cast<float>(m);
    const float den = fm * sii - si * si;
    if (std::fabs(den) <= 1e-6f)
        return 1e10f;
    return (fm * six - si * sx) / den;
}

// Second-order Butterworth low-pass, bilinear transform without pre-warping, in place.
void lowPass(float* x, int len, float dT, float fc) {
    // A cut-off that is not a positive frequency has no meaningful filter; leave the data alone.
    if (!usableInterval(dT) || !(fc > 0.0f) || !std::isfinite(fc) || len < 3)
        return;
    const float fs = static_cast<float>(1.0 / (static_cast<double>(dT) * 1e-6));
    const float fc2 = fc * fc;
    const float d = kPi2 * fc2 + fs * fs + kSqrt2Pi * fs * fc;
    const float a1 = (2.0f * fs * fs - kTwoPi2 * fc2) / d;
    const float a2 = (kPi2 * fc2 + fs * fs - kSqrt2Pi * fs * fc) / d;
    const float b = kPi2 * fc2 / d;
    // Only absurd intervals overflow single precision; a filter built from them would be garbage.
    if (!std::isfinite(a1) || !std::isfinite(a2) || !std::isfinite(b))
        return;
    float x2 = x[0], x1 = x[1]; // inputs i-2, i-1
    float y2 = x[0], y1 = x[1]; // unrounded outputs i-2, i-1
    for (int i = 2; i < len; ++i) {
        const float xi = x[i];
        const float y = a1 * y1 - a2 * y2 + b * (xi + 2.0f * x1 + x2);
        x[i] = roundHalfAway(y);
        x2 = x1;
        x1 = xi;
        y2 = y1;
        y1 = y;
    }
}

// Second-order Butterworth high-pass, bilinear transform with pre-warping, in place.
void highPass(float* x, int len, float dT, float highHz) {
    if (!usableInterval(dT) || !std::isfinite(highHz) || len < 1)
        return;
    const double fc = std::trunc(static_cast<double>(highHz));
    if (fc <= 0.0) // a zero cut-off passes everything
        return;
    const double arg = 3.14159265 * fc * (static_cast<double>(dT) * 1e-6);
    if (!(arg < 1.5707963267948966)) {
        // At or above the Nyquist frequency the pre-warped tangent wraps round and the recursion
        // turns unstable; such a high-pass removes all a sampled signal can hold.
        for (int i = 0; i < len; ++i)
            x[i] = 0.0f;
        return;
    }
    const double w = std::tan(arg);
    const double d = 1.0 + 1.41421356 * w + w * w;
    const double bb = 1.0 / d;
    const double a1 = (2.0 - 2.0 * w * w) / d;
    const double a2 = (1.0 - 1.41421356 * w + w * w) / d;

    const double x0 = x[0];
    const float y0 = static_cast<float>(bb * x0);
    x[0] = roundHalfAway(y0);
    if (len < 2)
        return;
    const double x1in = x[1];
    const float y1first = static_cast<float>(bb * (x1in - 2.0 * x0) + a1 * x0);
    x[1] = roundHalfAway(y1first);

    double xm2 = x0, xm1 = x1in;
    double ym2 = y0, ym1 = y1first;
    for (int i = 2; i < len; ++i) {
        const double xi = x[i];
        const float y = static_cast<float>(a1 * ym1 - a2 * ym2 + bb * (xi - 2.0 * xm1 + xm2));
        x[i] = roundHalfAway(y);
        xm2 = xm1;
        xm1 = xi;
        ym2 = ym1;
        ym1 = y;
    }
}

// Back to a stored sample: below -2048 is cut to 0; above the 16-bit range it saturates, because
// wrapping round would turn a large positive swing into a small or negative one.
uint16_t toSample(float v) {
    if (std::isnan(v))
        return static_cast<uint16_t>(kZeroLine);
    if (v < -2048.0f)
        v = -2048.0f;
    const float shifted = v + 2048.0f;
    if (shifted >= 65535.0f)
        return 65535;
    return static_cast<uint16_t>(shifted); // truncation toward zero, shifted >= 0
}

} // namespace

float roundHalfAway(float v) {
    // std::round is exact half-away rounding; floor(v + 0.5f) in float would lift 0.49999997 to 1.
    return std::round(v);
}

int leadInLength(float dT, bool highOn, bool lowOn) {
    if (!highOn && !lowOn)
        return 0;
    // In double: 10 / 0.4f is 24.9999996 and must give 24, which float division would round to 25.
    const double q = 10.0 / static_cast<double>(dT);
    if (!(q > 8.0)) // also a negative or undefined interval
        return 8;
    if (q >= 32.0) // also a zero interval
        return 32;
    return static_cast<int>(q);
}

std::vector<uint16_t> filterWaveform(const uint16_t* raw, int n, float dT, bool highOn,
                                     float highHz, bool lowOn, float lowHz) {
    if (raw == nullptr || n <= 0)
        return {};
    // The work array holds the lead-in too; keep its length inside the int range.
    if ((!highOn && !lowOn) || n > INT_MAX - 128)
        return std::vector<uint16_t>(raw, raw + n);

    const int lead = leadInLength(dT, highOn, lowOn);
    const int p = 4 * lead;
    std::vector<float> work(static_cast<size_t>(n) + static_cast<size_t>(p));
    float* x = work.data() + p;
    for (int i = 0; i < n; ++i)
        x[i] = static_cast<float>(static_cast<int>(raw[i]) - kZeroLine);

    // The lead-in continues the initial trend backwards so that the filters settle before the
    // first real sample; a waveform shorter than the trend window uses what it has.
    float r = startTrend(x, n < lead ? n : lead);
    const float pf = static_cast<float>(p);
    if (-pf * r > 2047.0f)
        r = -2047.0f / pf;
    else if (-pf * r < -2048.0f)
        r = 2048.0f / pf;
    const float g = roundHalfAway(x[0]);
    for (int k = 0; k < p; ++k)
        work[k] = roundHalfAway(g - r * static_cast<float>(p - k));

    const int len = n + p;
    if (lowOn)
        lowPass(work.data(), len, dT, lowHz);
    if (highOn)
        highPass(work.data(), len, dT, highHz);

    std::vector<uint16_t> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out[i] = toSample(x[i]);
    return out;
}

} // namespace tavolin
