// The report pages: field record table, result data table, header, footer and page number,
// drawn on any QPainter device from the job's records.
#pragma once

#include "data/jobeval.h"
#include "data/records.h"
#include "report/pagegeometry.h"
#include "report/pagelist.h"

#include <cstddef>
#include <vector>

class QPainter;

namespace tavolin::report {

// What the pages and the office files read: the job (members, areas), its evaluation (each
// member's and the batch's estimate with its status) under `standard`, what and how to print,
// the texts of the report heads. Nothing is copied; the records must outlive the drawing.
struct ReportSource {
    const JobData& job;
    const JobEvaluation& evaluation;
    int standard = 0;
    const PrintSettings& print;
    const ReportInfo& info;

    std::vector<std::size_t> areaCounts() const;
    // The page list of the tables `print` selects.
    PageList pageList() const;
};

// One table page of `member`, page `pageInMember` (1-based) within the member.
void DrawFieldRecordPage(QPainter& painter, const PageGeometry& geometry,
                         const ReportSource& source, int member, int pageInMember);
void DrawResultPage(QPainter& painter, const PageGeometry& geometry, const ReportSource& source,
                    int member, int pageInMember);
// Header and footer texts as `settings` asks (no page number).
void DrawHeaderFooter(QPainter& painter, const PageGeometry& geometry,
                      const PrintSettings& settings);
// The page number of print page `page` (1-based) in the footer band, when page numbers are on.
void DrawPageNumber(QPainter& painter, const PageGeometry& geometry, const PrintSettings& settings,
                    int page);
// The page-number text: "%d " or the Roman numeral of `firstPageNumber` + page − 1; empty when
// page numbers are off or the Roman numeral does not exist.
QString pageNumberText(const PrintSettings& settings, int page);

// A whole print page: header, footer, page number (unless `pageNumbers` is false, as on the
// bitmaps), then the table page `ref` names.
void drawReportPage(QPainter& painter, const PageGeometry& geometry, const ReportSource& source,
                    const PageRef& ref, bool pageNumbers = true);

} // namespace tavolin::report
