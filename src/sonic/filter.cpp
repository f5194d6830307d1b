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

// Second-order Butterworth low-pass, bilinear transform without pre-warping. Outputs 0 and 1 are
// the inputs; the recursion runs on the unrounded outputs.
struct LowPass {
    bool on = false;
    float a1 = 0, a2 = 0, b = 0;
    float x1 = 0, x2 = 0, y1 = 0, y2 = 0; // inputs and unrounded outputs i-1, i-2

    LowPass(bool enabled, float dT, float fc) {
        // A cut-off that is not a positive frequency has no meaningful filter: the data stay.
        if (!enabled || !usableInterval(dT) || !(fc > 0.0f) || !std::isfinite(fc))
            return;
        const float fs = static_cast<float>(1.0 / (static_cast<double>(dT) * 1e-6));
        const float fc2 = fc * fc;
        const float d = kPi2 * fc2 + fs * fs + kSqrt2Pi * fs * fc;
        // Only absurd intervals and cut-offs leave single precision; a filter built on them is
        // garbage, so the data stay.
        if (!(d > 0.0f) || !std::isfinite(d))
            return;
        a1 = (2.0f * fs * fs - kTwoPi2 * fc2) / d;
        a2 = (kPi2 * fc2 + fs * fs - kSqrt2Pi * fs * fc) / d;
        b = kPi2 * fc2 / d;
        on = std::isfinite(a1) && std::isfinite(a2) && std::isfinite(b);
    }
    void start(float x0, float xOne) {
        x2 = y2 = x0;
        x1 = y1 = xOne;
    }
    float step(float x) {
        const float y = a1 * y1 - a2 * y2 + b * (x + 2.0f * x1 + x2);
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return roundHalfAway(y);
    }
};

// Second-order Butterworth high-pass, bilinear transform with pre-warping; coefficients in double,
// every output kept as a 32-bit float.
struct HighPass {
    enum Mode { Off, Zero, On } mode = Off;
    double a1 = 0, a2 = 0, b = 0;
    double x1 = 0, x2 = 0, y1 = 0, y2 = 0;

    HighPass(bool enabled, float dT, float highHz) {
        if (!enabled || !usableInterval(dT) || !std::isfinite(highHz))
            return;
        const double fc = std::trunc(static_cast<double>(highHz));
        if (fc <= 0.0) // a zero cut-off passes everything
            return;
        const double arg = 3.14159265 * fc * (static_cast<double>(dT) * 1e-6);
        if (!(arg < 1.5707963267948966)) {
            // At or above the Nyquist frequency the pre-warped tangent wraps round and the
            // recursion turns unstable; such a high-pass removes all a sampled signal holds.
            mode = Zero;
            return;
        }
        const double w = std::tan(arg);
        const double d = 1.0 + 1.41421356 * w + w * w;
        b = 1.0 / d;
        a1 = (2.0 - 2.0 * w * w) / d;
        a2 = (1.0 - 1.41421356 * w + w * w) / d;
        mode = On;
    }
    // Outputs 0 and 1 start the recursion as the filter was designed, from the inputs alone.
    void start(float& x0, float& xOne) {
        x2 = x0;
        x1 = xOne;
        y2 = static_cast<float>(b * x2);
        y1 = static_cast<float>(b * (x1 - 2.0 * x2) + a1 * x2);
        x0 = roundHalfAway(static_cast<float>(y2));
        xOne = roundHalfAway(static_cast<float>(y1));
    }
    float step(float x) {
        const float y = static_cast<float>(a1 * y1 - a2 * y2 + b * (x - 2.0 * x1 + x2));
        x2 = x1;
        x1 = x;
        y2 = y1;
        y1 = y;
        return roundHalfAway(y);
    }
};

// Low-pass then high-pass over the work array in place, in one pass so that the two recursions
// overlap in the processor instead of running one after the other.
void runFilters(float* x, int len, LowPass lp, HighPass hp) {
    if (hp.mode == HighPass::Zero) {
        for (int i = 0; i < len; ++i)
            x[i] = 0.0f;
        return;
    }
    if (len < 2) {
        if (len == 1 && hp.mode == HighPass::On) {
            float unused = 0;
            hp.start(x[0], unused);
        }
        return;
    }
    if (lp.on)
        lp.start(x[0], x[1]);
    if (hp.mode == HighPass::On)
        hp.start(x[0], x[1]);
    if (lp.on && hp.mode == HighPass::On) {
        for (int i = 2; i < len; ++i)
            x[i] = hp.step(lp.step(x[i]));
    } else if (lp.on) {
        for (int i = 2; i < len; ++i)
            x[i] = lp.step(x[i]);
    } else if (hp.mode == HighPass::On) {
        for (int i = 2; i < len; ++i)
            x[i] = hp.step(x[i]);
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
    // From 2^23 on every float is whole; this also passes NaN and infinities through.
    if (!(std::fabs(v) < 8388608.0f))
        return v;
    // v +- 0.5 is exact in double (it is not in float: 0.49999997f + 0.5f rounds to 1), and
    // truncating it rounds half away from zero. Branch-free, as the filter calls it per sample.
    const double shifted = static_cast<double>(v) + std::copysign(0.5, static_cast<double>(v));
    return static_cast<float>(static_cast<int>(shifted));
}

int leadInLength(float dT, bool highOn, bool lowOn) {
    if (!highOn && !lowOn)
        return 0;
    if (dT == 0.0f) // no interval at all: as many samples as can be
        return 32;
    // In double: 10 / 0.4f is 24.9999996 and must give 24, which float division would round to 25.
    const double q = 10.0 / static_cast<double>(dT);
    if (!(q > 8.0)) // also a negative or undefined interval
        return 8;
    if (q >= 32.0)
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

    runFilters(work.data(), n + p, LowPass(lowOn, dT, lowHz), HighPass(highOn, dT, highHz));

    std::vector<uint16_t> out(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i)
        out[i] = toSample(x[i]);
    return out;
}

} // namespace tavolin
