// CTavolinView: drawing, picking and cursor readout of one point waveform pane.
#include "views/tavolinview.h"

#include "data/evaluation.h"
#include "data/format.h"
#include "sonic/waveform.h"
#include "views/docbridge.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace tavolin {

namespace {

constexpr int kSliderWidth = 25;

QString text(const std::u16string& s) {
    return toQ(s);
}

// Text placed by its top-left corner, as the pane's layout gives positions.
void textAt(QPainter& p, int x, int y, const QString& s) {
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), s);
}

// A caption placed at `x` unless it would run past `limit` (the pane's frame); then moved left
// just enough to stay whole, but never past `minX`.
int fittingX(const QPainter& p, int x, const QString& s, int limit, int minX) {
    const int end = x + p.fontMetrics().horizontalAdvance(s);
    return std::max(minX, end > limit ? x - (end - limit) : x);
}

QPen cosmetic(const QColor& colour) {
    QPen pen(colour, 1);
    pen.setCosmetic(true);
    return pen;
}

} // namespace

struct CTavolinView::Geometry {
    int left = 0, top = 0, width = 0, height = 0;
    int ym = 0;
    float px = 0;    // pixels per us
    float dT = 0;    // member's sample interval
    int count = 0;   // samples drawn: DatLen, never more than the point holds
    int datLen = 0;  // member's DatLen (time axis length)
    float delay = 0; // point's delay
    TestArea* area = nullptr;
    TestPoint* point = nullptr;
};

CTavolinView::CTavolinView(DocBridge& bridge, int point, QWidget* parent)
    : QWidget(parent), bridge_(bridge), point_(std::clamp(point, 0, 2)) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 60);
    slider_ = new QSlider(Qt::Vertical, this);
    slider_->setObjectName(QStringLiteral("slider%1").arg(4444 + 1111 * point_));
    slider_->setRange(0, 100);
    slider_->setTickInterval(10);
    slider_->setTickPosition(QSlider::TicksRight);
    // Position 0 at the top and 100 at the bottom; Page Down moves the thumb down.
    slider_->setInvertedAppearance(true);
    slider_->setInvertedControls(true);
    slider_->setValue(80);
    zoom_ = ::tavolin::zoomFactor(slider_->value());
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        zoom_ = ::tavolin::zoomFactor(position);
        redraw();
    });
    connect(&bridge_, &DocBridge::areaChangedQueued, this, &CTavolinView::redraw);
    connect(&bridge_, &DocBridge::samplesChangedQueued, this, &CTavolinView::redraw);
    connect(&bridge_, &DocBridge::contentsReplacedQueued, this, &CTavolinView::redraw);
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

bool CTavolinView::paneGeometry(const QRect& rect, Geometry& g) {
    g.left = rect.left();
    g.top = rect.top();
    g.width = rect.width() - kSliderWidth;
    g.height = rect.height();
    g.ym = g.top + g.height / 2;
    CTavolinDoc& doc = bridge_.doc();
    g.area = doc.currentArea();
    const MemberInfo* member = doc.currentMemberInfo();
    if (!doc.isOpen() || !g.area || !member)
        return false;
    g.point = &g.area->points[point_];
    if (!g.point->hasWaveform())
        return false;
    g.dT = member->dT;
    g.datLen = member->DatLen;
    g.delay = g.point->Delay;
    g.count = std::min<int>(g.datLen, static_cast<int>(g.point->samples.size()));
    const float span = static_cast<float>(g.datLen) * g.dT;
    // A member without a usable time span has no time axis to draw on.
    if (!(span > 0.0f) || !std::isfinite(span) || g.width < 40 || g.height < 20)
        return false;
    g.px = static_cast<float>(g.width - 37) / span;
    return true;
}

