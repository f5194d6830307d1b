// Strength conversion and estimates after CECS 02:2005.
#include "calc/algorithm.h"

#include "calc/detail.h"

#include <cmath>
#include <cstring>

namespace tavolin {

using calc_detail::angleColumn;
using calc_detail::finiteOrZero;
using calc_detail::pool;

namespace {

// Row 0..6 for Rm 20, 25, ..., 50: the number of thresholds 25..50 not above Rm.
int cecsRow(float Rm) {
    int row = 0;
    for (float t = 25.0f; t <= 50.0f; t += 5.0f)
        if (t <= Rm)
            ++row;
    return row;
}

} // namespace

float Algorithm_CECS02_2005::CalcVelocity(const float L[3], const float T[3]) {
    // A point without a picked arrival has no transit time, so the area has no velocity.
    if (T[0] == 0.0f || T[1] == 0.0f || T[2] == 0.0f)
        return 0.0f;
    const double sum = static_cast<double>(L[1]) / T[1] + static_cast<double>(L[0]) / T[0] +
                       static_cast<double>(L[2]) / T[2];
    return finiteOrZero(static_cast<float>(sum / 3.0));
}

float Algorithm_CECS02_2005::CorrectVelocity(float v, int, int, float lamda, float beta) {
    return finiteOrZero(lamda * beta * v);
}

float Algorithm_CECS02_2005::GetAngleCorrection(float Rm, int angle) {
    std::memcpy(AngleCecs, tables_.AngleCecs, sizeof(AngleCecs));
    if (angle == 0)
        return 0.0f;
    return AngleCecs[cecsRow(Rm)][angleColumn(angle)];
}

float Algorithm_CECS02_2005::GetPlaneCorrection(float Rm, int plane) {
    if (plane != 1 && plane != 2)
        return 0.0f;
    return tables_.PlaneCecs[cecsRow(Rm)][plane - 1];
}

float Algorithm_CECS02_2005::CalcStrength(float va, float R, int pebble, float A, float B, float C,
                                          int custom, int, float, float eta) {
    if (custom != 1) {
        if (pebble == 1) {
            A = 0.0056f;
            B = 1.439f;
            C = 1.769f;
        } else {
            A = 0.0162f;
            B = 1.656f;
            C = 1.41f;
        }
    }
    // Written as "not at least" so that a NaN velocity or rebound value also gives 0.
    if (!(va >= 1e-8) || !(R >= 1e-8))
        return 0.0f;
    const float vB = static_cast<float>(std::pow(static_cast<double>(va), static_cast<double>(B)));
    const float RC = static_cast<float>(std::pow(static_cast<double>(R), static_cast<double>(C)));
    const double f = RC * (vB * (static_cast<double>(A) * eta));
    return finiteOrZero(static_cast<float>(f));
}

float Algorithm_CECS02_2005::EstimateMember(const float values[], int n, EstimateStatus* status) {
    EstimateStatus local = Valid;
    EstimateStatus& st = status != nullptr ? *status : local;
    if (n <= 0 || values == nullptr) {
        st = NoData;
        return 0.0f;
    }
    bool above70 = false;
    for (int i = 0; i < n; ++i)
        if (values[i] > 70.0f)
            above70 = true;
    if (above70) {
        const float r = GetMin(values, n);
        st = r > 70.0f ? Above70 : (r < 10.0f ? Below10 : Valid);
        return r;
    }
    if (GetMin(values, n) < 10.0f) {
        st = Below10;
        return 0.0f;
    }
    float r;
    if (n < 10) {
        r = GetMin(values, n);
    } else {
        const float m = GetMean(values, n);
        const float s = GetStdDev(values, n);
        r = static_cast<float>(m - 1.645 * s);
    }
    st = r < 10.0f ? Below10 : (r > 70.0f ? Above70 : Valid);
    return r;
}

float Algorithm_CECS02_2005::EstimateBatch(const float* const groups[], const int counts[],
                                           int nGroups, EstimateStatus* status) {
    EstimateStatus local = Valid;
    EstimateStatus& st = status != nullptr ? *status : local;
    const std::vector<float> all = pool(groups, counts, nGroups);
    const int n = static_cast<int>(all.size());
    const float m = GetMean(all.data(), n);
    const float s = GetStdDev(all.data(), n);
    if ((m < 25.0f && s > 4.5f) || (m < 50.0f && s > 5.5f) || (m > 50.0f && s > 6.5f)) {
        st = RetestMembers;
        return 0.0f;
    }
    return EstimateMember(all.data(), n, &st);
}

} // namespace tavolin
