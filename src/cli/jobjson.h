// The machine-readable form of an evaluated job.
#pragma once

#include "data/jobeval.h"
#include "data/records.h"

#include <functional>
#include <string>
#include <string_view>

namespace tavolin::cli {

// One JSON object: file, standard, project, members (with areas and evaluation) and batch.
std::string jobToJson(const std::string& file, int standard, const JobData& job,
                      const JobEvaluation& evaluation);
// The same text handed to `sink` in pieces as it is made.
void writeJobJson(const std::string& file, int standard, const JobData& job,
                  const JobEvaluation& evaluation,
                  const std::function<void(std::string_view)>& sink);

} // namespace tavolin::cli
