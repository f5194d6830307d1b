// The one builder of test jobs: members and test areas with a known point geometry, written by
// the project's own writers where a test needs a file.
#pragma once

#include "data/records.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace tavolin::testing {

// Geometry of every point the builder makes. With the defaults T = 140 * 0.5 + 5 = 75 us over
// L = 300 mm, so v = 4 km/s; the sample at the amplitude cursor is 100 codes above the zero line.
struct Geometry {
    int datLen = 512;
    float dT = 0.5f;
    float delay = 5.0f;
    int arrival = 140;
    int arrivalStep = 0; // point j arrives at arrival + j * arrivalStep
    int ampIndex = 150;
    float L = 300.0f;
    float gain = 3.0f;
    int peak = 100;
};

std::array<int, 16> same(int reading);
// first, first + 1, ..., first + 15
std::array<int, 16> ascending(int first = 20);
// Noise of +-200 codes around the zero line, `peak` codes above it at the amplitude cursor.
std::vector<uint16_t> noisyWaveform(uint32_t seed, const Geometry& g = {});
// A regular pattern: every value depends on the sample index and the seed.
std::vector<uint16_t> waveform(int datLen, int seed);

// A through-transmission pulse with a known start, for the first-arrival picker: a carrier of
// `kHz` whose first half-cycle starts at sample `onset` (fractional), under an envelope rising
// linearly over `rise` periods and then decaying with a time constant of three periods, `peak`
// codes at its largest, plus a DC `offset`, a linear drift and Gaussian noise of `noise` codes
// (seeded); 12-bit codes, clipped at 0 and 4095.
struct Pulse {
    int datLen = 1024;
    double dT = 0.4; // us
    double onset = 300;
    double kHz = 50;
    double rise = 0.5;  // periods
    double decay = 3.0; // periods, after the rise
    double peak = 800;
    double noise = 8;
    double offset = 0;
    double driftPerSample = 0;
    int polarity = 1;
    uint32_t seed = 1;
};
std::vector<uint16_t> pulseWaveform(const Pulse& p);

class JobBuilder {
public:
    // A result-file job: the project texts below, no members yet.
    JobBuilder();
    JobBuilder& geometry(const Geometry& g);
    // Starts a member; the areas that follow belong to it.
    JobBuilder& member(const std::u16string& name);
    JobBuilder& area(const std::array<int, 16>& readings);
    JobBuilder& areas(int count, const std::array<int, 16>& readings);
    // `count` members named prefix + 1, prefix + 2, ...; area k of each reads same(30 + k).
    JobBuilder& members(int count, int areasEach, const std::u16string& prefix = u"构件");

    // The job as built so far, for the few fields a test sets itself.
    JobData& job() { return job_; }
    TestArea& lastArea() { return job_.areas.back().back(); }
    JobData build() const { return job_; }

    // One area of member `si` with the builder's geometry (waveforms seeded by si, ratno, point).
    TestArea makeArea(int si, int ratno, const std::array<int, 16>& readings) const;

private:
    Geometry g_;
    JobData job_;
};

// A job in which nearly every record field differs per member and area (datLen grows by 128
// per member, dT cycles 0.5/1/2): what the file round trips compare.
JobData makeJob(int members, int areas, int datLen);

// The edit tests' job: two members; every point T = 75 us over 300 mm, so v = 4 km/s and, with
// beta = lambda = 1, va = 4. Member 0: means 40, 30, 27.5 (20..35); member 1: 35, 45.
JobData twoMemberJob();

} // namespace tavolin::testing
