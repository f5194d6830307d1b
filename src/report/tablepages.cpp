// The two table pages: their contents from the one table builder, placed by the table painter.
#include "report/reportpages.h"
#include "report/reporttables.h"
#include "report/tablepainter.h"

namespace tavolin::report {

void DrawFieldRecordPage(QPainter& painter, const PageGeometry& g, const ReportSource& source,
                         int member, int pageInMember) {
    const OfficeTable table = fieldRecordPageTable(source, member, pageInMember);
    drawTableTitle(painter, g, table.title);
    paintTable(painter, g.table, table, {source.print.borderWidth, source.print.gridWidth},
               {0.8, 0.65});
}

void DrawResultPage(QPainter& painter, const PageGeometry& g, const ReportSource& source,
                    int member, int pageInMember) {
    const OfficeTable table = resultPageTable(source, member, pageInMember);
    drawTableTitle(painter, g, table.title);
    paintTable(painter, g.table, table, {source.print.borderWidth, source.print.gridWidth},
               {0.7, 0.65});
}

} // namespace tavolin::report
