// Plausibility checks of an area's readings, path lengths and point velocities, and their texts.
#include "data/plausibility.h"

#include "data/format.h"

#include <cmath>

namespace tavolin {

namespace {

bool readingsCount(const TestArea& area) {
    // A typed mean replaces the readings: they no longer reach any result.
    return area.reboundFlag == 0;
}

} // namespace

bool AreaPlausibility::any() const {
    for (bool b : reading)
        if (b)
            return true;
    for (int j = 0; j < 3; ++j)
        if (pathLength[j] || velocity[j])
            return true;
    return false;
}

AreaPlausibility checkPlausibility(const TestArea& area) {
    AreaPlausibility p;
    if (readingsCount(area))
        for (size_t i = 0; i < 16; ++i) {
            // A negative stored reading is shown and counted as 35.
            const int r = area.R[i];
            p.reading[i] = r >= 0 && (r < kReadingMin || r > kReadingMax);
        }
    for (size_t j = 0; j < 3; ++j) {
        const float L = area.points[j].L;
        p.pathLength[j] = !(L > 0.0f && L <= kPathLengthMax);
        const float v = area.pointVelocity[j];
        p.velocity[j] = !(v >= kVelocityMin && v <= kVelocityMax);
    }
    return p;
}

std::u16string plausibilityMessage(const TestArea& area, int number) {
    const AreaPlausibility p = checkPlausibility(area);
    if (!p.any())
        return {};
    std::u16string reasons;
    auto add = [&](const std::u16string& reason) {
        if (!reasons.empty())
            reasons += u"；";
        reasons += reason;
    };
    std::u16string readings;
    for (size_t i = 0; i < 16; ++i)
        if (p.reading[i])
            readings += std::u16string(readings.empty() ? u"" : u"、") + u"R" +
                        formatInt(int(i) + 1) + u"=" + formatInt(area.R[i]);
    if (!readings.empty())
        add(u"回弹值 " + readings + u" 超出回弹仪量程 10–60");
    for (size_t j = 0; j < 3; ++j) {
        const std::u16string point = u"测点" + formatInt(int(j) + 1);
        const float L = area.points[j].L;
        if (p.pathLength[j])
            add(point + (L > kPathLengthMax ? u" 测距 " + formatFixed(L, 0) + u" mm 大于 3000 mm"
                                            : u" 测距为 " + formatFixed(L, 0) + u" mm"));
        if (p.velocity[j])
            add(point + u" 声速 " + formatFixed(area.pointVelocity[j], 3) +
                u" km/s 不在 2–6 km/s 之内");
    }
    return u"测区" + formatInt(number) + u"：" + reasons + u"，请核对";
}

std::u16string plausibilityMessage(const AreaList& areas, int current) {
    if (current >= 0 && current < static_cast<int>(areas.size()))
        if (std::u16string m = plausibilityMessage(areas[size_t(current)], current + 1); !m.empty())
            return m;
    for (size_t a = 0; a < areas.size(); ++a)
        if (std::u16string m = plausibilityMessage(areas[a], int(a) + 1); !m.empty())
            return m;
    return {};
}

} // namespace tavolin
