// ReboundEdits: the rebound table's one door to the document, for its edits and for what the
// document computed about an area.
#pragma once

#include "data/doc.h"
#include "data/evaluation.h"

#include <string>

namespace tavolin {

class ReboundEdits {
public:
    static inline const std::u16string readingTooLarge = u"输入的回弹值过大！";

    explicit ReboundEdits(CTavolinDoc& doc) : doc_(doc) {}

    // Each returns the message to show ("" when accepted); m = member, a = area.
    std::u16string setReading(int m, int a, int index, int value);
    std::u16string setReboundMean(int m, int a, float value);
    std::u16string setCarbon(int m, int a, float value);
    std::u16string setAngle(int m, int a, int angle);
    std::u16string setPlane(int m, int a, int plane);

    // Excluded positions and corrected rebound value of an area, as last computed.
    AreaStrength strength(int m, int a) const;

private:
    TestArea* area(int m, int a);
    void recompute(int m, int a);

    CTavolinDoc& doc_;
};

} // namespace tavolin
