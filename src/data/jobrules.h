// Rules that belong to the job, not to a form: the beta/lambda rule of the test method and
// position, and the coefficient defaults of a member's aggregate curve.
#pragma once

#include "data/records.h"

#include <optional>
#include <string_view>

namespace tavolin {

// What the test method and position imply for beta and lambda; unset = the area keeps its own.
struct FactorRule {
    std::optional<float> beta;
    std::optional<float> lamda;
};
FactorRule factorRuleOf(int method, std::u16string_view position);
// Sets BETA and LAMDA of the area as its method and position imply; true when one changed.
bool applyFactorRule(TestArea& area);

// The coefficient rule of a member: a named curve (pebble, crushed stone) carries the defaults
// of the standard it is evaluated by; a curve outside the known ones becomes crushed stone; a
// custom curve keeps its coefficients. True when the member changed.
bool applyCurveRule(MemberInfo& member, int standard);

} // namespace tavolin
