// What an edit of the document changed: which member and area, which kinds of field.
#pragma once

namespace tavolin {

enum ChangeField : unsigned {
    ChangeReadings = 1u << 0,    // R1..R16, reboundMean, reboundFlag
    ChangeCarbon = 1u << 1,      // CARBON
    ChangeAngle = 1u << 2,       // ANGLE
    ChangePlane = 1u << 3,       // PLANE
    ChangePath = 1u << 4,        // L of a point
    ChangeArrival = 1u << 5,     // arrivalIndex / ampIndex (T, amplitude, point velocities)
    ChangeMethod = 1u << 6,      // TMETHOD, TESTLOC
    ChangeBetaLambda = 1u << 7,  // BETA, LAMDA
    ChangeMember = 1u << 8,      // curve, A, B, C, pumped
    ChangeEta = 1u << 9,         // ETA of the project and of every area
    ChangeStandard = 1u << 10,   // the standard index and algorithm
    ChangeTables = 1u << 11,     // the correction tables
    ChangeStrength = 1u << 12,   // derived values of the area(s): corrections, v, va, FCUI
    ChangeEvaluation = 1u << 13, // member evaluation(s), the batch and the job's Result
    ChangeName = 1u << 14,       // PILEID of a member
    ChangeProject = 1u << 15,    // SITE, UNIT, PERSON, DATE, Molddate (and the report copies)
    ChangeSpecimens = 1u << 16,  // the specimens of a core or cube correction
    ChangeCurves = 1u << 17,     // the curve library, members' curve names, range marks
};

// member / area -1 = all of them (area -1 with a member: every area of that member).
struct DocChange {
    int member = -1;
    int area = -1;
    unsigned fields = 0;
    bool has(unsigned f) const { return (fields & f) != 0; }
};

} // namespace tavolin
