// Evaluation of a whole job in the order of the analysis screen's member recompute.
#include "data/jobeval.h"

#include "data/jobrules.h"

#include <algorithm>

namespace tavolin {

void applySettings(MemberInfo& member, AreaList& areas, ProjectInfo& project, int standard,
                   const EvalSettings& settings) {
    if (settings.abc) {
        member.curve = CurveCustom;
        member.A = (*settings.abc)[0];
        member.B = (*settings.abc)[1];
        member.C = (*settings.abc)[2];
        member.curveName = settings.curveName;
    } else if (settings.curve && *settings.curve == CurveCustom) {
        member.curve = CurveCustom; // keep the member's own coefficients
    } else {
        // A named curve always carries the defaults of the standard it is evaluated by, as the
        // analysis form writes them when it shows the member; the strength conversion uses
        // those defaults anyway, so the member and a saved file must not keep another
        // standard's.
        if (settings.curve)
            member.curve = *settings.curve;
        applyCurveRule(member, standard);
    }
    if (settings.pumped)
        member.pumped = 1;
    if (settings.eta) {
        project.ETA = *settings.eta;
        for (TestArea& area : areas)
            area.ETA = *settings.eta;
    }
}

void computeMember(const MemberInfo& member, AreaList& areas, CAlgorithm& algorithm,
                   std::vector<AreaStrength>& strengths) {
    strengths.clear();
    strengths.reserve(areas.size());
    for (TestArea& area : areas) {
        applyFactorRule(area);
        computeAreaVelocity(area, algorithm);
        strengths.push_back(computeAreaStrength(area, member, algorithm));
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
        computeMember(member, areas, algorithm, out.areas[m]);
        out.members.push_back(evaluateMember(areas, algorithm));
    }
    out.batch = evaluateBatch(job.areas, algorithm);
    job.result.MF = out.batch.MF;
    job.result.SF = out.batch.SF;
    job.result.FCUE = out.batch.FCUE;
    return out;
}

} // namespace tavolin
