// Whole prints of the report pages: onto a printer or PDF writer, into a PDF file, into bitmaps.
#pragma once

#include "report/reportpages.h"

#include <QImage>

#include <functional>
#include <string>

class QPagedPaintDevice;
class QPainter;

namespace tavolin::report {

// Called after each page with the pages done and the pages to do; false stops the output.
using PageProgress = std::function<bool(int done, int total)>;

// Draws print pages `first` … `last` (1-based, clamped to the print) on a painter that is active
// on `device`, one new device page between them. The geometry comes from the device. False when
// the progress callback stopped it or the device refused a new page.
bool paintPages(QPainter& painter, QPagedPaintDevice& device, const ReportSource& source,
                const PageList& pages, int first, int last, const PageProgress& progress = {});

// Every page of the print into a PDF file (A4, the texts embedded), written under a temporary
// name and renamed over `path`. Returns the failure message, empty on success.
std::u16string writePdf(const std::string& path, const ReportSource& source,
                        const PageProgress& progress = {});

// One page on the 1030 × 1400 bitmap, white background, header and footer in its margins.
QImage renderBitmapPage(const ReportSource& source, const PageRef& ref);

// File name of a bitmap page: "field-record-001.bmp", "result-012.bmp" (at least three digits).
std::string bitmapFileName(const PageRef& ref);

// Every page of the print as DIR/field-record-NNN.bmp and DIR/result-NNN.bmp, creating DIR.
// Returns the failure message, empty on success.
std::u16string writeBitmaps(const std::string& dir, const ReportSource& source,
                            const PageProgress& progress = {});

} // namespace tavolin::report
