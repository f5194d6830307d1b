// Tables of rows × columns with merged cells and texts: what the office file writers lay out.
#pragma once

#include <QString>

#include <vector>

namespace tavolin::report {

// One cell anchored at (row, column), 0-based, covering rowSpan × columnSpan grid positions.
struct TableCell {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    QString text; // "\n" starts a new line within the cell
};

struct OfficeTable {
    QString title;
    double titlePointSize = 16;
    bool titleBold = true;
    double textPointSize = 10;
    int rows = 0;
    int columns = 0;
    std::vector<double> columnWeights; // relative widths of the columns; empty: all equal
    std::vector<TableCell> cells;      // grid positions that no cell covers are empty cells

    void put(int row, int column, QString text, int rowSpan = 1, int columnSpan = 1) {
        cells.push_back({row, column, rowSpan, columnSpan, std::move(text)});
    }
};

// Rows of texts, each row as many columns as it has texts.
using SheetRows = std::vector<std::vector<QString>>;

} // namespace tavolin::report
