// The machine-readable form of an evaluated job.
#pragma once

#include "data/corefile.h"
#include "data/jobeval.h"
#include "data/records.h"

#include <functional>
#include <string>
#include <string_view>

namespace tavolin::cli {

// One JSON object: file, standard, project, members (with areas and evaluation), batch, and the
// correction when the job was corrected by specimens.
std::string jobToJson(const std::string& file, int standard, const JobData& job,
                      const JobEvaluation& evaluation, const CoreResult* cores = nullptr);
// The same text handed to `sink` in pieces as it is made.
void writeJobJson(const std::string& file, int standard, const JobData& job,
                  const JobEvaluation& evaluation,
                  const std::function<void(std::string_view)>& sink,
                  const CoreResult* cores = nullptr);

} // namespace tavolin::cli
