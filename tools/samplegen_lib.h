// Realistic instrument jobs for samples, tests and benchmarks: waveforms, readings, evaluation.
#pragma once

#include "data/records.h"

#include <cstdint>
#include <string>

namespace tavolin::samplegen {

struct SampleSpec {
    int members = 1;
    int areas = 10;      // per member
    int datLen = 1024;   // samples per waveform
    float dT = 0.4f;     // sample interval, us (two decimals: the files keep no more)
    bool result = false; // a result job with rebound data and evaluation, else a raw job
    uint64_t seed = 1;
    int standard = 0; // the standard a result job is evaluated by
};

// The message of a spec that cannot make a valid file pair, empty when it can.
std::string checkSpec(const SampleSpec& spec);

// The whole job, waveforms included; a result job is evaluated (FCUI, corrections, Result).
JobData generateJob(const SampleSpec& spec);

// Writes the job with the project's own writer (raw for ".SHT", result otherwise);
// returns the writer's message, empty on success.
std::u16string writeJob(const std::string& path, const JobData& job, bool result);

} // namespace tavolin::samplegen
