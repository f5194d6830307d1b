// The Word report and the Excel sheet of a job, written as .docx and .xlsx files.
#pragma once

#include "data/records.h"
#include "report/docxfile.h"
#include "report/reportpages.h"

#include <QString>

namespace tavolin::report {

// The message when neither table is chosen.
QString noTableChosenMessage();

// A4 with the margins of the print settings (millimetres, each kept within 0 … 100).
DocxPage wordPage(const PrintSettings& print);

// The field record tables and/or the result tables chosen in the source's print settings, in
// "宋体". Neither chosen: nothing is written and noTableChosenMessage() is returned. Empty on
// success, else the failure message; a previous file of that name then stays as it was.
QString exportWord(const QString& path, const ReportSource& source);

// Every member's block on the first worksheet, columns 9 characters wide.
QString exportExcel(const QString& path, const JobData& job);

} // namespace tavolin::report
