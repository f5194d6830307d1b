// Reading back what the office writers wrote: zip parts and the tables of document.xml.
#pragma once

#include "report/officetable.h"

#include <QByteArray>
#include <QString>

#include <tuple>
#include <vector>

#include <ostream>

// Readable texts in test failures.
inline void PrintTo(const QString& text, std::ostream* os) {
    *os << '"' << text.toStdString() << '"';
}

namespace officetest {

// One part of a zip package; empty when missing.
QByteArray zipPart(const QString& path, const char* name);

using SpanCell = std::tuple<int, int, int, int, QString>; // row, column, rowSpan, columnSpan, text

// A table of document.xml as a grid of spans, with what the rules for merged tables require.
struct ReadTable {
    QString title;
    bool breakBeforeTitle = false;
    QString titleSize;
    bool titleBold = false;
    QString textSize;  // of the first cell's paragraph, when it carries its own
    QString textStyle; // of the first cell's paragraph, when it has a style
    bool fixedLayout = false;
    int width = 0;
    std::vector<int> grid;
    std::vector<SpanCell> cells; // sorted; empty 1 × 1 cells left out
    int cellWidthMismatches = 0; // w:tcW not the width of the spanned grid columns
    int cellsNotEndingInParagraph = 0;
    int badContinuations = 0; // w:vMerge continue without a cell above of the same span
};
std::vector<ReadTable> readTables(const QByteArray& documentXml);

// The cells of a model in the same form.
std::vector<SpanCell> spanCells(const tavolin::report::OfficeTable& table);

} // namespace officetest
