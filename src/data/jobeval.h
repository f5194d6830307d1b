// Evaluation of a whole job (every area, every member, the batch): the one code path of the
// command line, the screens and the reports.
#pragma once

#include "calc/algorithm.h"
#include "data/evaluation.h"
#include "data/records.h"

#include <array>
#include <optional>
#include <vector>

namespace tavolin {

// What the user asked to change before evaluating; unset fields keep what the file gave.
struct EvalSettings {
    std::optional<int> standard;             // 0 CECS 02:2005, 1 TB 10426-2004
    std::optional<int> curve;                // CurveType
    std::optional<std::array<float, 3>> abc; // custom A, B, C (implies curve 0)
    bool pumped = false;                     // set pumped 1 on every member
    std::optional<float> eta;                // project and every area
    std::u16string curveName;                // the library curve abc comes from, "" for none
};

struct JobEvaluation {
    std::vector<std::vector<AreaStrength>> areas; // parallel to the job's area lists
    std::vector<MemberEvaluation> members;
    BatchEvaluation batch;
};

// Curve, coefficients, pumped flag and eta of one member and its areas; `standard` selects the
// default coefficients of a named curve (the coefficient rule).
void applySettings(MemberInfo& member, AreaList& areas, ProjectInfo& project, int standard,
                   const EvalSettings& settings);

// Everything one member's strengths depend on, in the order of the analysis screen's member
// recompute: the beta/lambda rule, v and va, then the strength of every area in area order.
// `strengths` receives one entry per area.
void computeMember(const MemberInfo& member, AreaList& areas, CAlgorithm& algorithm,
                   std::vector<AreaStrength>& strengths);

// For every member in order: apply the settings, compute the member, evaluate it; then the
// batch, stored into the job's Result.
JobEvaluation evaluateJob(JobData& job, CAlgorithm& algorithm, int standard,
                          const EvalSettings& settings = {});

} // namespace tavolin
