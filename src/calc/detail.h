// Internal helpers of the algorithms: pooling member groups into one list, finite checks.
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

} // namespace tavolin::calc_detail
