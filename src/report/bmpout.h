// CBMPOut: a report page as a 1-bit BMP file (bottom-up rows, black and white colour table).
#pragma once

#include <QByteArray>
#include <QImage>

#include <string>

namespace tavolin::report {

class CBMPOut {
public:
    // Row stride: whole bytes for the width, rounded up to a multiple of four.
    static int stride(int width);
    // The file bytes: 14-byte file header, 40-byte information header, colours black and white,
    // the pixel rows bottom row first (a pixel darker than mid-grey is black), zero filler rows
    // up to a height rounded up to a multiple of four.
    static QByteArray encode(const QImage& page);
    // Writes the file under a temporary name and renames it over `path`; false when the file
    // cannot be created or written (nothing is left behind then).
    static bool save(const std::string& path, const QImage& page);
};

} // namespace tavolin::report
