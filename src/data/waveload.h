// The waveform loader of an open: every point's samples from the companion file.
#pragma once

#include "data/fileinput.h"
#include "data/records.h"

#include <cstdint>
#include <functional>
#include <memory>
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

class CompanionPrefetch;

// Reads the waveforms of every point. When they lie close together, as every writer stores
// them, the whole range is read in one block and each point's samples are a view into it; a
// waveform at an odd position or overlapping another gets its own copy. Scattered waveforms are
// read one by one, so that memory stays near what the points need.
class WaveformLoader {
public:
    explicit WaveformLoader(InFile& companion);
    ~WaveformLoader();
    WaveformLoader(const WaveformLoader&) = delete;
    WaveformLoader& operator=(const WaveformLoader&) = delete;

    // Before the text is read: a companion that a text of `textBytes` could fill with waveforms
    // is read whole on a second thread while the text is parsed.
    void readAhead(int64_t textBytes);
    // Once the lines are counted: a companion far larger than `rayLines` waveforms of
    // `longestDatLen` samples could use is not held whole; the read-ahead is given up.
    void bound(int64_t rayLines, int64_t longestDatLen);
    // Gives every point of `waves` its samples; false when the companion does not hold them.
    bool load(JobData& job, const std::vector<WaveRef>& waves,
              const std::function<void(int64_t)>& progress);

private:
    InFile& file_;
    std::unique_ptr<CompanionPrefetch> prefetch_;
};

} // namespace tavolin
