// The machine-readable form of an evaluated job.
#pragma once

#include "cli/jobeval.h"
#include "data/records.h"

#include <string>

namespace tavolin::cli {

// One JSON object: file, standard, project, members (with areas and evaluation) and batch.
std::string jobToJson(const std::string& file, int standard, const JobData& job,
                      const JobEvaluation& evaluation);

} // namespace tavolin::cli
