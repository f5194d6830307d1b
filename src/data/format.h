// The one set of display formats, so screen, reports, exports and command line agree.
#pragma once

#include "calc/algorithm.h"
#include "data/labels.h"

#include <string>

namespace tavolin {

std::u16string formatFixed(float value, int decimals); // "%.Nf"
std::u16string formatInt(int value);                   // "%d"
// Converted strength of an area: "<10MPa" / ">70MPa" under CECS 02:2005, else "%.1f".
std::u16string formatAreaStrength(float fcui, int standard);
// Converted strength with the limits marked whatever the standard: "<10MPa" / ">70MPa" / "%.1f".
std::u16string formatStrengthLimited(float fcui);
// "Fcu(Mpa)" of the member panel by status.
std::u16string formatMemberEstimate(float value, EstimateStatus status);
// "强度推定值" of the batch panel by status and standard.
std::u16string formatBatchEstimate(float value, EstimateStatus status, int standard);
// The re-test rule text of a standard ("" for an unknown index).
std::u16string retestRuleText(int standard);
// Status name as in the JSON output: "Valid", "Below10", ...
const char* statusName(EstimateStatus status);

} // namespace tavolin
