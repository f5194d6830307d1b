// Plausibility of what was measured and typed: values the rules accept but a real test area
// cannot have (a rebound reading off the hammer's scale, a path length of 0 or of several
// metres, a point velocity no concrete has). The values are kept and computed as they are; the
// views mark them and the status bar says why, until they are corrected.
#pragma once

#include "data/records.h"

#include <array>
#include <string>

namespace tavolin {

// Limits of the checks: the rebound hammer's scale, the path lengths a transducer pair spans on
// a member, the velocities of concrete.
inline constexpr int kReadingMin = 10;
inline constexpr int kReadingMax = 60;
inline constexpr float kPathLengthMax = 3000.0f; // mm
inline constexpr float kVelocityMin = 2.0f;      // km/s
inline constexpr float kVelocityMax = 6.0f;      // km/s

struct AreaPlausibility {
    std::array<bool, 16> reading{};   // R1..R16 outside 10..60 (only while they count)
    std::array<bool, 3> pathLength{}; // L of a point 0 or above 3000 mm
    std::array<bool, 3> velocity{};   // point velocity outside 2..6 km/s
    bool any() const;
};

AreaPlausibility checkPlausibility(const TestArea& area);

// Why the values of an area are marked, "测区N：…；…", empty when nothing is. `number` is the
// area's number as the tables show it (its position + 1).
std::u16string plausibilityMessage(const TestArea& area, int number);

// The message of the current area, else of the first marked area of the member, so that a
// mark is explained until it is corrected wherever the user goes within the member.
std::u16string plausibilityMessage(const AreaList& areas, int current);

} // namespace tavolin
