// CTavolinView: one point waveform pane of the main screen (axes, waveform, first-arrival
// marker, zoom slider, picking and cursor readout); CFirstView/CSecView/CThirdView fix the point.
#pragma once

#include "views/waveformpainter.h"

#include <QWidget>

class QPainter;
class QSlider;

namespace tavolin {

class CTavolinDoc;
class DocBridge;

class CTavolinView : public QWidget {
    Q_OBJECT
public:
    CTavolinView(DocBridge& bridge, int point, QWidget* parent = nullptr);

    int point() const { return point_; }
    CTavolinDoc& document() const;
    float zoomFactor() const { return scale_.zoom; }
    int peakSample() const { return scale_.peak; }
    QSlider* slider() const { return slider_; }
    // The x of the readout cursor line while it is shown, else -1.
    int cursorX() const { return cursorShown_ ? cursorX_ : -1; }

    // Draws the pane (without slider and cursor) into `rect` in the painter's logical
    // coordinates, on any device; to print, scale the painter to the page first.
    void paintPane(QPainter& painter, const QRect& rect);
    // Forgets the readout cursor and draws again (area change, filter, zoom, pick).
    void redraw();

signals:
    void picked(int point);
    void cursorReadout(int point, float t, float amplitudeVolts, float velocity);
    // The mouse left the pane: the point's own values are shown again.
    void cursorLeft(int point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    // The waveform geometry of the pane's point when the pane covers `rect`.
    WaveformGeometry paneGeometry(const QRect& rect) const;
    void pick(int x);
    void readout(int x);
    // The provenance of the point's arrival at the top of the frame: automatic (with its
    // confidence), hand-picked, or marked as needing a human.
    void drawPickMark(QPainter& p, const QRect& frame) const;

    DocBridge& bridge_;
    const int point_;
    QSlider* slider_ = nullptr;
    WaveformScale scale_;
    int cursorIndex_ = -1;
    int cursorX_ = -1;
    bool cursorShown_ = false;
    bool justPicked_ = false;
};

class CFirstView : public CTavolinView {
    Q_OBJECT
public:
    explicit CFirstView(DocBridge& bridge, QWidget* parent = nullptr)
        : CTavolinView(bridge, 0, parent) {}
};

class CSecView : public CTavolinView {
    Q_OBJECT
public:
    explicit CSecView(DocBridge& bridge, QWidget* parent = nullptr)
        : CTavolinView(bridge, 1, parent) {}
};

class CThirdView : public CTavolinView {
    Q_OBJECT
public:
    explicit CThirdView(DocBridge& bridge, QWidget* parent = nullptr)
        : CTavolinView(bridge, 2, parent) {}
};

} // namespace tavolin
