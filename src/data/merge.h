// Merge of several data files into one result job.
#pragma once

#include "data/datafile.h"

#include <string>
#include <vector>

namespace tavolin {

// Reads `paths` in order into `merged` as the merge dialog does (renumbered members, A = B = C =
// 0). A file that fails to read contributes nothing; its message "读取文件" + path + "错误:" + text
// goes to `notice`. Returns the number of files that were read.
int MergeFiles(const std::vector<std::string>& paths, JobData& merged,
               const ReadOptions& options = {});

} // namespace tavolin
