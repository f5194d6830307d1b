// Hands a finished PDF to the print system with the choices of the print dialog.
#pragma once

#include <QString>

class QPrinter;

namespace tavolin {

// Queues `pdfPath` on the printer chosen in `printer` (its name, copies, collation, sides,
// colour and the options of the dialog's own pages) under the job title `title`. Returns the
// print system's message on failure, else an empty text.
QString spoolPdf(const QPrinter& printer, const QString& pdfPath, const QString& title);

} // namespace tavolin
