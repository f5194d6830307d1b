// Grid positions, rules and cell texts of a report table, shared by both table pages.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QRect>
#include <QString>

#include "report/pagegeometry.h"

#include <string>

namespace tavolin::report::detail {

inline QString qs(const std::u16string& text) {
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

class TableGrid {
public:
    TableGrid(QPainter& painter, const QRect& area, int columns, int rows)
        : painter_(painter), area_(area), columnUnit_(area.width() / double(columns)),
          rowUnit_(area.height() / double(rows)) {}

    double columnUnit() const { return columnUnit_; }
    double rowUnit() const { return rowUnit_; }

    // Grid position of a column or row line, truncated to whole device units.
    int x(double column) const { return static_cast<int>(area_.left() + column * columnUnit_); }
    int y(double row) const { return static_cast<int>(area_.top() + row * rowUnit_); }

    void outline(int width);
    void useGridPen(int width);
    void hline(double row, double fromColumn, double toColumn);
    void vline(double column, double fromRow, double toRow);

    void setFont(const QFont& font);
    // Text in the cell from column line c1 to c2 and from row line r1 to r2 + 1, centred on one
    // line and cut with an ellipsis when too long.
    void text(double c1, double c2, int r1, int r2, const QString& text,
              int flags = Qt::AlignCenter);
    void text(double c1, double c2, int row, const QString& s) { text(c1, c2, row, row, s); }
    // On one line when it fits, else wrapped (anywhere, for texts without spaces) and centred.
    void fitOrWrap(double c1, double c2, int r1, int r2, const QString& text);
    // Wrapped at word boundaries, the wrapped block centred both ways.
    void wrappedText(double c1, double c2, int r1, int r2, const QString& text);

private:
    QPainter& painter_;
    QRect area_;
    double columnUnit_;
    double rowUnit_;
    QFontMetrics metrics_{QFont()};
};

// The family of every table and title text.
inline QString arial() {
    return QStringLiteral("Arial");
}
// The table's title in the title band, drawn only when `show` (page 1 of the first member).
void drawTableTitle(QPainter& painter, const PageGeometry& geometry, const QString& title,
                    bool show);

// A pen of `width` device units; 0 and less draw the thinnest line the device has.
QPen solidPen(int width);

} // namespace tavolin::report::detail
