// Header, footer and page number of every report page, and the whole page put together.
#include "report/fonts.h"
#include "report/reportpages.h"

#include "data/format.h"
#include "data/mathoperation.h"

#include <QPainter>

namespace tavolin::report {

namespace {

QString qs(const std::u16string& text) {
    return QString::fromStdU16String(text);
}

QFont headFootFont(int index, int dpiY) {
    const QStringList& faces = headerFooterFaces();
    if (index < 0 || index >= faces.size())
        index = 0;
    QFont font = reportFont(faces.at(index), dpiY * 20 / 96);
    return font;
}

int alignment(int position) {
    switch (position) {
    case 1:
        return Qt::AlignHCenter;
    case 2:
        return Qt::AlignRight;
    default:
        return Qt::AlignLeft;
    }
}

void bandText(QPainter& painter, const QRect& band, int position, const QString& text) {
    if (band.isEmpty() || text.isEmpty())
        return;
    const int flags = alignment(position) | Qt::AlignVCenter | Qt::TextSingleLine;
    painter.drawText(band, flags, text);
}

} // namespace

std::vector<std::size_t> ReportSource::areaCounts() const {
    std::vector<std::size_t> counts;
    counts.reserve(job.members.size());
    for (std::size_t m = 0; m < job.members.size(); ++m)
        counts.push_back(m < job.areas.size() ? job.areas[m].size() : 0);
    return counts;
}

PageList ReportSource::pageList() const {
    return PageList(areaCounts(), print.printFieldRecord != 0, print.printResultTable != 0);
}

void DrawHeaderFooter(QPainter& painter, const PageGeometry& g, const PrintSettings& s) {
    if (s.printHeader) {
        painter.setFont(headFootFont(s.headerFont, g.dpiY));
        bandText(painter, g.header, s.headerPosition, qs(s.headerText));
    }
    if (s.printFooter) {
        painter.setFont(headFootFont(s.footerFont, g.dpiY));
        bandText(painter, g.footer, s.footerPosition, qs(s.footerText));
    }
}

QString pageNumberText(const PrintSettings& s, int page) {
    if (!s.printPageNumber)
        return {};
    const long long number = static_cast<long long>(s.firstPageNumber) + page - 1;
    if (s.pageNumberFormat == 1) {
        std::u16string roman;
        if (number < 1 || number > 1000 || !MathOperation::ToRoman(static_cast<int>(number), roman))
            return {};
        return qs(roman);
    }
    return QString::number(number) + u' ';
}

void DrawPageNumber(QPainter& painter, const PageGeometry& g, const PrintSettings& s, int page) {
    const QString text = pageNumberText(s, page);
    if (text.isEmpty())
        return;
    // The footer's face when a footer is printed, else the header's, else the first face.
    const int face = s.printFooter ? s.footerFont : s.printHeader ? s.headerFont : 0;
    painter.setFont(headFootFont(face, g.dpiY));
    bandText(painter, g.footer, s.pageNumberPosition, text);
}

void drawReportPage(QPainter& painter, const PageGeometry& g, const ReportSource& source,
                    const PageRef& ref, bool pageNumbers) {
    DrawHeaderFooter(painter, g, source.print);
    if (pageNumbers)
        DrawPageNumber(painter, g, source.print, ref.page);
    if (ref.table == ReportTable::FieldRecord)
        DrawFieldRecordPage(painter, g, source, ref.member, ref.pageInMember);
    else
        DrawResultPage(painter, g, source, ref.member, ref.pageInMember);
}

} // namespace tavolin::report
