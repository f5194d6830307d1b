// The beta/lambda rule and the coefficient rule of a job.
#include "data/jobrules.h"

#include "calc/algorithm.h"
#include "data/labels.h"

namespace tavolin {

FactorRule factorRuleOf(int method, std::u16string_view position) {
    FactorRule rule;
    switch (method) {
    case MethodCorner:
        rule.beta = 1.0f;
        rule.lamda = 1.0f;
        break;
    case MethodSameSide:
        // Lambda is the user's in same-side tests.
        if (position == kPositionTop)
            rule.beta = 1.05f;
        else if (position == kPositionBottom)
            rule.beta = 0.95f;
        else if (position == kPositionSide)
            rule.beta = 1.0f;
        break;
    case MethodOpposite:
        if (position == kPositionSide)
            rule.beta = 1.0f;
        else if (position == kPositionBetween || position == kPositionTop)
            rule.beta = 1.034f;
        rule.lamda = 1.0f;
        break;
    default:
        // A method code outside the three (from a file) implies nothing.
        break;
    }
    return rule;
}

bool applyFactorRule(TestArea& area) {
    const FactorRule rule = factorRuleOf(area.TMETHOD, area.TESTLOC);
    bool changed = false;
    if (rule.beta && area.BETA != *rule.beta) {
        area.BETA = *rule.beta;
        changed = true;
    }
    if (rule.lamda && area.LAMDA != *rule.lamda) {
        area.LAMDA = *rule.lamda;
        changed = true;
    }
    return changed;
}

bool applyCurveRule(MemberInfo& member, int standard) {
    int curve = member.curve;
    if (curve != CurveCustom && curve != CurvePebble && curve != CurveCrushed)
        curve = CurveCrushed;
    if (curve == CurveCustom)
        return false;
    float A = member.A, B = member.B, C = member.C;
    if (!curveCoefficients(standard, curve, A, B, C)) {
        // A standard without defaults of its own: only the curve code is mended.
        const bool changed = member.curve != curve;
        member.curve = curve;
        return changed;
    }
    const bool changed = member.curve != curve || member.A != A || member.B != B || member.C != C;
    member.curve = curve;
    member.A = A;
    member.B = B;
    member.C = C;
    return changed;
}

} // namespace tavolin
