// What evaluate, save-result and report share beyond the plain settings: the curve library and a
// named curve, and a core or cube correction, applied to the opened job.
#pragma once

#include "cli/options.h"
#include "data/corefile.h"
#include "data/curvelibrary.h"
#include "data/jobeval.h"

#include <optional>
#include <string>
#include <vector>

namespace tavolin::cli {

struct JobRequest {
    EvalSettings settings;
    CurveLibrary library;
    std::vector<Specimen> specimens; // from --cores
    std::vector<int> lines;          // the line of each specimen
    std::string coresFile;
    bool hasCores = false;
};

// Parses the options and reads the library and the specimen list before any job is opened.
// Usage errors are thrown; a file that cannot be used is reported and gives false (exit 1).
bool jobRequestFrom(const ParsedArgs& args, JobRequest& out);

struct EvaluatedJob {
    JobEvaluation evaluation;
    std::optional<CoreResult> cores;
};

// Evaluates the opened job as asked: with a correction, first with eta unset to find fcu,i^c,
// then with the eta the specimens give. Names the members' curves and marks the areas outside
// them. A correction that cannot be made is reported and gives false.
bool evaluateRequest(JobData& job, CAlgorithm& algorithm, int standard, JobRequest& request,
                     EvaluatedJob& out);

} // namespace tavolin::cli
