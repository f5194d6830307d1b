// The 1-bit BMP writer of report pages.
#include "report/bmpout.h"

#include <QSaveFile>

#include <cstdint>

namespace tavolin::report {

namespace {

void put16(QByteArray& out, int offset, uint16_t value) {
    out[offset] = char(value & 0xff);
    out[offset + 1] = char(value >> 8);
}

void put32(QByteArray& out, int offset, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out[offset + i] = char((value >> (8 * i)) & 0xff);
}

} // namespace

int CBMPOut::stride(int width) {
    const int bytes = (width + 7) / 8;
    return (bytes + 3) / 4 * 4;
}

QByteArray CBMPOut::encode(const QImage& page) {
    const QImage grey = page.convertToFormat(QImage::Format_Grayscale8);
    const int width = grey.width();
    const int height = grey.height();
    const int rowBytes = stride(width);
    const int imageSize = rowBytes * ((height + 3) / 4 * 4);
    constexpr int kOffset = 62;
    QByteArray out(kOffset + imageSize, '\0');
    out[0] = 'B';
    out[1] = 'M';
    put32(out, 2, uint32_t(kOffset + imageSize));
    put32(out, 10, kOffset);
    put32(out, 14, 40);
    put32(out, 18, uint32_t(width));
    put32(out, 22, uint32_t(height));
    put16(out, 26, 1);
    put16(out, 28, 1);
    put32(out, 34, uint32_t(imageSize));
    put32(out, 46, 2);
    put32(out, 58, 0x00ffffff); // colour 1: white; colour 0 stays black
    char* pixels = out.data() + kOffset;
    for (int row = 0; row < height; ++row) {
        const uchar* src = grey.constScanLine(height - 1 - row);
        char* dst = pixels + std::size_t(row) * rowBytes;
        for (int x = 0; x < width; ++x)
            if (src[x] >= 128)
                dst[x >> 3] = char(dst[x >> 3] | (0x80 >> (x & 7)));
    }
    return out;
}

bool CBMPOut::save(const std::string& path, const QImage& page) {
    const QByteArray bytes = encode(page);
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace tavolin::report
