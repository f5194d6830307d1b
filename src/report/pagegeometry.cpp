// Page geometry from device resolution, printable area and offsets, and the bitmap page layout.
#include "report/pagegeometry.h"

#include <QPagedPaintDevice>

namespace tavolin::report {

namespace {

// Margins in whole device units (the conversion of the margin fields).
int marginUnits(int dpi, int millimetres, int offset) {
    const int units = static_cast<int>(dpi * static_cast<double>(millimetres) / 25.40005);
    return units < offset ? offset : units;
}

} // namespace

PageGeometry printGeometry(const DeviceInfo& d, const PrintSettings& s) {
    const int mm = static_cast<int>(d.dpiY / 25.4); // whole device units per millimetre
    const int left = marginUnits(d.dpiX, s.marginLeft, d.offsetX);
    const int right = marginUnits(d.dpiX, s.marginRight, d.offsetX);
    const int top = marginUnits(d.dpiY, s.marginTop, d.offsetY);
    const int bottom = marginUnits(d.dpiY, s.marginBottom, d.offsetY);

    const int x = left - d.offsetX;
    const int width = d.printableWidth + 2 * d.offsetX - left - right;
    int y = top - d.offsetY;
    int height = d.printableHeight + 2 * d.offsetY - top - bottom;

    PageGeometry g;
    g.dpiY = d.dpiY;
    if (s.printHeader) {
        g.header = QRect(x, y, width, 8 * mm);
        y += 10 * mm;
        height -= 10 * mm;
    }
    if (s.printFooter || s.printPageNumber) {
        g.footer = QRect(x, y + height + 2 * mm, width, 8 * mm);
        height -= 10 * mm;
    }
    g.title = QRect(x, y, width, 13 * mm);
    g.table = QRect(x, y + 15 * mm, width, height - 15 * mm);
    return g;
}

PageGeometry bitmapGeometry() {
    PageGeometry g;
    g.dpiY = kBitmapDpi;
    const int titleHeight = static_cast<int>(68.5714);
    g.title = QRect(30, 30, 970, titleHeight);
    g.table = QRect(30, 30 + titleHeight, 970, 1370 - 30 - titleHeight);
    g.header = QRect(30, 0, 970, 30);
    g.footer = QRect(30, 1370, 970, 30);
    return g;
}

DeviceInfo deviceInfo(const QPagedPaintDevice& device) {
    DeviceInfo d;
    d.dpiX = device.logicalDpiX();
    d.dpiY = device.logicalDpiY();
    d.printableWidth = device.width();
    d.printableHeight = device.height();
    const QPageLayout layout = device.pageLayout();
    const QRect paint = layout.paintRectPixels(device.logicalDpiY());
    d.offsetX = paint.left();
    d.offsetY = paint.top();
    return d;
}

} // namespace tavolin::report
