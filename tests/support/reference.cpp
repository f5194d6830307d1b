#include "support/reference.h"

#include <algorithm>
#include <cmath>

namespace tavolin::testing {

double strength(double va, double R, double eta, const Curve& curve) {
    return eta * curve.A * std::pow(va, curve.B) * std::pow(R, curve.C);
}

std::vector<uint16_t> referenceLowPass(const std::vector<uint16_t>& raw, float dT, double fc) {
    const int lead = std::clamp(static_cast<int>(10.0 / dT), 8, 32), p = 4 * lead;
    double mx = 0, sxy = 0, sxx = 0;
    for (int i = 0; i < lead; ++i)
        mx += (raw[i] - 2048.0) / lead;
    for (int i = 0; i < lead; ++i) {
        sxy += (i - (lead - 1) / 2.0) * (raw[i] - 2048.0 - mx);
        sxx += (i - (lead - 1) / 2.0) * (i - (lead - 1) / 2.0);
    }
    const double r = std::clamp(sxy / sxx, -2047.0 / p, 2048.0 / p); // start within the range
    std::vector<double> x;
    for (int k = 0; k < p; ++k)
        x.push_back(std::round(raw[0] - 2048.0 - r * (p - k)));
    for (uint16_t s : raw)
        x.push_back(s - 2048.0);

    const double k2 = 2.0 / (dT * 1e-6), wc = 2 * M_PI * fc, q = std::sqrt(2.0) * wc * k2;
    const double den = k2 * k2 + q + wc * wc, b0 = wc * wc / den;
    const double a1 = (2 * wc * wc - 2 * k2 * k2) / den, a2 = (k2 * k2 - q + wc * wc) / den;
    std::vector<double> y(x);
    for (size_t i = 2; i < x.size(); ++i)
        y[i] = b0 * (x[i] + 2 * x[i - 1] + x[i - 2]) - a1 * y[i - 1] - a2 * y[i - 2];
    std::vector<uint16_t> out;
    for (size_t i = p; i < y.size(); ++i)
        out.push_back(static_cast<uint16_t>(std::max(std::round(y[i]), -2048.0) + 2048));
    return out;
}

} // namespace tavolin::testing
