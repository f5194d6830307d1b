// First-arrival picker. A through-transmission pulse is a carrier under an envelope that rises
// over a fraction of a period: its first half-cycle starts near zero slope and is the weakest of
// the early ones, so every "where does it leave the noise" rule picks late. The carrier's zero
// crossings, however, do not move under a positive envelope: they sit on a grid t0 + k * H. The
// picker measures that grid where the pulse is strong, then walks back half-cycle by half-cycle,
// accepting each earlier half-cycle whose matched (half-sine) statistic stands out of the
// pre-trigger noise, and suggests the start of the earliest accepted half-cycle.
#include "sonic/autopick.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tavolin {

namespace {

// Centred moving average used as a first high-pass: wider than two periods of a 40 kHz carrier
// sampled at 0.4 us, so the carrier passes and offset and drift go.
constexpr int kTrendWidth = 127;
// A half-cycle is accepted when its matched statistic reaches this many noise deviations.
constexpr double kAccept = 3.0;
// Share of a half-cycle's statistic that leaks into its neighbour through a grid a fraction of
// a sample off, a baseline step at the onset or a noise level that rises with the pulse; added
// to the threshold, so a very strong first half-cycle does not make noise before it look real.
constexpr double kLeak = 0.01;
// The walk back stops after this many half-cycles before the strongest one.
constexpr int kMaxWalk = 12;
// Pre-trigger samples used for the baseline and the noise (the last ones before the pulse).
constexpr int kPreWindow = 512;
constexpr int kMinPre = 32;
// Pulse peak over noise deviation below which a waveform counts as noise for the amplitude of a
// pick: Gaussian noise alone peaks near 10 dB over 1,024 samples.
constexpr double kMinPulseDb = 14.0;

double clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// Centred moving average of width w (odd); near the ends the window shrinks to what exists.
// The running sum is kept in double, so the result does not depend on the trace's length.
void movingAverage(const float* x, int n, int w, float* out) {
    const int h = w / 2;
    double acc = 0;
    int b = 0; // window [i - h, b)
    for (; b < std::min(n, h); ++b)
        acc += x[b];
    for (int i = 0; i < n; ++i) {
        if (i + h < n)
            acc += x[b++];
        if (i - h - 1 >= 0)
            acc -= x[i - h - 1];
        out[i] = static_cast<float>(acc / (b - std::max(0, i - h)));
    }
}

// Two passes of a centred 5-sample box (a 9-tap triangle): cuts white noise to about a third
// and leaves a 40-60 kHz carrier at 0.4 us within a few per cent, without shifting it.
void smooth(const float* x, int n, float* out) {
    std::vector<float> tmp(n);
    movingAverage(x, n, 5, tmp.data());
    movingAverage(tmp.data(), n, 5, out);
}

int signOf(float v) {
    return v < 0 ? -1 : 1;
}

// First sample from `from` (exclusive) in direction `dir` whose value has sign `sign` and
// magnitude at least `level`, within `limit` samples; -1 when there is none.
int findLobe(const float* y, int n, int from, int dir, int sign, float level, int limit) {
    for (int k = 1; k <= limit; ++k) {
        const int i = from + dir * k;
        if (i < 0 || i >= n)
            return -1;
        if (sign * y[i] >= level)
            return i;
    }
    return -1;
}

// Last sample of the lobe that `q` lies in, moving forward while the value grows in magnitude.
int lobeEnd(const float* y, int n, int q) {
    const int sign = signOf(y[q]);
    while (q + 1 < n && sign * y[q + 1] >= sign * y[q])
        ++q;
    return q;
}

// Zero crossing between a lobe sample p and a later lobe sample q of the other sign: the last
// change of sign before q, interpolated linearly; with the slope there.
struct Crossing {
    double at = 0;
    double slope = 0;
};
Crossing crossingAt(const float* y, int p, int q) {
    const int sp = signOf(y[p]);
    int k = q - 1;
    while (k > p && sp * y[k] <= 0)
        --k;
    const double a = y[k], b = y[k + 1];
    const double f = (a == b) ? 0.5 : a / (a - b);
    return {k + std::clamp(f, 0.0, 1.0), std::fabs(a - b)};
}
double crossingBetween(const float* y, int p, int q) {
    return crossingAt(y, p, q).at;
}

struct Analysis {
    bool ok = false;
    std::vector<float> d; // samples minus the baseline
    double tRef = 0;      // crossing that opens the strongest half-cycle
    double half = 0;      // half-period in samples
    int peakSign = 1;     // sign of the half-cycle [tRef, tRef + half]
    int walked = 0;       // half-cycles before the strongest one that belong to the pulse
    double onset = 0;     // tRef - walked * half
    double confidence = 0;
    double snrDb = 0;
};

// Matched statistic of the half-cycle starting at `start`: sum of sign * d * sin(pi (i-start)/H)
// over the samples inside it, and its least-squares half-sine amplitude.
struct HalfCycle {
    double projection = 0;
    double amplitude = 0;
};

HalfCycle halfCycle(const std::vector<float>& d, double start, double half, int sign) {
    const int n = static_cast<int>(d.size());
    const int a = std::max(0, static_cast<int>(std::floor(start)) + 1);
    const int b = std::min(n - 1, static_cast<int>(std::ceil(start + half)) - 1);
    double p = 0, ww = 0;
    const double k = M_PI / half;
    // sin(k (i - start)) by rotation from its first value: two sines per half-cycle, not one
    // per sample (the walk evaluates many half-cycles per waveform).
    const double cosK = std::cos(k), sinK = std::sin(k);
    double sn = std::sin(k * (a - start)), cs = std::cos(k * (a - start));
    for (int i = a; i <= b; ++i) {
        const double w = sn;
        const double next = sn * cosK + cs * sinK;
        cs = cs * cosK - sn * sinK;
        sn = next;
        if (w <= 0)
            continue;
        p += sign * d[i] * w;
        ww += w * w;
    }
    HalfCycle h;
    h.projection = p;
    h.amplitude = ww > 0 ? p / ww : 0;
    return h;
}

// Standard deviation of the half-cycle projection under the pre-trigger noise. Low-pass coloured
// noise raises it above what white noise of the same level gives; the short-lag autocovariance
// (tapered, as a few hundred pre-trigger samples estimate longer lags poorly) measures by how
// much. Never below the white value: a noisy estimate must not make a half-cycle look clearer.
double projectionNoise(const std::vector<float>& d, int pre0, int pre1, double half, double white) {
    const int len = static_cast<int>(std::ceil(half));
    std::vector<double> w(len + 1, 0.0);
    for (int j = 1; j < len; ++j)
        w[j] = std::max(0.0, std::sin(M_PI * j / half));
    double c0 = 0;
    for (double v : w)
        c0 += v * v;
    const double whiteVar = c0 * white * white;
    const int m = pre1 - pre0;
    if (m < kMinPre)
        return std::sqrt(whiteVar);
    constexpr int kLags = 8;
    const float* p = d.data() + pre0;
    double var = 0;
    for (int lag = 0; lag <= std::min(kLags, len); ++lag) {
        double c = 0;
        for (int j = 0; j + lag <= len; ++j)
            c += w[j] * w[j + lag];
        float acc = 0;
        for (int i = 0; i + lag < m; ++i)
            acc += p[i] * p[i + lag];
        const double r = acc / (m - lag);
        const double taper = 1.0 - static_cast<double>(lag) / (kLags + 1);
        var += (lag == 0 ? 1.0 : 2.0 * taper) * c * r;
    }
    return std::sqrt(std::max(var, whiteVar));
}

// Noise deviation from the median absolute second difference: the carrier hardly contributes,
// so this works where no pre-trigger is available.
double secondDifferenceNoise(const float* x, int n) {
    std::vector<float> dd;
    dd.reserve(n);
    for (int i = 1; i + 1 < n; ++i)
        dd.push_back(std::fabs(x[i - 1] - 2 * x[i] + x[i + 1]));
    if (dd.empty())
        return 0;
    std::nth_element(dd.begin(), dd.begin() + dd.size() / 2, dd.end());
    return dd[dd.size() / 2] / 0.6745 / std::sqrt(6.0);
}

// Subtracts from x the baseline fitted over [a, b): with a long stretch the straight line through
// it, which takes the offset and a slow drift over the few periods that matter; with a short one
// its mean; with none the mean of the whole trace (the pulse itself averages out). Never a moving
// average over the pulse: that smears the carrier into the pre-trigger and fakes early
// half-cycles.
void detrend(const float* x, int n, int a, int b, float* d) {
    double slope = 0, icpt = 0;
    if (b - a >= 128) {
        double si = 0, sx = 0, sii = 0, six = 0;
        for (int i = a; i < b; ++i) {
            si += i;
            sx += x[i];
            sii += double(i) * i;
            six += double(i) * x[i];
        }
        const double m = b - a;
        const double den = m * sii - si * si;
        slope = den != 0 ? (m * six - si * sx) / den : 0.0;
        icpt = (sx - slope * si) / m;
    } else {
        if (b - a < 8) {
            a = 0;
            b = n;
        }
        double sx = 0;
        for (int i = a; i < b; ++i)
            sx += x[i];
        icpt = sx / (b - a);
    }
    for (int i = 0; i < n; ++i)
        d[i] = static_cast<float>(x[i] - (icpt + slope * i));
}

struct Walk {
    int walked = 0;       // half-cycles before the strongest one that belong to the pulse
    double zFirst = 0;    // matched statistic of the earliest accepted half-cycle
    double zRejected = 0; // that of the half-cycle before it
    bool atStart = false; // the walk ran into the start of the trace
};

// Walks back from the strongest half-cycle [tRef, tRef + half] (sign sp), accepting each earlier
// half-cycle of alternating sign whose statistic stands out of the noise.
Walk walkBack(const std::vector<float>& d, double tRef, double half, int sp, double sigmaP) {
    Walk w;
    const HalfCycle top = halfCycle(d, tRef, half, sp);
    double prevAmp = top.amplitude;
    w.zFirst = top.projection / sigmaP;
    const double sigmaA = sigmaP / std::max(1.0, half / 2);
    for (int m = 1; m <= kMaxWalk; ++m) {
        const double start = tRef - m * half;
        if (start < -0.5 * half) {
            w.atStart = true;
            break;
        }
        const int sign = (m % 2) ? -sp : sp;
        const HalfCycle hc = halfCycle(d, start, half, sign);
        const double z = hc.projection / sigmaP;
        // Under a rising envelope an earlier half-cycle is not much stronger than the later
        // one; something stronger before it is not this pulse.
        const bool rising = hc.amplitude <= 1.25 * prevAmp + 3 * sigmaA;
        if (z >= kAccept + kLeak * w.zFirst && rising) {
            w.walked = m;
            w.zFirst = z;
            prevAmp = hc.amplitude;
            continue;
        }
        w.zRejected = z;
        break;
    }
    return w;
}

Analysis analyse(const uint16_t* s, int n) {
    Analysis an;
    if (!s || n < kMinPickSamples)
        return an;
    std::vector<float> x(n), hp(n), hs(n);
    for (int i = 0; i < n; ++i)
        x[i] = static_cast<float>(s[i]) - 2048.0f;
    movingAverage(x.data(), n, kTrendWidth, hp.data());
    for (int i = 0; i < n; ++i)
        hp[i] = x[i] - hp[i];
    smooth(hp.data(), n, hs.data());

    // The strongest excursion lies inside the pulse whatever the noise.
    int peak = 0;
    for (int i = 1; i < n; ++i)
        if (std::fabs(hs[i]) > std::fabs(hs[peak]))
            peak = i;
    const float amp = std::fabs(hs[peak]);
    if (!(amp >= 1.0f))
        return an;
    const int sp = signOf(hs[peak]);
    // First estimate of the half-period: the two crossings after the strongest half-cycle (the
    // strongest may be the very first, with nothing before it).
    const int qf = findLobe(hs.data(), n, peak, +1, -sp, 0.3f * amp, n);
    if (qf < 0)
        return an;
    const double cf0 = crossingBetween(hs.data(), peak, qf);
    const int qf2 = findLobe(hs.data(), n, lobeEnd(hs.data(), n, qf), +1, sp, 0.3f * amp, n);
    const double h0 = qf2 < 0 ? 2.0 * (cf0 - peak) : crossingBetween(hs.data(), qf, qf2) - cf0;
    if (!(h0 >= 2.0))
        return an;

    // The pre-trigger ends two periods before the earliest strong excursion near the peak.
    int early = peak;
    const int lookBack = static_cast<int>(8 * h0);
    for (int i = std::max(0, peak - lookBack); i < peak; ++i)
        if (std::fabs(hs[i]) >= 0.5f * amp) {
            early = i;
            break;
        }
    int pre1 = std::max(0, static_cast<int>(std::floor(early - 3 * h0)));
    int pre0 = std::max(0, pre1 - kPreWindow);
    const int preLen = pre1 - pre0;
    const bool havePre = preLen >= kMinPre;
    an.d.resize(n);
    detrend(x.data(), n, pre0, pre1, an.d.data());
    std::vector<float> y(n);
    smooth(an.d.data(), n, y.data());

    double noise = 0, noiseY = 0;
    if (preLen >= 16) {
        for (int i = pre0; i < pre1; ++i) {
            noise += double(an.d[i]) * an.d[i];
            noiseY += double(y[i]) * y[i];
        }
        noise = std::sqrt(noise / preLen);
        noiseY = std::sqrt(noiseY / preLen);
    } else {
        noise = secondDifferenceNoise(x.data(), n);
        noiseY = noise * 0.37; // the triangle's white-noise gain
    }
    // Integer codes: a constant pre-trigger still has half a code of quantisation uncertainty.
    noise = std::max(noise, 0.5);
    noiseY = std::max(noiseY, 0.3);

    // The crossing grid where the pulse is strong: the crossing before the strongest half-cycle
    // (when there is one) and up to eight after it, while the spacing stays that of one carrier.
    // Crossing k of the grid opens half-cycle k; the strongest is half-cycle 0.
    const float ampY = std::fabs(y[peak]);
    const float level = static_cast<float>(std::max(4.0 * noiseY, 0.15 * ampY));
    if (sp * y[peak] <= 0)
        return an;
    const int window = static_cast<int>(3 * h0);
    struct GridPoint {
        int k;
        double at, weight;
    };
    std::vector<GridPoint> cross;
    // A crossing's timing error is the noise over the slope there: weight by its inverse square.
    auto add = [&](int k, int p, int q) {
        const Crossing c = crossingAt(y.data(), p, q);
        const double jitter = noiseY / std::max(c.slope, 1e-6);
        cross.push_back({k, c.at, 1.0 / (jitter * jitter + 0.01)});
    };
    const int before = findLobe(y.data(), n, peak, -1, -sp, level, window);
    if (before >= 0)
        add(0, before, peak);
    {
        int p = peak, sign = -sp;
        for (int k = 1; k <= 8; ++k) {
            const int q = findLobe(y.data(), n, p, +1, sign, level, window);
            if (q < 0)
                break;
            const double c = crossingBetween(y.data(), p, q);
            if (!cross.empty()) {
                const double gap = (c - cross.back().at) / (k - cross.back().k);
                if (gap < 0.6 * h0 || gap > 1.5 * h0)
                    break;
            }
            add(k, p, q);
            p = lobeEnd(y.data(), n, q);
            sign = -sign;
        }
    }
    const int kc = static_cast<int>(cross.size());
    if (kc < 1)
        return an;
    if (kc == 1) {
        // A pulse that dies within a period or so has one crossing above the level: its
        // spacing is the first estimate's.
        an.half = h0;
        an.tRef = cross[0].at - cross[0].k * h0;
    } else {
        // Weighted least-squares line crossing(k) = tRef + k * H.
        double sw = 0, sk = 0, sc = 0, skk = 0, skc = 0;
        for (const GridPoint& g : cross) {
            sw += g.weight;
            sk += g.weight * g.k;
            sc += g.weight * g.at;
            skk += g.weight * g.k * g.k;
            skc += g.weight * g.k * g.at;
        }
        const double den = sw * skk - sk * sk;
        if (!(den > 0))
            return an;
        an.half = (sw * skc - sk * sc) / den;
        an.tRef = (sc - an.half * sk) / sw;
    }
    if (!(an.half >= 2.0))
        return an;
    // How far the crossings stray from one carrier's grid, in units of their expected jitter.
    double chi = 0;
    for (const GridPoint& g : cross) {
        const double e = g.at - (an.tRef + g.k * an.half);
        chi += g.weight * e * e;
    }
    chi = kc > 2 ? std::sqrt(chi / (kc - 2)) : 0.0;
    an.peakSign = sp;

    // Walk back from the strongest half-cycle to the start of the pulse.
    const double sigmaP = projectionNoise(an.d, pre0, pre1, an.half, noise);
    Walk walk = walkBack(an.d, an.tRef, an.half, sp, sigmaP);
    // Second look with the baseline fitted right up to the suggested start: a line through a
    // pre-trigger that ends periods earlier can miss a curving drift by enough to make the
    // half-cycle before the pulse look like signal, or the first one look like noise.
    {
        // With a short pre-trigger (an early pulse) this is the only baseline taken next to the
        // pulse, so a few samples before the suggestion are enough.
        const int end = static_cast<int>(std::floor(an.tRef - walk.walked * an.half));
        const int begin = std::max(0, end - 256);
        if (end - begin >= 8) {
            detrend(x.data(), n, begin, end, an.d.data());
            walk = walkBack(an.d, an.tRef, an.half, sp, sigmaP);
        }
    }
    const int walked = walk.walked;
    const double zFirst = walk.zFirst, zRejected = walk.zRejected;
    const bool atStart = walk.atStart;
    an.walked = walked;
    an.onset = an.tRef - walked * an.half;

    // Confidence: the first half-cycle must be clear, the one before it must look like noise,
    // and the crossings must sit on one carrier's grid.
    double peakD = 0;
    for (int i = std::max(0, static_cast<int>(an.onset)); i < n; ++i)
        peakD = std::max(peakD, static_cast<double>(std::fabs(an.d[i])));
    an.snrDb = 20.0 * std::log10(std::max(peakD, 1e-9) / noise);
    const double clarity = clamp01((zFirst - 4.0) / 4.0);
    // Is the rejected half-cycle noise, or the real first one missed? A pulse rising over a
    // fraction of a period makes its first half-cycle at least about 0.3 of the second, so a
    // missed one would show a statistic near mu = 0.3 zFirst; noise shows one near 0 (both of
    // unit deviation). The probability that it is noise, a miss weighed ten times a needless
    // check by a human.
    constexpr double rho = 0.3, missCost = 10.0;
    const double mu = rho * zFirst;
    const double noiseBefore = 1.0 / (1.0 + missCost * std::exp(mu * (zRejected - 0.5 * mu)));
    // A rejected half-cycle just under the acceptance level may well be the real first one.
    const double alone =
        std::min(clamp01((kAccept + kLeak * zFirst - zRejected) / (kAccept - 0.5)), noiseBefore);
    const double onGrid = clamp01((8.0 - chi) / 4.0);
    double conf = std::min({clarity, alone, onGrid});
    if (!havePre)
        conf *= 0.8;
    if (atStart)
        conf *= 0.8;
    // One crossing cannot show that the half-cycles sit on one carrier's grid: a suggestion, for a
    // human to confirm.
    if (kc == 1)
        conf = std::min(conf, 0.45);
    // With hardly any trace before the suggestion there is no baseline next to it (the second
    // look needs a few samples), and an error of the baseline can pass for a half-cycle.
    conf *= clamp01((an.onset - 6.0) / 10.0);
    an.confidence = conf;
    an.ok = true;
    return an;
}

int limitIndex(double v, int n) {
    return static_cast<int>(std::clamp<double>(std::lround(v), 0.0, n - 1));
}

// Extremum of sign * d over the half-cycle starting at `start`.
int extremumOf(const Analysis& an, double start, int sign) {
    const int n = static_cast<int>(an.d.size());
    const int a = limitIndex(start, n);
    const int b = limitIndex(start + an.half, n);
    int best = a;
    for (int i = a; i <= b; ++i)
        if (sign * an.d[i] > sign * an.d[best])
            best = i;
    return best;
}

int firstSign(const Analysis& an) {
    return (an.walked % 2) ? -an.peakSign : an.peakSign;
}

} // namespace

