// The contents of the two report tables, built once from the job, its evaluation and the report
// texts; the printed pages and the Word tables place the same contents.
#pragma once

#include "report/officetable.h"
#include "report/reportpages.h"

namespace tavolin::report {

// Text sizes of the two tables in Word, in points.
constexpr double kFieldRecordTextPoints = 9;
constexpr double kResultTextPoints = 10;
// Test areas per printed page and per Word result table.
constexpr int kAreasPerTable = 10;

// The field record table of `member` with area slotCount `firstArea` … `firstArea` + `slotCount` − 1
// (17 columns, 2 rows per slot); titled "现场记录表" when `titled`.
OfficeTable fieldRecordTable(const ReportSource& source, int member, int firstArea, int slotCount,
                             bool titled);

// What a result table holds beyond its ten area columns.
struct ResultTableParts {
    int page = 0;                // 0-based: areas 10·page + 1 … 10·page + 10
    bool memberEstimate = false; // the member's own estimate (its last table)
    bool batchEstimate = false;  // the batch's estimate, conversion table, remark, signatures
    bool titled = false;
};
// A result table of `member` (12 columns): heads, the corrected values and strengths of its
// areas, then the rows `parts` asks for.
OfficeTable resultTable(const ReportSource& source, int member, const ResultTableParts& parts);

// The lines of the result table's remark, in order; each adds one line after "备注：".
std::vector<QString> resultRemarkLines(const ReportSource& source);

// The tables of print page `pageInMember` (1-based) of `member`, as the page list places them:
// ten slotCount a page, the title on page 1 of the first member, the member's estimate on its last
// page and the batch's on the last page of the last member.
OfficeTable fieldRecordPageTable(const ReportSource& source, int member, int pageInMember);
OfficeTable resultPageTable(const ReportSource& source, int member, int pageInMember);

} // namespace tavolin::report
