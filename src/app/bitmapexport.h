// "输出到BMP": every report page as a numbered bitmap file, from one question for the folder and
// the base name, with progress and Cancel.
#pragma once

#include "report/reportpages.h"

#include <QString>

namespace tavolin {

class CMainFrame;

// The file name of a page for the base name the user gave: "B1-field-record-001.bmp",
// "B1-result-012.bmp" (the command line's numbering behind the base; without a base, the
// command line's names).
QString bitmapPageFileName(const QString& base, const report::PageRef& ref);

// Writes the pages; the status bar names the folder afterwards, a failure names the file and
// the reason.
void exportBitmaps(CMainFrame& frame, const report::ReportSource& source,
                   const report::PageList& pages);

} // namespace tavolin
