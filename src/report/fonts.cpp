// Font substitutions for the report pages and the screens that use the same family names.
#include "report/fonts.h"

#include <QFont>

namespace tavolin::report {

const QStringList& headerFooterFaces() {
    static const QStringList faces{QStringLiteral("宋体"), QStringLiteral("黑体"),
                                   QStringLiteral("隶书"), QStringLiteral("仿宋_GB2312"),
                                   QStringLiteral("楷体_GB2312")};
    return faces;
}

void installFontSubstitutions() {
    static bool done = false;
    if (done)
        return;
    done = true;
    // Serif faces for the brush styles (no free LiShu or FangSong is packaged), sans for 黑体.
    const QString serifCjk = QStringLiteral("Noto Serif CJK SC");
    const QString sansCjk = QStringLiteral("Noto Sans CJK SC");
    QFont::insertSubstitutions(QStringLiteral("宋体"), {serifCjk, sansCjk});
    QFont::insertSubstitutions(QStringLiteral("黑体"), {sansCjk, serifCjk});
    QFont::insertSubstitutions(QStringLiteral("隶书"), {serifCjk, sansCjk});
    QFont::insertSubstitutions(QStringLiteral("仿宋_GB2312"), {serifCjk, sansCjk});
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"), {serifCjk, sansCjk});
    // Metric-compatible Latin faces; the CJK fallback carries the Chinese labels drawn in them.
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), sansCjk});
    QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                               {QStringLiteral("Liberation Serif"), serifCjk});
}

} // namespace tavolin::report
