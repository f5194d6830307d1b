// ReboundEdits: applies the rebound table's edits to the document and recomputes the area.
// Kept apart so that the table switches to the document's own edit operations in one place.
#include "views/reboundedits.h"

#include <algorithm>
#include <utility>

namespace tavolin {

TestArea* ReboundEdits::area(int m, int a) {
    if (!doc_.isOpen() || m < 0 || m >= doc_.memberCount())
        return nullptr;
    AreaList& areas = doc_.areasOf(m);
    return a >= 0 && a < int(areas.size()) ? &areas[a] : nullptr;
}

void ReboundEdits::recompute(int m, int a) {
    computeAreaStrength(doc_.areasOf(m)[a], doc_.members().at(m), doc_.algorithm());
    doc_.setModified();
}

std::u16string ReboundEdits::setReading(int m, int a, int index, int value) {
    TestArea* t = area(m, a);
    if (!t || index < 0 || index >= 16)
        return {};
    std::u16string message;
    if (value < 0)
        value = 0;
    if (value > 9999) {
        message = readingTooLarge;
        value = t->R[index] < 0 ? 35 : t->R[index];
    }
    t->R[index] = value;
    recompute(m, a);
    return message;
}

std::u16string ReboundEdits::setReboundMean(int m, int a, float value) {
    TestArea* t = area(m, a);
    if (!t)
        return {};
    t->reboundMean = std::clamp(value, 20.0f, 50.0f);
    t->reboundFlag = 1;
    recompute(m, a);
    return {};
}

std::u16string ReboundEdits::setCarbon(int m, int a, float value) {
    TestArea* t = area(m, a);
    if (!t)
        return {};
    t->CARBON = value;
    recompute(m, a);
    return {};
}

std::u16string ReboundEdits::setAngle(int m, int a, int angle) {
    TestArea* t = area(m, a);
    if (!t)
        return {};
    t->ANGLE = angle;
    recompute(m, a);
    return {};
}

std::u16string ReboundEdits::setPlane(int m, int a, int plane) {
    TestArea* t = area(m, a);
    if (!t)
        return {};
    t->PLANE = plane;
    recompute(m, a);
    return {};
}

AreaStrength ReboundEdits::strength(int m, int a) const {
    AreaStrength out;
    const JobData& job = std::as_const(doc_).job();
    if (m < 0 || m >= int(job.areas.size()) || a < 0 || a >= int(job.areas[m].size()))
        return out;
    const TestArea& t = job.areas[m][a];
    out.correctedRebound = t.PLANEAM + t.ANGLEAM + t.reboundMean;
    if (t.reboundFlag == 0) {
        out.extremesValid = true;
        doc_.algorithm().SelectExtremes(t.R.data(), out.extremes);
    }
    return out;
}

} // namespace tavolin
