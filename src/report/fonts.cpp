// Font substitutions and cell-height sizing for the report pages and the screens that use them.
#include "report/fonts.h"

#include <algorithm>
#include <cmath>

namespace tavolin::report {

const QStringList& headerFooterFaces() {
    static const QStringList faces{QStringLiteral("宋体"), QStringLiteral("黑体"),
                                   QStringLiteral("隶书"), QStringLiteral("仿宋_GB2312"),
                                   QStringLiteral("楷体_GB2312")};
    return faces;
}

namespace {

// The installed fonts each named family is drawn with, best first. TrueType-outline faces lead:
// a PDF keeps a full text map for them, so every character (digits included) can be searched
// and copied; Noto CJK stays as the fallback.
const QList<QPair<QString, QStringList>>& substitutes() {
    static const QList<QPair<QString, QStringList>> table = [] {
        const QString ming = QStringLiteral("AR PL UMing CN");
        const QString kai = QStringLiteral("AR PL UKai CN");
        const QString hei = QStringLiteral("WenQuanYi Zen Hei");
        const QString serifCjk = QStringLiteral("Noto Serif CJK SC");
        const QString sansCjk = QStringLiteral("Noto Sans CJK SC");
        return QList<QPair<QString, QStringList>>{
            {QStringLiteral("宋体"), {ming, serifCjk, sansCjk}},
            {QStringLiteral("黑体"), {hei, sansCjk, serifCjk}},
            // No free LiShu or FangSong is packaged: the brush face for 隶书, Ming for 仿宋.
            {QStringLiteral("隶书"), {kai, serifCjk, sansCjk}},
            {QStringLiteral("仿宋_GB2312"), {ming, serifCjk, sansCjk}},
            {QStringLiteral("楷体_GB2312"), {kai, serifCjk, sansCjk}},
            // Metric-compatible Latin faces; the CJK faces carry the Chinese labels.
            {QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), hei, sansCjk}},
            {QStringLiteral("Times New Roman"),
             {QStringLiteral("Liberation Serif"), ming, serifCjk}},
        };
    }();
    return table;
}

} // namespace

void installFontSubstitutions() {
    static bool done = false;
    if (done)
        return;
    done = true;
    for (const auto& [family, list] : substitutes())
        QFont::insertSubstitutions(family, list);
}

QFont reportFont(const QString& family, int cellHeight) {
    // Cell height over em of the original faces: Arial and Times New Roman have a cell of
    // 2288 / 2048 and 2170 / 2048 em; the GB2312 faces a cell of exactly one em.
    double cellPerEm = 1.0;
    if (family == QLatin1String("Arial"))
        cellPerEm = 2288.0 / 2048.0;
    else if (family == QLatin1String("Times New Roman"))
        cellPerEm = 2170.0 / 2048.0;
    QFont font(family);
    // The page's own fallback list, whatever substitutions the program installed for screens.
    for (const auto& [name, list] : substitutes())
        if (name == family)
            font.setFamilies(list);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cellHeight / cellPerEm))));
    font.setWeight(QFont::Normal);
    return font;
}

} // namespace tavolin::report
