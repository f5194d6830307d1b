// The editable angle, test-face and pumped-concrete correction tables of both standards.
#pragma once

namespace tavolin {

struct CorrectionTables {
    // Rows: Rm 20, 25, ..., 50. Columns: +90, +60, +45, +30, -30, -45, -60, -90.
    float AngleCecs[7][8];
    float AngleCecsDefault[7][8];
    // Rows: Rm 20, 21, ..., 50.
    float AngleTb[31][8];
    float AngleTbDefault[31][8];
    // Row 0: carbonation group "0.0;0.5;1.0", row 1: group "1.5;2.0".
    float PumpTb[2][4];
    float PumpTbDefault[2][4];
    // Columns: top face, bottom face.
    float PlaneCecs[7][2];
    float PlaneCecsDefault[7][2];
    float PlaneTb[31][2];
    float PlaneTbDefault[31][2];

    // Both copies of every table hold the defaults.
    CorrectionTables();

    // Copy the default copies over the current ones.
    void resetAngleCecs();
    void resetAngleTb();
    void resetPumpTb();
    void resetPlaneCecs();
    void resetPlaneTb();
};

} // namespace tavolin
