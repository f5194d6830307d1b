// Evaluation of a whole job in the order of the analysis screen's member recompute.
#include "cli/jobeval.h"

#include <algorithm>

namespace tavolin::cli {

void applySettings(MemberInfo& member, AreaList& areas, ProjectInfo& project, int standard,
                   const EvalSettings& settings) {
    if (settings.abc) {
        member.curve = CurveCustom;
        member.A = (*settings.abc)[0];
        member.B = (*settings.abc)[1];
        member.C = (*settings.abc)[2];
    } else if (settings.curve && *settings.curve == CurveCustom) {
        member.curve = CurveCustom; // keep the member's own coefficients
    } else {
        // A named curve always carries the defaults of the standard it is evaluated by, as the
        // analysis form writes them when it shows the member; the strength conversion uses
        // those defaults anyway, so the member and a saved file must not keep another
        // standard's. A curve outside the known ones becomes crushed stone, as there.
        int curve = settings.curve ? *settings.curve : member.curve;
        if (curve != CurveCustom && curve != CurvePebble && curve != CurveCrushed)
            curve = CurveCrushed;
        if (curve != CurveCustom) {
            float A = member.A, B = member.B, C = member.C;
            if (curveCoefficients(standard, curve, A, B, C)) {
                member.curve = curve;
                member.A = A;
                member.B = B;
                member.C = C;
            }
        }
    }
    if (settings.pumped)
        member.pumped = 1;
    if (settings.eta) {
        project.ETA = *settings.eta;
        for (TestArea& area : areas)
            area.ETA = *settings.eta;
    }
}

JobEvaluation evaluateJob(JobData& job, CAlgorithm& algorithm, int standard,
                          const EvalSettings& settings) {
    JobEvaluation out;
    const size_t memberCount = std::min(job.members.size(), job.areas.size());
    out.areas.resize(memberCount);
    out.members.reserve(memberCount);
    for (size_t m = 0; m < memberCount; ++m) {
        MemberInfo& member = job.members[m];
        AreaList& areas = job.areas[m];
        applySettings(member, areas, job.project, standard, settings);
        out.areas[m].reserve(areas.size());
        for (TestArea& area : areas) {
            computeAreaVelocity(area, algorithm);
            out.areas[m].push_back(computeAreaStrength(area, member, algorithm));
        }
        out.members.push_back(evaluateMember(areas, algorithm));
    }
    out.batch = evaluateBatch(job.areas, algorithm);
    job.result.MF = out.batch.MF;
    job.result.SF = out.batch.SF;
    job.result.FCUE = out.batch.FCUE;
    return out;
}

} // namespace tavolin::cli
