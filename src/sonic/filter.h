// The digital high-pass / low-pass filter of a waveform, started from the unfiltered samples.
#pragma once

#include <cstdint>
#include <vector>

namespace tavolin {

// Number of lead-in trend samples: 10 / dT truncated, limited to 8..32; 0 with both filters off.
int leadInLength(float dT, bool highOn, bool lowOn);

// Filters `n` raw samples (zero line 2048) with sample interval dT (us); cut-offs in Hz.
// With both filters off the output equals the input. Results below -2048 are stored as 0; results
// beyond the 16-bit range saturate at 65535. An interval that is not a positive number, or a
// cut-off that is not a positive frequency, leaves that filter stage out; a high-pass cut-off at or
// above the Nyquist frequency removes everything (zero line). n <= 0 or no input gives an empty
// result.
std::vector<uint16_t> filterWaveform(const uint16_t* raw, int n, float dT, bool highOn,
                                     float highHz, bool lowOn, float lowHz);

// Rounding half away from zero.
float roundHalfAway(float v);

} // namespace tavolin
