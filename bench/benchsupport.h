// What the benchmarks share: their large job and their clock (medians of wall-clock and process
// CPU time over repetitions; on a busy machine the CPU time is the steadier figure).
#pragma once

#include "samplegen_lib.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <functional>
#include <vector>

namespace benchtiming {

// The large job of the speed targets: a result job of 100 members x 100 areas, 1,024 samples a
// waveform.
inline tavolin::samplegen::SampleSpec largeJobSpec() {
    tavolin::samplegen::SampleSpec spec;
    spec.members = 100;
    spec.areas = 100;
    spec.datLen = 1024;
    spec.result = true;
    spec.seed = 42;
    return spec;
}

struct Timing {
    double wallMs = 0;
    double cpuMs = 0;
};

inline double cpuNowMs() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

// What runs around each repetition besides the timed step.
struct Hooks {
    std::function<void()> before; // outside the clocks, before the step (preparing its input)
    std::function<void()> settle; // once before the clocks start and inside them after the step
                                  // (work the step queued, such as repaints)
    std::function<void()> after;  // outside the clocks, after the step (freeing what it built)
};

inline Timing median(int repetitions, const std::function<void()>& run, const Hooks& hooks = {}) {
    std::vector<double> wall, cpu;
    for (int i = 0; i < repetitions; ++i) {
        if (hooks.before)
            hooks.before();
        if (hooks.settle)
            hooks.settle();
        const double c0 = cpuNowMs();
        const auto start = std::chrono::steady_clock::now();
        run();
        if (hooks.settle)
            hooks.settle();
        const auto stop = std::chrono::steady_clock::now();
        cpu.push_back(cpuNowMs() - c0);
        wall.push_back(std::chrono::duration<double, std::milli>(stop - start).count());
        if (hooks.after)
            hooks.after();
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    return {wall[wall.size() / 2], cpu[cpu.size() / 2]};
}

} // namespace benchtiming
