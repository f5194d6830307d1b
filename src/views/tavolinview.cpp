// CTavolinView: drawing, picking and cursor readout of one point waveform pane.
#include "views/tavolinview.h"

#include "data/format.h"
#include "data/labels.h"
#include "sonic/waveform.h"
#include "views/docbridge.h"
#include "views/qtext.h"

#include <QMouseEvent>
#include <QPainter>
#include <QSlider>

#include <algorithm>
#include <utility>

namespace tavolin {

namespace {

constexpr int kSliderWidth = 25;

} // namespace

CTavolinView::CTavolinView(DocBridge& bridge, int point, QWidget* parent)
    : QWidget(parent), bridge_(bridge), point_(std::clamp(point, 0, 2)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 60);
    slider_ = makeZoomSlider(this, QStringLiteral("slider%1").arg(4444 + 1111 * point_),
                             QStringLiteral("幅度缩放%1").arg(point_ + 1));
    scale_.zoom = ::tavolin::zoomFactor(slider_->value());
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        scale_.zoom = ::tavolin::zoomFactor(position);
        redraw();
    });
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &CTavolinView::redraw);
    connect(&bridge_, &DocBridge::samplesChangedQueued, this, &CTavolinView::redraw);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &CTavolinView::redraw);
    // An automatic run moves arrivals and marks points without a pick in a pane.
    connect(&bridge_, &DocBridge::jobChangedQueued, this, [this](int member, int area, unsigned f) {
        const CTavolinDoc& doc = std::as_const(bridge_).doc();
        if ((f & ChangeArrival) && (member < 0 || member == doc.currentMember()) &&
            (area < 0 || area == doc.currentAreaIndex()))
            redraw();
    });
}

CTavolinDoc& CTavolinView::document() const {
    return bridge_.doc();
}

void CTavolinView::redraw() {
    cursorShown_ = false;
    update();
}

void CTavolinView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    slider_->setGeometry(width() - kSliderWidth, 0, kSliderWidth, height());
    cursorShown_ = false;
}

WaveformGeometry CTavolinView::paneGeometry(const QRect& rect) const {
    const QRect frame(rect.left(), rect.top(), rect.width() - kSliderWidth, rect.height());
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    const TestArea* area = doc.isOpen() ? doc.currentArea() : nullptr;
    return WaveformGeometry::of(frame, area ? doc.currentMemberInfo() : nullptr,
                                area ? &area->points[point_] : nullptr);
}

void CTavolinView::paintPane(QPainter& p, const QRect& rect) {
    const WaveformGeometry g = paneGeometry(rect);
    drawWaveform(p, g.frame, g, scale_);
    drawPickMark(p, g.frame);
}

void CTavolinView::drawPickMark(QPainter& p, const QRect& frame) const {
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    const TestArea* area = doc.isOpen() ? doc.currentArea() : nullptr;
    if (!area || !area->points[point_].hasWaveform())
        return;
    const TestPoint& pt = area->points[point_];
    const int origin = static_cast<int>(pt.pickOrigin);
    if (pt.pickOrigin == PickOrigin::File)
        return;
    QString text = toQ(std::u16string(labelOf(kPickOriginLabels, origin, u"")));
    if (pt.pickOrigin != PickOrigin::Hand && pt.pickConfidence >= 0)
        text += QStringLiteral("  置信度 ") + toQ(formatFixed(pt.pickConfidence, 2));
    const bool review = pt.pickOrigin == PickOrigin::Review;
    // A point that still needs a human stands out: a thick orange frame and its label.
    const QColor colour = review                                   ? QColor(230, 100, 0)
                          : pt.pickOrigin == PickOrigin::Suggested ? QColor(0, 120, 0)
                                                                   : QColor(90, 90, 90);
    p.save();
    if (review) {
        p.setPen(QPen(colour, 3));
        p.setBrush(Qt::NoBrush);
        p.drawRect(frame.adjusted(1, 1, -2, -2));
    }
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(13);
    font.setBold(review);
    p.setFont(font);
    p.setPen(colour);
    const int w = p.fontMetrics().horizontalAdvance(text);
    p.drawText(QPoint(frame.center().x() - w / 2, frame.top() + 4 + p.fontMetrics().ascent()),
               text);
    p.restore();
}

void CTavolinView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The strip behind the slider belongs to the pane too (the pane paints opaquely).
    p.fillRect(QRect(width() - kSliderWidth, 0, kSliderWidth, height()),
               palette().color(QPalette::Window));
    paintPane(p, rect());
    if (cursorShown_ && cursorX_ >= 0 && cursorX_ < width() - kSliderWidth)
        drawCursorLine(p, cursorX_, 0, height() - 1);
}

void CTavolinView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    CTavolinDoc& doc = bridge_.doc();
    if (!doc.isOpen())
        return;
    const int x = event->position().toPoint().x();
    if (x < width() - kSliderWidth)
        pick(x);
    doc.setModified();
}

void CTavolinView::pick(int x) {
    const int index = paneGeometry(rect()).sampleAt(x);
    if (index < 0)
        return;
    // A pane's pick moves the amplitude cursor with the arrival; the document recomputes.
    CTavolinDoc& doc = bridge_.doc();
    doc.setArrival(doc.currentMember(), doc.currentAreaIndex(), point_, index, true);
    justPicked_ = true;
    cursorShown_ = false;
    update();
    emit picked(point_);
}

void CTavolinView::mouseMoveEvent(QMouseEvent* event) {
    if (bridge_.doc().isOpen())
        readout(event->position().toPoint().x());
    QWidget::mouseMoveEvent(event);
}

void CTavolinView::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    // A readout left in the fields would read as the point's measured values.
    if (cursorShown_) {
        cursorShown_ = false;
        update();
    }
    emit cursorLeft(point_);
}

void CTavolinView::readout(int x) {
    const WaveformGeometry::Readout r = paneGeometry(rect()).readoutAt(x);
    if (r.index < 0)
        return;
    cursorIndex_ = r.index;
    cursorX_ = x;
    cursorShown_ = true;
    justPicked_ = false;
    update();
    emit cursorReadout(point_, r.t, r.amplitudeVolts, r.velocity);
}

} // namespace tavolin
