// Independent double-precision references of the program's formulas, for expected values that
// do not follow the program's own single-precision path.
#pragma once

#include <cstdint>
#include <vector>

namespace tavolin::testing {

// A strength curve fcu = A * va^B * R^C.
struct Curve {
    double A, B, C;
};
inline constexpr Curve kCecsCrushed{0.0162, 1.656, 1.41};
inline constexpr Curve kCecsPebble{0.0056, 1.439, 1.769};

// fcu = eta * A * va^B * R^C in double.
double strength(double va, double R, double eta = 1.0, const Curve& curve = kCecsCrushed);

// How far the program's single-precision strength may be from strength(): a few float steps
// at the strengths of a job (the step is 4e-6 at 30 MPa).
inline constexpr double kStrengthTolerance = 1e-4;

// The textbook second-order Butterworth low-pass, bilinear without pre-warping,
// H(s) = wc^2 / (s^2 + sqrt(2) wc s + wc^2), s = 2 fs (z-1)/(z+1), in double, behind a lead-in
// line fitted to the first samples by centred least squares (zero line 2048).
std::vector<uint16_t> referenceLowPass(const std::vector<uint16_t>& raw, float dT, double fc);

} // namespace tavolin::testing
