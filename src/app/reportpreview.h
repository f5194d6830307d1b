// CReportPreview: the print preview of the report pages, drawn one page at a time on demand.
#pragma once

#include "report/reportpages.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace tavolin {

class CReportPreview : public QDialog {
    Q_OBJECT
public:
    // Shows the pages of `pages` as `printer` prints them; "打印" calls `print`.
    CReportPreview(const report::ReportSource& source, const report::PageList& pages,
                   QPrinter& printer, std::function<void()> print, QWidget* parent = nullptr);

    int currentPage() const { return page_; }
    double zoom() const { return zoom_; }
    void showPage(int page);
    void setZoom(double zoom);
    // Most pixels a preview page is drawn with (64 MB of image): at the highest zoom of a
    // 1200-dpi printer the page would otherwise take some 230 MB.
    static constexpr double kMaxPagePixels = 16e6;
    // The page as the preview draws it, at `scale` screen pixels per printer pixel, or at the
    // scale that keeps it within kMaxPagePixels.
    QImage renderPage(int page, double scale) const;

private:
    void fitWidth();
    void fitPage();
    void refresh();
    double baseScale() const; // printer pixels to screen pixels at 100 %

    const report::ReportSource& source_;
    const report::PageList& pages_;
    QPrinter& printer_;
    report::PageGeometry geometry_;
    QRect paper_; // the paper in printer pixels, relative to the printable area's origin
    int page_ = 1;
    double zoom_ = 1.0;
    QScrollArea* scroll_ = nullptr;
    QLabel* view_ = nullptr;
    QSpinBox* pageBox_ = nullptr;
    QLabel* countLabel_ = nullptr;
};

} // namespace tavolin
