// Reads zip parts with libzip and turns WordprocessingML tables back into grids of spans.
#include "officefiles.h"

#include <QFile>
#include <QXmlStreamReader>

#include <zip.h>

#include <algorithm>
#include <map>

namespace officetest {

QByteArray zipPart(const QString& path, const char* name) {
    int error = 0;
    zip_t* zip = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &error);
    if (!zip)
        return {};
    QByteArray out;
    zip_stat_t st;
    if (zip_stat(zip, name, 0, &st) == 0 && (st.valid & ZIP_STAT_SIZE)) {
        if (zip_file_t* f = zip_fopen(zip, name, 0)) {
            out.resize(static_cast<qsizetype>(st.size));
            if (zip_fread(f, out.data(), st.size) != static_cast<zip_int64_t>(st.size))
                out.clear();
            zip_fclose(f);
        }
    }
    zip_close(zip);
    return out;
}

std::vector<SpanCell> spanCells(const tavolin::report::OfficeTable& table) {
    std::vector<SpanCell> out;
    for (const auto& c : table.cells)
        if (c.rowSpan > 1 || c.columnSpan > 1 || !c.text.isEmpty())
            out.emplace_back(c.row, c.column, c.rowSpan, c.columnSpan, c.text);
    std::sort(out.begin(), out.end());
    return out;
}

std::vector<ReadTable> readTables(const QByteArray& xml) {
    std::vector<ReadTable> tables;
    QXmlStreamReader r(xml);
    ReadTable pendingTitle;
    bool inTable = false;
    int depthParagraph = 0;
    QString paragraphText;
    bool paragraphBreak = false;
    QString paragraphSize;
    QString paragraphStyle;
    bool paragraphBold = false;

    // State of the table being read.
    int row = -1, column = 0;
    int span = 1, cellWidth = 0;
    QString vmerge;
    bool hasVMerge = false;
    bool cellEndedInParagraph = false;
    std::map<std::pair<int, int>, size_t> openByColumn; // (column, span) -> index into cells
    std::vector<SpanCell> raw;

    while (!r.atEnd()) {
        r.readNext();
        const QStringView name = r.qualifiedName();
        if (r.isStartElement()) {
            if (name == u"w:tbl") {
                inTable = true;
                ReadTable t = pendingTitle;
                tables.push_back(t);
                row = -1;
                raw.clear();
                openByColumn.clear();
            } else if (inTable && name == u"w:tblLayout") {
                tables.back().fixedLayout = r.attributes().value("w:type") == u"fixed";
            } else if (inTable && name == u"w:tblW") {
                tables.back().width = r.attributes().value("w:w").toInt();
            } else if (inTable && name == u"w:gridCol") {
                tables.back().grid.push_back(r.attributes().value("w:w").toInt());
            } else if (inTable && name == u"w:tr") {
                ++row;
                column = 0;
            } else if (inTable && name == u"w:tc") {
                span = 1;
                cellWidth = 0;
                hasVMerge = false;
                vmerge.clear();
                cellEndedInParagraph = false;
            } else if (inTable && name == u"w:tcW") {
                cellWidth = r.attributes().value("w:w").toInt();
            } else if (inTable && name == u"w:gridSpan") {
                span = r.attributes().value("w:val").toInt();
            } else if (inTable && name == u"w:vMerge") {
                hasVMerge = true;
                vmerge = r.attributes().value("w:val").toString();
            } else if (name == u"w:p") {
                ++depthParagraph;
                paragraphText.clear();
                paragraphBreak = false;
                paragraphSize.clear();
                paragraphStyle.clear();
                paragraphBold = false;
                cellEndedInParagraph = false;
            } else if (name == u"w:pageBreakBefore") {
                paragraphBreak = true;
            } else if (name == u"w:sz" && depthParagraph > 0 && paragraphSize.isEmpty()) {
                paragraphSize = r.attributes().value("w:val").toString();
            } else if (name == u"w:pStyle") {
                paragraphStyle = r.attributes().value("w:val").toString();
            } else if (name == u"w:b" && depthParagraph > 0) {
                paragraphBold = true;
            } else if (name == u"w:t") {
                paragraphText += r.readElementText();
            } else if (name == u"w:br" && depthParagraph > 0) {
                paragraphText += QLatin1Char('\n');
            } else if (name != u"w:pPr" && name != u"w:rPr" && name != u"w:jc" && name != u"w:r" &&
                       name != u"w:szCs" && name != u"w:bCs") {
                cellEndedInParagraph = false;
            }
        } else if (r.isEndElement()) {
            if (name == u"w:p") {
                --depthParagraph;
                cellEndedInParagraph = true;
                if (!inTable) {
                    pendingTitle = ReadTable{};
                    pendingTitle.title = paragraphText;
                    pendingTitle.breakBeforeTitle = paragraphBreak;
                    pendingTitle.titleSize = paragraphSize;
                    pendingTitle.titleBold = paragraphBold;
                } else if (tables.back().textSize.isEmpty() && tables.back().textStyle.isEmpty()) {
                    tables.back().textSize = paragraphSize;
                    tables.back().textStyle = paragraphStyle;
                }
            } else if (inTable && name == u"w:tc") {
                ReadTable& t = tables.back();
                if (!cellEndedInParagraph)
                    ++t.cellsNotEndingInParagraph;
                int expected = 0;
                for (int c = column; c < column + span && c < static_cast<int>(t.grid.size()); ++c)
                    expected += t.grid[c];
                if (cellWidth != expected)
                    ++t.cellWidthMismatches;
                const auto key = std::make_pair(column, span);
                if (hasVMerge && vmerge != u"restart") {
                    auto it = openByColumn.find(key);
                    if (it == openByColumn.end() ||
                        std::get<0>(raw[it->second]) + std::get<2>(raw[it->second]) != row)
                        ++t.badContinuations;
                    else
                        ++std::get<2>(raw[it->second]);
                } else {
                    raw.emplace_back(row, column, 1, span, paragraphText);
                    if (hasVMerge)
                        openByColumn[key] = raw.size() - 1;
                    else
                        openByColumn.erase(key);
                }
                column += span;
            } else if (name == u"w:tbl") {
                inTable = false;
                ReadTable& t = tables.back();
                for (const SpanCell& c : raw)
                    if (std::get<2>(c) > 1 || std::get<3>(c) > 1 || !std::get<4>(c).isEmpty())
                        t.cells.push_back(c);
                std::sort(t.cells.begin(), t.cells.end());
            }
        }
    }
    if (r.hasError())
        tables.clear();
    return tables;
}

} // namespace officetest
