// Places a table's contents on a page: column lines by the column weights, row lines by the row
// units, rules around every cell, each text fitted into its cell.
#pragma once

#include "report/officetable.h"
#include "report/pagegeometry.h"

#include <QFont>
#include <QRect>
#include <QString>

class QPainter;

namespace tavolin::report {

struct TablePens {
    int border = 0; // the outer rectangle, device units (0: the thinnest line)
    int grid = 0;   // every inner rule
};

// Text heights of a table's labels and values, as fractions of its row unit.
struct TableFonts {
    double label = 0.7;
    double value = 0.65;
};

// Draws `table` in `area`: its width split by the column weights, its height by the row units
// (the whole table fills the area), the outer rectangle with the border pen and the rule around
// every cell with the grid pen; then every text fitted into its cell.
void paintTable(QPainter& painter, const QRect& area, const OfficeTable& table,
                const TablePens& pens, const TableFonts& fonts);

// Draws `text` centred in `cell` with `font` at the painter's device resolution: on one line when
// it fits, else wrapped within the cell, else set smaller until it fits; never cut or elided.
// Returns the pixel size it was drawn with.
int drawFittedText(QPainter& painter, const QRect& cell, const QString& text, QFont font);

// The table's title in the title band, when it has one.
void drawTableTitle(QPainter& painter, const PageGeometry& geometry, const QString& title);

} // namespace tavolin::report
