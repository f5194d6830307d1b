// The 1-bit BMP writer: header fields, colour table, bottom-up rows and the page file size.
#include "report/bmpout.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using tavolin::report::CBMPOut;

namespace {
uint32_t u32(const QByteArray& b, int at) {
    return uint8_t(b[at]) | uint8_t(b[at + 1]) << 8 | uint8_t(b[at + 2]) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
} // namespace

TEST(BmpOut, SmallImageBytesAsLaidOut) {
    // 10 × 3: stride 2 bytes → 4; height 3 → 4 rows; image 16 bytes.
    QImage image(10, 3, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(0, 0, 0));    // top row, leftmost: black
    image.setPixel(9, 2, qRgb(90, 90, 90)); // bottom row, last: dark grey → black
    image.setPixel(1, 2, qRgb(200, 200, 200));
    const QByteArray b = CBMPOut::encode(image);
    const QByteArray head = QByteArray::fromHex("424d4e000000000000003e000000" // file header
                                                "280000000a0000000300000001000100"
                                                "00000000100000000000000000000000"
                                                "020000000000000000000000ffffff00");
    ASSERT_EQ(b.size(), 62 + 16);
    EXPECT_EQ(b.left(62).toHex(), head.toHex());
    // Bottom row first: pixel 9 black (bit 6 of byte 1), pixel 8 white, padding bits zero.
    EXPECT_EQ(b.mid(62, 4).toHex(), QByteArray("ff800000"));
    EXPECT_EQ(b.mid(66, 4).toHex(), QByteArray("ffc00000"));
    EXPECT_EQ(b.mid(70, 4).toHex(), QByteArray("7fc00000")); // top row: pixel 0 black
    EXPECT_EQ(b.mid(74, 4).toHex(), QByteArray("00000000")); // filler row
}

TEST(BmpOut, PageFileIsExactlyItsDescribedSize) {
    QImage page(1030, 1400, QImage::Format_RGB32);
    page.fill(Qt::white);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.bmp"));
    ASSERT_TRUE(CBMPOut::save(path.toStdString(), page));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray b = file.readAll();
    EXPECT_EQ(b.size(), 184862);
    EXPECT_EQ(u32(b, 2), 184862u);
    EXPECT_EQ(u32(b, 34), 184800u);
    EXPECT_EQ(CBMPOut::stride(1030), 132);
    // A folder that does not exist: nothing written, failure reported.
    EXPECT_FALSE(CBMPOut::save(dir.filePath(QStringLiteral("no/page.bmp")).toStdString(), page));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
}
