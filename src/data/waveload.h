// The waveform loader of an open: every point's samples from the companion file.
#pragma once

#include "data/fileinput.h"
#include "data/records.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace tavolin {

// Where one point's waveform lies in the companion.
struct WaveRef {
    size_t member = 0;
    size_t area = 0;
    int point = 0;
    int64_t offset = 0;
    int64_t length = 0; // bytes
};

// Progress steps of the waveform phase of an open.
constexpr int64_t kWaveSteps = 16;

// Gives every point of `waves` its samples; false when the companion does not hold them. When
// the waveforms lie close together, as every writer stores them, the whole range is read in one
// block and each point's samples are a view into it; a waveform at an odd position or
// overlapping another gets its own copy. Scattered waveforms are read one by one, so that
// memory stays near what the points need.
bool loadWaveforms(InFile& companion, JobData& job, const std::vector<WaveRef>& waves,
                   const std::function<void(int64_t)>& progress);

} // namespace tavolin
