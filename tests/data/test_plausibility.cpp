// Plausibility marks of an area: which values are marked and the status text, as a case table.
#include "data/plausibility.h"

#include <gtest/gtest.h>

using namespace tavolin;

namespace {

// An area whose every value is plausible: readings 35, L 300 mm, T 75 us (4.000 km/s).
TestArea plausibleArea() {
    TestArea a;
    a.R.fill(35);
    for (size_t j = 0; j < 3; ++j) {
        a.points[j].L = 300.0f;
        a.pointTime[j] = 75.0f;
        a.pointVelocity[j] = 4.0f;
    }
    return a;
}

} // namespace

TEST(Plausibility, MarksAndMessages) {
    struct Case {
        const char* what;
        void (*change)(TestArea&);
        std::u16string message; // of area number 3
    };
    const Case cases[] = {
        {"all plausible", [](TestArea&) {}, u""},
        // The scale's ends themselves are plausible.
        {"10 and 60", [](TestArea& a) { a.R[0] = 10, a.R[1] = 60; }, u""},
        // A missed Enter: "34" and "36" typed into one cell.
        {"3436 and 9", [](TestArea& a) { a.R[4] = 3436, a.R[15] = 9; },
         u"测区3：回弹值 R5=3436、R16=9 超出回弹仪量程 10–60，请核对"},
        {"typed mean: the readings do not count",
         [](TestArea& a) { a.R[4] = 3436, a.reboundFlag = 1; }, u""},
        {"negative reading, shown as 35", [](TestArea& a) { a.R[2] = -1; }, u""},
        {"L 0 with its velocity 0",
         [](TestArea& a) { a.points[1].L = 0.0f, a.pointVelocity[1] = 0.0f; },
         u"测区3：测点2 测距为 0 mm；测点2 声速 0.000 km/s 不在 2–6 km/s 之内，请核对"},
        {"L 3000 is plausible, 3001 is not (v = 3001 / 750 = 4.001)",
         [](TestArea& a) {
             a.points[0].L = 3000.0f;
             a.points[2].L = 3001.0f, a.pointVelocity[2] = 4.00133f;
         },
         u"测区3：测点3 测距 3001 mm 大于 3000 mm，请核对"},
        {"velocities 1.999 and 6.001; 2 and 6 are plausible",
         [](TestArea& a) {
             a.pointVelocity = {1.999f, 6.001f, 2.0f};
         },
         u"测区3：测点1 声速 1.999 km/s 不在 2–6 km/s 之内；测点2 声速 6.001 km/s 不在 2–6 km/s "
         u"之内，请核对"},
        {"velocity 6 is plausible", [](TestArea& a) { a.pointVelocity[0] = 6.0f; }, u""},
    };
    for (const Case& c : cases) {
        TestArea a = plausibleArea();
        c.change(a);
        EXPECT_EQ(plausibilityMessage(a, 3), c.message) << c.what;
        EXPECT_EQ(checkPlausibility(a).any(), !c.message.empty()) << c.what;
    }
    // Exactly the implausible values are marked.
    TestArea a = plausibleArea();
    a.R[4] = 3436;
    a.points[1].L = 0.0f;
    a.pointVelocity[2] = 7.0f;
    const AreaPlausibility p = checkPlausibility(a);
    for (size_t i = 0; i < 16; ++i)
        EXPECT_EQ(p.reading[i], i == 4) << i;
    EXPECT_EQ(p.pathLength, (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(p.velocity, (std::array<bool, 3>{false, false, true}));
}

TEST(Plausibility, TheCurrentAreaFirstThenTheFirstMarkedOne) {
    AreaList areas(4, plausibleArea());
    EXPECT_EQ(plausibilityMessage(areas, 0), u"");
    areas[1].R[0] = 99;
    areas[3].R[0] = 5;
    EXPECT_EQ(plausibilityMessage(areas, 3), u"测区4：回弹值 R1=5 超出回弹仪量程 10–60，请核对");
    EXPECT_EQ(plausibilityMessage(areas, 0), u"测区2：回弹值 R1=99 超出回弹仪量程 10–60，请核对");
    EXPECT_EQ(plausibilityMessage(areas, 7), u"测区2：回弹值 R1=99 超出回弹仪量程 10–60，请核对");
    areas[1].R[0] = 35;
    areas[3].R[0] = 35;
    EXPECT_EQ(plausibilityMessage(areas, 1), u"");
}