ArrivalSuggestion suggestArrival(const uint16_t* samples, int n) {
    ArrivalSuggestion out;
    const Analysis an = analyse(samples, n);
    if (!an.ok)
        return out;
    out.index = limitIndex(an.onset, n);
    out.ampIndex = extremumOf(an, an.onset, firstSign(an));
    out.confidence = static_cast<float>(an.confidence);
    out.snrDb = static_cast<float>(an.snrDb);
    out.halfPeriod = static_cast<float>(an.half);
    return out;
}

int firstHalfCycleIndex(const uint16_t* samples, int n, int from) {
    if (!samples || n <= 0)
        return -1;
    from = std::clamp(from, 0, n - 1);
    const Analysis an = analyse(samples, n);
    // Noise alone also has a strongest excursion; below this there is no pulse to speak of.
    if (!an.ok || an.snrDb < kMinPulseDb)
        return from;
    if (from <= an.onset + 0.5 * an.half)
        return extremumOf(an, an.onset, firstSign(an));
    // The grid half-cycle that starts nearest at or after the pick.
    const double k = std::ceil((from - an.tRef) / an.half - 0.5);
    const int sign = (static_cast<long long>(std::llabs(static_cast<long long>(k))) % 2)
                         ? -an.peakSign
                         : an.peakSign;
    return extremumOf(an, an.tRef + k * an.half, sign);
}

int aicPick(const uint16_t* samples, int n) {
    if (!samples || n < 4)
        return -1;
    std::vector<double> c1(n + 1, 0.0), c2(n + 1, 0.0);
    for (int i = 0; i < n; ++i) {
        const double v = samples[i];
        c1[i + 1] = c1[i] + v;
        c2[i + 1] = c2[i] + v * v;
    }
    auto var = [&](int a, int b) { // samples a .. b-1
        const double m = b - a;
        const double mean = (c1[b] - c1[a]) / m;
        return std::max((c2[b] - c2[a]) / m - mean * mean, 1e-12);
    };
    int best = 1;
    double bestAic = INFINITY;
    for (int k = 1; k < n - 1; ++k) {
        const double aic = k * std::log(var(0, k)) + (n - k - 1) * std::log(var(k, n));
        if (aic < bestAic) {
            bestAic = aic;
            best = k;
        }
    }
    return best;
}

} // namespace tavolin
