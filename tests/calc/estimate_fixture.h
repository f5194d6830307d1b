// A fixture for one standard's algorithm on default tables, with the estimate helpers both
// standards' tests use.
#pragma once

#include "calc/algorithm.h"

#include <gtest/gtest.h>

#include <utility>

namespace tavolin::testing {

using R = std::pair<float, EstimateStatus>;

template <class Algorithm> struct AlgorithmTest : ::testing::Test {
    CorrectionTables tables;
    Algorithm algo{tables};
    EstimateStatus st = NoData;
    R member(const float* v, int n) {
        const float r = algo.EstimateMember(v, n, &st);
        return {r, st};
    }
    R pooled(const float* const* groups, const int* counts, int n) {
        const float r = algo.EstimateBatch(groups, counts, n, &st);
        return {r, st};
    }
    // Nine values over two members: four at lo and mid in the first, four at hi in the second.
    R batch(float lo, float hi, float mid) {
        const float g0[] = {lo, lo, lo, lo, mid}, g1[] = {hi, hi, hi, hi};
        const float* groups[] = {g0, g1};
        const int counts[] = {5, 4};
        return pooled(groups, counts, 2);
    }
};

} // namespace tavolin::testing
