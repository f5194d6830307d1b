// Test-area computation in its fixed order, member and batch evaluation.
#pragma once

#include "calc/algorithm.h"
#include "data/records.h"

#include <vector>

namespace tavolin {

// T, point velocity and amplitude of the three points (derived values of an area).
void computePointValues(TestArea& area);
// v = CalcVelocity, va = CorrectVelocity, stored in the area.
void computeAreaVelocity(TestArea& area, CAlgorithm& algorithm);
// Everything derived on open: point values, then v and va.
void computeAreaDerived(TestArea& area, CAlgorithm& algorithm);

struct AreaStrength {
    bool extremesValid = false; // false when the mean was typed (reboundFlag set)
    int extremes[6] = {};       // positions 0..15, three highest first
    float correctedRebound = 0; // PLANEAM + ANGLEAM + Rm, shown only
    int outsideCurve = 0;       // OutsideFlags of va and R against the member's named curve
};
// Rebound mean, corrections and FCUI of one area, in that order, stored in the area.
AreaStrength computeAreaStrength(TestArea& area, const MemberInfo& member, CAlgorithm& algorithm);

struct MemberEvaluation {
    int N = 0;
    float Fmin = 0, Fmax = 0, Mf = 0, Sf = 0, Fcu = 0;
    EstimateStatus status = Valid;
};
MemberEvaluation evaluateMember(const AreaList& areas, CAlgorithm& algorithm);

struct BatchEvaluation {
    float MF = 0, SF = 0, FCUE = 0;
    EstimateStatus status = Valid;
};
// Pools every member's FCUI values; the caller stores MF, SF, FCUE into the job's Result.
BatchEvaluation evaluateBatch(const std::vector<AreaList>& areas, CAlgorithm& algorithm);

} // namespace tavolin
