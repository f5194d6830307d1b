// The readable form of an evaluated job: one table per member, then the batch.
#pragma once

#include "data/jobeval.h"
#include "data/records.h"

#include <string>

namespace tavolin::cli {

std::string jobToText(const std::string& file, int standard, const JobData& job,
                      const JobEvaluation& evaluation);

} // namespace tavolin::cli
