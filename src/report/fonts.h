// The font families named by the report pages, mapped onto installed fonts that have the glyphs.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace tavolin::report {

// The five faces of report heads and feet, in the order `headerFont` and `footerFont` index.
const QStringList& headerFooterFaces();

// Maps "宋体", "黑体", "隶书", "仿宋_GB2312", "楷体_GB2312", "Arial" and "Times New Roman" onto
// the installed CJK and Latin fonts, so a page never shows empty boxes. Needs a QGuiApplication;
// calling it again does nothing.
void installFontSubstitutions();

// A font of `family` whose cell (ascent + descent, internal leading included) on the platform the
// pages were designed for is `cellHeight` device units: the em is smaller than the cell for the
// Latin faces (2048 / 2288 of it for Arial), the same for the Chinese ones.
QFont reportFont(const QString& family, int cellHeight);

} // namespace tavolin::report
