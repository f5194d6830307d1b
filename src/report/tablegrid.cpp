// Rules and single-line or wrapped cell texts on the report table grid.
#include "report/tablegrid.h"

#include "report/fonts.h"

namespace tavolin::report::detail {

void drawTableTitle(QPainter& painter, const PageGeometry& g, const QString& title, bool show) {
    if (!show)
        return;
    painter.setFont(reportFont(arial(), static_cast<int>(0.6 * g.title.height())));
    painter.drawText(g.title, Qt::AlignCenter | Qt::TextSingleLine, title);
}

QPen solidPen(int width) {
    QPen pen(Qt::black, width > 0 ? width : 0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
    return pen;
}

void TableGrid::outline(int width) {
    painter_.setPen(solidPen(width));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(area_); // edges on column and row lines 0 and the last
}

void TableGrid::useGridPen(int width) {
    painter_.setPen(solidPen(width));
}

void TableGrid::hline(double row, double fromColumn, double toColumn) {
    const int yy = y(row);
    painter_.drawLine(x(fromColumn), yy, x(toColumn), yy);
}

void TableGrid::vline(double column, double fromRow, double toRow) {
    const int xx = x(column);
    painter_.drawLine(xx, y(fromRow), xx, y(toRow));
}

void TableGrid::setFont(const QFont& font) {
    painter_.setFont(font);
    metrics_ = QFontMetrics(font, painter_.device());
}

void TableGrid::text(double c1, double c2, int r1, int r2, const QString& s, int flags) {
    if (s.isEmpty())
        return;
    const QRect cell(QPoint(x(c1), y(r1)), QPoint(x(c2) - 1, y(r2 + 1) - 1));
    QString shown = s;
    if (metrics_.horizontalAdvance(s) > cell.width())
        shown = metrics_.elidedText(s, Qt::ElideRight, cell.width());
    painter_.drawText(cell, flags | Qt::TextSingleLine, shown);
}

void TableGrid::wrappedText(double c1, double c2, int r1, int r2, const QString& s) {
    if (s.isEmpty())
        return;
    const QRect cell(QPoint(x(c1), y(r1)), QPoint(x(c2) - 1, y(r2 + 1) - 1));
    painter_.drawText(cell, Qt::AlignCenter | Qt::TextWordWrap, s);
}

} // namespace tavolin::report::detail

namespace tavolin::report::detail {

void TableGrid::fitOrWrap(double c1, double c2, int r1, int r2, const QString& s) {
    if (s.isEmpty())
        return;
    const QRect cell(QPoint(x(c1), y(r1)), QPoint(x(c2) - 1, y(r2 + 1) - 1));
    if (metrics_.horizontalAdvance(s) <= cell.width()) {
        painter_.drawText(cell, Qt::AlignCenter | Qt::TextSingleLine, s);
        return;
    }
    painter_.drawText(cell, Qt::AlignCenter | Qt::TextWrapAnywhere, s);
}

} // namespace tavolin::report::detail
