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
// Whose estimate a text states, and where it is shown.
enum class EstimateOf { Member, Batch };
enum class EstimateMedium { Panel, Report };
// The one text of an estimate by its status: what the "Fcu(Mpa)" and "强度推定值" panels show
// ("21.6", "<10.0MPa", ...) or what the report pages and Word tables print ("fcue = 21.6Mpa",
// "fcue < 10 Mpa", ...). A batch to be assessed member by member states the standard's rule
// text in both; only `Below10` says below 10 and only `Above70` says above 70.
std::u16string estimateText(float value, EstimateStatus status, EstimateOf of, int standard,
                            EstimateMedium medium = EstimateMedium::Panel);
// The re-test rule text of a standard ("" for an unknown index).
std::u16string retestRuleText(int standard);
// Status name as in the JSON output: "Valid", "Below10", ...
const char* statusName(EstimateStatus status);

} // namespace tavolin
