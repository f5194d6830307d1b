// The contents of a report table, built once: logical rows × columns of cells with their spans,
// texts and roles. The page painter and the Word writer each place this one content in their
// own geometry.
#pragma once

#include <QString>

#include <vector>

namespace tavolin::report {

// A head text of the form or a value of the job: the pages draw them in their own sizes.
enum class CellRole { Label, Value };

// One cell anchored at (row, column), 0-based, covering rowSpan × columnSpan grid positions.
struct TableCell {
    int row = 0;
    int column = 0;
    int rowSpan = 1;
    int columnSpan = 1;
    QString text; // "\n" starts a new line within the cell
    CellRole role = CellRole::Value;
};

struct OfficeTable {
    QString title; // empty: the table goes without a title
    double titlePointSize = 16;
    bool titleBold = true;
    double textPointSize = 10;
    int rows = 0;
    int columns = 0;
    std::vector<double> columnWeights; // relative widths of the columns; empty: all equal
    // Heights of the rows on a printed page, in row units of the page grid; empty: one each.
    std::vector<double> rowUnits;
    std::vector<TableCell> cells; // grid positions that no cell covers are empty cells

    void put(int row, int column, QString text, int rowSpan = 1, int columnSpan = 1) {
        cells.push_back({row, column, rowSpan, columnSpan, std::move(text), CellRole::Value});
    }
    void label(int row, int column, QString text, int rowSpan = 1, int columnSpan = 1) {
        cells.push_back({row, column, rowSpan, columnSpan, std::move(text), CellRole::Label});
    }
    // Appends a row of `units` page row units; returns its index.
    int addRow(double units = 1) {
        rowUnits.push_back(units);
        return rows++;
    }
};

// Rows of texts, each row as many columns as it has texts.
using SheetRows = std::vector<std::vector<QString>>;

} // namespace tavolin::report
