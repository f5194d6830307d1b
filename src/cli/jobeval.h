// Applies the command-line strength settings to a job and evaluates it as the analysis screen does.
#pragma once

#include "calc/algorithm.h"
#include "data/evaluation.h"
#include "data/records.h"

#include <array>
#include <optional>
#include <vector>

namespace tavolin::cli {

// What the user asked to change before evaluating; unset fields keep what the file gave.
struct EvalSettings {
    std::optional<int> standard;             // 0 CECS 02:2005, 1 TB 10426-2004
    std::optional<int> curve;                // CurveType
    std::optional<std::array<float, 3>> abc; // custom A, B, C (implies curve 0)
    bool pumped = false;                     // set pumped 1 on every member
    std::optional<float> eta;                // project and every area
};

struct JobEvaluation {
    std::vector<std::vector<AreaStrength>> areas; // parallel to the job's area lists
    std::vector<MemberEvaluation> members;
    BatchEvaluation batch;
};

// Curve, coefficients, pumped flag and eta of one member and its areas; `standard` selects the
// default coefficients of a named curve.
void applySettings(MemberInfo& member, AreaList& areas, ProjectInfo& project, int standard,
                   const EvalSettings& settings);

// For every member in order: apply the settings, recompute v and va and then the strength of
// every area, evaluate the member; then the batch, stored into the job's Result.
JobEvaluation evaluateJob(JobData& job, CAlgorithm& algorithm, int standard,
                          const EvalSettings& settings);

} // namespace tavolin::cli
