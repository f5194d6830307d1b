// Statistics shared by both standards, rebound reduction, the factory and the curve defaults.
#include "calc/algorithm.h"

#include "calc/detail.h"

#include <algorithm>
#include <cmath>

namespace tavolin {

using calc_detail::finiteOrZero;
using calc_detail::pool;

// The per-standard operations are meaningless on the bare interface; these values only make
// a mistaken use of it visible.
float CAlgorithm::CalcVelocity(const float[3], const float[3]) {
    return 0.0f;
}

float CAlgorithm::CorrectVelocity(float, int, int, float, float) {
    return 0.0f;
}

float CAlgorithm::GetAngleCorrection(float, int) {
    return 0.0f;
}

float CAlgorithm::GetPlaneCorrection(float, int) {
    return 0.0f;
}

float CAlgorithm::CalcStrength(float, float, int, float, float, float, int, int, float, float) {
    return 0.1f;
}

float CAlgorithm::EstimateBatch(const float* const[], const int[], int, EstimateStatus*) {
    return 0.0f;
}

float CAlgorithm::EstimateMember(const float[], int, EstimateStatus*) {
    return 0.0f;
}

float CAlgorithm::GetMin(const float values[], int n) {
    if (n <= 0 || values == nullptr)
        return 0.0f;
    float r = values[0];
    for (int i = 1; i < n; ++i)
        // A NaN never stays the minimum: any real value replaces it.
        if (values[i] < r || std::isnan(r))
            r = values[i];
    return std::isnan(r) ? 0.0f : r;
}

float CAlgorithm::GetMax(const float values[], int n) {
    if (n <= 0 || values == nullptr)
        return 0.0f;
    float r = values[0];
    for (int i = 1; i < n; ++i)
        if (values[i] > r || std::isnan(r))
            r = values[i];
    return std::isnan(r) ? 0.0f : r;
}

float CAlgorithm::CalcReboundMean(const int readings[], int n) {
    if (n != 16 || readings == nullptr)
        return 0.0f;
    float sorted[16];
    for (int i = 0; i < 16; ++i)
        sorted[i] = static_cast<float>(readings[i]);
    std::sort(sorted, sorted + 16);
    // The three lowest and three highest readings are dropped; the sum runs in float.
    float sum = sorted[3];
    for (int i = 4; i <= 12; ++i)
        sum += sorted[i];
    return sum * 0.1f;
}

float CAlgorithm::SelectExtremes(const int readings[16], int extremes[6]) {
    const int* r = readings;
    int* e = extremes;
    for (int i = 0; i < 6; ++i)
        e[i] = i;
    // Descending order of the first six; ties keep their order, so earlier positions win.
    for (int i = 0; i < 5; ++i)
        for (int j = i + 1; j < 6; ++j)
            if (r[e[j]] > r[e[i]])
                std::swap(e[i], e[j]);
    for (int k = 6; k < 16; ++k) {
        const int x = r[k];
        int lo = 0;
        for (int s = 1; s < 3; ++s)
            if (r[e[s]] < r[e[lo]])
                lo = s;
        if (r[e[lo]] < x) {
            e[lo] = k;
            continue;
        }
        int hi = 3;
        for (int s = 4; s < 6; ++s)
            if (r[e[s]] > r[e[hi]])
                hi = s;
        if (r[e[hi]] > x)
            e[hi] = k;
    }
    return CalcReboundMean(readings, 16);
}

float CAlgorithm::GetMean(const float values[], int n) {
    if (n <= 0 || values == nullptr)
        return 0.0f;
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += values[i];
    return finiteOrZero(static_cast<float>(sum / n));
}

float CAlgorithm::GetStdDev(const float values[], int n) {
    if (n <= 1 || values == nullptr)
        return 0.0f;
    const float m = GetMean(values, n);
    float S = 0.0f;
    for (int i = 0; i < n; ++i)
        S += values[i] * values[i];
    const float q = (S - static_cast<float>(n) * m * m) / static_cast<float>(n - 1);
    // Rounding can make the quotient slightly negative when all values are equal; bad input
    // can make it NaN. Either way there is no spread to report.
    if (!(q > 0.0f))
        return 0.0f;
    return finiteOrZero(static_cast<float>(std::sqrt(static_cast<double>(q))));
}

float CAlgorithm::GetGroupMean(const float* const groups[], const int counts[], int nGroups) {
    const std::vector<float> all = pool(groups, counts, nGroups);
    return GetMean(all.data(), static_cast<int>(all.size()));
}

float CAlgorithm::GetGroupStdDev(const float* const groups[], const int counts[], int nGroups) {
    const std::vector<float> all = pool(groups, counts, nGroups);
    return GetStdDev(all.data(), static_cast<int>(all.size()));
}

std::unique_ptr<CAlgorithm> makeAlgorithm(int standard, const CorrectionTables& tables) {
    switch (standard) {
    case 0:
        return std::make_unique<Algorithm_CECS02_2005>(tables);
    case 1:
        return std::make_unique<Algorithm_TB10426_2004>(tables);
    default:
        return nullptr;
    }
}

namespace {

struct CurveDefaults {
    int standard;
    int curve;
    float A, B, C;
};

// TB 10426-2004 takes the national curves of 1988: pebble 0.0038 v^1.23 R^1.95 and crushed stone
// 0.008 v^1.72 R^1.57 (the pebble curve's a with the crushed-stone exponents gives half the
// strength of every other curve at the same v and R).
constexpr CurveDefaults kCurveDefaults[] = {
    {0, 1, 0.0056f, 1.439f, 1.769f},
    {0, 2, 0.0162f, 1.656f, 1.41f},
    {1, 1, 0.0038f, 1.23f, 1.95f},
    {1, 2, 0.008f, 1.72f, 1.57f},
};

// Files saved with the former TB crushed-stone coefficients still name crushed stone.
constexpr CurveDefaults kFormerCurves[] = {
    {1, 2, 0.0038f, 1.72f, 1.57f},
};

} // namespace

bool curveCoefficients(int standard, int curve, float& A, float& B, float& C) {
    for (const CurveDefaults& d : kCurveDefaults) {
        if (d.standard == standard && d.curve == curve) {
            A = d.A;
            B = d.B;
            C = d.C;
            return true;
        }
    }
    return false;
}

int curveFromCoefficients(float A, float B, float C) {
    if (A == 0.0f && B == 0.0f && C == 0.0f)
        return 2;
    auto find = [&](const auto& table) {
        for (const CurveDefaults& d : table)
            if (d.A == A && d.B == B && d.C == C)
                return d.curve;
        return 0;
    };
    if (const int curve = find(kCurveDefaults))
        return curve;
    return find(kFormerCurves);
}

} // namespace tavolin
