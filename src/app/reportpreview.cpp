// The report preview: navigation, zoom and printing; only the page on screen is ever drawn, so
// the first page of a two-thousand-page print shows at once.
#include "app/reportpreview.h"

#include <QAction>
#include <QLabel>
#include <QPainter>
#include <QPrinter>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace tavolin {

CReportPreview::CReportPreview(const report::ReportSource& source, const report::PageList& pages,
                               QPrinter& printer, std::function<void()> print, QWidget* parent)
    : QDialog(parent), source_(source), pages_(pages), printer_(printer) {
    setWindowTitle(QStringLiteral("打印预览"));
    geometry_ = report::printGeometry(report::deviceInfo(printer_), source_.print);
    const QRect paint = printer_.pageLayout().paintRectPixels(printer_.resolution());
    const QRect full = printer_.pageLayout().fullRectPixels(printer_.resolution());
    paper_ = full.translated(-paint.topLeft());

    auto* bar = new QToolBar(this);
    auto add = [&](const QString& text, auto slot, QKeySequence key = {}) {
        QAction* a = bar->addAction(text, this, slot);
        a->setShortcut(key);
        return a;
    };
    add(QStringLiteral("打印..."), [this, print] {
        if (print)
            print();
    });
    bar->addSeparator();
    add(
        QStringLiteral("首页"), [this] { showPage(1); }, QKeySequence(Qt::Key_Home));
    add(
        QStringLiteral("上一页"), [this] { showPage(page_ - 1); }, QKeySequence(Qt::Key_PageUp));
    pageBox_ = new QSpinBox;
    pageBox_->setAccessibleName(QStringLiteral("页码"));
    pageBox_->setRange(1, std::max(1, pages_.pageCount()));
    bar->addWidget(pageBox_);
    countLabel_ = new QLabel(QStringLiteral(" / %1 ").arg(pages_.pageCount()));
    bar->addWidget(countLabel_);
    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int p) { showPage(p); });
    add(
        QStringLiteral("下一页"), [this] { showPage(page_ + 1); }, QKeySequence(Qt::Key_PageDown));
    add(
        QStringLiteral("末页"), [this] { showPage(pages_.pageCount()); },
        QKeySequence(Qt::Key_End));
    bar->addSeparator();
    add(
        QStringLiteral("放大"), [this] { setZoom(zoom_ * 1.25); }, QKeySequence::ZoomIn);
    add(
        QStringLiteral("缩小"), [this] { setZoom(zoom_ / 1.25); }, QKeySequence::ZoomOut);
    add(QStringLiteral("100%"), [this] { setZoom(1.0); });
    add(QStringLiteral("适合宽度"), [this] { fitWidth(); });
    add(QStringLiteral("整页"), [this] { fitPage(); });
    bar->addSeparator();
    add(QStringLiteral("关闭"), [this] { reject(); });

    view_ = new QLabel;
    view_->setAlignment(Qt::AlignCenter);
    view_->setAccessibleName(QStringLiteral("预览页面"));
    scroll_ = new QScrollArea;
    scroll_->setWidget(view_);
    scroll_->setWidgetResizable(true);
    scroll_->setBackgroundRole(QPalette::Dark);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(bar);
    layout->addWidget(scroll_);
    resize(900, 1000);
    refresh();
}

double CReportPreview::baseScale() const {
    const QScreen* s = screen();
    const double screenDpi = s ? s->logicalDotsPerInchY() : 96.0;
    return screenDpi / printer_.resolution();
}

QImage CReportPreview::renderPage(int page, double scale) const {
    const double paperPixels = double(paper_.width()) * paper_.height();
    if (paperPixels > 0 && paperPixels * scale * scale > kMaxPagePixels)
        scale = std::sqrt(kMaxPagePixels / paperPixels);
    QSize size(int(paper_.width() * scale + 0.5), int(paper_.height() * scale + 0.5));
    if (double(size.width()) * size.height() > kMaxPagePixels)
        size = QSize(int(paper_.width() * scale), int(paper_.height() * scale));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const auto ref = pages_.locate(page);
    if (!ref)
        return image;
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(scale, scale);
    painter.translate(-paper_.topLeft());
    report::drawReportPage(painter, geometry_, source_, *ref);
    return image;
}

void CReportPreview::showPage(int page) {
    page = std::clamp(page, 1, std::max(1, pages_.pageCount()));
    if (page == page_ && !view_->pixmap().isNull())
        return;
    page_ = page;
    refresh();
}

void CReportPreview::setZoom(double zoom) {
    zoom_ = std::clamp(zoom, 0.1, 8.0);
    refresh();
}

void CReportPreview::fitWidth() {
    const int width = scroll_->viewport()->width() - 20;
    setZoom(width / (paper_.width() * baseScale()));
}

void CReportPreview::fitPage() {
    const QSize area = scroll_->viewport()->size() - QSize(20, 20);
    setZoom(std::min(area.width() / (paper_.width() * baseScale()),
                     area.height() / (paper_.height() * baseScale())));
}

void CReportPreview::refresh() {
    {
        const QSignalBlocker block(pageBox_);
        pageBox_->setValue(page_);
    }
    view_->setPixmap(QPixmap::fromImage(renderPage(page_, baseScale() * zoom_)));
}

} // namespace tavolin
