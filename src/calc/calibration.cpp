// Eta from specimens, the least-squares curve fit and the range test.
#include "calc/calibration.h"

#include <algorithm>
#include <cmath>

namespace tavolin {

std::optional<double> correctionRatio(const CorePair& pair) {
    if (!(pair.fcu > 0) || !std::isfinite(pair.fcu) || !std::isfinite(pair.fcor))
        return std::nullopt;
    return pair.fcor / pair.fcu;
}

std::optional<CoreCorrection> correctionFromCores(const std::vector<CorePair>& pairs) {
    if (static_cast<int>(pairs.size()) < kMinSpecimens)
        return std::nullopt;
    CoreCorrection out;
    out.n = static_cast<int>(pairs.size());
    double sum = 0;
    for (const CorePair& p : pairs) {
        if (!(p.fcu > 0) || !std::isfinite(p.fcu) || !std::isfinite(p.fcor))
            return std::nullopt;
        out.ratios.push_back(p.fcor / p.fcu);
        sum += out.ratios.back();
    }
    out.meanRatio = sum / out.n;
    out.eta = static_cast<float>(std::round(out.meanRatio * 100.0) / 100.0);
    return out;
}

namespace {

std::array<double, 2> rangeOf(const std::vector<CurveSpecimen>& s, double CurveSpecimen::*field) {
    std::array<double, 2> r{s.front().*field, s.front().*field};
    for (const CurveSpecimen& x : s) {
        r[0] = std::min(r[0], x.*field);
        r[1] = std::max(r[1], x.*field);
    }
    return r;
}

} // namespace

FitFailure fitCurve(const std::vector<CurveSpecimen>& specimens, CurveFit& out) {
    const int n = static_cast<int>(specimens.size());
    if (n < kMinSpecimens)
        return FitFailure::TooFew;
    for (const CurveSpecimen& s : specimens)
        if (!(s.v > 0 && s.R > 0 && s.f > 0) || !std::isfinite(s.v) || !std::isfinite(s.R) ||
            !std::isfinite(s.f))
            return FitFailure::NotPositive;

    // Centred logarithms: the intercept drops out and b, c solve a 2 x 2 system, which keeps the
    // normal equations well conditioned however large ln v and ln R are.
    std::vector<double> x(n), y(n), z(n);
    double mx = 0, my = 0, mz = 0;
    for (int i = 0; i < n; ++i) {
        x[i] = std::log(specimens[i].v);
        y[i] = std::log(specimens[i].R);
        z[i] = std::log(specimens[i].f);
        mx += x[i];
        my += y[i];
        mz += z[i];
    }
    mx /= n;
    my /= n;
    mz /= n;
    double sxx = 0, syy = 0, sxy = 0, sxz = 0, syz = 0;
    for (int i = 0; i < n; ++i) {
        const double dx = x[i] - mx, dy = y[i] - my, dz = z[i] - mz;
        sxx += dx * dx;
        syy += dy * dy;
        sxy += dx * dy;
        sxz += dx * dz;
        syz += dy * dz;
    }
    const double det = sxx * syy - sxy * sxy;
    // A determinant lost in the rounding of its two products means ln v and ln R are collinear.
    if (!(sxx > 0) || !(syy > 0) || det <= 1e-10 * sxx * syy)
        return FitFailure::Degenerate;

    CurveFit fit;
    fit.n = n;
    fit.b = (sxz * syy - syz * sxy) / det;
    fit.c = (syz * sxx - sxz * sxy) / det;
    fit.a = std::exp(mz - fit.b * mx - fit.c * my);
    double sumAbs = 0, sumSq = 0;
    for (const CurveSpecimen& s : specimens) {
        const double fc = fit.a * std::pow(s.v, fit.b) * std::pow(s.R, fit.c);
        fit.fitted.push_back(fc);
        const double e = s.f / fc - 1.0;
        sumAbs += std::fabs(e);
        sumSq += e * e;
    }
    fit.delta = sumAbs / n * 100.0;
    fit.er = std::sqrt(sumSq / (n - 1)) * 100.0;
    fit.vRange = rangeOf(specimens, &CurveSpecimen::v);
    fit.rRange = rangeOf(specimens, &CurveSpecimen::R);
    fit.fRange = rangeOf(specimens, &CurveSpecimen::f);
    out = std::move(fit);
    return FitFailure::None;
}

int outsideCurve(float va, float R, const CurveRanges& ranges) {
    auto outside = [](float x, const std::array<double, 2>& r) {
        return x < static_cast<float>(r[0]) || x > static_cast<float>(r[1]);
    };
    int flags = InsideCurve;
    if (outside(va, ranges.v))
        flags |= VelocityOutside;
    if (outside(R, ranges.r))
        flags |= ReboundOutside;
    return flags;
}

} // namespace tavolin
