// Page geometry of the report pages: bands and table area from a device or the bitmap page.
#pragma once

#include "data/records.h"

#include <QRect>

class QPagedPaintDevice;

namespace tavolin::report {

// What the geometry needs of a device, in its own units.
struct DeviceInfo {
    int dpiX = 600;
    int dpiY = 600;
    int printableWidth = 0;  // width of the printable area
    int printableHeight = 0; // height of the printable area
    int offsetX = 0;         // unprintable left offset
    int offsetY = 0;         // unprintable top offset
};

// All rectangles in the painter's coordinates (those of the printable area).
struct PageGeometry {
    QRect header; // empty when no header is printed
    QRect footer; // empty when neither footer nor page numbers are printed
    QRect title;
    QRect table;
    int dpiY = 96; // resolution the header and footer fonts are sized for
};

// The print layout of a device: margins raised to the unprintable offsets, the bands of header,
// footer and title, the table area below them.
PageGeometry printGeometry(const DeviceInfo& device, const PrintSettings& settings);

// The fixed 1030 × 1400 bitmap page. It has no header or footer band of its own, so header and
// footer texts go into its 30-pixel margins above and below the inner rectangle.
constexpr int kBitmapWidth = 1030;
constexpr int kBitmapHeight = 1400;
constexpr int kBitmapDpi = 96;
PageGeometry bitmapGeometry();

// The device facts of a printer or a PDF writer: the painter's origin is the top left of the
// page layout's paint rectangle, whose offsets stand for the unprintable ones.
DeviceInfo deviceInfo(const QPagedPaintDevice& device);

} // namespace tavolin::report
