// CTavolinDoc: "自动判读", the automatic first-arrival suggestions applied as one edit.
#include "data/doc.h"

#include "sonic/autopick.h"

#include <algorithm>

namespace tavolin {

CTavolinDoc::AutoPickSummary CTavolinDoc::autoPick(int member, int area) {
    AutoPickSummary summary;
    if (!isOpen())
        return summary;
    const int members = static_cast<int>(std::min(job_.members.size(), job_.areas.size()));
    if (member >= members || (member < 0 && area >= 0))
        return summary;
    // Asking for one area asks for its hand picks again; wider runs leave them alone.
    const bool redoHand = area >= 0;
    const int m0 = member < 0 ? 0 : member, m1 = member < 0 ? members : member + 1;
    if (area >= 0 && area >= static_cast<int>(job_.areas[static_cast<size_t>(m0)].size()))
        return summary;
    // One step of the history however many areas it touches; each area is filed as an edit of
    // its own inside it (records before and after, recompute, notice).
    beginCompoundEdit(u"自动判读");
    for (int m = m0; m < m1; ++m) {
        const int areas = static_cast<int>(job_.areas[static_cast<size_t>(m)].size());
        for (int a = area < 0 ? 0 : area; a < (area < 0 ? areas : area + 1); ++a) {
            TestArea& ta = job_.areas[static_cast<size_t>(m)][static_cast<size_t>(a)];
            const bool any =
                std::any_of(ta.points.begin(), ta.points.end(), [&](const TestPoint& p) {
                    return p.hasWaveform() && (redoHand || p.pickOrigin != PickOrigin::Hand);
                });
            for (const TestPoint& p : ta.points)
                summary.handKept +=
                    p.hasWaveform() && !redoHand && p.pickOrigin == PickOrigin::Hand;
            if (!any)
                continue;
            record(u"自动判读", {TouchArea, m, a});
            bool stored = false;
            for (TestPoint& p : ta.points) {
                if (!p.hasWaveform() || (p.pickOrigin == PickOrigin::Hand && !redoHand))
                    continue;
                const int n = static_cast<int>(p.samples.size());
                const ArrivalSuggestion s = suggestArrival(p.samples.data(), n);
                p.pickConfidence = s.confidence;
                if (s.index < 0 || s.confidence < kConfidentPick) {
                    p.pickOrigin = PickOrigin::Review;
                    ++summary.review;
                    continue;
                }
                // As for a pick by hand, the first sample (the trigger) is never an arrival.
                const int index = std::clamp(s.index, 1, std::max(1, n - 1));
                stored = stored || p.arrivalIndex != index || p.ampIndex != s.ampIndex;
                p.arrivalIndex = index;
                p.ampIndex = s.ampIndex;
                p.pickOrigin = PickOrigin::Suggested;
                ++summary.applied;
            }
            recomputeArea(m, a, true);
            changed({m, a, ChangeArrival | ChangeStrength | ChangeEvaluation}, stored);
        }
    }
    endCompoundEdit();
    return summary;
}

int CTavolinDoc::pointsNeedingReview() const {
    int count = 0;
    for (const AreaList& areas : job_.areas)
        for (const TestArea& a : areas)
            for (const TestPoint& p : a.points)
                count += p.hasWaveform() && p.pickOrigin == PickOrigin::Review;
    return count;
}

} // namespace tavolin
