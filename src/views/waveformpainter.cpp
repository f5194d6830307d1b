// drawWaveform: the drawing shared by the main-screen panes and the analysis view.
#include "views/waveformpainter.h"

#include "data/format.h"
#include "data/records.h"
#include "sonic/waveform.h"
#include "views/qtext.h"

#include <QPainter>
#include <QPolygon>
#include <QSlider>

#include <algorithm>
#include <cmath>

namespace tavolin {

namespace {

// A caption placed at `x` unless it would run past `limit` (the frame); then moved left just
// enough to stay whole, but never past `minX`.
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

void setAxisFont(QPainter& p) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(13);
    font.setWeight(QFont::Normal);
    p.setFont(font);
}

void textAt(QPainter& p, int x, int y, const QString& s) {
    p.drawText(QPoint(x, y + p.fontMetrics().ascent()), s);
}

WaveformGeometry WaveformGeometry::of(const QRect& frame, const MemberInfo* member,
                                      const TestPoint* point) {
    WaveformGeometry g;
    g.frame = frame;
    g.ym = frame.top() + frame.height() / 2;
    if (!member || !point || !point->hasWaveform())
        return g;
    const float span = static_cast<float>(member->DatLen) * member->dT;
    // A member without a usable time span has no time axis to draw on.
    if (!(span > 0.0f) || !std::isfinite(span) || frame.width() < 40 || frame.height() < 20)
        return g;
    g.dT = member->dT;
    g.datLen = member->DatLen;
    g.delay = point->Delay;
    g.count = std::min<int>(g.datLen, static_cast<int>(point->samples.size()));
    g.px = static_cast<float>(frame.width() - 37) / span;
    g.point = point;
    return g;
}

float WaveformGeometry::timeAt(int x) const {
    return static_cast<float>(x - originX()) / px + delay;
}

int WaveformGeometry::sampleAt(int x) const {
    return valid() ? nearestSample(timeAt(x), datLen, dT, delay) : -1;
}

int WaveformGeometry::xOfSample(int index) const {
    return truncToInt(std::round(dT * static_cast<float>(index) * px)) + originX();
}

WaveformGeometry::Readout WaveformGeometry::readoutAt(int x) const {
    Readout r;
    if (!valid() || x < originX() || x > axisEndX())
        return r;
    const int index = sampleAt(x);
    if (index < 0 || std::max(index, 1) >= count)
        return r;
    r.index = std::max(index, 1);
    r.t = delay + dT * static_cast<float>(r.index);
    r.amplitudeVolts = sampleAmplitude(point->samples[r.index], point->Gain);
    r.velocity = r.t != 0.0f ? point->L / r.t : 0.0f;
    return r;
}

QSlider* makeZoomSlider(QWidget* parent, const QString& objectName, const QString& accessibleName) {
    auto* slider = new QSlider(Qt::Vertical, parent);
    slider->setObjectName(objectName);
    slider->setAccessibleName(accessibleName);
    slider->setRange(0, 100);
    slider->setTickInterval(10);
    slider->setTickPosition(QSlider::TicksRight);
    slider->setInvertedAppearance(true);
    slider->setInvertedControls(true);
    slider->setValue(80);
    return slider;
}

void drawWaveform(QPainter& p, const QRect& frame, const WaveformGeometry& g, WaveformScale& scale,
                  const WaveformStyle& style) {
    p.save();
    p.fillRect(frame, Qt::white);
    p.setPen(cosmetic(Qt::black));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    setAxisFont(p);
    if (!g.valid()) {
        p.restore();
        return;
    }
    const int left = frame.left(), top = frame.top();
    const int right = frame.right() + 1, bottom = frame.bottom() + 1;
    const int H = frame.height();
    const TestPoint& pt = *g.point;
    // Captions at the right edge must not disappear under the frame.
    const int textLimit = right - 2;

    if (style.gainCaption) {
        const QString amp = QStringLiteral("Amp: ") + toQ(formatFixed(pt.Gain, 0));
        textAt(p, fittingX(p, right - 45, amp, textLimit, left + 1), top + 5, amp);
    }

    // Time axis with arrow head, caption and the delay at its start.
    p.drawLine(g.originX(), g.ym, right - 5, g.ym);
    p.drawLine(right - 5, g.ym, right - 14, g.ym - 4);
    p.drawLine(right - 5, g.ym, right - 14, g.ym + 4);
    const QString timeCaption = QStringLiteral("T (us)");
    textAt(p, fittingX(p, right - 45, timeCaption, textLimit, left + 1), g.ym + 15, timeCaption);
    textAt(p, left + 1, g.ym + 2, toQ(formatFixed(g.delay, 1)));

    const float tEnd = static_cast<float>(g.datLen) * g.dT + g.delay;
    const TickRange ticks = timeTicks(g.delay, tEnd);
    scale.timeStep = ticks.step;
    for (int i = ticks.first; i <= ticks.last; ++i) {
        const float value = static_cast<float>(i) * ticks.step;
        const int x = left + truncToInt((value - g.delay) * g.px);
        p.drawLine(x + 15, g.ym - 8, x + 15, g.ym - 1);
        textAt(p, x + 1, g.ym + 2, toQ(formatInt(truncToInt(value))));
    }

    // Amplitude axis with arrow head and caption.
    p.drawLine(g.originX(), top + 5, g.originX(), bottom - 5);
    p.drawLine(g.originX(), top + 5, left + 11, top + 14);
    p.drawLine(g.originX(), top + 5, left + 19, top + 14);
    textAt(p, left + 49, top + 5, QStringLiteral("A (mv)"));

    for (int i = 0; i < g.count; ++i)
        scale.peak = std::max<int>(scale.peak, pt.samples[i]);
    const float f = scale.zoom == 0.0f ? 0.01f : scale.zoom;
    const float peakMv = peakMillivolts(scale.peak, pt.Gain, f);
    const int V = amplitudeTickValue(peakMv);
    scale.amplitudeStep = truncToInt(downwardStep(peakMv).step);
    const float c = 2.0f * peakMv / static_cast<float>(H - 10);
    // Without a positive peak there is no amplitude scale to mark.
    if (c > 0.0f && std::isfinite(c) && truncToInt(H / 2 - V / c) > 0) {
        const struct {
            float offset;
            int label;
        } marks[4] = {{-V / c, V}, {V / c, -V}, {-V / (2 * c), V / 2}, {V / (2 * c), V / -2}};
        for (const auto& m : marks) {
            const int y = g.ym + truncToInt(m.offset);
            p.drawLine(g.originX(), y, left + 22, y);
            if (m.label != 0)
                textAt(p, left + 25, y - 8, toQ(formatInt(m.label)));
        }
    }

    // The trace, every point kept inside the frame.
    QPolygon line;
    line.reserve(g.count + 1);
    line << QPoint(g.originX(), g.ym);
    for (int i = 0; i < g.count; ++i) {
        const int x = left + truncToInt(g.dT * static_cast<float>(i) * g.px + 15.0f);
        const int y = top + sampleY(pt.samples[i], f, scale.peak, H, 5, 1, H - 1);
        line << QPoint(x, y);
    }
    p.drawPolyline(line);

    if (pt.arrivalIndex >= 0) {
        const int x = g.xOfSample(pt.arrivalIndex);
        p.setPen(cosmetic(Qt::red));
        p.drawLine(x, top, x, bottom - 1);
    }
    p.restore();
}

void drawCursorLine(QPainter& p, int x, int top, int bottom) {
    p.save();
    p.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    p.setPen(cosmetic(QColor(0, 255, 0)));
    p.drawLine(x, top, x, bottom);
    p.restore();
}

} // namespace tavolin
