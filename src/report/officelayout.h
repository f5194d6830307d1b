// Which report tables the Word document holds and in what order, and the Excel sheet's rows.
#pragma once

#include "data/records.h"
#include "report/officetable.h"
#include "report/reporttables.h"

#include <vector>

namespace tavolin::report {

// Result tables of a member: one per ten areas, at least one.
int resultTableCount(int areaCount);

// One table of the Word document, in document order.
struct WordTableRef {
    enum Kind { FieldRecord, Result };
    Kind kind = FieldRecord;
    int member = 0;
    int page = 0;
    bool last = false; // the last table of the export: it carries the batch's estimate
};
// Field record tables (one per member), then result tables (per member and page), each only
// when chosen.
std::vector<WordTableRef> wordTablePlan(const JobData& job, bool fieldRecord, bool result);
// The contents of one Word table: a member's field record with all its areas (at least ten
// slots), or one of its result tables, the member's estimate in its last one; each report
// titled once, on its first table.
OfficeTable wordTable(const ReportSource& source, const WordTableRef& ref);

// The sheet: every member's block one after the other, 10 columns of texts.
SheetRows excelRows(const JobData& job);

} // namespace tavolin::report
