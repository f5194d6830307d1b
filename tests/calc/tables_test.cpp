// Correction tables: printed defaults, both copies, resets.
#include "calc/correctiontables.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace tavolin;

TEST(Tables, DefaultsMatchThePrintedTables) {
    const CorrectionTables t;
    const float cecs[] = {t.AngleCecs[0][0], t.AngleCecs[3][1], t.AngleCecs[5][4],
                          t.AngleCecs[6][7], t.PlaneCecs[0][0], t.PlaneCecs[5][1]};
    const float cecsPrinted[] = {-6.0f, -3.8f, 1.3f, 2.5f, 2.5f, -0.5f};
    EXPECT_EQ(std::memcmp(cecs, cecsPrinted, sizeof cecs), 0);
    const float tb[] = {t.AngleTb[1][0],  t.AngleTb[12][1], t.AngleTb[15][1],
                        t.AngleTb[22][0], t.AngleTb[27][6], t.AngleTb[30][2]};
    const float tbPrinted[] = {-5.9f, -3.9f, -3.7f, -3.9f, 2.2f, -2.5f};
    EXPECT_EQ(std::memcmp(tb, tbPrinted, sizeof tb), 0);
    const float pump[2][4] = {{4.5f, 3.0f, 1.5f, 0.0f}, {3.0f, 1.5f, 0.0f, -1.5f}};
    EXPECT_EQ(std::memcmp(t.PumpTb, pump, sizeof pump), 0);
    // The printed rule top = max(0, 2.5 - 0.1k), bottom = 0.1k - 3.0, written out as the
    // decimals it stands for: each entry is exactly the float literal of its decimal (a table
    // built by adding 0.1f steps in float is off by up to 5 ulps, e.g. 0.39999986 for 0.4).
    const float planeTb[31][2] = {
        {2.5f, -3.0f}, {2.4f, -2.9f}, {2.3f, -2.8f}, {2.2f, -2.7f}, {2.1f, -2.6f}, {2.0f, -2.5f},
        {1.9f, -2.4f}, {1.8f, -2.3f}, {1.7f, -2.2f}, {1.6f, -2.1f}, {1.5f, -2.0f}, {1.4f, -1.9f},
        {1.3f, -1.8f}, {1.2f, -1.7f}, {1.1f, -1.6f}, {1.0f, -1.5f}, {0.9f, -1.4f}, {0.8f, -1.3f},
        {0.7f, -1.2f}, {0.6f, -1.1f}, {0.5f, -1.0f}, {0.4f, -0.9f}, {0.3f, -0.8f}, {0.2f, -0.7f},
        {0.1f, -0.6f}, {0.0f, -0.5f}, {0.0f, -0.4f}, {0.0f, -0.3f}, {0.0f, -0.2f}, {0.0f, -0.1f},
        {0.0f, 0.0f}};
    for (int k = 0; k <= 30; ++k) {
        EXPECT_EQ(t.PlaneTb[k][0], planeTb[k][0]) << "Rm " << 20 + k;
        EXPECT_EQ(t.PlaneTb[k][1], planeTb[k][1]) << "Rm " << 20 + k;
    }
    EXPECT_EQ(t.PlaneCecs[6][1], 0.0f);
}

TEST(Tables, BothCopiesStartEqualAndResetRestores) {
    CorrectionTables t;
    EXPECT_EQ(std::memcmp(t.AngleCecs, t.AngleCecsDefault, sizeof t.AngleCecs), 0);
    EXPECT_EQ(std::memcmp(t.AngleTb, t.AngleTbDefault, sizeof t.AngleTb), 0);
    EXPECT_EQ(std::memcmp(t.PlaneTb, t.PlaneTbDefault, sizeof t.PlaneTb), 0);
    t.AngleCecs[2][2] = -9.9f, t.AngleTb[30][7] = 1, t.PumpTb[1][3] = 7;
    t.PlaneCecs[6][1] = 8, t.PlaneTb[0][0] = 9;
    t.resetAngleCecs(), t.resetAngleTb(), t.resetPumpTb(), t.resetPlaneCecs(), t.resetPlaneTb();
    const CorrectionTables fresh;
    EXPECT_EQ(std::memcmp(&t, &fresh, sizeof t), 0);
}
