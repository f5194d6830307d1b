// The layouts of the Word tables and the Excel sheet, built from the job's records as plain data.
#pragma once

#include "data/records.h"
#include "report/officetable.h"

#include <vector>

namespace tavolin::report {

// Text sizes of the two tables, in points.
constexpr double kFieldRecordTextPoints = 9;
constexpr double kResultTextPoints = 10;
// Test areas per result table, as on the printed result pages.
constexpr int kAreasPerResultTable = 10;
// Result tables of a member: one per ten areas, at least one.
int resultTableCount(int areaCount);

// The field record table of one member: 2n + 13 rows × 17 columns, n = its areas, at least 10.
OfficeTable fieldRecordTable(const JobData& job, int member, const ReportInfo& info);
// Result table `page` (0-based) of one member: 21 rows × 12 columns, or 24 rows with the batch
// estimate and the signatures when `last` (the last table of the whole export).
OfficeTable resultTable(const JobData& job, int member, int page, bool last,
                        const ReportInfo& info);

// One table of the Word document, in document order.
struct WordTableRef {
    enum Kind { FieldRecord, Result };
    Kind kind = FieldRecord;
    int member = 0;
    int page = 0;
    bool last = false;
};
// Field record tables (one per member), then result tables (per member and page), each only
// when chosen.
std::vector<WordTableRef> wordTablePlan(const JobData& job, bool fieldRecord, bool result);
OfficeTable wordTable(const JobData& job, const ReportInfo& info, const WordTableRef& ref);

// The sheet: every member's block one after the other, 10 columns of texts.
SheetRows excelRows(const JobData& job);

} // namespace tavolin::report
