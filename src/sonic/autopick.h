// Automatic first-arrival suggestion: detection of the pulse, the half-cycle grid of its carrier,
// a walk back to the start of the first half-cycle, and a confidence for the suggestion.
#pragma once

#include <cstdint>

namespace tavolin {

// What the picker found on one waveform. Indexes are sample indexes of the working samples.
struct ArrivalSuggestion {
    int index = -1;          // start of the first half-cycle; -1 when no pulse was found
    int ampIndex = -1;       // extremum of the first half-cycle after `index`
    float confidence = 0.0f; // 0 .. 1; below kConfidentPick the suggestion needs a human
    float snrDb = 0.0f;      // pulse peak over the pre-trigger noise, in dB
    float halfPeriod = 0.0f; // carrier half-period in samples
};

// Suggestions at or above this confidence are applied without a human.
constexpr float kConfidentPick = 0.5f;

// Waveforms shorter than this have too little room for a pre-trigger and a pulse.
constexpr int kMinPickSamples = 64;

// Suggests the first arrival of `n` 12-bit samples (zero line 2048). Robust to a DC offset and a
// slow drift; clipped samples, a constant pre-trigger, no samples or a short waveform give a
// result (possibly index -1 with confidence 0), never a failure.
ArrivalSuggestion suggestArrival(const uint16_t* samples, int n);

// Index of the extremum of the first half-cycle of the pulse at or after sample `from` (the
// amplitude a pick shows): the pulse's first half-cycle when `from` lies before the pulse, else
// the half-cycle of the carrier that starts nearest after `from`. Without a recognisable pulse
// (noise only, or too short), `from` itself (limited to the waveform); -1 when there are no
// samples.
int firstHalfCycleIndex(const uint16_t* samples, int n, int from);

// The textbook whole-trace AIC picker, for comparison: the k minimising
// k * ln var(x[0..k-1]) + (n - k - 1) * ln var(x[k..n-1]); -1 for fewer than 4 samples.
int aicPick(const uint16_t* samples, int n);

} // namespace tavolin
