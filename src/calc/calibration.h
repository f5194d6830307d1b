// Strength from drilled cores or companion cubes: the correction factor eta of a job, the fit of a
// dedicated curve fcu = a * v^b * R^c, and the range test of a named curve. Plain arithmetic in
// double precision; no files, no texts.
#pragma once

#include <array>
#include <optional>
#include <vector>

namespace tavolin {

// The fewest specimens a correction or a fit is made from.
constexpr int kMinSpecimens = 4;

// One core or cube beside the converted strength of its test area computed with eta = 1.
struct CorePair {
    double fcu = 0;  // fcu,i^c of the area, MPa
    double fcor = 0; // the specimen's strength, MPa
};

struct CoreCorrection {
    int n = 0;
    double meanRatio = 0;       // (1/n) * sum fcor,i / fcu,i^c
    float eta = 1.0f;           // meanRatio rounded to 0.01, the precision eta is stored with
    std::vector<double> ratios; // fcor,i / fcu,i^c, in the order given
};

// f_cor,i / fcu,i^c of one pair; nothing when fcu,i^c is not above 0.
std::optional<double> correctionRatio(const CorePair& pair);

// Nothing when there are fewer than kMinSpecimens pairs or a converted strength is not above 0.
std::optional<CoreCorrection> correctionFromCores(const std::vector<CorePair>& pairs);

// One specimen of a curve fit: corrected velocity (km/s), corrected rebound, cube strength (MPa).
struct CurveSpecimen {
    double v = 0;
    double R = 0;
    double f = 0;
};

struct CurveFit {
    int n = 0;
    double a = 0, b = 0, c = 0;
    double delta = 0; // mean relative error, %
    double er = 0;    // relative standard deviation, %
    std::array<double, 2> vRange{}, rRange{}, fRange{};
    std::vector<double> fitted; // a * v^b * R^c of every specimen, in the order given
};

enum class FitFailure { None, TooFew, NotPositive, Degenerate };

// Least squares of ln f = ln a + b ln v + c ln R. TooFew below kMinSpecimens; NotPositive when a
// value is not above 0; Degenerate when v and R do not vary independently (every v or every R the
// same, or ln v and ln R on one line), so b and c cannot be told apart.
FitFailure fitCurve(const std::vector<CurveSpecimen>& specimens, CurveFit& out);

// The ranges of corrected velocity and corrected rebound a named curve is valid for.
struct CurveRanges {
    std::array<double, 2> v{};
    std::array<double, 2> r{};
};

enum OutsideFlags : int { InsideCurve = 0, VelocityOutside = 1, ReboundOutside = 2 };
// Which of va and R lie outside the curve's ranges, the bounds included in the range. The values
// are the single-precision ones of the area, compared with the bounds as single-precision values
// so that a bound typed as 4.6 admits the va shown as 4.600.
int outsideCurve(float va, float R, const CurveRanges& ranges);

} // namespace tavolin
