// Default values of the correction tables and the resets that restore them.
#include "calc/correctiontables.h"

#include <algorithm>
#include <cstring>

namespace tavolin {

namespace {

// Rm 20, 25, ..., 50; columns +90, +60, +45, +30, -30, -45, -60, -90.
constexpr float kAngleCecs[7][8] = {
    {-6.0f, -5.0f, -4.0f, -3.0f, 2.5f, 3.0f, 3.5f, 4.0f},
    {-5.5f, -4.5f, -3.8f, -2.8f, 2.3f, 2.8f, 3.3f, 3.8f},
    {-5.0f, -4.0f, -3.5f, -2.5f, 2.0f, 2.5f, 3.0f, 3.5f},
    {-4.5f, -3.8f, -3.3f, -2.3f, 1.8f, 2.3f, 2.8f, 3.3f},
    {-4.0f, -3.5f, -3.0f, -2.0f, 1.5f, 2.0f, 2.5f, 3.0f},
    {-3.8f, -3.3f, -2.8f, -1.8f, 1.3f, 1.8f, 2.3f, 2.8f},
    {-3.5f, -3.0f, -2.5f, -1.5f, 1.0f, 1.5f, 2.0f, 2.5f},
};

// Rm 20, 21, ..., 50; same columns.
constexpr float kAngleTb[31][8] = {
    {-6.0f, -5.0f, -4.0f, -3.0f, 2.5f, 3.0f, 3.5f, 4.0f}, // 20
    {-5.9f, -4.9f, -4.0f, -3.0f, 2.5f, 3.0f, 3.5f, 4.0f}, // 21
    {-5.8f, -4.8f, -3.9f, -2.9f, 2.4f, 2.9f, 3.4f, 3.9f}, // 22
    {-5.7f, -4.7f, -3.9f, -2.9f, 2.4f, 2.9f, 3.4f, 3.9f}, // 23
    {-5.6f, -4.6f, -3.8f, -2.8f, 2.3f, 2.8f, 3.3f, 3.8f}, // 24
    {-5.5f, -4.5f, -3.8f, -2.8f, 2.3f, 2.8f, 3.3f, 3.8f}, // 25
    {-5.4f, -4.4f, -3.7f, -2.7f, 2.2f, 2.7f, 3.2f, 3.7f}, // 26
    {-5.3f, -4.3f, -3.7f, -2.7f, 2.2f, 2.7f, 3.2f, 3.7f}, // 27
    {-5.2f, -4.2f, -3.6f, -2.6f, 2.1f, 2.6f, 3.1f, 3.6f}, // 28
    {-5.1f, -4.1f, -3.6f, -2.6f, 2.1f, 2.6f, 3.1f, 3.6f}, // 29
    {-5.0f, -4.0f, -3.5f, -2.5f, 2.0f, 2.5f, 3.0f, 3.5f}, // 30
    {-4.9f, -3.9f, -3.5f, -2.5f, 2.0f, 2.5f, 3.0f, 3.5f}, // 31
    {-4.8f, -3.9f, -3.4f, -2.4f, 1.9f, 2.4f, 2.9f, 3.4f}, // 32
    {-4.7f, -3.8f, -3.4f, -2.4f, 1.9f, 2.4f, 2.9f, 3.4f}, // 33
    {-4.6f, -3.8f, -3.3f, -2.3f, 1.8f, 2.3f, 2.8f, 3.3f}, // 34
    {-4.5f, -3.7f, -3.3f, -2.3f, 1.8f, 2.3f, 2.8f, 3.3f}, // 35
    {-4.4f, -3.7f, -3.2f, -2.2f, 1.7f, 2.2f, 2.7f, 3.2f}, // 36
    {-4.3f, -3.6f, -3.2f, -2.2f, 1.7f, 2.2f, 2.7f, 3.2f}, // 37
    {-4.2f, -3.6f, -3.1f, -2.1f, 1.6f, 2.1f, 2.6f, 3.1f}, // 38
    {-4.1f, -3.5f, -3.1f, -2.1f, 1.6f, 2.1f, 2.6f, 3.1f}, // 39
    {-4.0f, -3.5f, -3.0f, -2.0f, 1.5f, 2.0f, 2.5f, 3.0f}, // 40
    {-3.9f, -3.4f, -3.0f, -2.0f, 1.5f, 2.0f, 2.5f, 3.0f}, // 41
    {-3.9f, -3.4f, -2.9f, -1.9f, 1.4f, 1.9f, 2.4f, 2.9f}, // 42
    {-3.8f, -3.3f, -2.9f, -1.9f, 1.4f, 1.9f, 2.4f, 2.9f}, // 43
    {-3.8f, -3.3f, -2.8f, -1.8f, 1.3f, 1.8f, 2.3f, 2.8f}, // 44
    {-3.7f, -3.2f, -2.8f, -1.8f, 1.3f, 1.8f, 2.3f, 2.8f}, // 45
    {-3.7f, -3.2f, -2.7f, -1.7f, 1.2f, 1.7f, 2.2f, 2.7f}, // 46
    {-3.6f, -3.1f, -2.7f, -1.7f, 1.2f, 1.7f, 2.2f, 2.7f}, // 47
    {-3.6f, -3.1f, -2.6f, -1.6f, 1.1f, 1.6f, 2.1f, 2.6f}, // 48
    {-3.5f, -3.0f, -2.6f, -1.6f, 1.1f, 1.6f, 2.1f, 2.6f}, // 49
    {-3.5f, -3.0f, -2.5f, -1.5f, 1.0f, 1.5f, 2.0f, 2.5f}, // 50
};

// Row 0: carbonation 0.0-1.0 mm, bands <=40, 45, 50, 55-60 MPa.
// Row 1: carbonation 1.5-2.0 mm, bands <=30, 35, 40-60 MPa; the last cell is never read.
constexpr float kPumpTb[2][4] = {
    {4.5f, 3.0f, 1.5f, 0.0f},
    {3.0f, 1.5f, 0.0f, -1.5f},
};

// Rm 20, 25, ..., 50; top face, bottom face.
constexpr float kPlaneCecs[7][2] = {
    {2.5f, -3.0f}, {2.0f, -2.5f}, {1.5f, -2.0f}, {1.0f, -1.5f},
    {0.5f, -1.0f}, {0.0f, -0.5f}, {0.0f, 0.0f},
};

template <typename T> void copyTable(T& to, const T& from) {
    std::memcpy(&to, &from, sizeof(T));
}

} // namespace

CorrectionTables::CorrectionTables() {
    copyTable(AngleCecsDefault, kAngleCecs);
    copyTable(AngleTbDefault, kAngleTb);
    copyTable(PumpTbDefault, kPumpTb);
    copyTable(PlaneCecsDefault, kPlaneCecs);
    // One row per rebound unit: the top-face correction falls by 0.1 per unit down to 0,
    // the bottom-face correction rises by 0.1 per unit up to 0. Whole tenths divided by 10
    // give the float nearest each decimal entry; stepping 0.1f in float drifts by some ulps.
    for (int k = 0; k < 31; ++k) {
        PlaneTbDefault[k][0] = std::max(0.0f, static_cast<float>(25 - k) / 10.0f);
        PlaneTbDefault[k][1] = static_cast<float>(k - 30) / 10.0f;
    }
    resetAngleCecs();
    resetAngleTb();
    resetPumpTb();
    resetPlaneCecs();
    resetPlaneTb();
}

void CorrectionTables::resetAngleCecs() {
    copyTable(AngleCecs, AngleCecsDefault);
}

void CorrectionTables::resetAngleTb() {
    copyTable(AngleTb, AngleTbDefault);
}

void CorrectionTables::resetPumpTb() {
    copyTable(PumpTb, PumpTbDefault);
}

void CorrectionTables::resetPlaneCecs() {
    copyTable(PlaneCecs, PlaneCecsDefault);
}

void CorrectionTables::resetPlaneTb() {
    copyTable(PlaneTb, PlaneTbDefault);
}

} // namespace tavolin
