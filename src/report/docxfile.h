// A small WordprocessingML (.docx) writer: titled tables with merged cells, one after another.
#pragma once

#include "report/officetable.h"

#include <QString>

#include <functional>
#include <vector>

namespace tavolin::report {

// Page size and margins in twentieths of a point; the tables fill the width between the margins.
struct DocxPage {
    int width = 11906; // A4
    int height = 16838;
    int marginTop = 1134;
    int marginBottom = 1134;
    int marginLeft = 1134;
    int marginRight = 1134;
    QString fontFamily;            // of every text, Latin and East Asian alike
    double cellMarginPoints = 1.4; // left and right padding inside a cell
    // Text sizes of table cells that get a paragraph style of their own (centred, that size);
    // cells of other sizes carry their formatting themselves.
    std::vector<double> textPointSizes;
};

// Writes `count` tables, each as a title paragraph and a fixed-layout table, with a page break
// before every table but the first. Tables are asked for one at a time while the file is being
// compressed, so a long document is never held whole. The file appears only when complete (a
// previous one stays untouched on failure). Returns the failure message, empty on success.
QString writeDocx(const QString& path, const DocxPage& page, int count,
                  const std::function<OfficeTable(int)>& tableAt);

// The column widths in twips of a table `width` twips wide: proportional to the weights,
// whole numbers adding up to exactly `width`.
std::vector<int> columnWidths(const OfficeTable& table, int width);

} // namespace tavolin::report
