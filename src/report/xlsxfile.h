// The .xlsx writer: rows of texts on one worksheet, every cell a text.
#pragma once

#include "report/officetable.h"

#include <QString>

namespace tavolin::report {

// Writes `rows` from the first cell of the worksheet "Sheet1", every column `columnWidth`
// characters wide. The file appears only when complete (a previous one stays untouched on
// failure). Returns the failure message, empty on success.
QString writeXlsx(const QString& path, const SheetRows& rows, double columnWidth);

} // namespace tavolin::report