void CTavolinView::paintPane(QPainter& p, const QRect& rect) {
    p.save();
    const QRect frame(rect.left(), rect.top(), rect.width() - kSliderWidth, rect.height());
    p.fillRect(frame, Qt::white);
    p.setPen(cosmetic(Qt::black));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    font.setWeight(QFont::Normal);
    p.setFont(font);

    Geometry g;
    if (!paneGeometry(rect, g)) {
        p.restore();
        return;
    }
    const int right = g.left + g.width;
    const int bottom = g.top + g.height;
    const TestPoint& pt = *g.point;

    // The captions of the right edge must not disappear under the frame or the slider.
    const int textLimit = right - 2;
    const QString amp = QString::asprintf("Amp: %.0f", pt.Gain);
    textAt(p, fittingX(p, right - 45, amp, textLimit, g.left + 1), g.top + 5, amp);

    // Time axis with arrow head, caption and the delay at its start.
    p.drawLine(g.left + 15, g.ym, right - 5, g.ym);
    p.drawLine(right - 5, g.ym, right - 14, g.ym - 4);
    p.drawLine(right - 5, g.ym, right - 14, g.ym + 4);
    const QString timeCaption = QStringLiteral("T (us)");
    textAt(p, fittingX(p, right - 45, timeCaption, textLimit, g.left + 1), g.ym + 15, timeCaption);
    textAt(p, g.left + 1, g.ym + 2, text(formatFixed(g.delay, 1)));

    const float tEnd = static_cast<float>(g.datLen) * g.dT + g.delay;
    const TickRange ticks = timeTicks(g.delay, tEnd);
    timeStep_ = ticks.step;
    for (int i = ticks.first; i <= ticks.last; ++i) {
        const float value = static_cast<float>(i) * ticks.step;
        const int x = g.left + truncToInt((value - g.delay) * g.px);
        p.drawLine(x + 15, g.ym - 8, x + 15, g.ym - 1);
        textAt(p, x + 1, g.ym + 2, text(formatInt(truncToInt(value))));
    }

    // Amplitude axis with arrow head and caption.
    p.drawLine(g.left + 15, g.top + 5, g.left + 15, bottom - 5);
    p.drawLine(g.left + 15, g.top + 5, g.left + 11, g.top + 14);
    p.drawLine(g.left + 15, g.top + 5, g.left + 19, g.top + 14);
    textAt(p, g.left + 49, g.top + 5, QStringLiteral("A (mv)"));

    for (int i = 0; i < g.count; ++i)
        peak_ = std::max<int>(peak_, pt.samples[i]);
    const float f = zoom_ == 0.0f ? 0.01f : zoom_;
    const float peakMv = peakMillivolts(peak_, pt.Gain, f);
    const int V = amplitudeTickValue(peakMv);
    amplitudeStep_ = truncToInt(downwardStep(peakMv).step);
    const float c = 2.0f * peakMv / static_cast<float>(g.height - 10);
    // Without a positive peak there is no amplitude scale to mark.
    if (c > 0.0f && std::isfinite(c) && truncToInt(g.height / 2 - V / c) > 0) {
        const struct {
            float offset;
            int label;
        } marks[4] = {{-V / c, V}, {V / c, -V}, {-V / (2 * c), V / 2}, {V / (2 * c), V / -2}};
        for (const auto& m : marks) {
            const int y = g.ym + truncToInt(m.offset);
            p.drawLine(g.left + 15, y, g.left + 22, y);
            if (m.label != 0)
                textAt(p, g.left + 25, y - 8, text(formatInt(m.label)));
        }
    }

    // The waveform; sampleY limits every point to the pane.
    QPolygon line;
    line.reserve(g.count + 1);
    line << QPoint(g.left + 15, g.top + g.height / 2);
    for (int i = 0; i < g.count; ++i) {
        const int x = g.left + truncToInt(g.dT * static_cast<float>(i) * g.px + 15.0f);
        const int y = g.top + sampleY(pt.samples[i], f, peak_, g.height, 5, 0, g.height - 1);
        line << QPoint(x, y);
    }
    p.drawPolyline(line);

    if (pt.arrivalIndex >= 0) {
        const int x =
            g.left + truncToInt(std::round(g.dT * static_cast<float>(pt.arrivalIndex) * g.px)) + 15;
        p.setPen(cosmetic(Qt::red));
        p.drawLine(x, g.top, x, bottom - 1);
    }
    p.restore();
}

void CTavolinView::paintEvent(QPaintEvent*) {
    QPainter p(this);
    // The strip behind the slider belongs to the pane too (the pane paints opaquely).
    p.fillRect(QRect(width() - kSliderWidth, 0, kSliderWidth, height()),
               palette().color(QPalette::Window));
    paintPane(p, rect());
    if (cursorShown_ && cursorX_ >= 0 && cursorX_ < width() - kSliderWidth) {
        // The readout cursor inverts what lies beneath it, like the instrument's XOR cursor.
        p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
        p.setPen(cosmetic(QColor(0, 255, 0)));
        p.drawLine(cursorX_, 0, cursorX_, height() - 1);
    }
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
    Geometry g;
    if (!paneGeometry(rect(), g))
        return;
    const float t = static_cast<float>(x - g.left - 15) / g.px + g.delay;
    const int index = nearestSample(t, g.datLen, g.dT, g.delay);
    if (index < 0)
        return;
    TestPoint& pt = *g.point;
    pt.arrivalIndex = index;
    pt.ampIndex = index;
    justPicked_ = true;
    cursorShown_ = false;
    if (pt.arrivalIndex < 1) {
        pt.arrivalIndex = 1;
        pt.ampIndex = 1;
    }
    computePointValues(*g.area);
    update();
    emit picked(point_);
}

void CTavolinView::mouseMoveEvent(QMouseEvent* event) {
    if (bridge_.doc().isOpen())
        readout(event->position().toPoint().x());
    QWidget::mouseMoveEvent(event);
}

void CTavolinView::readout(int x) {
    Geometry g;
    if (!paneGeometry(rect(), g))
        return;
    if (x < g.left + 15 || x > g.left + g.width - 5)
        return;
    const float t0 = static_cast<float>(x - g.left - 15) / g.px + g.delay;
    int index = nearestSample(t0, g.datLen, g.dT, g.delay);
    if (index < 0)
        return;
    index = std::max(index, 1);
    if (index >= static_cast<int>(g.point->samples.size()))
        return;
    const TestPoint& pt = *g.point;
    const float t = g.delay + g.dT * static_cast<float>(index);
    const float amplitude = sampleAmplitude(pt.samples[index], pt.Gain);
    const float velocity = t != 0.0f ? pt.L / t : 0.0f;
    cursorIndex_ = index;
    cursorX_ = x;
    cursorShown_ = true;
    justPicked_ = false;
    update();
    emit cursorReadout(point_, t, amplitude, velocity);
}

} // namespace tavolin
