// Rules and fitted texts of a report table on any paint device.
#include "report/tablepainter.h"

#include "report/fonts.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <vector>

namespace tavolin::report {

namespace {

QPen solidPen(int width) {
    return QPen(Qt::black, width > 0 ? width : 0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

// Lines at the running sums of `sizes`, scaled so that the last lies `length` after `start`;
// truncated to whole device units. Sizes that are not positive and finite count as one.
std::vector<int> gridLines(int start, int length, const std::vector<double>& sizes, int count) {
    std::vector<double> used(static_cast<size_t>(count), 1.0);
    if (static_cast<int>(sizes.size()) == count)
        for (int i = 0; i < count; ++i)
            if (sizes[i] > 0 && sizes[i] < 1e6)
                used[i] = sizes[i];
    double total = 0;
    for (double s : used)
        total += s;
    std::vector<int> lines(static_cast<size_t>(count) + 1, start);
    double sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += used[i];
        lines[i + 1] = static_cast<int>(start + length * (sum / total));
    }
    return lines;
}

double unitsOf(const OfficeTable& t) {
    if (static_cast<int>(t.rowUnits.size()) != t.rows)
        return t.rows;
    double total = 0;
    for (double u : t.rowUnits)
        total += u > 0 && u < 1e6 ? u : 1.0;
    return total;
}

struct Box {
    int row, column, rowSpan, columnSpan;
};

// Every cell, and every grid position no cell covers, as a box to rule; cells outside the
// table or over another are left out.
std::vector<Box> boxesOf(const OfficeTable& t, std::vector<const TableCell*>& drawn) {
    std::vector<int> owner(static_cast<size_t>(t.rows) * t.columns, -1);
    std::vector<Box> boxes;
    for (size_t i = 0; i < t.cells.size(); ++i) {
        const TableCell& c = t.cells[i];
        if (c.row < 0 || c.column < 0 || c.rowSpan < 1 || c.columnSpan < 1 ||
            c.row + c.rowSpan > t.rows || c.column + c.columnSpan > t.columns)
            continue;
        bool free = true;
        for (int r = c.row; r < c.row + c.rowSpan && free; ++r)
            for (int k = c.column; k < c.column + c.columnSpan; ++k)
                free = free && owner[static_cast<size_t>(r) * t.columns + k] < 0;
        if (!free)
            continue;
        for (int r = c.row; r < c.row + c.rowSpan; ++r)
            for (int k = c.column; k < c.column + c.columnSpan; ++k)
                owner[static_cast<size_t>(r) * t.columns + k] = static_cast<int>(i);
        boxes.push_back({c.row, c.column, c.rowSpan, c.columnSpan});
        drawn.push_back(&c);
    }
    for (int r = 0; r < t.rows; ++r)
        for (int k = 0; k < t.columns; ++k)
            if (owner[static_cast<size_t>(r) * t.columns + k] < 0)
                boxes.push_back({r, k, 1, 1});
    return boxes;
}

} // namespace

// Texts with blanks, line ends or Chinese characters wrap; a number or code stays whole (a line
// break could otherwise fall after its decimal point).
bool mayWrap(const QString& text) {
    for (QChar c : text)
        if (c.isSpace() || c.unicode() >= 0x2E80)
            return true;
    return false;
}

int drawFittedText(QPainter& painter, const QRect& cell, const QString& text, QFont font) {
    if (text.isEmpty() || cell.width() <= 0 || cell.height() <= 0)
        return 0;
    const int full = font.pixelSize() > 0 ? font.pixelSize() : 12;
    // A third of the size still reads on paper; below it a text wraps anywhere instead.
    const int smallest = std::max(1, full / 3);
    const QRectF box(cell);
    const bool oneLine = !text.contains(u'\n');
    const bool wraps = mayWrap(text);
    const int wrap = Qt::AlignCenter | Qt::TextWordWrap;
    for (int size = full;;) {
        font.setPixelSize(size);
        painter.setFont(font);
        const QFontMetricsF m(font, painter.device());
        if (oneLine && m.horizontalAdvance(text) <= box.width() && m.height() <= box.height()) {
            painter.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, text);
            return size;
        }
        if (wraps) {
            const QRectF need = m.boundingRect(box, wrap, text);
            if (need.width() <= box.width() && need.height() <= box.height()) {
                painter.drawText(cell, wrap, text);
                return size;
            }
        }
        if (size <= smallest)
            break;
        size = std::max(smallest, std::min(size - 1, static_cast<int>(size * 0.92)));
    }
    // Still too long at the smallest size: shown whole all the same, past the cell if need be.
    painter.drawText(cell, Qt::AlignCenter | (wraps ? Qt::TextWrapAnywhere : Qt::TextDontClip),
                     text);
    return font.pixelSize();
}

void paintTable(QPainter& painter, const QRect& area, const OfficeTable& t, const TablePens& pens,
                const TableFonts& fonts) {
    if (t.rows <= 0 || t.columns <= 0 || area.width() <= 0 || area.height() <= 0)
        return;
    const std::vector<int> xs = gridLines(area.left(), area.width(), t.columnWeights, t.columns);
    const std::vector<int> ys = gridLines(area.top(), area.height(), t.rowUnits, t.rows);
    const double rowUnit = area.height() / unitsOf(t);

    painter.setPen(solidPen(pens.border));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);

    std::vector<const TableCell*> cells;
    const std::vector<Box> boxes = boxesOf(t, cells);
    painter.setPen(solidPen(pens.grid));
    for (const Box& b : boxes) {
        const int right = b.column + b.columnSpan;
        const int bottom = b.row + b.rowSpan;
        if (right < t.columns)
            painter.drawLine(xs[right], ys[b.row], xs[right], ys[bottom]);
        if (bottom < t.rows)
            painter.drawLine(xs[b.column], ys[bottom], xs[right], ys[bottom]);
    }

    const QFont label =
        reportFont(QStringLiteral("Arial"), static_cast<int>(fonts.label * rowUnit));
    const QFont value =
        reportFont(QStringLiteral("Arial"), static_cast<int>(fonts.value * rowUnit));
    // Texts keep clear of the rules by a twentieth of a row unit, at least one device unit.
    const int inset = std::max(1, static_cast<int>(rowUnit / 20));
    for (const TableCell* c : cells) {
        if (c->text.isEmpty())
            continue;
        const QRect cell(QPoint(xs[c->column], ys[c->row]),
                         QPoint(xs[c->column + c->columnSpan] - 1, ys[c->row + c->rowSpan] - 1));
        drawFittedText(painter, cell.adjusted(inset, 1, -inset, -1), c->text,
                       c->role == CellRole::Label ? label : value);
    }
}

void drawTableTitle(QPainter& painter, const PageGeometry& g, const QString& title) {
    if (title.isEmpty())
        return;
    painter.setFont(reportFont(QStringLiteral("Arial"), static_cast<int>(0.6 * g.title.height())));
    painter.drawText(g.title, Qt::AlignCenter | Qt::TextSingleLine, title);
}

} // namespace tavolin::report
