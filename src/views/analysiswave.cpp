// AnalysisWaveform: header strip, waveform, pick and cursor readout of the analysis view.
#include "views/analysiswave.h"

#include "data/doc.h"
#include "data/format.h"
#include "sonic/waveform.h"
#include "views/docbridge.h"
#include "views/shellui.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace tavolin {

AnalysisWaveform::AnalysisWaveform(DocBridge& bridge, QWidget* parent)
    : QWidget(parent), bridge_(bridge) {
    setObjectName(QStringLiteral("waveArea"));
    setAccessibleName(QStringLiteral("测点波形"));
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(120, 80);
}

void AnalysisWaveform::setZoomFactor(float zoom) {
    scale_.zoom = zoom;
    redraw();
}

QRect AnalysisWaveform::stripRect() const {
    return QRect(0, 0, width(), kStripHeight);
}

QRect AnalysisWaveform::waveRect() const {
    return QRect(0, kStripHeight, width(), std::max(0, height() - kStripHeight));
}

WaveformGeometry AnalysisWaveform::geometry() const {
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    const TestArea* area = doc.isOpen() ? doc.currentArea() : nullptr;
    const int point = std::clamp(doc.selectedPoint(), 0, 2);
    return WaveformGeometry::of(waveRect(), area ? doc.currentMemberInfo() : nullptr,
                                area ? &area->points[point] : nullptr);
}

void AnalysisWaveform::redraw() {
    cursorShown_ = false;
    update();
}

void AnalysisWaveform::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    cursorShown_ = false;
}

bool AnalysisWaveform::headerValues(Readout& r, bool& cursor) const {
    const WaveformGeometry g = geometry();
    if (!g.valid())
        return false;
    cursor = cursorShown_;
    if (cursor)
        return (r = cursor_), true;
    const CTavolinDoc& doc = std::as_const(bridge_).doc();
    const TestArea& area = *doc.currentArea();
    r.point = std::clamp(doc.selectedPoint(), 0, 2);
    r.gain = g.point->Gain;
    r.t = area.pointTime[r.point];
    r.amplitudeVolts = area.pointAmplitude[r.point];
    r.velocity = area.pointVelocity[r.point];
    return true;
}

QStringList AnalysisWaveform::headerTexts() const {
    Readout r;
    bool cursor = false;
    if (!headerValues(r, cursor))
        return {};
    return {QStringLiteral("Amp: ") + toQ(formatFixed(r.gain, 0)),
            QStringLiteral("T: ") + toQ(formatFixed(r.t, 2)) + (cursor ? "us" : ""),
            QStringLiteral("A: ") + toQ(formatFixed(r.amplitudeVolts * 1000.0f, 2)) + "mv",
            QStringLiteral("V: ") + toQ(formatFixed(r.velocity, 3)) + "km/s",
            QStringLiteral("当前测点: ") + toQ(formatInt(r.point + 1))};
}

void AnalysisWaveform::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRect strip = stripRect();
    p.fillRect(strip, Qt::white);
    p.setPen(Qt::black);
    p.drawRect(strip.adjusted(0, 0, -1, -1));
    setAxisFont(p);
    const QStringList texts = headerTexts();
    const int w = strip.width();
    for (int i = 0; i < texts.size(); ++i) {
        // Each text keeps to its fifth of the strip, so neighbours never overrun each other.
        const int x = i == 0 ? 15 : i * w / 5;
        const int end = i + 1 < texts.size() ? (i + 1) * w / 5 : w - 2;
        p.drawText(QRect(x, 1, std::max(0, end - x), kStripHeight - 2),
                   Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, texts[i]);
    }

    const WaveformGeometry g = geometry();
    drawWaveform(p, waveRect(), g, scale_, WaveformStyle{false});
    if (cursorShown_ && g.valid())
        drawCursorLine(p, cursorX_, waveRect().top(), waveRect().bottom());
}

void AnalysisWaveform::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QWidget::mousePressEvent(event);
    const QPoint pos = event->position().toPoint();
    if (!bridge_.doc().isOpen() || !waveRect().contains(pos))
        return;
    pick(pos.x());
    // Any click on the waveform counts as an edit of the job.
    bridge_.edit().setModified();
}

void AnalysisWaveform::pick(int x) {
    const int index = geometry().sampleAt(x);
    if (index < 0)
        return;
    // The document stores the arrival (the amplitude cursor stays), recomputes the area, the
    // member and the batch, and tells every view; the grid row follows from its notice.
    const CTavolinDoc& doc = bridge_.doc();
    // A pick that would give a strength the result file cannot hold is refused, with the reason.
    const std::u16string refused = bridge_.edit().setArrival(
        doc.currentMember(), doc.currentAreaIndex(), doc.selectedPoint(), index);
    redraw();
    if (!refused.empty())
        showMessage(this, toQ(refused));
}

void AnalysisWaveform::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    const QPoint pos = event->position().toPoint();
    if (bridge_.doc().isOpen() && waveRect().contains(pos))
        readout(pos.x());
}

void AnalysisWaveform::readout(int x) {
    const WaveformGeometry g = geometry();
    const WaveformGeometry::Readout r = g.readoutAt(x);
    if (r.index < 0)
        return;
    cursor_.point = std::clamp(std::as_const(bridge_).doc().selectedPoint(), 0, 2);
    cursor_.gain = g.point->Gain;
    cursor_.t = r.t;
    cursor_.amplitudeVolts = r.amplitudeVolts;
    cursor_.velocity = r.velocity;
    cursorX_ = x;
    cursorShown_ = true;
    update();
}

} // namespace tavolin
