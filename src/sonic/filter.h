// The digital high-pass / low-pass filter of a waveform, started from the unfiltered samples.
#pragma once

#include <cstdint>
#include <vector>

namespace tavolin {

// Number of lead-in trend samples: 10 / dT truncated, limited to 8..32; 0 with both filters off.
int leadInLength(float dT, bool highOn, bool lowOn);

// Filters `n` raw samples (zero line 2048) with sample interval dT (us); cut-offs in Hz.
// With both filters off the output equals the input.
std::vector<uint16_t> filterWaveform(const uint16_t* raw, int n, float dT, bool highOn,
                                     float highHz, bool lowOn, float lowHz);

// Rounding half away from zero.
float roundHalfAway(float v);

} // namespace tavolin
