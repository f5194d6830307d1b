// Readers and writers of the raw (.SHT) and result (.SHA) file pairs with their .SHD companion.
#pragma once

#include "data/records.h"

#include <cstdint>
#include <functional>
#include <string>

namespace tavolin {

// A message to show at once that does not stop the operation ("数字过长…").
using MessageSink = std::function<void(const std::u16string&)>;
// Progress of a long operation: done out of total (any unit).
using ProgressSink = std::function<void(int64_t done, int64_t total)>;

struct ReadOptions {
    MessageSink notice;
    ProgressSink progress;
};

// Path of the companion waveform file: the last character replaced by 'D' ('d' when it is a
// lower-case letter, so "job.sha" pairs with "job.shd").
std::string companionPath(const std::string& path);
// The file name contains ".SHT" / ".SHA" in any case of letters: jobs copied from Windows
// machines often carry lower-case names.
bool isRawPath(const std::string& path);
bool isResultPath(const std::string& path);

// Reads a file pair into `job` (which should be fresh). Returns the message text of a failure,
// empty on success. On failure `job` holds no usable data.
std::u16string ReadDataFile(const std::string& path, JobData& job, const ReadOptions& options = {});

// Write beside the target and rename over it; return the message text of a failure, else empty.
std::u16string WriteRawFile(const std::string& path, const JobData& job);
std::u16string WriteResultFile(const std::string& path, const JobData& job);

} // namespace tavolin
