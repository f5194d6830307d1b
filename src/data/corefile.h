// Specimens of a core or cube correction: the list the user gives ("member,area,strength"), the
// converted strengths with eta = 1 they are compared with, eta, and the companion file that keeps
// them beside a result pair without touching the pair's own format.
#pragma once

#include "calc/algorithm.h"
#include "calc/calibration.h"
#include "data/records.h"

#include <string>
#include <vector>

namespace tavolin {

// "芯样" / "同条件试块"; an unknown code reads as a core.
const char16_t* specimenKindText(int kind);

// One specimen a line, "member,area,strength" with member and area from 1, an optional header;
// UTF-8 (with or without BOM) or GBK. Fills `specimens` (0-based indexes, kind core) and the line
// of each. Returns the message naming the first bad line ("" on success).
std::u16string parseCoreList(const std::string& bytes, std::vector<Specimen>& specimens,
                             std::vector<int>& lines);

// Specimens of a curve fit, one a line "v,R,f" (corrected velocity km/s, corrected rebound, cube
// strength MPa), an optional header, UTF-8 or GBK. Every value must be a number above 0. Returns
// the message naming the first bad line ("" on success).
std::u16string parseCurveSpecimens(const std::string& bytes, std::vector<CurveSpecimen>& out);

// The area's converted strength as its member would give it with eta = 1 (fcu,i^c).
float strengthAtUnitEta(const TestArea& area, const MemberInfo& member, CAlgorithm& algorithm);

struct CoreResult {
    CoreCorrection correction;
    std::vector<Specimen> specimens;
    std::vector<double> fcu; // fcu,i^c of each specimen's area
};

// Checks every specimen against the evaluated job (the member and area exist, the area's
// converted strength with eta = 1 is above 0) and finds eta. `lines` names the line of each
// specimen in messages; when empty, specimens are named by their row from 1. Returns the message
// of the first failure ("" on success).
std::u16string correctionFromJob(const JobData& job, CAlgorithm& algorithm,
                                 const std::vector<Specimen>& specimens,
                                 const std::vector<int>& lines, CoreResult& out);

// The reports' statement of the correction: "钻芯修正：n = 5，η = 0.93" ("同条件试块修正：…" when
// every specimen is a cube); "" without specimens.
std::u16string correctionRemark(const JobData& job);
// The result table's remark: the user's remark, then the correction.
std::u16string remarkWithCorrection(const std::u16string& remark, const JobData& job);

// The companion of a result pair: the result path + ".cores.csv".
std::string specimenPath(const std::string& resultPath);
// Reads the companion of `resultPath` into job.specimens when it exists; specimens outside the
// job are refused with the message. "" when there is none or it was read.
std::u16string readSpecimenFile(const std::string& resultPath, JobData& job);
// Writes the job's specimens beside `resultPath` atomically; with no specimens an old companion
// is removed, so a reopened pair never shows another job's specimens.
std::u16string writeSpecimenFile(const std::string& resultPath, const JobData& job);

} // namespace tavolin
