// Every family a report names draws both the Chinese and the Latin texts it is used for.
#include "report/fonts.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <gtest/gtest.h>

TEST(ReportFonts, EveryNamedFaceHasTheGlyphsOfItsTexts) {
    QStringList families = tavolin::report::headerFooterFaces();
    families << QStringLiteral("Arial") << QStringLiteral("Times New Roman");
    const QString text = QStringLiteral("现场记录表结果数据表测区 fcue = 34.5 Mpa");
    for (const QString& family : families) {
        QFont font(family);
        QFontMetrics metrics(font);
        for (QChar c : text)
            EXPECT_TRUE(c.isSpace() || metrics.inFont(c))
                << family.toStdString() << " lacks U+" << std::hex << int(c.unicode());
    }
    // Latin faces resolve to the metric-compatible fonts, not to a CJK face's Latin glyphs.
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Arial"))).family(),
              QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(QFont(QStringLiteral("Times New Roman"))).family(),
              QStringLiteral("Liberation Serif"));
}
