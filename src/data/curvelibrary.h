// The user's library of named strength curves fcu = a * v^b * R^c ("测强曲线库"), kept as
// curves.json beside the settings archive and shared between computers by import and export.
#pragma once

#include "calc/calibration.h"
#include "data/jobeval.h"
#include "data/records.h"

#include <string>
#include <vector>

namespace tavolin {

struct NamedCurve {
    std::u16string name;
    double a = 0, b = 0, c = 0;
    CurveRanges ranges;  // corrected velocity (km/s) and corrected rebound the curve is valid for
    std::u16string note; // where the curve comes from, e.g. the standard and clause
};

struct CurveLibrary {
    std::vector<NamedCurve> curves;
    // nullptr when no curve has that name.
    const NamedCurve* find(const std::u16string& name) const;
};

// curves.json in the settings folder: $TAVOLIN_CONFIG_DIR, else $XDG_CONFIG_HOME/tavolin, else
// $HOME/.config/tavolin, as the program places its settings archive.
std::string defaultCurveLibraryPath();

// What a curve must satisfy to be used: a name, a above 0, a, b, c within 0 .. 10 (the range the
// analysis form takes), each range with 0 < lo <= hi. Returns the message ("" when it is usable).
std::u16string checkCurve(const NamedCurve& curve);

// The coefficients as the result file and the analysis form keep them: a to four decimals,
// b and c to three. A curve added to the library is stored so, so that a member using it reads
// back from its file with the same strengths and the same name.
NamedCurve roundedToFilePrecision(NamedCurve curve);

// Parses the library text; the message names the line of the first fault ("" on success).
// Names must be unique.
std::u16string parseCurveLibrary(const std::string& bytes, CurveLibrary& out);
// Reads the file; a missing file is an empty library when `missingIsEmpty`.
std::u16string readCurveLibrary(const std::string& path, CurveLibrary& out,
                                bool missingIsEmpty = true);
std::string curveLibraryText(const CurveLibrary& library);
// Written atomically; a failed write leaves the old file.
std::u16string writeCurveLibrary(const std::string& path, const CurveLibrary& library);

// Appends the curve unless it is unusable or its name is taken (the library is then unchanged).
std::u16string addCurve(CurveLibrary& library, const NamedCurve& curve);

// The name of the first library curve whose a, b, c equal the member's as the result file keeps
// them ("%.4f", "%.3f", "%.3f"); "" when none does.
std::u16string curveNameFor(const CurveLibrary& library, float A, float B, float C);

// A member evaluated by a library curve: custom with the curve's a, b, c, and its name.
void useNamedCurve(MemberInfo& member, const NamedCurve& curve);

// The conversion table the reports name: the library curves the members use, in member order,
// each once, joined by "、"; `settingsText` when no member uses a library curve.
std::u16string conversionTableText(const JobData& job, const std::u16string& settingsText);

// Names the curve of every member: a custom member keeps its name while the library still holds
// that curve with the member's coefficients, else takes the name of the curve its coefficients
// match; a named aggregate curve has none.
void nameMemberCurves(JobData& job, const CurveLibrary& library);

// Marks, in the evaluation, the areas whose va or corrected rebound lie outside the ranges of
// their member's named curve; clears the marks of every other area. Returns the areas marked.
int markOutsideCurves(const JobData& job, const CurveLibrary& library, JobEvaluation& evaluation);

} // namespace tavolin
