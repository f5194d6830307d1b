// The fixed computation order of a test area, and the member and batch evaluations built on it.
#include "data/evaluation.h"

#include "sonic/waveform.h"

#include <algorithm>
#include <cmath>

namespace tavolin {

void computePointValues(TestArea& area) {
    for (int j = 0; j < 3; ++j) {
        const TestPoint& point = area.points[j];
        float t = 0.0f;
        float amplitude = 0.0f;
        if (point.hasWaveform()) {
            t = transitTime(point.arrivalIndex, area.dT, area.Delay);
            // A cursor outside the waveform or a zero gain has no meaningful amplitude.
            if (point.ampIndex >= 0 && point.ampIndex < static_cast<int>(point.samples.size()) &&
                point.Gain != 0.0f)
                amplitude = sampleAmplitude(point.samples[point.ampIndex], point.Gain);
        }
        area.pointTime[j] = t;
        // A point without a transit time has no velocity rather than an infinite one.
        area.pointVelocity[j] = t != 0.0f ? point.L / t : 0.0f;
        area.pointAmplitude[j] = amplitude;
    }
}

void computeAreaVelocity(TestArea& area, CAlgorithm& algorithm) {
    const float L[3] = {area.points[0].L, area.points[1].L, area.points[2].L};
    const float T[3] = {area.pointTime[0], area.pointTime[1], area.pointTime[2]};
    float v = algorithm.CalcVelocity(L, T);
    // Missing transit times must not leak an infinity or NaN into strengths and files.
    if (!std::isfinite(v))
        v = 0.0f;
    area.velocity = v;
    float va = algorithm.CorrectVelocity(v, area.PLANE, area.TMETHOD, area.LAMDA, area.BETA);
    if (!std::isfinite(va))
        va = 0.0f;
    area.correctedVelocity = va;
}

void computeAreaDerived(TestArea& area, CAlgorithm& algorithm) {
    computePointValues(area);
    computeAreaVelocity(area, algorithm);
}

AreaStrength computeAreaStrength(TestArea& area, const MemberInfo& member, CAlgorithm& algorithm) {
    AreaStrength out;
    if (area.reboundFlag == 0) {
        area.reboundMean = algorithm.SelectExtremes(area.R.data(), out.extremes);
        out.extremesValid = true;
    }
    const float rm = area.reboundMean;
    area.ANGLEAM = algorithm.GetAngleCorrection(rm, area.ANGLE);
    area.PLANEAM = area.PLANE < 0 ? 0.0f : algorithm.GetPlaneCorrection(rm, area.PLANE);
    // Both corrections come from the uncorrected mean; R is only shown, never stored in RA.
    const float r = area.PLANEAM + area.ANGLEAM + rm;
    out.correctedRebound = r;
    const float va = std::min(area.correctedVelocity, 9999.0f);
    area.FCUI = algorithm.CalcStrength(va, r, member.curve == CurvePebble ? 1 : 0, member.A,
                                       member.B, member.C, member.curve == CurveCustom ? 1 : 0,
                                       member.pumped, area.CARBON, area.ETA);
    return out;
}

MemberEvaluation evaluateMember(const AreaList& areas, CAlgorithm& algorithm) {
    std::vector<float> values;
    values.reserve(areas.size());
    for (const TestArea& area : areas)
        values.push_back(area.FCUI);
    const int n = static_cast<int>(values.size());
    MemberEvaluation out;
    out.N = n;
    EstimateStatus status = Valid;
    out.Fcu = algorithm.EstimateMember(values.data(), n, &status);
    out.status = status;
    out.Mf = algorithm.GetMean(values.data(), n);
    out.Sf = algorithm.GetStdDev(values.data(), n);
    out.Fmax = algorithm.GetMax(values.data(), n);
    out.Fmin = algorithm.GetMin(values.data(), n);
    return out;
}

BatchEvaluation evaluateBatch(const std::vector<AreaList>& areas, CAlgorithm& algorithm) {
    std::vector<std::vector<float>> lists(areas.size());
    std::vector<const float*> groups(areas.size());
    std::vector<int> counts(areas.size());
    for (size_t i = 0; i < areas.size(); ++i) {
        for (const TestArea& area : areas[i])
            lists[i].push_back(area.FCUI);
        groups[i] = lists[i].data();
        counts[i] = static_cast<int>(lists[i].size());
    }
    const int nGroups = static_cast<int>(areas.size());
    BatchEvaluation out;
    out.MF = algorithm.GetGroupMean(groups.data(), counts.data(), nGroups);
    out.SF = algorithm.GetGroupStdDev(groups.data(), counts.data(), nGroups);
    EstimateStatus status = Valid;
    out.FCUE = algorithm.EstimateBatch(groups.data(), counts.data(), nGroups, &status);
    out.status = status;
    return out;
}

} // namespace tavolin
