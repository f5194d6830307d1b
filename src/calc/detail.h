// Internal helpers of the algorithms: pooling member groups, finite checks, angle columns.
#pragma once

#include <cmath>
#include <vector>

namespace tavolin::calc_detail {

// All values of all groups, in group order; groups with a count <= 0 or no data add nothing.
inline std::vector<float> pool(const float* const groups[], const int counts[], int nGroups) {
    std::vector<float> all;
    if (groups == nullptr || counts == nullptr || nGroups <= 0)
        return all;
    std::size_t total = 0;
    for (int i = 0; i < nGroups; ++i)
        if (groups[i] != nullptr && counts[i] > 0)
            total += static_cast<std::size_t>(counts[i]);
    all.reserve(total);
    for (int i = 0; i < nGroups; ++i)
        if (groups[i] != nullptr && counts[i] > 0)
            all.insert(all.end(), groups[i], groups[i] + counts[i]);
    return all;
}

// Computations report invalid input as 0, never as NaN or infinity.
inline float finiteOrZero(float x) {
    return std::isfinite(x) ? x : 0.0f;
}

// Column 0..7 of an angle table (+90, +60, +45, +30, -30, -45, -60, -90) for a non-zero angle.
inline int angleColumn(int angle) {
    if (angle > 0) {
        if (angle < 45)
            return 3;
        if (angle < 60)
            return 2;
        if (angle < 90)
            return 1;
        return 0;
    }
    if (angle > -45)
        return 4;
    if (angle > -60)
        return 5;
    if (angle > -90)
        return 6;
    return 7;
}

} // namespace tavolin::calc_detail
