// Strength conversion and estimates after TB 10426-2004.
#include "calc/algorithm.h"

#include "calc/detail.h"

#include <cmath>
#include <vector>

namespace tavolin {

using calc_detail::angleColumn;
using calc_detail::finiteOrZero;
using calc_detail::pool;

namespace {

// Row 0..30 for Rm 20, 21, ..., 50: the smallest whole number above Rm, held within 20..50.
int tbRow(float Rm) {
    for (int k = 0; k < 30; ++k)
        if (Rm < static_cast<float>(20 + k))
            return k;
    return 30;
}

} // namespace

float Algorithm_TB10426_2004::CalcVelocity(const float L[3], const float T[3]) {
    const double totalTime = static_cast<double>(T[1]) + T[0] + T[2];
    // No picked arrivals at all: the area has no velocity.
    if (totalTime == 0.0)
        return 0.0f;
    const float Lm = static_cast<float>((static_cast<double>(L[1]) + L[0] + L[2]) / 3.0);
    return finiteOrZero(static_cast<float>(3.0 * Lm / totalTime));
}

float Algorithm_TB10426_2004::CorrectVelocity(float v, int, int method, float lamda, float beta) {
    if (method == 0)
        return v;
    return finiteOrZero(v * beta * lamda);
}

float Algorithm_TB10426_2004::GetAngleCorrection(float Rm, int angle) {
    if (angle == 0)
        return 0.0f;
    return tables_.AngleTb[tbRow(Rm)][angleColumn(angle)];
}

float Algorithm_TB10426_2004::GetPlaneCorrection(float Rm, int plane) {
    if (plane != 1 && plane != 2)
        return 0.0f;
    return tables_.PlaneTb[tbRow(Rm)][plane - 1];
}

float Algorithm_TB10426_2004::CalcStrength(float va, float R, int pebble, float A, float B, float C,
                                           int custom, int pumped, float carbonation, float eta) {
    if (custom == 0)
        curveCoefficients(1, pebble != 0 ? 1 : 2, A, B, C);
    float f = 0.0f;
    if (va > 1e-8 && R > 1e-8) {
        const float vB =
            static_cast<float>(std::pow(static_cast<double>(va), static_cast<double>(B)));
        const float RC =
            static_cast<float>(std::pow(static_cast<double>(R), static_cast<double>(C)));
        f = finiteOrZero(static_cast<float>(RC * (vB * static_cast<double>(A))));
    }
    f = finiteOrZero(f * eta);
    if (pumped != 0) {
        // The band is chosen by the strength after eta; K applies even to a strength of 0.
        float K;
        if (carbonation <= 1.0f) {
            const float* row = tables_.PumpTb[0];
            K = f < 45.0f ? row[0] : f < 50.0f ? row[1] : f < 55.0f ? row[2] : row[3];
        } else {
            const float* row = tables_.PumpTb[1];
            K = f < 35.0f ? row[0] : f < 40.0f ? row[1] : row[2];
        }
        f = finiteOrZero(f + K);
    }
    return f;
}

float Algorithm_TB10426_2004::EstimateMember(const float values[], int n, EstimateStatus* status) {
    if (status != nullptr)
        *status = Valid;
    return GetMin(values, n);
}

float Algorithm_TB10426_2004::EstimateBatch(const float* const groups[], const int counts[],
                                            int nGroups, EstimateStatus* status) {
    EstimateStatus local = Valid;
    EstimateStatus& st = status != nullptr ? *status : local;
    st = Valid;
    if (nGroups < 2) {
        st = RetestMembers;
        return 0.0f;
    }
    const std::vector<float> all = pool(groups, counts, nGroups);
    if (all.empty())
        return 0.0f;
    const int n = static_cast<int>(all.size());
    const float m = GetMean(all.data(), n);
    const float s = GetStdDev(all.data(), n);
    if ((m < 25.0f && s > 4.5f) || (m > 25.0f && s > 5.5f)) {
        st = RetestMembers;
        return 0.0f;
    }
    float r = static_cast<float>(m - 1.645 * s);
    if (r < 0.0f) {
        // Fall back on the mean of the members' smallest test-area strengths.
        std::vector<float> minima(static_cast<std::size_t>(nGroups));
        for (int i = 0; i < nGroups; ++i)
            minima[i] = groups[i] != nullptr ? GetMin(groups[i], counts[i]) : 0.0f;
        r = GetMean(minima.data(), nGroups);
    }
    return r;
}

} // namespace tavolin
