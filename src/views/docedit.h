// Edits of the analysis view that the document carries out (pick and path length).
#pragma once

#include "data/doc.h"
#include "data/evaluation.h"

#include <algorithm>

namespace tavolin {

// First arrival of a point picked on the analysis view: the arrival index only (the amplitude
// cursor stays), index 0 stored as 1, the area recomputed.
inline void setArrival(CTavolinDoc& doc, int member, int area, int point, int index) {
    if (member < 0 || member >= doc.memberCount() || point < 0 || point > 2)
        return;
    AreaList& areas = doc.areasOf(member);
    if (area < 0 || area >= static_cast<int>(areas.size()))
        return;
    TestArea& a = areas[area];
    a.points[point].arrivalIndex = std::max(index, 1);
    computeAreaDerived(a, doc.algorithm());
    computeAreaStrength(a, doc.members()[member], doc.algorithm());
}

// Path length of a point, clamped to 0 … 10000 mm, the area recomputed.
inline void setPathLength(CTavolinDoc& doc, int member, int area, int point, float L) {
    if (member < 0 || member >= doc.memberCount() || point < 0 || point > 2)
        return;
    AreaList& areas = doc.areasOf(member);
    if (area < 0 || area >= static_cast<int>(areas.size()))
        return;
    TestArea& a = areas[area];
    a.points[point].L = std::clamp(L, 0.0f, 10000.0f);
    computeAreaVelocity(a, doc.algorithm());
    computeAreaStrength(a, doc.members()[member], doc.algorithm());
    doc.setModified();
}

} // namespace tavolin
